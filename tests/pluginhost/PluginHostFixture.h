#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <memory>
#include <ostream>

class PluginHostLink;
class PluginManager;
class PluginWindow;
class WrenlogMainForm;
class WrenlogPlugin;
class QObject;

/// A fresh application folder with a Plugins folder to install test plug-ins into.
struct AppFolder
{
    AppFolder();

    /// Copies the built test plug-in into Plugins/<subFolder>/<fileName>.
    void install(const QString &plugin, const QString &subFolder = {}, const QString &fileName = {}) const;
    void writeFile(const QString &relativePath, const QByteArray &bytes) const;
    QString iniPath() const { return path + QStringLiteral("/Plugins/PluginProperties.ini"); }
    /// The settings file's lines, without line ends.
    QStringList iniLines() const;

    QString path;
};

/// The shared debug window with its plug-ins started from an application folder.
struct RunningHost
{
    /// shared: start the plug-ins of the process's shared window, the way the
    /// first GlobalWindow does; else of a window of the test's own.
    explicit RunningHost(const AppFolder &folder, bool shared = false);
    ~RunningHost();

    PluginManager *manager() const;
    PluginWindow *window() const;
    /// The object of a loaded plug-in, to read the properties the test plug-ins keep.
    QObject *pluginObject(const QString &key) const;

    std::unique_ptr<WrenlogMainForm> ownForm;
    WrenlogMainForm *form = nullptr;
    PluginHostLink *link = nullptr;
    QStringList statuses;
    QList<QPair<int, int>> progress;
};

/// The events a recorder plug-in heard, without the view's own Change and
/// SelChange that every edit of the text raises.
QStringList eventsHeard(const RunningHost &host, const QString &key, bool withViewEvents = false);

// Readable failure messages.
void PrintTo(const QString &text, std::ostream *out);
void PrintTo(const QStringList &list, std::ostream *out);

/// What the test plug-ins wrote down, in order; clears it when asked.
QStringList pluginTrace();
void clearPluginTrace();
