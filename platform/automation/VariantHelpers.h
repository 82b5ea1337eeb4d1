#pragma once

#include <QMetaType>
#include <QVariant>

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

} // namespace Variants
