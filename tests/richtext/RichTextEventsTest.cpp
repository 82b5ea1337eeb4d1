// The view's events, printing, searching and the editing commands.

#include "RichTextView.h"

#include <TestEnvironment.h>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QPrinter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

#include <gtest/gtest.h>

#include "QtPrinters.h"

namespace {

QWidget *surface(RichTextView &view)
{
    return view.findChild<QTextEdit *>()->viewport();
}

} // namespace

TEST(RichTextEvents, UserActionsRaiseTheControlsEvents)
{
    RichTextView view;
    view.resize(300, 200);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    view.setText(QStringLiteral("hello world"));
    QSignalSpy change(&view, &RichTextView::Change);
    QSignalSpy selChange(&view, &RichTextView::SelChange);
    QSignalSpy click(&view, &RichTextView::Click);
    QSignalSpy doubleClick(&view, &RichTextView::DblClick);
    QSignalSpy mouseDown(&view, &RichTextView::MouseDown);
    QSignalSpy mouseMove(&view, &RichTextView::MouseMove);
    QSignalSpy gotFocus(&view, &RichTextView::GotFocus);

    QSignalSpy lostFocus(&view, &RichTextView::LostFocus);
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    view.setFocus();
    view.clearFocus();
    EXPECT_EQ(lostFocus.count(), 1);
    gotFocus.clear();
    view.setFocus();
    EXPECT_EQ(gotFocus.count(), 1);
    QTest::mouseClick(surface(view), Qt::LeftButton, {}, QPoint(20, 8));
    EXPECT_EQ(click.count(), 1);
    QTest::mouseDClick(surface(view), Qt::LeftButton, {}, QPoint(20, 8));
    EXPECT_EQ(doubleClick.count(), 1);
    QTest::mousePress(surface(view), Qt::RightButton, Qt::ShiftModifier, QPoint(30, 8));
    ASSERT_GE(mouseDown.count(), 1);
    const QList<QVariant> last = mouseDown.last();
    EXPECT_EQ(last.at(0).toInt(), RichTextView::RightButton);
    EXPECT_EQ(last.at(1).toInt(), RichTextView::ShiftKey);
    EXPECT_GT(last.at(2).toFloat(), 300.f) << "x in twips";
    QTest::mouseRelease(surface(view), Qt::RightButton, {}, QPoint(30, 8));
    QTest::mouseMove(surface(view), QPoint(40, 10));
    EXPECT_GE(mouseMove.count(), 1);

    selChange.clear();
    QTest::keyClick(surface(view)->parentWidget(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(surface(view)->parentWidget(), QStringLiteral("!"));
    EXPECT_EQ(view.Text(), QStringLiteral("hello world!"));
    EXPECT_GE(change.count(), 1);
    EXPECT_GE(selChange.count(), 1);
    EXPECT_EQ(view.SelStart(), 12) << "the model follows the user's caret";
}

TEST(RichTextEvents, UserEditsOfProtectedOrLockedTextAreRefused)
{
    RichTextView view;
    view.show();
    view.setText(QStringLiteral("guarded free"));
    view.setSelStart(0);
    view.setSelLength(7);
    view.setSelProtected(true);
    QWidget *keys = surface(view)->parentWidget();

    view.setSelStart(3);
    view.setSelLength(0);
    QTest::keyClick(keys, Qt::Key_Backspace);
    QTest::keyClick(keys, Qt::Key_Delete);
    QTest::keyClicks(keys, QStringLiteral("x"));
    EXPECT_EQ(view.Text(), QStringLiteral("guarded free"));

    view.setSelStart(12);
    QTest::keyClicks(keys, QStringLiteral("!"));
    EXPECT_EQ(view.Text(), QStringLiteral("guarded free!"));

    view.setSelStart(0);
    view.setSelLength(9);
    view.cut();
    view.deleteSelection();
    EXPECT_EQ(view.Text(), QStringLiteral("guarded free!"));
    // Without a selection the command deletes what follows the caret, as the
    // key does, but never protected text.
    view.setSelStart(3);
    view.setSelLength(0);
    view.deleteSelection();
    EXPECT_EQ(view.Text(), QStringLiteral("guarded free!"));
    view.setSelStart(8);
    view.deleteSelection();
    EXPECT_EQ(view.Text(), QStringLiteral("guarded ree!"));
    EXPECT_EQ(view.SelStart(), 8);
    view.setSelStart(12);
    view.deleteSelection();
    EXPECT_EQ(view.Text(), QStringLiteral("guarded ree!"));

    view.setLocked(true);
    view.setSelStart(12);
    QTest::keyClicks(keys, QStringLiteral("?"));
    EXPECT_EQ(view.Text(), QStringLiteral("guarded ree!"));
    view.setSelStart(8);
    view.deleteSelection();
    EXPECT_EQ(view.Text(), QStringLiteral("guarded ree!"));
}

TEST(RichTextEvents, CopyAndPasteKeepFormatsThroughRtf)
{
    RichTextView source;
    source.setText(QStringLiteral("red text"));
    source.setSelStart(0);
    source.setSelLength(3);
    source.setSelColor(255);
    source.copy();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("red"));

    RichTextView target;
    target.setText(QStringLiteral("<>"));
    target.setSelStart(1);
    target.paste();
    EXPECT_EQ(target.Text(), QStringLiteral("<red>"));
    target.setSelStart(1);
    target.setSelLength(3);
    EXPECT_EQ(target.SelColor(), 255);
}

TEST(RichTextEvents, FindSelectsTheMatch)
{
    RichTextView view;
    view.setText(QStringLiteral("one\r\nTwo two\r\nthree"));
    const struct
    {
        const char *what;
        qint32 start;
        qint32 end;
        qint32 options;
        qint32 found;
    } rows[] = {
        {"two", 0, -1, 0, 5},
        {"two", 6, -1, 0, 9},
        {"two", 0, -1, RichTextView::MatchCase, 9},
        {"three", 0, 15, 0, -1},
        {"tw", 0, -1, RichTextView::WholeWord, -1},
        {"absent", 0, -1, 0, -1},
    };
    for (const auto &row : rows)
        EXPECT_EQ(view.Find(QString::fromLatin1(row.what), row.start, row.end, row.options), row.found) << row.what;
    EXPECT_EQ(view.Find(QStringLiteral("three")), 14);
    EXPECT_EQ(view.SelStart(), 14);
    EXPECT_EQ(view.SelText(), QStringLiteral("three"));
}

TEST(RichTextEvents, SelPrintWritesTheSelectionOrEverything)
{
    RichTextView view;
    view.setText(QStringLiteral("first page text\r\nmore"));
    const QString folder = TestEnvironment::freshFolder();
    const auto printTo = [&view](const QString &path) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        view.SelPrint(printer);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    };
    const QByteArray all = printTo(folder + QStringLiteral("/all.pdf"));
    EXPECT_TRUE(all.startsWith("%PDF"));
    view.setSelStart(0);
    view.setSelLength(5);
    const QByteArray part = printTo(folder + QStringLiteral("/part.pdf"));
    EXPECT_TRUE(part.startsWith("%PDF"));
    EXPECT_LT(part.size(), all.size()) << "less text, smaller file";
}

TEST(RichTextEvents, AMegabyteLinePrintsAtOnceAndStaysWhole)
{
    RichTextView view;
    view.setRightMargin(99999);
    view.resize(600, 300);
    view.show();
    QString line;
    while (line.size() < 1000000)
        line += QStringLiteral("0123456789 abcdefghij ");
    line.truncate(1000000);
    QElapsedTimer timer;
    timer.start();
    view.setSelStart(view.TextLength());
    view.setSelColor(255);
    view.setSelText(line + QStringLiteral("\r\n"));
    view.setSelLength(0);
    view.repaint();
    QApplication::processEvents();
    view.repaint();
    EXPECT_LT(timer.elapsed(), 5000) << "laid out piece by piece, not as a whole";
    EXPECT_EQ(view.TextLength(), 1000002);
    EXPECT_EQ(view.Text().left(1000000), line);
    // Deep inside the line, positions still map to points and back.
    const QTextBlock block = view.document().firstBlock();
    const QRectF rect = view.document().documentLayout()->blockBoundingRect(block);
    EXPECT_GT(rect.height(), 100) << "wrapped at the margin";
    const int hit
        = view.document().documentLayout()->hitTest(QPointF(50, rect.top() + rect.height() / 2), Qt::FuzzyHit);
    EXPECT_GT(hit, 100000);
    EXPECT_LT(hit, 900000);
    EXPECT_GT(view.GetLineFromChar(900000), 50);
}
