#include "LateBinding.h"

#include "Guard.h"
#include "RuntimeErrors.h"

#include <QMetaProperty>
#include <QObject>

namespace LateBinding {

namespace {

[[noreturn]] void raise(qint32 number)
{
    RuntimeErrors::raise(number, Guard::defaultSource());
}

QMetaProperty findProperty(QObject *target, const char *property)
{
    if (!target)
        raise(RuntimeErrors::ObjectNotSet);
    const QMetaObject *meta = target->metaObject();
    const int index = meta->indexOfProperty(property);
    if (index < 0)
        raise(RuntimeErrors::NotSupported);
    return meta->property(index);
}

} // namespace

QVariant get(QObject *target, const char *property)
{
    return findProperty(target, property).read(target);
}

void set(QObject *target, const char *property, const QVariant &value)
{
    const QMetaProperty meta = findProperty(target, property);
    QVariant converted = value;
    if (converted.isValid() && converted.metaType() != meta.metaType() && !converted.convert(meta.metaType()))
        raise(RuntimeErrors::TypeMismatch);
    if (!meta.write(target, converted))
        raise(RuntimeErrors::NotSupported);
}

} // namespace LateBinding
