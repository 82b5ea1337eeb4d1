#pragma once

#include <QList>
#include <QRegularExpression>
#include <QString>

/**
 * Every match of a query in a text, for the find bar: positions are those of
 * the text it was given (the window's Text(), a line break counted as two),
 * so a match selects as it is.
 *
 * The matches are worked out once per text and query and kept, so moving from
 * match to match, and the count "3 of 17", cost a binary search.
 *
 *     TextSearch search;
 *     search.setQuery(QStringLiteral("err.r"), false, true);
 *     search.setText(window->Text());
 *     const int i = search.next(window->SelStart() + 1);
 */
class TextSearch
{
public:
    struct Match
    {
        qint32 start = 0;
        qint32 length = 0;
    };

    /// Returns why the query cannot be used (an invalid regular expression), or empty.
    QString setQuery(const QString &pattern, bool matchCase, bool regularExpression);
    void setText(const QString &text);
    bool hasText() const { return m_hasText; }

    /// Every match, in order; empty matches of an expression are left out.
    const QList<Match> &matches();
    /// Index of the first match that starts at or after position, wrapping to the first; -1 when none.
    int next(qint32 position);
    /// Index of the last match that starts before position, wrapping to the last; -1 when none.
    int previous(qint32 position);
    /// Index of the match that starts at position with that length, or -1.
    int indexOf(qint32 start, qint32 length);

private:
    void findAll();

    QString m_text;
    QString m_pattern;
    bool m_matchCase = false;
    bool m_regularExpression = false;
    QRegularExpression m_expression;
    QList<Match> m_matches;
    bool m_hasText = false;
    bool m_stale = true;
};
