#include "AppFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QString cleanFolder(const QString &folder)
{
    // Canonical where the folder exists, so that a folder reached through a
    // symbolic link still counts as inside the application folder.
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    return QDir::cleanPath(canonical.isEmpty() ? QDir(folder).absolutePath() : canonical);
}

} // namespace

AppFolders::AppFolders(const QString &programFolder)
    : m_programFolder(cleanFolder(programFolder))
{
    m_portable
        = !QFileInfo::exists(m_programFolder + QLatin1Char('/') + installedMarker) && isWritableFolder(m_programFolder);
    m_dataFolder = m_portable ? m_programFolder : dataHome() + QStringLiteral("/wrenlog");
}

AppFolders AppFolders::current()
{
    return AppFolders(QCoreApplication::applicationDirPath());
}

QString AppFolders::dataHome()
{
    const QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    // The XDG base-directory rules say a relative value is to be ignored.
    if (dataHome.isEmpty() || QDir::isRelativePath(dataHome))
        return QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(dataHome);
}

QString AppFolders::pluginPropertiesFile() const
{
    return m_dataFolder + QStringLiteral("/Plugins/PluginProperties.ini");
}

QStringList AppFolders::pluginFolders() const
{
    QStringList folders {m_programFolder + QStringLiteral("/Plugins")};
    if (!m_portable)
        folders.append(m_dataFolder + QStringLiteral("/Plugins"));
    return folders;
}

QString AppFolders::writableFolderFor(const QString &folder) const
{
    const QString clean = cleanFolder(folder);
    if (m_portable)
        return clean;
    if (clean == m_programFolder)
        return m_dataFolder;
    if (clean.startsWith(m_programFolder + QLatin1Char('/')))
        return m_dataFolder + clean.mid(m_programFolder.size());
    return clean;
}

bool AppFolders::prepare(QString *errorText) const
{
    if (m_portable)
        return true;
    QStringList needed {m_dataFolder + QStringLiteral("/Plugins")};
    const QString plugins = m_programFolder + QStringLiteral("/Plugins");
    QDirIterator it(plugins, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        needed.append(writableFolderFor(it.next()));
    for (const QString &folder : std::as_const(needed)) {
        if (!QDir().mkpath(folder)) {
            if (errorText)
                *errorText = QStringLiteral("cannot create the folder %1").arg(folder);
            return false;
        }
    }
    return true;
}

bool AppFolders::isWritableFolder(const QString &folder)
{
    const QByteArray path = QFile::encodeName(folder);
    struct stat info = {};
    if (::stat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode))
        return false;
    // access() also answers for read-only mounts and access control lists.
    if (::access(path.constData(), W_OK) != 0)
        return false;
    if (::geteuid() == 0)
        return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
    return true;
}
