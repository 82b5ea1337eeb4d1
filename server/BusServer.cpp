#include "BusServer.h"

#include "BatchAdaptor.h"
#include "BusGlobalLibrary.h"
#include "BusObject.h"
#include "GlobalLibrary.h"
#include "GlobalLibraryAdaptor.h"
#include "GlobalWindow.h"
#include "GlobalWindowAdaptor.h"
#include "DiagnosticsAdaptor.h"
#include "PrivateWindowFactory.h"
#include "PrivateWindowFactoryAdaptor.h"
#include "dbus/WrenlogBus.h"

#include <QDBusConnectionInterface>

BusServer::BusServer(const QDBusConnection &bus, QObject *parent)
    : QObject(parent)
    , m_bus(bus)
    , m_globalWindow(new BusObject(this))
    , m_library(new BusGlobalLibrary(this))
    , m_factory(new PrivateWindowFactory(bus, this))
{
    WrenlogBus::registerTypes();
    // /GlobalWindow has no object of its own to hold: each call creates a
    // GlobalWindow, which is what loads the shared window again after the
    // user closed it.
    new GlobalWindowAdaptor(m_globalWindow);
    new BatchAdaptor(m_globalWindow, [](const QList<DebugPiece> &pieces) { GlobalWindow().DebugPrintMany(pieces); });
    new GlobalLibraryAdaptor(m_library);
    new PrivateWindowFactoryAdaptor(m_factory);
    if (DiagnosticsAdaptor::enabled()) {
        m_inspect = new BusObject(this);
        new DiagnosticsAdaptor(m_inspect, m_factory);
    }
}

BusServer::~BusServer()
{
    for (const QString &path : std::as_const(m_exported))
        m_bus.unregisterObject(path);
}

bool BusServer::exportObject(const QString &path, QObject *object, QString *errorText)
{
    if (m_bus.registerObject(path, object, QDBusConnection::ExportAdaptors)) {
        m_exported.append(path);
        return true;
    }
    if (errorText) {
        *errorText = QStringLiteral("cannot export %1: %2")
                         .arg(path,
                              m_bus.lastError().message().isEmpty() ? QStringLiteral("the path is taken")
                                                                    : m_bus.lastError().message());
    }
    return false;
}

bool BusServer::exportObjects(QString *errorText)
{
    return exportObject(QString::fromLatin1(WrenlogBus::globalWindowPath), m_globalWindow, errorText)
        && exportObject(QString::fromLatin1(WrenlogBus::globalLibraryPath), m_library, errorText)
        && exportObject(QString::fromLatin1(WrenlogBus::privateWindowsPath), m_factory, errorText)
        && (!m_inspect || exportObject(QStringLiteral("/Inspect"), m_inspect, errorText));
}

BusServer::NameClaim BusServer::claimName(QString *errorText)
{
    QDBusConnectionInterface *bus = m_bus.interface();
    if (!bus) {
        if (errorText)
            *errorText = QStringLiteral("the bus offers no name registration");
        return NameClaim::Failed;
    }
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply
        = bus->registerService(QString::fromLatin1(WrenlogBus::serviceName), QDBusConnectionInterface::DontQueueService,
                               QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid()) {
        if (errorText)
            *errorText = reply.error().message();
        return NameClaim::Failed;
    }
    return reply.value() == QDBusConnectionInterface::ServiceRegistered ? NameClaim::Owned : NameClaim::TakenByAnother;
}
