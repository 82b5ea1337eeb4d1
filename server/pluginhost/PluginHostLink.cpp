#include "PluginHostLink.h"

#include "AppFolders.h"
#include "PluginManager.h"
#include "PluginManagerForm.h"
#include "PluginWindow.h"
#include "WrenlogMainForm.h"

PluginHostLink::PluginHostLink(WrenlogMainForm &form, const QString &applicationFolder)
    : m_host(form)
    , m_applicationFolder(applicationFolder)
    , m_manager(std::make_unique<PluginManager>(&m_host, applicationFolder))
{}

PluginHostLink::~PluginHostLink()
{
    // Later, not now: the last of the dialog's own commands may be what
    // releases this host, and it still has to return.
    if (m_managerForm)
        m_managerForm->deleteLater();
}

void PluginHostLink::LoadPlugins(const QStringList &pluginFolders)
{
    m_manager->Initialize(m_applicationFolder.isEmpty() ? pluginFolders
                                                        : AppFolders(m_applicationFolder).pluginFolders());
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
    if (!m_managerForm || m_managerForm->isUnloaded())
        m_managerForm = new PluginManagerForm;
    m_managerForm->Execute(m_manager.get());
}

void PluginHostLink::UnloadManagerDialog()
{
    if (m_managerForm)
        m_managerForm->close();
}

void PluginHostLink::install()
{
    WrenlogMainForm::setPluginManagerFactory([](WrenlogMainForm &form) -> std::unique_ptr<PluginManagerLink> {
        return std::make_unique<PluginHostLink>(form);
    });
}

namespace {

// The host is part of the server core library: every program that carries the
// debug window gets plug-ins without further set-up.
const bool installedAtLoad = [] {
    PluginHostLink::install();
    return true;
}();

} // namespace
