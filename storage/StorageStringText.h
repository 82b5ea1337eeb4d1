#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

/**
 * The document side of a storage-string page: lines separated by CR LF and
 * searches over the text. Positions here are 1-based like the cursor
 * (0 means "none"); lines are what splitting at every CR LF gives, so an
 * empty text has no lines and a text ending in CR LF has an empty last line.
 */
namespace StorageStringText {

/// Index of the first CR LF whose CR is at or after from, -1 when none.
qsizetype indexOfLineBreak(QStringView text, qsizetype from);
/// The text case-folded as QString::toCaseFolded folds it, only faster.
QString caseFolded(const QString &text);

qint32 lineCount(const QString &text);
/// Lines from the first character up to and including the cursor; a cursor
/// on the LF that ends line n - 1 already counts as line n. 0 for cursor 0.
qint32 lineNumberAt(const QString &text, qint32 cursor);
/// The cursor that puts line n current: the LF ending line n - 1 (1 for line 1).
std::optional<qint32> cursorForLine(const QString &text, qint32 line);
/// Line n without its line break.
std::optional<QString> line(const QString &text, qint32 line);

/// First occurrence at or after start (0 when none).
qint32 findDown(const QString &source, const QString &needle, qint32 start, Qt::CaseSensitivity cs);
/// Nearest occurrence that ends at or before start (0 when none).
qint32 findUp(const QString &source, const QString &needle, qint32 start, Qt::CaseSensitivity cs);
/// Every non-overlapping occurrence from start on, ascending.
QList<qint32> findAll(const QString &source, const QString &needle, qint32 start, Qt::CaseSensitivity cs);
/// findAll for each needle in turn; a search that ignores case folds the
/// source once for all of them instead of every character at every try.
QList<QList<qint32>> findEach(const QString &source, const QStringList &needles, qint32 start,
                              Qt::CaseSensitivity cs);

struct Replacement
{
    QString text; ///< the source with the occurrences replaced
    qint32 count = 0; ///< how many were replaced (text is unset when 0)
    qint32 cursor = 0; ///< just after the last replacement made, in search order
};

/// Replaces the first occurrence from start (or, with all, every following
/// non-overlapping one) searching down, or searching up towards the start of
/// the text the way findUp does. Runs in time linear in the source length.
Replacement replace(const QString &source, const QString &needle, const QString &with, qint32 start,
                    Qt::CaseSensitivity cs, bool all, bool up);

} // namespace StorageStringText
