#include "RtfReader.h"

#include <QTextCursor>

bool RtfReader::looksLikeRtf(const QByteArray &data)
{
    return data.trimmed().startsWith("{\\rtf");
}

RtfReader::Result RtfReader::read(const QByteArray &data, QTextCursor &cursor, const Options &options)
{
    Q_UNUSED(data); Q_UNUSED(cursor); Q_UNUSED(options);
    return {};
}
