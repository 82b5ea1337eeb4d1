// A Qt program that routes its messages into the debug window, for
// MessageHandlerTest. Usage: message_handler_child MODE [PRIVATE_TITLE]
//   styles  one message of each kind, then waits for a line on standard input
//   chain   the same with the previous handler chained
//   fatal   500 debug lines, then qFatal
//   gone    one line; after a line on standard input (the server is gone by then) two more
//   flood   after a line on standard input, 20,000 qDebug calls timed; exits without waiting

#include "wrenlog/MessageHandler.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>

#include <cstdio>

Q_LOGGING_CATEGORY(lcImport, "import")

namespace {

void say(const char *text)
{
    std::printf("%s\n", text);
    std::fflush(stdout);
}

void waitForLine()
{
    char line[64];
    if (!std::fgets(line, sizeof line, stdin))
        return;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QByteArray mode = argc > 1 ? argv[1] : "";
    Wrenlog::MessageHandlerOptions options;
    if (argc > 2)
        options.privateWindowTitle = QString::fromLocal8Bit(argv[2]);
    options.chain = mode == "chain";
    Wrenlog::installMessageHandler(options);

    if (mode == "styles" || mode == "chain") {
        qDebug("debug line");
        qInfo("info line");
        qWarning("warning line");
        qCritical("critical line");
        qCWarning(lcImport) << "row" << 17 << "skipped";
        say("sent");
        waitForLine();
    } else if (mode == "fatal") {
        for (int i = 0; i < 500; ++i)
            qDebug("line %d", i);
        qFatal("fatal end");
    } else if (mode == "gone") {
        qInfo("before");
        say("ready");
        waitForLine();
        qInfo("after one");
        qWarning("after two");
    } else if (mode == "flood") {
        say("ready");
        waitForLine();
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < 20000; ++i)
            qDebug("flood %d", i);
        std::printf("%lld\n", static_cast<long long>(timer.elapsed()));
        std::fflush(stdout);
    }
    return 0;
}
