#pragma once

#include <QString>

#include <csignal>
#include <sys/types.h>

class LineSink;

/**
 * Follows a file as `tail -F` does: prints the lines written to it from now
 * on, reads a file that was replaced (rotated) from its start once the old one
 * has been read to its end, starts again at the top of a file that was
 * truncated, and waits for a file that is missing or has gone. A path that
 * is (or becomes) a directory is an error.
 *
 *     FileFollower follower(QStringLiteral("app.log"));
 *     return follower.run(sink, Wrenlog::wlogNormal, g_stop);
 */
class FileFollower
{
public:
    explicit FileFollower(QString path);
    ~FileFollower();
    FileFollower(const FileFollower &) = delete;
    FileFollower &operator=(const FileFollower &) = delete;

    /// Follows until stop becomes non-zero (0 then), or the path turns out to
    /// be a directory (1, with a message on standard error).
    int run(LineSink &sink, qint32 colour, const volatile sig_atomic_t &stop);

private:
    enum class Opened { File, Missing, Directory };
    Opened open();
    void close();

    QString m_path;
    QByteArray m_localPath;
    int m_fd = -1;
    dev_t m_device = 0;
    ino_t m_inode = 0;
    bool m_toldMissing = false;
};
