#pragma once

#include <QStringList>

#include <functional>
#include <memory>

class NotificationSink;
class WrenlogMainForm;

/**
 * What a debug window needs from its plug-in manager. The plug-in host
 * implements it and installs a factory with
 * WrenlogMainForm::setPluginManagerFactory(); InitPlugins() then creates one
 * manager for the shared window. Private windows never get one.
 */
class PluginManagerLink
{
public:
    virtual ~PluginManagerLink() = default;

    /// Scans the plug-in folders in order and starts the plug-ins found there.
    virtual void LoadPlugins(const QStringList &pluginFolders) = 0;
    virtual qint32 PluginCount() const = 0;
    /// The facade that raises the plug-ins' events; null means nobody listens.
    virtual NotificationSink *facade() = 0;
    /// Calls Kill on every plug-in.
    virtual void KillAll() = 0;
    /// Shows the modeless plug-in manager dialog.
    virtual void ShowManagerDialog() = 0;
    /// Unloads the manager dialog if it is open.
    virtual void UnloadManagerDialog() = 0;
};

using PluginManagerFactory = std::function<std::unique_ptr<PluginManagerLink>(WrenlogMainForm &)>;
