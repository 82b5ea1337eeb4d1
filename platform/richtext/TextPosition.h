#pragma once

#include <QtGlobal>

class QTextDocument;

/**
 * Two ways of counting characters that must never be mixed up.
 *
 * The callers of the view count a line break as the two characters CR LF, the
 * way the text they read back from `Text` does. The document underneath counts
 * a paragraph break as one. Each count has its own type, so the compiler, not a
 * test, finds the place where one is passed for the other.
 */
struct CrLfPosition
{
    qint32 value = 0;
    friend auto operator<=>(CrLfPosition, CrLfPosition) = default;
};

struct DocPosition
{
    int value = 0;
    friend auto operator<=>(DocPosition, DocPosition) = default;
};

namespace TextPosition {

/// Length of the whole text with each paragraph break counted as CR LF.
CrLfPosition length(const QTextDocument &document);
/// Position of the last character plus one, in document units.
DocPosition end(const QTextDocument &document);

CrLfPosition toCrLf(const QTextDocument &document, DocPosition position);
/// Clamped to the text. A position between the CR and the LF of a break lands
/// after the break, so a range that covers half of a CR LF covers the break.
DocPosition toDocument(const QTextDocument &document, CrLfPosition position);

} // namespace TextPosition
