#include "PrintOrigin.h"

namespace PrintOrigin {

namespace {

// One user-interface thread: calls and events come one at a time, so one
// current value with nested scopes is all the bookkeeping needed.
QString &currentOrigin()
{
    static QString origin;
    return origin;
}

} // namespace

QString server()
{
    return QStringLiteral("wrenlog");
}

QString current()
{
    const QString &origin = currentOrigin();
    return origin.isEmpty() ? server() : origin;
}

Scope::Scope(const QString &origin)
{
    if (origin.isEmpty())
        return;
    m_previous = currentOrigin();
    currentOrigin() = origin;
    m_set = true;
}

Scope::~Scope()
{
    if (m_set)
        currentOrigin() = m_previous;
}

} // namespace PrintOrigin
