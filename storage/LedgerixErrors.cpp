#include "LedgerixErrors.h"

#include "AutomationError.h"
#include "RuntimeErrors.h"

#include <QHash>

#include <atomic>

namespace LedgerixErrors {

namespace {

// Set on when the library is loaded; every object of the process shares it.
std::atomic<bool> g_raiseErrors {true};

const QHash<qint32, QString> &table()
{
    static const QHash<qint32, QString> messages = {
        {DirectStringAccessProhibited, QStringLiteral("Direct String Access Is Prohibited")},
        {PageNotFound, QStringLiteral("Page Not Found")},
        {FieldNotFound, QStringLiteral("Field Not Found")},
        {BadDb, QStringLiteral("BADDB")},
        {BadKey, QStringLiteral("Bad Key")},
        {CantOpenKey, QStringLiteral("Can't Open Key")},
        {CantReadKey, QStringLiteral("Can't Read Key")},
        {CantWriteKey, QStringLiteral("Can't Write Key")},
        {OutOfMemory, QStringLiteral("Out Of Memory")},
        {ArenaTrashed, QStringLiteral("Arena Trashed")},
        {AccessDenied, QStringLiteral("Access Denied")},
        {InvalidParameters, QStringLiteral("Invalid Parameters")},
        {NoMoreItems, QStringLiteral("No More Items")},
        {InvalidLineNumber, QStringLiteral("Invalid Line Number")},
        {EncryptionKeyNotSet, QStringLiteral("Encryption Key Not Set")},
        {IncompatibleVersion, QStringLiteral("The Object Passed Is An Incompatible Version")},
        {PageNameAlreadyExists, QStringLiteral("Page Name Already Exists")},
        {IllegalCallInSinglePageMode, QStringLiteral("Illegal Call In Single Page Mode")},
        {StorageStringAlreadyBound, QStringLiteral("Storage String Is Already Bound")},
        {CantBindWhilstProtected, QStringLiteral("Can't Bind To Another Object Whilst In Protected Mode")},
        {CantProtectWhilstBound, QStringLiteral("Can't Enter Protected Mode Whilst Bound To Another Object")},
        {ZeroLengthFieldName, QStringLiteral("Zero Length Feild Names Are Not Allowed")},
        {IllegalCharacters, QStringLiteral("Illegal Character(s) Passed")},
        {KeyHasSubkeys, QStringLiteral("Can't delete key because it's contains subkeys")},
        {ParameterOutOfBounds, QStringLiteral("Paramater out of bounds")},
        {ObjectInvalidated, QStringLiteral("Object has been invalidated")},
    };
    return messages;
}

} // namespace

QString libraryName()
{
    return QStringLiteral("Ledgerix2");
}

QString message(qint32 number)
{
    return table().value(number);
}

bool isLibraryError(qint32 number)
{
    return table().contains(number);
}

bool raiseErrors()
{
    return g_raiseErrors.load(std::memory_order_relaxed);
}

void SetRaiseErrors(bool bRaise)
{
    g_raiseErrors.store(bRaise, std::memory_order_relaxed);
}

void RaiseLibraryError(qint32 number, const QString &source, qint32 fallbackNumber)
{
    if (!raiseErrors())
        return;
    const QString origin = source.isEmpty() ? libraryName() : source;
    const auto found = table().constFind(number);
    if (found == table().constEnd())
        RuntimeErrors::raise(fallbackNumber, libraryName());
    throw AutomationError(number, *found, origin);
}

void raiseWriteFailure(const QString &reason)
{
    RuntimeErrors::raiseWithDetail(RuntimeErrors::PathFileAccessError, libraryName(), reason);
}

} // namespace LedgerixErrors
