#pragma once

#include "AutomationError.h"
#include "Guard.h"

#include <QDBusContext>

/**
 * Answers a bus call with the system's error value: org.wrenlog.Error whose
 * arguments are the description, the number and the source text. No
 * exception ever leaves a bus call.
 */
namespace BusReply {

void sendError(const QDBusContext &context, const AutomationError &error);

/// Runs fn; a failure goes back to the caller as org.wrenlog.Error. Returns
/// whether fn succeeded (the reply value of a failed call is ignored).
template<typename Fn>
bool run(const QDBusContext &context, Fn &&fn)
{
    if (std::optional<AutomationError> failure = captureFailure(std::forward<Fn>(fn))) {
        sendError(context, *failure);
        return false;
    }
    return true;
}

} // namespace BusReply
