// The print path of the real server on a virtual display and a private bus,
// each figure beside its baseline in the same run:
// - synchronous calls taken turn about: the bus's own do-nothing Peer.Ping,
//   PrivateWindow.Clear on an empty hidden private window (the cheapest call
//   the window thread answers), DebugPrint into the visible shared window and
//   into a hidden private window;
// - DebugPrintMany of 100 pieces, one call at a time in one style, and a few
//   calls in flight in changing colours, while a Clear on a hidden window is
//   timed every 20 ms (how long a window-thread call waits meanwhile);
// - wrenlog-send --show streaming lines against cat of the same file, the
//   server's memory growth for them against a bare QTextDocument holding the
//   same lines in a fresh process, and what Erase All gives back;
// - whether the window's text is exactly what was sent, in order.
// Lines starting with "| " form the summary table scripts/bench.sh prints.

#include "E2eSession.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

const QString service = QStringLiteral("org.wrenlog.Wrenlog");

struct Piece
{
    QString text;
    qint32 colour;
    bool crlf;
};

QDBusArgument &operator<<(QDBusArgument &argument, const Piece &piece)
{
    argument.beginStructure();
    argument << piece.text << piece.colour << piece.crlf;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, Piece &piece)
{
    argument.beginStructure();
    argument >> piece.text >> piece.colour >> piece.crlf;
    argument.endStructure();
    return argument;
}

QDBusMessage call(const QString &path, const QString &interface, const QString &member, const QVariantList &args = {})
{
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, member);
    message.setArguments(args);
    return message;
}

void row(const char *figure, double value, const char *unit, const char *baseline, double base, const char *goal)
{
    std::printf("| %s | %.0f %s | %s %.0f %s | %.2fx | %s |\n", figure, value, unit, baseline, base, unit,
                base > 0 && value > 0 ? (std::strcmp(unit, "B/line") == 0 ? value / base : base / value) : 0.0,
                goal);
}

/// Seconds the calls took, or -1 when one failed.
double timeCalls(QDBusConnection bus, const QDBusMessage &message, int count)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < count; ++i) {
        const QDBusMessage reply = bus.call(message, QDBus::Block, 30000);
        if (reply.type() != QDBusMessage::ReplyMessage) {
            std::fprintf(stderr, "call failed: %s\n", qPrintable(reply.errorMessage()));
            return -1;
        }
    }
    return timer.nsecsElapsed() / 1e9;
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

qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    return statm.readAll().split(' ').value(1).toLongLong() * sysconf(_SC_PAGESIZE);
}

QByteArray streamLine(int i)
{
    // 60 characters, different on every line.
    return QByteArray("benchmark line ").append(QByteArray::number(i).rightJustified(9, '0')).leftJustified(60, '.');
}

/// The fresh-process baseline: a bare document holding the lines, in edit
/// blocks of 2,000; prints the growth of the resident set per line.
int bareDocument(int lines)
{
    const qint64 before = residentBytes();
    QTextDocument document;
    QTextCursor cursor(&document);
    for (int i = 0; i < lines; ++i) {
        if (i % 2000 == 0)
            cursor.beginEditBlock();
        cursor.insertText(QString::fromLatin1(streamLine(i)));
        cursor.insertBlock();
        if (i % 2000 == 1999 || i == lines - 1)
            cursor.endEditBlock();
    }
    std::printf("%.1f\n", double(residentBytes() - before) / lines);
    return 0;
}

qint64 serverResident(E2eSession &session)
{
    return session.counts().value(QStringLiteral("ResidentKiB")).toLongLong() * 1024;
}

QVariantMap inspect(QDBusConnection bus, const QString &member, const QVariantList &args)
{
    const QDBusMessage reply
        = bus.call(call(QStringLiteral("/Inspect"), QStringLiteral("org.wrenlog.Inspect"), member, args), QDBus::Block,
                   600000);
    const QVariant value = reply.arguments().value(0);
    return value.canConvert<QDBusArgument>() ? qdbus_cast<QVariantMap>(value) : value.toMap();
}

/// Waits until the window holds everything sent: a read of its text appends
/// what waits first. Rates count up to here.
void settle(QDBusConnection bus, const QString &path)
{
    inspect(bus, QStringLiteral("TextLength"), {path});
}

/// Streams batches of 100 pieces with up to inFlight calls outstanding and
/// times a Clear on latencyWindow every 20 ms meanwhile. Returns lines/s.
double streamBatches(QDBusConnection bus, const QString &path, int lines, int inFlight, bool colours,
                     const QString &latencyWindow, double *longestWaitMs, QByteArray *sentText)
{
    const QString batchInterface = QStringLiteral("org.wrenlog.Batch");
    int sent = 0;
    int outstanding = 0;
    bool failed = false;
    QEventLoop loop;
    QElapsedTimer clock;
    std::function<void()> sendMore = [&] {
        while (!failed && outstanding < inFlight && sent < lines) {
            QList<Piece> batch;
            for (int i = 0; i < 100 && sent < lines; ++i, ++sent) {
                const QByteArray line = streamLine(sent);
                batch.append({QString::fromLatin1(line), colours ? qint32((sent * 0x10305) & 0xFFFFFF) : -2, true});
                sentText->append(line).append("\r\n");
            }
            QDBusMessage message = call(path, batchInterface, QStringLiteral("DebugPrintMany"),
                                        {QVariant::fromValue(batch)});
            auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(message, 600000));
            ++outstanding;
            QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [&, watcher] {
                if (watcher->isError()) {
                    std::fprintf(stderr, "batch failed: %s\n", qPrintable(watcher->error().message()));
                    failed = true;
                }
                watcher->deleteLater();
                --outstanding;
                if (outstanding == 0 && (sent >= lines || failed))
                    loop.quit();
                else
                    sendMore();
            });
        }
    };
    QTimer probe;
    probe.setInterval(20);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        QElapsedTimer waited;
        waited.start();
        bus.call(call(latencyWindow, QStringLiteral("org.wrenlog.PrivateWindow"), QStringLiteral("Clear")),
                 QDBus::Block, 60000);
        *longestWaitMs = std::max(*longestWaitMs, waited.nsecsElapsed() / 1e6);
    });
    clock.start();
    probe.start();
    sendMore();
    loop.exec();
    probe.stop();
    settle(bus, path);
    const double seconds = clock.nsecsElapsed() / 1e9;
    return failed ? 0 : lines / seconds;
}

bool sameText(QDBusConnection bus, const QString &path, const QByteArray &expected)
{
    const QVariantMap digest = inspect(bus, QStringLiteral("TextDigest"), {path});
    return digest.value(QStringLiteral("Sha1")).toString()
        == QString::fromLatin1(QCryptographicHash::hash(expected, QCryptographicHash::Sha1).toHex());
}

QString createPrivate(QDBusConnection bus)
{
    const QDBusMessage reply = bus.call(call(QStringLiteral("/PrivateWindows"),
                                             QStringLiteral("org.wrenlog.PrivateWindowFactory"), QStringLiteral("Create")),
                                        QDBus::Block, 60000);
    return qdbus_cast<QDBusObjectPath>(reply.arguments().value(0)).path();
}

} // namespace

Q_DECLARE_METATYPE(Piece)

int main(int argc, char **argv)
{
    if (argc > 2 && std::strcmp(argv[1], "--bare-document") == 0) {
        QGuiApplication app(argc, argv);
        return bareDocument(std::atoi(argv[2]));
    }
    QCoreApplication app(argc, argv);
    qDBusRegisterMetaType<Piece>();
    qDBusRegisterMetaType<QList<Piece>>();
    const int roundTrips = argc > 1 ? std::atoi(argv[1]) : 20000;
    const int lines = argc > 2 ? std::atoi(argv[2]) : 1000000;
    const int batchLines = std::max(lines / 4, 1000);

    E2eSession session;
    if (!session.start()) {
        std::fprintf(stderr, "bench_bus: %s\n", qPrintable(session.error()));
        return 1;
    }
    QDBusConnection bus = session.bus();
    const QString shared = QStringLiteral("/GlobalWindow");
    bus.call(call(shared, QStringLiteral("org.wrenlog.GlobalWindow"), QStringLiteral("DebugShow"), {QString()}),
             QDBus::Block, 60000);

    const QString empty = createPrivate(bus);
    const QString hidden = createPrivate(bus);
    const QDBusMessage ping = call(shared, QStringLiteral("org.freedesktop.DBus.Peer"), QStringLiteral("Ping"));
    const QDBusMessage clear = call(empty, QStringLiteral("org.wrenlog.PrivateWindow"), QStringLiteral("Clear"));
    const QDBusMessage print = call(shared, QStringLiteral("org.wrenlog.GlobalWindow"), QStringLiteral("DebugPrint"),
                                    {QStringLiteral("round trip"), -2, true});
    const QDBusMessage printHidden = call(hidden, QStringLiteral("org.wrenlog.PrivateWindow"),
                                          QStringLiteral("DebugPrint"), {QStringLiteral("round trip"), -2, true});
    timeCalls(bus, ping, 1000); // warm-up
    timeCalls(bus, clear, 1000);
    // Turn about in small rounds, so a neighbour's load weighs on all alike.
    const QDBusMessage *kinds[] = {&ping, &clear, &print, &printHidden};
    double seconds[4] = {};
    const int rounds = 10;
    for (int round = 0; round < rounds; ++round) {
        for (int k = 0; k < 4; ++k)
            seconds[k] += timeCalls(bus, *kinds[k], roundTrips / rounds);
    }
    double rate[4];
    for (int k = 0; k < 4; ++k)
        rate[k] = seconds[k] > 0 ? (roundTrips / rounds * rounds) / seconds[k] : 0;
    std::printf("round trips (%d calls each, in %d rounds turn about)\n", roundTrips, rounds);
    std::printf("  Peer.Ping (does nothing)                 %10.0f calls/s\n", rate[0]);
    std::printf("  PrivateWindow.Clear, empty hidden window %10.0f calls/s   (Ping %.2fx faster)\n", rate[1],
                rate[0] / rate[1]);
    std::printf("  GlobalWindow.DebugPrint, visible         %10.0f calls/s   (Clear %.2fx faster)\n", rate[2],
                rate[1] / rate[2]);
    std::printf("  PrivateWindow.DebugPrint, hidden         %10.0f calls/s   (Clear %.2fx faster)\n", rate[3],
                rate[1] / rate[3]);

    // Batches into fresh private windows shown on the display, so the round
    // trips above do not weigh on them.
    const QString latencyWindow = createPrivate(bus);
    double singleWait = 0;
    double colourWait = 0;
    QByteArray singleText;
    QByteArray colourText;
    const QString singleWindow = createPrivate(bus);
    bus.call(call(singleWindow, QStringLiteral("org.wrenlog.PrivateWindow"), QStringLiteral("DebugShow"), {QStringLiteral("single")}), QDBus::Block, 60000);
    const double singleRate
        = streamBatches(bus, singleWindow, batchLines, 1, false, latencyWindow, &singleWait, &singleText);
    const QString colourWindow = createPrivate(bus);
    bus.call(call(colourWindow, QStringLiteral("org.wrenlog.PrivateWindow"), QStringLiteral("DebugShow"), {QStringLiteral("colours")}), QDBus::Block, 60000);
    const double colourRate
        = streamBatches(bus, colourWindow, batchLines, 4, true, latencyWindow, &colourWait, &colourText);
    const bool singleExact = sameText(bus, singleWindow, singleText);
    const bool colourExact = sameText(bus, colourWindow, colourText);
    std::printf("DebugPrintMany, 100 pieces a call, %d lines, into a visible window\n", batchLines);
    std::printf("  one style, one call at a time     %10.0f lines/s   longest Clear meanwhile %.1f ms; text exact: %s\n",
                singleRate, singleWait, singleExact ? "yes" : "NO");
    std::printf("  changing colours, 4 calls in flight %8.0f lines/s   longest Clear meanwhile %.1f ms; text exact: %s\n",
                colourRate, colourWait, colourExact ? "yes" : "NO");

    // A fresh shared window's worth of lines through wrenlog-send.
    QTemporaryDir folder;
    const QString file = folder.path() + QStringLiteral("/lines.txt");
    QByteArray expected;
    {
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly))
            return 1;
        expected.reserve(qsizetype(lines) * 62);
        for (int i = 0; i < lines; ++i)
            expected.append(streamLine(i)).append("\r\n");
        QByteArray plain = expected;
        plain.replace("\r\n", "\n");
        out.write(plain);
    }
    inspect(bus, QStringLiteral("EraseAll"), {shared});
    const qint64 residentBefore = serverResident(session);
    const double catSeconds = runSeconds(session, QStringLiteral("cat"), {}, file);
    QElapsedTimer streaming;
    streaming.start();
    double sendSeconds = runSeconds(session, E2eSession::sendProgram(), {QStringLiteral("--show")}, file);
    settle(bus, shared);
    if (sendSeconds > 0)
        sendSeconds = streaming.nsecsElapsed() / 1e9;
    const bool streamExact = sameText(bus, shared, expected);
    const qint64 residentAfter = serverResident(session);
    inspect(bus, QStringLiteral("EraseAll"), {shared});
    const qint64 residentErased = serverResident(session);
    QProcess bare;
    QProcessEnvironment offscreen = QProcessEnvironment::systemEnvironment();
    offscreen.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    bare.setProcessEnvironment(offscreen);
    bare.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--bare-document"), QString::number(lines)});
    bare.waitForFinished(600000);
    const double bareBytes = bare.readAllStandardOutput().trimmed().toDouble();
    const double serverBytes = double(residentAfter - residentBefore) / lines;
    std::printf("streaming %d 60-character lines from a file\n", lines);
    std::printf("  cat > /dev/null                        %8.3f s  %12.0f lines/s\n", catSeconds, lines / catSeconds);
    std::printf("  wrenlog-send --show (shared, visible)  %8.3f s  %12.0f lines/s; text exact: %s\n", sendSeconds,
                lines / sendSeconds, streamExact ? "yes" : "NO");
    std::printf("  server memory growth                   %8.1f B/line  (bare QTextDocument, fresh process: %.1f "
                "B/line, %.2fx)\n",
                serverBytes, bareBytes, bareBytes > 0 ? serverBytes / bareBytes : 0.0);
    std::printf("  server resident before / after / after Erase All: %lld / %lld / %lld KiB (%.1f%% above before)\n",
                residentBefore / 1024, residentAfter / 1024, residentErased / 1024,
                100.0 * (residentErased - residentBefore) / residentBefore);

    std::printf("| figure | measured | baseline (same run) | ratio | goal |\n");
    row("sync DebugPrint, visible shared window", rate[2], "calls/s", "Clear, empty hidden private", rate[1],
        "<= 1.25x");
    row("sync DebugPrint, hidden private window", rate[3], "calls/s", "Clear, empty hidden private", rate[1],
        "<= 1.1x");
    row("DebugPrintMany x100, one call at a time", singleRate, "lines/s", "goal", 250000, ">= 250000 lines/s");
    row("DebugPrintMany x100, colours, 4 in flight", colourRate, "lines/s", "goal", 150000, ">= 150000 lines/s");
    row("wrenlog-send --show", lines / sendSeconds, "lines/s", "goal", 250000, ">= 250000 lines/s");
    std::printf("| longest window-thread call during batches | %.1f ms | goal 50 ms | %.2fx | <= 50 ms |\n",
                std::max(singleWait, colourWait), std::max(singleWait, colourWait) / 50.0);
    row("server memory per line (wrenlog-send)", serverBytes, "B/line", "bare QTextDocument", bareBytes, "<= 1.3x");
    std::printf("| server memory after Erase All | %lld KiB | before %lld KiB | %.2fx | <= 1.10x |\n",
                residentErased / 1024, residentBefore / 1024, double(residentErased) / residentBefore);
    std::printf("| most text waiting to go in at once (bounded by back-pressure) | %lld characters | | | bounded |\n",
                session.counts().value(QStringLiteral("MostWaitingCharacters")).toLongLong());
    std::printf("| texts exact (nothing lost, order kept) | %s | | | yes |\n",
                singleExact && colourExact && streamExact ? "yes" : "NO");
    return 0;
}
