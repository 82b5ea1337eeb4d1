#include "AppFolders.h"

#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

/// An application folder with a plug-in folder tree like the installed one.
QString makeProgramFolder()
{
    const QString folder = TestEnvironment::freshFolder(QStringLiteral("program"));
    QDir(folder).mkpath(QStringLiteral("Plugins/Tackpad/Files"));
    QDir(folder).mkpath(QStringLiteral("Plugins/Chorescan"));
    QFile library(folder + QStringLiteral("/Plugins/Chorescan/KSChorescan.so"));
    EXPECT_TRUE(library.open(QIODevice::WriteOnly));
    return folder;
}

void markInstalled(const QString &folder)
{
    QFile marker(folder + QLatin1Char('/') + AppFolders::installedMarker);
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
}

/// Sets an environment variable for one test and restores it afterwards.
class ScopedEnv
{
public:
    ScopedEnv(const char *name, const QByteArray &value)
        : m_name(name)
        , m_old(qgetenv(name))
        , m_had(qEnvironmentVariableIsSet(name))
    {
        qputenv(name, value);
    }
    ~ScopedEnv()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    QByteArray m_old;
    bool m_had;
};

} // namespace

TEST(AppFolders, WritableFolderKeepsEverythingBesideTheProgram)
{
    const QString program = makeProgramFolder();
    const AppFolders folders(program);
    EXPECT_TRUE(folders.isPortable());
    EXPECT_EQ(folders.dataFolder(), program);
    EXPECT_EQ(folders.pluginPropertiesFile(), program + QStringLiteral("/Plugins/PluginProperties.ini"));
    EXPECT_EQ(folders.pluginFolders(), QStringList {program + QStringLiteral("/Plugins")});
    EXPECT_EQ(folders.writableFolderFor(program + QStringLiteral("/Plugins/Tackpad")),
              program + QStringLiteral("/Plugins/Tackpad"));

    // Nothing to prepare, and nothing appears under the user's data folder.
    EXPECT_TRUE(folders.prepare());
    EXPECT_FALSE(QFileInfo::exists(AppFolders::dataHome() + QStringLiteral("/wrenlog")));
}

TEST(AppFolders, InstalledCopyKeepsTheSameLayoutUnderTheDataFolder)
{
    const QString program = makeProgramFolder();
    const QString data = TestEnvironment::freshFolder(QStringLiteral("data"));
    ScopedEnv dataHome("XDG_DATA_HOME", data.toLocal8Bit());
    const QString user = data + QStringLiteral("/wrenlog");

    // The two ways a folder counts as installed: made read-only (for root as
    // well), or marked by the install step while still writable.
    QString readOnly = makeProgramFolder();
    ASSERT_TRUE(QFile::setPermissions(readOnly,
                                      QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup
                                          | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther));
    markInstalled(program);
    for (const QString &installed : {readOnly, program}) {
        const AppFolders folders(installed);
        SCOPED_TRACE(installed.toStdString());
        EXPECT_FALSE(folders.isPortable());
        EXPECT_EQ(folders.dataFolder(), user);
        EXPECT_EQ(folders.pluginPropertiesFile(), user + QStringLiteral("/Plugins/PluginProperties.ini"));
        EXPECT_EQ(folders.pluginFolders(),
                  (QStringList {installed + QStringLiteral("/Plugins"), user + QStringLiteral("/Plugins")}));
        // A plug-in's own folder maps to the same place under the data folder;
        // a folder outside the application folder, or one that only starts
        // with the same letters, is its own.
        EXPECT_EQ(folders.writableFolderFor(installed + QStringLiteral("/Plugins/Tackpad")),
                  user + QStringLiteral("/Plugins/Tackpad"));
        EXPECT_EQ(folders.writableFolderFor(installed), user);
        EXPECT_EQ(folders.writableFolderFor(installed + QStringLiteral("X/Plugins")),
                  installed + QStringLiteral("X/Plugins"));
        EXPECT_EQ(folders.writableFolderFor(user + QStringLiteral("/Plugins/Mine")),
                  user + QStringLiteral("/Plugins/Mine"));
    }
    QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST(AppFolders, PrepareMirrorsThePluginTreeOnceAndReportsWhatItCannotMake)
{
    const QString program = makeProgramFolder();
    markInstalled(program);
    const QString data = TestEnvironment::freshFolder(QStringLiteral("data"));
    {
        ScopedEnv dataHome("XDG_DATA_HOME", data.toLocal8Bit());
        const AppFolders folders(program);
        QString error;
        ASSERT_TRUE(folders.prepare(&error)) << error.toStdString();
        for (const char *made : {"Plugins", "Plugins/Tackpad/Files", "Plugins/Chorescan"})
            EXPECT_TRUE(QFileInfo(data + QStringLiteral("/wrenlog/") + QLatin1String(made)).isDir()) << made;
        // Folders only: the libraries stay where they are installed.
        EXPECT_FALSE(QFileInfo::exists(data + QStringLiteral("/wrenlog/Plugins/Chorescan/KSChorescan.so")));
        // Again, with a note already there: nothing is lost.
        QFile note(data + QStringLiteral("/wrenlog/Plugins/Tackpad/Files/Shopping.Tackpad"));
        ASSERT_TRUE(note.open(QIODevice::WriteOnly));
        note.write("{\\rtf1 eggs}");
        note.close();
        EXPECT_TRUE(folders.prepare());
        EXPECT_EQ(QFileInfo(note.fileName()).size(), 12);
    }

    // A data folder that cannot exist (its parent is a file, which stops root too).
    const QString blocker = TestEnvironment::freshFolder(QStringLiteral("blocked")) + QStringLiteral("/file");
    QFile file(blocker);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ScopedEnv dataHome("XDG_DATA_HOME", blocker.toLocal8Bit());
    QString error;
    EXPECT_FALSE(AppFolders(program).prepare(&error));
    EXPECT_TRUE(error.contains(blocker + QStringLiteral("/wrenlog"))) << error.toStdString();
}

TEST(AppFolders, DataHomeFallsBackToTheHomeFolderForMissingOrRelativeValues)
{
    const QString home = QDir::homePath();
    {
        ScopedEnv dataHome("XDG_DATA_HOME", "");
        EXPECT_EQ(AppFolders::dataHome(), home + QStringLiteral("/.local/share"));
    }
    {
        ScopedEnv dataHome("XDG_DATA_HOME", "relative/share");
        EXPECT_EQ(AppFolders::dataHome(), home + QStringLiteral("/.local/share"));
    }
    {
        ScopedEnv dataHome("XDG_DATA_HOME", "/somewhere/share/");
        EXPECT_EQ(AppFolders::dataHome(), QStringLiteral("/somewhere/share"));
    }
}

TEST(AppFolders, AFolderReachedThroughALinkIsStillTheApplicationFolder)
{
    const QString program = makeProgramFolder();
    markInstalled(program);
    const QString link = TestEnvironment::freshFolder(QStringLiteral("links")) + QStringLiteral("/app");
    ASSERT_TRUE(QFile::link(program, link));
    const QString data = TestEnvironment::freshFolder(QStringLiteral("data"));
    ScopedEnv dataHome("XDG_DATA_HOME", data.toLocal8Bit());
    // The program is found through its real folder, a plug-in library through the link.
    const AppFolders folders(program);
    EXPECT_EQ(folders.writableFolderFor(link + QStringLiteral("/Plugins/Tackpad")),
              data + QStringLiteral("/wrenlog/Plugins/Tackpad"));
}

TEST(AppFolders, WritableTestCountsPermissionBitsAndMissingFolders)
{
    const QString folder = TestEnvironment::freshFolder(QStringLiteral("bits"));
    EXPECT_TRUE(AppFolders::isWritableFolder(folder));
    ASSERT_TRUE(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    EXPECT_FALSE(AppFolders::isWritableFolder(folder));
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_FALSE(AppFolders::isWritableFolder(folder + QStringLiteral("/missing")));
}
