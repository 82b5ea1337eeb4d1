#include "LateBinding.h"

#include "Guard.h"
#include "RuntimeErrors.h"

#include <QMetaMethod>
#include <QMetaProperty>
#include <QObject>

#include <array>

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

int findMethod(QObject *target, const char *method, int argumentCount)
{
    const QMetaObject *meta = target->metaObject();
    for (int i = meta->methodCount() - 1; i >= 0; --i) {
        const QMetaMethod candidate = meta->method(i);
        if (candidate.name() == method && candidate.parameterCount() == argumentCount
            && candidate.methodType() != QMetaMethod::Signal)
            return i;
    }
    return -1;
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

bool hasMethod(QObject *target, const char *method, int argumentCount)
{
    return target && findMethod(target, method, argumentCount) >= 0;
}

QVariant call(QObject *target, const char *method, const QVariantList &arguments)
{
    if (!target)
        raise(RuntimeErrors::ObjectNotSet);
    constexpr int maxArguments = 4;
    if (arguments.size() > maxArguments)
        raise(RuntimeErrors::InvalidProcedureCall);
    const int index = findMethod(target, method, int(arguments.size()));
    if (index < 0)
        raise(RuntimeErrors::NotSupported);
    const QMetaMethod meta = target->metaObject()->method(index);

    std::array<QVariant, maxArguments> values;
    std::array<QGenericArgument, maxArguments> generic;
    for (int i = 0; i < int(arguments.size()); ++i) {
        const QMetaType type = meta.parameterMetaType(i);
        values[i] = arguments.at(i);
        if (type == QMetaType::fromType<QVariant>())
            values[i] = QVariant::fromValue(arguments.at(i));
        else if (values[i].metaType() != type && !values[i].convert(type))
            raise(RuntimeErrors::TypeMismatch);
        generic[i] = QGenericArgument(type.name(), values[i].constData());
    }
    QVariant result;
    QGenericReturnArgument returnArgument;
    if (meta.returnMetaType().isValid() && meta.returnMetaType().id() != QMetaType::Void) {
        result = QVariant(meta.returnMetaType());
        returnArgument = QGenericReturnArgument(meta.returnMetaType().name(), result.data());
    }
    if (!meta.invoke(target, Qt::DirectConnection, returnArgument, generic[0], generic[1], generic[2], generic[3]))
        raise(RuntimeErrors::NotSupported);
    if (result.metaType() == QMetaType::fromType<QVariant>())
        return result.value<QVariant>();
    return result;
}

} // namespace LateBinding
