#pragma once

#include <QVariant>

class QObject;

/**
 * Reaching an object's properties by name at run time, through the
 * meta-object system: a window's position properties, a control's font.
 *
 * A property the object does not have fails with run-time error 438, a value
 * that does not convert to its type with 13, a missing object with 91.
 */
namespace LateBinding {

QVariant get(QObject *target, const char *property);
void set(QObject *target, const char *property, const QVariant &value);

} // namespace LateBinding
