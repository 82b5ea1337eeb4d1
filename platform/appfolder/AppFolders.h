#pragma once

#include <QString>
#include <QStringList>

/**
 * Decides where the program's files are: the one place that knows whether the
 * application folder is a portable copy or an installed one.
 *
 * A portable application folder (the build's app/, an unpacked archive) that
 * the user can write keeps everything beside the program: error.log,
 * Plugins/PluginProperties.ini and the plug-ins' own files (the notes in
 * Plugins/Tackpad/Files). An installed copy (a folder the user cannot write,
 * or one the install step marked) keeps the same layout under
 * $XDG_DATA_HOME/wrenlog/ and finds plug-ins in its own Plugins folder first,
 * then in the user's $XDG_DATA_HOME/wrenlog/Plugins.
 *
 *     const AppFolders folders = AppFolders::current();
 *     ErrorLog log(folders.dataFolder());
 *     PluginManager.Initialize(folders.pluginFolders());
 */
class AppFolders
{
public:
    /// The folders of a program that lives in programFolder.
    explicit AppFolders(const QString &programFolder);
    /// The folders of the running program (the server's folder, also inside a plug-in).
    static AppFolders current();

    /// The file the install step puts into an installed application folder.
    static constexpr QLatin1StringView installedMarker {"wrenlog.installed"};
    /// $XDG_DATA_HOME, or ~/.local/share when it is unset or not absolute.
    static QString dataHome();

    const QString &programFolder() const { return m_programFolder; }
    /// True when the writable files live beside the program.
    bool isPortable() const { return m_portable; }
    /// The root of the writable layout: the program folder, or $XDG_DATA_HOME/wrenlog.
    const QString &dataFolder() const { return m_dataFolder; }
    /// dataFolder()/Plugins/PluginProperties.ini.
    QString pluginPropertiesFile() const;
    /// Where plug-ins are looked for, in order: the program's Plugins folder,
    /// then (installed copies only) the user's.
    QStringList pluginFolders() const;
    /// The writable counterpart of a folder of the application folder (a
    /// plug-in's own folder): the same place under dataFolder(). Folders
    /// elsewhere, and every folder of a portable copy, are their own.
    QString writableFolderFor(const QString &folder) const;

    /// For an installed copy: creates dataFolder()/Plugins and under it every
    /// folder of the program's Plugins tree, so that each plug-in finds its
    /// writable folder and the folders the install made for it (Tackpad/Files).
    /// Nothing for a portable copy. False with the reason when a folder cannot
    /// be made.
    bool prepare(QString *errorText = nullptr) const;

    /// Whether the current user may write into folder. Root counts as able to
    /// write only where a write permission bit is set, so a folder made
    /// read-only stays read-only for root as well.
    static bool isWritableFolder(const QString &folder);

private:
    QString m_programFolder;
    QString m_dataFolder;
    bool m_portable;
};
