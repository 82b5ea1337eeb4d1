#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>

class QWidget;

/**
 * The folder chooser: a modal dialog over an owner window that returns the
 * chosen folder, or an empty text when the user cancels.
 *
 *     const QString folder = FolderBrowser::browse(window->winId(), QStringLiteral("Pick a folder"));
 *
 * The owner is a window handle, as callers that only hold a handle have it;
 * a handle that names no window of this process shows the dialog without owner.
 * Only existing folders can be chosen. Tests answer the chooser without a
 * window by installing a presenter (see setPresenter()).
 */
class FolderBrowser
{
public:
    struct Request
    {
        quint64 owner = 0;
        QString title;
    };

    using Presenter = std::function<QString(const Request &request)>;

    static QString browse(quint64 owner, const QString &title);
    /// Replaces what browse() does (an empty presenter restores the real
    /// dialog); returns the previous presenter.
    static Presenter setPresenter(Presenter presenter);
    /// The real dialog: what browse() uses without a presenter.
    static QString showWidget(const Request &request);
};
