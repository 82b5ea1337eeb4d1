#pragma once

#include <QDBusConnection>
#include <QHash>
#include <QDBusContext>
#include <QObject>

class PrivateWindow;
class QDBusServiceWatcher;

/**
 * The object behind /PrivateWindows: creates private windows for bus clients
 * and exports each at /PrivateWindow/<n>. A window belongs to the connection
 * that created it and goes when that client calls Release or when its
 * connection leaves the bus, so a crashed client leaves no window behind.
 */
class PrivateWindowFactory : public QObject, public QDBusContext
{
    Q_OBJECT
public:
    PrivateWindowFactory(const QDBusConnection &bus, QObject *parent = nullptr);
    ~PrivateWindowFactory() override;

    /// Creates a window owned by the bus client ownerName and returns its path.
    QString Create(const QString &ownerName);
    int windowCount() const { return int(m_windows.size()); }
    PrivateWindow *window(const QString &path) const { return m_windows.value(path).window; }

signals:
    void windowCountChanged(int count);

private:
    struct Entry
    {
        PrivateWindow *window = nullptr;
        QString owner;
    };

    void watchOwner(const QString &ownerName);
    void forget(const QString &path);
    void ownerVanished(const QString &ownerName);

    QDBusConnection m_bus;
    QDBusServiceWatcher *m_watcher;
    QHash<QString, Entry> m_windows;
    quint64 m_lastNumber = 0;
};
