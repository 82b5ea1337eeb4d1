#include "WrenlogPluginLibrary.h"

WrenlogPluginLibrary::~WrenlogPluginLibrary() = default;
