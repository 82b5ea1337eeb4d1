#include "FilesTestSupport.h"
#include "Guard.h"
#include "LedgerixLibrary.h"
#include "PluginManager.h"
#include "PluginManagerForm.h"
#include "PropertyStore.h"
#include "Twips.h"
#include "WrenlogMainForm.h"
#include "WrenlogPlugin.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

const QString plainKey = QStringLiteral("WLTestManageable.Plain");
const QString configurableKey = QStringLiteral("WLTestManageable.Configurable");

/// Window positions of each test go under a vendor of their own, so every
/// test starts with nothing saved.
void freshPositionStore()
{
    static int vendor = 0;
    LedgerixLibrary::predeclared().KSSetFormSaveParams(LedgerixLibrary::ledgerix_Registry,
                                                       QStringLiteral("FilesTests%1").arg(++vendor));
}

struct OpenDialog
{
    explicit OpenDialog(PluginManager *manager)
        : dialog(new PluginManagerForm)
    {
        dialog->Execute(manager);
    }
    ~OpenDialog()
    {
        if (dialog)
            dialog->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        delete dialog;
    }
    /// Closes the window by its close box and lets it go.
    void closeBox()
    {
        dialog->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QTreeWidgetItem *row(int i) const { return dialog->lvwPlugins()->topLevelItem(i); }
    void click(int i) const
    {
        QTreeWidget *list = dialog->lvwPlugins();
        const QRect rect = list->visualItemRect(row(i));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(rect.center().x() + 20, rect.center().y()));
    }
    QList<int> widths() const
    {
        QList<int> pixels;
        for (int i = 0; i < dialog->lvwPlugins()->columnCount(); ++i)
            pixels.append(dialog->lvwPlugins()->header()->sectionSize(i));
        return pixels;
    }

    QPointer<PluginManagerForm> dialog;
};

QStringList headers(QTreeWidget *list)
{
    QStringList texts;
    for (int i = 0; i < list->columnCount(); ++i)
        texts.append(list->headerItem()->text(i));
    return texts;
}

QList<int> pixelsOf(std::initializer_list<int> twips)
{
    QList<int> pixels;
    for (int width : twips)
        pixels.append(Twips::toPixelsX(width));
    return pixels;
}

} // namespace

TEST(PluginManagerForm, FirstOpeningShowsThePluginsWithDefaultWidths)
{
    freshPositionStore();
    HostWithPlugins host;
    OpenDialog open(host.manager());
    PluginManagerForm &dialog = *open.dialog;
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Plugin Manager"));
    EXPECT_EQ(dialog.lblListTitle()->text(), QStringLiteral("&Plugin List:"));
    EXPECT_EQ(dialog.cmdClose()->text(), QStringLiteral("&Close"));
    EXPECT_EQ(dialog.cmdRun()->text(), QStringLiteral("&Run Now"));
    EXPECT_EQ(dialog.cmdProperties()->text(), QStringLiteral("&Properties..."));
    EXPECT_EQ(headers(dialog.lvwPlugins()),
              (QStringList {QStringLiteral("Run at sartup / Name"), QStringLiteral("Author"), QStringLiteral("Version"),
                            QStringLiteral("Running")}));
    EXPECT_EQ(open.widths(), pixelsOf({2000, 1800, 800, 800}));

    ASSERT_EQ(dialog.lvwPlugins()->topLevelItemCount(), 2);
    const QStringList expected[] = {
        {QStringLiteral("Plain"), QStringLiteral("Tests"), QStringLiteral("1.0"), QStringLiteral("No")},
        {QStringLiteral("Configurable"), QStringLiteral("Tests"), QStringLiteral("2.5"), QStringLiteral("No")},
    };
    for (int i = 0; i < 2; ++i) {
        QStringList cells;
        for (int column = 0; column < 4; ++column)
            cells.append(open.row(i)->text(column));
        EXPECT_EQ(cells, expected[i]);
        EXPECT_EQ(open.row(i)->toolTip(0), QStringLiteral("Comments of ") + expected[i].first());
        EXPECT_EQ(open.row(i)->checkState(0), Qt::Unchecked);
        EXPECT_FALSE(open.row(i)->flags() & Qt::ItemIsEditable) << "label edits are refused";
    }
    EXPECT_TRUE(dialog.lvwPlugins()->selectedItems().isEmpty());
    EXPECT_FALSE(dialog.cmdRun()->isEnabled());
    EXPECT_FALSE(dialog.cmdProperties()->isEnabled());
}

TEST(PluginManagerForm, WidthsAndPositionComeBackNextTime)
{
    freshPositionStore();
    HostWithPlugins host;
    QRect bounds;
    {
        OpenDialog open(host.manager());
        open.dialog->lvwPlugins()->header()->resizeSection(0, 211);
        open.dialog->lvwPlugins()->header()->resizeSection(3, 37);
        open.dialog->setLeft(1500);
        open.dialog->setTop(900);
        open.dialog->setWidth(9000);
        bounds = QRect(open.dialog->Left(), open.dialog->Top(), open.dialog->Width(), open.dialog->Height());
        open.closeBox();
    }
    OpenDialog again(host.manager());
    EXPECT_EQ(again.widths(), (QList<int> {211, Twips::toPixelsX(1800), Twips::toPixelsX(800), 37}));
    EXPECT_EQ(QRect(again.dialog->Left(), again.dialog->Top(), again.dialog->Width(), again.dialog->Height()), bounds);
}

TEST(PluginManagerForm, StartUpEntriesDecideTheCheckBoxes)
{
    freshPositionStore();
    HostWithPlugins host;
    const struct
    {
        const char *stored; // nullptr: no entry
        Qt::CheckState shown;
    } rows[] = {
        {"True", Qt::Checked},    {"true", Qt::Checked}, {"-1", Qt::Checked},      {"2", Qt::Checked},
        {"False", Qt::Unchecked}, {"0", Qt::Unchecked},  {"maybe", Qt::Unchecked}, {nullptr, Qt::Unchecked},
    };
    PropertyStore *startUp = host.manager()->PropertyStores();
    for (const auto &row : rows) {
        startUp->SetProperty(configurableKey, QStringLiteral("True"));
        if (row.stored)
            startUp->SetProperty(plainKey, QString::fromLatin1(row.stored));
        OpenDialog open(host.manager());
        ASSERT_EQ(open.dialog->lvwPlugins()->topLevelItemCount(), 2);
        EXPECT_EQ(open.row(0)->checkState(0), row.shown) << (row.stored ? row.stored : "(none)");
        EXPECT_EQ(open.row(1)->checkState(0), Qt::Checked) << "a bad entry spoils only its own row";
        open.closeBox();
    }
}

TEST(PluginManagerForm, CloseWritesTheChoicesAndTheCloseBoxDoesNot)
{
    freshPositionStore();
    HostWithPlugins host;
    {
        OpenDialog open(host.manager());
        open.row(0)->setCheckState(0, Qt::Checked);
        open.closeBox();
    }
    EXPECT_FALSE(host.iniText().contains(plainKey)) << qPrintable(host.iniText());

    OpenDialog open(host.manager());
    EXPECT_EQ(open.row(0)->checkState(0), Qt::Unchecked) << "the tick before was lost";
    open.row(0)->setCheckState(0, Qt::Checked);
    QTest::mouseClick(open.dialog->cmdClose(), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(open.dialog.isNull()) << "Close unloads the dialog";
    const QString ini = host.iniText();
    EXPECT_TRUE(ini.contains(QStringLiteral("[StartUp]"))) << qPrintable(ini);
    EXPECT_TRUE(ini.contains(plainKey + QStringLiteral("=True"))) << qPrintable(ini);
    EXPECT_TRUE(ini.contains(configurableKey + QStringLiteral("=False"))) << qPrintable(ini);
}

TEST(PluginManagerForm, ButtonsFollowTheClickedRowAndRunNowShowsYes)
{
    freshPositionStore();
    clearFilesTrace();
    HostWithPlugins host;
    OpenDialog open(host.manager());
    PluginManagerForm &dialog = *open.dialog;

    open.click(1);
    EXPECT_TRUE(dialog.cmdProperties()->isEnabled());
    EXPECT_TRUE(dialog.cmdRun()->isEnabled());
    QTest::mouseClick(dialog.cmdProperties(), Qt::LeftButton);
    EXPECT_EQ(filesTrace(), QStringList {configurableKey + QStringLiteral(":ShowProperties")});

    open.click(0);
    EXPECT_FALSE(dialog.cmdProperties()->isEnabled());
    ASSERT_TRUE(dialog.cmdRun()->isEnabled());
    QTest::mouseClick(dialog.cmdRun(), Qt::LeftButton);
    EXPECT_EQ(filesTrace().value(1), plainKey + QStringLiteral(":Run"));
    ASSERT_EQ(dialog.lvwPlugins()->topLevelItemCount(), 2);
    EXPECT_EQ(open.row(0)->text(3), QStringLiteral("Yes"));
    EXPECT_EQ(open.row(1)->text(3), QStringLiteral("No"));
    // The rebuilt list selects its first row, the plug-in now running.
    EXPECT_FALSE(dialog.cmdRun()->isEnabled());
    EXPECT_FALSE(dialog.cmdProperties()->isEnabled());
}

TEST(PluginManagerForm, ButtonsFollowTheArrowKeysAndAskThePluginAtThatMoment)
{
    freshPositionStore();
    clearFilesTrace();
    HostWithPlugins host;
    OpenDialog open(host.manager());
    PluginManagerForm &dialog = *open.dialog;
    QTreeWidget *list = dialog.lvwPlugins();
    open.click(0); // Plain: no properties, not running
    ASSERT_FALSE(dialog.cmdProperties()->isEnabled());
    ASSERT_TRUE(dialog.cmdRun()->isEnabled());

    QTest::keyClick(list, Qt::Key_Down);
    ASSERT_EQ(list->currentItem(), open.row(1));
    EXPECT_TRUE(dialog.cmdProperties()->isEnabled()) << "Configurable has properties";
    EXPECT_TRUE(dialog.cmdRun()->isEnabled());

    // Configurable starts running behind the dialog's back; its row still says No.
    host.manager()->Plugin(configurableKey)->Run();
    QTest::keyClick(list, Qt::Key_Up);
    EXPECT_FALSE(dialog.cmdProperties()->isEnabled());
    EXPECT_TRUE(dialog.cmdRun()->isEnabled());
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(open.row(1)->text(3), QStringLiteral("No"));
    EXPECT_FALSE(dialog.cmdRun()->isEnabled()) << "Run Now offered for a running plug-in";
    EXPECT_TRUE(dialog.cmdProperties()->isEnabled());
}

TEST(PluginManagerForm, CannotBeMadeSmallerThanItsMinimum)
{
    freshPositionStore();
    HostWithPlugins host;
    OpenDialog open(host.manager());
    open.dialog->resize(40, 30);
    QApplication::processEvents();
    const QSize frame = open.dialog->frameGeometry().size();
    EXPECT_GE(frame.width(), 286);
    EXPECT_GE(frame.height(), 256);
    open.dialog->resize(600, 400);
    const QTreeWidget *list = open.dialog->lvwPlugins();
    EXPECT_EQ(list->geometry().right() + 1, open.dialog->picButtons()->x()) << "the list reaches the buttons";
    EXPECT_EQ(open.dialog->picButtons()->geometry().right() + 1, open.dialog->width());
}

TEST(PluginManagerForm, SecondExecuteOnlyBringsItForward)
{
    freshPositionStore();
    HostWithPlugins host;
    OpenDialog open(host.manager());
    QTreeWidgetItem *first = open.row(0);
    first->setCheckState(0, Qt::Checked);
    open.dialog->Execute(host.manager());
    EXPECT_EQ(open.row(0), first) << "the list was rebuilt";
    EXPECT_EQ(first->checkState(0), Qt::Checked);
    EXPECT_TRUE(open.dialog->isVisible());
}

TEST(PluginManagerForm, MainWindowCommandLeavesOnTopAsItWas)
{
    freshPositionStore();
    clearFilesTrace();
    HostWithPlugins host;
    host.window->setOnTop(true);
    clearFilesTrace();
    host.window->menuItem(QStringLiteral("mnuPluginManager"))->trigger();
    EXPECT_EQ(
        filesTrace(),
        (QStringList {plainKey + QStringLiteral(":OnTop(False)"), configurableKey + QStringLiteral(":OnTop(False)"),
                      plainKey + QStringLiteral(":OnTop(True)"), configurableKey + QStringLiteral(":OnTop(True)")}));
    EXPECT_TRUE(host.window->OnTop());

    QPointer<PluginManagerForm> dialog;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *form = qobject_cast<PluginManagerForm *>(widget); form && form->isVisible())
            dialog = form;
    }
    ASSERT_FALSE(dialog.isNull());
    host.window->menuItem(QStringLiteral("mnuPluginManager"))->trigger();
    int dialogs = 0;
    for (QWidget *widget : QApplication::topLevelWidgets())
        dialogs += qobject_cast<PluginManagerForm *>(widget) ? 1 : 0;
    EXPECT_EQ(dialogs, 1) << "a second command opens no second dialog";

    host.window->close(); // closing the main window unloads the dialog
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dialog.isNull());
}

TEST(PluginManagerForm, SavedWidthsOfTooFewColumnsAreReportedByTheLoad)
{
    freshPositionStore();
    HostWithPlugins host;
    {
        PluginManagerForm stand;
        LedgerixLibrary::predeclared().KSSaveFormParams(&stand, QStringLiteral("900|700"), true);
    }
    QStringList sources;
    Guard::setReportHook([&](const AutomationError &error, const QString &sourceName) {
        sources << sourceName + QLatin1Char('|') + error.sourceLines().join(QLatin1Char(','));
    });
    OpenDialog open(host.manager());
    Guard::setReportHook({});
    ASSERT_EQ(sources.size(), 1);
    EXPECT_TRUE(sources.first().startsWith(QStringLiteral("PluginManagerForm.Form_Load|")))
        << qPrintable(sources.first());
    EXPECT_TRUE(sources.first().endsWith(QStringLiteral(",PluginManagerForm.SetupListView")))
        << qPrintable(sources.first());
    EXPECT_TRUE(open.dialog->isVisible()) << "the dialog still opens";
}

TEST(PluginManagerForm, CommandRightAfterCloseOpensAFreshDialog)
{
    freshPositionStore();
    HostWithPlugins host;
    QAction *command = host.window->menuItem(QStringLiteral("mnuPluginManager"));
    command->trigger();
    QPointer<PluginManagerForm> first;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *form = qobject_cast<PluginManagerForm *>(widget); form && form->isVisible())
            first = form;
    }
    ASSERT_FALSE(first.isNull());
    first->cmdClose_Click();
    command->trigger(); // before the closed dialog is deleted
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
    int open = 0;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *form = qobject_cast<PluginManagerForm *>(widget); form && form->isVisible())
            ++open;
    }
    EXPECT_EQ(open, 1);
}
