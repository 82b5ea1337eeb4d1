#pragma once

#include <QVariant>
#include <QVariantList>

class QObject;

/**
 * Reaching a control's members by name at run time, the way the facade
 * forwards to the rich-text view: properties through the meta-object system,
 * methods as Q_INVOKABLE or slots matched by name and argument count.
 *
 * A member the object does not have fails with run-time error 438, a value
 * that does not convert to the member's type with 13, a missing object with 91.
 */
namespace LateBinding {

QVariant get(QObject *target, const char *property);
void set(QObject *target, const char *property, const QVariant &value);
QVariant call(QObject *target, const char *method, const QVariantList &arguments = {});
bool hasMethod(QObject *target, const char *method, int argumentCount);

} // namespace LateBinding
