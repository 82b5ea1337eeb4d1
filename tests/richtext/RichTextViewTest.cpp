#include "RichTextView.h"
#include "WidgetFont.h"

#include <AutomationError.h>

#include <QRegularExpression>
#include <QTextDocument>

#include <gtest/gtest.h>

#include "QtPrinters.h"

namespace {

/// What the debug window does for one print.
void print(RichTextView &view, const QString &text, qint32 colour, bool crlf = true)
{
    view.setSelStart(view.TextLength());
    view.setSelColor(colour);
    view.setSelText(crlf ? text + QStringLiteral("\r\n") : text);
    view.setSelLength(0);
}

} // namespace

TEST(RichTextView, PositionsCountALineBreakAsTwo)
{
    RichTextView view;
    view.setText(QStringLiteral("ab\r\ncd\nef\rgh"));
    EXPECT_EQ(view.Text(), QStringLiteral("ab\r\ncd\r\nef\r\ngh"));
    EXPECT_EQ(view.TextLength(), view.Text().size());

    struct Row
    {
        qint32 start;
        qint32 length;
        const char *selected;
    };
    const Row rows[] = {
        {0, 2, "ab"},     {2, 2, "\r\n"}, {4, 2, "cd"},
        {3, 3, "cd\r\n"}, // from the LF: the next line, whose start the length counts from
        {1, 4, "b\r\nc"}, {12, 2, "gh"},  {13, 5, "h"}, // clamped at the end
        {99, 1, ""},
    };
    for (const Row &row : rows) {
        view.setSelStart(row.start);
        view.setSelLength(row.length);
        EXPECT_EQ(view.SelText(), QString::fromLatin1(row.selected)) << row.start << "+" << row.length;
    }
    view.setSelStart(view.TextLength());
    EXPECT_EQ(view.SelStart(), 14);
    view.setSelStart(6);
    EXPECT_EQ(view.SelStart(), 6); // the CR of the second break
    view.setSelLength(2);
    view.setSelText(QString());
    EXPECT_EQ(view.Text(), QStringLiteral("ab\r\ncdef\r\ngh"));
}

TEST(RichTextView, PrintsAppendAtTheEndInTheirColours)
{
    RichTextView view;
    print(view, QStringLiteral("x"), 255, false);
    print(view, QStringLiteral("y"), 16711680);
    print(view, QStringLiteral("abc"), 0);
    EXPECT_EQ(view.Text(), QStringLiteral("xy\r\nabc\r\n"));
    EXPECT_EQ(view.SelStart(), view.TextLength());

    const struct
    {
        qint32 start;
        QVariant colour;
    } rows[] = {
        {0, 255},
        {1, 16711680},
        {4, 0},
    };
    for (const auto &row : rows) {
        view.setSelStart(row.start);
        view.setSelLength(1);
        EXPECT_EQ(view.SelColor(), row.colour) << row.start;
    }
    view.setSelStart(0);
    view.setSelLength(2);
    EXPECT_TRUE(RichTextView::isNull(view.SelColor()));

    // The user's selection in the middle does not stop a print going to the end.
    view.setSelStart(1);
    view.setSelLength(3);
    print(view, QStringLiteral("z"), 32768);
    EXPECT_EQ(view.Text(), QStringLiteral("xy\r\nabc\r\nz\r\n"));
    EXPECT_EQ(view.SelStart(), view.TextLength());
    EXPECT_EQ(view.SelLength(), 0);
}

TEST(RichTextView, SelectionFormatsReadBackAndMixedReadsNull)
{
    RichTextView view;
    view.setText(QStringLiteral("plain bold\r\nsecond"));
    view.setSelStart(6);
    view.setSelLength(4);
    view.setSelBold(true);
    view.setSelItalic(true);
    view.setSelUnderline(true);
    view.setSelStrikeThru(true);
    view.setSelFontName(QStringLiteral("DejaVu Serif"));
    view.setSelFontSize(14);
    view.setSelCharOffset(60);
    view.setSelProtected(true);

    using Getter = QVariant (RichTextView::*)() const;
    const struct
    {
        const char *name;
        Getter get;
        QVariant inside;
    } rows[] = {
        {"SelBold", &RichTextView::SelBold, true},
        {"SelItalic", &RichTextView::SelItalic, true},
        {"SelUnderline", &RichTextView::SelUnderline, true},
        {"SelStrikeThru", &RichTextView::SelStrikeThru, true},
        {"SelFontName", &RichTextView::SelFontName, QStringLiteral("DejaVu Serif")},
        {"SelFontSize", &RichTextView::SelFontSize, 14.0},
        {"SelCharOffset", &RichTextView::SelCharOffset, 60},
        {"SelProtected", &RichTextView::SelProtected, true},
    };
    for (const auto &row : rows) {
        view.setSelStart(6);
        view.setSelLength(4);
        EXPECT_EQ((view.*row.get)(), row.inside) << row.name;
        view.setSelStart(4);
        view.setSelLength(4);
        EXPECT_TRUE(RichTextView::isNull((view.*row.get)())) << row.name << " over mixed text";
        view.setSelStart(7); // the caret takes the format of the character before it
        view.setSelLength(0);
        EXPECT_EQ((view.*row.get)(), row.inside) << row.name << " at the caret";
    }
}

TEST(RichTextView, ParagraphFormatsReadBackPerParagraph)
{
    RichTextView view;
    view.setText(QStringLiteral("one\r\ntwo\r\nthree"));
    view.setSelStart(0);
    view.setSelLength(1);
    view.setSelAlignment(RichTextView::AlignCentre);
    view.setSelIndent(720);
    view.setSelHangingIndent(360);
    view.setSelRightIndent(144);
    view.setSelBullet(true);
    view.setSelTabCount(2);
    view.setSelTabs(1, 2000);

    EXPECT_EQ(view.SelAlignment(), RichTextView::AlignCentre);
    EXPECT_EQ(view.SelIndent(), 720);
    EXPECT_EQ(view.SelHangingIndent(), 360);
    EXPECT_EQ(view.SelRightIndent(), 144);
    EXPECT_EQ(view.SelBullet(), true);
    EXPECT_EQ(view.SelTabCount(), 2);
    EXPECT_EQ(view.SelTabs(0), 720);
    EXPECT_EQ(view.SelTabs(1), 2000);
    // Changing the indent keeps the hanging indent, and the reverse.
    view.setSelIndent(100);
    EXPECT_EQ(view.SelHangingIndent(), 360);
    view.setSelHangingIndent(-50);
    EXPECT_EQ(view.SelIndent(), 100);

    view.setSelStart(2);
    view.setSelLength(4); // across the first two paragraphs
    for (auto get : {&RichTextView::SelAlignment, &RichTextView::SelIndent, &RichTextView::SelBullet,
                     &RichTextView::SelTabCount, &RichTextView::SelRightIndent})
        EXPECT_TRUE(RichTextView::isNull((view.*get)()));
    EXPECT_TRUE(RichTextView::isNull(view.SelTabs(0)));
    view.setSelStart(6);
    view.setSelLength(0);
    EXPECT_EQ(view.SelAlignment(), RichTextView::AlignLeft);
    EXPECT_THROW(view.SelTabs(0), AutomationError);
}

TEST(RichTextView, ProtectedTextRefusesEditsAndLockedRefusesTheUser)
{
    RichTextView view;
    view.setText(QStringLiteral("keep this, change that"));
    view.setSelStart(0);
    view.setSelLength(9);
    view.setSelProtected(true);

    const struct
    {
        qint32 start;
        qint32 length;
        bool allowed;
    } rows[] = {
        {2, 3, false}, // inside
        {8, 4, false}, // overlapping the end
        {4, 0, false}, // inserting inside the run
        {9, 0, true}, // right after it
        {0, 0, true}, // right before it
        {11, 6, true}, // elsewhere
    };
    for (const auto &row : rows) {
        const QString before = view.Text();
        view.setSelStart(row.start);
        view.setSelLength(row.length);
        view.setSelText(QStringLiteral("#"));
        EXPECT_EQ(view.Text() != before, row.allowed) << row.start << "+" << row.length;
    }
    // Printing at the end always works.
    print(view, QStringLiteral("end"), 0);
    EXPECT_TRUE(view.Text().endsWith(QStringLiteral("end\r\n")));

    view.setLocked(true);
    EXPECT_TRUE(view.Locked());
    print(view, QStringLiteral("still printed"), 0);
    EXPECT_TRUE(view.Text().endsWith(QStringLiteral("still printed\r\n")));
}

TEST(RichTextView, RightMarginChoosesTheWrap)
{
    RichTextView view;
    view.resize(200, 200);
    view.show();
    const QString line = QString(200, QLatin1Char('w'))
                             .replace(QRegularExpression(QStringLiteral("w{10}")), QStringLiteral("wwwwwwwww "));
    view.setText(line);
    view.setRightMargin(0);
    EXPECT_GT(view.GetLineFromChar(199), 3) << "wraps at the view's edge";
    view.setRightMargin(99999);
    EXPECT_EQ(view.GetLineFromChar(199), 0) << "a wide margin does not wrap";
    view.setRightMargin(1500); // 100 pixels
    EXPECT_GT(view.GetLineFromChar(199), view.GetLineFromChar(100));
    EXPECT_EQ(view.RightMargin(), 1500);
}

TEST(RichTextView, FontIsLiveAndShared)
{
    RichTextView view;
    WidgetFont *one = view.Font();
    WidgetFont two(&view);
    one->setName(QStringLiteral("DejaVu Sans Mono"));
    one->setSize(9);
    two.setBold(true);
    EXPECT_TRUE(one->Bold());
    EXPECT_EQ(two.Size(), 9);
    EXPECT_EQ(view.document().defaultFont().pointSize(), 9);
    EXPECT_TRUE(view.document().defaultFont().bold());
}

TEST(RichTextView, SelTextAgreesWithTextAtEveryPosition)
{
    RichTextView view;
    QString text;
    for (int line = 0; line < 300; ++line)
        text += QString((line * 7) % 13, QLatin1Char('a' + line % 26)) + QStringLiteral("\r\n");
    view.setText(text);
    ASSERT_EQ(view.Text(), text);
    ASSERT_EQ(view.TextLength(), text.size());
    int checked = 0;
    for (qint32 start = 0; start < text.size(); start += 3) {
        // Ranges that do not start or end between a CR and its LF.
        if (start > 0 && text.at(start) == QLatin1Char('\n'))
            continue;
        for (const qint32 length : {0, 1, 5, 40}) {
            const qint32 end = qMin<qint32>(start + length, qint32(text.size()));
            if (end > 0 && end < text.size() && text.at(end) == QLatin1Char('\n'))
                continue;
            view.setSelStart(start);
            view.setSelLength(end - start);
            ASSERT_EQ(view.SelStart(), start);
            ASSERT_EQ(view.SelLength(), end - start);
            ASSERT_EQ(view.SelText(), text.mid(start, end - start)) << start << "+" << length;
            ++checked;
        }
    }
    EXPECT_GT(checked, 1000);
}
