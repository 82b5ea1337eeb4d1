#pragma once

#include "MainFormPluginHost.h"
#include "PluginManagerLink.h"

#include <QPointer>

#include <memory>

class PluginManager;
class PluginManagerForm;
class PluginManagerForm;

/**
 * Hands the debug window its plug-in manager: the window creates one through
 * the factory that install() sets, on the first InitPlugins() of the shared
 * window, and drops it when it unloads.
 */
class PluginHostLink : public PluginManagerLink
{
public:
    /// applicationFolder: the application folder whose plug-in folders are
    /// scanned, whatever LoadPlugins() is given, and whose PluginProperties.ini
    /// is used, both as AppFolders decides (when empty: the running program's,
    /// and LoadPlugins() scans the folders it is given).
    explicit PluginHostLink(WrenlogMainForm &form, const QString &applicationFolder = QString());
    ~PluginHostLink() override;

    void LoadPlugins(const QStringList &pluginFolders) override;
    qint32 PluginCount() const override;
    NotificationSink *facade() override;
    void KillAll() override;
    void ShowManagerDialog() override;
    void UnloadManagerDialog() override;

    PluginManager *manager() const { return m_manager.get(); }

    /// Makes every debug window that starts its plug-ins use this host.
    static void install();

private:
    // Declared first so that it outlives the manager and the plug-ins.
    MainFormPluginHost m_host;
    QString m_applicationFolder;
    std::unique_ptr<PluginManager> m_manager;
    // The dialog deletes itself when closed.
    QPointer<PluginManagerForm> m_managerForm;
};
