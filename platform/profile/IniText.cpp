#include "IniText.h"

#include <QSet>
#include <QString>

#include <cstring>

namespace IniText {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

bool isAscii(QByteArrayView text)
{
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

char asciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c + ('a' - 'A')) : c;
}

/// One line of the text: [begin, end) is its content, next the start of the following line.
struct Line
{
    qsizetype begin = 0;
    qsizetype end = 0;
    qsizetype next = 0;
};

/// Where the next line starts, given where this one's content ends.
qsizetype afterLineEnd(const char *data, qsizetype size, qsizetype end)
{
    if (end >= size)
        return size;
    if (data[end] == '\r' && end + 1 < size && data[end + 1] == '\n')
        return end + 2;
    return end + 1;
}

/**
 * Walks the lines of a text. CR LF, LF and a lone CR each end a line; the
 * next CR and LF are remembered so the whole text is searched only once,
 * whatever mixture of line ends it holds.
 */
class LineCursor
{
public:
    explicit LineCursor(QByteArrayView text, qsizetype from = 0)
        : m_data(text.data())
        , m_size(text.size())
        , m_pos(from)
    {}

    bool next(Line &line)
    {
        if (m_pos >= m_size)
            return false;
        line.begin = m_pos;
        const qsizetype lf = nextOf('\n', m_nextLf);
        const qsizetype cr = nextOf('\r', m_nextCr);
        const qsizetype end = lf < cr ? lf : cr;
        line.end = end;
        line.next = afterLineEnd(m_data, m_size, end);
        m_pos = line.next;
        return true;
    }

private:
    qsizetype nextOf(char c, qsizetype &cached)
    {
        if (cached < m_pos) {
            const void *hit = std::memchr(m_data + m_pos, c, size_t(m_size - m_pos));
            cached = hit ? static_cast<const char *>(hit) - m_data : m_size;
        }
        return cached;
    }

    const char *m_data;
    qsizetype m_size;
    qsizetype m_pos;
    qsizetype m_nextLf = -1;
    qsizetype m_nextCr = -1;
};

/// What a line is, seen from the profile functions.
struct Parsed
{
    enum Kind {
        Other,
        Header,
        KeyLine
    } kind = Other;
    QByteArrayView name; ///< section name or key, trimmed
    QByteArrayView value; ///< raw value after "=", trimmed
};

qsizetype skipBlanks(const char *data, qsizetype pos, qsizetype end)
{
    while (pos < end && isBlank(data[pos]))
        ++pos;
    return pos;
}

/// Only tells headers apart from the rest: enough to skip foreign sections fast.
bool headerName(QByteArrayView text, const Line &line, QByteArrayView &name)
{
    const char *data = text.data();
    const qsizetype start = skipBlanks(data, line.begin, line.end);
    if (start >= line.end || data[start] != '[')
        return false;
    // A header without its closing bracket names everything after the "[".
    qsizetype close = line.end;
    for (qsizetype i = line.end - 1; i > start; --i) {
        if (data[i] == ']') {
            close = i;
            break;
        }
    }
    name = trimmed(QByteArrayView(data + start + 1, close - start - 1));
    return true;
}

/**
 * The next header line at or after from, found by jumping from "[" to "["
 * rather than walking every line: a read looks at the headers and at the
 * lines of its own section only.
 */
bool nextHeader(QByteArrayView text, qsizetype from, Line &line, QByteArrayView &name)
{
    const char *data = text.data();
    const qsizetype size = text.size();
    while (from < size) {
        const void *hit = std::memchr(data + from, '[', size_t(size - from));
        if (!hit)
            return false;
        const qsizetype bracket = static_cast<const char *>(hit) - data;
        qsizetype begin = bracket;
        while (begin > 0 && isBlank(data[begin - 1]) && data[begin - 1] != '\r')
            --begin;
        if (begin == 0 || data[begin - 1] == '\n' || data[begin - 1] == '\r') {
            qsizetype end = bracket;
            while (end < size && data[end] != '\n' && data[end] != '\r')
                ++end;
            line.begin = begin;
            line.end = end;
            line.next = afterLineEnd(data, size, end);
            return headerName(text, line, name);
        }
        from = bracket + 1;
    }
    return false;
}

bool keyLine(QByteArrayView text, const Line &line, Parsed &parsed)
{
    const char *data = text.data();
    const void *eq = std::memchr(data + line.begin, '=', size_t(line.end - line.begin));
    if (!eq)
        return false;
    const qsizetype at = static_cast<const char *>(eq) - data;
    parsed.kind = Parsed::KeyLine;
    parsed.name = trimmed(QByteArrayView(data + line.begin, at - line.begin));
    parsed.value = trimmed(QByteArrayView(data + at + 1, line.end - at - 1));
    return true;
}

QByteArrayView unquoted(QByteArrayView value)
{
    if (value.size() >= 2) {
        const char first = value.front();
        if ((first == '"' || first == '\'') && value.back() == first)
            return value.sliced(1, value.size() - 2);
    }
    return value;
}

QByteArray folded(QByteArrayView name)
{
    if (isAscii(name)) {
        QByteArray out(name.size(), Qt::Uninitialized);
        for (qsizetype i = 0; i < name.size(); ++i)
            out[i] = asciiLower(name[i]);
        return out;
    }
    return QString::fromUtf8(name).toCaseFolded().toUtf8();
}

void appendUnique(QList<QByteArray> &names, QSet<QByteArray> &seen, QByteArrayView name)
{
    QByteArray key = folded(name);
    if (seen.contains(key))
        return;
    seen.insert(std::move(key));
    names.append(name.toByteArray());
}

/// The line end new lines get: the file's own first one, LF for a file without any.
QByteArrayView lineEndOf(QByteArrayView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '\n')
            return "\n";
        if (text[i] == '\r')
            return (i + 1 < text.size() && text[i + 1] == '\n') ? QByteArrayView("\r\n") : QByteArrayView("\r");
    }
    return "\n";
}

bool endsWithLineBreak(QByteArrayView text)
{
    return text.isEmpty() || text.back() == '\n' || text.back() == '\r';
}

} // namespace

QByteArrayView trimmed(QByteArrayView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

bool namesEqual(QByteArrayView a, QByteArrayView b)
{
    a = trimmed(a);
    b = trimmed(b);
    if (a.size() == b.size()) {
        qsizetype i = 0;
        while (i < a.size() && asciiLower(a[i]) == asciiLower(b[i]))
            ++i;
        if (i == a.size())
            return true;
    }
    if (isAscii(a) && isAscii(b))
        return false;
    return QString::compare(QString::fromUtf8(a), QString::fromUtf8(b), Qt::CaseInsensitive) == 0;
}

std::optional<QByteArray> find(QByteArrayView text, QByteArrayView section, QByteArrayView key)
{
    Line header;
    Line line;
    QByteArrayView name;
    Parsed parsed;
    qsizetype pos = 0;
    while (nextHeader(text, pos, header, name)) {
        pos = header.next;
        if (!namesEqual(name, section))
            continue;
        LineCursor cursor(text, pos);
        pos = text.size();
        while (cursor.next(line)) {
            if (headerName(text, line, name)) {
                pos = line.begin;
                break;
            }
            if (keyLine(text, line, parsed) && namesEqual(parsed.name, key))
                return unquoted(parsed.value).toByteArray();
        }
    }
    return std::nullopt;
}

QList<QByteArray> sections(QByteArrayView text)
{
    QList<QByteArray> names;
    QSet<QByteArray> seen;
    LineCursor cursor(text);
    Line line;
    QByteArrayView name;
    while (cursor.next(line)) {
        if (headerName(text, line, name))
            appendUnique(names, seen, name);
    }
    return names;
}

QList<QByteArray> keys(QByteArrayView text, QByteArrayView section)
{
    QList<QByteArray> names;
    QSet<QByteArray> seen;
    LineCursor cursor(text);
    Line line;
    bool inSection = false;
    QByteArrayView name;
    Parsed parsed;
    while (cursor.next(line)) {
        if (headerName(text, line, name)) {
            inSection = namesEqual(name, section);
            continue;
        }
        if (inSection && keyLine(text, line, parsed))
            appendUnique(names, seen, parsed.name);
    }
    return names;
}

QByteArray withEntries(QByteArrayView text, QByteArrayView section, const QList<Entry> &entries)
{
    const QByteArrayView eol = lineEndOf(text);
    struct Replacement
    {
        Line line;
        qsizetype entry;
    };
    QList<Replacement> replacements;
    QList<bool> placed(entries.size(), false);
    // New keys go after the last non-blank line of the first matching section.
    qsizetype insertAt = -1;
    qsizetype insertLineEnd = -1;
    bool insertNeedsBreak = false;
    bool inSection = false;
    bool firstSectionDone = false;

    LineCursor cursor(text);
    Line line;
    QByteArrayView name;
    Parsed parsed;
    while (cursor.next(line)) {
        if (headerName(text, line, name)) {
            if (inSection)
                firstSectionDone = true;
            inSection = namesEqual(name, section);
            if (inSection && !firstSectionDone && insertAt < 0) {
                insertAt = line.next;
                insertLineEnd = line.end;
                insertNeedsBreak = line.next == line.end;
            }
            continue;
        }
        if (!inSection)
            continue;
        if (!firstSectionDone && !trimmed(text.sliced(line.begin, line.end - line.begin)).isEmpty()) {
            insertAt = line.next;
            insertLineEnd = line.end;
            insertNeedsBreak = line.next == line.end;
        }
        if (keyLine(text, line, parsed)) {
            for (qsizetype i = 0; i < entries.size(); ++i) {
                if (!placed[i] && namesEqual(parsed.name, entries[i].first)) {
                    placed[i] = true;
                    replacements.append({line, i});
                    break;
                }
            }
        }
    }

    // Added lines end like the line they follow, so they never run into a
    // following empty line (a CR added before an LF would make one CR LF).
    const QByteArrayView addedEol
        = insertAt > insertLineEnd && insertLineEnd >= 0 ? text.sliced(insertLineEnd, insertAt - insertLineEnd) : eol;
    QByteArray added;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (!placed[i]) {
            placed[i] = true;
            added.append(entries[i].first).append('=').append(entries[i].second).append(addedEol);
        }
    }

    QByteArray out;
    out.reserve(text.size() + added.size() + 64 * entries.size() + section.size() + 8);
    qsizetype copied = 0;
    auto copyUpTo = [&](qsizetype pos) {
        out.append(text.sliced(copied, pos - copied));
        copied = pos;
    };
    for (const Replacement &r : replacements) {
        if (insertAt >= 0 && insertAt <= r.line.begin && copied <= insertAt && !added.isEmpty()) {
            copyUpTo(insertAt);
            if (insertNeedsBreak)
                out.append(eol);
            out.append(added);
            added.clear();
        }
        copyUpTo(r.line.begin);
        const Entry &entry = entries[r.entry];
        out.append(entry.first).append('=').append(entry.second);
        copied = r.line.end;
    }
    if (!added.isEmpty()) {
        if (insertAt >= 0) {
            copyUpTo(insertAt);
            if (insertNeedsBreak)
                out.append(eol);
            out.append(added);
        } else {
            copyUpTo(text.size());
            if (!endsWithLineBreak(text))
                out.append(eol);
            out.append('[').append(section).append(']').append(eol).append(added);
        }
    }
    copyUpTo(text.size());
    return out;
}

namespace {

/// The text with the lines for which drop(line) holds removed, or nullopt when none is.
template<typename Drop>
std::optional<QByteArray> withoutLines(QByteArrayView text, Drop drop)
{
    QByteArray out;
    bool changed = false;
    qsizetype copied = 0;
    LineCursor cursor(text);
    Line line;
    while (cursor.next(line)) {
        if (!drop(line))
            continue;
        if (!changed)
            out.reserve(text.size());
        changed = true;
        out.append(text.sliced(copied, line.begin - copied));
        copied = line.next;
    }
    if (!changed)
        return std::nullopt;
    out.append(text.sliced(copied));
    return out;
}

} // namespace

std::optional<QByteArray> withoutKey(QByteArrayView text, QByteArrayView section, QByteArrayView key)
{
    bool inSection = false;
    QByteArrayView name;
    Parsed parsed;
    return withoutLines(text, [&](const Line &line) {
        if (headerName(text, line, name)) {
            inSection = namesEqual(name, section);
            return false;
        }
        return inSection && keyLine(text, line, parsed) && namesEqual(parsed.name, key);
    });
}

std::optional<QByteArray> withoutSection(QByteArrayView text, QByteArrayView section)
{
    bool inSection = false;
    QByteArrayView name;
    return withoutLines(text, [&](const Line &line) {
        if (headerName(text, line, name))
            inSection = namesEqual(name, section);
        return inSection;
    });
}

} // namespace IniText
