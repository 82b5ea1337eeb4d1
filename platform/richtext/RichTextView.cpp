#include "RichTextView.h"

#include "RichTextEditor.h"
#include "LazyTextLayout.h"
#include "RichTextFormat.h"
#include "RtfReader.h"
#include "RtfWriter.h"
#include "WidgetFont.h"

#include <AutomationError.h>
#include <Guard.h>
#include <RuntimeErrors.h>

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QScrollBar>
#include <QSaveFile>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextList>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

using namespace RichTextFormat;

namespace {

constexpr int viewUpdateDelayMs = 30;
// Waiting pieces go in by slices of about this long, so that a flood never
// keeps the event loop from the user for long.
constexpr qint64 appendSliceNs = 20'000'000;
// Between frames, what waits goes in on the next turn of the event loop, in
// slices short enough that the next call is answered without a noticeable
// wait: the document fills while the caller sends more, not after it.
constexpr qint64 betweenFramesSliceNs = 2'000'000;
// Pieces of one colour join into one insertion up to about this many characters;
// a longer run would be a slice of its own.
constexpr qsizetype runLimit = 64 * 1024;
// Characters past which replacing the text clears the document first.
constexpr int longDocument = 1 << 20;
constexpr qint32 invalidPropertyValue = 380;
constexpr qint32 invalidPropertyIndex = 381;

[[noreturn]] void raiseError(qint32 number, const QString &description)
{
    throw AutomationError(number, description, Guard::defaultSource());
}

[[noreturn]] void raiseInvalidValue()
{
    raiseError(invalidPropertyValue, QStringLiteral("Invalid property value"));
}

/// The document's raw text of a range with the view's line breaks.
QString plainText(const QTextDocument &document, int from, int to)
{
    QTextCursor cursor(const_cast<QTextDocument *>(&document));
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    const QString selected = cursor.selectedText();
    // Paragraph ends read as CR LF. A soft line break reads as the vertical
    // tab, one character like the position arithmetic counts it. One pass:
    // QString::replace moves the whole rest of a long text again for every
    // thousand paragraphs.
    QString text;
    text.reserve(selected.size() + selected.count(QChar::ParagraphSeparator));
    const QChar *begin = selected.constData();
    const QChar *end = begin + selected.size();
    const auto isSeparator = [](QChar c) { return c == QChar::ParagraphSeparator || c == QChar::LineSeparator; };
    for (const QChar *at = begin; at != end;) {
        const QChar *separator = std::find_if(at, end, isSeparator);
        text.append(at, separator - at);
        if (separator == end)
            break;
        if (*separator == QChar::ParagraphSeparator)
            text.append(QLatin1StringView("\r\n"));
        else
            text.append(QChar(0x0B));
        at = separator + 1;
    }
    return text;
}

QString decodeTextFile(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    // Files from older tools are in the Windows code page; Latin-1 covers
    // all but a few punctuation marks of it.
    return QString::fromLatin1(bytes);
}

QByteArray readWholeFile(const QString &path)
{
    QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        RuntimeErrors::raiseWithDetail(RuntimeErrors::FileNotFound, Guard::defaultSource(), path);
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly))
        RuntimeErrors::raiseWithDetail(RuntimeErrors::PathFileAccessError, Guard::defaultSource(), path);
    return file.readAll();
}

} // namespace

RichTextView::RichTextView(QWidget *parent)
    : QWidget(parent)
{
    m_document = new QTextDocument(this);
    m_document->setUndoRedoEnabled(false);
    m_document->setDocumentMargin(2);
    m_layout = new LazyTextLayout(m_document);
    m_document->setDocumentLayout(m_layout);
    m_editor = new RichTextEditor(this);
    m_editor->setDocument(m_document);
    m_editor->setAcceptRichText(true);
    m_editor->setTabChangesFocus(false);
    auto *box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(m_editor);
    setFocusProxy(m_editor);

    m_font = new WidgetFont(this, this);
    m_selection = QTextCursor(m_document);
    m_frameTimer = new QTimer(this);
    m_frameTimer->setSingleShot(true);
    connect(m_frameTimer, &QTimer::timeout, this, &RichTextView::updateView);
    m_appendTimer = new QTimer(this);
    m_appendTimer->setSingleShot(true);
    m_appendTimer->setInterval(0);
    connect(m_appendTimer, &QTimer::timeout, this, [this] {
        if (!appendPending(betweenFramesSliceNs))
            m_appendTimer->start();
    });

    connect(m_document, &QTextDocument::contentsChanged, this, [this] {
        if (m_quiet == 0)
            emit Change();
    });
    connect(m_editor, &QTextEdit::cursorPositionChanged, this, &RichTextView::takeCursorFromEditor);
    connect(m_editor, &QTextEdit::selectionChanged, this, &RichTextView::takeCursorFromEditor);
    QScrollBar *vertical = m_editor->verticalScrollBar();
    connect(vertical, &QScrollBar::rangeChanged, this, [this, vertical](int, int maximum) {
        if (m_followEnd)
            vertical->setValue(maximum);
    });
    connect(vertical, &QScrollBar::actionTriggered, this, [this] { m_followEnd = false; });
    m_editor->setLineWrapMode(QTextEdit::WidgetWidth);
    setHideSelection(true);
    setRightMargin(0);
    setScrollBars(BothBars);
}

RichTextView::~RichTextView()
{
    dropPending();
    // The editor outlives this object's members while QWidget takes the focus
    // away from it; it must not reach back in by then.
    m_editor->detachView();
}

QVariant RichTextView::nullValue()
{
    return QVariant::fromValue(nullptr);
}

bool RichTextView::isNull(const QVariant &value)
{
    return value.metaType() == QMetaType::fromType<std::nullptr_t>();
}

const QTextDocument &RichTextView::document() const
{
    settle();
    return *m_document;
}

CrLfPosition RichTextView::toCrLf(DocPosition position) const
{
    settle();
    return TextPosition::toCrLf(*m_document, position);
}

DocPosition RichTextView::toDocument(CrLfPosition position) const
{
    settle();
    return TextPosition::toDocument(*m_document, position);
}

// ---------------------------------------------------------------- pieces that wait

void RichTextView::appendLater(const QString &text, qint32 colour, bool lineBreak)
{
    const QChar first = !text.isEmpty() ? text.front() : lineBreak ? QLatin1Char('\r') : QChar();
    PendingRun *run = m_pending.empty() ? nullptr : &m_pending.back();
    // An empty run has only set the caret's colour, which this piece sets anew.
    if (run && !(run->text.isEmpty() || run->colour == colour))
        run = nullptr;
    if (run && (run->text.size() >= runLimit || (run->text.endsWith(QLatin1Char('\r')) && first == QLatin1Char('\n'))))
        run = nullptr;
    if (!run) {
        m_pending.push_back({QString(), colour});
        run = &m_pending.back();
    }
    run->colour = colour;
    if (run->text.isEmpty() && !lineBreak) {
        run->text = text; // shares the caller's string
    } else {
        run->text += text;
        if (lineBreak)
            run->text += QStringLiteral("\r\n");
    }
    countPending(text.size() + (lineBreak ? 2 : 0));
    if (!m_appendTimer->isActive())
        m_appendTimer->start();
    scheduleViewUpdate();
}

namespace {
qint64 waitingInAllViews = 0;
qint64 mostWaitingInAllViews = 0;
} // namespace

void RichTextView::countPending(qint64 characters)
{
    m_pendingCharacters += characters;
    waitingInAllViews += characters;
    mostWaitingInAllViews = std::max(mostWaitingInAllViews, waitingInAllViews);
}

qint64 RichTextView::waitingCharacters()
{
    return waitingInAllViews;
}

qint64 RichTextView::mostWaitingCharacters()
{
    return mostWaitingInAllViews;
}

qint64 RichTextView::heldCharacters() const
{
    return m_document->characterCount();
}

void RichTextView::settle() const
{
    if (!m_pending.empty())
        const_cast<RichTextView *>(this)->appendPending(-1);
}

bool RichTextView::appendPending(qint64 budgetNs)
{
    if (m_pending.empty())
        return true;
    QElapsedTimer clock;
    clock.start();
    // The editor's cursor is dragged along by these edits; it is not the user's.
    m_editorBehind = true;
    forgetUndo();
    ++m_quiet;
    // The view catches up once a frame (syncEditor), not after every slice.
    m_layout->setSizeUpdatesHeld(true);
    m_selection.beginEditBlock();
    QTextCharFormat colour;
    do {
        // Taken off the queue before it goes in, so a call that comes back
        // here meanwhile carries on with the next piece, in order.
        const PendingRun run = std::move(m_pending.front());
        m_pending.pop_front();
        countPending(-run.text.size());
        // Exactly the steps of printing at the end through the members: the
        // caret to the end (a caret already there keeps the format set on it),
        // the colour merged into the caret's format, the text inserted.
        const int end = TextPosition::end(*m_document).value;
        if (m_selection.anchor() != end || m_selection.position() != end)
            m_selection.setPosition(end);
        colour.setForeground(fromColourRef(run.colour));
        m_selection.mergeCharFormat(colour);
        if (!run.text.isEmpty())
            m_selection.insertText(run.text);
    } while (!m_pending.empty() && (budgetNs < 0 || clock.nsecsElapsed() < budgetNs));
    m_selection.endEditBlock();
    m_layout->setSizeUpdatesHeld(false);
    --m_quiet;
    if (!m_frameTimer->isActive())
        m_frameTimer->start(viewUpdateDelayMs);
    return m_pending.empty();
}

void RichTextView::dropPending()
{
    m_pending.clear();
    countPending(-m_pendingCharacters);
}

// ---------------------------------------------------------------- model and view

void RichTextView::scheduleViewUpdate()
{
    m_editorBehind = true;
    if (!m_frameTimer->isActive())
        m_frameTimer->start(viewUpdateDelayMs);
}

void RichTextView::updateView()
{
    // Once a frame: what waits goes in (a slice of it when there is much),
    // then the editor catches up and repaints once.
    const bool allIn = appendPending(appendSliceNs);
    syncEditor();
    if (!allIn)
        m_frameTimer->start(0);
}

void RichTextView::flushCursorToEditor()
{
    settle();
    syncEditor();
}

void RichTextView::syncEditor()
{
    if (!m_editorBehind || m_editBlocks > 0)
        return;
    m_syncing = true;
    m_layout->updateSizeNow();
    m_editor->setTextCursor(m_selection);
    m_syncing = false;
    m_editorBehind = false;
    // A caret at the end keeps the newest line in view even while the lines
    // above it settle to their real heights.
    m_followEnd = !m_selection.hasSelection() && m_selection.position() == TextPosition::end(*m_document).value;
    if (m_followEnd)
        m_editor->verticalScrollBar()->setValue(m_editor->verticalScrollBar()->maximum());
}

void RichTextView::takeCursorFromEditor()
{
    // While the editor lags, its cursor is only being dragged along by the
    // program's own edits; the model's selection is the true one.
    if (m_syncing || m_editorBehind)
        return;
    const QTextCursor cursor = m_editor->textCursor();
    if (cursor.anchor() == m_selection.anchor() && cursor.position() == m_selection.position())
        return;
    m_selection = cursor;
    emit SelChange();
}

void RichTextView::moveSelection(DocPosition anchor, DocPosition position)
{
    if (anchor.value == m_selection.anchor() && position.value == m_selection.position())
        return;
    m_selection.setPosition(anchor.value);
    m_selection.setPosition(position.value, QTextCursor::KeepAnchor);
    selectionMoved();
}

void RichTextView::selectionMoved()
{
    scheduleViewUpdate();
    emit SelChange();
}

void RichTextView::beginEditBlock()
{
    settle();
    if (m_editBlocks++ == 0)
        m_selection.beginEditBlock();
}

void RichTextView::endEditBlock()
{
    settle();
    if (m_editBlocks == 0)
        return;
    if (--m_editBlocks == 0) {
        m_selection.endEditBlock();
        scheduleViewUpdate();
    }
}

void RichTextView::forgetUndo()
{
    // The program's own edits are not the user's to undo, and a debug window
    // that kept them would hold every print twice.
    if (m_document->isUndoRedoEnabled())
        m_document->setUndoRedoEnabled(false);
}

void RichTextView::allowUserUndo()
{
    if (!m_document->isUndoRedoEnabled())
        m_document->setUndoRedoEnabled(true);
}

bool RichTextView::touchesProtected(int from, int to) const
{
    if (!m_anyProtected)
        return false;
    const auto protectedAt = [this](int position) {
        if (position < 0 || position >= TextPosition::end(*m_document).value)
            return false;
        const QTextBlock block = m_document->findBlock(position);
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.contains(position))
                return fragment.charFormat().boolProperty(Protected);
        }
        return false;
    };
    if (from == to)
        return protectedAt(from - 1) && protectedAt(from);
    for (QTextBlock block = m_document->findBlock(from); block.isValid() && block.position() < to;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.position() < to && fragment.position() + fragment.length() > from
                && fragment.charFormat().boolProperty(Protected))
                return true;
        }
    }
    return false;
}

bool RichTextView::userEditAllowed(const QTextCursor &range) const
{
    return !touchesProtected(range.selectionStart(), range.selectionEnd());
}

// ---------------------------------------------------------------- whole text

QString RichTextView::Text() const
{
    settle();
    return plainText(*m_document, 0, TextPosition::end(*m_document).value);
}

qint32 RichTextView::TextLength() const
{
    settle();
    return TextPosition::length(*m_document).value;
}

void RichTextView::setText(const QString &text)
{
    // Whatever waits would be replaced at once.
    dropPending();
    forgetUndo();
    if (m_document->characterCount() > longDocument) {
        // A document keeps the tables of the longest text it held even when
        // its text is removed; cleared, it hands them back.
        ++m_quiet;
        m_document->clear();
        --m_quiet;
    }
    QTextCursor cursor(m_document);
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.setBlockFormat(QTextBlockFormat());
    cursor.setBlockCharFormat(QTextCharFormat());
    cursor.insertText(text, QTextCharFormat());
    cursor.endEditBlock();
    m_anyProtected = false;
    m_selection = QTextCursor(m_document);
    m_selection.movePosition(QTextCursor::End);
    selectionMoved();
}

void RichTextView::replaceAllWithRtf(const QByteArray &rtf, bool utf8)
{
    dropPending();
    forgetUndo();
    QTextCursor cursor(m_document);
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.removeSelectedText();
    cursor.setBlockFormat(QTextBlockFormat());
    cursor.setBlockCharFormat(QTextCharFormat());
    cursor.setCharFormat(QTextCharFormat());
    const RtfReader::Options options {m_document->defaultFont(), utf8};
    const RtfReader::Result result = RtfReader::read(rtf, cursor, options);
    cursor.endEditBlock();
    m_anyProtected = result.hasProtectedText;
    m_selection = QTextCursor(m_document);
    selectionMoved();
}

QString RichTextView::TextRTF() const
{
    settle();
    return QString::fromLatin1(RtfWriter::write(*m_document, m_document->defaultFont()));
}

namespace {

QByteArray rtfBytes(const QString &rtf, bool &utf8)
{
    bool wide = false;
    for (QChar c : rtf) {
        if (c.unicode() > 0xFF) {
            wide = true;
            break;
        }
    }
    utf8 = wide;
    return wide ? rtf.toUtf8() : rtf.toLatin1();
}

} // namespace

void RichTextView::setTextRTF(const QString &rtf)
{
    bool utf8 = false;
    const QByteArray bytes = rtfBytes(rtf, utf8);
    replaceAllWithRtf(bytes, utf8);
}

// ---------------------------------------------------------------- selection

qint32 RichTextView::SelStart() const
{
    settle();
    return toCrLf(DocPosition {m_selection.selectionStart()}).value;
}

void RichTextView::setSelStart(qint32 start)
{
    settle();
    if (start < 0)
        raiseInvalidValue();
    const DocPosition position = toDocument(CrLfPosition {start});
    moveSelection(position, position);
}

qint32 RichTextView::SelLength() const
{
    settle();
    if (!m_selection.hasSelection())
        return 0;
    return toCrLf(DocPosition {m_selection.selectionEnd()}).value
        - toCrLf(DocPosition {m_selection.selectionStart()}).value;
}

void RichTextView::setSelLength(qint32 length)
{
    settle();
    if (length < 0)
        raiseInvalidValue();
    const DocPosition start {m_selection.selectionStart()};
    const DocPosition end = length == 0 ? start : toDocument(CrLfPosition {toCrLf(start).value + length});
    moveSelection(start, end);
}

QString RichTextView::SelText() const
{
    settle();
    return plainText(*m_document, m_selection.selectionStart(), m_selection.selectionEnd());
}

void RichTextView::insertAtSelection(const QString &text)
{
    forgetUndo();
    // The cursor's own format is what the caret carries: the format of the
    // character before it, or whatever SelColor and friends set since it moved.
    const QTextCharFormat format = m_selection.charFormat();
    if (m_selection.hasSelection()) {
        // Replacing keeps the format of the text replaced, not of the text before.
        m_selection.insertText(text, format);
    } else {
        m_selection.insertText(text);
    }
    scheduleViewUpdate();
}

void RichTextView::setSelText(const QString &text)
{
    settle();
    if (touchesProtected(m_selection.selectionStart(), m_selection.selectionEnd()))
        return;
    insertAtSelection(text);
    emit SelChange();
}

QString RichTextView::SelRTF() const
{
    settle();
    return QString::fromLatin1(RtfWriter::write(*m_document, DocPosition {m_selection.selectionStart()},
                                                DocPosition {m_selection.selectionEnd()}, m_document->defaultFont()));
}

void RichTextView::setSelRTF(const QString &rtf)
{
    settle();
    if (touchesProtected(m_selection.selectionStart(), m_selection.selectionEnd()))
        return;
    bool utf8 = false;
    const QByteArray bytes = rtfBytes(rtf, utf8);
    forgetUndo();
    m_selection.beginEditBlock();
    RtfReader::Options options {m_document->defaultFont(), utf8};
    markProtected(RtfReader::read(bytes, m_selection, options).hasProtectedText);
    m_selection.endEditBlock();
    selectionMoved();
}

// ---------------------------------------------------------------- character formats

template<typename Get>
QVariant RichTextView::commonCharValue(Get get) const
{
    settle();
    const int from = m_selection.selectionStart();
    const int to = m_selection.selectionEnd();
    if (from == to)
        return get(m_selection.charFormat());
    QVariant common;
    bool first = true;
    for (QTextBlock block = m_document->findBlock(from); block.isValid() && block.position() < to;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.position() >= to || fragment.position() + fragment.length() <= from)
                continue;
            const QVariant value = get(fragment.charFormat());
            if (first) {
                common = value;
                first = false;
            } else if (value != common) {
                return nullValue();
            }
        }
    }
    // A selection of paragraph breaks only reads as the format they carry.
    return first ? get(m_document->findBlock(from).charFormat()) : common;
}

void RichTextView::mergeChar(const QTextCharFormat &format)
{
    settle();
    forgetUndo();
    // Without a selection this sets what the caret will type; with one it
    // formats the selected text.
    m_selection.mergeCharFormat(format);
    scheduleViewUpdate();
}

QVariant RichTextView::SelColor() const
{
    return commonCharValue([](const QTextCharFormat &format) {
        return QVariant(format.hasProperty(QTextFormat::ForegroundBrush) ? toColourRef(format.foreground().color())
                                                                         : qint32(0));
    });
}

void RichTextView::setSelColor(qint32 colour)
{
    QTextCharFormat format;
    format.setForeground(fromColourRef(colour));
    mergeChar(format);
}

QVariant RichTextView::SelBold() const
{
    return commonCharValue([](const QTextCharFormat &format) { return QVariant(format.fontWeight() >= QFont::Bold); });
}

void RichTextView::setSelBold(bool on)
{
    QTextCharFormat format;
    format.setFontWeight(on ? QFont::Bold : QFont::Normal);
    mergeChar(format);
}

QVariant RichTextView::SelItalic() const
{
    return commonCharValue([](const QTextCharFormat &format) { return QVariant(format.fontItalic()); });
}

void RichTextView::setSelItalic(bool on)
{
    QTextCharFormat format;
    format.setFontItalic(on);
    mergeChar(format);
}

QVariant RichTextView::SelUnderline() const
{
    return commonCharValue([](const QTextCharFormat &format) { return QVariant(format.fontUnderline()); });
}

void RichTextView::setSelUnderline(bool on)
{
    QTextCharFormat format;
    format.setFontUnderline(on);
    mergeChar(format);
}

QVariant RichTextView::SelStrikeThru() const
{
    return commonCharValue([](const QTextCharFormat &format) { return QVariant(format.fontStrikeOut()); });
}

void RichTextView::setSelStrikeThru(bool on)
{
    QTextCharFormat format;
    format.setFontStrikeOut(on);
    mergeChar(format);
}

QVariant RichTextView::SelProtected() const
{
    return commonCharValue([](const QTextCharFormat &format) { return QVariant(format.boolProperty(Protected)); });
}

void RichTextView::setSelProtected(bool on)
{
    QTextCharFormat format;
    format.setProperty(Protected, on);
    markProtected(on);
    mergeChar(format);
}

QVariant RichTextView::SelCharOffset() const
{
    return commonCharValue([](const QTextCharFormat &format) { return QVariant(format.intProperty(CharOffset)); });
}

void RichTextView::setSelCharOffset(qint32 twips)
{
    // Held in whole half-points, the unit a saved file carries it in.
    const qint32 halfPoints = qint32(std::lround(twips / 10.0));
    QTextCharFormat format;
    format.setProperty(CharOffset, halfPoints * 10);
    format.setVerticalAlignment(halfPoints > 0       ? QTextCharFormat::AlignSuperScript
                                    : halfPoints < 0 ? QTextCharFormat::AlignSubScript
                                                     : QTextCharFormat::AlignNormal);
    mergeChar(format);
}

QVariant RichTextView::SelFontName() const
{
    const QString fallback = m_document->defaultFont().family();
    return commonCharValue([&fallback](const QTextCharFormat &format) {
        const QStringList families = format.fontFamilies().toStringList();
        return QVariant(families.isEmpty() ? fallback : families.first());
    });
}

void RichTextView::setSelFontName(const QString &name)
{
    QTextCharFormat format;
    format.setFontFamilies({name});
    mergeChar(format);
}

QVariant RichTextView::SelFontSize() const
{
    const double fallback = m_document->defaultFont().pointSizeF();
    return commonCharValue([fallback](const QTextCharFormat &format) {
        return QVariant(format.hasProperty(QTextFormat::FontPointSize) ? format.fontPointSize() : fallback);
    });
}

void RichTextView::setSelFontSize(double points)
{
    if (!(points >= 1 && points <= 1638))
        raiseInvalidValue();
    QTextCharFormat format;
    format.setFontPointSize(std::round(points * 2) / 2);
    mergeChar(format);
}

// ---------------------------------------------------------------- paragraph formats

template<typename Get>
QVariant RichTextView::commonBlockValue(Get get) const
{
    settle();
    QTextBlock block = m_document->findBlock(m_selection.selectionStart());
    const QTextBlock last = m_document->findBlock(m_selection.selectionEnd());
    const QVariant common = get(block.blockFormat());
    while (block.isValid() && block != last) {
        block = block.next();
        if (get(block.blockFormat()) != common)
            return nullValue();
    }
    return common;
}

void RichTextView::mergeBlock(const QTextBlockFormat &format)
{
    settle();
    forgetUndo();
    m_selection.mergeBlockFormat(format);
    scheduleViewUpdate();
}

QVariant RichTextView::SelAlignment() const
{
    return commonBlockValue([](const QTextBlockFormat &format) {
        const Qt::Alignment horizontal = format.alignment() & Qt::AlignHorizontal_Mask;
        if (horizontal & Qt::AlignRight)
            return QVariant(qint32(AlignRight));
        if (horizontal & Qt::AlignHCenter)
            return QVariant(qint32(AlignCentre));
        return QVariant(qint32(AlignLeft));
    });
}

void RichTextView::setSelAlignment(qint32 alignment)
{
    QTextBlockFormat format;
    switch (alignment) {
    case AlignLeft: format.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute); break;
    case AlignRight: format.setAlignment(Qt::AlignRight | Qt::AlignAbsolute); break;
    case AlignCentre: format.setAlignment(Qt::AlignHCenter); break;
    default: raiseInvalidValue();
    }
    mergeBlock(format);
}

QVariant RichTextView::SelBullet() const
{
    return commonBlockValue([](const QTextBlockFormat &format) { return QVariant(format.boolProperty(Bullet)); });
}

void RichTextView::setSelBullet(bool on)
{
    QTextBlockFormat format;
    format.setProperty(Bullet, on);
    mergeBlock(format);
}

template<typename Edit>
void RichTextView::changeSelectedBlocks(Edit change)
{
    settle();
    forgetUndo();
    for (QTextBlock block = m_document->findBlock(m_selection.selectionStart());
         block.isValid() && block.position() <= m_selection.selectionEnd(); block = block.next()) {
        QTextBlockFormat format = block.blockFormat();
        change(format);
        QTextCursor(block).setBlockFormat(format);
    }
    scheduleViewUpdate();
}

// The document keeps a first-line indent relative to the left margin; the
// control's SelIndent is the first line's own position and SelHangingIndent the
// other lines' distance from it.
QVariant RichTextView::SelIndent() const
{
    return commonBlockValue([](const QTextBlockFormat &format) {
        return QVariant(qint32(toTwips(format.leftMargin() + format.textIndent())));
    });
}

void RichTextView::setSelIndent(qint32 twips)
{
    changeSelectedBlocks([&](QTextBlockFormat &format) {
        const int hanging = -toTwips(format.textIndent());
        format.setLeftMargin(toPixels(twips + hanging));
        format.setTextIndent(toPixels(-hanging));
    });
}

QVariant RichTextView::SelHangingIndent() const
{
    return commonBlockValue(
        [](const QTextBlockFormat &format) { return QVariant(qint32(-toTwips(format.textIndent()))); });
}

void RichTextView::setSelHangingIndent(qint32 twips)
{
    changeSelectedBlocks([&](QTextBlockFormat &format) {
        const int first = toTwips(format.leftMargin() + format.textIndent());
        format.setLeftMargin(toPixels(first + twips));
        format.setTextIndent(toPixels(-twips));
    });
}

QVariant RichTextView::SelRightIndent() const
{
    return commonBlockValue(
        [](const QTextBlockFormat &format) { return QVariant(qint32(toTwips(format.rightMargin()))); });
}

void RichTextView::setSelRightIndent(qint32 twips)
{
    QTextBlockFormat format;
    format.setRightMargin(toPixels(twips));
    mergeBlock(format);
}

QVariant RichTextView::SelTabCount() const
{
    return commonBlockValue(
        [](const QTextBlockFormat &format) { return QVariant(qint32(format.tabPositions().size())); });
}

void RichTextView::setSelTabCount(qint32 count)
{
    if (count < 0 || count > 32)
        raiseInvalidValue();
    changeSelectedBlocks([&](QTextBlockFormat &format) {
        QList<QTextOption::Tab> tabs = format.tabPositions();
        tabs.resize(qMin<qsizetype>(tabs.size(), count));
        while (tabs.size() < count) {
            const int last = tabs.isEmpty() ? 0 : toTwips(tabs.last().position);
            tabs.append(QTextOption::Tab(toPixels(last + defaultTabTwips), QTextOption::LeftTab));
        }
        format.setTabPositions(tabs);
    });
}

QVariant RichTextView::SelTabs(qint32 element) const
{
    const QVariant tabs = commonBlockValue([](const QTextBlockFormat &format) {
        QList<qint32> twips;
        for (const QTextOption::Tab &tab : format.tabPositions())
            twips.append(toTwips(tab.position));
        return QVariant::fromValue(twips);
    });
    if (isNull(tabs))
        return tabs;
    const QList<qint32> list = tabs.value<QList<qint32>>();
    if (element < 0 || element >= list.size())
        raiseError(invalidPropertyIndex, QStringLiteral("Invalid property array index"));
    return list.at(element);
}

void RichTextView::setSelTabs(qint32 element, qint32 twips)
{
    settle();
    if (element < 0 || element >= 32)
        raiseError(invalidPropertyIndex, QStringLiteral("Invalid property array index"));
    if (twips < 0)
        raiseInvalidValue();
    // Every paragraph must have the stop before any of them changes.
    for (QTextBlock block = m_document->findBlock(m_selection.selectionStart());
         block.isValid() && block.position() <= m_selection.selectionEnd(); block = block.next()) {
        if (element >= block.blockFormat().tabPositions().size())
            raiseError(invalidPropertyIndex, QStringLiteral("Invalid property array index"));
    }
    changeSelectedBlocks([&](QTextBlockFormat &format) {
        QList<QTextOption::Tab> tabs = format.tabPositions();
        tabs[element].position = toPixels(twips);
        format.setTabPositions(tabs);
    });
}

// ---------------------------------------------------------------- the control

qint32 RichTextView::BackColor() const
{
    return toColourRef(m_editor->palette().color(QPalette::Base));
}

void RichTextView::setBackColor(qint32 colour)
{
    QPalette palette = m_editor->palette();
    palette.setColor(QPalette::Base, fromColourRef(colour));
    m_editor->setPalette(palette);
}

bool RichTextView::DisableNoScroll() const
{
    return m_disableNoScroll;
}

void RichTextView::setDisableNoScroll(bool on)
{
    m_disableNoScroll = on;
    setScrollBars(m_scrollBars);
}

QString RichTextView::FileName() const
{
    return m_fileName;
}

void RichTextView::setFileName(const QString &path)
{
    LoadFile(path, RtfFile);
}

bool RichTextView::HideSelection() const
{
    return m_hideSelection;
}

void RichTextView::setHideSelection(bool on)
{
    m_hideSelection = on;
    m_layout->setSelectionShown(!on || m_editor->hasFocus());
}

bool RichTextView::Locked() const
{
    return m_editor->isReadOnly();
}

void RichTextView::setLocked(bool on)
{
    m_editor->setReadOnly(on);
}

qint32 RichTextView::RightMargin() const
{
    return m_rightMargin;
}

void RichTextView::setRightMargin(qint32 twips)
{
    if (twips < 0)
        raiseInvalidValue();
    m_rightMargin = twips;
    m_layout->setFixedWrapWidth(twips == 0 ? 0 : toPixels(twips));
}

qint32 RichTextView::ScrollBars() const
{
    return m_scrollBars;
}

void RichTextView::setScrollBars(qint32 mode)
{
    if (mode < NoScrollBars || mode > BothBars)
        raiseInvalidValue();
    m_scrollBars = mode;
    const Qt::ScrollBarPolicy shown = m_disableNoScroll ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded;
    m_editor->setHorizontalScrollBarPolicy((mode & HorizontalBar) ? shown : Qt::ScrollBarAlwaysOff);
    m_editor->setVerticalScrollBarPolicy((mode & VerticalBar) ? shown : Qt::ScrollBarAlwaysOff);
}

WidgetFont *RichTextView::Font() const
{
    return m_font;
}

// ---------------------------------------------------------------- methods

qint32 RichTextView::Find(const QString &text, qint32 start, qint32 end, qint32 options)
{
    settle();
    if (text.isEmpty())
        return -1;
    QTextDocument::FindFlags flags;
    if (options & MatchCase)
        flags |= QTextDocument::FindCaseSensitively;
    if (options & WholeWord)
        flags |= QTextDocument::FindWholeWords;
    const DocPosition from = toDocument(CrLfPosition {qMax(0, start)});
    const QTextCursor found = m_document->find(text, from.value, flags);
    if (found.isNull())
        return -1;
    const qint32 foundAt = toCrLf(DocPosition {found.selectionStart()}).value;
    if (end >= 0 && toCrLf(DocPosition {found.selectionEnd()}).value > end)
        return -1;
    if (!(options & NoHighlight))
        moveSelection(DocPosition {found.selectionStart()}, DocPosition {found.selectionEnd()});
    return foundAt;
}

qint32 RichTextView::GetLineFromChar(qint32 charPosition) const
{
    settle();
    return m_layout->lineOf(toDocument(CrLfPosition {qMax(0, charPosition)}).value);
}

void RichTextView::LoadFile(const QString &path, qint32 fileType)
{
    if (fileType != RtfFile && fileType != PlainTextFile)
        raiseInvalidValue();
    const QByteArray bytes = readWholeFile(path);
    if (fileType == RtfFile && RtfReader::looksLikeRtf(bytes)) {
        replaceAllWithRtf(bytes, false);
    } else {
        setText(decodeTextFile(bytes));
        moveSelection(DocPosition {0}, DocPosition {0});
    }
    m_fileName = path;
}

void RichTextView::SaveFile(const QString &path, qint32 fileType)
{
    if (fileType != RtfFile && fileType != PlainTextFile)
        raiseInvalidValue();
    settle();
    const QByteArray bytes
        = fileType == RtfFile ? RtfWriter::write(*m_document, m_document->defaultFont()) : Text().toUtf8();
    QSaveFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        RuntimeErrors::raiseWithDetail(RuntimeErrors::PathFileAccessError, Guard::defaultSource(), path);
    m_fileName = path;
}

void RichTextView::Refresh()
{
    flushCursorToEditor();
    m_editor->viewport()->repaint();
}

void RichTextView::SelPrint(QPrinter &printer)
{
    settle();
    QTextDocument copy;
    copy.setDefaultFont(m_document->defaultFont());
    QTextCursor target(&copy);
    const bool whole = !m_selection.hasSelection();
    const int from = whole ? 0 : m_selection.selectionStart();
    const int to = whole ? TextPosition::end(*m_document).value : m_selection.selectionEnd();
    QTextCursor source(m_document);
    source.setPosition(from);
    source.setPosition(to, QTextCursor::KeepAnchor);
    target.insertFragment(source.selection());
    // Paper shows bullets the way Qt's own layout draws lists.
    for (QTextBlock block = copy.begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().boolProperty(Bullet) && !block.textList()) {
            QTextListFormat list;
            list.setStyle(QTextListFormat::ListDisc);
            list.setIndent(0);
            QTextCursor(block).createList(list);
        }
    }
    copy.print(&printer);
}

// ---------------------------------------------------------------- editing commands

void RichTextView::cut()
{
    flushCursorToEditor();
    if (!m_editor->isReadOnly() && userEditAllowed(m_editor->textCursor())) {
        allowUserUndo();
        m_editor->cut();
    }
}

void RichTextView::copy()
{
    flushCursorToEditor();
    m_editor->copy();
}

void RichTextView::paste()
{
    flushCursorToEditor();
    if (!m_editor->isReadOnly()) {
        allowUserUndo();
        m_editor->paste();
    }
}

void RichTextView::deleteSelection()
{
    flushCursorToEditor();
    if (m_editor->isReadOnly())
        return;
    QTextCursor cursor = m_editor->textCursor();
    // With nothing selected the command is the Delete key: the character after the caret goes.
    if (!cursor.hasSelection())
        cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
    if (!cursor.hasSelection() || !userEditAllowed(cursor))
        return;
    allowUserUndo();
    cursor.removeSelectedText();
    m_editor->setTextCursor(cursor);
}

void RichTextView::selectAll()
{
    settle();
    moveSelection(DocPosition {0}, TextPosition::end(*m_document));
}

void RichTextView::focusChanged()
{
    m_layout->setSelectionShown(!m_hideSelection || m_editor->hasFocus());
}
