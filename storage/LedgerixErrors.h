#pragma once

#include <QString>

/**
 * The storage library's own errors, the process-wide switch that silences
 * them, and RaiseLibraryError, through which every class raises them.
 *
 *     if (sFieldName.trimmed().isEmpty())
 *         LedgerixErrors::RaiseLibraryError(LedgerixErrors::ZeroLengthFieldName);
 *     // with the switch off, execution carries on here
 *
 * Run-time errors (type mismatch, file access ...) are not library errors:
 * raise them with RuntimeErrors; the switch never silences them.
 */
namespace LedgerixErrors {

/// The automation object-error base (hexadecimal 80040000).
inline constexpr qint32 ObjectErrorBase = qint32(0x80040000u);

/// The library's error numbers: the object-error base plus 10001 to 10026.
enum Number : qint32 {
    DirectStringAccessProhibited = ObjectErrorBase + 10001,
    PageNotFound = ObjectErrorBase + 10002,
    FieldNotFound = ObjectErrorBase + 10003,
    BadDb = ObjectErrorBase + 10004,
    BadKey = ObjectErrorBase + 10005,
    CantOpenKey = ObjectErrorBase + 10006,
    CantReadKey = ObjectErrorBase + 10007,
    CantWriteKey = ObjectErrorBase + 10008,
    OutOfMemory = ObjectErrorBase + 10009,
    ArenaTrashed = ObjectErrorBase + 10010,
    AccessDenied = ObjectErrorBase + 10011,
    InvalidParameters = ObjectErrorBase + 10012,
    NoMoreItems = ObjectErrorBase + 10013,
    InvalidLineNumber = ObjectErrorBase + 10014,
    EncryptionKeyNotSet = ObjectErrorBase + 10015,
    IncompatibleVersion = ObjectErrorBase + 10016,
    PageNameAlreadyExists = ObjectErrorBase + 10017,
    IllegalCallInSinglePageMode = ObjectErrorBase + 10018,
    StorageStringAlreadyBound = ObjectErrorBase + 10019,
    CantBindWhilstProtected = ObjectErrorBase + 10020,
    CantProtectWhilstBound = ObjectErrorBase + 10021,
    ZeroLengthFieldName = ObjectErrorBase + 10022,
    IllegalCharacters = ObjectErrorBase + 10023,
    KeyHasSubkeys = ObjectErrorBase + 10024,
    ParameterOutOfBounds = ObjectErrorBase + 10025,
    ObjectInvalidated = ObjectErrorBase + 10026,
};

/// The library's module name: the source of errors it raises itself.
QString libraryName();

/// The table's message for a number, or an empty text when the number is not in the table.
QString message(qint32 number);
/// True when the number is one of the library's own.
bool isLibraryError(qint32 number);

/// The process-wide error switch; on when the library is loaded.
bool raiseErrors();
/// The module procedure behind LedgerixLibrary.LedgerixRaiseErrors.
void SetRaiseErrors(bool bRaise);

/**
 * Raises a library error, unless the switch is off (then it returns and the
 * caller carries on). A number outside the table (callers pass 0) raises the
 * standard run-time error fallbackNumber (13 type mismatch, 53 file not
 * found) instead. An empty source becomes the library's name.
 */
void RaiseLibraryError(qint32 number, const QString &source = {}, qint32 fallbackNumber = 13);

/**
 * The raise for a private-profile or registry write that failed: run-time
 * error 75 (path/file access error) with the reason appended, never silenced
 * by the switch.
 */
[[noreturn]] void raiseWriteFailure(const QString &reason);

} // namespace LedgerixErrors
