#pragma once

#include <QStringList>

#include <sys/types.h>

class LineSink;

/**
 * Runs a command with its standard output and standard error on two pipes of
 * ours and hands on every line of both, whole, in the order the reads see
 * them (lines written closer together than one read may come in either
 * order). Standard input and the terminal stay the command's own.
 *
 * Interrupt, quit, hang-up and terminate signals that another process sends
 * to wrenlog-send are passed on to the command; those that come from the
 * terminal already reach the command itself, so they are not sent twice.
 *
 *     CommandRunner command({"make", "-j4"});
 *     if (!command.start(&error)) ... // exit 127
 *     const int status = command.pump(sink, normal, fail, true);
 */
class CommandRunner
{
public:
    explicit CommandRunner(QStringList command);
    ~CommandRunner();
    CommandRunner(const CommandRunner &) = delete;
    CommandRunner &operator=(const CommandRunner &) = delete;

    /// False with the reason when the command cannot be started.
    bool start(QString *error);
    /// Prints both streams until the command has ended and its output is read;
    /// returns its exit status, 128 + N when signal N ended it.
    int pump(LineSink &sink, qint32 outColour, qint32 errColour, bool lastLineBreak);

private:
    QStringList m_command;
    pid_t m_pid = -1;
    int m_out = -1;
    int m_err = -1;
};
