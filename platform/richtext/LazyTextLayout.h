#pragma once

#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QTextBlock>

#include <QTextLayout>

#include <memory>
#include <vector>

/**
 * A document layout that lays out only what is looked at.
 *
 * Qt's own layout for QTextEdit lays out every paragraph as it arrives, which
 * caps a visible view at a few tens of thousands of printed lines a second;
 * QPlainTextEdit's layout is lazy but ignores paragraph formats. This one is
 * both: a paragraph is laid out when it is drawn, hit or asked for, honouring
 * its alignment, indents, tab stops and bullet; every other paragraph counts
 * with the height it had when last laid out, or one line of its font until
 * then. Heights sit in a Fenwick tree, so finding a paragraph by its vertical
 * position and the reverse both take logarithmic time at a million lines.
 *
 * Lines wrap at the page width (the view's edge) or at a fixed width.
 */
class LazyTextLayout : public QAbstractTextDocumentLayout
{
    Q_OBJECT

public:
    explicit LazyTextLayout(QTextDocument *document);

    /// Wraps at this many pixels; 0 wraps at the page width.
    void setFixedWrapWidth(qreal pixels);
    /// Whether the selection is drawn (the view hides it without the focus).
    void setSelectionShown(bool shown);

    /// Tells the view about size changes at once instead of on the next turn
    /// of the event loop (before scrolling to the caret, say).
    void updateSizeNow();
    /// While held, changes only mark the size as out of date and nothing is
    /// repainted; the owner calls updateSizeNow() when it wants the view to
    /// catch up (once a frame, for text that streams in).
    void setSizeUpdatesHeld(bool held) { m_sizeUpdatesHeld = held; }

    /// Number of the display line (from 0) holding a document position
    /// (laying out every paragraph before it).
    int lineOf(int position);

    void draw(QPainter *painter, const PaintContext &context) override;
    int hitTest(const QPointF &point, Qt::HitTestAccuracy accuracy) const override;
    int pageCount() const override;
    QSizeF documentSize() const override;
    QRectF frameBoundingRect(QTextFrame *frame) const override;
    QRectF blockBoundingRect(const QTextBlock &block) const override;

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override;

private:
    /// The pieces of a very long paragraph, each with its own layout.
    struct Chunks : QTextBlockUserData
    {
        int blockLength = 0;
        std::vector<int> starts; // offsets in the paragraph, with its length last
        std::vector<std::unique_ptr<QTextLayout>> layouts; // null until looked at
        std::vector<qreal> heights; // estimates until laid out
    };
    static constexpr int longBlockLength = 16384;
    static constexpr int chunkLength = 4096;
    static Chunks *chunksOf(const QTextBlock &block);
    static bool isLong(const QTextBlock &block);
    qreal layoutLines(QTextLayout *layout, const QTextBlock &block, bool opening) const;
    qreal layoutChunk(const QTextBlock &block, Chunks &chunks, size_t index) const;
    void ensureChunk(const QTextBlock &block, Chunks &chunks, size_t index) const;
    /// A laid-out part of a block: the whole block, or one chunk of a long one.
    struct Piece
    {
        const QTextLayout *layout = nullptr;
        qreal top = 0; // below the block's top
        int start = 0; // offset of its first character in the block
    };
    /// The piece holding an offset of the block, or, for a negative offset,
    /// the piece at height y below the block's top.
    Piece pieceAt(const QTextBlock &block, int offset, qreal y = 0) const;
    qreal wrapWidth() const;
    qreal estimatedHeight(const QTextBlock &block) const;
    /// Lays the block out if it is not, and records its real height.
    void ensureLayout(const QTextBlock &block) const;
    void layoutBlock(const QTextBlock &block) const;
    void setHeight(int blockNumber, qreal height) const;
    qreal top(int blockNumber) const;
    /// The block whose vertical extent holds y (the last one below the end).
    int blockAt(qreal y) const;
    void resync() const;
    void rebuildTree() const;
    void scheduleSizeUpdate() const;
    void invalidateAll();
    void drawPiece(QPainter *painter, const PaintContext &context, const QTextBlock &block, const Piece &piece,
                   int length, const QPointF &origin, const QRectF &clip) const;
    void drawBullet(QPainter *painter, const QTextBlock &block, const QPointF &origin) const;

    // The layout is filled in as it is read: const queries lay out.
    mutable std::vector<qreal> m_heights;
    mutable std::vector<qreal> m_tree; // Fenwick sums of m_heights, 1-based
    mutable std::vector<int> m_generation; // the wrap generation each block was laid out in
    mutable qreal m_width = 0; // widest line laid out so far
    mutable qreal m_totalHeight = 0;
    mutable bool m_sizeUpdatePending = false;
    mutable bool m_sizeUpdatePosted = false;
    bool m_sizeUpdatesHeld = false;
    qreal m_fixedWrapWidth = 0;
    qreal m_lastWrapWidth = -1;
    QFont m_lastFont;
    mutable qreal m_lastEstimate = -1;
    int m_wrapGeneration = 0;
    bool m_selectionShown = true;
};
