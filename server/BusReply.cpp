#include "BusReply.h"

#include "BusSenders.h"
#include "PrintBackPressure.h"

#include "dbus/WrenlogBus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>

namespace BusReply {

const QDBusContext *context(QObject *exported)
{
    return exported ? static_cast<const QDBusContext *>(exported->qt_metacast("QDBusContext")) : nullptr;
}

QString caller(QObject *exported)
{
    const QDBusContext *called = context(exported);
    return called ? BusSenders::describe(*called) : QString();
}

void sendError(const QDBusContext *context, const AutomationError &error)
{
    if (!context || !context->calledFromDBus())
        throw error;
    // Qt puts a non-empty error text in front of the arguments; leaving it empty
    // keeps the description the first argument even when it is empty itself.
    QDBusMessage reply = context->message().createErrorReply(QString::fromLatin1(WrenlogBus::errorName), QString());
    reply.setArguments({error.description(), error.number(), error.source()});
    context->setDelayedReply(true);
    context->connection().send(reply);
}

void holdReplyWhileBusy(const QDBusContext *context)
{
    PrintBackPressure::instance().holdReplyWhileBusy(context);
}

} // namespace BusReply
