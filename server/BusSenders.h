#pragma once

#include <QString>

class QDBusContext;

/**
 * The program behind a bus call, as "name pid" ("make 4711"): the bus tells
 * the process id of the caller's connection, the name is the process's own
 * (its comm). Each connection is looked up once, on its first call, and
 * forgotten when it leaves the bus, so a busy client costs a table look-up
 * per call.
 */
namespace BusSenders {

/// The caller of the call in context; empty when the call did not come over the bus.
QString describe(const QDBusContext &context);
/// "name pid" of a process, from its comm (the bare id when that cannot be read).
QString describeProcess(quint32 pid);

} // namespace BusSenders
