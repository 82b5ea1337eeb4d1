// Bus throughput of the real server on a virtual display and a private bus:
// synchronous DebugPrint round trips against the bus's own do-nothing call,
// and wrenlog-send streaming a million lines against cat of the same file.

#include "E2eSession.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace {

double callsPerSecond(QDBusConnection bus, const QDBusMessage &call, int count)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < count; ++i) {
        const QDBusMessage reply = bus.call(call, QDBus::Block, 30000);
        if (reply.type() != QDBusMessage::ReplyMessage) {
            std::fprintf(stderr, "call failed: %s\n", qPrintable(reply.errorMessage()));
            return 0;
        }
    }
    return count / (timer.nsecsElapsed() / 1e9);
}

double runSeconds(E2eSession &session, const QString &program, const QStringList &arguments, const QString &input)
{
    QProcess process;
    process.setProcessEnvironment(session.environment());
    process.setStandardInputFile(input);
    process.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    if (!process.waitForFinished(600000) || process.exitCode() != 0) {
        std::fprintf(stderr, "%s failed: %s\n", qPrintable(program), process.readAllStandardError().constData());
        return -1;
    }
    return timer.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int roundTrips = argc > 1 ? std::atoi(argv[1]) : 20000;
    const int lines = argc > 2 ? std::atoi(argv[2]) : 1000000;

    E2eSession session;
    if (!session.start()) {
        std::fprintf(stderr, "bench_bus: %s\n", qPrintable(session.error()));
        return 1;
    }
    QDBusConnection bus = session.bus();
    QDBusMessage show
        = QDBusMessage::createMethodCall(QStringLiteral("org.wrenlog.Wrenlog"), QStringLiteral("/GlobalWindow"),
                                         QStringLiteral("org.wrenlog.GlobalWindow"), QStringLiteral("DebugShow"));
    show.setArguments({QString()});
    bus.call(show, QDBus::Block, 60000);

    QDBusMessage ping
        = QDBusMessage::createMethodCall(QStringLiteral("org.wrenlog.Wrenlog"), QStringLiteral("/GlobalWindow"),
                                         QStringLiteral("org.freedesktop.DBus.Peer"), QStringLiteral("Ping"));
    QDBusMessage print
        = QDBusMessage::createMethodCall(QStringLiteral("org.wrenlog.Wrenlog"), QStringLiteral("/GlobalWindow"),
                                         QStringLiteral("org.wrenlog.GlobalWindow"), QStringLiteral("DebugPrint"));
    print.setArguments({QStringLiteral("round trip"), -2, true});
    callsPerSecond(bus, ping, 1000); // warm-up
    const double pingRate = callsPerSecond(bus, ping, roundTrips);
    const double printRate = callsPerSecond(bus, print, roundTrips);
    // The same call into a hidden private window: what the bus and the call
    // cost without painting.
    QDBusMessage create = QDBusMessage::createMethodCall(QStringLiteral("org.wrenlog.Wrenlog"), QStringLiteral("/PrivateWindows"),
                                                         QStringLiteral("org.wrenlog.PrivateWindowFactory"), QStringLiteral("Create"));
    const QString hidden = qdbus_cast<QDBusObjectPath>(bus.call(create, QDBus::Block, 60000).arguments().value(0)).path();
    QDBusMessage printHidden = QDBusMessage::createMethodCall(QStringLiteral("org.wrenlog.Wrenlog"), hidden,
                                                              QStringLiteral("org.wrenlog.PrivateWindow"), QStringLiteral("DebugPrint"));
    printHidden.setArguments({QStringLiteral("round trip"), -2, true});
    const double hiddenRate = callsPerSecond(bus, printHidden, roundTrips);
    QDBusMessage release = QDBusMessage::createMethodCall(QStringLiteral("org.wrenlog.Wrenlog"), hidden,
                                                          QStringLiteral("org.wrenlog.PrivateWindow"), QStringLiteral("Release"));
    bus.call(release, QDBus::Block, 60000);

    std::printf("round trips (%d calls each)\n", roundTrips);
    std::printf("  Peer.Ping (does nothing)   %10.0f calls/s\n", pingRate);
    std::printf("  GlobalWindow.DebugPrint    %10.0f calls/s   (Ping is %.2fx faster; shared window visible)\n",
                printRate, printRate > 0 ? pingRate / printRate : 0.0);
    std::printf("  PrivateWindow.DebugPrint   %10.0f calls/s   (Ping is %.2fx faster; window hidden)\n", hiddenRate,
                hiddenRate > 0 ? pingRate / hiddenRate : 0.0);

    // A fresh window for the stream, so the round-trip text does not weigh on it.
    QTemporaryDir folder;
    const QString file = folder.path() + QStringLiteral("/lines.txt");
    {
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly))
            return 1;
        QByteArray chunk;
        for (int i = 0; i < lines; ++i) {
            chunk += "benchmark line " + QByteArray::number(i) + " of the stream\n";
            if (chunk.size() > (1 << 20)) {
                out.write(chunk);
                chunk.clear();
            }
        }
        out.write(chunk);
    }
    const double catSeconds = runSeconds(session, QStringLiteral("cat"), {}, file);
    const double sendShared = runSeconds(session, E2eSession::sendProgram(), {QStringLiteral("--show")}, file);
    const double sendPrivate
        = runSeconds(session, E2eSession::sendProgram(), {QStringLiteral("--private"), QStringLiteral("Bench")}, file);
    std::printf("streaming %d lines from a file\n", lines);
    std::printf("  cat > /dev/null                           %8.3f s  %12.0f lines/s\n", catSeconds,
                lines / catSeconds);
    std::printf("  wrenlog-send --show (shared, visible)     %8.3f s  %12.0f lines/s\n", sendShared,
                lines / sendShared);
    std::printf("  wrenlog-send --private (new, visible)     %8.3f s  %12.0f lines/s\n", sendPrivate,
                lines / sendPrivate);
    return 0;
}
