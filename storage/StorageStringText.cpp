#include "StorageStringText.h"

#include <QStringMatcher>

#include <algorithm>

namespace StorageStringText {

namespace {

qint32 toPosition(qsizetype index)
{
    return index < 0 ? 0 : qint32(index + 1);
}

/// The first exact occurrence at or after from, -1 when none. Qt's matcher
/// moves on by a single character after most near misses; jumping between
/// occurrences of the first character, which indexOf finds many characters
/// at a time, is several times faster on source text.
qsizetype indexOfExactly(QStringView text, QStringView needle, qsizetype from)
{
    const QChar first = needle.front();
    const QStringView rest = needle.sliced(1);
    for (qsizetype at = text.indexOf(first, from); at >= 0 && at + needle.size() <= text.size();
         at = text.indexOf(first, at + 1)) {
        if (std::equal(rest.begin(), rest.end(), text.begin() + at + 1))
            return at;
    }
    return -1;
}

qsizetype countLineBreaks(QStringView text)
{
    qsizetype count = 0;
    for (qsizetype at = indexOfLineBreak(text, 0); at >= 0; at = indexOfLineBreak(text, at + 2))
        ++count;
    return count;
}

} // namespace

qsizetype indexOfLineBreak(QStringView text, qsizetype from)
{
    // Looking for the LF alone runs several times faster than for the pair.
    for (qsizetype at = text.indexOf(u'\n', std::max<qsizetype>(from, 0) + 1); at >= 0;
         at = text.indexOf(u'\n', at + 1)) {
        if (text[at - 1] == u'\r')
            return at - 1;
    }
    return -1;
}

QString caseFolded(const QString &text)
{
    // Qt folds each character through its tables. Plain ASCII, what most
    // pages are, folds the same by lowering A to Z alone; a page with any
    // other character is folded by Qt.
    QString folded(text.size(), Qt::Uninitialized);
    const char16_t *in = reinterpret_cast<const char16_t *>(text.constData());
    char16_t *out = reinterpret_cast<char16_t *>(folded.data());
    char16_t seen = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = in[i];
        seen |= c;
        out[i] = unsigned(c - u'A') < 26u ? char16_t(c + 32) : c;
    }
    return seen < 0x80 ? folded : text.toCaseFolded();
}

qint32 lineCount(const QString &text)
{
    if (text.isEmpty())
        return 0;
    return qint32(countLineBreaks(text) + 1);
}

qint32 lineNumberAt(const QString &text, qint32 cursor)
{
    if (cursor <= 0 || text.isEmpty())
        return 0;
    return qint32(countLineBreaks(QStringView(text).left(cursor)) + 1);
}

std::optional<qint32> cursorForLine(const QString &text, qint32 line)
{
    if (line == 1)
        return 1;
    if (line < 1)
        return std::nullopt;
    qsizetype at = -2;
    for (qint32 n = 1; n < line; ++n) {
        at = indexOfLineBreak(text, at + 2);
        if (at < 0)
            return std::nullopt;
    }
    return qint32(at + 2);
}

std::optional<QString> line(const QString &text, qint32 line)
{
    if (line < 1 || text.isEmpty())
        return std::nullopt;
    qsizetype begin = 0;
    for (qint32 n = 1; n < line; ++n) {
        const qsizetype at = indexOfLineBreak(text, begin);
        if (at < 0)
            return std::nullopt;
        begin = at + 2;
    }
    const qsizetype end = indexOfLineBreak(text, begin);
    return text.mid(begin, end < 0 ? -1 : end - begin);
}

qint32 findDown(const QString &source, const QString &needle, qint32 start, Qt::CaseSensitivity cs)
{
    if (needle.isEmpty())
        return 0;
    return toPosition(source.indexOf(needle, std::max(start, 1) - 1, cs));
}

qint32 findUp(const QString &source, const QString &needle, qint32 start, Qt::CaseSensitivity cs)
{
    if (needle.isEmpty())
        return 0;
    const qsizetype end = std::min<qsizetype>(start, source.size());
    // The occurrence must end at or before `end`, so it starts at index end - length at the latest.
    const qsizetype from = end - needle.size();
    if (from < 0)
        return 0;
    return toPosition(source.lastIndexOf(needle, from, cs));
}

QList<qint32> findAll(const QString &source, const QString &needle, qint32 start, Qt::CaseSensitivity cs)
{
    QList<qint32> hits;
    if (needle.isEmpty())
        return hits;
    const QStringMatcher matcher(needle, cs);
    qsizetype from = std::max(start, 1) - 1;
    while (from <= source.size()) {
        const qsizetype at
            = cs == Qt::CaseSensitive ? indexOfExactly(source, needle, from) : matcher.indexIn(source, from);
        if (at < 0)
            break;
        hits.append(qint32(at + 1));
        from = at + needle.size();
    }
    return hits;
}

QList<QList<qint32>> findEach(const QString &source, const QStringList &needles, qint32 start,
                              Qt::CaseSensitivity cs)
{
    QList<QList<qint32>> each;
    each.reserve(needles.size());
    if (cs == Qt::CaseInsensitive) {
        // Comparing without case folds both sides a character at a time;
        // folding the page once and matching exactly finds the same places,
        // as long as folding kept every character where it was.
        const QString folded = caseFolded(source);
        if (folded.size() == source.size()) {
            for (const QString &needle : needles) {
                const QString foldedNeedle = needle.toCaseFolded();
                each.append(foldedNeedle.size() == needle.size()
                                ? findAll(folded, foldedNeedle, start, Qt::CaseSensitive)
                                : findAll(source, needle, start, cs));
            }
            return each;
        }
    }
    for (const QString &needle : needles)
        each.append(findAll(source, needle, start, cs));
    return each;
}

Replacement replace(const QString &source, const QString &needle, const QString &with, qint32 start,
                    Qt::CaseSensitivity cs, bool all, bool up)
{
    Replacement result;
    if (needle.isEmpty())
        return result;

    // 0-based starts of the occurrences to replace, ascending.
    QList<qsizetype> hits;
    if (!up) {
        qsizetype from = std::max(start, 1) - 1;
        while (from <= source.size()) {
            const qsizetype at = source.indexOf(needle, from, cs);
            if (at < 0)
                break;
            hits.append(at);
            if (!all)
                break;
            from = at + needle.size();
        }
    } else {
        qsizetype from = std::min<qsizetype>(start, source.size()) - needle.size();
        while (from >= 0) {
            const qsizetype at = source.lastIndexOf(needle, from, cs);
            if (at < 0)
                break;
            hits.prepend(at);
            if (!all)
                break;
            from = at - needle.size();
        }
    }
    if (hits.isEmpty())
        return result;

    QString text;
    text.reserve(source.size() + hits.size() * (with.size() - needle.size()));
    qsizetype copied = 0;
    for (qsizetype at : hits) {
        text.append(QStringView(source).mid(copied, at - copied));
        text.append(with);
        copied = at + needle.size();
    }
    text.append(QStringView(source).mid(copied));

    result.count = qint32(hits.size());
    if (!up) {
        // The last replacement stands where its occurrence stood, shifted by the earlier ones.
        const qsizetype last = hits.last() + (hits.size() - 1) * (with.size() - needle.size());
        result.cursor = qint32(last + with.size() + 1);
    } else {
        // Searching up, "just after" the last replacement made is just before the
        // first character of the one nearest the text's start.
        result.cursor = qint32(hits.first());
    }
    result.text = std::move(text);
    return result;
}

} // namespace StorageStringText
