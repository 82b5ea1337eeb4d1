#pragma once

#include "AutomationError.h"

/**
 * The platform's standard run-time errors, with their customary numbers and
 * texts. Raise one with RuntimeErrors::raise(RuntimeErrors::TypeMismatch, "Ledgerix2").
 */
namespace RuntimeErrors {

enum Number : qint32 {
    InvalidProcedureCall = 5,
    Overflow = 6,
    OutOfMemory = 7,
    SubscriptOutOfRange = 9,
    TypeMismatch = 13,
    FileNotFound = 53,
    PathFileAccessError = 75,
    ObjectNotSet = 91,
    NotSupported = 438,
    KeyAlreadyAssociated = 457,
    PrinterError = 482,
};

/// The standard description of a run-time error ("Application-defined or
/// object-defined error" for numbers outside the table).
QString description(qint32 number);
AutomationError make(qint32 number, const QString &source);
[[noreturn]] void raise(qint32 number, const QString &source);
/// Raises with an extra detail (a path, a property name) after the standard text.
[[noreturn]] void raiseWithDetail(qint32 number, const QString &source, const QString &detail);

} // namespace RuntimeErrors
