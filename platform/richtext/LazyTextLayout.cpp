#include "LazyTextLayout.h"

#include "RichTextFormat.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QStyle>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace RichTextFormat;

namespace {

/// The control's default tab stops stand half an inch apart.
constexpr qreal defaultTabPixels = defaultTabTwips / twipsPerPixel;

} // namespace

LazyTextLayout::LazyTextLayout(QTextDocument *document)
    : QAbstractTextDocumentLayout(document)
    , m_lastFont(document->defaultFont())
{
    resync();
}

void LazyTextLayout::setFixedWrapWidth(qreal pixels)
{
    if (qFuzzyCompare(m_fixedWrapWidth + 1, pixels + 1))
        return;
    m_fixedWrapWidth = qMax<qreal>(0, pixels);
    invalidateAll();
}

void LazyTextLayout::setSelectionShown(bool shown)
{
    if (m_selectionShown == shown)
        return;
    m_selectionShown = shown;
    emit update();
}

qreal LazyTextLayout::wrapWidth() const
{
    if (m_fixedWrapWidth > 0)
        return m_fixedWrapWidth;
    const qreal page = document()->pageSize().width();
    return page > 0 ? page : 0; // 0: no wrapping at all
}

void LazyTextLayout::invalidateAll()
{
    // Heights stay as estimates; each block is laid out again when next seen.
    ++m_wrapGeneration;
    m_lastWrapWidth = wrapWidth();
    m_width = 0;
    scheduleSizeUpdate();
}

qreal LazyTextLayout::estimatedHeight(const QTextBlock &) const
{
    // One line of the default font: exact for the usual unwrapped line of a
    // debug window, corrected for the others when they are laid out.
    if (m_lastEstimate < 0) {
        const QFontMetricsF metrics(document()->defaultFont());
        m_lastEstimate = metrics.ascent() + metrics.descent();
    }
    return m_lastEstimate;
}

// ------------------------------------------------------------ heights and positions

void LazyTextLayout::rebuildTree() const
{
    const size_t n = m_heights.size();
    m_tree.assign(n + 1, 0);
    m_tree.shrink_to_fit(); // a long text erased gives its memory back
    for (size_t i = 1; i <= n; ++i) {
        m_tree[i] += m_heights[i - 1];
        const size_t parent = i + (i & (~i + 1));
        if (parent <= n)
            m_tree[parent] += m_tree[i];
    }
    m_totalHeight = 0;
    for (const qreal h : m_heights)
        m_totalHeight += h;
}

void LazyTextLayout::resync() const
{
    const int count = document()->blockCount();
    const qreal estimate = estimatedHeight(QTextBlock());
    m_heights.assign(size_t(count), estimate);
    m_generation.assign(size_t(count), -1);
    m_heights.shrink_to_fit();
    m_generation.shrink_to_fit();
    rebuildTree();
}

void LazyTextLayout::setHeight(int blockNumber, qreal height) const
{
    const qreal delta = height - m_heights[size_t(blockNumber)];
    if (delta == 0)
        return;
    m_heights[size_t(blockNumber)] = height;
    m_totalHeight += delta;
    for (size_t i = size_t(blockNumber) + 1; i < m_tree.size(); i += i & (~i + 1))
        m_tree[i] += delta;
}

qreal LazyTextLayout::top(int blockNumber) const
{
    qreal sum = document()->documentMargin();
    for (size_t i = size_t(qBound(0, blockNumber, int(m_heights.size()))); i > 0; i -= i & (~i + 1))
        sum += m_tree[i];
    return sum;
}

int LazyTextLayout::blockAt(qreal y) const
{
    const size_t n = m_heights.size();
    if (n == 0)
        return 0;
    qreal remaining = y - document()->documentMargin();
    size_t position = 0;
    size_t step = 1;
    while (step * 2 <= n)
        step *= 2;
    for (; step > 0; step /= 2) {
        if (position + step <= n && m_tree[position + step] <= remaining) {
            position += step;
            remaining -= m_tree[position];
        }
    }
    return int(qMin(position, n - 1));
}

void LazyTextLayout::documentChanged(int from, int charsRemoved, int charsAdded)
{
    QTextDocument *doc = document();
    const int newCount = doc->blockCount();
    const int oldCount = int(m_heights.size());

    if (from == 0 && charsRemoved == 0 && charsAdded == doc->characterCount() && newCount == oldCount) {
        // The document asks for a full layout: its page size or default font
        // changed. Only a different wrap width or font makes old layouts wrong.
        const QFont font = doc->defaultFont();
        if (wrapWidth() != m_lastWrapWidth || font != m_lastFont) {
            if (font != m_lastFont) {
                m_lastFont = font;
                m_lastEstimate = -1;
                resync();
            }
            invalidateAll();
        }
        return;
    }

    const QTextBlock first = doc->findBlock(from);
    const int start = first.isValid() ? first.blockNumber() : 0;
    QTextBlock lastBlock = doc->findBlock(qMax(from, from + charsAdded));
    if (!lastBlock.isValid())
        lastBlock = doc->lastBlock();
    const int endNew = qMax(start, lastBlock.blockNumber());
    const int delta = newCount - oldCount;
    const int endOld = endNew - delta;
    const qreal estimate = estimatedHeight(QTextBlock());

    if (start > oldCount || endOld < start - 1 || endOld >= oldCount || start >= newCount) {
        resync();
    } else if (endOld == oldCount - 1 && delta >= 0) {
        // Growth at the end, the common case of printing: extend the tree.
        m_heights.resize(size_t(newCount), estimate);
        m_generation.resize(size_t(newCount), -1);
        m_tree.resize(size_t(newCount) + 1, 0);
        for (size_t i = size_t(oldCount) + 1; i <= size_t(newCount); ++i) {
            qreal sum = m_heights[i - 1];
            const size_t low = i - (i & (~i + 1));
            for (size_t j = i - 1; j > low; j -= j & (~j + 1))
                sum += m_tree[j];
            m_tree[i] = sum;
            m_totalHeight += m_heights[i - 1];
        }
    } else {
        std::vector<qreal> heights;
        std::vector<int> generations;
        heights.reserve(size_t(newCount));
        generations.reserve(size_t(newCount));
        heights.insert(heights.end(), m_heights.begin(), m_heights.begin() + start);
        generations.insert(generations.end(), m_generation.begin(), m_generation.begin() + start);
        for (int i = start; i <= endNew; ++i) {
            heights.push_back(i <= endOld && i < oldCount ? m_heights[size_t(i)] : estimate);
            generations.push_back(-1);
        }
        heights.insert(heights.end(), m_heights.begin() + endOld + 1, m_heights.end());
        generations.insert(generations.end(), m_generation.begin() + endOld + 1, m_generation.end());
        m_heights.swap(heights);
        m_generation.swap(generations);
        rebuildTree();
    }
    if (int(m_heights.size()) != newCount) {
        resync();
        scheduleSizeUpdate();
        return;
    }
    int number = start;
    for (QTextBlock block = first; block.isValid() && number <= endNew; block = block.next(), ++number) {
        block.clearLayout();
        if (block.userData())
            block.setUserData(nullptr);
        m_generation[size_t(number)] = -1;
    }
    scheduleSizeUpdate();
}

void LazyTextLayout::scheduleSizeUpdate() const
{
    m_sizeUpdatePending = true;
    if (m_sizeUpdatesHeld || m_sizeUpdatePosted)
        return;
    m_sizeUpdatePosted = true;
    QMetaObject::invokeMethod(
        const_cast<LazyTextLayout *>(this),
        [this] {
            m_sizeUpdatePosted = false;
            const_cast<LazyTextLayout *>(this)->updateSizeNow();
        },
        Qt::QueuedConnection);
}

void LazyTextLayout::updateSizeNow()
{
    if (!m_sizeUpdatePending)
        return;
    m_sizeUpdatePending = false;
    emit documentSizeChanged(documentSize());
    emit update();
}

// ------------------------------------------------------------ laying out

LazyTextLayout::Chunks *LazyTextLayout::chunksOf(const QTextBlock &block)
{
    return dynamic_cast<Chunks *>(block.userData());
}

bool LazyTextLayout::isLong(const QTextBlock &block)
{
    return block.length() > longBlockLength;
}

void LazyTextLayout::ensureLayout(const QTextBlock &block) const
{
    if (!block.isValid())
        return;
    const int number = block.blockNumber();
    if (number >= int(m_heights.size()) || int(m_heights.size()) != document()->blockCount())
        resync();
    if (m_generation[size_t(number)] == m_wrapGeneration) {
        if (isLong(block)) {
            const Chunks *chunks = chunksOf(block);
            if (chunks && chunks->blockLength == block.length())
                return;
        } else if (block.layout()->lineCount() > 0) {
            return;
        }
    }
    layoutBlock(block);
    m_generation[size_t(number)] = m_wrapGeneration;
}

qreal LazyTextLayout::layoutLines(QTextLayout *layout, const QTextBlock &block, bool opening) const
{
    const QTextBlockFormat format = block.blockFormat();
    const qreal margin = document()->documentMargin();
    const bool bullet = format.boolProperty(Bullet);
    const qreal left = margin + format.leftMargin() + (bullet ? toPixels(bulletIndentTwips) : 0);
    const qreal right = margin + format.rightMargin();
    const qreal indent = opening ? format.textIndent() : 0;
    const qreal wrap = wrapWidth();

    QTextOption option = document()->defaultTextOption();
    option.setTextDirection(block.textDirection());
    option.setAlignment(QStyle::visualAlignment(block.textDirection(), format.alignment()));
    option.setTabs(format.tabPositions());
    option.setTabStopDistance(defaultTabPixels);
    option.setWrapMode(wrap > 0 ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
    option.setFlags(option.flags() | QTextOption::IncludeTrailingSpaces);
    layout->setTextOption(option);

    // Without wrapping, aligned text lines up against the page's edge.
    const qreal alignWidth = wrap > 0 ? wrap : qMax<qreal>(document()->pageSize().width(), 0);
    const qreal available = qMax<qreal>(1, alignWidth - left - right);
    qreal y = 0;
    qreal widest = 0;
    layout->beginLayout();
    for (bool firstLine = true;; firstLine = false) {
        QTextLine line = layout->createLine();
        if (!line.isValid())
            break;
        const qreal x = left + (firstLine ? indent : 0);
        const qreal width = qMax<qreal>(1, available - (firstLine ? indent : 0));
        if (wrap > 0) {
            line.setLineWidth(width);
        } else {
            line.setLineWidth(std::numeric_limits<int>::max() / 256);
            const qreal natural = line.naturalTextWidth();
            line.setLineWidth(qMax(width, natural));
        }
        line.setPosition(QPointF(x, y));
        y += line.height();
        widest = qMax(widest, x + (wrap > 0 ? line.naturalTextWidth() : line.width()) + right);
    }
    layout->endLayout();
    m_width = qMax(m_width, widest);
    return y;
}

void LazyTextLayout::layoutBlock(const QTextBlock &block) const
{
    qreal height = 0;
    if (isLong(block)) {
        // Laying out a paragraph of megabytes takes seconds; its pieces are
        // laid out one by one as they come into view, each starting a line.
        block.layout()->clearLayout();
        QTextBlock writable = block;
        auto *chunks = new Chunks;
        writable.setUserData(chunks);
        chunks->blockLength = block.length();
        const int textLength = block.length() - 1;
        for (int start = 0; start < textLength;) {
            int end = qMin(textLength, start + chunkLength);
            if (end < textLength && document()->characterAt(block.position() + end - 1).isHighSurrogate())
                ++end;
            chunks->starts.push_back(start);
            start = end;
        }
        chunks->starts.push_back(textLength);
        const size_t count = chunks->starts.size() - 1;
        chunks->layouts.resize(count);
        chunks->heights.assign(count, 0);
        const qreal first = layoutChunk(block, *chunks, 0);
        for (size_t i = 1; i < count; ++i) {
            const qreal share = qreal(chunks->starts[i + 1] - chunks->starts[i]) / chunkLength;
            chunks->heights[i] = std::ceil(first * share);
        }
        for (const qreal h : chunks->heights)
            height += h;
    } else {
        if (block.userData())
            QTextBlock(block).setUserData(nullptr);
        height = layoutLines(block.layout(), block, true);
    }
    const int number = block.blockNumber();
    if (m_heights[size_t(number)] != height) {
        setHeight(number, height);
        scheduleSizeUpdate();
    }
}

qreal LazyTextLayout::layoutChunk(const QTextBlock &block, Chunks &chunks, size_t index) const
{
    const int start = chunks.starts[index];
    const int end = chunks.starts[index + 1];
    // Character by character: a copy of the whole paragraph would cost more
    // than the few pieces on screen.
    QString text(end - start, Qt::Uninitialized);
    const QTextDocument *doc = document();
    for (int i = start; i < end; ++i)
        text[i - start] = doc->characterAt(block.position() + i);
    auto layout = std::make_unique<QTextLayout>(text, doc->defaultFont());
    QList<QTextLayout::FormatRange> formats;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const int from = qMax(start, fragment.position() - block.position());
        const int to = qMin(end, fragment.position() - block.position() + fragment.length());
        if (from < to)
            formats.append({from - start, to - from, fragment.charFormat()});
    }
    layout->setFormats(formats);
    const qreal height = layoutLines(layout.get(), block, index == 0);
    chunks.layouts[index] = std::move(layout);
    chunks.heights[index] = height;
    return height;
}

void LazyTextLayout::ensureChunk(const QTextBlock &block, Chunks &chunks, size_t index) const
{
    if (chunks.layouts[index])
        return;
    const qreal before = chunks.heights[index];
    const qreal after = layoutChunk(block, chunks, index);
    if (after != before) {
        const int number = block.blockNumber();
        setHeight(number, m_heights[size_t(number)] + after - before);
        scheduleSizeUpdate();
    }
}

LazyTextLayout::Piece LazyTextLayout::pieceAt(const QTextBlock &block, int offset, qreal y) const
{
    ensureLayout(block);
    Chunks *chunks = isLong(block) ? chunksOf(block) : nullptr;
    if (!chunks)
        return {block.layout(), 0, 0};
    const size_t count = chunks->layouts.size();
    size_t index = 0;
    qreal top = 0;
    if (offset >= 0) {
        index = size_t(std::upper_bound(chunks->starts.begin(), chunks->starts.end(), offset) - chunks->starts.begin());
        index = qMin(count, qMax<size_t>(index, 1)) - 1;
        for (size_t i = 0; i < index; ++i)
            top += chunks->heights[i];
    } else {
        while (index + 1 < count && top + chunks->heights[index] <= y)
            top += chunks->heights[index++];
    }
    ensureChunk(block, *chunks, index);
    return {chunks->layouts[index].get(), top, chunks->starts[index]};
}

int LazyTextLayout::lineOf(int position)
{
    const QTextBlock target = document()->findBlock(position);
    int lines = 0;
    for (QTextBlock block = document()->begin(); block.isValid() && block != target; block = block.next()) {
        ensureLayout(block);
        if (Chunks *chunks = isLong(block) ? chunksOf(block) : nullptr) {
            for (size_t i = 0; i < chunks->layouts.size(); ++i) {
                ensureChunk(block, *chunks, i);
                lines += chunks->layouts[i]->lineCount();
            }
        } else {
            lines += qMax(1, block.layout()->lineCount());
        }
    }
    if (!target.isValid())
        return lines;
    const int offset = position - target.position();
    const Piece piece = pieceAt(target, offset);
    if (Chunks *chunks = isLong(target) ? chunksOf(target) : nullptr) {
        for (size_t i = 0; chunks->starts[i] < piece.start; ++i) {
            ensureChunk(target, *chunks, i);
            lines += chunks->layouts[i]->lineCount();
        }
    }
    const QTextLine line = piece.layout->lineForTextPosition(offset - piece.start);
    return lines + (line.isValid() ? line.lineNumber() : 0);
}

// ------------------------------------------------------------ queries

QRectF LazyTextLayout::blockBoundingRect(const QTextBlock &block) const
{
    if (!block.isValid())
        return {};
    ensureLayout(block);
    const int number = block.blockNumber();
    const qreal width = wrapWidth() > 0 ? wrapWidth() : qMax(m_width, document()->pageSize().width());
    return QRectF(0, top(number), width, m_heights[size_t(number)]);
}

QSizeF LazyTextLayout::documentSize() const
{
    if (int(m_heights.size()) != document()->blockCount())
        resync();
    const qreal margin = document()->documentMargin();
    const qreal width
        = m_fixedWrapWidth > 0 ? qMin(m_width, m_fixedWrapWidth) : (wrapWidth() > 0 ? wrapWidth() : m_width);
    return QSizeF(width, m_totalHeight + 2 * margin);
}

int LazyTextLayout::pageCount() const
{
    return 1;
}

QRectF LazyTextLayout::frameBoundingRect(QTextFrame *) const
{
    return QRectF(QPointF(0, 0), documentSize());
}

int LazyTextLayout::hitTest(const QPointF &point, Qt::HitTestAccuracy accuracy) const
{
    if (int(m_heights.size()) != document()->blockCount())
        resync();
    const QTextBlock block = document()->findBlockByNumber(blockAt(point.y()));
    if (!block.isValid())
        return -1;
    const qreal blockTop = top(block.blockNumber());
    const Piece piece = pieceAt(block, -1, point.y() - blockTop);
    const QTextLayout *layout = piece.layout;
    const QPointF local = point - QPointF(0, blockTop + piece.top);
    if (layout->lineCount() == 0)
        return block.position() + piece.start;
    QTextLine line = layout->lineAt(0);
    for (int i = 0; i < layout->lineCount(); ++i) {
        line = layout->lineAt(i);
        if (local.y() < line.y() + line.height())
            break;
    }
    if (accuracy == Qt::ExactHit
        && (local.y() < line.y() || local.y() >= line.y() + line.height() || local.x() < line.x()
            || local.x() > line.x() + line.naturalTextWidth()))
        return -1;
    return block.position() + piece.start + line.xToCursor(local.x());
}

// ------------------------------------------------------------ drawing

void LazyTextLayout::drawBullet(QPainter *painter, const QTextBlock &block, const QPointF &origin) const
{
    const QTextLayout *layout = pieceAt(block, 0).layout;
    if (layout->lineCount() == 0)
        return;
    const QTextLine line = layout->lineAt(0);
    const QTextBlockFormat format = block.blockFormat();
    const qreal x = origin.x() + document()->documentMargin() + format.leftMargin() + format.textIndent();
    const qreal size = qMax<qreal>(3, line.ascent() / 3);
    const QTextCharFormat charFormat = block.charFormat();
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(charFormat.hasProperty(QTextFormat::ForegroundBrush) ? charFormat.foreground().color()
                                                                           : painter->pen().color());
    painter->drawEllipse(
        QRectF(x + size / 2, origin.y() + line.y() + line.ascent() - line.ascent() / 2 - size / 2, size, size));
    painter->restore();
}

void LazyTextLayout::drawPiece(QPainter *painter, const PaintContext &context, const QTextBlock &block,
                               const Piece &piece, int length, const QPointF &origin, const QRectF &clip) const
{
    const int start = block.position() + piece.start;
    const int end = start + length;
    QList<QTextLayout::FormatRange> ranges;
    if (m_selectionShown) {
        for (const Selection &selection : context.selections) {
            const int from = qMax(selection.cursor.selectionStart(), start) - start;
            const int to = qMin(selection.cursor.selectionEnd(), end) - start;
            if (to <= from)
                continue;
            QTextLayout::FormatRange range;
            range.start = from;
            range.length = to - from;
            range.format = selection.format;
            ranges.append(range);
        }
    }
    piece.layout->draw(painter, origin, ranges, clip);
    if (context.cursorPosition >= start && context.cursorPosition < end)
        piece.layout->drawCursor(painter, origin, context.cursorPosition - start, 1);
}

void LazyTextLayout::draw(QPainter *painter, const PaintContext &context)
{
    if (int(m_heights.size()) != document()->blockCount())
        resync();
    const QRectF clip = context.clip.isValid() ? context.clip : QRectF(QPointF(0, 0), documentSize());
    painter->setPen(context.palette.color(QPalette::Text));
    for (QTextBlock block = document()->findBlockByNumber(blockAt(clip.top())); block.isValid(); block = block.next()) {
        ensureLayout(block);
        const qreal y = top(block.blockNumber());
        if (y > clip.bottom())
            break;
        if (Chunks *chunks = isLong(block) ? chunksOf(block) : nullptr) {
            qreal chunkTop = y;
            for (size_t i = 0; i < chunks->layouts.size() && chunkTop <= clip.bottom(); ++i) {
                if (chunkTop + chunks->heights[i] >= clip.top()) {
                    ensureChunk(block, *chunks, i);
                    const Piece piece {chunks->layouts[i].get(), chunkTop - y, chunks->starts[i]};
                    const int length
                        = chunks->starts[i + 1] - chunks->starts[i] + (i + 1 == chunks->layouts.size() ? 1 : 0);
                    drawPiece(painter, context, block, piece, length, QPointF(0, chunkTop), clip);
                }
                chunkTop += chunks->heights[i];
            }
        } else {
            drawPiece(painter, context, block, Piece {block.layout(), 0, 0}, block.length(), QPointF(0, y), clip);
        }
        if (block.blockFormat().boolProperty(Bullet))
            drawBullet(painter, block, QPointF(0, y));
    }
}
