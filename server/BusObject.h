#pragma once

#include <QDBusContext>
#include <QObject>

/**
 * An exported object that holds nothing but its adaptors, for paths whose
 * calls are answered by objects made per call (/GlobalWindow).
 */
class BusObject : public QObject, public QDBusContext
{
    Q_OBJECT
public:
    using QObject::QObject;
};
