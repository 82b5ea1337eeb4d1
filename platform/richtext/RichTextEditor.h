#pragma once

#include <QTextEdit>

class RichTextView;

/**
 * The editing surface inside RichTextView (not for use on its own).
 *
 * Brings the view's selection up to date before the user acts, refuses the
 * user's edits of protected text, turns mouse and focus events into the view's
 * events, and puts rich text on the clipboard as RTF beside plain text.
 */
class RichTextEditor : public QTextEdit
{
    Q_OBJECT

public:
    explicit RichTextEditor(RichTextView *view);
    /// The view is going: the focus leaving with it concerns nobody.
    void detachView() { m_view = nullptr; }

protected:
    bool event(QEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    QMimeData *createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    /// The range a key would change, or a null cursor when it changes nothing.
    QTextCursor rangeEditedBy(QKeyEvent *event) const;
    void emitMouse(void (RichTextView::*signal)(qint16, qint16, float, float), QMouseEvent *event,
                   Qt::MouseButtons buttons);

    RichTextView *m_view;
    bool m_pressedInside = false;
};
