#pragma once

#include "WrenlogPluginLibrary.h"

#include <QObject>

/**
 * The root object of the wrenkit1 library: it makes the one class the
 * library declares, Tackpad.
 */
class TackpadLibrary : public QObject, public WrenlogPluginLibrary
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID WrenlogPluginLibrary_iid FILE "wrenkit1.json")
    Q_INTERFACES(WrenlogPluginLibrary)

public:
    QObject *CreateObject(const QString &className) override;
};
