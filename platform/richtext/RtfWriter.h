#pragma once

#include "TextPosition.h"

#include <QByteArray>
#include <QFont>

class QTextDocument;

/**
 * Writes a range of a view's document as Rich Text Format.
 *
 * Everything the view can hold is written: fonts, colours, bold, italic,
 * underline, strike-through, size, raise and lowering, protection, paragraph
 * alignment, indents, tab stops and bullets. Text outside ASCII goes out as
 * \uN (N a signed 16-bit number, one per UTF-16 unit) followed by an escaped
 * code-page fallback, so the file is plain ASCII.
 *
 * The default font is the view's own: text without a font of its own is
 * written in it.
 */
namespace RtfWriter {

QByteArray write(const QTextDocument &document, DocPosition from, DocPosition to, const QFont &defaultFont);
QByteArray write(const QTextDocument &document, const QFont &defaultFont);

} // namespace RtfWriter
