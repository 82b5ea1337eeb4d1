#include "MainModule.h"

#include "AppFolders.h"
#include "BusServer.h"
#include "ErrorReporter.h"
#include "GlobalWindow.h"
#include "Guard.h"
#include "LedgerixLibrary.h"
#include "ServerLifetime.h"
#include "ServiceRegistration.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QFileInfo>
#include <QIcon>

#include <cstdio>
#include <cstring>

namespace MainModule {

namespace {

constexpr int exitFailure = 1;
constexpr int exitUsage = 2;
/// How often the process looks whether anything still uses it.
constexpr int lifetimePeriodMs = 1000;

const char usageText[] = "Usage: wrenlog [OPTION]\n"
                         "Open the Wrenlog debug window, which programs print into over the D-Bus\n"
                         "session bus (bus name org.wrenlog.Wrenlog). When a copy already runs, open\n"
                         "nothing and exit.\n"
                         "\n"
                         "      --automation  wait for client calls without opening a window (used by\n"
                         "                    the session bus when it starts the server for a client)\n"
                         "      --register    install the session bus service file, so that clients\n"
                         "                    can start the server themselves\n"
                         "      --unregister  remove that service file\n"
                         "      --help        show this help and exit\n"
                         "      --version     show the version and exit\n";

enum class Mode {
    User,
    Automation,
    Register,
    Unregister,
    Help,
    Version
};

Mode parseMode(int argc, char **argv)
{
    Mode mode = Mode::User;
    for (int i = 1; i < argc; ++i) {
        const char *argument = argv[i];
        Mode given;
        if (std::strcmp(argument, "--automation") == 0)
            given = Mode::Automation;
        else if (std::strcmp(argument, "--register") == 0)
            given = Mode::Register;
        else if (std::strcmp(argument, "--unregister") == 0)
            given = Mode::Unregister;
        else if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0)
            return Mode::Help;
        else if (std::strcmp(argument, "--version") == 0)
            return Mode::Version;
        else {
            std::fprintf(stderr, "wrenlog: unknown option '%s'\nTry 'wrenlog --help' for more information.\n",
                         argument);
            std::exit(exitUsage);
        }
        if (mode != Mode::User && mode != given) {
            std::fprintf(stderr, "wrenlog: give only one of --automation, --register and --unregister\n");
            std::exit(exitUsage);
        }
        mode = given;
    }
    return mode;
}

int registration(Mode mode, int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QString errorText;
    if (mode == Mode::Register) {
        if (!ServiceRegistration::registerService(QCoreApplication::applicationFilePath(), &errorText)) {
            std::fprintf(stderr, "wrenlog: %s\n", qPrintable(errorText));
            return exitFailure;
        }
        std::printf("Registered org.wrenlog.Wrenlog in %s\n", qPrintable(ServiceRegistration::serviceFilePath()));
        return 0;
    }
    if (!ServiceRegistration::unregisterService(&errorText)) {
        std::fprintf(stderr, "wrenlog: %s\n", qPrintable(errorText));
        return exitFailure;
    }
    std::printf("Unregistered org.wrenlog.Wrenlog\n");
    return 0;
}

bool haveDisplay()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

} // namespace

QByteArray platformFor(const QProcessEnvironment &environment)
{
    if (!environment.value(QStringLiteral("QT_QPA_PLATFORM")).isEmpty())
        return {};
    if (environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty()
        || environment.value(QStringLiteral("DISPLAY")).isEmpty())
        return {};
    return QByteArrayLiteral("xcb");
}

void setUpApplication()
{
    // The executable is lower case on disk; the program's title is not.
    QApplication::setApplicationName(QStringLiteral("Wrenlog"));
    QApplication::setApplicationVersion(QStringLiteral(WRENLOG_VERSION));
    // The desktop entry's name ties the windows to the menu entry and its icon.
    QApplication::setDesktopFileName(QStringLiteral("org.wrenlog.Wrenlog"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.wrenlog.Wrenlog"),
                                                 QIcon(QStringLiteral(":/icons/org.wrenlog.Wrenlog.svg"))));
    // An installed copy keeps its writable files under the user's data folder;
    // without them the program still runs, it only cannot save them.
    QString folderError;
    if (!AppFolders::current().prepare(&folderError))
        std::fprintf(stderr, "wrenlog: %s\n", qPrintable(folderError));
    // Failures trapped by window handlers are shown in the error dialog.
    ErrorReporter::forApplication().installAsReportHook();
}

int Main(int argc, char **argv)
{
    const Mode mode = parseMode(argc, argv);
    switch (mode) {
    case Mode::Help: std::fputs(usageText, stdout); return 0;
    case Mode::Version: std::printf("wrenlog %s\n", WRENLOG_VERSION); return 0;
    case Mode::Register:
    case Mode::Unregister: return registration(mode, argc, argv);
    case Mode::User:
    case Mode::Automation: break;
    }

    if (!haveDisplay()) {
        std::fprintf(stderr, "wrenlog: no display to open the debug window on (DISPLAY is not set)\n");
        return exitFailure;
    }
    const QByteArray platform = platformFor(QProcessEnvironment::systemEnvironment());
    if (!platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform);
    QApplication app(argc, argv);
    setUpApplication();
    // Private windows stay loaded while hidden; the lifetime rule decides.
    QApplication::setQuitOnLastWindowClosed(false);
    const bool automation = mode == Mode::Automation;

    std::unique_ptr<BusServer> server;
    bool startedUp = true;
    try {
        // The windows save and restore through the predeclared library object,
        // in the registry under this vendor.
        LedgerixLibrary::predeclared().KSSetFormSaveParams(LedgerixLibrary::ledgerix_Registry,
                                                           QStringLiteral("Kestrane"));

        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected()) {
            std::fprintf(stderr, "wrenlog: no session bus (%s): clients cannot reach this window\n",
                         qPrintable(bus.lastError().message()));
            if (automation)
                return exitFailure;
        } else {
            server = std::make_unique<BusServer>(bus);
            QString errorText;
            if (!server->exportObjects(&errorText)) {
                std::fprintf(stderr, "wrenlog: %s\n", qPrintable(errorText));
                return exitFailure;
            }
            switch (server->claimName(&errorText)) {
            case BusServer::NameClaim::Owned: break;
            case BusServer::NameClaim::TakenByAnother:
                // Another copy serves the desktop already; its window is the one.
                return 0;
            case BusServer::NameClaim::Failed:
                std::fprintf(
                    stderr,
                    "wrenlog: cannot own the bus name org.wrenlog.Wrenlog (%s): clients cannot reach this window\n",
                    qPrintable(errorText));
                if (automation)
                    return exitFailure;
                server.reset();
                break;
            }
        }

        if (!automation) {
            GlobalWindow window;
            window.DebugShow();
        }
    } catch (...) {
        const AutomationError error = Guard::translateCurrentException(Guard::defaultSource());
        Guard::report(error, error.source() + AutomationError::lineBreak + QStringLiteral(".Main"));
        startedUp = false;
    }
    if (!startedUp && !server)
        return exitFailure;

    ServerLifetime lifetime(server ? server->factory() : nullptr, lifetimePeriodMs);
    return app.exec();
}

} // namespace MainModule
