#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

class QObject;

/**
 * How the storage library turns values into stored text and stored text back
 * into values. Every back end stores text; arrays travel as their elements'
 * text joined with a delimiter (Tab unless the caller gives another).
 *
 *     PrepForSet(QVariant::fromValue(QList<qint32>{1, 2}), ",")  // "1,2"
 *     PrepForGet("1.5,2", ",", true, true)                       // QList<double>{1.5, 2.0}
 *     PrepForGet("3", "\t", true, true)                          // qint32 3
 *
 * These are module procedures: a failure passes on with their bare name.
 */
namespace ValueTyping {

/// Tab, the default array delimiter.
QString tab();

/// An array becomes its elements' text joined with the delimiter; anything else is returned unchanged.
QVariant PrepForSet(const QVariant &vValue, const QString &sDelimiter);

/**
 * Interprets a stored value: a 32-bit integer stays one; other non-strings
 * are empty; text holding the delimiter becomes an array (of doubles when all
 * elements are numbers and the text holds ".", of 32-bit integers when all are
 * whole numbers, else of strings) when bDetectArray is set; with bDetectNum a
 * number with one "." becomes a double, another number a 32-bit integer.
 */
QVariant PrepForGet(const QVariant &vValue, const QString &sDelimiter, bool bDetectArray, bool bDetectNum);

/// The elements of an array as text, of any length; raises type mismatch (13)
/// for elements that have no text.
QStringList VarToStrArray(const QVariant &vArray);

/// Numeric, with a "." and no second "." after it.
bool IsDouble(const QVariant &vValue);
/// Every element numeric; an empty list counts as all numeric.
bool AllNumeric(const QStringList &sArray);
/// Upper bound (last index) of a dimension of an array value; nullopt when it
/// has no elements or is no array. Callers walking a name list test it first.
std::optional<qsizetype> SafeUpperBound(const QVariant &vArray, int nDimension = 1);

/// A value as the text a back end stores: what PrepForSet made of it, as
/// text; type mismatch (13) for values without text (objects, nested arrays).
QString StoredText(const QVariant &vValue, const QString &sDelimiter);

/// Trims blanks (spaces only, not tabs or line breaks) at both ends, as the
/// library trims the names given to it.
QString TrimBlanks(const QString &sText);

/// The object an assigned value holds (a QVariant of any QObject pointer), or nullptr.
QObject *ObjectOf(const QVariant &vValue);

} // namespace ValueTyping
