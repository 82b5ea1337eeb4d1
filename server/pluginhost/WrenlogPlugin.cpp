#include "WrenlogPlugin.h"

WrenlogPlugin::~WrenlogPlugin() = default;

QVariant WrenlogPlugin::Name()
{
    return {};
}
QVariant WrenlogPlugin::Author()
{
    return {};
}
QVariant WrenlogPlugin::Version()
{
    return {};
}
QVariant WrenlogPlugin::DateStamp()
{
    return {};
}
QVariant WrenlogPlugin::Comments()
{
    return {};
}
QString WrenlogPlugin::Key()
{
    return {};
}
bool WrenlogPlugin::HasProperties()
{
    return false;
}
void WrenlogPlugin::ShowProperties() {}
void WrenlogPlugin::Initialize(const QString &, PluginWindow *, PropertyStore *) {}
void WrenlogPlugin::Splash() {}
void WrenlogPlugin::Run() {}
void WrenlogPlugin::Kill() {}
bool WrenlogPlugin::IsRunning()
{
    return false;
}
