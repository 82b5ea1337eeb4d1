#include "ChorescanFixture.h"

#include "FolderBrowser.h"
#include "PluginMenu.h"
#include "PluginMenuItem.h"
#include "PluginWindow.h"
#include "RichTextView.h"
#include "TestEnvironment.h"
#include "WrenlogPlugin.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMetaObject>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

/// Runs what while the next modal dialog is open (it must close it).
void whenModal(std::function<void(QWidget *)> what)
{
    QTimer::singleShot(0, [what] {
        QWidget *dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        what(dialog);
    });
}

template<typename T>
T *control(QWidget *dialog, const char *name)
{
    T *found = dialog->findChild<T *>(QLatin1StringView(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

} // namespace

TEST_F(ChorescanTest, ContractMembersRunAndKill)
{
    writeSettings(QString());
    start(false);
    WrenlogPlugin *p = plugin();
    EXPECT_EQ(p->Name().toString(), QStringLiteral("Chorescan"));
    EXPECT_EQ(p->Version().toString(), QStringLiteral("1.1"));
    EXPECT_EQ(p->DateStamp().toString(), QStringLiteral("23-Jul-2001"));
    EXPECT_EQ(p->Comments().toString(), QStringLiteral("A very rushed plugin to find To Do's in code"));
    EXPECT_FALSE(p->Author().toString().isEmpty());
    EXPECT_EQ(p->Key(), QStringLiteral("KSChorescan.Chorescan"));
    EXPECT_TRUE(p->HasProperties());

    // Initialize adds nothing; Run adds a separator and the command.
    EXPECT_EQ(window()->Menu()->MenuItemCount(), 0);
    EXPECT_FALSE(p->IsRunning());
    p->Run();
    EXPECT_TRUE(p->IsRunning());
    ASSERT_EQ(window()->Menu()->MenuItemCount(), 2);
    EXPECT_EQ(window()->Menu()->MenuItem(1)->Caption(), QStringLiteral("-"));
    EXPECT_EQ(window()->Menu()->MenuItem(2)->Caption(), QStringLiteral("Chorescan"));

    p->Kill();
    EXPECT_TRUE(p->IsRunning());
    EXPECT_EQ(window()->Menu()->MenuItemCount(), 2);
    EXPECT_TRUE(window()->Menu()->MenuItem(2)->Enabled());
}

TEST_F(ChorescanTest, ASecondClickDuringAScanIsIgnored)
{
    const QString dir = TestEnvironment::freshFolder(QStringLiteral("one"));
    writeLines(dir + QStringLiteral("/One.bas"), {QStringLiteral("'ToDo once"), QStringLiteral("' and more")});
    writeSettings(dir, QStringLiteral("0"));
    start();
    PluginMenuItem *item = window()->Menu()->MenuItem(2);
    QList<bool> enabledWhilePrinting;
    QObject::connect(window(), &PluginWindow::DebugPrintEvent, window(), [&](const QString &, qint32, bool, bool &) {
        enabledWhilePrinting.append(item->Enabled());
        if (enabledWhilePrinting.size() == 3)
            item->MenuClick();
    });
    clickCommand();

    ASSERT_EQ(prints.size(), 10);
    EXPECT_EQ(
        std::count_if(prints.begin(), prints.end(), [](const Print &p) { return p.text == u"Kestrane - Chorescan"; }),
        1);
    EXPECT_EQ(prints.at(prints.size() - 2).text, QStringLiteral("Total Number of ToDo's found: 1"));
    EXPECT_EQ(enabledWhilePrinting, QList<bool>(10, false));
    EXPECT_TRUE(item->Enabled());

    // Once finished, the command scans again.
    prints.clear();
    clickCommand();
    EXPECT_EQ(prints.size(), 10);
}

TEST_F(ChorescanTest, PropertiesDialogShowsAndStoresTheSettings)
{
    const QString chosen = TestEnvironment::freshFolder(QStringLiteral("chosen"));
    struct Row
    {
        const char *name;
        QString fullResults;
        bool checkedOnLoad;
        std::function<void(QWidget *)> act;
        QStringList storedAfter;
    };
    const QStringList untouched {QStringLiteral("[KSChorescan.Chorescan]"), QStringLiteral("WorkingPath=/old/folder"),
                                 QStringLiteral("FullResults=1")};
    const auto click = [](const char *button) {
        return [button](QWidget *dialog) { control<QPushButton>(dialog, button)->click(); };
    };
    const QList<Row> rows {
        {"OK stores the path and then the box",
         QStringLiteral("1"),
         true,
         [](QWidget *dialog) {
             control<QLineEdit>(dialog, "txtDirectory")->setText(QStringLiteral("/new/folder"));
             control<QCheckBox>(dialog, "chkFullResults")->setChecked(false);
             control<QPushButton>(dialog, "cmdOK")->click();
         },
         {QStringLiteral("[KSChorescan.Chorescan]"), QStringLiteral("WorkingPath=/new/folder"),
          QStringLiteral("FullResults=0")}},
        {"Cancel stores nothing", QStringLiteral("1"), true,
         [](QWidget *dialog) {
             control<QLineEdit>(dialog, "txtDirectory")->setText(QStringLiteral("/new/folder"));
             control<QPushButton>(dialog, "cmdCancel")->click();
         },
         untouched},
        {"Esc stores nothing", QStringLiteral("1"), true,
         [](QWidget *dialog) {
             control<QLineEdit>(dialog, "txtDirectory")->setText(QStringLiteral("/new/folder"));
             QTest::keyClick(dialog, Qt::Key_Escape);
         },
         untouched},
        {"a non-number leaves the box clear",
         QStringLiteral("yes"),
         false,
         click("cmdOK"),
         {QStringLiteral("[KSChorescan.Chorescan]"), QStringLiteral("WorkingPath=/old/folder"),
          QStringLiteral("FullResults=0")}},
        {"a hand-written 2 shows a clear two-state box and OK writes 0",
         QStringLiteral("2"),
         false,
         [](QWidget *dialog) {
             auto *box = control<QCheckBox>(dialog, "chkFullResults");
             EXPECT_FALSE(box->isTristate());
             EXPECT_EQ(box->checkState(), Qt::Unchecked);
             control<QPushButton>(dialog, "cmdOK")->click();
         },
         {QStringLiteral("[KSChorescan.Chorescan]"), QStringLiteral("WorkingPath=/old/folder"),
          QStringLiteral("FullResults=0")}},
        {"the chooser fills the box",
         QStringLiteral("0"),
         false,
         [chosen](QWidget *dialog) {
             control<QPushButton>(dialog, "cmdBrowseDir")->click();
             EXPECT_EQ(control<QLineEdit>(dialog, "txtDirectory")->text(), chosen);
             control<QCheckBox>(dialog, "chkFullResults")->setChecked(true);
             control<QPushButton>(dialog, "cmdOK")->click();
         },
         {QStringLiteral("[KSChorescan.Chorescan]"), QStringLiteral("WorkingPath=") + chosen,
          QStringLiteral("FullResults=1")}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        writeSettings(QStringLiteral("/old/folder"), row.fullResults);
        QStringList titles;
        FolderBrowser::setPresenter([&](const FolderBrowser::Request &request) {
            titles.append(request.title);
            return chosen;
        });
        start();
        bool acted = false;
        whenModal([&](QWidget *dialog) {
            EXPECT_EQ(dialog->windowTitle(), QStringLiteral("'Chorescan' Properties"));
            EXPECT_EQ(control<QLineEdit>(dialog, "txtDirectory")->text(), QStringLiteral("/old/folder"));
            EXPECT_EQ(control<QCheckBox>(dialog, "chkFullResults")->isChecked(), row.checkedOnLoad);
            row.act(dialog);
            acted = true;
        });
        plugin()->ShowProperties();
        EXPECT_TRUE(acted);
        EXPECT_EQ(settingsLines(), row.storedAfter);
        EXPECT_EQ(titles,
                  row.name == std::string_view("the chooser fills the box")
                      ? QStringList {QStringLiteral("Chorescan Working Folder")}
                      : QStringList());
        form.reset();
    }
}

TEST_F(ChorescanTest, TheChoiceReplacesTheFolderBoxUpToItsFirstNul)
{
    struct Row
    {
        QString chosen;
        QString shown;
    };
    const QList<Row> rows {{QString(), QString()},
                           {QStringLiteral("/a/b"), QStringLiteral("/a/b")},
                           {QStringLiteral("/a/b") + QChar(u'\0') + QStringLiteral("junk"), QStringLiteral("/a/b")}};
    writeSettings(QStringLiteral("/old/folder"), QStringLiteral("0"));
    start();
    for (const Row &row : rows) {
        FolderBrowser::setPresenter([&](const FolderBrowser::Request &) { return row.chosen; });
        QString shown = QStringLiteral("unchanged");
        whenModal([&](QWidget *dialog) {
            control<QPushButton>(dialog, "cmdBrowseDir")->click();
            shown = control<QLineEdit>(dialog, "txtDirectory")->text();
            control<QPushButton>(dialog, "cmdCancel")->click();
        });
        plugin()->ShowProperties();
        EXPECT_EQ(shown, row.shown);
    }
}

TEST_F(ChorescanTest, TheRealFolderChooserOffersFoldersOnly)
{
    const QString chosen = TestEnvironment::freshFolder(QStringLiteral("real"));
    for (const bool accept : {true, false}) {
        SCOPED_TRACE(accept ? "accepted" : "cancelled");
        QString title;
        bool directoriesOnly = false;
        QTimer::singleShot(0, [&] {
            QFileDialog *dialog = nullptr;
            for (QWidget *widget : QApplication::topLevelWidgets()) {
                if (auto *open = qobject_cast<QFileDialog *>(widget); open && open->isVisible())
                    dialog = open;
            }
            ASSERT_NE(dialog, nullptr);
            title = dialog->windowTitle();
            directoriesOnly = dialog->fileMode() == QFileDialog::Directory;
            if (accept) {
                dialog->setDirectory(chosen);
                QMetaObject::invokeMethod(dialog, "accept");
            } else {
                dialog->reject();
            }
        });
        const QString result = FolderBrowser::showWidget({0, QStringLiteral("Pick one")});
        EXPECT_EQ(title, QStringLiteral("Pick one"));
        EXPECT_TRUE(directoriesOnly);
        EXPECT_EQ(result, accept ? chosen : QString());
    }
}

TEST_F(ChorescanTest, SplashStaysOnTopAndClosesAfterSixTicks)
{
    writeSettings(QString());
    start();
    plugin()->Splash();
    QWidget *splash = findTopLevel(QStringLiteral("MySplashForm"));
    ASSERT_NE(splash, nullptr);
    EXPECT_TRUE(splash->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(splash->windowTitle().isEmpty());
    QPointer<QWidget> alive(splash);
    for (int tick = 1; tick <= 5; ++tick)
        QMetaObject::invokeMethod(splash, "Timer1_Timer");
    EXPECT_TRUE(splash->isVisible());
    QMetaObject::invokeMethod(splash, "Timer1_Timer");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull());
}

TEST_F(ChorescanTest, AWindowClosedDuringTheScanEndsTheScan)
{
    const QString dir = TestEnvironment::freshFolder(QStringLiteral("long"));
    QStringList lines;
    for (int i = 0; i < 400; ++i)
        lines << (i % 50 == 40 ? QStringLiteral("' ToDo not yet") : QStringLiteral("x = x + 1 ' step %1").arg(i));
    lines << QStringLiteral("'ToDo at the end");
    for (int f = 0; f < 200; ++f)
        writeLines(dir + QStringLiteral("/File%1.bas").arg(f, 3, 10, QLatin1Char('0')), lines);
    writeSettings(dir, QStringLiteral("0"));
    start();
    bool closed = false;
    QObject::connect(window(), &PluginWindow::DebugPrintEvent, window(), [&](const QString &, qint32, bool, bool &) {
        if (prints.size() == 6) {
            QTimer::singleShot(0, [&] {
                form.reset();
                closed = true;
            });
            // The scan hands over at most every 10 ms and may end sooner:
            // waiting that long makes the next hand-over come during the scan.
            QTest::qSleep(20);
        }
    });
    clickCommand();
    EXPECT_TRUE(closed);
    ASSERT_GE(prints.size(), 6);
    EXPECT_LT(prints.size(), 200 * 5);
    EXPECT_FALSE(prints.constLast().text.startsWith(QStringLiteral("Total Number")));
}

TEST_F(ChorescanTest, AWindowTheUserClosesDuringTheScanEndsTheScanBeforeThePluginGoes)
{
    const QString dir = TestEnvironment::freshFolder(QStringLiteral("long"));
    QStringList lines;
    for (int i = 0; i < 400; ++i)
        lines << (i % 50 == 40 ? QStringLiteral("'ToDo step %1").arg(i) : QStringLiteral("x = x + 1 ' step %1").arg(i));
    for (int f = 0; f < 200; ++f)
        writeLines(dir + QStringLiteral("/File%1.bas").arg(f, 3, 10, QLatin1Char('0')), lines);
    writeSettings(dir, QStringLiteral("0"));
    start();
    QPointer<QObject> alive(dynamic_cast<QObject *>(plugin()));
    bool closed = false;
    QObject::connect(window(), &PluginWindow::DebugPrintEvent, window(), [&](const QString &, qint32, bool, bool &) {
        if (prints.size() == 6)
            QTimer::singleShot(0, form.get(), [&] { closed = form->close(); });
    });
    ASSERT_EQ(form->mnuPluginItem(2)->text(), QStringLiteral("Chorescan"));
    form->mnuPluginItem(2)->trigger(); // the command, through the window's own menu
    EXPECT_TRUE(closed);
    EXPECT_TRUE(form->isUnloaded());
    // The scan ended with the window: it did not walk on to its total.
    EXPECT_FALSE(form->rtbDetails()->Text().contains(QStringLiteral("Total Number")));
    EXPECT_EQ(form->pluginManager(), nullptr) << "released once the command had returned";
    EXPECT_TRUE(alive.isNull());
}
