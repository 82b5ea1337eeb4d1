#include "ValueTyping.h"

#include "Guard.h"
#include "LedgerixErrors.h"
#include "NumericText.h"
#include "RuntimeErrors.h"
#include "VariantHelpers.h"

#include <QObject>

#include <cmath>

namespace ValueTyping {

namespace {

bool isNumeric(const QVariant &value)
{
    if (value.metaType().id() == QMetaType::QString)
        return NumericText::isNumeric(value.toString());
    return Variants::toDouble(value).has_value() && value.isValid() && !Variants::isArray(value);
}

/// Whole numbers, rounded half to even; numbers beyond 32 bits come back as nullopt.
std::optional<qint32> wholeNumber(const QString &text)
{
    return Variants::toInt32(QVariant(text));
}

double realNumber(const QString &text)
{
    return text.trimmed().toDouble();
}

/// Numeric text without a "." as a 32-bit integer, or as a double when it
/// does not fit one (rather than an overflow on reading).
QVariant wholeOrReal(const QString &text)
{
    if (const std::optional<qint32> whole = wholeNumber(text))
        return QVariant::fromValue(*whole);
    return QVariant::fromValue(realNumber(text));
}

} // namespace

QString tab()
{
    return QStringLiteral("\t");
}

QVariant PrepForSet(const QVariant &vValue, const QString &sDelimiter)
{
    return passOn(QStringLiteral("PrepForSet"), [&]() -> QVariant {
        if (!Variants::isArray(vValue))
            return vValue;
        return VarToStrArray(vValue).join(sDelimiter);
    });
}

QStringList VarToStrArray(const QVariant &vArray)
{
    return passOn(QStringLiteral("VarToStrArray"), [&] {
        std::optional<QStringList> texts = Variants::toStringList(vArray);
        if (!texts)
            RuntimeErrors::raise(RuntimeErrors::TypeMismatch, LedgerixErrors::libraryName());
        return std::move(*texts);
    });
}

QVariant PrepForGet(const QVariant &vValue, const QString &sDelimiter, bool bDetectArray, bool bDetectNum)
{
    return passOn(QStringLiteral("PrepForGet"), [&]() -> QVariant {
        if (vValue.metaType().id() == QMetaType::Int)
            return QVariant::fromValue(vValue.value<qint32>());
        if (vValue.metaType().id() != QMetaType::QString)
            return {};
        const QString text = vValue.toString();
        // An empty delimiter would "occur" everywhere and wrap every value in a
        // one-element array; it means no array detection.
        if (bDetectArray && !sDelimiter.isEmpty() && text.contains(sDelimiter)) {
            const QStringList parts = text.split(sDelimiter, Qt::KeepEmptyParts, Qt::CaseSensitive);
            if (!bDetectNum || !AllNumeric(parts))
                return parts;
            const bool asDoubles = text.contains(u'.');
            QList<qint32> whole;
            if (!asDoubles) {
                whole.reserve(parts.size());
                for (const QString &part : parts) {
                    const std::optional<qint32> number = wholeNumber(part);
                    if (!number)
                        break;
                    whole.append(*number);
                }
                if (whole.size() == parts.size())
                    return QVariant::fromValue(whole);
            }
            QList<double> reals;
            reals.reserve(parts.size());
            for (const QString &part : parts)
                reals.append(realNumber(part));
            return QVariant::fromValue(reals);
        }
        if (bDetectNum) {
            if (IsDouble(text))
                return QVariant::fromValue(realNumber(text));
            if (NumericText::isNumeric(text))
                return wholeOrReal(text);
        }
        return text;
    });
}

bool IsDouble(const QVariant &vValue)
{
    if (!isNumeric(vValue))
        return false;
    const std::optional<QString> text = Variants::toText(vValue);
    if (!text)
        return false;
    const qsizetype dot = text->indexOf(u'.');
    return dot >= 0 && text->indexOf(u'.', dot + 1) < 0;
}

bool AllNumeric(const QStringList &sArray)
{
    for (const QString &element : sArray) {
        if (!NumericText::isNumeric(element))
            return false;
    }
    return true;
}

std::optional<qsizetype> SafeUpperBound(const QVariant &vArray, int nDimension)
{
    // Arrays here have one dimension only; asking for another has no bound.
    if (nDimension != 1 || !Variants::isArray(vArray))
        return std::nullopt;
    const qsizetype length = Variants::arrayLength(vArray);
    if (length == 0)
        return std::nullopt;
    return length - 1;
}

QString StoredText(const QVariant &vValue, const QString &sDelimiter)
{
    const QVariant prepared = PrepForSet(vValue, sDelimiter);
    std::optional<QString> text = Variants::toText(prepared);
    if (!text) {
        // A storage object (or anything with a default Value) stores its value.
        if (QObject *object = ObjectOf(prepared)) {
            const QVariant inner = object->property("Value");
            if (inner.isValid() && !ObjectOf(inner))
                return StoredText(inner, sDelimiter);
        }
        RuntimeErrors::raise(RuntimeErrors::TypeMismatch, LedgerixErrors::libraryName());
    }
    return std::move(*text);
}

QString TrimBlanks(const QString &sText)
{
    qsizetype begin = 0;
    qsizetype end = sText.size();
    while (begin < end && sText[begin] == u' ')
        ++begin;
    while (end > begin && sText[end - 1] == u' ')
        --end;
    return sText.mid(begin, end - begin);
}

QObject *ObjectOf(const QVariant &vValue)
{
    if (!(vValue.metaType().flags() & QMetaType::PointerToQObject))
        return nullptr;
    return *static_cast<QObject *const *>(vValue.constData());
}

} // namespace ValueTyping
