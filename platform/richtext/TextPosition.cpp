#include "TextPosition.h"

#include <QTextBlock>
#include <QTextDocument>

namespace TextPosition {

CrLfPosition length(const QTextDocument &document)
{
    // characterCount() includes the final paragraph separator the document
    // always keeps; every other separator is one break worth two characters.
    return {qint32(document.characterCount() - 1 + document.blockCount() - 1)};
}

DocPosition end(const QTextDocument &document)
{
    return {document.characterCount() - 1};
}

CrLfPosition toCrLf(const QTextDocument &document, DocPosition position)
{
    const int clamped = qBound(0, position.value, end(document).value);
    const QTextBlock block = document.findBlock(clamped);
    return {qint32(clamped + (block.isValid() ? block.blockNumber() : 0))};
}

DocPosition toDocument(const QTextDocument &document, CrLfPosition position)
{
    if (position.value <= 0)
        return {0};
    if (position >= length(document))
        return end(document);
    // Block k starts at its document position plus k (the breaks before it
    // each count one extra). Find the last block starting at or before the
    // position.
    int low = 0;
    int high = document.blockCount() - 1;
    while (low < high) {
        const int mid = low + (high - low + 1) / 2;
        if (document.findBlockByNumber(mid).position() + mid <= position.value)
            low = mid;
        else
            high = mid - 1;
    }
    const QTextBlock block = document.findBlockByNumber(low);
    const int offset = position.value - (block.position() + low);
    const int textLength = block.length() - 1;
    if (offset <= textLength)
        return {block.position() + offset};
    // On the LF of the break: the next paragraph's start.
    return {block.position() + block.length()};
}

} // namespace TextPosition
