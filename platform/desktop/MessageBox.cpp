#include "MessageBox.h"

#include <QAbstractButton>
#include <QList>
#include <QMessageBox>
#include <QPushButton>

namespace {

MessageBox::Presenter &presenterSlot()
{
    static MessageBox::Presenter presenter;
    return presenter;
}

struct ButtonChoice
{
    QMessageBox::StandardButton button;
    int id;
};

QList<ButtonChoice> buttonsFor(int buttons)
{
    switch (buttons) {
    case MessageBox::OkCancel:
        return {{QMessageBox::Ok, MessageBox::IdOk}, {QMessageBox::Cancel, MessageBox::IdCancel}};
    case MessageBox::AbortRetryIgnore:
        return {{QMessageBox::Abort, MessageBox::IdAbort},
                {QMessageBox::Retry, MessageBox::IdRetry},
                {QMessageBox::Ignore, MessageBox::IdIgnore}};
    case MessageBox::YesNoCancel:
        return {{QMessageBox::Yes, MessageBox::IdYes},
                {QMessageBox::No, MessageBox::IdNo},
                {QMessageBox::Cancel, MessageBox::IdCancel}};
    case MessageBox::YesNo: return {{QMessageBox::Yes, MessageBox::IdYes}, {QMessageBox::No, MessageBox::IdNo}};
    case MessageBox::RetryCancel:
        return {{QMessageBox::Retry, MessageBox::IdRetry}, {QMessageBox::Cancel, MessageBox::IdCancel}};
    default:
        // Unknown button sets show OK, as Windows falls back to.
        return {{QMessageBox::Ok, MessageBox::IdOk}};
    }
}

QMessageBox::Icon iconFor(int icon)
{
    switch (icon) {
    case MessageBox::IconCritical: return QMessageBox::Critical;
    case MessageBox::IconQuestion: return QMessageBox::Question;
    case MessageBox::IconExclamation: return QMessageBox::Warning;
    case MessageBox::IconInformation: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

} // namespace

int MessageBox::show(int style, const QString &caption, const QString &text, QWidget *parent)
{
    const Request request {style, caption, text};
    if (presenterSlot())
        return presenterSlot()(request);
    return showWidget(request, parent);
}

MessageBox::Presenter MessageBox::setPresenter(Presenter presenter)
{
    Presenter previous = std::move(presenterSlot());
    presenterSlot() = std::move(presenter);
    return previous;
}

int MessageBox::showWidget(const Request &request, QWidget *parent)
{
    QMessageBox box(iconFor(iconOf(request.style)), request.caption, request.text, QMessageBox::NoButton, parent);
    const QList<ButtonChoice> choices = buttonsFor(buttonsOf(request.style));
    QMessageBox::StandardButtons standard;
    for (const ButtonChoice &choice : choices)
        standard |= choice.button;
    box.setStandardButtons(standard);

    // A default beyond the buttons the box has falls back to the first.
    qsizetype defaultIndex = defaultButtonOf(request.style) >> 8;
    if (defaultIndex >= choices.size())
        defaultIndex = 0;
    box.setDefaultButton(choices[defaultIndex].button);
    // Escape answers Cancel when there is one; a box without Cancel answers with its only button
    // (OK) or not at all, as on Windows.
    for (const ButtonChoice &choice : choices) {
        if (choice.id == IdCancel)
            box.setEscapeButton(choice.button);
    }
    if (choices.size() == 1)
        box.setEscapeButton(choices.front().button);
    if (request.style & (SystemModal | TaskModal))
        box.setWindowModality(Qt::ApplicationModal);

    box.exec();
    const QAbstractButton *clicked = box.clickedButton();
    for (const ButtonChoice &choice : choices) {
        if (clicked && box.button(choice.button) == clicked)
            return choice.id;
    }
    for (const ButtonChoice &choice : choices) {
        if (choice.id == IdCancel)
            return IdCancel;
    }
    return choices.front().id;
}
