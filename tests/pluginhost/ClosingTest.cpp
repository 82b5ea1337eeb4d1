#include "PluginHostFixture.h"

#include "GlobalWindow.h"
#include "PluginHostLink.h"
#include "PluginManagerForm.h"
#include "SharedWindow.h"
#include "WrenlogMainForm.h"

#include <QAction>
#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

// The window closes while plug-in code is on the stack: the user closes it
// while a plug-in lets messages run, or the plug-in closes MainForm() itself.
// The window goes at once; the plug-ins, their facade, the manager dialog and
// the window object stay until that code has returned, and nothing calls
// them afterwards.

namespace {

const QString closer = QStringLiteral("WLTestCloser.Closer");

void writeCloserSettings(const AppFolder &app, const char *closeIn, const char *closeBy, bool atStartUp)
{
    QByteArray ini = "[StartUp]\n";
    if (atStartUp)
        ini += "WLTestCloser.Closer=True\nWLTestRecorder.Recorder=True\nWLTestRecorder.Listener=True\n";
    ini += QByteArray("[WLTestCloser.Closer]\nCloseIn=") + closeIn + "\nCloseBy=" + closeBy + "\n";
    app.writeFile(QStringLiteral("Plugins/PluginProperties.ini"), ini);
}

QStringList closerTrace()
{
    return pluginTrace().filter(QStringLiteral("WLTestCloser."));
}

PluginManagerForm *openDialog()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *dialog = qobject_cast<PluginManagerForm *>(widget); dialog && dialog->isVisible())
            return dialog;
    }
    return nullptr;
}

} // namespace

TEST(Closing, DuringAStartUpPluginsRunOrSplashTheScanStopsAndReleasesAfterwards)
{
    struct Row
    {
        const char *closeIn;
        const char *closeBy;
        QStringList expected;
    };
    const QString returned = QStringLiteral(" returned, facade answers");
    const QList<Row> rows {
        {"Run", "User", {closer + ":Run", closer + ":Kill", closer + ":Run" + returned, closer + ":destroyed"}},
        {"Splash",
         "User",
         {closer + ":Run", closer + ":Splash", closer + ":Kill", closer + ":Splash" + returned, closer + ":destroyed"}},
        {"Run", "Plugin", {closer + ":Run", closer + ":Kill", closer + ":Run" + returned, closer + ":destroyed"}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string(row.closeIn) + " closed by " + row.closeBy);
        AppFolder app;
        app.install(QStringLiteral("Closer"));
        app.install(QStringLiteral("Recorder")); // a later folder: never reached
        writeCloserSettings(app, row.closeIn, row.closeBy, true);
        clearPluginTrace();
        const QString folder = app.path;
        WrenlogMainForm::setPluginManagerFactory([folder](WrenlogMainForm &window) -> std::unique_ptr<PluginManagerLink> {
            return std::make_unique<PluginHostLink>(window, folder);
        });
        QPointer<WrenlogMainForm> form;
        int unloads = 0;
        int loads = 0;
        {
            QObject context;
            QObject::connect(&SharedWindow::instance(), &SharedWindow::loaded, &context, [&] {
                ++loads;
                if (!form)
                    form = SharedWindow::instance().form();
            });
            QObject::connect(&SharedWindow::instance(), &SharedWindow::unloaded, &context, [&] { ++unloads; });
            // As the program started by a user does: the first creation
            // starts the plug-ins, then the window is shown. The close came
            // after that call began, so it does not bring a window back.
            GlobalWindow first;
            first.DebugShow();
            EXPECT_EQ(SharedWindow::instance().form(), nullptr) << "the closed window came back";
            EXPECT_EQ(loads, 1);
        }
        PluginHostLink::install();

        ASSERT_FALSE(form.isNull()) << "the window object waits for the message loop";
        EXPECT_EQ(unloads, 1);
        EXPECT_TRUE(form->isUnloaded());
        EXPECT_FALSE(form->isVisible());
        EXPECT_EQ(form->pluginManager(), nullptr) << "released once the scan had returned";
        EXPECT_EQ(closerTrace(), row.expected);
        EXPECT_TRUE(pluginTrace().filter(QStringLiteral("WLTestRecorder.")).isEmpty())
            << "the scan went on after the close";
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(form.isNull());
    }
}

TEST(Closing, DuringRunNowOrAPluginCommandKeepsPluginsAndDialogUntilTheyReturn)
{
    struct Row
    {
        const char *closeIn;
        const char *closeBy;
    };
    const QList<Row> rows {{"Run", "User"}, {"Run", "Plugin"}, {"Click", "User"}};
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string(row.closeIn) + " closed by " + row.closeBy);
        AppFolder app;
        app.install(QStringLiteral("Closer"));
        writeCloserSettings(app, row.closeIn, row.closeBy, false);
        clearPluginTrace();
        RunningHost host(app);
        ASSERT_EQ(closerTrace(), QStringList());

        QPointer<PluginManagerForm> dialog;
        if (QByteArray(row.closeIn) == "Run") {
            host.form->menuItem(QStringLiteral("mnuPluginManager"))->trigger();
            dialog = openDialog();
            ASSERT_FALSE(dialog.isNull());
            QTreeWidget *list = dialog->lvwPlugins();
            ASSERT_EQ(list->topLevelItemCount(), 1);
            const QRect row0 = list->visualItemRect(list->topLevelItem(0));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(row0.center().x() + 20, row0.center().y()));
            ASSERT_TRUE(dialog->cmdRun()->isEnabled());
            QTest::mouseClick(dialog->cmdRun(), Qt::LeftButton);
            if (dialog) {
                EXPECT_FALSE(dialog->isVisible()) << "the main window closes its dialog";
            }
        } else {
            ASSERT_GE(host.form->mnuPluginItemCount(), 2);
            host.form->mnuPluginItem(1)->trigger();
        }
        const QString member = QString::fromLatin1(row.closeIn);
        EXPECT_EQ(closerTrace(), (QStringList {closer + ':' + member, closer + ":Kill",
                                              closer + ':' + member + " returned, facade answers",
                                              closer + ":destroyed"}));
        EXPECT_TRUE(host.form->isUnloaded());
        EXPECT_FALSE(host.form->isVisible());
        EXPECT_EQ(host.form->pluginManager(), nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(dialog.isNull());
    }
}
