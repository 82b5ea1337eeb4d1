#include "VariantHelpers.h"

namespace Variants {

namespace {

template<typename T>
QVariantList listToVariants(const QList<T> &list)
{
    QVariantList out;
    out.reserve(list.size());
    for (const T &item : list)
        out.append(QVariant::fromValue(item));
    return out;
}

} // namespace

QVariant missing()
{
    return QVariant::fromValue(MissingArgument{});
}

bool isMissing(const QVariant &value)
{
    return value.metaType() == QMetaType::fromType<MissingArgument>();
}

bool isEmpty(const QVariant &value)
{
    return !value.isValid();
}

bool isArray(const QVariant &value)
{
    const QMetaType type = value.metaType();
    return type == QMetaType::fromType<QStringList>() || type == QMetaType::fromType<QList<qint32>>()
        || type == QMetaType::fromType<QList<double>>() || type == QMetaType::fromType<QList<qint16>>()
        || type == QMetaType::fromType<QList<bool>>() || type == QMetaType::fromType<QVariantList>();
}

QVariantList arrayElements(const QVariant &value)
{
    const QMetaType type = value.metaType();
    if (type == QMetaType::fromType<QStringList>())
        return listToVariants(value.value<QStringList>());
    if (type == QMetaType::fromType<QList<qint32>>())
        return listToVariants(value.value<QList<qint32>>());
    if (type == QMetaType::fromType<QList<double>>())
        return listToVariants(value.value<QList<double>>());
    if (type == QMetaType::fromType<QList<qint16>>())
        return listToVariants(value.value<QList<qint16>>());
    if (type == QMetaType::fromType<QList<bool>>())
        return listToVariants(value.value<QList<bool>>());
    if (type == QMetaType::fromType<QVariantList>())
        return value.toList();
    return {};
}

qsizetype arrayLength(const QVariant &value)
{
    return isArray(value) ? arrayElements(value).size() : 0;
}

} // namespace Variants
