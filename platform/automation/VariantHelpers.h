#pragma once

#include <QMetaType>
#include <QStringList>
#include <QVariant>

#include <optional>

/// Stands for an optional argument the caller left out (distinct from empty).
struct MissingArgument
{
    bool operator==(const MissingArgument &) const { return true; }
};
Q_DECLARE_METATYPE(MissingArgument)

/**
 * Helpers for the automation value model on QVariant.
 *
 * Arrays are QStringList, QList<qint32>, QList<double>, QList<qint16>,
 * QList<bool> or QVariantList; an invalid QVariant is the empty value.
 */
namespace Variants {

QVariant missing();
bool isMissing(const QVariant &value);
bool isEmpty(const QVariant &value);

bool isArray(const QVariant &value);
/// Number of elements of an array value (0 for anything else).
qsizetype arrayLength(const QVariant &value);
/// The elements of an array value, each as its own variant (empty for non-arrays).
QVariantList arrayElements(const QVariant &value);

/// A scalar as text, the way values turn into text everywhere in the system:
/// empty is "", Booleans are "True"/"False", numbers their shortest decimal
/// form with an upper-case exponent ("1.5", "3", "1E+20"). nullopt for values
/// that have no text (arrays, objects, the missing marker).
std::optional<QString> toText(const QVariant &value);
/// Every element of an array as text (nullopt when one has none, or for non-arrays).
std::optional<QStringList> toStringList(const QVariant &array);
/// A value as a 32-bit integer: numbers and numeric text rounded half to even;
/// nullopt when it is not a number or does not fit.
std::optional<qint32> toInt32(const QVariant &value);
/// A value as a double: numbers and numeric text; nullopt otherwise.
std::optional<double> toDouble(const QVariant &value);

} // namespace Variants
