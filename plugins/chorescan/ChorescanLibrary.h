#pragma once

#include "WrenlogPluginLibrary.h"

#include <QObject>

/**
 * The root object of the KSChorescan library: it makes the one class the
 * library declares, Chorescan.
 */
class ChorescanLibrary : public QObject, public WrenlogPluginLibrary
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID WrenlogPluginLibrary_iid FILE "KSChorescan.json")
    Q_INTERFACES(WrenlogPluginLibrary)

public:
    QObject *CreateObject(const QString &className) override;
};
