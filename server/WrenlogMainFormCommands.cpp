// The debug window's commands, keys, forwarded control events, always on top
// and folding. The rest of the class is in WrenlogMainForm.cpp.

#include "WrenlogMainForm.h"

#include "FocusChange.h"
#include "Guard.h"
#include "KeyCodes.h"
#include "MainFormControls.h"
#include "NotificationCode.h"
#include "RichTextView.h"
#include "TranslucentWindows.h"
#include "Twips.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QToolBar>

namespace {

QString label(const QString &procedure)
{
    return QStringLiteral("WrenlogMainForm.") + procedure;
}

constexpr int minimumTrackingWidth = 4470; // twips

// Menu item -> the command it runs.
const std::pair<const char *, const char *> menuCommands[] = {
    {"mnuOpen", "Open"},     {"mnuSave", "Save"},
    {"mnuErase", "Erase"},   {"mnuCut", "Cut"},
    {"mnuCopy", "Copy"},     {"mnuPaste", "Paste"},
    {"mnuDelete", "Delete"}, {"mnuOnTop", "OnTop"},
    {"mnuFold", "Fold"},     {"mnuPluginManager", "PluginManager"},
    {"mnuQuit", "Quit"},
};

// Toolbar key -> the command it runs.
const std::pair<const char *, const char *> buttonCommands[] = {
    {"btnOpen", "Open"},      {"btnSave", "Save"},
    {"btnEraseAll", "Erase"}, {"btnCut", "Cut"},
    {"btnCopy", "Copy"},      {"btnPaste", "Paste"},
    {"btnDelete", "Delete"},  {"btnOnTop", "OnTop"},
    {"btnFold", "Fold"},      {"btnPlugins", "PluginManager"},
    {"btnClose", "Quit"},
};

} // namespace

namespace {

// A checkable action flips its own mark when clicked; here the mark shows the
// window's state, which only the command changes.
void undoAutomaticCheck(QAction *action)
{
    if (action->isCheckable())
        action->setChecked(!action->isChecked());
}

} // namespace

void WrenlogMainForm::connectCommands()
{
    for (const auto &[name, command] : menuCommands) {
        QAction *item = menuItem(QString::fromLatin1(name));
        const QString handler = label(QString::fromLatin1(name) + QStringLiteral("_Click"));
        const QString commandName = QString::fromLatin1(command);
        connect(item, &QAction::triggered, this, [this, item, handler, commandName] {
            undoAutomaticCheck(item);
            reportFailure(handler, [&] { runCommand(commandName); });
        });
    }
    connect(tbrMainToolbar(), &QToolBar::actionTriggered, this, [this](QAction *action) {
        if (!m_controls->buttons.contains(action->objectName()))
            return; // an entry of the btnPlugins drop-down has its own handler
        undoAutomaticCheck(action);
        tbrMainToolbar_ButtonClick(action->objectName());
    });
}

void WrenlogMainForm::tbrMainToolbar_ButtonClick(const QString &key)
{
    reportFailure(label(QStringLiteral("tbrMainToolbar_ButtonClick")), [&] {
        // Whatever waits (window messages, client calls) goes first.
        QCoreApplication::processEvents();
        for (const auto &[button, command] : buttonCommands) {
            if (key == QLatin1String(button))
                runCommand(QString::fromLatin1(command));
        }
    });
}

void WrenlogMainForm::runCommand(const QString &command)
{
    RichTextView *view = rtbDetails();
    if (command == QLatin1String("Open")) {
        if (m_fileCommands)
            m_fileCommands->OpenFile();
    } else if (command == QLatin1String("Save")) {
        if (m_fileCommands)
            m_fileCommands->SaveFile();
    } else if (command == QLatin1String("Erase")) {
        EraseAll();
    } else if (command == QLatin1String("Cut")) {
        view->setFocus();
        view->cut();
    } else if (command == QLatin1String("Copy")) {
        view->setFocus();
        view->copy();
    } else if (command == QLatin1String("Paste")) {
        view->setFocus();
        view->paste();
    } else if (command == QLatin1String("Delete")) {
        view->setFocus();
        view->deleteSelection();
    } else if (command == QLatin1String("OnTop")) {
        ToggleOnTop();
    } else if (command == QLatin1String("Fold")) {
        ToggleFold();
    } else if (command == QLatin1String("PluginManager")) {
        const bool wasOnTop = OnTop();
        if (wasOnTop)
            setOnTop(false);
        if (m_pluginManager)
            m_pluginManager->ShowManagerDialog();
        setOnTop(wasOnTop);
    } else if (command == QLatin1String("Quit")) {
        close();
    }
}

// ---- Keys and forwarded control events -----------------------------------

bool WrenlogMainForm::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        // A key the focused control leaves alone travels on to its parents;
        // the window looks at it once, where it first arrives.
        QWidget *firstReceiver = focusWidget() ? focusWidget() : this;
        if (watched != firstReceiver)
            break;
        auto *key = static_cast<QKeyEvent *>(event);
        bool consumed = false;
        reportFailure(label(QStringLiteral("Form_KeyDown")),
                      [&] { consumed = handleKeyDown(key->key(), key->modifiers()); });
        if (!consumed && watched == txtLable() && !key->text().isEmpty()) {
            reportFailure(label(QStringLiteral("txtLable_KeyPress")),
                          [&] { Notify(NotificationCode::TopTextKeyPress, qint16(key->text().at(0).unicode())); });
        }
        return consumed;
    }
    case QEvent::FocusIn:
        if (watched == txtLable() && FocusChange::isControlFocusChange(*static_cast<QFocusEvent *>(event)))
            reportFailure(label(QStringLiteral("txtLable_GotFocus")),
                          [&] { Notify(NotificationCode::TopTextGotFocus); });
        break;
    case QEvent::FocusOut:
        if (watched == txtLable() && FocusChange::isControlFocusChange(*static_cast<QFocusEvent *>(event)))
            reportFailure(label(QStringLiteral("txtLable_LostFocus")),
                          [&] { Notify(NotificationCode::TopTextLostFocus); });
        break;
    default: break;
    }
    return FormWindow::eventFilter(watched, event);
}

bool WrenlogMainForm::handleKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    switch (key) {
    case Qt::Key_Escape:
    case Qt::Key_F1: ToggleFold(); return true;
    case Qt::Key_F2: ToggleOnTop(); return true;
    case Qt::Key_F3: m_translucencyAllowed = !m_translucencyAllowed; return true;
    default:
        Notify(NotificationCode::KeyPress,
               QVariantList {KeyCodes::virtualKey(key, modifiers), KeyCodes::shiftState(modifiers)});
        return false;
    }
}

void WrenlogMainForm::forwardViewEvents()
{
    RichTextView *view = rtbDetails();
    auto forward = [this](const char *handler, qint32 code) {
        return [this, handler, code] { reportFailure(label(QLatin1String(handler)), [&] { Notify(code); }); };
    };
    connect(view, &RichTextView::Change, this, forward("rtbDetails_Change", NotificationCode::Change));
    connect(view, &RichTextView::Click, this, forward("rtbDetails_Click", NotificationCode::Click));
    connect(view, &RichTextView::DblClick, this, forward("rtbDetails_DblClick", NotificationCode::DblClick));
    connect(view, &RichTextView::GotFocus, this, forward("rtbDetails_GotFocus", NotificationCode::GotFocus));
    connect(view, &RichTextView::LostFocus, this, forward("rtbDetails_LostFocus", NotificationCode::LostFocus));
    connect(view, &RichTextView::SelChange, this, forward("rtbDetails_SelChange", NotificationCode::SelChange));
    connect(txtLable(), &QLineEdit::textChanged, this, forward("txtLable_Change", NotificationCode::TopTextChange));
    connect(view, &RichTextView::MouseMove, this, [this](qint16 button, qint16 shift, float x, float y) {
        reportFailure(label(QStringLiteral("rtbDetails_MouseMove")), [&] {
            Notify(NotificationCode::MouseMove, QVariantList {button, shift, x, y});
        });
    });
    connect(view, &RichTextView::MouseDown, this, [this](qint16 button, qint16, float, float) {
        if (button != RichTextView::RightButton)
            return;
        reportFailure(label(QStringLiteral("rtbDetails_MouseDown")), [&] { ShowContextMenu(QCursor::pos()); });
    });
}

// ---- Always on top and translucency --------------------------------------

bool WrenlogMainForm::OnTop() const
{
    return menuItem(QStringLiteral("mnuOnTop"))->isChecked();
}

void WrenlogMainForm::setOnTop(bool onTop)
{
    passOn(label(QStringLiteral("OnTop (Let)")), [&] {
        if (onTop == OnTop())
            return;
        menuItem(QStringLiteral("mnuOnTop"))->setChecked(onTop);
        toolbarButton(QStringLiteral("btnOnTop"))->setChecked(onTop);
        FormOnTop(onTop, this);
        Notify(NotificationCode::OnTop, onTop);
    });
}

void WrenlogMainForm::ToggleOnTop()
{
    passOn(label(QStringLiteral("ToggleOnTop")), [&] {
        QAction *button = toolbarButton(QStringLiteral("btnOnTop"));
        QAction *item = menuItem(QStringLiteral("mnuOnTop"));
        if (TranslucentWindows::IsOpacitySupported()) {
            if (OnTop() && !m_translucent && m_translucencyAllowed) {
                TranslucentWindows::SetWindowTranslucency(winId(), TranslucentWindows::translucentAlpha);
                button->setIcon(m_controls->image(QStringLiteral("Translucent")));
                button->setChecked(true);
                item->setText(QStringLiteral("Always On Top (Translucent)"));
                m_translucent = true;
                Notify(NotificationCode::Translucency, true);
                return;
            }
            if (m_translucent) {
                TranslucentWindows::ClearWindowTranslucency(winId());
                button->setIcon(m_controls->image(QStringLiteral("OnTop")));
                item->setText(QStringLiteral("Always On Top"));
                m_translucent = false;
                Notify(NotificationCode::Translucency, false);
            }
        }
        setOnTop(!OnTop());
    });
}

// ---- Folding and the frame -----------------------------------------------

bool WrenlogMainForm::Fold() const
{
    return menuItem(QStringLiteral("mnuFold"))->isChecked();
}

void WrenlogMainForm::setFold(bool fold)
{
    passOn(label(QStringLiteral("Fold (Let)")), [&] {
        if (fold == Fold())
            return;
        toolbarButton(QStringLiteral("btnFold"))->setChecked(fold);
        menuItem(QStringLiteral("mnuFold"))->setChecked(fold);
        if (fold) {
            m_unfoldedHeight = Height();
            updateFrameLimits();
            setHeight(int(std::lround(Twips::fromPixelsY(foldedClientHeight()))));
        } else {
            updateFrameLimits();
            setHeight(m_unfoldedHeight);
            m_unfoldedHeight = 0;
        }
        Notify(NotificationCode::Fold, fold);
    });
}

void WrenlogMainForm::ToggleFold()
{
    passOn(label(QStringLiteral("ToggleFold")), [&] { setFold(!Fold()); });
}

int WrenlogMainForm::foldedClientHeight() const
{
    // The frame keeps its caption; of the client only the toolbar shows.
    return std::max(0, tbrMainToolbar()->sizeHint().height() - 2);
}

void WrenlogMainForm::updateFrameLimits()
{
    const int frameExtraWidth = frameGeometry().width() - width();
    const int minimumWidth = std::max(0, Twips::toPixelsX(minimumTrackingWidth) - frameExtraWidth);
    setMinimumSize(minimumWidth, foldedClientHeight());
    setMaximumHeight(Fold() ? foldedClientHeight() : QWIDGETSIZE_MAX);
}

void WrenlogMainForm::NotifyMove()
{
    passOn(label(QStringLiteral("NotifyMove")), [&] { Notify(NotificationCode::Move); });
}

void WrenlogMainForm::NotifyActivate(bool active)
{
    passOn(label(QStringLiteral("NotifyActivate")),
           [&] { Notify(active ? NotificationCode::Activate : NotificationCode::DeActivate); });
}

void WrenlogMainForm::layoutControls()
{
    // A failure while resizing is of no consequence: the next resize lays out again.
    (void)captureFailure([&] { m_controls->layout(size()); });
}

void WrenlogMainForm::resizeEvent(QResizeEvent *event)
{
    FormWindow::resizeEvent(event);
    (void)captureFailure([&] {
        layoutControls();
        Notify(NotificationCode::Resize);
    });
}

void WrenlogMainForm::moveEvent(QMoveEvent *event)
{
    FormWindow::moveEvent(event);
    reportFailure(label(QStringLiteral("ISubclass_WindowProc")), [&] { NotifyMove(); });
}

void WrenlogMainForm::showEvent(QShowEvent *event)
{
    FormWindow::showEvent(event);
    // The frame's size is known only once the window is shown.
    updateFrameLimits();
}

void WrenlogMainForm::changeEvent(QEvent *event)
{
    FormWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange) {
        reportFailure(label(QStringLiteral("ISubclass_WindowProc")), [&] { NotifyActivate(isActiveWindow()); });
    }
}
