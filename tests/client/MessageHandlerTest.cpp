// Qt's messages through Wrenlog::installMessageHandler into the real server,
// from a child program (message_handler_child) on a desktop of the test's own.

#include "E2eSession.h"

#include <QFile>


#include <gtest/gtest.h>

#include <csignal>

namespace {

const QString globalWindow = QStringLiteral("/GlobalWindow");
constexpr qint32 red = 0x0000FF, black = 0x000000, grey = 0x808080, orange = 0x0080FF;

class MessageHandler : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!session.start())
            GTEST_SKIP() << qPrintable(session.error());
    }

    QProcess *child(const QStringList &arguments)
    {
        QProcess *process = session.launch(QStringLiteral(MESSAGE_HANDLER_CHILD), arguments);
        process->setProcessChannelMode(QProcess::SeparateChannels);
        return process;
    }

    static QString readLine(QProcess *process)
    {
        E2eSession::waitFor([&] { return process->canReadLine() || process->state() == QProcess::NotRunning; },
                            30000);
        return QString::fromUtf8(process->readLine()).trimmed();
    }

    QString text(const QString &path) { return session.window(path).value(QStringLiteral("Text")).toString(); }

    /// The window's lines with the colour each ends in.
    QList<std::pair<qint32, QString>> lines(const QString &path)
    {
        QList<std::pair<qint32, QString>> result;
        QString current;
        const QStringList runs = session.window(path).value(QStringLiteral("Runs")).toStringList();
        for (const QString &run : runs) {
            const qint32 colour = run.section(QLatin1Char('\t'), 0, 0).toInt();
            const QStringList parts = run.section(QLatin1Char('\t'), 1).split(QLatin1Char('\n'));
            for (qsizetype i = 0; i < parts.size(); ++i) {
                current += parts.at(i);
                if (i + 1 < parts.size()) {
                    result.append({colour, current});
                    current.clear();
                }
            }
        }
        return result;
    }

    E2eSession session;
};

TEST_F(MessageHandler, StylesCategoriesAndAPrivateWindow)
{
    const QList<std::pair<qint32, QString>> expected = {
        {grey, QStringLiteral("debug line")},
        {black, QStringLiteral("info line")},
        {orange, QStringLiteral("warning line")},
        {red, QStringLiteral("critical line")},
        {orange, QStringLiteral("import: row 17 skipped")},
    };
    QProcess *shared = child({QStringLiteral("styles")});
    ASSERT_EQ(readLine(shared), QStringLiteral("sent"));
    EXPECT_TRUE(E2eSession::waitFor([&] { return lines(globalWindow) == expected; })) << qPrintable(text(globalWindow));
    shared->write("\n");
    ASSERT_TRUE(shared->waitForFinished(30000));
    EXPECT_EQ(shared->exitCode(), 0);
    // Not chained: nothing went to the terminal.
    EXPECT_EQ(shared->readAllStandardError(), QByteArray());

    QProcess *mine = child({QStringLiteral("chain"), QStringLiteral("Qt messages")});
    ASSERT_EQ(readLine(mine), QStringLiteral("sent"));
    QString path;
    ASSERT_TRUE(E2eSession::waitFor([&] {
        const QStringList paths = session.privateWindowPaths();
        path = paths.value(0);
        return paths.size() == 1 && lines(path) == expected;
    }));
    EXPECT_EQ(session.window(path).value(QStringLiteral("Title")).toString(), QStringLiteral("Qt messages"));
    mine->write("\n");
    ASSERT_TRUE(mine->waitForFinished(30000));
    // Chained: Qt's own handler wrote every message too.
    const QString terminal = QString::fromUtf8(mine->readAllStandardError());
    for (const char *line : {"debug line", "info line", "warning line", "critical line", "row 17 skipped"})
        EXPECT_TRUE(terminal.contains(QLatin1String(line))) << line << qPrintable(terminal);
    // The handler's window goes with the program.
    EXPECT_TRUE(E2eSession::waitFor([&] { return !session.window(path).value(QStringLiteral("Loaded")).toBool(); }));
}

TEST_F(MessageHandler, EverythingArrivesBeforeQFatalAborts)
{
    QProcess *process = child({QStringLiteral("fatal")});
    ASSERT_TRUE(process->waitForFinished(60000));
    EXPECT_EQ(process->exitStatus(), QProcess::CrashExit);
    QString expected;
    for (int i = 0; i < 500; ++i)
        expected += QStringLiteral("line %1\r\n").arg(i);
    expected += QStringLiteral("fatal end\r\n");
    EXPECT_EQ(text(globalWindow), expected);
    const QList<std::pair<qint32, QString>> all = lines(globalWindow);
    ASSERT_EQ(all.size(), 501);
    EXPECT_EQ(all.last(), std::make_pair(red, QStringLiteral("fatal end")));
}

TEST_F(MessageHandler, FallsBackToThePreviousHandlerWhenTheServerIsGone)
{
    QProcess *process = child({QStringLiteral("gone")});
    ASSERT_EQ(readLine(process), QStringLiteral("ready"));
    ASSERT_TRUE(E2eSession::waitFor([&] { return text(globalWindow) == QStringLiteral("before\r\n"); }));
    // Gone for good: the bus can no longer start it either.
    ASSERT_TRUE(QFile::remove(session.environment().value(QStringLiteral("XDG_DATA_HOME"))
                              + QStringLiteral("/dbus-1/services/org.wrenlog.Wrenlog.service")));
    const qint64 pid = session.serverPid();
    ASSERT_GT(pid, 0);
    ::kill(pid_t(pid), SIGKILL);
    ASSERT_TRUE(E2eSession::waitFor([&] { return session.serverPid() == 0; }));
    process->write("\n");
    ASSERT_TRUE(process->waitForFinished(30000));
    EXPECT_EQ(process->exitCode(), 0);
    const QString terminal = QString::fromUtf8(process->readAllStandardError());
    EXPECT_TRUE(terminal.contains(QLatin1String("after one")) && terminal.contains(QLatin1String("after two")))
        << qPrintable(terminal);
    EXPECT_FALSE(terminal.contains(QLatin1String("before"))) << qPrintable(terminal);
}

TEST_F(MessageHandler, NeverWaitsForTheWindowAndDeliversAtExit)
{
    QProcess *process = child({QStringLiteral("flood")});
    ASSERT_EQ(readLine(process), QStringLiteral("ready"));
    // Start the server, then stop it: a window that does not answer.
    ASSERT_EQ(session.run(E2eSession::sendProgram(), {QStringLiteral("started")}), 0);
    const qint64 pid = session.serverPid();
    ASSERT_GT(pid, 0);
    ::kill(pid_t(pid), SIGSTOP);
    process->write("\n");
    const QString elapsed = readLine(process);
    ::kill(pid_t(pid), SIGCONT);
    ASSERT_FALSE(elapsed.isEmpty());
    EXPECT_LT(elapsed.toInt(), 5000);
    ASSERT_TRUE(process->waitForFinished(60000));
    EXPECT_EQ(process->exitCode(), 0);
    QString expected = QStringLiteral("started\r\n");
    for (int i = 0; i < 20000; ++i)
        expected += QStringLiteral("flood %1\r\n").arg(i);
    EXPECT_EQ(text(globalWindow), expected);
}

} // namespace
