#include "PluginWindowHost.h"

PluginWindowHost::~PluginWindowHost() = default;
