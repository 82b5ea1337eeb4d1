#pragma once

#include "TextPosition.h"

#include <QTextCharFormat>
#include <QTextCursor>
#include <QVariant>
#include <QWidget>

#include <deque>

class QPrinter;
class QTextDocument;
class QTimer;
class LazyTextLayout;
class RichTextEditor;
class WidgetFont;

/**
 * The rich-text view that holds a debug window's text (`rtbDetails`).
 *
 * It behaves like the rich-text edit control the system was written for:
 * positions count from 0 and a line break counts as the two characters CR LF;
 * `Text` gives CR LF between lines; a selection property read over mixed
 * formatting gives the null value (see isNull()); colours are 0x00BBGGRR;
 * indents, tab stops and the right margin are in twips.
 *
 * Printing a coloured line, the way a debug window does it:
 *
 *     view->setSelStart(view->TextLength());
 *     view->setSelColor(255);
 *     view->setSelText(QStringLiteral("failed\r\n"));
 *     view->setSelLength(0);
 *
 * Every call leaves the text, the selection and the formats exact at once;
 * only layout, repainting and scrolling wait for the event loop, so a burst of
 * prints costs little more than filling a bare document. Bursts go faster
 * still between beginEditBlock() and endEditBlock().
 *
 * A program that only appends can go faster again with appendLater(): the
 * piece waits with the others that came since, and they go into the document
 * together on the next turn of the event loop, pieces of one colour as one
 * insertion; the view lays out and repaints once a frame.
 * Every member of the view and every input of the user appends what waits
 * before it does anything else, so nobody can tell the pieces arrived late.
 *
 * Invalid values (a bad file name, a tab index out of range) throw the
 * system's AutomationError with the control's usual numbers.
 */
class RichTextView : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString Text READ Text WRITE setText)
    Q_PROPERTY(QString TextRTF READ TextRTF WRITE setTextRTF)
    Q_PROPERTY(qint32 SelStart READ SelStart WRITE setSelStart)
    Q_PROPERTY(qint32 SelLength READ SelLength WRITE setSelLength)
    Q_PROPERTY(QString SelText READ SelText WRITE setSelText)
    Q_PROPERTY(QString SelRTF READ SelRTF WRITE setSelRTF)
    Q_PROPERTY(qint32 BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(bool DisableNoScroll READ DisableNoScroll WRITE setDisableNoScroll)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(QString FileName READ FileName WRITE setFileName)
    Q_PROPERTY(bool HideSelection READ HideSelection WRITE setHideSelection)
    Q_PROPERTY(bool Locked READ Locked WRITE setLocked)
    Q_PROPERTY(qint32 RightMargin READ RightMargin WRITE setRightMargin)
    Q_PROPERTY(qint32 ScrollBars READ ScrollBars WRITE setScrollBars)

public:
    enum FileType : qint32 {
        RtfFile = 0,
        PlainTextFile = 1
    };
    enum ScrollBarsMode : qint32 {
        NoScrollBars = 0,
        HorizontalBar = 1,
        VerticalBar = 2,
        BothBars = 3
    };
    enum Alignment : qint32 {
        AlignLeft = 0,
        AlignRight = 1,
        AlignCentre = 2
    };
    /// Options of Find, as the control numbers them.
    enum FindOption : qint32 {
        WholeWord = 2,
        MatchCase = 4,
        NoHighlight = 8
    };
    /// Mouse buttons and shift states of the mouse events.
    enum MouseButton : qint16 {
        LeftButton = 1,
        RightButton = 2,
        MiddleButton = 4
    };
    enum ShiftState : qint16 {
        ShiftKey = 1,
        CtrlKey = 2,
        AltKey = 4
    };

    explicit RichTextView(QWidget *parent = nullptr);
    ~RichTextView() override;

    /// The value a selection property reads over mixed formatting.
    static QVariant nullValue();
    static bool isNull(const QVariant &value);

    // Whole text
    QString Text() const;
    void setText(const QString &text);
    QString TextRTF() const;
    void setTextRTF(const QString &rtf);
    /// Length of Text() without building it.
    qint32 TextLength() const;

    // Selection (positions count CR LF as two)
    qint32 SelStart() const;
    void setSelStart(qint32 start);
    qint32 SelLength() const;
    void setSelLength(qint32 length);
    QString SelText() const;
    /// Refused (nothing changes) when the edit would touch protected text.
    void setSelText(const QString &text);
    QString SelRTF() const;
    void setSelRTF(const QString &rtf);

    // Character formats of the selection: null when mixed
    QVariant SelColor() const;
    void setSelColor(qint32 colour);
    QVariant SelBold() const;
    void setSelBold(bool on);
    QVariant SelItalic() const;
    void setSelItalic(bool on);
    QVariant SelUnderline() const;
    void setSelUnderline(bool on);
    QVariant SelStrikeThru() const;
    void setSelStrikeThru(bool on);
    QVariant SelProtected() const;
    void setSelProtected(bool on);
    /// Raise (positive) or lowering (negative) from the baseline, in twips.
    QVariant SelCharOffset() const;
    void setSelCharOffset(qint32 twips);
    QVariant SelFontName() const;
    void setSelFontName(const QString &name);
    /// In points.
    QVariant SelFontSize() const;
    void setSelFontSize(double points);

    // Paragraph formats of the selection: null when mixed
    QVariant SelAlignment() const;
    void setSelAlignment(qint32 alignment);
    QVariant SelBullet() const;
    void setSelBullet(bool on);
    /// Left indent of a paragraph's first line, in twips.
    QVariant SelIndent() const;
    void setSelIndent(qint32 twips);
    /// Indent of the following lines relative to the first, in twips.
    QVariant SelHangingIndent() const;
    void setSelHangingIndent(qint32 twips);
    QVariant SelRightIndent() const;
    void setSelRightIndent(qint32 twips);
    QVariant SelTabCount() const;
    void setSelTabCount(qint32 count);
    /// Tab stop number element (from 0), in twips.
    QVariant SelTabs(qint32 element) const;
    void setSelTabs(qint32 element, qint32 twips);

    // The control
    qint32 BackColor() const;
    void setBackColor(qint32 colour);
    bool DisableNoScroll() const;
    void setDisableNoScroll(bool on);
    bool Enabled() const { return isEnabled(); }
    QString FileName() const;
    /// Loads the file as rich text, like LoadFile.
    void setFileName(const QString &path);
    bool HideSelection() const;
    void setHideSelection(bool on);
    bool Locked() const;
    void setLocked(bool on);
    /// 0 wraps lines at the view's edge; any other value wraps at that many twips.
    qint32 RightMargin() const;
    void setRightMargin(qint32 twips);
    qint32 ScrollBars() const;
    void setScrollBars(qint32 mode);
    /// The view's one default font, live: a change through it shows at once.
    WidgetFont *Font() const;

    // Methods
    /// Position of the first match at or after start (and before end, when end
    /// is not negative), or -1. Selects the match unless NoHighlight is given.
    qint32 Find(const QString &text, qint32 start = 0, qint32 end = -1, qint32 options = 0);
    /// Number of the display line (from 0) that holds the character.
    qint32 GetLineFromChar(qint32 charPosition) const;
    void LoadFile(const QString &path, qint32 fileType = RtfFile);
    void SaveFile(const QString &path, qint32 fileType = RtfFile);
    void Refresh();
    /// Prints the selection, or the whole text when nothing is selected.
    void SelPrint(QPrinter &printer);

    // Editing commands of the window
    void cut();
    void copy();
    void paste();
    /// Deletes the selection, like the Delete key.
    void deleteSelection();
    void selectAll();

    /// Prints at the end, as setSelStart(TextLength()), setSelColor(colour),
    /// setSelText(text plus CR LF when lineBreak) and setSelLength(0) do, but
    /// in O(1): the piece waits for the next turn of the event loop. Raises neither Change nor
    /// SelChange, for this piece or when it goes in; callers who have someone
    /// listening to those print the long way.
    void appendLater(const QString &text, qint32 colour, bool lineBreak);
    /// Appends every piece that waits, now. Every member does this first.
    void settle() const;
    /// Whether pieces wait to be appended.
    bool hasPending() const { return !m_pending.empty(); }
    /// Characters waiting to go in, in every view of the process.
    static qint64 waitingCharacters();
    /// The most that ever waited at once, in every view of the process.
    static qint64 mostWaitingCharacters();
    /// Characters the document holds now, without the pieces that wait (no settling).
    qint64 heldCharacters() const;

    /// Groups the changes until the matching endEditBlock(): listeners of the
    /// document hear of them once, so long bursts of prints go faster. Nests.
    void beginEditBlock();
    void endEditBlock();

    /// The document underneath (read it; change it through the view).
    const QTextDocument &document() const;
    CrLfPosition toCrLf(DocPosition position) const;
    DocPosition toDocument(CrLfPosition position) const;

signals:
    void Change();
    void Click();
    void DblClick();
    void GotFocus();
    void LostFocus();
    void MouseDown(qint16 button, qint16 shift, float x, float y);
    void MouseUp(qint16 button, qint16 shift, float x, float y);
    void MouseMove(qint16 button, qint16 shift, float x, float y);
    void SelChange();

private:
    friend class RichTextEditor;

    // Called by the editor around the user's own actions.
    void flushCursorToEditor();
    void takeCursorFromEditor();
    bool userEditAllowed(const QTextCursor &range) const;
    void allowUserUndo();
    void focusChanged();
    void markProtected(bool any) { m_anyProtected = m_anyProtected || any; }

    /// Appends waiting pieces until they are all in or budgetNs (when not
    /// negative) has passed; true when nothing waits any longer.
    bool appendPending(qint64 budgetNs);
    void dropPending();
    void syncEditor();

    void moveSelection(DocPosition anchor, DocPosition position);
    void selectionMoved();
    void scheduleViewUpdate();
    void updateView();
    bool touchesProtected(int from, int to) const;
    void insertAtSelection(const QString &text);
    void replaceAllWithRtf(const QByteArray &rtf, bool utf8);
    template<typename Get>
    QVariant commonCharValue(Get get) const;
    template<typename Get>
    QVariant commonBlockValue(Get get) const;
    void mergeChar(const QTextCharFormat &format);
    void mergeBlock(const QTextBlockFormat &format);
    /// Applies a change to the format of every paragraph the selection touches.
    template<typename Edit>
    void changeSelectedBlocks(Edit change);
    void forgetUndo();

    QTextDocument *m_document = nullptr;
    LazyTextLayout *m_layout = nullptr;
    RichTextEditor *m_editor = nullptr;
    WidgetFont *m_font = nullptr;
    QTextCursor m_selection;
    /// A run of waiting pieces that goes in as one insertion: one colour, and
    /// never a CR of one piece before the LF of the next (apart they make two
    /// line breaks, together one).
    struct PendingRun
    {
        QString text;
        qint32 colour = 0;
    };
    std::deque<PendingRun> m_pending;
    qint64 m_pendingCharacters = 0;
    void countPending(qint64 characters);
    QTimer *m_frameTimer = nullptr;
    QTimer *m_appendTimer = nullptr; // what waits goes in between frames too
    int m_quiet = 0; // appending waiting pieces: Change stays silent
    QString m_fileName;
    qint32 m_rightMargin = 0;
    qint32 m_scrollBars = BothBars;
    bool m_disableNoScroll = false;
    bool m_hideSelection = true;
    bool m_anyProtected = false; // spares the protection check until text is protected
    bool m_editorBehind = false; // the editor's cursor lags the model's selection
    bool m_syncing = false;
    bool m_followEnd = true; // the view sticks to the newest line
    int m_editBlocks = 0;
};
