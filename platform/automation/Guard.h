#pragma once

#include "AutomationError.h"

#include <functional>
#include <optional>
#include <type_traits>

/**
 * The two halves of the error convention.
 *
 * Inner procedures wrap their body in passOn(): a failure leaves them with the
 * procedure's label appended to its source and goes on to the caller.
 *
 *     QVariant KSINIFileHandler::GetValue(...)
 *     {
 *         return passOn(QStringLiteral("KSINIFileHandler.GetValue"), [&] { ... });
 *     }
 *
 * Outermost handlers (menu commands, bus calls, timers) wrap theirs in
 * reportFailure(): a failure goes to the report hook, which the error dialog
 * installs, and the handler ends normally.
 */
namespace Guard {

using ReportHook = std::function<void(const AutomationError &error, const QString &sourceName)>;

/// Installs the function that shows a trapped failure; returns the previous one.
ReportHook setReportHook(ReportHook hook);
/// Hands a trapped failure to the installed hook (stderr when none is installed).
void report(const AutomationError &error, const QString &sourceName);

/// Turns any exception in flight into the system's error value. Foreign
/// exceptions become run-time errors 7 (out of memory) or 5 with the given source.
AutomationError translateCurrentException(const QString &defaultSource);

/// The source given to errors that did not come from the system itself.
QString defaultSource();
void setDefaultSource(const QString &source);

} // namespace Guard

template<typename Fn>
auto passOn(const QString &label, Fn &&fn) -> std::invoke_result_t<Fn>
{
    try {
        return std::forward<Fn>(fn)();
    } catch (...) {
        AutomationError error = Guard::translateCurrentException(Guard::defaultSource());
        error.appendSource(label);
        throw error;
    }
}

/// Runs fn; on failure reports it under sourceName and returns false.
template<typename Fn>
bool reportFailure(const QString &sourceName, Fn &&fn)
{
    try {
        std::forward<Fn>(fn)();
        return true;
    } catch (...) {
        Guard::report(Guard::translateCurrentException(Guard::defaultSource()), sourceName);
        return false;
    }
}

/// Runs fn and hands back the failure instead of throwing it (for bus replies).
template<typename Fn>
std::optional<AutomationError> captureFailure(Fn &&fn)
{
    try {
        std::forward<Fn>(fn)();
        return std::nullopt;
    } catch (...) {
        return Guard::translateCurrentException(Guard::defaultSource());
    }
}
