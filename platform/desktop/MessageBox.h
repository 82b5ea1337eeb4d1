#pragma once

#include <QString>

#include <functional>

class QWidget;

/**
 * A message box driven by the Windows style bits that callers of the system
 * pass around (the bus's ShowMessage, the storage library's version report),
 * answering with the Windows button ids.
 *
 *     int answer = MessageBox::show(MessageBox::YesNo | MessageBox::IconQuestion,
 *                                   "Wrenlog", "Erase all?");
 *     if (answer == MessageBox::IdYes) ...
 *
 * Tests answer it without a window by installing a presenter:
 *
 *     auto previous = MessageBox::setPresenter([&](const MessageBox::Request &r) {
 *         seen = r; return MessageBox::IdOk; });
 */
class MessageBox
{
public:
    /// The style bits: a button set (bits 0-3), an icon (4-7), the default
    /// button (8-11) and the modality (12-13), combined with "|".
    enum Style : int {
        Ok = 0x0,
        OkCancel = 0x1,
        AbortRetryIgnore = 0x2,
        YesNoCancel = 0x3,
        YesNo = 0x4,
        RetryCancel = 0x5,

        IconNone = 0x00,
        IconCritical = 0x10,
        IconQuestion = 0x20,
        IconExclamation = 0x30,
        IconInformation = 0x40,

        DefaultButton1 = 0x000,
        DefaultButton2 = 0x100,
        DefaultButton3 = 0x200,
        DefaultButton4 = 0x300,

        ApplicationModal = 0x0000,
        SystemModal = 0x1000,
        TaskModal = 0x2000,
    };
    /// The Windows ids of the button that closed the box.
    enum Result : int {
        IdOk = 1,
        IdCancel = 2,
        IdAbort = 3,
        IdRetry = 4,
        IdIgnore = 5,
        IdYes = 6,
        IdNo = 7,
    };

    struct Request
    {
        int style = 0;
        QString caption;
        QString text;
    };
    using Presenter = std::function<int(const Request &request)>;

    /// Shows the box modally and returns the id of the button that closed it.
    /// Closing with Escape or the close box answers Cancel where the box has
    /// one, otherwise the only button; a box with several buttons and no
    /// Cancel cannot be escaped.
    static int show(int style, const QString &caption, const QString &text, QWidget *parent = nullptr);

    /// Replaces what show() does (an empty presenter restores the real box);
    /// returns the previous presenter.
    static Presenter setPresenter(Presenter presenter);

    /// The real box, built from the style: what show() uses without a presenter.
    static int showWidget(const Request &request, QWidget *parent = nullptr);

    /// Icon, button set and default button of a style.
    static int buttonsOf(int style) { return style & 0xF; }
    static int iconOf(int style) { return style & 0xF0; }
    static int defaultButtonOf(int style) { return style & 0xF00; }
};
