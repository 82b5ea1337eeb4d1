#include "wrenlog/BusCall.h"

#include "WrenlogBus.h"

#include <QDBusError>

namespace Wrenlog::BusCall {

namespace {

constexpr qint32 cannotCreateObject = 429;
constexpr qint32 automationError = 440;

bool meansUnreachable(const QString &errorName)
{
    static const QStringList names = {
        QStringLiteral("org.freedesktop.DBus.Error.ServiceUnknown"),
        QStringLiteral("org.freedesktop.DBus.Error.NameHasNoOwner"),
        QStringLiteral("org.freedesktop.DBus.Error.NoServer"),
        QStringLiteral("org.freedesktop.DBus.Error.Disconnected"),
        QStringLiteral("org.freedesktop.DBus.Error.NoReply"),
        QStringLiteral("org.freedesktop.DBus.Error.Timeout"),
        QStringLiteral("org.freedesktop.DBus.Error.TimedOut"),
    };
    return names.contains(errorName) || errorName.startsWith(QLatin1String("org.freedesktop.DBus.Error.Spawn"));
}

} // namespace

QDBusMessage makeCall(const QString &path, const QString &interface, const QString &method,
                      const QVariantList &arguments)
{
    QDBusMessage message
        = QDBusMessage::createMethodCall(QString::fromLatin1(WrenlogBus::serviceName), path, interface, method);
    message.setArguments(arguments);
    return message;
}

void requireConnected(const QDBusConnection &bus)
{
    if (bus.isConnected())
        return;
    const QDBusError error = bus.lastError();
    throw AutomationError(cannotCreateObject,
                          QStringLiteral("Cannot reach the debug window: no session bus (%1)")
                              .arg(error.message().isEmpty() ? QStringLiteral("not connected") : error.message()),
                          QString::fromLatin1(clientSource));
}

AutomationError errorFromReply(const QDBusMessage &reply)
{
    const QList<QVariant> arguments = reply.arguments();
    if (reply.errorName() == QLatin1String(WrenlogBus::errorName)) {
        return AutomationError(arguments.value(1).toInt(), arguments.value(0).toString(),
                               arguments.value(2).toString());
    }
    const QString message = reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage();
    if (meansUnreachable(reply.errorName())) {
        return AutomationError(cannotCreateObject, QStringLiteral("Cannot reach the debug window: %1").arg(message),
                               QString::fromLatin1(clientSource));
    }
    return AutomationError(automationError, QStringLiteral("%1: %2").arg(reply.errorName(), message),
                           QString::fromLatin1(clientSource));
}

QDBusMessage call(const QDBusConnection &bus, const QString &path, const QString &interface, const QString &method,
                  const QVariantList &arguments, int timeoutMs)
{
    requireConnected(bus);
    const QDBusMessage reply = bus.call(makeCall(path, interface, method, arguments), QDBus::Block, timeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage)
        throw errorFromReply(reply);
    return reply;
}

} // namespace Wrenlog::BusCall
