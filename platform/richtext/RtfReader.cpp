#include "RtfReader.h"

#include "CodePage.h"
#include "RichTextFormat.h"

#include <QHash>
#include <QStringDecoder>
#include <QTextCursor>

#include <cmath>
#include <vector>

using namespace RichTextFormat;

namespace {

enum class Destination {
    Text,
    Skip,
    FontTable,
    ColourTable,
    Bullet, // \pn and \listtext groups: their paragraph carries a bullet, their text is not ours
};

struct CharState
{
    int font = -1; // -1: the default font (\deff)
    int halfPoints = 24;
    int colour = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool isProtected = false;
    int offsetHalfPoints = 0;
    int verticalAlignment = 0; // 1 \super, -1 \sub
    bool operator==(const CharState &) const = default;
};

struct ParagraphState
{
    int alignment = 0; // 0 left, 1 right, 2 centre, 3 justify
    int firstIndent = 0;
    int leftIndent = 0;
    int rightIndent = 0;
    QList<int> tabs;
    bool bullet = false;
    bool operator==(const ParagraphState &) const = default;
};

struct GroupState
{
    CharState character;
    ParagraphState paragraph;
    Destination destination = Destination::Text;
    int unicodeSkip = 1; // \uc
};

struct FontEntry
{
    QString name;
    int codePage = 0;
};

constexpr int maxWordLength = 32;
constexpr qint64 parameterLimit = 1'000'000'000; // beyond any sensible RTF value

class Parser
{
public:
    Parser(const QByteArray &data, QTextCursor &cursor, const RtfReader::Options &options)
        : m_data(data)
        , m_cursor(cursor)
        , m_options(options)
    {
        m_defaultFamily = options.defaultFont.family();
        m_defaultHalfPoints = int(std::lround(options.defaultFont.pointSizeF() * 2));
    }

    RtfReader::Result run();

private:
    void openGroup();
    void closeGroup();
    void controlWord(const QByteArray &word, bool hasParameter, int parameter);
    void controlSymbol(char symbol);
    void character(QChar c);
    void flushText();
    void paragraphBreak();
    QTextCharFormat charFormat(const CharState &state) const;
    QTextBlockFormat blockFormat(const ParagraphState &state) const;
    const CodePage::Decoder &decoderForFont(int font);
    GroupState &state() { return m_stack.back(); }

    const QByteArray &m_data;
    qsizetype m_pos = 0;
    QTextCursor &m_cursor;
    RtfReader::Options m_options;
    RtfReader::Result m_result;

    std::vector<GroupState> m_stack;
    int m_sharedDepth = 0; // groups nested past the state limit
    int m_depth = 0;
    bool m_nextIsOptional = false; // after \*
    int m_skipCount = 0; // fallback characters still to drop after \u

    QHash<int, FontEntry> m_fonts;
    int m_defaultFont = 0;
    int m_definingFont = -1;
    QString m_fontName;
    QList<QColor> m_colours; // invalid: the automatic colour
    int m_red = -1, m_green = -1, m_blue = -1;

    CodePage::Decoder m_documentDecoder;
    QHash<int, CodePage::Decoder> m_fontDecoders;

    QString m_text;
    CharState m_textState;
    bool m_paragraphSeen = false;
    ParagraphState m_blockState; // the format the paragraph being filled has
    bool m_blockStateKnown = false;
    QString m_defaultFamily;
    int m_defaultHalfPoints = 18;
};

RtfReader::Result Parser::run()
{
    m_cursor.removeSelectedText();
    m_stack.reserve(64);
    m_stack.push_back(GroupState {});
    const qsizetype size = m_data.size();
    bool started = false;
    while (m_pos < size) {
        const char c = m_data[m_pos++];
        if (c == '{') {
            openGroup();
            started = true;
        } else if (c == '}') {
            closeGroup();
            if (started && m_depth == 0)
                break; // the document's own group is closed; trailing bytes are not RTF
        } else if (c == '\\') {
            if (m_pos >= size)
                break;
            const char next = m_data[m_pos];
            if ((next >= 'a' && next <= 'z') || (next >= 'A' && next <= 'Z')) {
                const qsizetype wordStart = m_pos;
                while (m_pos < size) {
                    const char l = m_data[m_pos];
                    if (!((l >= 'a' && l <= 'z') || (l >= 'A' && l <= 'Z')))
                        break;
                    ++m_pos;
                }
                // A view into the data, not a copy: there are millions of words.
                const QByteArray word = QByteArray::fromRawData(m_data.constData() + wordStart,
                                                                qMin<qsizetype>(m_pos - wordStart, maxWordLength));
                bool hasParameter = false;
                bool negative = false;
                qint64 value = 0;
                if (m_pos < size && m_data[m_pos] == '-' && m_pos + 1 < size && m_data[m_pos + 1] >= '0'
                    && m_data[m_pos + 1] <= '9') {
                    negative = true;
                    ++m_pos;
                }
                while (m_pos < size && m_data[m_pos] >= '0' && m_data[m_pos] <= '9') {
                    hasParameter = true;
                    if (value < parameterLimit)
                        value = value * 10 + (m_data[m_pos] - '0');
                    ++m_pos;
                }
                if (m_pos < size && m_data[m_pos] == ' ')
                    ++m_pos;
                value = qMin(value, parameterLimit);
                controlWord(word, hasParameter, int(negative ? -value : value));
            } else {
                ++m_pos;
                controlSymbol(next);
            }
        } else if (c == '\r' || c == '\n') {
            continue;
        } else {
            const unsigned char byte = static_cast<unsigned char>(c);
            if (byte >= 0x80 && m_options.utf8Text) {
                // A run of UTF-8 bytes: decode it whole.
                qsizetype end = m_pos;
                while (end < size && static_cast<unsigned char>(m_data[end]) >= 0x80)
                    ++end;
                const QString decoded = QString::fromUtf8(m_data.constData() + m_pos - 1, end - m_pos + 1);
                m_pos = end;
                for (const QChar d : decoded)
                    character(d);
            } else if (byte == '\t') {
                character(QLatin1Char('\t'));
            } else if (byte >= 0x80) {
                character(decoderForFont(state().character.font).decode(byte));
            } else if (byte >= 0x20) {
                // Plain ASCII text is most of a file: take the whole run at once.
                qsizetype end = m_pos;
                while (end < size) {
                    const char t = m_data[end];
                    if (t < 0x20 || t == '\\' || t == '{' || t == '}' || static_cast<unsigned char>(t) >= 0x80)
                        break;
                    ++end;
                }
                if (m_skipCount == 0 && state().destination == Destination::Text) {
                    if (!m_text.isEmpty() && !(m_textState == state().character))
                        flushText();
                    m_textState = state().character;
                    m_text += QLatin1StringView(m_data.constData() + m_pos - 1, end - m_pos + 1);
                    m_pos = end;
                } else {
                    character(QLatin1Char(c));
                }
            }
        }
    }
    flushText();
    // The last paragraph's own format, unless the data only held text for the
    // paragraph it was inserted into.
    if ((m_paragraphSeen || !(state().paragraph == ParagraphState {}))
        && !(m_blockStateKnown && state().paragraph == m_blockState))
        m_cursor.setBlockFormat(blockFormat(state().paragraph));
    return m_result;
}

void Parser::openGroup()
{
    ++m_depth;
    m_result.maxDepth = qMax(m_result.maxDepth, m_depth);
    m_skipCount = 0;
    if (int(m_stack.size()) > RtfReader::maxStateDepth) {
        ++m_sharedDepth;
        return;
    }
    m_stack.push_back(m_stack.back());
}

void Parser::closeGroup()
{
    if (m_depth == 0)
        return; // a stray closing brace
    --m_depth;
    m_skipCount = 0;
    m_nextIsOptional = false;
    if (m_sharedDepth > 0) {
        --m_sharedDepth;
        return;
    }
    if (m_stack.size() <= 1)
        return;
    const GroupState closed = m_stack.back();
    if (closed.destination == Destination::FontTable && m_definingFont >= 0 && !m_fontName.isEmpty()) {
        m_fonts[m_definingFont].name = m_fontName.trimmed();
        m_fontName.clear();
    }
    m_stack.pop_back();
    if (closed.destination == Destination::Bullet && state().destination == Destination::Text)
        state().paragraph.bullet = true;
}

void Parser::character(QChar c)
{
    if (m_skipCount > 0) {
        --m_skipCount;
        return;
    }
    GroupState &s = state();
    switch (s.destination) {
    case Destination::Text:
        if (!m_text.isEmpty() && !(m_textState == s.character))
            flushText();
        m_textState = s.character;
        m_text += c;
        break;
    case Destination::FontTable:
        if (c == QLatin1Char(';')) {
            if (m_definingFont >= 0)
                m_fonts[m_definingFont].name = m_fontName.trimmed();
            m_fontName.clear();
        } else {
            m_fontName += c;
        }
        break;
    case Destination::ColourTable:
        if (c == QLatin1Char(';')) {
            if (m_red < 0 && m_green < 0 && m_blue < 0)
                m_colours.append(QColor());
            else
                m_colours.append(QColor(qBound(0, m_red, 255), qBound(0, m_green, 255), qBound(0, m_blue, 255)));
            m_red = m_green = m_blue = -1;
        }
        break;
    case Destination::Skip:
    case Destination::Bullet: break;
    }
}

void Parser::flushText()
{
    if (m_text.isEmpty())
        return;
    m_cursor.insertText(m_text, charFormat(m_textState));
    m_text.resize(0); // keeps the buffer for the next run
}

void Parser::paragraphBreak()
{
    if (state().destination != Destination::Text)
        return;
    if (m_skipCount > 0) {
        --m_skipCount;
        return;
    }
    const GroupState &s = state();
    if (m_blockStateKnown && s.paragraph == m_blockState && (m_text.isEmpty() || s.character == m_textState)) {
        // The break continues the pending run: the document makes the new
        // paragraph with the same formats, at the cost of one insertion for
        // the text and the break together.
        m_textState = s.character;
        m_text += QChar::ParagraphSeparator;
    } else {
        flushText();
        const QTextBlockFormat format = blockFormat(s.paragraph);
        if (!m_blockStateKnown || !(s.paragraph == m_blockState))
            m_cursor.setBlockFormat(format);
        m_cursor.insertBlock(format, charFormat(s.character));
        m_blockState = s.paragraph;
        m_blockStateKnown = true;
    }
    m_paragraphSeen = true;
}

const CodePage::Decoder &Parser::decoderForFont(int font)
{
    const int key = font < 0 ? m_defaultFont : font;
    const auto entry = m_fonts.constFind(key);
    if (entry == m_fonts.constEnd() || entry->codePage == 0 || entry->codePage == m_documentDecoder.codePage())
        return m_documentDecoder;
    auto decoder = m_fontDecoders.find(entry->codePage);
    if (decoder == m_fontDecoders.end())
        decoder = m_fontDecoders.insert(entry->codePage, CodePage::Decoder(entry->codePage));
    return *decoder;
}

QTextCharFormat Parser::charFormat(const CharState &s) const
{
    QTextCharFormat format;
    const int font = s.font < 0 ? m_defaultFont : s.font;
    const auto entry = m_fonts.constFind(font);
    if (entry != m_fonts.constEnd() && !entry->name.isEmpty()
        && entry->name.compare(m_defaultFamily, Qt::CaseInsensitive) != 0)
        format.setFontFamilies({entry->name});
    if (s.halfPoints != m_defaultHalfPoints && s.halfPoints > 0)
        format.setFontPointSize(s.halfPoints / 2.0);
    if (s.colour >= 0 && s.colour < m_colours.size() && m_colours[s.colour].isValid())
        format.setForeground(m_colours[s.colour]);
    if (s.bold)
        format.setFontWeight(QFont::Bold);
    if (s.italic)
        format.setFontItalic(true);
    if (s.underline)
        format.setFontUnderline(true);
    if (s.strike)
        format.setFontStrikeOut(true);
    if (s.isProtected)
        format.setProperty(Protected, true);
    if (s.offsetHalfPoints != 0) {
        format.setProperty(CharOffset, s.offsetHalfPoints * 10);
        format.setVerticalAlignment(s.offsetHalfPoints > 0 ? QTextCharFormat::AlignSuperScript
                                                           : QTextCharFormat::AlignSubScript);
    } else if (s.verticalAlignment != 0) {
        format.setVerticalAlignment(s.verticalAlignment > 0 ? QTextCharFormat::AlignSuperScript
                                                            : QTextCharFormat::AlignSubScript);
    }
    return format;
}

QTextBlockFormat Parser::blockFormat(const ParagraphState &s) const
{
    QTextBlockFormat format;
    switch (s.alignment) {
    case 1: format.setAlignment(Qt::AlignRight | Qt::AlignAbsolute); break;
    case 2: format.setAlignment(Qt::AlignHCenter); break;
    case 3: format.setAlignment(Qt::AlignJustify); break;
    default: break;
    }
    if (s.firstIndent)
        format.setTextIndent(toPixels(s.firstIndent));
    if (s.leftIndent)
        format.setLeftMargin(toPixels(s.leftIndent));
    if (s.rightIndent)
        format.setRightMargin(toPixels(s.rightIndent));
    if (!s.tabs.isEmpty()) {
        QList<QTextOption::Tab> tabs;
        for (const int tab : s.tabs)
            tabs.append(QTextOption::Tab(toPixels(tab), QTextOption::LeftTab));
        format.setTabPositions(tabs);
    }
    if (s.bullet)
        format.setProperty(Bullet, true);
    return format;
}

void Parser::controlSymbol(char symbol)
{
    switch (symbol) {
    case '\\':
    case '{':
    case '}': character(QLatin1Char(symbol)); break;
    case '~': character(QChar::Nbsp); break;
    case '_': character(QChar(0x2011)); break;
    case '-': break; // an optional hyphen shows only where a line breaks
    case '*': m_nextIsOptional = true; break;
    case '\'': {
        const auto hex = [](char h) {
            if (h >= '0' && h <= '9')
                return h - '0';
            if (h >= 'a' && h <= 'f')
                return h - 'a' + 10;
            if (h >= 'A' && h <= 'F')
                return h - 'A' + 10;
            return -1;
        };
        int value = 0;
        int digits = 0;
        while (digits < 2 && m_pos < m_data.size() && hex(m_data[m_pos]) >= 0) {
            value = value * 16 + hex(m_data[m_pos++]);
            ++digits;
        }
        if (digits > 0)
            character(decoderForFont(state().character.font).decode(static_cast<unsigned char>(value)));
        break;
    }
    case '\r':
    case '\n': paragraphBreak(); break;
    case '\t': character(QLatin1Char('\t')); break;
    default: break;
    }
}

void Parser::controlWord(const QByteArray &word, bool hasParameter, int parameter)
{
    const bool optional = m_nextIsOptional;
    m_nextIsOptional = false;
    GroupState &s = state();
    const bool on = !hasParameter || parameter != 0;

    // Destinations first: they decide what the rest of the group is.
    static const QHash<QByteArray, Destination> destinations = {
        {"fonttbl", Destination::FontTable}, {"colortbl", Destination::ColourTable},
        {"pn", Destination::Bullet},         {"listtext", Destination::Bullet},
        {"pntext", Destination::Skip},       {"stylesheet", Destination::Skip},
        {"info", Destination::Skip},         {"pict", Destination::Skip},
        {"object", Destination::Skip},       {"header", Destination::Skip},
        {"headerl", Destination::Skip},      {"headerr", Destination::Skip},
        {"headerf", Destination::Skip},      {"footer", Destination::Skip},
        {"footerl", Destination::Skip},      {"footerr", Destination::Skip},
        {"footerf", Destination::Skip},      {"footnote", Destination::Skip},
        {"annotation", Destination::Skip},   {"fldinst", Destination::Skip},
        {"listtable", Destination::Skip},    {"listoverridetable", Destination::Skip},
        {"revtbl", Destination::Skip},       {"rsidtbl", Destination::Skip},
        {"filetbl", Destination::Skip},      {"xe", Destination::Skip},
        {"tc", Destination::Skip},           {"txe", Destination::Skip},
        {"rxe", Destination::Skip},          {"bkmkstart", Destination::Skip},
        {"bkmkend", Destination::Skip},      {"shp", Destination::Skip},
        {"nonshppict", Destination::Skip},   {"author", Destination::Skip},
        {"title", Destination::Skip},        {"comment", Destination::Skip},
    };
    if (const auto destination = destinations.constFind(word); destination != destinations.constEnd()) {
        if (s.destination == Destination::Text || *destination == Destination::Skip
            || s.destination == Destination::Bullet) {
            flushText();
            // A bullet group inside text marks its paragraph; anywhere else it is skipped.
            s.destination = (*destination == Destination::Bullet && s.destination == Destination::Skip)
                ? Destination::Skip
                : *destination;
            if (s.destination == Destination::FontTable)
                m_definingFont = -1;
        }
        return;
    }
    if (word == "bin") {
        // Binary data: skip exactly its bytes, whatever they look like.
        const qint64 length = hasParameter ? qMax(0, parameter) : 0;
        m_pos += qsizetype(qMin<qint64>(length, m_data.size() - m_pos));
        return;
    }
    if (word == "uc") {
        s.unicodeSkip = qBound(0, parameter, 16);
        return;
    }
    if (word == "u") {
        if (m_skipCount > 0) { // a \u among the fallback of another is part of it
            --m_skipCount;
            return;
        }
        int code = parameter;
        if (code < 0)
            code += 65536;
        character(code >= 0 && code <= 0xFFFF ? QChar(char16_t(code)) : QChar::ReplacementCharacter);
        m_skipCount = s.unicodeSkip;
        return;
    }
    if (optional && s.destination != Destination::Skip) {
        // An ignorable destination this reader does not know.
        flushText();
        s.destination = Destination::Skip;
        return;
    }
    if (m_skipCount > 0) {
        // A control word in a \u fallback counts as one character.
        --m_skipCount;
        return;
    }

    switch (s.destination) {
    case Destination::Skip: return;
    case Destination::Bullet: return;
    case Destination::FontTable:
        if (word == "f") {
            m_definingFont = parameter;
            m_fontName.clear();
            m_fonts[parameter];
        } else if (word == "fcharset" && m_definingFont >= 0) {
            m_fonts[m_definingFont].codePage = CodePage::ofCharset(parameter);
        } else if (word == "cpg" && m_definingFont >= 0) {
            m_fonts[m_definingFont].codePage = parameter;
        }
        return;
    case Destination::ColourTable:
        if (word == "red")
            m_red = parameter;
        else if (word == "green")
            m_green = parameter;
        else if (word == "blue")
            m_blue = parameter;
        return;
    case Destination::Text: break;
    }

    CharState &c = s.character;
    ParagraphState &p = s.paragraph;
    if (word == "par" || word == "sect" || word == "page") {
        paragraphBreak();
    } else if (word == "line") {
        character(QChar::LineSeparator);
    } else if (word == "tab") {
        character(QLatin1Char('\t'));
    } else if (word == "plain") {
        c = CharState {};
    } else if (word == "pard") {
        p = ParagraphState {};
    } else if (word == "f") {
        c.font = parameter;
    } else if (word == "fs") {
        c.halfPoints = hasParameter ? qBound(2, parameter, 3276) : 24;
    } else if (word == "cf") {
        c.colour = parameter;
    } else if (word == "b") {
        c.bold = on;
    } else if (word == "i") {
        c.italic = on;
    } else if (word == "ul" || word == "uld" || word == "uldb" || word == "ulw" || word == "uldash" || word == "ulth"
               || word == "ulwave") {
        c.underline = on;
    } else if (word == "ulnone") {
        c.underline = false;
    } else if (word == "strike" || word == "striked") {
        c.strike = on;
    } else if (word == "protect") {
        c.isProtected = on;
        m_result.hasProtectedText = m_result.hasProtectedText || on;
    } else if (word == "up") {
        c.offsetHalfPoints = hasParameter ? qBound(-1638, parameter, 1638) : 6;
    } else if (word == "dn") {
        c.offsetHalfPoints = -(hasParameter ? qBound(-1638, parameter, 1638) : 6);
    } else if (word == "super") {
        c.verticalAlignment = 1;
    } else if (word == "sub") {
        c.verticalAlignment = -1;
    } else if (word == "nosupersub") {
        c.verticalAlignment = 0;
        c.offsetHalfPoints = 0;
    } else if (word == "ql") {
        p.alignment = 0;
    } else if (word == "qr") {
        p.alignment = 1;
    } else if (word == "qc") {
        p.alignment = 2;
    } else if (word == "qj") {
        p.alignment = 3;
    } else if (word == "fi") {
        p.firstIndent = qBound(-31680, parameter, 31680);
    } else if (word == "li") {
        p.leftIndent = qBound(-31680, parameter, 31680);
    } else if (word == "ri") {
        p.rightIndent = qBound(-31680, parameter, 31680);
    } else if (word == "tx" || word == "tb") {
        if (p.tabs.size() < 32 && parameter >= 0)
            p.tabs.append(qMin(parameter, 31680));
    } else if (word == "deff") {
        m_defaultFont = parameter;
    } else if (word == "ansicpg") {
        m_documentDecoder = CodePage::Decoder(parameter);
    } else if (word == "emdash") {
        character(QChar(0x2014));
    } else if (word == "endash") {
        character(QChar(0x2013));
    } else if (word == "lquote") {
        character(QChar(0x2018));
    } else if (word == "rquote") {
        character(QChar(0x2019));
    } else if (word == "ldblquote") {
        character(QChar(0x201C));
    } else if (word == "rdblquote") {
        character(QChar(0x201D));
    } else if (word == "bullet") {
        character(QChar(0x2022));
    }
}

} // namespace

bool RtfReader::looksLikeRtf(const QByteArray &data)
{
    qsizetype i = 0;
    while (i < data.size() && (data[i] == ' ' || data[i] == '\t' || data[i] == '\r' || data[i] == '\n'))
        ++i;
    return data.mid(i, 5) == "{\\rtf";
}

RtfReader::Result RtfReader::read(const QByteArray &data, QTextCursor &cursor, const Options &options)
{
    if (!looksLikeRtf(data)) {
        // Not RTF: the text as it stands, the way the control takes it.
        cursor.removeSelectedText();
        QStringDecoder utf8(QStringDecoder::Utf8);
        QString text = utf8.decode(data);
        if (utf8.hasError())
            text = QString::fromLatin1(data);
        cursor.insertText(text);
        return {};
    }
    Parser parser(data, cursor, options);
    RtfReader::Result result = parser.run();
    result.wasRtf = true;
    return result;
}
