#include "RtfWriter.h"

#include "CodePage.h"
#include "RichTextFormat.h"

#include <QHash>
#include <QTextBlock>
#include <QTextDocument>

#include <cmath>

using namespace RichTextFormat;

namespace RtfWriter {

namespace {

struct Tables
{
    QStringList fonts; // \fN: N is the index; 0 is the default font
    QList<QColor> colours; // \cfN: N - 1 is the index; \cf0 is the automatic colour
    int symbolFont = -1;

    int font(const QString &family)
    {
        qsizetype index = fonts.indexOf(family);
        if (index < 0) {
            fonts.append(family);
            index = fonts.size() - 1;
        }
        return int(index);
    }

    int colour(const QColor &colour)
    {
        const QRgb rgb = colour.rgb();
        for (qsizetype i = 0; i < colours.size(); ++i) {
            if (colours[i].rgb() == rgb)
                return int(i + 1);
        }
        colours.append(colour);
        return int(colours.size());
    }
};

void appendNumber(QByteArray &out, const char *word, qint64 value)
{
    out += word;
    out += QByteArray::number(value);
}

void appendHex(QByteArray &out, int byte)
{
    static const char digits[] = "0123456789abcdef";
    out += "\\'";
    out += digits[(byte >> 4) & 0xF];
    out += digits[byte & 0xF];
}

/// The escaped text of one run.
void appendText(QByteArray &out, QStringView text)
{
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (code == '\\' || code == '{' || code == '}') {
            out += '\\';
            out += char(code);
        } else if (code == '\t') {
            out += "\\tab ";
        } else if (code == QChar::LineSeparator) {
            out += "\\line ";
        } else if (code == QChar::Nbsp) {
            out += "\\~";
        } else if (code >= 0x20 && code < 0x7F) {
            out += char(code);
        } else if (code < 0x20) {
            appendHex(out, code);
        } else {
            // Readers that know \u take the number; the others show the
            // fallback. A literal '?' there is misread by some readers as
            // text, so even that goes escaped.
            appendNumber(out, "\\u", qint16(code));
            const int fallback = CodePage::toCp1252(c);
            appendHex(out, fallback >= 0x80 ? fallback : '?');
        }
    }
}

struct CharProperties
{
    int font = 0;
    int halfPoints = 0;
    int colour = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool isProtected = false;
    int offsetHalfPoints = 0;
    bool operator==(const CharProperties &) const = default;
};

CharProperties propertiesOf(const QTextCharFormat &format, Tables &tables, const QFont &defaultFont)
{
    CharProperties p;
    const QStringList families = format.fontFamilies().toStringList();
    p.font = tables.font(families.isEmpty() ? defaultFont.family() : families.first());
    const double points
        = format.hasProperty(QTextFormat::FontPointSize) ? format.fontPointSize() : defaultFont.pointSizeF();
    p.halfPoints = int(std::lround(points * 2));
    if (format.hasProperty(QTextFormat::ForegroundBrush) && format.foreground().style() != Qt::NoBrush)
        p.colour = tables.colour(format.foreground().color());
    p.bold = format.fontWeight() >= QFont::Bold;
    p.italic = format.fontItalic();
    p.underline = format.fontUnderline();
    p.strike = format.fontStrikeOut();
    p.isProtected = format.boolProperty(Protected);
    p.offsetHalfPoints = int(std::lround(format.intProperty(CharOffset) / 10.0));
    return p;
}

void appendCharProperties(QByteArray &out, const CharProperties &p)
{
    out += "\\plain";
    appendNumber(out, "\\f", p.font);
    appendNumber(out, "\\fs", p.halfPoints);
    appendNumber(out, "\\cf", p.colour);
    if (p.bold)
        out += "\\b";
    if (p.italic)
        out += "\\i";
    if (p.underline)
        out += "\\ul";
    if (p.strike)
        out += "\\strike";
    if (p.isProtected)
        out += "\\protect";
    if (p.offsetHalfPoints > 0)
        appendNumber(out, "\\up", p.offsetHalfPoints);
    else if (p.offsetHalfPoints < 0)
        appendNumber(out, "\\dn", -p.offsetHalfPoints);
    out += ' ';
}

void appendParagraphProperties(QByteArray &out, const QTextBlockFormat &format, Tables &tables)
{
    out += "\\pard";
    const Qt::Alignment horizontal = format.alignment() & Qt::AlignHorizontal_Mask;
    if (horizontal & Qt::AlignRight)
        out += "\\qr";
    else if (horizontal & Qt::AlignHCenter)
        out += "\\qc";
    else if (horizontal & Qt::AlignJustify)
        out += "\\qj";
    if (const int first = toTwips(format.textIndent()))
        appendNumber(out, "\\fi", first);
    if (const int left = toTwips(format.leftMargin()))
        appendNumber(out, "\\li", left);
    if (const int right = toTwips(format.rightMargin()))
        appendNumber(out, "\\ri", right);
    for (const QTextOption::Tab &tab : format.tabPositions())
        appendNumber(out, "\\tx", toTwips(tab.position));
    if (format.boolProperty(Bullet)) {
        if (tables.symbolFont < 0)
            tables.symbolFont = tables.font(QStringLiteral("Symbol"));
        const QByteArray font = QByteArray::number(tables.symbolFont);
        out += "{\\pntext\\f" + font + "\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf" + font + "\\pnindent0{\\pntxtb\\'b7}}";
    }
}

} // namespace

QByteArray write(const QTextDocument &document, DocPosition from, DocPosition to, const QFont &defaultFont)
{
    const int start = qBound(0, from.value, TextPosition::end(document).value);
    const int stop = qBound(start, to.value, TextPosition::end(document).value);
    Tables tables;
    tables.font(defaultFont.family());

    QByteArray body;
    body.reserve((stop - start) * 3 / 2 + 64);
    CharProperties current;
    bool haveCurrent = false;
    // A long text has many runs and paragraphs but few formats: work each
    // format out once.
    QHash<int, CharProperties> charCache;
    const auto charProperties = [&](int index, const QTextCharFormat &format) {
        auto known = charCache.constFind(index);
        if (known == charCache.constEnd())
            known = charCache.insert(index, propertiesOf(format, tables, defaultFont));
        return *known;
    };
    QHash<int, QByteArray> paragraphCache;
    for (QTextBlock block = document.findBlock(start); block.isValid(); block = block.next()) {
        const int blockStart = block.position();
        if (blockStart > stop)
            break;
        const int blockEnd = blockStart + block.length() - 1; // before the separator
        auto paragraph = paragraphCache.constFind(block.blockFormatIndex());
        if (paragraph == paragraphCache.constEnd()) {
            QByteArray properties;
            appendParagraphProperties(properties, block.blockFormat(), tables);
            paragraph = paragraphCache.insert(block.blockFormatIndex(), properties);
        }
        body += *paragraph;
        haveCurrent = false;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int fragmentPosition = fragment.position();
            const int fragmentStart = qMax(start, fragmentPosition);
            const int fragmentEnd = qMin(stop, fragmentPosition + fragment.length());
            if (fragmentStart >= fragmentEnd)
                continue;
            const CharProperties p = charProperties(fragment.charFormatIndex(), fragment.charFormat());
            if (!haveCurrent || !(p == current)) {
                appendCharProperties(body, p);
                current = p;
                haveCurrent = true;
            }
            appendText(body,
                       QStringView(fragment.text()).mid(fragmentStart - fragmentPosition, fragmentEnd - fragmentStart));
        }
        if (blockEnd >= stop)
            break;
        // The break itself has a format (the next paragraph's opening one);
        // \par takes the properties in force.
        const QTextBlock next = block.next();
        const CharProperties breakFormat = charProperties(next.charFormatIndex(), next.charFormat());
        if (!haveCurrent || !(breakFormat == current)) {
            appendCharProperties(body, breakFormat);
            current = breakFormat;
            haveCurrent = true;
        }
        body += "\\par\r\n";
    }

    QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl";
    for (qsizetype i = 0; i < tables.fonts.size(); ++i) {
        out += "{\\f" + QByteArray::number(i);
        out += i == tables.symbolFont ? "\\ftech\\fcharset2 " : "\\fnil\\fcharset0 ";
        QByteArray name;
        appendText(name, tables.fonts[i]);
        out += name + ";}";
    }
    out += "}\r\n{\\colortbl ;";
    for (const QColor &colour : std::as_const(tables.colours)) {
        appendNumber(out, "\\red", colour.red());
        appendNumber(out, "\\green", colour.green());
        appendNumber(out, "\\blue", colour.blue());
        out += ';';
    }
    out += "}\r\n\\viewkind4\\uc1";
    out += body;
    out += "}\r\n";
    return out;
}

QByteArray write(const QTextDocument &document, const QFont &defaultFont)
{
    return write(document, DocPosition {0}, TextPosition::end(document), defaultFont);
}

} // namespace RtfWriter
