#include "BusReply.h"

#include "dbus/WrenlogBus.h"

#include <QDBusConnection>
#include <QDBusMessage>

namespace BusReply {

void sendError(const QDBusContext &context, const AutomationError &error)
{
    if (!context.calledFromDBus())
        throw error;
    QDBusMessage reply = context.message().createErrorReply(QString::fromLatin1(WrenlogBus::errorName),
                                                            error.description());
    reply.setArguments({error.description(), error.number(), error.source()});
    context.setDelayedReply(true);
    context.connection().send(reply);
}

} // namespace BusReply
