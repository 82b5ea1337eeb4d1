#include "Journal.h"

#include "LineSink.h"
#include "WrenlogBus.h"
#include "wrenlog/GlobalWindow.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace Journal {

namespace {

/// A journal field: a string, or an array of byte values when it is not UTF-8.
QString fieldText(const QJsonValue &value)
{
    if (value.isString())
        return value.toString();
    if (value.isArray()) {
        QByteArray bytes;
        const QJsonArray array = value.toArray();
        for (const QJsonValue &byte : array)
            bytes.append(char(byte.toInt()));
        return LineSink::decode(bytes);
    }
    return {};
}

qint32 priorityColour(const QJsonValue &value, qint32 normalColour)
{
    bool ok = false;
    const int priority = fieldText(value).toInt(&ok);
    if (!ok)
        return normalColour;
    if (priority <= 3)
        return Wrenlog::wlogFail;
    if (priority == 4)
        return warningColour;
    if (priority == 7)
        return debugColour;
    return normalColour;
}

} // namespace

Entry parse(QByteArrayView line, qint32 normalColour)
{
    QJsonParseError error {};
    const QJsonDocument document = QJsonDocument::fromJson(line.toByteArray(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return {LineSink::decode(line), normalColour, {}};
    const QJsonObject entry = document.object();
    QString identifier = fieldText(entry.value(QLatin1String("SYSLOG_IDENTIFIER")));
    if (identifier.isEmpty())
        identifier = fieldText(entry.value(QLatin1String("_COMM")));
    QString text = fieldText(entry.value(QLatin1String("MESSAGE")));
    text.replace(QChar(u'\0'), QChar(QChar::ReplacementCharacter));
    if (!identifier.isEmpty())
        text = identifier + QStringLiteral(": ") + text;

    QString prefix;
    bool ok = false;
    const qint64 microseconds = fieldText(entry.value(QLatin1String("__REALTIME_TIMESTAMP"))).toLongLong(&ok);
    if (ok)
        prefix = QDateTime::fromMSecsSinceEpoch(microseconds / 1000).toString(QStringLiteral("HH:mm:ss.zzz "));
    return {text, priorityColour(entry.value(QLatin1String("PRIORITY")), normalColour), prefix};
}

} // namespace Journal
