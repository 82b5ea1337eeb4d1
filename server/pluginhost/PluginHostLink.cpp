#include "PluginHostLink.h"

#include "PluginManager.h"
#include "PluginWindow.h"
#include "WrenlogMainForm.h"

PluginHostLink::PluginHostLink(WrenlogMainForm &form, const QString &applicationFolder)
    : m_host(form)
    , m_manager(std::make_unique<PluginManager>(&m_host, applicationFolder))
{
}

PluginHostLink::~PluginHostLink() = default;

void PluginHostLink::LoadPlugins(const QString &pluginFolder)
{
    m_manager->Initialize(pluginFolder);
}

qint32 PluginHostLink::PluginCount() const
{
    return m_manager->PluginCount();
}

NotificationSink *PluginHostLink::facade()
{
    return m_manager->PluginWindow();
}

void PluginHostLink::KillAll()
{
    m_manager->KillAll();
}

void PluginHostLink::ShowManagerDialog()
{
    // The manager dialog joins here when it exists; until then the command shows nothing.
}

void PluginHostLink::UnloadManagerDialog()
{
}

void PluginHostLink::install()
{
    WrenlogMainForm::setPluginManagerFactory(
        [](WrenlogMainForm &form) -> std::unique_ptr<PluginManagerLink> { return std::make_unique<PluginHostLink>(form); });
}

namespace {

// The host is part of the server core library: every program that carries the
// debug window gets plug-ins without further set-up.
const bool installedAtLoad = [] {
    PluginHostLink::install();
    return true;
}();

} // namespace
