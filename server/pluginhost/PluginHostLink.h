#pragma once

#include "MainFormPluginHost.h"
#include "PluginManagerLink.h"

#include <memory>

class PluginManager;

/**
 * Hands the debug window its plug-in manager: the window creates one through
 * the factory that install() sets, on the first InitPlugins() of the shared
 * window, and drops it when it unloads.
 */
class PluginHostLink : public PluginManagerLink
{
public:
    /// applicationFolder holds Plugins/PluginProperties.ini (the program's folder when empty).
    explicit PluginHostLink(WrenlogMainForm &form, const QString &applicationFolder = QString());
    ~PluginHostLink() override;

    void LoadPlugins(const QString &pluginFolder) override;
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
    std::unique_ptr<PluginManager> m_manager;
};
