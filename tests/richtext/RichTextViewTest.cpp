#include "RichTextView.h"
#include "WidgetFont.h"

#include <AutomationError.h>

#include <QTextDocument>

#include <gtest/gtest.h>

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

    struct Row { qint32 start; qint32 length; const char *selected; };
    const Row rows[] = {
        {0, 2, "ab"},
        {2, 2, "\r\n"},
        {4, 2, "cd"},
        {3, 3, "cd"},      // from the LF: the next line
        {1, 4, "b\r\nc"},
        {12, 2, "gh"},
        {13, 5, "h"},      // clamped at the end
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

    const struct { qint32 start; QVariant colour; } rows[] = {
        {0, 255}, {1, 16711680}, {4, 0},
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
