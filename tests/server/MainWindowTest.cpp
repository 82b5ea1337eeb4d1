#include "AutomationError.h"
#include "Guard.h"
#include "LedgerixLibrary.h"
#include "MainFormTestSupport.h"
#include "NotificationCode.h"
#include "RichTextView.h"
#include "Twips.h"
#include "WrenlogMainForm.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cmath>

namespace {

/// Collects what the report hook receives while it lives.
class ReportCatcher
{
public:
    ReportCatcher()
    {
        m_previous = Guard::setReportHook([this](const AutomationError &error, const QString &name) {
            reports.append({error, name});
        });
    }
    ~ReportCatcher() { Guard::setReportHook(m_previous); }

    QList<std::pair<AutomationError, QString>> reports;

private:
    Guard::ReportHook m_previous;
};

QWidget *keyTarget(WrenlogMainForm &window)
{
    // The view's editing widget, where typing lands.
    QWidget *target = window.rtbDetails()->focusProxy();
    if (!target)
        target = window.rtbDetails();
    target->setFocus();
    return target;
}

QStringList actionTexts(const QList<QAction *> &actions)
{
    QStringList texts;
    for (QAction *action : actions)
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
}

int twipsHeight(const WrenlogMainForm &window)
{
    return window.Height();
}

} // namespace

TEST(MainWindow, DesignCaptionsAndOrder)
{
    WrenlogMainForm window;
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Wrenlog !"));
    EXPECT_EQ(window.Name(), QStringLiteral("WrenlogMainForm"));
    EXPECT_EQ(window.txtLable()->text(), QStringLiteral("Debug Text:"));

    QStringList keys;
    for (QAction *action : window.tbrMainToolbar()->actions())
        keys << (action->isSeparator() ? QStringLiteral("|") : action->objectName());
    EXPECT_EQ(keys,
              (QStringList {"btnOpen", "btnSave", "btnEraseAll", "|", "btnCut", "btnCopy", "btnPaste", "btnDelete", "|",
                            "btnOnTop", "btnFold", "btnPlugins", "|", "btnClose"}));
    EXPECT_EQ(window.toolbarButton("btnOpen")->toolTip(), QStringLiteral("Open a previously saved degug window"));
    EXPECT_EQ(window.toolbarButton("btnOnTop")->toolTip(),
              QStringLiteral("Set's the 'Wrenlog' window to be always on top"));
    EXPECT_TRUE(window.toolbarButton("btnOnTop")->isCheckable());
    EXPECT_TRUE(window.toolbarButton("btnFold")->isCheckable());
    EXPECT_NE(window.toolbarButton("btnPlugins")->menu(), nullptr);

    EXPECT_EQ(actionTexts(window.mnuContext()->actions()),
              (QStringList {"Open...", "Save As...", "Erase All", "-", "Cut", "Copy", "Paste", "-", "Delete", "-",
                            "Always On Top", "Fold", "-", "Plugins", "-", "(Extra Menus Stub)", "-", "Quit"}));
    EXPECT_EQ(actionTexts(window.mnuPlugins()->actions()), (QStringList {"Plugin Manager", "-", "(None)"}));
    // "-" marks the separators, which are lines only: styles draw a separator's text beside it.
    QStringList separatorTexts;
    for (QMenu *menu : {window.mnuContext(), window.mnuPlugins()}) {
        for (QAction *action : menu->actions()) {
            if (action->isSeparator())
                separatorTexts << action->text();
        }
    }
    EXPECT_EQ(separatorTexts, QStringList(7, QString()));
    EXPECT_FALSE(window.menuItem("mnuPluginManager")->isVisible());
    EXPECT_FALSE(window.menuItem("mnuSep7")->isVisible());
    EXPECT_FALSE(window.menuItem("mnuSep6")->isVisible());
    EXPECT_FALSE(window.mnuPluginMenus(0)->isVisible());
}

TEST(MainWindow, FoldingKeepsCaptionAndToolbarAndComesBackToTheSameHeight)
{
    RecordingSink sink;
    auto window = windowHeardBy(sink);
    window->show();
    window->setHeight(5000);
    ASSERT_NEAR(twipsHeight(*window), 5000, 15);
    const int toolbarHeight = window->tbrMainToolbar()->sizeHint().height();

    window->setFold(true);
    EXPECT_TRUE(window->Fold());
    EXPECT_NEAR(window->UnfoldedHeight(), 5000, 15);
    EXPECT_EQ(window->height(), toolbarHeight - 2);
    EXPECT_EQ(window->maximumHeight(), toolbarHeight - 2);
    EXPECT_TRUE(window->toolbarButton("btnFold")->isChecked());
    EXPECT_TRUE(window->menuItem("mnuFold")->isChecked());

    window->setFold(true); // already folded: nothing, and no second event
    EXPECT_EQ(sink.heardWithCode(NotificationCode::Fold).size(), 1);

    window->setFold(false);
    EXPECT_NEAR(twipsHeight(*window), 5000, 15);
    EXPECT_EQ(window->UnfoldedHeight(), 0);
    EXPECT_GT(window->maximumHeight(), 10000);
    const auto folds = sink.heardWithCode(NotificationCode::Fold);
    ASSERT_EQ(folds.size(), 2);
    EXPECT_EQ(folds[0].values, QVariant(true));
    EXPECT_EQ(folds[1].values, QVariant(false));
}

TEST(MainWindow, EveryToolbarButtonShowsItsImageAtTheDesignWidth)
{
    WrenlogMainForm window;
    window.Load();
    // As with plug-ins loaded: every button of the design is there.
    window.toolbarButton("btnPlugins")->setVisible(true);
    window.show();
    QToolBar *toolbar = window.tbrMainToolbar();
    // The design's client area is 4380 twips wide (the frame's minimum adds
    // what a frame has, so the toolbar alone is set to that width).
    toolbar->resize(Twips::toPixelsX(4380), toolbar->height());
    QCoreApplication::processEvents();
    ASSERT_EQ(toolbar->width(), Twips::toPixelsX(4380));

    QList<QAction *> buttons;
    for (QAction *action : toolbar->actions()) {
        if (!action->isSeparator())
            buttons.append(action);
    }
    ASSERT_EQ(buttons.size(), 11);
    for (QAction *action : std::as_const(buttons)) {
        QWidget *button = toolbar->widgetForAction(action);
        ASSERT_NE(button, nullptr) << action->objectName().toStdString();
        EXPECT_TRUE(button->isVisible()) << action->objectName().toStdString();
        EXPECT_TRUE(toolbar->rect().contains(button->geometry())) << action->objectName().toStdString();
        EXPECT_FALSE(action->icon().pixmap(16, 16).isNull()) << action->objectName().toStdString();
    }
    auto *overflow = toolbar->findChild<QToolButton *>(QStringLiteral("qt_toolbar_ext_button"));
    ASSERT_NE(overflow, nullptr);
    EXPECT_FALSE(overflow->isVisible());
}

TEST(MainWindow, ShrinkingStopsAtTheMinimumTrackingSize)
{
    WrenlogMainForm window;
    window.Load();
    window.show();
    const int frameExtraWidth = window.frameGeometry().width() - window.width();
    EXPECT_EQ(window.minimumWidth(), Twips::toPixelsX(4470) - frameExtraWidth);
    EXPECT_EQ(window.minimumHeight(), window.tbrMainToolbar()->sizeHint().height() - 2);
    window.resize(10, 10);
    EXPECT_EQ(window.width(), window.minimumWidth());
    EXPECT_EQ(window.height(), window.minimumHeight());
}

TEST(MainWindow, KeysFoldAndReachThePlugins)
{
    RecordingSink sink;
    auto window = windowHeardBy(sink);
    window->show();
    QTest::keyClick(keyTarget(*window), Qt::Key_A);
    QTest::keyClick(keyTarget(*window), Qt::Key_A, Qt::ShiftModifier);
    QTest::keyClick(keyTarget(*window), Qt::Key_Escape);
    EXPECT_TRUE(window->Fold());
    QTest::keyClick(keyTarget(*window), Qt::Key_F1);
    EXPECT_FALSE(window->Fold());

    const auto keys = sink.heardWithCode(NotificationCode::KeyPress);
    // Shift itself is a key too, as it is for the frame.
    ASSERT_EQ(keys.size(), 3);
    EXPECT_EQ(keys[0].values.toList(), (QVariantList {qint16(65), qint16(0)}));
    EXPECT_EQ(keys[1].values.toList(), (QVariantList {qint16(16), qint16(1)}));
    EXPECT_EQ(keys[2].values.toList(), (QVariantList {qint16(65), qint16(1)}));
    EXPECT_EQ(sink.heardWithCode(NotificationCode::Fold).size(), 2);
}

TEST(MainWindow, ClosingIsRefusedForPrivateWindowsAndCancellingListeners)
{
    struct Case
    {
        const char *name;
        bool remoteUnload;
        bool cancel;
        bool closes;
    };
    const Case cases[] = {
        {"private window", true, false, false},
        {"listener cancels BeforeQuit", false, true, false},
        {"nothing in the way", false, false, true},
    };
    for (const Case &c : cases) {
        RecordingSink sink;
        auto window = windowHeardBy(sink);
        QSignalSpy unloaded(window.get(), &WrenlogMainForm::Unloaded);
        window->show();
        window->setRemoteUnload(c.remoteUnload);
        if (c.cancel)
            sink.cancelCodes = {NotificationCode::BeforeQuit};
        EXPECT_EQ(window->Unload(), c.closes) << c.name;
        EXPECT_EQ(window->isVisible(), !c.closes) << c.name;
        EXPECT_EQ(unloaded.count(), c.closes ? 1 : 0) << c.name;
        EXPECT_EQ(sink.killAllCalls, c.closes ? 1 : 0) << c.name;
        EXPECT_EQ(sink.heardWithCode(NotificationCode::BeforeQuit).size(), 1) << c.name;
    }
}

TEST(MainWindow, PluginSubmenuShowsNoneOnlyWithoutEntries)
{
    WrenlogMainForm window;
    window.PrepareContextMenu();
    EXPECT_TRUE(window.mnuPluginItem(0)->isVisible());
    EXPECT_FALSE(window.mnuPluginItem(0)->isEnabled());
    EXPECT_EQ(window.mnuPluginItem(0)->text(), QStringLiteral("(None)"));
    EXPECT_FALSE(window.menuItem("mnuSep6")->isVisible());

    QAction *entry = window.LoadPluginMenuItem();
    window.LoadPluginMenusElement();
    window.PrepareContextMenu();
    EXPECT_EQ(window.mnuPluginItemCount(), 2);
    EXPECT_EQ(window.mnuPluginItem(1), entry);
    EXPECT_FALSE(window.mnuPluginItem(0)->isVisible());
    EXPECT_TRUE(window.menuItem("mnuSep6")->isVisible());
}

TEST(MainWindow, PluginEntriesNotifyTheirIndex)
{
    RecordingSink sink;
    auto window = windowHeardBy(sink);
    for (int i = 0; i < 2; ++i) {
        window->LoadPluginMenuItem()->setEnabled(true);
        window->AddPluginDropDownEntry();
    }
    window->mnuPluginItem(2)->trigger();
    window->pluginDropDownEntry(1)->trigger();
    const auto clicks = sink.heardWithCode(NotificationCode::PluginMenuClick);
    ASSERT_EQ(clicks.size(), 2);
    EXPECT_EQ(clicks[0].values, QVariant(2));
    EXPECT_EQ(clicks[1].values, QVariant(1));
}

TEST(MainWindow, HandlersReportFailuresUnderTheirOwnNames)
{
    ReportCatcher catcher;
    RecordingSink sink;
    auto window = windowHeardBy(sink);
    window->show();
    sink.onNotify = [](qint32 code, const QVariant &) {
        if (code == NotificationCode::KeyPress || code == NotificationCode::OnTop)
            throw AutomationError(13, QStringLiteral("Type mismatch"), QStringLiteral("Wrenlog"));
    };
    QTest::keyClick(keyTarget(*window), Qt::Key_B);
    window->menuItem("mnuOnTop")->trigger();

    ASSERT_EQ(catcher.reports.size(), 2);
    EXPECT_EQ(catcher.reports[0].second, QStringLiteral("WrenlogMainForm.Form_KeyDown"));
    EXPECT_EQ(catcher.reports[1].second, QStringLiteral("WrenlogMainForm.mnuOnTop_Click"));
    EXPECT_EQ(catcher.reports[1].first.source(),
              QStringLiteral("Wrenlog\r\nWrenlogMainForm.OnTop (Let)\r\nWrenlogMainForm.ToggleOnTop"));
}

TEST(MainWindow, PluginManagerCommandLeavesOnTopAsItWas)
{
    RecordingSink sink;
    auto window = windowHeardBy(sink);
    window->show();
    window->setOnTop(true);
    sink.heard.clear();
    window->menuItem("mnuPluginManager")->trigger();
    EXPECT_EQ(sink.dialogShown, 1);
    EXPECT_TRUE(window->OnTop());
    const auto onTop = sink.heardWithCode(NotificationCode::OnTop);
    ASSERT_EQ(onTop.size(), 2);
    EXPECT_EQ(onTop[0].values, QVariant(false));
    EXPECT_EQ(onTop[1].values, QVariant(true));
}

TEST(MainWindow, PrivateWindowLosesItsPluginAndCloseControls)
{
    WrenlogMainForm window;
    window.Load();
    window.MakePrivate();
    EXPECT_FALSE(window.toolbarButton("btnClose")->isVisible());
    EXPECT_FALSE(window.toolbarButton("btnPlugins")->isVisible());
    EXPECT_FALSE(window.menuItem("mnuPlugins")->isVisible());
    EXPECT_FALSE(window.menuItem("mnuSep3")->isVisible());
    EXPECT_FALSE(window.menuItem("mnuQuit")->isEnabled());
    EXPECT_EQ(window.menuItem("mnuQuit")->text(), QStringLiteral("Quit (Private Window)"));
    EXPECT_TRUE(window.RemoteUnload());
}

TEST(MainWindow, FirstRunLoadsAndAFoldedWindowComesBackUnfolded)
{
    LedgerixLibrary::predeclared().setLedgerixRaiseErrors(true);
    // A vendor of its own keeps this test's record apart from every other.
    LedgerixLibrary::predeclared().KSSetFormSaveParams(LedgerixLibrary::ledgerix_Registry,
                                                       QStringLiteral("WrenlogTestFirstRun"));
    ReportCatcher catcher;
    {
        RecordingSink sink;
        auto window = windowHeardBy(sink); // nothing saved yet under this vendor
        EXPECT_TRUE(catcher.reports.isEmpty());
        EXPECT_EQ(sink.heardWithCode(NotificationCode::Ready).size(), 1);
        EXPECT_TRUE(window->TranslucencyAllowed());
        window->show();
        window->setHeight(5000);
        window->ToggleFold();
        ASSERT_TRUE(window->Fold());
        ASSERT_TRUE(window->Unload());
    }
    {
        RecordingSink sink;
        auto window = windowHeardBy(sink);
        EXPECT_FALSE(window->Fold());
        EXPECT_NEAR(window->Height(), 5000, 15);
    }
    EXPECT_TRUE(catcher.reports.isEmpty());
    LedgerixLibrary::predeclared().KSSetFormSaveParams(LedgerixLibrary::ledgerix_StorageString, QString());
}

TEST(MainWindow, ToolbarCheckButtonsFollowTheWindowState)
{
    WrenlogMainForm window;
    window.Load();
    window.show();
    QToolButton *fold = window.toolbarButtonWidget("btnFold");
    ASSERT_NE(fold, nullptr);
    fold->click();
    EXPECT_TRUE(window.Fold());
    EXPECT_TRUE(fold->isChecked());
    EXPECT_TRUE(window.menuItem("mnuFold")->isChecked());
    window.menuItem("mnuFold")->trigger();
    EXPECT_FALSE(window.Fold());
    EXPECT_FALSE(fold->isChecked());
    EXPECT_FALSE(window.menuItem("mnuFold")->isChecked());
}

TEST(MainWindow, FrameAndControlEventsReachThePlugins)
{
    RecordingSink sink;
    auto window = windowHeardBy(sink);
    window->show();
    struct Step
    {
        const char *name;
        std::function<void()> action;
        qint32 code;
    };
    const Step steps[] = {
        {"frame moved", [&] { window->move(window->pos() + QPoint(30, 20)); }, NotificationCode::Move},
        {"frame resized", [&] { window->resize(window->width() + 40, window->height() + 40); },
         NotificationCode::Resize},
        {"top text changed", [&] { window->txtLable()->setText(QStringLiteral("Other:")); },
         NotificationCode::TopTextChange},
        {"shown on request", [&] { window->DebugShow(); }, NotificationCode::DebugShow},
    };
    for (const Step &step : steps) {
        sink.heard.clear();
        step.action();
        QCoreApplication::processEvents();
        EXPECT_FALSE(sink.heardWithCode(step.code).isEmpty()) << step.name;
    }
}

namespace {

QWidget *viewSurface(WrenlogMainForm &window)
{
    return window.rtbDetails()->findChild<QTextEdit *>()->viewport();
}

/// Right-clicks the view and picks a context menu item with the mouse, as a user does.
void pickFromContextMenu(WrenlogMainForm &window, const char *item)
{
    QTest::mouseClick(viewSurface(window), Qt::RightButton, {}, QPoint(4, 4));
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    ASSERT_EQ(menu, window.mnuContext()) << item;
    QAction *action = window.menuItem(QString::fromLatin1(item));
    ASSERT_TRUE(menu->actionGeometry(action).isValid()) << item;
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << item;
}

void clickButton(WrenlogMainForm &window, const char *key)
{
    QToolButton *button = window.toolbarButtonWidget(QString::fromLatin1(key));
    ASSERT_NE(button, nullptr) << key;
    QTest::mouseClick(button, Qt::LeftButton);
}

void select(WrenlogMainForm &window, qint32 start, qint32 length)
{
    window.rtbDetails()->setSelStart(start);
    window.rtbDetails()->setSelLength(length);
}

} // namespace

TEST(MainWindow, EditingCommandsRunFromTheMenuAndTheToolbarAsAUserWould)
{
    RecordingSink sink;
    auto window = windowHeardBy(sink);
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    RichTextView *view = window->rtbDetails();
    window->DebugPrint(QStringLiteral("abcdef"), wlogNormal, false);
    QApplication::clipboard()->clear();

    select(*window, 0, 3);
    clickButton(*window, "btnCopy");
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("abc"));
    EXPECT_EQ(view->Text(), QStringLiteral("abcdef"));

    select(*window, 1, 2);
    pickFromContextMenu(*window, "mnuCut");
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("bc"));
    EXPECT_EQ(view->Text(), QStringLiteral("adef"));

    select(*window, 4, 0);
    clickButton(*window, "btnPaste");
    EXPECT_EQ(view->Text(), QStringLiteral("adefbc"));
    select(*window, 0, 0);
    pickFromContextMenu(*window, "mnuPaste");
    EXPECT_EQ(view->Text(), QStringLiteral("bcadefbc"));

    // Delete is the Delete key: the selection, or else the character after the caret.
    select(*window, 2, 2);
    clickButton(*window, "btnDelete");
    EXPECT_EQ(view->Text(), QStringLiteral("bcefbc"));
    select(*window, 0, 0);
    pickFromContextMenu(*window, "mnuDelete");
    EXPECT_EQ(view->Text(), QStringLiteral("cefbc"));
    clickButton(*window, "btnDelete");
    EXPECT_EQ(view->Text(), QStringLiteral("efbc"));

    select(*window, 0, 2);
    clickButton(*window, "btnCut");
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("ef"));
    select(*window, 0, 1);
    pickFromContextMenu(*window, "mnuCopy");
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("b"));
    EXPECT_EQ(view->Text(), QStringLiteral("bc"));

    clickButton(*window, "btnEraseAll");
    EXPECT_EQ(view->Text(), QString());
    window->DebugPrint(QStringLiteral("again"));
    pickFromContextMenu(*window, "mnuErase");
    EXPECT_EQ(view->Text(), QString());
    EXPECT_EQ(sink.heardWithCode(NotificationCode::AfterEraseAll).size(), 2);

    QSignalSpy unloaded(window.get(), &WrenlogMainForm::Unloaded);
    pickFromContextMenu(*window, "mnuQuit");
    EXPECT_EQ(unloaded.count(), 1);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(sink.heardWithCode(NotificationCode::BeforeQuit).size(), 1);
}

TEST(MainWindow, QuitOnTheToolbarClosesTheWindow)
{
    RecordingSink sink;
    auto window = windowHeardBy(sink);
    window->show();
    QSignalSpy unloaded(window.get(), &WrenlogMainForm::Unloaded);
    clickButton(*window, "btnClose");
    EXPECT_EQ(unloaded.count(), 1);
    EXPECT_FALSE(window->isVisible());
}

TEST(MainWindow, FocusEventsFollowTheControlsNotTheWindowOrItsMenus)
{
    RecordingSink sink;
    auto window = windowHeardBy(sink);
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    auto heard = [&](qint32 code) { return sink.heardWithCode(code).size(); };
    QTest::mouseClick(viewSurface(*window), Qt::LeftButton, {}, QPoint(4, 4));
    ASSERT_EQ(QApplication::focusWidget(), window->rtbDetails()->focusProxy());

    // Moving between the two controls is a real focus change for both.
    sink.heard.clear();
    QTest::mouseClick(window->txtLable(), Qt::LeftButton);
    ASSERT_EQ(QApplication::focusWidget(), window->txtLable());
    EXPECT_EQ(heard(NotificationCode::LostFocus), 1);
    EXPECT_EQ(heard(NotificationCode::TopTextGotFocus), 1);
    sink.heard.clear();
    QTest::mouseClick(viewSurface(*window), Qt::LeftButton, {}, QPoint(4, 4));
    EXPECT_EQ(heard(NotificationCode::TopTextLostFocus), 1);
    EXPECT_EQ(heard(NotificationCode::GotFocus), 1);

    // Another window taking the activation, and giving it back, is the frame's business only.
    QWidget other;
    other.resize(100, 60);
    auto activateOtherAndBack = [&] {
        other.show();
        other.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        other.hide();
    };
    sink.heard.clear();
    activateOtherAndBack();
    EXPECT_EQ(heard(NotificationCode::DeActivate), 1);
    EXPECT_EQ(heard(NotificationCode::Activate), 1);
    EXPECT_EQ(heard(NotificationCode::LostFocus), 0);
    EXPECT_EQ(heard(NotificationCode::GotFocus), 0);

    // Neither does the context menu move the focus.
    sink.heard.clear();
    QTest::mouseClick(viewSurface(*window), Qt::RightButton, {}, QPoint(4, 4));
    QWidget *menu = QApplication::activePopupWidget();
    ASSERT_EQ(menu, window->mnuContext());
    QTest::keyClick(menu, Qt::Key_Escape);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_EQ(heard(NotificationCode::LostFocus), 0);
    EXPECT_EQ(heard(NotificationCode::GotFocus), 0);

    // The same for the top text.
    QTest::mouseClick(window->txtLable(), Qt::LeftButton);
    sink.heard.clear();
    activateOtherAndBack();
    EXPECT_EQ(heard(NotificationCode::Activate), 1);
    EXPECT_EQ(heard(NotificationCode::TopTextLostFocus), 0);
    EXPECT_EQ(heard(NotificationCode::TopTextGotFocus), 0);
}
