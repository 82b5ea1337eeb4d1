#include "TextSearch.h"

#include <algorithm>

QString TextSearch::setQuery(const QString &pattern, bool matchCase, bool regularExpression)
{
    m_pattern = pattern;
    m_matchCase = matchCase;
    m_regularExpression = regularExpression;
    m_stale = true;
    m_expression = QRegularExpression();
    if (!regularExpression || pattern.isEmpty())
        return {};
    m_expression = QRegularExpression(pattern, matchCase ? QRegularExpression::NoPatternOption
                                                         : QRegularExpression::CaseInsensitiveOption);
    if (!m_expression.isValid()) {
        const QString why = m_expression.errorString();
        m_expression = QRegularExpression();
        m_pattern.clear();
        return why;
    }
    m_expression.optimize();
    return {};
}

void TextSearch::setText(const QString &text)
{
    m_text = text;
    m_hasText = true;
    m_stale = true;
}

const QList<TextSearch::Match> &TextSearch::matches()
{
    if (m_stale)
        findAll();
    return m_matches;
}

void TextSearch::findAll()
{
    m_stale = false;
    m_matches.clear();
    if (m_pattern.isEmpty())
        return;
    if (!m_regularExpression) {
        const qint32 length = qint32(m_pattern.size());
        const Qt::CaseSensitivity cs = m_matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
        for (qsizetype at = m_text.indexOf(m_pattern, 0, cs); at >= 0; at = m_text.indexOf(m_pattern, at + length, cs))
            m_matches.append({qint32(at), length});
        return;
    }
    QRegularExpressionMatchIterator it = m_expression.globalMatch(m_text);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        if (match.capturedLength() > 0)
            m_matches.append({qint32(match.capturedStart()), qint32(match.capturedLength())});
    }
}

int TextSearch::next(qint32 position)
{
    const QList<Match> &all = matches();
    if (all.isEmpty())
        return -1;
    const auto found = std::lower_bound(all.cbegin(), all.cend(), position,
                                        [](const Match &m, qint32 p) { return m.start < p; });
    return found == all.cend() ? 0 : int(found - all.cbegin());
}

int TextSearch::previous(qint32 position)
{
    const QList<Match> &all = matches();
    if (all.isEmpty())
        return -1;
    const auto found = std::lower_bound(all.cbegin(), all.cend(), position,
                                        [](const Match &m, qint32 p) { return m.start < p; });
    return found == all.cbegin() ? int(all.size()) - 1 : int(found - all.cbegin()) - 1;
}

int TextSearch::indexOf(qint32 start, qint32 length)
{
    const QList<Match> &all = matches();
    const auto found = std::lower_bound(all.cbegin(), all.cend(), start,
                                        [](const Match &m, qint32 p) { return m.start < p; });
    if (found == all.cend() || found->start != start || found->length != length)
        return -1;
    return int(found - all.cbegin());
}
