#include "VariantHelpers.h"

#include "NumericText.h"

#include <QDateTime>

#include <cmath>

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

namespace {

QString doubleText(double value)
{
    QString text = QString::number(value, 'g', 15);
    const qsizetype e = text.indexOf(u'e');
    if (e >= 0)
        text[e] = u'E';
    return text;
}

} // namespace

std::optional<QString> toText(const QVariant &value)
{
    if (!value.isValid())
        return QString();
    if (isArray(value) || isMissing(value))
        return std::nullopt;
    switch (value.metaType().id()) {
    case QMetaType::QString: return value.toString();
    case QMetaType::Bool: return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::Double: return doubleText(value.toDouble());
    case QMetaType::Float: return QString::number(value.toFloat(), 'g', 7).replace(u'e', u'E');
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar: return value.toString();
    case QMetaType::QByteArray: return QString::fromUtf8(value.toByteArray());
    case QMetaType::QChar: return QString(value.toChar());
    case QMetaType::QDate: return value.toDate().toString(Qt::ISODate);
    case QMetaType::QDateTime: return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    default: break;
    }
    if (value.metaType().flags() & QMetaType::PointerToQObject)
        return std::nullopt;
    if (value.canConvert<QString>())
        return value.toString();
    return std::nullopt;
}

std::optional<QStringList> toStringList(const QVariant &array)
{
    if (!isArray(array))
        return std::nullopt;
    if (array.metaType() == QMetaType::fromType<QStringList>())
        return array.toStringList();
    const QVariantList elements = arrayElements(array);
    QStringList out;
    out.reserve(elements.size());
    for (const QVariant &element : elements) {
        std::optional<QString> text = toText(element);
        if (!text)
            return std::nullopt;
        out.append(std::move(*text));
    }
    return out;
}

std::optional<double> toDouble(const QVariant &value)
{
    if (!value.isValid())
        return 0.0;
    if (value.metaType().id() == QMetaType::QString) {
        const QString text = value.toString();
        if (!NumericText::isNumeric(text))
            return std::nullopt;
        bool ok = false;
        const double number = text.trimmed().toDouble(&ok);
        return ok ? std::optional<double>(number) : std::nullopt;
    }
    if (value.metaType().id() == QMetaType::Bool)
        return value.toBool() ? -1.0 : 0.0;
    if (isArray(value) || isMissing(value) || (value.metaType().flags() & QMetaType::PointerToQObject))
        return std::nullopt;
    bool ok = false;
    const double number = value.toDouble(&ok);
    return ok ? std::optional<double>(number) : std::nullopt;
}

std::optional<qint32> toInt32(const QVariant &value)
{
    const std::optional<double> number = toDouble(value);
    if (!number)
        return std::nullopt;
    // The default rounding mode rounds half to even, as the conversion to a whole number must.
    const double rounded = std::nearbyint(*number);
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0))
        return std::nullopt;
    return qint32(rounded);
}

} // namespace Variants
