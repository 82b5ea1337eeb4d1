#include "PluginHostFixture.h"

#include "AutomationError.h"
#include "LoadProgress.h"
#include "PluginManager.h"
#include "PluginManagerForm.h"
#include "PropertyStore.h"
#include "TestEnvironment.h"
#include "WrenlogMainForm.h"
#include "WrenlogPlugin.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

QString notAPlugin(const QString &file)
{
    return QLatin1Char('\'') + file + QStringLiteral("' is not a plugin");
}

struct CandidateRow
{
    const char *relativePath;
    int expectedCount;
};

void PrintTo(const CandidateRow &row, std::ostream *out)
{
    *out << row.relativePath;
}

class CandidateFiles : public ::testing::TestWithParam<CandidateRow>
{
};

} // namespace

TEST_P(CandidateFiles, OnlySoFilesInSubFoldersAreLoaded)
{
    AppFolder app;
    const QString relative = QString::fromLatin1(GetParam().relativePath);
    const QString folder = relative.section(QLatin1Char('/'), 0, -2);
    const QString file = relative.section(QLatin1Char('/'), -1);
    if (folder.isEmpty()) {
        // Directly in Plugins: copied there through a sub-folder-less path.
        app.install(QStringLiteral("Recorder"), QStringLiteral("."), file);
    } else {
        app.install(QStringLiteral("Recorder"), folder, file);
    }
    RunningHost host(app);
    ASSERT_NE(host.manager(), nullptr);
    EXPECT_EQ(host.manager()->PluginCount(), GetParam().expectedCount) << GetParam().relativePath;
}

INSTANTIATE_TEST_SUITE_P(
    Scan, CandidateFiles,
    ::testing::Values(CandidateRow {"Recorder.so", 0}, // not in a sub-folder
                      CandidateRow {"Rec/Recorder.so", 2}, CandidateRow {"Rec/RECORDER.SO", 2}, // any case
                      CandidateRow {"Rec/Recorder.So", 2}, CandidateRow {"Rec/Recorder.so.txt", 0}, // ends in .txt
                      CandidateRow {"Rec/Recorder.dll", 0}, CandidateRow {"Rec/Deeper/Recorder.so", 0})); // too deep

TEST(Scan, ThreeClassLibraryLoadsOnePluginAndStepsThroughAllClasses)
{
    AppFolder app;
    app.install(QStringLiteral("ThreeClasses"), QStringLiteral("Three"));
    RunningHost host(app);

    ASSERT_EQ(host.manager()->PluginCount(), 1);
    EXPECT_EQ(host.manager()->keys(), QStringList {QStringLiteral("WLTestThree.Probe")});
    const QList<QPair<int, int>> steps {{1, 3}, {2, 3}, {3, 3}};
    EXPECT_EQ(host.progress, steps);
    const QStringList expected {
        QStringLiteral("Checking folder: 'Three'"),    QStringLiteral("Lookin at: 'ThreeClasses.so'"),
        notAPlugin(QStringLiteral("ThreeClasses.so")), // Helper: no contract
        QStringLiteral("Found: WLTestThree.Probe"),    QStringLiteral("Initializing plugin: Probe(Tests)"),
        notAPlugin(QStringLiteral("ThreeClasses.so")), // Gadget: cannot be created
    };
    EXPECT_EQ(host.statuses, expected);
}

TEST(Scan, UnmarkedPluginIsCreatedAndInitialisedButNotRun)
{
    clearPluginTrace();
    AppFolder app;
    app.install(QStringLiteral("ThreeClasses"), QStringLiteral("Three"));
    RunningHost host(app);

    const QStringList expected {QStringLiteral("WLTestThree.Probe:created"),
                                QStringLiteral("WLTestThree.Probe:Initialize")};
    EXPECT_EQ(pluginTrace(), expected);
}

TEST(Scan, StartUpPluginsRunInLoadOrderEachBeforeTheNextIsCreated)
{
    clearPluginTrace();
    AppFolder app;
    app.install(QStringLiteral("ThreeClasses"), QStringLiteral("A"));
    app.install(QStringLiteral("Recorder"), QStringLiteral("B"));
    app.writeFile(QStringLiteral("Plugins/PluginProperties.ini"),
                  "[StartUp]\nWLTestThree.Probe=True\nWLTestRecorder.Recorder=True\nWLTestRecorder.Listener=False\n");
    RunningHost host(app);

    const QStringList expected {
        QStringLiteral("WLTestThree.Probe:created"),       QStringLiteral("WLTestThree.Probe:Initialize"),
        QStringLiteral("WLTestThree.Probe:Run"),           QStringLiteral("WLTestThree.Probe:Splash"),
        QStringLiteral("WLTestRecorder.Recorder:created"), QStringLiteral("WLTestRecorder.Recorder:Initialize"),
        QStringLiteral("WLTestRecorder.Recorder:Run"),     QStringLiteral("WLTestRecorder.Recorder:Splash"),
        QStringLiteral("WLTestRecorder.Listener:created"), QStringLiteral("WLTestRecorder.Listener:Initialize"),
    };
    EXPECT_EQ(pluginTrace(), expected);
    EXPECT_TRUE(host.statuses.contains(QStringLiteral("Run Plugin... ")));
    EXPECT_TRUE(host.statuses.contains(QStringLiteral("Launch Splash Screen... ")));
}

TEST(Scan, StartUpEntryIsReadAsYesOrNo)
{
    struct Row
    {
        const char *entry;
        bool runs;
        bool failure;
    };
    const Row rows[] = {
        {"True", true, false},   {"true", true, false},   {"1", true, false},   {"-1", true, false},
        {"2.5", true, false},    {"False", false, false}, {"0", false, false},  {"", false, false},
        {nullptr, false, false}, {"maybe", false, true},  {"Yes", false, true},
    };
    for (const Row &row : rows) {
        clearPluginTrace();
        AppFolder app;
        app.install(QStringLiteral("ThreeClasses"), QStringLiteral("Three"));
        if (row.entry)
            app.writeFile(QStringLiteral("Plugins/PluginProperties.ini"),
                          QByteArray("[StartUp]\nWLTestThree.Probe=") + row.entry + "\n");
        RunningHost host(app);
        const QString entry = row.entry ? QString::fromLatin1(row.entry) : QStringLiteral("(missing)");
        EXPECT_EQ(pluginTrace().contains(QStringLiteral("WLTestThree.Probe:Run")), row.runs) << qPrintable(entry);
        // Two messages come from the library's other classes; a third from the entry.
        EXPECT_EQ(host.statuses.count(notAPlugin(QStringLiteral("ThreeClasses.so"))), row.failure ? 3 : 2)
            << qPrintable(entry);
    }
}

TEST(Scan, PluginCountDecidesWhetherTheWindowOffersPluginCommands)
{
    for (const bool withPlugin : {false, true}) {
        AppFolder app;
        if (withPlugin)
            app.install(QStringLiteral("ThreeClasses"), QStringLiteral("Three"));
        else
            app.writeFile(QStringLiteral("Plugins/Empty/readme.txt"), "no libraries here");
        RunningHost host(app);
        EXPECT_EQ(host.manager()->PluginCount(), withPlugin ? 1 : 0);
        EXPECT_EQ(host.form->menuItem(QStringLiteral("mnuPluginManager"))->isVisible(), withPlugin);
        EXPECT_EQ(host.form->toolbarButton(QStringLiteral("btnPlugins"))->isVisible(), withPlugin);
    }
}

TEST(Scan, BrokenLibrariesAreReportedAndTheScanGoesOn)
{
    AppFolder app;
    app.install(QStringLiteral("MissingSymbol"), QStringLiteral("A"));
    app.writeFile(QStringLiteral("Plugins/B/notes.so"), "this is text, not a library\n");
    app.writeFile(QStringLiteral("Plugins/C/empty.SO"), "");
    app.install(QStringLiteral("ThreeClasses"), QStringLiteral("D"));
    RunningHost host(app);

    EXPECT_EQ(host.manager()->keys(), QStringList {QStringLiteral("WLTestThree.Probe")});
    EXPECT_TRUE(host.statuses.contains(notAPlugin(QStringLiteral("MissingSymbol.so"))));
    EXPECT_TRUE(host.statuses.contains(notAPlugin(QStringLiteral("notes.so"))));
    EXPECT_TRUE(host.statuses.contains(notAPlugin(QStringLiteral("empty.SO"))));
}

TEST(Scan, FailingPluginStaysListedAndEveryStepStillRuns)
{
    clearPluginTrace();
    AppFolder app;
    app.install(QStringLiteral("Failing"), QStringLiteral("A"));
    app.install(QStringLiteral("ThreeClasses"), QStringLiteral("B"));
    app.writeFile(QStringLiteral("Plugins/PluginProperties.ini"), "[StartUp]\nWLTestFailing.Failing=True\n");
    RunningHost host(app);

    const QStringList keys {QStringLiteral("WLTestFailing.Failing"), QStringLiteral("WLTestThree.Probe")};
    EXPECT_EQ(host.manager()->keys(), keys);
    // Name, Initialize, Run and Splash fail: four messages, and Run and Splash were still called.
    EXPECT_EQ(host.statuses.count(notAPlugin(QStringLiteral("Failing.so"))), 4);
    const QStringList trace = pluginTrace();
    EXPECT_TRUE(trace.contains(QStringLiteral("WLTestFailing.Failing:Run")));
    EXPECT_TRUE(trace.contains(QStringLiteral("WLTestFailing.Failing:Splash")));
    EXPECT_TRUE(trace.contains(QStringLiteral("WLTestThree.Probe:Initialize")));
}

TEST(Scan, KillAllTellsEveryPluginAndPassesOnTheFirstFailure)
{
    clearPluginTrace();
    AppFolder app;
    app.install(QStringLiteral("Failing"), QStringLiteral("A"));
    app.install(QStringLiteral("ThreeClasses"), QStringLiteral("B"));
    RunningHost host(app);
    clearPluginTrace();

    try {
        host.manager()->KillAll();
        FAIL() << "KillAll should pass the failure of Kill on";
    } catch (const AutomationError &error) {
        EXPECT_EQ(error.description(), QStringLiteral("Kill is broken"));
        const QStringList expected {QStringLiteral("WLTestFailing"), QStringLiteral("PluginManager.KillAll")};
        EXPECT_EQ(error.sourceLines(), expected);
    }
    const QStringList killed {QStringLiteral("WLTestFailing.Failing:Kill"), QStringLiteral("WLTestThree.Probe:Kill")};
    EXPECT_EQ(pluginTrace(), killed);
}

TEST(Scan, SameLibraryTwiceKeepsTheFirstOfEachKey)
{
    clearPluginTrace();
    AppFolder app;
    app.install(QStringLiteral("ThreeClasses"), QStringLiteral("A"));
    app.install(QStringLiteral("ThreeClasses"), QStringLiteral("B"));
    RunningHost host(app);

    EXPECT_EQ(host.manager()->keys(), QStringList {QStringLiteral("WLTestThree.Probe")});
    EXPECT_EQ(pluginTrace().count(QStringLiteral("WLTestThree.Probe:Initialize")), 1);
    EXPECT_EQ(host.statuses.count(notAPlugin(QStringLiteral("ThreeClasses.so"))), 5);
}

TEST(Scan, InstalledCopyScansItsOwnPluginsFirstThenTheUsersAndKeepsSettingsWithTheUser)
{
    clearPluginTrace();
    const QByteArray oldDataHome = qgetenv("XDG_DATA_HOME");
    const QString dataHome = TestEnvironment::freshFolder(QStringLiteral("data"));
    qputenv("XDG_DATA_HOME", dataHome.toLocal8Bit());
    const QString user = dataHome + QStringLiteral("/wrenlog");

    AppFolder app;
    app.writeFile(QStringLiteral("wrenlog.installed"), "");
    // Sorted by name the user's folders would come first; the installed ones still do.
    app.install(QStringLiteral("ThreeClasses"), QStringLiteral("Z"));
    for (const char *plugin : {"ThreeClasses", "Echo"}) {
        const QString folder = user + QStringLiteral("/Plugins/User") + QLatin1String(plugin);
        QDir().mkpath(folder);
        ASSERT_TRUE(
            QFile::copy(QStringLiteral(WRENLOG_TEST_PLUGIN_DIR "/") + QLatin1String(plugin) + QStringLiteral(".so"),
                        folder + QLatin1Char('/') + QLatin1String(plugin) + QStringLiteral(".so")));
    }
    QFile startUp(user + QStringLiteral("/Plugins/PluginProperties.ini"));
    ASSERT_TRUE(startUp.open(QIODevice::WriteOnly));
    startUp.write("[StartUp]\nWLTestThree.Probe=True\n");
    startUp.close();

    {
        RunningHost host(app);
        ASSERT_NE(host.manager(), nullptr);
        EXPECT_EQ(host.manager()->keys(),
                  (QStringList {QStringLiteral("WLTestThree.Probe"), QStringLiteral("WLTestEcho.Echo")}));
        // The installed folder is scanned first, and the user's copy of an
        // installed key is the one refused, with the usual message.
        const qsizetype installedAt = host.statuses.indexOf(QStringLiteral("Checking folder: 'Z'"));
        const qsizetype userAt = host.statuses.indexOf(QStringLiteral("Checking folder: 'UserThreeClasses'"));
        ASSERT_GE(installedAt, 0);
        ASSERT_GT(userAt, installedAt);
        const QString found = QStringLiteral("Found: WLTestThree.Probe");
        const qsizetype firstFound = host.statuses.indexOf(found);
        const qsizetype secondFound = host.statuses.lastIndexOf(found);
        ASSERT_TRUE(installedAt < firstFound && firstFound < userAt && userAt < secondFound)
            << host.statuses.join(u'|').toStdString();
        EXPECT_EQ(host.statuses.at(firstFound + 1), QStringLiteral("Initializing plugin: Probe(Tests)"));
        EXPECT_EQ(host.statuses.at(secondFound + 1), notAPlugin(QStringLiteral("ThreeClasses.so")));
        EXPECT_EQ(pluginTrace().count(QStringLiteral("WLTestThree.Probe:Initialize")), 1);
        // The start-up choice came from the user's settings file, and settings go back there.
        EXPECT_EQ(pluginTrace().count(QStringLiteral("WLTestThree.Probe:Run")), 1);
        host.manager()->PropertyStores()->SetProperty(QStringLiteral("WLTestEcho.Echo"), QStringLiteral("True"));
        EXPECT_FALSE(QFileInfo::exists(app.iniPath()));
        ASSERT_TRUE(startUp.open(QIODevice::ReadOnly));
        EXPECT_TRUE(startUp.readAll().contains("WLTestEcho.Echo=True"));
    }
    qputenv("XDG_DATA_HOME", oldDataHome);
}

TEST(Scan, PluginIsFoundByPositionAndByKeyAndFailsOutsideTheList)
{
    AppFolder app;
    app.install(QStringLiteral("Recorder"), QStringLiteral("R"));
    RunningHost host(app);
    PluginManager *manager = host.manager();
    ASSERT_EQ(manager->PluginCount(), 2);

    EXPECT_EQ(manager->Plugin(2), manager->Plugin(QStringLiteral("WLTestRecorder.Listener")));
    EXPECT_EQ(manager->Plugin(1), manager->Plugin(QStringLiteral("wltestrecorder.recorder")));
    EXPECT_EQ(manager->Plugin(1)->Key(), QStringLiteral("WLTestRecorder.Recorder"));

    struct Row
    {
        QVariant indexKey;
        qint32 number;
    };
    const Row rows[] = {{0, 9}, {3, 9}, {QStringLiteral("WLTestRecorder.Nobody"), 5}};
    for (const Row &row : rows) {
        try {
            manager->Plugin(row.indexKey);
            ADD_FAILURE() << "no failure for " << qPrintable(row.indexKey.toString());
        } catch (const AutomationError &error) {
            EXPECT_EQ(error.number(), row.number);
            EXPECT_EQ(error.sourceLines().constLast(), QStringLiteral("PluginManager.Item (Get)"));
        }
    }
}

TEST(Scan, MissingPluginFolderLoadsNothing)
{
    AppFolder app;
    QDir(app.path + QStringLiteral("/Plugins")).removeRecursively();
    // The scan still shows its progress window and closes it at the end.
    struct ProgressWatch : QObject
    {
        int shown = 0;
        int closed = 0;
        bool eventFilter(QObject *watched, QEvent *event) override
        {
            if (qobject_cast<LoadProgress *>(watched)) {
                shown += event->type() == QEvent::Show;
                closed += event->type() == QEvent::Close;
            }
            return false;
        }
    } watch;
    qApp->installEventFilter(&watch);
    RunningHost host(app);
    qApp->removeEventFilter(&watch);
    EXPECT_EQ(host.manager()->PluginCount(), 0);
    EXPECT_EQ(watch.shown, 1);
    EXPECT_EQ(watch.closed, 1);
}

TEST(Scan, PluginManagerCommandListsTheLoadedPluginsOnce)
{
    AppFolder app;
    app.install(QStringLiteral("Recorder"), QStringLiteral("R"));
    RunningHost host(app);
    auto dialogs = [] {
        QList<PluginManagerForm *> found;
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (auto *dialog = qobject_cast<PluginManagerForm *>(widget); dialog && dialog->isVisible())
                found.append(dialog);
        }
        return found;
    };
    host.form->menuItem(QStringLiteral("mnuPluginManager"))->trigger();
    host.form->menuItem(QStringLiteral("mnuPluginManager"))->trigger();
    ASSERT_EQ(dialogs().size(), 1);
    EXPECT_EQ(dialogs().constFirst()->lvwPlugins()->topLevelItemCount(), 2);
    host.form->close();
    EXPECT_TRUE(dialogs().isEmpty());
}
