#pragma once

#include "AutomationError.h"
#include "Guard.h"
#include "PrintOrigin.h"

#include <QDBusContext>

/**
 * Answers a bus call with the system's error value: org.wrenlog.Error whose
 * arguments are the description, the number and the source text. No
 * exception ever leaves a bus call.
 *
 * Qt D-Bus gives the call's context to the object an adaptor is parented to,
 * never to the adaptor, so every exported object is also a QDBusContext.
 */
namespace BusReply {

/// The bus context of an exported object (null for an object that is none).
const QDBusContext *context(QObject *exported);
void sendError(const QDBusContext *context, const AutomationError &error);
void holdReplyWhileBusy(const QDBusContext *context);
/// The program that made the call to the exported object ("make 4711"), or empty.
QString caller(QObject *exported);

/// Runs fn for a call to the exported object, with the caller as the origin
/// of whatever it prints; a failure goes back to the caller as
/// org.wrenlog.Error. Returns whether fn succeeded (the reply value of a
/// failed call is ignored).
template<typename Fn>
bool run(QObject *exported, Fn &&fn)
{
    const PrintOrigin::Scope origin(caller(exported));
    if (std::optional<AutomationError> failure = captureFailure(std::forward<Fn>(fn))) {
        sendError(context(exported), *failure);
        return false;
    }
    return true;
}

/// run() for a call that prints: its reply waits while the windows have
/// too much text waiting to go in (see PrintBackPressure).
template<typename Fn>
bool runPrint(QObject *exported, Fn &&fn)
{
    if (!run(exported, std::forward<Fn>(fn)))
        return false;
    holdReplyWhileBusy(context(exported));
    return true;
}

} // namespace BusReply
