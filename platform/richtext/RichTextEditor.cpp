#include "RichTextEditor.h"

#include "FocusChange.h"
#include "RichTextView.h"
#include "RtfReader.h"
#include "RtfWriter.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextDocument>

#include <Twips.h>

namespace {

const QString rtfMime = QStringLiteral("text/rtf");
const QString rtfMimeAlias = QStringLiteral("application/rtf");

qint16 buttonsCode(Qt::MouseButtons buttons)
{
    qint16 code = 0;
    if (buttons & Qt::LeftButton)
        code |= RichTextView::LeftButton;
    if (buttons & Qt::RightButton)
        code |= RichTextView::RightButton;
    if (buttons & Qt::MiddleButton)
        code |= RichTextView::MiddleButton;
    return code;
}

qint16 shiftCode(Qt::KeyboardModifiers modifiers)
{
    qint16 code = 0;
    if (modifiers & Qt::ShiftModifier)
        code |= RichTextView::ShiftKey;
    if (modifiers & Qt::ControlModifier)
        code |= RichTextView::CtrlKey;
    if (modifiers & Qt::AltModifier)
        code |= RichTextView::AltKey;
    return code;
}

bool isEditingKey(QKeyEvent *event)
{
    return event == QKeySequence::Cut || event == QKeySequence::Paste || event == QKeySequence::Delete
        || event == QKeySequence::DeleteEndOfWord || event == QKeySequence::DeleteStartOfWord
        || event == QKeySequence::DeleteEndOfLine || event == QKeySequence::DeleteCompleteLine
        || event == QKeySequence::InsertParagraphSeparator || event == QKeySequence::InsertLineSeparator
        || event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Tab
        || (!event->text().isEmpty() && event->text().at(0).isPrint());
}

} // namespace

RichTextEditor::RichTextEditor(RichTextView *view)
    : QTextEdit(view)
    , m_view(view)
{
    viewport()->setMouseTracking(true);
    // The window owns the right button: it shows its own menu on MouseDown.
    setContextMenuPolicy(Qt::PreventContextMenu);
}

bool RichTextEditor::event(QEvent *event)
{
    if (!m_view)
        return QTextEdit::event(event);
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
    case QEvent::InputMethod:
    case QEvent::FocusIn: m_view->flushCursorToEditor(); break;
    case QEvent::KeyRelease:
    case QEvent::FocusOut: m_view->settle(); break;
    default: break;
    }
    return QTextEdit::event(event);
}

bool RichTextEditor::viewportEvent(QEvent *event)
{
    if (!m_view)
        return QTextEdit::viewportEvent(event);
    // The user acts on the text as it stands with every piece printed so far.
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: m_view->settle(); break;
    default: break;
    }
    return QTextEdit::viewportEvent(event);
}

QTextCursor RichTextEditor::rangeEditedBy(QKeyEvent *event) const
{
    if (isReadOnly() || !isEditingKey(event))
        return {};
    QTextCursor range = textCursor();
    if (range.hasSelection() || event == QKeySequence::Paste || event == QKeySequence::Cut)
        return range;
    const auto extend = [&range](QTextCursor::MoveOperation move) {
        range.movePosition(move, QTextCursor::KeepAnchor);
        return range;
    };
    if (event->key() == Qt::Key_Backspace)
        return extend(QTextCursor::PreviousCharacter);
    if (event == QKeySequence::Delete)
        return extend(QTextCursor::NextCharacter);
    if (event == QKeySequence::DeleteEndOfWord)
        return extend(QTextCursor::EndOfWord);
    if (event == QKeySequence::DeleteStartOfWord)
        return extend(QTextCursor::StartOfWord);
    if (event == QKeySequence::DeleteEndOfLine)
        return extend(QTextCursor::EndOfBlock);
    if (event == QKeySequence::DeleteCompleteLine) {
        range.movePosition(QTextCursor::StartOfBlock);
        return extend(QTextCursor::EndOfBlock);
    }
    return range; // typing at the caret
}

void RichTextEditor::keyPressEvent(QKeyEvent *event)
{
    const QTextCursor range = rangeEditedBy(event);
    if (!range.isNull()) {
        if (!m_view->userEditAllowed(range)) {
            event->accept();
            return;
        }
        m_view->allowUserUndo();
    }
    QTextEdit::keyPressEvent(event);
}

void RichTextEditor::inputMethodEvent(QInputMethodEvent *event)
{
    if (!event->commitString().isEmpty() && !isReadOnly()) {
        if (!m_view->userEditAllowed(textCursor())) {
            event->accept();
            return;
        }
        m_view->allowUserUndo();
    }
    QTextEdit::inputMethodEvent(event);
}

void RichTextEditor::emitMouse(void (RichTextView::*signal)(qint16, qint16, float, float), QMouseEvent *event,
                               Qt::MouseButtons buttons)
{
    const QPointF at = viewport()->mapTo(m_view, event->position().toPoint());
    emit(m_view->*signal)(buttonsCode(buttons), shiftCode(event->modifiers()), float(at.x() * Twips::perPixelX()),
                          float(at.y() * Twips::perPixelY()));
}

void RichTextEditor::mousePressEvent(QMouseEvent *event)
{
    m_view->flushCursorToEditor();
    m_pressedInside = true;
    QTextEdit::mousePressEvent(event);
    emitMouse(&RichTextView::MouseDown, event, event->button());
}

void RichTextEditor::mouseReleaseEvent(QMouseEvent *event)
{
    QTextEdit::mouseReleaseEvent(event);
    emitMouse(&RichTextView::MouseUp, event, event->button());
    if (m_pressedInside && viewport()->rect().contains(event->position().toPoint()))
        emit m_view->Click();
    m_pressedInside = false;
}

void RichTextEditor::mouseDoubleClickEvent(QMouseEvent *event)
{
    m_view->flushCursorToEditor();
    QTextEdit::mouseDoubleClickEvent(event);
    emit m_view->DblClick();
}

void RichTextEditor::mouseMoveEvent(QMouseEvent *event)
{
    QTextEdit::mouseMoveEvent(event);
    emitMouse(&RichTextView::MouseMove, event, event->buttons());
}

void RichTextEditor::focusInEvent(QFocusEvent *event)
{
    QTextEdit::focusInEvent(event);
    if (!m_view)
        return;
    m_view->focusChanged();
    if (FocusChange::isControlFocusChange(*event))
        emit m_view->GotFocus();
}

void RichTextEditor::focusOutEvent(QFocusEvent *event)
{
    QTextEdit::focusOutEvent(event);
    if (!m_view)
        return;
    m_view->focusChanged();
    if (FocusChange::isControlFocusChange(*event))
        emit m_view->LostFocus();
}

void RichTextEditor::dropEvent(QDropEvent *event)
{
    m_view->flushCursorToEditor();
    const QTextCursor target = cursorForPosition(event->position().toPoint());
    if (isReadOnly() || !m_view->userEditAllowed(target)
        || (event->source() == this && event->dropAction() == Qt::MoveAction
            && !m_view->userEditAllowed(textCursor()))) {
        event->ignore();
        return;
    }
    m_view->allowUserUndo();
    QTextEdit::dropEvent(event);
}

QMimeData *RichTextEditor::createMimeDataFromSelection() const
{
    auto *data = new QMimeData;
    const QTextCursor selection = textCursor();
    QString text = selection.selectedText();
    text.replace(QChar::ParagraphSeparator, QStringLiteral("\n"));
    text.replace(QChar::LineSeparator, QStringLiteral("\n"));
    data->setText(text);
    const QByteArray rtf = RtfWriter::write(*document(), DocPosition {selection.selectionStart()},
                                            DocPosition {selection.selectionEnd()}, document()->defaultFont());
    data->setData(rtfMime, rtf);
    data->setData(rtfMimeAlias, rtf);
    return data;
}

bool RichTextEditor::canInsertFromMimeData(const QMimeData *source) const
{
    return source->hasText() || source->hasFormat(rtfMime) || source->hasFormat(rtfMimeAlias);
}

void RichTextEditor::insertFromMimeData(const QMimeData *source)
{
    if (isReadOnly())
        return;
    QTextCursor cursor = textCursor();
    if (!m_view->userEditAllowed(cursor))
        return;
    for (const QString &format : {rtfMime, rtfMimeAlias}) {
        if (source->hasFormat(format)) {
            RtfReader::Options options;
            options.defaultFont = document()->defaultFont();
            cursor.beginEditBlock();
            m_view->markProtected(RtfReader::read(source->data(format), cursor, options).hasProtectedText);
            cursor.endEditBlock();
            setTextCursor(cursor);
            return;
        }
    }
    // Pasted plain text takes the caret's format, never the clipboard's HTML.
    cursor.insertText(source->text());
    setTextCursor(cursor);
}
