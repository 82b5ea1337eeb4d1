// What the clients cost the programs they serve, on a desktop of their own
// (virtual display, private bus, the real server):
//   qt       100,000 qDebug calls with Wrenlog::installMessageHandler against Qt's
//            default handler writing to /dev/null
//   python   100,000 records through wrenlog.Handler against a logging.StreamHandler
//            on /dev/null (bench/python/handler_bench.py)
//   command  wrenlog-send -- COMMAND against COMMAND | wrenlog-send, a command that
//            writes 1,000,000 lines
// Give a section's name to run only that one; a second argument scales the counts.

#include "E2eSession.h"
#include "wrenlog/GlobalWindow.h"
#include "wrenlog/MessageHandler.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

QString sharedText(E2eSession &session)
{
    return session.window(QStringLiteral("/GlobalWindow")).value(QStringLiteral("Text")).toString();
}

bool benchQt(E2eSession &session, int count)
{
    qputenv("QT_FORCE_STDERR_LOGGING", "1");
    // Qt's own handler, its output thrown away.
    const int savedStderr = ::dup(STDERR_FILENO);
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, STDERR_FILENO);
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < count; ++i)
        qDebug("record %d of the run", i);
    const double plain = timer.nsecsElapsed() / 1e9;
    ::dup2(savedStderr, STDERR_FILENO);
    ::close(null);
    ::close(savedStderr);

    Wrenlog::MessageHandlerOptions options;
    options.bus = session.bus();
    Wrenlog::GlobalWindow(session.bus()).DebugPrint(QStringLiteral("qt handler bench"));
    Wrenlog::installMessageHandler(options);
    timer.restart();
    for (int i = 0; i < count; ++i)
        qDebug("record %d of the run", i);
    const double routed = timer.nsecsElapsed() / 1e9;
    Wrenlog::uninstallMessageHandler(); // delivers the rest
    const double delivered = timer.nsecsElapsed() / 1e9;

    QString expected = QStringLiteral("qt handler bench\r\n");
    for (int i = 0; i < count; ++i)
        expected += QStringLiteral("record %1 of the run\r\n").arg(i);
    const bool arrived = sharedText(session).endsWith(expected);
    std::printf("qt: %d qDebug calls  default handler (/dev/null) %.3f s  Wrenlog handler %.3f s  ratio %.2f"
                "  (all in the window after %.3f s; every message arrived in order: %s)\n",
                count, plain, routed, routed / plain, delivered, arrived ? "yes" : "NO");
    std::fflush(stdout);
    return arrived;
}

bool benchPython(E2eSession &session, int count)
{
    QProcessEnvironment environment = session.environment();
    environment.insert(QStringLiteral("PYTHONPATH"), QStringLiteral(PYTHON_PACKAGE_DIR));
    QProcess python;
    python.setProcessEnvironment(environment);
    python.setProcessChannelMode(QProcess::ForwardedChannels);
    python.start(QStringLiteral(SYSTEM_PYTHON), {QStringLiteral(PYTHON_BENCH), QString::number(count)});
    return python.waitForFinished(600000) && python.exitCode() == 0;
}

double runShell(E2eSession &session, const QString &script, QByteArray *err)
{
    QProcess shell;
    shell.setProcessEnvironment(session.environment());
    QElapsedTimer timer;
    timer.start();
    shell.start(QStringLiteral("sh"), {QStringLiteral("-c"), script});
    if (!shell.waitForFinished(600000) || shell.exitCode() != 0) {
        *err = shell.readAllStandardError();
        return -1;
    }
    return timer.nsecsElapsed() / 1e9;
}

/// Runs script with a pipe on its standard input (its command holds the
/// window open until that closes); true when the private window titled
/// title then holds exactly expected.
bool arrivesWhole(E2eSession &session, const QString &script, const QString &title, const QString &expected)
{
    QProcess shell;
    shell.setProcessEnvironment(session.environment());
    shell.start(QStringLiteral("sh"), {QStringLiteral("-c"), script});
    QString path;
    bool whole = false;
    // A million lines are a big answer: look every few seconds, for ten minutes at most.
    for (int look = 0; look < 200 && !whole; ++look) {
        QThread::sleep(3);
        if (path.isEmpty()) {
            const QStringList paths = session.privateWindowPaths();
            for (const QString &candidate : paths) {
                if (session.window(candidate).value(QStringLiteral("Title")).toString() == title)
                    path = candidate;
            }
        }
        if (!path.isEmpty())
            whole = session.window(path).value(QStringLiteral("Text")).toString() == expected;
    }
    shell.closeWriteChannel();
    shell.waitForFinished(60000);
    return whole && shell.exitCode() == 0;
}

bool benchCommand(E2eSession &session, int lines)
{
    const QString send = E2eSession::sendProgram();
    const QString command = QStringLiteral("seq -f 'line %.0f' %1").arg(lines); // %g would write 1e+06
    QByteArray err;
    double piped = 1e9, wrapped = 1e9;
    for (int round = 0; round < 3; ++round) {
        const double p = runShell(session, QStringLiteral("%1 | '%2' --private piped").arg(command, send), &err);
        const double w = runShell(session, QStringLiteral("'%2' --private wrapped -- %1").arg(command, send), &err);
        if (p < 0 || w < 0) {
            std::fprintf(stderr, "command bench failed: %s\n", err.constData());
            return false;
        }
        piped = std::min(piped, p);
        wrapped = std::min(wrapped, w);
    }
    std::printf("command: %d lines  COMMAND | wrenlog-send %.3f s  wrenlog-send -- COMMAND %.3f s  ratio %.2f"
                "  (best of 3)\n",
                lines, piped, wrapped, wrapped / piped);
    std::fflush(stdout);
    // Everything arrives: the same runs, held open at the end until the window holds every line.
    QString expected;
    for (int i = 1; i <= lines; ++i)
        expected += QStringLiteral("line %1\r\n").arg(i);
    const QString held = QStringLiteral("sh -c \"%1; read x || true\"").arg(command);
    const bool pipedWhole
        = arrivesWhole(session, QStringLiteral("%1 | '%2' --private piped-check").arg(held, send), QStringLiteral("piped-check"), expected);
    const bool wrappedWhole = arrivesWhole(
        session, QStringLiteral("'%2' --private wrapped-check -- %1").arg(held, send), QStringLiteral("wrapped-check"), expected);
    std::printf("command: every line arrived: piped %s, wrapped %s\n", pipedWhole ? "yes" : "NO",
                wrappedWhole ? "yes" : "NO");
    std::fflush(stdout);
    return pipedWhole && wrappedWhole;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString only = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const double scale = argc > 2 ? std::atof(argv[2]) : 1.0;
    E2eSession session;
    if (!session.start()) {
        std::fprintf(stderr, "bench_clients: %s\n", qPrintable(session.error()));
        return 1;
    }
    bool ok = true;
    if (only.isEmpty() || only == u"qt")
        ok = benchQt(session, int(100000 * scale)) && ok;
    if (only.isEmpty() || only == u"python")
        ok = benchPython(session, int(100000 * scale)) && ok;
    if (only.isEmpty() || only == u"command")
        ok = benchCommand(session, int(1000000 * scale)) && ok;
    return ok ? 0 : 1;
}
