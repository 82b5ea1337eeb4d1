#include "RtfWriter.h"

#include <QTextDocument>

namespace RtfWriter {

QByteArray write(const QTextDocument &document, DocPosition from, DocPosition to, const QFont &defaultFont)
{
    Q_UNUSED(document); Q_UNUSED(from); Q_UNUSED(to); Q_UNUSED(defaultFont);
    return "{\\rtf1}";
}

QByteArray write(const QTextDocument &document, const QFont &defaultFont)
{
    return write(document, DocPosition{0}, TextPosition::end(document), defaultFont);
}

} // namespace RtfWriter
