#include "Guard.h"

#include "RuntimeErrors.h"

#include <QCoreApplication>

#include <cstdio>
#include <new>

namespace {

Guard::ReportHook &hookSlot()
{
    static Guard::ReportHook hook;
    return hook;
}

QString &defaultSourceSlot()
{
    static QString source;
    return source;
}

} // namespace

namespace Guard {

ReportHook setReportHook(ReportHook hook)
{
    ReportHook previous = std::move(hookSlot());
    hookSlot() = std::move(hook);
    return previous;
}

void report(const AutomationError &error, const QString &sourceName)
{
    if (hookSlot()) {
        // The hook is the last stop: nothing it throws may travel further.
        try {
            hookSlot()(error, sourceName);
            return;
        } catch (...) {
        }
    }
    std::fprintf(stderr, "%s: error %d: %s\n%s\n", qPrintable(sourceName), int(error.number()),
                 qPrintable(error.description()), qPrintable(error.source()));
}

AutomationError translateCurrentException(const QString &defaultSource)
{
    try {
        throw;
    } catch (const AutomationError &error) {
        return error;
    } catch (const std::bad_alloc &) {
        return RuntimeErrors::make(RuntimeErrors::OutOfMemory, defaultSource);
    } catch (const std::exception &e) {
        return AutomationError(RuntimeErrors::InvalidProcedureCall, QString::fromUtf8(e.what()),
                               defaultSource);
    } catch (...) {
        return RuntimeErrors::make(RuntimeErrors::InvalidProcedureCall, defaultSource);
    }
}

QString defaultSource()
{
    if (!defaultSourceSlot().isEmpty())
        return defaultSourceSlot();
    if (QCoreApplication::instance())
        return QCoreApplication::applicationName();
    return QStringLiteral("Wrenlog");
}

void setDefaultSource(const QString &source)
{
    defaultSourceSlot() = source;
}

} // namespace Guard
