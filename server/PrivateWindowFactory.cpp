#include "PrivateWindowFactory.h"

#include "BatchAdaptor.h"
#include "PrivateWindow.h"
#include "PrivateWindowAdaptor.h"
#include "Guard.h"
#include "RuntimeErrors.h"
#include "dbus/WrenlogBus.h"

#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>

PrivateWindowFactory::PrivateWindowFactory(const QDBusConnection &bus, QObject *parent)
    : QObject(parent)
    , m_bus(bus)
    , m_watcher(new QDBusServiceWatcher(this))
{
    m_watcher->setConnection(m_bus);
    m_watcher->setWatchMode(QDBusServiceWatcher::WatchForUnregistration);
    connect(m_watcher, &QDBusServiceWatcher::serviceUnregistered, this, &PrivateWindowFactory::ownerVanished);
}

PrivateWindowFactory::~PrivateWindowFactory()
{
    const QList<QString> paths = m_windows.keys();
    for (const QString &path : paths) {
        PrivateWindow *window = m_windows.value(path).window;
        m_bus.unregisterObject(path);
        delete window;
    }
}

QString PrivateWindowFactory::Create(const QString &ownerName)
{
    auto *window = new PrivateWindow(this);
    const QString path = QString::fromLatin1(WrenlogBus::privateWindowPathPrefix) + QString::number(++m_lastNumber);
    new PrivateWindowAdaptor(window);
    new BatchAdaptor(window, [window](const QList<DebugPiece> &pieces) { window->DebugPrintMany(pieces); });
    if (!m_bus.registerObject(path, window, QDBusConnection::ExportAdaptors)) {
        delete window;
        RuntimeErrors::raiseWithDetail(RuntimeErrors::InvalidProcedureCall, Guard::defaultSource(),
                                       QStringLiteral("cannot export %1: %2").arg(path, m_bus.lastError().message()));
    }
    m_windows.insert(path, Entry {window, ownerName});
    connect(window, &PrivateWindow::released, this, [this, path] { forget(path); });
    watchOwner(ownerName);
    emit windowCountChanged(windowCount());
    return path;
}

void PrivateWindowFactory::watchOwner(const QString &ownerName)
{
    if (ownerName.isEmpty() || m_watcher->watchedServices().contains(ownerName))
        return;
    m_watcher->addWatchedService(ownerName);
    // A client that left before the watch began would never be reported.
    QDBusConnectionInterface *bus = m_bus.interface();
    if (bus && !bus->isServiceRegistered(ownerName).value())
        QMetaObject::invokeMethod(
            this, [this, ownerName] { ownerVanished(ownerName); }, Qt::QueuedConnection);
}

void PrivateWindowFactory::forget(const QString &path)
{
    const auto found = m_windows.constFind(path);
    if (found == m_windows.cend())
        return;
    const Entry entry = *found;
    m_windows.erase(found);
    m_bus.unregisterObject(path);
    // Release may have come in through the window's own adaptor.
    entry.window->deleteLater();
    bool ownerHasMore = false;
    for (const Entry &other : std::as_const(m_windows))
        ownerHasMore = ownerHasMore || other.owner == entry.owner;
    if (!ownerHasMore)
        m_watcher->removeWatchedService(entry.owner);
    emit windowCountChanged(windowCount());
}

void PrivateWindowFactory::ownerVanished(const QString &ownerName)
{
    QList<PrivateWindow *> orphans;
    for (const Entry &entry : std::as_const(m_windows)) {
        if (entry.owner == ownerName)
            orphans.append(entry.window);
    }
    for (PrivateWindow *window : orphans) {
        // Release saves the position and ends in forget(); a window that fails
        // to close properly is dropped all the same.
        if (captureFailure([window] { window->Release(); })) {
            for (auto it = m_windows.cbegin(); it != m_windows.cend(); ++it) {
                if (it.value().window == window) {
                    forget(it.key());
                    break;
                }
            }
        }
    }
    m_watcher->removeWatchedService(ownerName);
}
