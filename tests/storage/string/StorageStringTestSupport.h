#pragma once

#include "AutomationError.h"
#include "LedgerixErrors.h"

#include <QDebug>
#include <QString>
#include <QVariant>

#include <optional>
#include <ostream>

/// Lets failed expectations show variants readably.
inline void PrintTo(const QVariant &value, std::ostream *out)
{
    QString text;
    QDebug(&text) << value;
    *out << text.toStdString();
}

namespace StorageStringTest {

/// The error a call raised, if any.
template<typename Fn>
std::optional<AutomationError> failureOf(Fn &&fn)
{
    try {
        fn();
    } catch (const AutomationError &error) {
        return error;
    }
    return std::nullopt;
}

/// The number of the error a call raised, 0 when it raised none.
template<typename Fn>
qint32 errorNumberOf(Fn &&fn)
{
    const auto error = failureOf(fn);
    return error ? error->number() : 0;
}

/// Turns the library's own errors off for the life of the object.
class ErrorsOff
{
public:
    ErrorsOff() { LedgerixErrors::SetRaiseErrors(false); }
    ~ErrorsOff() { LedgerixErrors::SetRaiseErrors(true); }
};

} // namespace StorageStringTest
