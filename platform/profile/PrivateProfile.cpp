#include "PrivateProfile.h"

#include "IniText.h"

#include <QFile>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace PrivateProfile {

namespace {

class FileDescriptor
{
public:
    explicit FileDescriptor(int fd = -1)
        : m_fd(fd)
    {}
    ~FileDescriptor() { reset(); }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;

    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    void reset(int fd = -1)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }
    /// Closes and reports whether the close itself succeeded (it can carry a delayed write error).
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int m_fd;
};

bool readAll(int fd, QByteArray &data)
{
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    data.resize(qsizetype(st.st_size));
    qsizetype filled = 0;
    for (;;) {
        // Files are replaced, never grown in place, so the size fstat gave is the whole file.
        if (filled == data.size()) {
            if (filled > 0)
                break;
            data.resize(4096);
        }
        const ssize_t got = ::read(fd, data.data() + filled, size_t(data.size() - filled));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (got == 0)
            break;
        filled += got;
    }
    data.truncate(filled);
    return true;
}

std::optional<QByteArray> readFile(const QString &fileName)
{
    const QByteArray name = QFile::encodeName(fileName);
    if (name.isEmpty())
        return std::nullopt;
    // Non-blocking, so a FIFO in the file's place is refused instead of waited on.
    FileDescriptor fd(::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    QByteArray data;
    if (!fd.valid() || !readAll(fd.get(), data))
        return std::nullopt;
    return data;
}

bool writeAll(int fd, QByteArrayView data)
{
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t put = ::write(fd, data.data() + done, size_t(data.size() - done));
        if (put < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += put;
    }
    return true;
}

bool fail(QString *errorText, const QString &what, const QString &fileName, int error)
{
    if (errorText)
        *errorText = QStringLiteral("%1 %2: %3").arg(what, fileName, QString::fromLocal8Bit(std::strerror(error)));
    return false;
}

/// A symbolic link stays a link: the file it points at is the one replaced.
QByteArray targetName(const QByteArray &name)
{
    char resolved[PATH_MAX];
    struct stat st
    {
    };
    if (::lstat(name.constData(), &st) == 0 && S_ISLNK(st.st_mode) && ::realpath(name.constData(), resolved))
        return QByteArray(resolved);
    return name;
}

/**
 * One locked read-edit-replace of a file. The lock sits on the file itself;
 * since a writer replaces the file, whoever waited for the lock checks that
 * the name still leads to the file it locked and starts over if not.
 * edit(old) returns the new text, or nullopt when there is nothing to change.
 */
template<typename Edit>
bool rewrite(const QString &fileName, bool create, Edit edit, QString *errorText)
{
    const QByteArray name = targetName(QFile::encodeName(fileName));
    if (name.isEmpty())
        return fail(errorText, QStringLiteral("Cannot write"), fileName, ENOENT);

    FileDescriptor fd;
    bool created = false;
    struct stat locked
    {
    };
    for (;;) {
        created = false;
        fd.reset(::open(name.constData(), O_RDWR | O_CLOEXEC));
        if (!fd.valid() && errno == ENOENT) {
            if (!create)
                return true;
            fd.reset(::open(name.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
            if (!fd.valid() && errno == EEXIST)
                continue;
            created = fd.valid();
        }
        if (!fd.valid())
            return fail(errorText, QStringLiteral("Cannot open"), fileName, errno);
        while (::flock(fd.get(), LOCK_EX) != 0) {
            if (errno != EINTR)
                return fail(errorText, QStringLiteral("Cannot lock"), fileName, errno);
        }
        struct stat current
        {
        };
        if (::fstat(fd.get(), &locked) == 0 && ::stat(name.constData(), &current) == 0
            && locked.st_dev == current.st_dev && locked.st_ino == current.st_ino)
            break;
    }

    auto undo = [&](const QString &what, int error) {
        if (created)
            ::unlink(name.constData());
        return fail(errorText, what, fileName, error);
    };

    QByteArray old;
    if (!readAll(fd.get(), old))
        return undo(QStringLiteral("Cannot read"), errno ? errno : EIO);
    const std::optional<QByteArray> replacement = edit(old);
    if (!replacement) {
        if (created)
            ::unlink(name.constData());
        return true;
    }

    const qsizetype slash = name.lastIndexOf('/');
    QByteArray tempName = (slash >= 0 ? name.left(slash + 1) : QByteArray()) + '.' + name.mid(slash + 1) + ".XXXXXX";
    FileDescriptor temp(::mkostemp(tempName.data(), O_CLOEXEC));
    if (!temp.valid())
        return undo(QStringLiteral("Cannot create a temporary file beside"), errno);
    // The replacement keeps the permissions and, where allowed, the owner of the original.
    ::fchmod(temp.get(), locked.st_mode & 07777);
    if (::fchown(temp.get(), locked.st_uid, locked.st_gid) != 0) {
        // Only root may give a file away; anyone else keeps it as their own.
    }
    if (!writeAll(temp.get(), *replacement) || !temp.close()) {
        const int error = errno;
        ::unlink(tempName.constData());
        return undo(QStringLiteral("Cannot write"), error);
    }
    if (::rename(tempName.constData(), name.constData()) != 0) {
        const int error = errno;
        ::unlink(tempName.constData());
        return undo(QStringLiteral("Cannot replace"), error);
    }
    return true;
}

QByteArray encoded(const QString &text)
{
    return text.toUtf8();
}

QStringList decodedNames(const QList<QByteArray> &names)
{
    QStringList out;
    out.reserve(names.size());
    for (const QByteArray &name : names)
        out.append(QString::fromUtf8(name));
    return out;
}

} // namespace

std::optional<QString> lookup(const QString &section, const QString &key, const QString &fileName)
{
    const std::optional<QByteArray> text = readFile(fileName);
    if (!text)
        return std::nullopt;
    const std::optional<QByteArray> value = IniText::find(*text, encoded(section), encoded(key));
    if (!value)
        return std::nullopt;
    return QString::fromUtf8(*value);
}

QString readString(const QString &section, const QString &key, const QString &defaultValue, const QString &fileName)
{
    if (std::optional<QString> value = lookup(section, key, fileName))
        return *value;
    qsizetype end = defaultValue.size();
    while (end > 0 && (defaultValue[end - 1] == u' ' || defaultValue[end - 1] == u'\t'))
        --end;
    return defaultValue.left(end);
}

QStringList sectionNames(const QString &fileName)
{
    const std::optional<QByteArray> text = readFile(fileName);
    return text ? decodedNames(IniText::sections(*text)) : QStringList();
}

QStringList keyNames(const QString &section, const QString &fileName)
{
    const std::optional<QByteArray> text = readFile(fileName);
    return text ? decodedNames(IniText::keys(*text, encoded(section))) : QStringList();
}

bool writeString(const QString &section, const QString &key, const QString &value, const QString &fileName,
                 QString *errorText)
{
    return writeStrings(section, {{key, value}}, fileName, errorText);
}

bool writeStrings(const QString &section, const QList<std::pair<QString, QString>> &entries, const QString &fileName,
                  QString *errorText)
{
    QList<IniText::Entry> raw;
    raw.reserve(entries.size());
    for (const auto &[key, value] : entries)
        raw.append({encoded(key), encoded(value)});
    const QByteArray sectionName = encoded(section);
    return rewrite(
        fileName, true,
        [&](const QByteArray &old) -> std::optional<QByteArray> { return IniText::withEntries(old, sectionName, raw); },
        errorText);
}

bool deleteKey(const QString &section, const QString &key, const QString &fileName, QString *errorText)
{
    const QByteArray sectionName = encoded(section);
    const QByteArray keyName = encoded(key);
    return rewrite(
        fileName, false, [&](const QByteArray &old) { return IniText::withoutKey(old, sectionName, keyName); },
        errorText);
}

bool deleteSection(const QString &section, const QString &fileName, QString *errorText)
{
    const QByteArray sectionName = encoded(section);
    return rewrite(
        fileName, false, [&](const QByteArray &old) { return IniText::withoutSection(old, sectionName); }, errorText);
}

} // namespace PrivateProfile
