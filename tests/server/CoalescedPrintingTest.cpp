// Pieces printed while nobody hears the view's Change and SelChange wait for
// the next frame and go in together. Nothing anyone can read may tell them
// from pieces appended at once: these tests hold a waiting window against one
// whose listeners make it print every piece at once.

#include "MainFormTestSupport.h"
#include "NotificationCode.h"
#include "RichTextView.h"
#include "WrenlogMainForm.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace {

using Step = std::function<void(WrenlogMainForm &)>;

Step print(const QString &text, qint32 colour = wlogNormal, bool crlf = true)
{
    return [=](WrenlogMainForm &window) { window.DebugPrint(text, colour, crlf); };
}

/// A window whose sink hears the prints but not the view's own events.
std::unique_ptr<WrenlogMainForm> waitingWindow(RecordingSink &sink)
{
    sink.deafTo = {NotificationCode::Change, NotificationCode::SelChange};
    return windowHeardBy(sink);
}

struct State
{
    QString text;
    QString rtf;
    qint32 selStart = 0;
    qint32 selLength = 0;
    QVariant selColor;
    QVariant selBold;
};

State stateOf(RichTextView &view)
{
    return {view.Text(), view.TextRTF(), view.SelStart(), view.SelLength(), view.SelColor(), view.SelBold()};
}

void expectSame(const State &waited, const State &atOnce, const char *when)
{
    EXPECT_EQ(waited.text, atOnce.text) << when;
    EXPECT_EQ(waited.rtf, atOnce.rtf) << when;
    EXPECT_EQ(waited.selStart, atOnce.selStart) << when;
    EXPECT_EQ(waited.selLength, atOnce.selLength) << when;
    EXPECT_EQ(waited.selColor, atOnce.selColor) << when;
    EXPECT_EQ(waited.selBold, atOnce.selBold) << when;
}

/// Lets the event loop run until the view has appended everything.
bool drain(RichTextView &view)
{
    QElapsedTimer clock;
    clock.start();
    while (view.hasPending() && clock.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return !view.hasPending();
}

} // namespace

TEST(CoalescedPrinting, WaitingPiecesEndExactlyAsPiecesAppendedAtOnce)
{
    QString longLine(300, QLatin1Char('w'));
    const QList<Step> script = {
        print(QStringLiteral("title"), wlogTitle),
        print(QStringLiteral("x"), 255, false),
        print(QString(), wlogNote, false), // only the caret's colour changes
        print(QStringLiteral("y"), wlogTitle),
        // A CR ending one piece and an LF starting the next are two line
        // breaks, not one CR LF.
        print(QStringLiteral("a\r"), 0x123456, false),
        print(QStringLiteral("\nb"), 0x123456, false),
        print(QStringLiteral("one\r\ntwo\nthree"), 0x123456),
        // The user selects in the middle; the next print still goes to the end.
        [](WrenlogMainForm &window) {
            window.rtbDetails()->setSelStart(3);
            window.rtbDetails()->setSelLength(4);
        },
        print(QStringLiteral("z"), wlogNote),
        // A format set on the caret at the end carries into the next print.
        [](WrenlogMainForm &window) {
            RichTextView *view = window.rtbDetails();
            view->setSelStart(view->TextLength());
            view->setSelBold(true);
        },
        print(QStringLiteral("bold"), wlogNormal),
        [longLine](WrenlogMainForm &window) {
            // Far more than one insertion holds, in one colour and in turns.
            for (int i = 0; i < 600; ++i)
                window.DebugPrint(longLine, i < 400 ? wlogNote : (i % 2 ? wlogFail : 0x00FFFF));
        },
        print(QString(), wlogFail, false), // the caret ends red
    };
    ASSERT_EQ(script.size(), 13);

    RecordingSink atOnceSink; // hears everything: every piece goes in at once
    auto atOnce = windowHeardBy(atOnceSink);
    RecordingSink waitingSink;
    auto waiting = waitingWindow(waitingSink);
    for (const Step &step : script) {
        step(*atOnce);
        step(*waiting);
    }
    ASSERT_FALSE(atOnce->rtbDetails()->hasPending());
    ASSERT_TRUE(waiting->rtbDetails()->hasPending()) << "the pieces were appended at once";
    expectSame(stateOf(*waiting->rtbDetails()), stateOf(*atOnce->rtbDetails()), "read at once");
    EXPECT_EQ(waiting->rtbDetails()->SelColor(), QVariant(qint32(255)));
    EXPECT_EQ(waitingSink.heardWithCode(NotificationCode::DebugPrint).size(), 610);

    // And the same again when the frames append them in their own time.
    RecordingSink framedSink;
    auto framed = waitingWindow(framedSink);
    for (const Step &step : script)
        step(*framed);
    ASSERT_TRUE(framed->rtbDetails()->hasPending());
    ASSERT_TRUE(drain(*framed->rtbDetails()));
    expectSame(stateOf(*framed->rtbDetails()), stateOf(*atOnce->rtbDetails()), "appended by the frames");
}

TEST(CoalescedPrinting, AListenerSeesTheTextAsItWasBeforeItsPiece)
{
    RecordingSink sink;
    auto window = waitingWindow(sink);
    RichTextView *view = window->rtbDetails();
    struct Seen
    {
        QString text;
        qint32 selStart;
        QVariant selColor;
    };
    QList<Seen> seen;
    int printNumber = 0;
    sink.onNotify = [&](qint32 code, const QVariant &) {
        if (code != NotificationCode::DebugPrint)
            return;
        // Every other handler reads nothing, so pieces pile up between reads.
        if (printNumber++ % 2 == 0)
            seen.append({view->Text(), view->SelStart(), view->SelColor()});
    };
    const qint32 colours[] = {wlogTitle, wlogNormal, wlogFail, 0x00AA00, wlogNote};
    for (int i = 0; i < 5; ++i)
        window->DebugPrint(QStringLiteral("p%1").arg(i), colours[i], i != 2);
    EXPECT_TRUE(view->hasPending());

    ASSERT_EQ(seen.size(), 3);
    EXPECT_EQ(seen[0].text, QString());
    EXPECT_EQ(seen[0].selStart, 0);
    EXPECT_EQ(seen[1].text, QStringLiteral("p0\r\np1\r\n"));
    EXPECT_EQ(seen[1].selStart, 8);
    EXPECT_EQ(seen[1].selColor, QVariant(qint32(0))); // p1's black
    EXPECT_EQ(seen[2].text, QStringLiteral("p0\r\np1\r\np2p3\r\n"));
    EXPECT_EQ(seen[2].selStart, 14);
    EXPECT_EQ(seen[2].selColor, QVariant(qint32(0x00AA00)));
    EXPECT_EQ(view->Text(), QStringLiteral("p0\r\np1\r\np2p3\r\np4\r\n"));
}

TEST(CoalescedPrinting, CancelSuppressesExactlyOnePiece)
{
    RecordingSink sink;
    auto window = waitingWindow(sink);
    sink.onNotify = nullptr;
    int prints = 0;
    // Cancel the third print only: the sink cancels codes listed before the call.
    for (const QString &text : {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("dropped"),
                                QStringLiteral("c"), QStringLiteral("d")}) {
        sink.cancelCodes = ++prints == 3 ? QList<qint32> {NotificationCode::DebugPrint} : QList<qint32> {};
        window->DebugPrint(text, wlogNote, false);
    }
    EXPECT_EQ(window->rtbDetails()->Text(), QStringLiteral("abcd"));
    EXPECT_EQ(sink.heardWithCode(NotificationCode::DebugPrint).size(), 5);
}

TEST(CoalescedPrinting, SavingRightAfterPrintingWritesEveryPiece)
{
    QTemporaryDir folder;
    WrenlogMainForm window; // no plug-ins: every piece waits
    window.Load();
    for (int i = 0; i < 500; ++i)
        window.DebugPrint(QStringLiteral("line %1").arg(i), i % 2 ? wlogFail : wlogNormal);
    RichTextView *view = window.rtbDetails();
    ASSERT_TRUE(view->hasPending());
    const QString plain = folder.filePath(QStringLiteral("saved.txt"));
    view->SaveFile(plain, RichTextView::PlainTextFile);
    window.DebugPrint(QStringLiteral("after the first save"), wlogTitle);
    const QString rich = folder.filePath(QStringLiteral("saved.rtf"));
    view->SaveFile(rich, RichTextView::RtfFile);

    QFile text(plain);
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(text.readAll()).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 501);
    EXPECT_EQ(lines[0], QStringLiteral("line 0"));
    EXPECT_EQ(lines[499], QStringLiteral("line 499"));

    // The rich file holds the last piece in its colour.
    WrenlogMainForm reader;
    reader.Load();
    reader.rtbDetails()->LoadFile(rich, RichTextView::RtfFile);
    EXPECT_TRUE(reader.rtbDetails()->Text().endsWith(QStringLiteral("line 499\r\nafter the first save\r\n")));
    EXPECT_EQ(colourAt(reader, reader.rtbDetails()->TextLength() - 5), 0xFF0000);
}

TEST(CoalescedPrinting, EraseAllTakesWhatCameBeforeItAndNothingAfter)
{
    RecordingSink sink;
    auto window = waitingWindow(sink);
    QString textBeforeErase;
    sink.onNotify = [&](qint32 code, const QVariant &) {
        if (code == NotificationCode::BeforeEraseAll)
            textBeforeErase = window->rtbDetails()->Text();
    };
    window->DebugPrint(QStringLiteral("before 1"));
    window->DebugPrint(QStringLiteral("before 2"), wlogFail);
    window->EraseAll();
    window->DebugPrint(QStringLiteral("after"), wlogNote);
    EXPECT_TRUE(window->rtbDetails()->hasPending());
    EXPECT_EQ(textBeforeErase, QStringLiteral("before 1\r\nbefore 2\r\n"));
    EXPECT_EQ(window->rtbDetails()->Text(), QStringLiteral("after\r\n"));
    EXPECT_EQ(colourAt(*window, 0), 0x008000);

    // The same without a listener, and Clear too.
    WrenlogMainForm plain;
    plain.Load();
    plain.DebugPrint(QStringLiteral("gone"));
    plain.EraseAll();
    plain.DebugPrint(QStringLiteral("kept"));
    plain.Clear();
    plain.DebugPrint(QStringLiteral("last"), wlogTitle, false);
    ASSERT_TRUE(drain(*plain.rtbDetails()));
    EXPECT_EQ(plain.rtbDetails()->Text(), QStringLiteral("last"));
}

TEST(CoalescedPrinting, TheUsersTypingAndThePiecesBothArriveInTheirOrder)
{
    // What the user types lands where the caret is: at the end, after the
    // pieces printed before the key, before those printed after it.
    auto typeInto = [](WrenlogMainForm &window) {
        window.resize(600, 400);
        window.show();
        QWidget *editor = window.rtbDetails()->focusProxy();
        editor->setFocus();
        for (int round = 0; round < 20; ++round) {
            for (int i = 0; i < 5; ++i)
                window.DebugPrint(QStringLiteral("r%1p%2").arg(round).arg(i), i % 2 ? wlogNote : wlogTitle,
                                  i == 4);
            QTest::keyClicks(editor, QStringLiteral("k%1").arg(round));
        }
        window.DebugPrint(QStringLiteral("end"));
    };
    RecordingSink atOnceSink;
    auto atOnce = windowHeardBy(atOnceSink);
    typeInto(*atOnce);
    RecordingSink waitingSink;
    auto waiting = waitingWindow(waitingSink);
    typeInto(*waiting);
    ASSERT_TRUE(waiting->rtbDetails()->hasPending());

    const QString text = waiting->rtbDetails()->Text();
    EXPECT_TRUE(text.startsWith(QStringLiteral("r0p0r0p1r0p2r0p3r0p4\r\nk0r1p0"))) << qPrintable(text.left(60));
    EXPECT_TRUE(text.endsWith(QStringLiteral("r19p4\r\nk19end\r\n"))) << qPrintable(text.right(60));
    expectSame(stateOf(*waiting->rtbDetails()), stateOf(*atOnce->rtbDetails()), "typed while printing");
}

TEST(CoalescedPrinting, AWindowGoesWithPiecesWaitingAndTheFocusInItsText)
{
    // The focus leaving the dying view must not append into a half-destroyed one.
    for (int round = 0; round < 3; ++round) {
        auto window = std::make_unique<WrenlogMainForm>();
        window->Load();
        window->show();
        window->rtbDetails()->focusProxy()->setFocus();
        QCoreApplication::processEvents();
        for (int i = 0; i < 100; ++i)
            window->DebugPrint(QStringLiteral("line %1").arg(i), i % 2 ? wlogNote : wlogFail);
        ASSERT_TRUE(window->rtbDetails()->hasPending());
        window.reset();
    }
}
