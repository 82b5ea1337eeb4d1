#include "CommandRunner.h"

#include "LineSink.h"
#include "LineSplitter.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

volatile sig_atomic_t g_child = 0;

void passOn(int signal, siginfo_t *info, void *)
{
    // A signal from the terminal (SI_KERNEL) went to the command's process
    // group as well; one that a process sent (kill, si_code <= 0) did not.
    if (g_child > 0 && info && info->si_code <= 0)
        ::kill(pid_t(g_child), signal);
}

void catchSignals()
{
    struct sigaction action {};
    action.sa_sigaction = passOn;
    action.sa_flags = SA_SIGINFO | SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGQUIT, SIGHUP, SIGTERM})
        ::sigaction(signal, &action, nullptr);
}

void closeFd(int &fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

/// Time to wait for the rest of the output once the command has ended: a
/// process it left behind may keep the pipes open for ever.
constexpr int drainAfterExitMs = 200;

} // namespace

CommandRunner::CommandRunner(QStringList command)
    : m_command(std::move(command))
{}

CommandRunner::~CommandRunner()
{
    closeFd(m_out);
    closeFd(m_err);
}

bool CommandRunner::start(QString *error)
{
    std::array<int, 2> out {}, err {}, status {};
    if (::pipe2(out.data(), O_CLOEXEC) != 0 || ::pipe2(err.data(), O_CLOEXEC) != 0
        || ::pipe2(status.data(), O_CLOEXEC) != 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    std::vector<QByteArray> arguments;
    for (const QString &argument : std::as_const(m_command))
        arguments.push_back(argument.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    catchSignals();
    const pid_t pid = ::fork();
    if (pid < 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    if (pid == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::dup2(err[1], STDERR_FILENO);
        ::execvp(argv[0], argv.data());
        const int reason = errno;
        [[maybe_unused]] const ssize_t written = ::write(status[1], &reason, sizeof reason);
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    ::close(status[1]);
    m_out = out[0];
    m_err = err[0];
    int reason = 0;
    ssize_t got;
    do {
        got = ::read(status[0], &reason, sizeof reason);
    } while (got < 0 && errno == EINTR);
    ::close(status[0]);
    if (got == ssize_t(sizeof reason)) {
        ::waitpid(pid, nullptr, 0);
        *error = QString::fromLocal8Bit(std::strerror(reason));
        return false;
    }
    m_pid = pid;
    g_child = pid;
    return true;
}

int CommandRunner::pump(LineSink &sink, qint32 outColour, qint32 errColour, bool lastLineBreak)
{
    struct Stream
    {
        int &fd;
        qint32 colour;
        FILE *fallback;
        LineSplitter lines;
    };
    std::array<Stream, 2> streams {{{m_out, outColour, stdout, {}}, {m_err, errColour, stderr, {}}}};
    std::vector<char> buffer(64 * 1024);
    int status = 0;
    bool exited = false;
    for (;;) {
        std::array<pollfd, 2> fds {};
        int open = 0;
        for (std::size_t i = 0; i < streams.size(); ++i) {
            fds[i] = {streams[i].fd, POLLIN, 0};
            open += streams[i].fd >= 0 ? 1 : 0;
        }
        if (open == 0)
            break;
        const int ready = ::poll(fds.data(), fds.size(), exited ? drainAfterExitMs : 100);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready == 0) {
            sink.idle();
            if (exited)
                break;
            if (::waitpid(m_pid, &status, WNOHANG) == m_pid)
                exited = true;
            continue;
        }
        for (std::size_t i = 0; i < streams.size(); ++i) {
            Stream &stream = streams[i];
            if (stream.fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            const ssize_t got = ::read(stream.fd, buffer.data(), buffer.size());
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0) {
                closeFd(stream.fd);
                continue;
            }
            stream.lines.feed(QByteArrayView(buffer.data(), got), [&](QByteArrayView line) {
                sink.line(line, stream.colour, true, stream.fallback);
            });
        }
        std::array<pollfd, 2> more {};
        for (std::size_t i = 0; i < streams.size(); ++i)
            more[i] = {streams[i].fd, POLLIN, 0};
        if (::poll(more.data(), more.size(), 0) == 0)
            sink.idle();
    }
    for (Stream &stream : streams) {
        if (stream.lines.hasRest())
            sink.line(stream.lines.takeRest(), stream.colour, lastLineBreak, stream.fallback);
        closeFd(stream.fd);
    }
    if (!exited) {
        while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    g_child = 0;
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}
