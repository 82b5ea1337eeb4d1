#pragma once

#include <QDBusConnection>
#include <QObject>

class GlobalLibrary;
class PrivateWindowFactory;

/**
 * Puts the server's objects on a bus connection and claims the bus name:
 * /GlobalWindow (org.wrenlog.GlobalWindow and org.wrenlog.Batch),
 * /GlobalLibrary and /PrivateWindows, each interface through its own adaptor.
 * The objects are exported before the name is claimed, so a call that
 * started the server finds them in place.
 */
class BusServer : public QObject
{
    Q_OBJECT
public:
    enum class NameClaim {
        Owned,
        TakenByAnother,
        Failed
    };

    explicit BusServer(const QDBusConnection &bus, QObject *parent = nullptr);
    ~BusServer() override;

    /// Exports every object; false with a message in errorText when one fails.
    bool exportObjects(QString *errorText);
    NameClaim claimName(QString *errorText);

    PrivateWindowFactory *factory() const { return m_factory; }
    QDBusConnection connection() const { return m_bus; }

private:
    bool exportObject(const QString &path, QObject *object, QString *errorText);

    QDBusConnection m_bus;
    QObject *m_globalWindow;
    GlobalLibrary *m_library;
    PrivateWindowFactory *m_factory;
    QObject *m_inspect = nullptr;
    QStringList m_exported;
};
