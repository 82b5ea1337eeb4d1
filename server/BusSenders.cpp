#include "BusSenders.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusReply>
#include <QFile>
#include <QHash>

namespace BusSenders {

namespace {

struct Cache
{
    QHash<QString, QString> byUniqueName;
    QStringList watchedConnections;
};

Cache &cache()
{
    static Cache instance;
    return instance;
}

// A unique name is never given out again, but a long-running server would
// keep every client it ever saw: names leave the table with their connection.
void watchDepartures(const QDBusConnection &connection)
{
    Cache &known = cache();
    if (known.watchedConnections.contains(connection.name()))
        return;
    QDBusConnectionInterface *bus = connection.interface();
    if (!bus)
        return;
    known.watchedConnections.append(connection.name());
    QObject::connect(bus, &QDBusConnectionInterface::serviceOwnerChanged, bus,
                     [](const QString &name, const QString &, const QString &newOwner) {
                         if (newOwner.isEmpty())
                             cache().byUniqueName.remove(name);
                     });
}

} // namespace

QString describeProcess(quint32 pid)
{
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    QString name;
    if (comm.open(QIODevice::ReadOnly))
        name = QString::fromUtf8(comm.readAll()).trimmed();
    return name.isEmpty() ? QString::number(pid) : name + QLatin1Char(' ') + QString::number(pid);
}

QString describe(const QDBusContext &context)
{
    if (!context.calledFromDBus())
        return {};
    const QString uniqueName = context.message().service();
    if (uniqueName.isEmpty())
        return {};
    Cache &known = cache();
    const auto found = known.byUniqueName.constFind(uniqueName);
    if (found != known.byUniqueName.cend())
        return *found;

    const QDBusConnection connection = context.connection();
    watchDepartures(connection);
    QString description = uniqueName;
    if (QDBusConnectionInterface *bus = connection.interface()) {
        const QDBusReply<uint> pid = bus->servicePid(uniqueName);
        if (pid.isValid())
            description = describeProcess(pid.value());
    }
    known.byUniqueName.insert(uniqueName, description);
    return description;
}

} // namespace BusSenders
