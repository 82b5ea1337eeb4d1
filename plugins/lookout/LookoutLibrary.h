#pragma once

#include "WrenlogPluginLibrary.h"

#include <QObject>

/**
 * The root object of the KSLookout library: it makes the one class the
 * library declares, Lookout.
 */
class LookoutLibrary : public QObject, public WrenlogPluginLibrary
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID WrenlogPluginLibrary_iid FILE "KSLookout.json")
    Q_INTERFACES(WrenlogPluginLibrary)

public:
    QObject *CreateObject(const QString &className) override;
};
