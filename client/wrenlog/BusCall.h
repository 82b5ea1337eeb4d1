#pragma once

#include "AutomationError.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantList>

/**
 * The one road every client call takes to the server: build the call, send it,
 * and turn a failure back into the system's error value.
 *
 * A failure the server reports (org.wrenlog.Error) comes back with its own
 * number, description and source; a server that cannot be reached gives 429,
 * any other bus failure 440, both with the bus's message as description.
 */
namespace Wrenlog::BusCall {

/// Source text of the failures the client itself raises.
inline constexpr char clientSource[] = "WrenlogClient";

QDBusMessage makeCall(const QString &path, const QString &interface, const QString &method,
                      const QVariantList &arguments);
/// Sends the call and waits for its reply; throws AutomationError on failure.
QDBusMessage call(const QDBusConnection &bus, const QString &path, const QString &interface, const QString &method,
                  const QVariantList &arguments, int timeoutMs = -1);
/// The error value a failed reply stands for.
AutomationError errorFromReply(const QDBusMessage &reply);
/// Throws 429 when the connection itself is not up.
void requireConnected(const QDBusConnection &bus);

} // namespace Wrenlog::BusCall
