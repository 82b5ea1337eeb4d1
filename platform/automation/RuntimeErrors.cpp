#include "RuntimeErrors.h"

namespace RuntimeErrors {

QString description(qint32 number)
{
    switch (number) {
    case InvalidProcedureCall: return QStringLiteral("Invalid procedure call or argument");
    case Overflow: return QStringLiteral("Overflow");
    case OutOfMemory: return QStringLiteral("Out of memory");
    case SubscriptOutOfRange: return QStringLiteral("Subscript out of range");
    case TypeMismatch: return QStringLiteral("Type mismatch");
    case FileNotFound: return QStringLiteral("File not found");
    case PathFileAccessError: return QStringLiteral("Path/File access error");
    case ObjectNotSet: return QStringLiteral("Object variable or With block variable not set");
    case NotSupported: return QStringLiteral("Object doesn't support this property or method");
    case KeyAlreadyAssociated:
        return QStringLiteral("This key is already associated with an element of this collection");
    case PrinterError: return QStringLiteral("Printer error");
    default: return QStringLiteral("Application-defined or object-defined error");
    }
}

AutomationError make(qint32 number, const QString &source)
{
    return AutomationError(number, description(number), source);
}

void raise(qint32 number, const QString &source)
{
    throw make(number, source);
}

void raiseWithDetail(qint32 number, const QString &source, const QString &detail)
{
    throw AutomationError(number, description(number) + QStringLiteral(": ") + detail, source);
}

} // namespace RuntimeErrors
