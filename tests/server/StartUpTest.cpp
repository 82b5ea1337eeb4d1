// The server's own start-up gives the program its title: the error dialog the
// server installs, the first source line of its errors and the key of its
// window positions all say "Wrenlog", while the executable is wrenlog on disk.

#include "ErrorReporter.h"
#include "Guard.h"
#include "KSErrorForm.h"
#include "KSRegistryKey.h"
#include "LedgerixLibrary.h"
#include "MainModule.h"
#include "SubKeysCollection.h"
#include "WhenModal.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <QUuid>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>

namespace {

void whenDialogShows(std::function<void(KSErrorForm &)> action)
{
    TestEnvironment::whenModalShows<KSErrorForm>(std::move(action));
}

/// Puts the test program's own name and report hook back afterwards.
class ServerApplication : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_name = QCoreApplication::applicationName();
        m_hook = Guard::setReportHook({});
        MainModule::setUpApplication();
    }
    void TearDown() override
    {
        Guard::setReportHook(m_hook);
        QCoreApplication::setApplicationName(m_name);
    }

private:
    QString m_name;
    Guard::ReportHook m_hook;
};

QString uniqueVendor()
{
    return QStringLiteral("Vendor") + QUuid::createUuid().toString(QUuid::Id128).left(8);
}

} // namespace

TEST_F(ServerApplication, TheErrorDialogAndTheErrorsCarryTheTitle)
{
    ASSERT_NE(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName(), QStringLiteral("Wrenlog"));
    EXPECT_EQ(Guard::defaultSource(), QStringLiteral("Wrenlog"));

    QString title;
    QString callStack;
    whenDialogShows([&](KSErrorForm &form) {
        title = form.windowTitle();
        callStack = form.txtCallStack->toPlainText();
        form.cmdOK->click();
    });
    // A failure that is not one of the system's own errors takes the program's source.
    const bool succeeded = reportFailure(QStringLiteral("WrenlogMainForm.mnuOnTop_Click"), [] {
        passOn(QStringLiteral("WrenlogMainForm.ToggleOnTop"), [] { throw std::runtime_error("lost"); });
    });
    EXPECT_FALSE(succeeded);
    EXPECT_EQ(title, QStringLiteral("Wrenlog - Error Warning"));
    EXPECT_EQ(callStack, QStringLiteral("Wrenlog.WrenlogMainForm.ToggleOnTop\n"));
}

TEST_F(ServerApplication, WindowPositionsLiveUnderTheTitleAndOldRecordsAreFound)
{
    const QString vendor = uniqueVendor();
    LedgerixLibrary library;
    LedgerixStdInterface *storage = library.KSSetFormSaveParams(LedgerixLibrary::ledgerix_Registry, vendor);
    ASSERT_NE(storage, nullptr);
    EXPECT_EQ(storage->Path(),
              QStringLiteral("HKEY_CURRENT_USER\\Software\\") + vendor + QStringLiteral("\\Wrenlog\\WindowParams"));
    // The key is created with the title's case.
    KSRegistryKey vendorKey;
    vendorKey.setKeyName(QStringLiteral("Software\\") + vendor);
    ASSERT_EQ(vendorKey.SubKeys()->Count(), 1);
    EXPECT_EQ(vendorKey.SubKeys()->Item(1)->KeyName(),
              QStringLiteral("Software\\") + vendor + QStringLiteral("\\Wrenlog"));

    // A record saved under the executable's lower-case name is still read.
    const QString olderVendor = uniqueVendor();
    KSRegistryKey older;
    older.setKeyName(QStringLiteral("Software\\") + olderVendor + QStringLiteral("\\wrenlog\\WindowParams"));
    older.SetValue(QStringLiteral("WrenlogMainForm"), QStringLiteral("1\t2\t3\t4\t0"));
    LedgerixStdInterface *reading = library.KSSetFormSaveParams(LedgerixLibrary::ledgerix_Registry, olderVendor);
    ASSERT_NE(reading, nullptr);
    EXPECT_EQ(reading->GetValue(QStringLiteral("WrenlogMainForm")), QVariant::fromValue(QList<qint32> {1, 2, 3, 4, 0}));
}

TEST(ServerPlatform, AWaylandSessionWithAnXServerRunsThroughXWayland)
{
    struct Row
    {
        const char *waylandDisplay;
        const char *display;
        const char *chosen;
        QByteArray platform;
    };
    const Row rows[] = {
        {"wayland-0", ":0", nullptr, "xcb"},  {"wayland-0", nullptr, nullptr, {}}, // no X server: Wayland it is
        {nullptr, ":0", nullptr, {}}, // an X session chooses itself
        {"wayland-0", ":0", "wayland", {}}, // the user's choice stands
        {"wayland-0", ":0", "offscreen", {}},
    };
    for (const Row &row : rows) {
        QProcessEnvironment environment;
        if (row.waylandDisplay)
            environment.insert(QStringLiteral("WAYLAND_DISPLAY"), QString::fromLatin1(row.waylandDisplay));
        if (row.display)
            environment.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(row.display));
        if (row.chosen)
            environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QString::fromLatin1(row.chosen));
        EXPECT_EQ(MainModule::platformFor(environment), row.platform)
            << (row.waylandDisplay ? row.waylandDisplay : "-") << " " << (row.display ? row.display : "-") << " "
            << (row.chosen ? row.chosen : "-");
    }
}
