#include "LookoutFixture.h"

#include "PluginMenuItem.h"
#include "PluginWindow.h"
#include "RichTextView.h"
#include "WrenlogMainForm.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QTest>
#include <QThread>

namespace {

const QString stamp = QStringLiteral("\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d ");
constexpr qint32 grey = 0x808080;

QStringList linesOf(const QString &text)
{
    QStringList lines = text.split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

TEST_F(LookoutTest, PauseHoldsAHundredThousandPiecesAndPrintsThemInOrderWithTheirColoursAndBreaks)
{
    start();
    print(QStringLiteral("before"));
    window->setTopText(QStringLiteral("my top text"));
    click(QStringLiteral("Pause Output"));
    EXPECT_TRUE(menuItem(QStringLiteral("Pause Output"))->Checked());
    EXPECT_EQ(window->TopText(), QStringLiteral("Paused: 0 lines waiting"));

    // Every tenth piece continues its line; colours cycle through styles and references.
    const qint32 colours[] = {-1, -2, -3, -4, 0x00FF00, 0x123456};
    QString expected = QStringLiteral("before\r\n");
    qint64 lines = 0;
    for (int i = 0; i < 100000; ++i) {
        const bool crLf = i % 10 != 9;
        const QString piece = QStringLiteral("p%1").arg(i);
        print(piece, colours[i % 6], crLf);
        expected += piece + (crLf ? QStringLiteral("\r\n") : QString());
        lines += crLf ? 1 : 0;
    }
    settle();
    EXPECT_EQ(text(), QStringLiteral("before\r\n"));
    // The last piece has no line break: its line is on its way too.
    EXPECT_EQ(window->TopText(), QStringLiteral("Paused: %1 lines waiting").arg(lines + 1));

    key(Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_FALSE(menuItem(QStringLiteral("Pause Output"))->Checked());
    EXPECT_EQ(text(), expected);
    EXPECT_EQ(window->TopText(), QStringLiteral("my top text"));
    // Colours: piece i sits where the expected text has it.
    const int samples[] = {0, 1, 2, 3, 4, 5, 9, 10, 77777, 99999};
    for (int i : samples) {
        const QString piece = QStringLiteral("p%1").arg(i);
        const QString after = i % 10 != 9 ? QStringLiteral("\r\n") : i < 99999 ? QStringLiteral("p") : QString();
        const qint32 at = qint32(expected.indexOf(piece + after));
        ASSERT_GE(at, 0) << i;
        const qint32 colour = colours[i % 6];
        const qint32 resolved = colour == -1 ? 0xFF0000 : colour == -3 ? 0x008000 : colour == -4 ? 0x0000FF : colour < 0 ? 0 : colour;
        EXPECT_EQ(colourAt(at, qint32(piece.size())), resolved) << i;
    }

    // Unpaused, pieces go straight in again (this one ends the last held line).
    print(QStringLiteral("after"));
    EXPECT_TRUE(text().endsWith(QStringLiteral("p99998\r\np99999after\r\n")));
}

TEST_F(LookoutTest, PiecesHeldWhenTheWindowClosesGoIntoItsTextAndAPauseCountsAPartLine)
{
    start();
    click(QStringLiteral("Pause Output"));
    print(QStringLiteral("one"));
    print(QStringLiteral("two "), -2, false);
    settle();
    EXPECT_EQ(window->TopText(), QStringLiteral("Paused: 2 lines waiting"));
    print(QStringLiteral("halves"));
    EXPECT_EQ(text(), QString());
    WrenlogMainForm *closing = form.get();
    ASSERT_TRUE(closing->close());
    EXPECT_EQ(closing->rtbDetails()->Text(), QStringLiteral("one\r\ntwo halves\r\n"));
}

TEST_F(LookoutTest, TimeStampsStartEachNewLineInGreyAndHeldPiecesKeepTheirArrivalTime)
{
    start();
    click(QStringLiteral("Time Stamps"));
    EXPECT_TRUE(menuItem(QStringLiteral("Time Stamps"))->Checked());
    print(QStringLiteral("a"), 0x0000FF, false);
    print(QStringLiteral("b"), -2, true);
    print(QStringLiteral("c\r\nd"), -3, true);
    print(QString(), -2, true);
    const QStringList lines = linesOf(text());
    ASSERT_EQ(lines.size(), 4) << text().toStdString();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^") + stamp + QStringLiteral("ab$")).match(lines[0]).hasMatch()) << lines[0].toStdString();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^") + stamp + QStringLiteral("c$")).match(lines[1]).hasMatch()) << lines[1].toStdString();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^") + stamp + QStringLiteral("d$")).match(lines[2]).hasMatch()) << lines[2].toStdString();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^") + stamp + QStringLiteral("$")).match(lines[3]).hasMatch()) << lines[3].toStdString();
    EXPECT_EQ(colourAt(0, 13), grey);
    EXPECT_EQ(colourAt(13), 0x0000FF);
    EXPECT_EQ(colourAt(14), 0);
    EXPECT_EQ(colourAt(17 + 13), 0x008000);

    // The stamp is the time of arrival, also for a piece held by Pause.
    window->setText(QString());
    click(QStringLiteral("Pause Output"));
    const QString arrived = QDateTime::currentDateTime().toString(QStringLiteral("hh:mm:ss"));
    print(QStringLiteral("held"));
    QThread::msleep(1100);
    click(QStringLiteral("Pause Output"));
    const QString released = QDateTime::currentDateTime().toString(QStringLiteral("hh:mm:ss"));
    ASSERT_NE(arrived, released);
    EXPECT_TRUE(text().startsWith(arrived)) << text().toStdString();
}

TEST_F(LookoutTest, TheFirstMatchingRulePaintsTheLine)
{
    writeSettings({QStringLiteral("Rule1=255\tText\tAnyCase\terror"),
                   QStringLiteral("Rule2=65280\tRegExp\tMatchCase\t^warn|ERROR"),
                   QStringLiteral("Rule3=16711680\tText\tMatchCase\tWARN")});
    start();
    print(QStringLiteral("an ERROR and a warn"), 0x123456);  // rules 1 and 2 match: 1 wins
    print(QStringLiteral("warn: disk"), -2);                  // rule 2
    print(QStringLiteral("WARN: disk"), -2);                  // rule 3 only (rule 2 is case-sensitive)
    print(QStringLiteral("plain"), 0x123456);                 // no rule: its own colour
    print(QStringLiteral("part one, "), 0x123456, false);     // a line in two pieces: the second matches
    print(QStringLiteral("then an Error"), 0x123456);
    const QString all = text();
    EXPECT_EQ(all, QStringLiteral("an ERROR and a warn\r\nwarn: disk\r\nWARN: disk\r\nplain\r\npart one, then an Error\r\n"));
    EXPECT_EQ(colourAt(qint32(all.indexOf(QStringLiteral("an ERROR"))), 19), 255);
    EXPECT_EQ(colourAt(qint32(all.indexOf(QStringLiteral("warn: disk"))), 10), 65280);
    EXPECT_EQ(colourAt(qint32(all.indexOf(QStringLiteral("WARN: disk"))), 10), 16711680);
    EXPECT_EQ(colourAt(qint32(all.indexOf(QStringLiteral("plain"))), 5), 0x123456);
    EXPECT_EQ(colourAt(qint32(all.indexOf(QStringLiteral("then an Error"))), 13), 255);
}

TEST_F(LookoutTest, TheCapTrimsWholeOldLinesInTenthsAndWaitsForASelectionInTheWay)
{
    writeSettings({QStringLiteral("MaxLines=20")});
    start();
    for (int i = 1; i <= 20; ++i)
        print(QStringLiteral("line %1").arg(i));
    settle();
    EXPECT_EQ(linesOf(text()).size(), 20) << "at the cap nothing goes";
    print(QStringLiteral("line 21 starts"), -2, false);
    settle();
    // 21 lines (the last one unfinished) is past 20: a chunk of 2 goes, 19 stay.
    QStringList lines = linesOf(text());
    ASSERT_EQ(lines.size(), 19) << text().toStdString();
    EXPECT_EQ(lines.first(), QStringLiteral("line 3"));
    EXPECT_EQ(lines.last(), QStringLiteral("line 21 starts"));
    print(QStringLiteral(" and ends"));
    EXPECT_TRUE(text().endsWith(QStringLiteral("line 20\r\nline 21 starts and ends\r\n")));

    // A selection in the oldest lines holds the trim back; the caret stays where it is.
    window->setSelStart(2);
    window->setSelLength(3);
    for (int i = 22; i <= 23; ++i)
        print(QStringLiteral("line %1").arg(i));
    window->setSelStart(2);
    window->setSelLength(3);
    settle(100);
    lines = linesOf(text());
    EXPECT_EQ(lines.first(), QStringLiteral("line 3"));
    EXPECT_EQ(lines.size(), 21);
    EXPECT_EQ(window->SelText(), QStringLiteral("ne "));
    // Once the selection sits after the cut, the trim goes ahead and the selection keeps its text.
    const qint32 at = qint32(text().indexOf(QStringLiteral("line 22")));
    window->setSelStart(at);
    window->setSelLength(7);
    settle(1500);
    lines = linesOf(text());
    ASSERT_EQ(lines.size(), 19) << text().toStdString();
    EXPECT_EQ(lines.first(), QStringLiteral("line 5"));
    EXPECT_EQ(window->SelText(), QStringLiteral("line 22"));
}

TEST_F(LookoutTest, ShowSenderNamesTheServerForItsOwnPrintsAndWithEverythingOffPiecesPassUntouched)
{
    start();
    print(QStringLiteral("plain"), 0x123456, false);
    print(QStringLiteral(" line"));
    EXPECT_EQ(text(), QStringLiteral("plain line\r\n"));
    EXPECT_EQ(colourAt(0, 5), 0x123456);
    click(QStringLiteral("Show Sender"));
    click(QStringLiteral("Time Stamps"));
    print(QStringLiteral("mine"));
    const QStringList lines = linesOf(text());
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^") + stamp + QStringLiteral("\\[wrenlog\\] mine$")).match(lines[1]).hasMatch())
        << lines[1].toStdString();
}
