#include "FileFollower.h"

#include "LineSink.h"
#include "LineSplitter.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int pollIntervalMs = 100;

} // namespace

FileFollower::FileFollower(QString path)
    : m_path(std::move(path))
    , m_localPath(m_path.toLocal8Bit())
{}

FileFollower::~FileFollower()
{
    close();
}

void FileFollower::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

FileFollower::Opened FileFollower::open()
{
    const int fd = ::open(m_localPath.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat status {};
    if (fd < 0 || ::fstat(fd, &status) != 0) {
        if (fd >= 0)
            ::close(fd);
        if (errno == EISDIR)
            return Opened::Directory;
        if (!m_toldMissing) {
            std::fprintf(stderr, "wrenlog-send: cannot open '%s' (%s); waiting for it\n", m_localPath.constData(),
                         std::strerror(errno));
            m_toldMissing = true;
        }
        return Opened::Missing;
    }
    if (S_ISDIR(status.st_mode)) {
        ::close(fd);
        return Opened::Directory;
    }
    m_fd = fd;
    m_device = status.st_dev;
    m_inode = status.st_ino;
    m_toldMissing = false;
    return Opened::File;
}

int FileFollower::run(LineSink &sink, qint32 colour, const volatile sig_atomic_t &stop)
{
    auto isDirectory = [this] {
        std::fprintf(stderr, "wrenlog-send: '%s' is a directory\n", m_localPath.constData());
        return 1;
    };
    LineSplitter lines;
    auto endLine = [&] {
        if (lines.hasRest())
            sink.line(lines.takeRest(), colour);
    };
    Opened opened = open();
    if (opened == Opened::Directory)
        return isDirectory();
    if (opened == Opened::File)
        ::lseek(m_fd, 0, SEEK_END); // only what is written from now on

    std::vector<char> buffer(256 * 1024);
    while (!stop) {
        bool read = false;
        if (m_fd >= 0) {
            for (;;) {
                const ssize_t got = ::read(m_fd, buffer.data(), buffer.size());
                if (got < 0 && errno == EINTR)
                    continue;
                if (got <= 0)
                    break;
                read = true;
                lines.feed(QByteArrayView(buffer.data(), got),
                           [&](QByteArrayView line) { sink.line(line, colour); });
            }
        }
        if (read)
            sink.idle();

        struct stat status {};
        if (::stat(m_localPath.constData(), &status) == 0) {
            if (S_ISDIR(status.st_mode))
                return isDirectory();
            if (m_fd < 0 || status.st_dev != m_device || status.st_ino != m_inode) {
                // A new file under the name: the old one was read to its end above.
                if (read)
                    continue; // the old file may still have more
                endLine();
                close();
                if (open() == Opened::Directory)
                    return isDirectory();
                continue;
            }
            if (status.st_size < ::lseek(m_fd, 0, SEEK_CUR)) {
                endLine();
                std::fprintf(stderr, "wrenlog-send: '%s' was truncated\n", m_localPath.constData());
                ::lseek(m_fd, 0, SEEK_SET);
                continue;
            }
        } else if (m_fd >= 0 && !read && !m_toldMissing) {
            std::fprintf(stderr, "wrenlog-send: '%s' has gone; waiting for it\n", m_localPath.constData());
            m_toldMissing = true;
        }
        if (!read)
            ::poll(nullptr, 0, pollIntervalMs);
    }
    endLine();
    return 0;
}
