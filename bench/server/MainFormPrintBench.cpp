// DebugPrint into a visible shared window against inserting the same coloured
// lines into a bare document, in one run; and the longest the event loop was
// kept waiting meanwhile, measured as the longest gap between ticks of a
// 10 ms timer. Runs itself under Xvfb.

#include "DebugText.h"
#include "RichTextView.h"
#include "WrenlogMainForm.h"
#include "XvfbRelaunch.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <vector>

namespace {

// The machine is shared: CPU time of this process says what the code costs,
// wall time what a user would see.
double cpuSeconds()
{
    timespec t {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

struct Rate
{
    double wall = 0;
    double cpu = 0;
};

const qint32 styles[] = {wlogTitle, wlogNormal, wlogNote, wlogFail};

QString lineText(int i)
{
    // 60 characters, different on every line.
    return QStringLiteral("line %1 ").arg(i, 8, 10, QLatin1Char('0')).leftJustified(60, QLatin1Char('.'));
}

Rate bareDocument(int lines)
{
    QTextDocument document;
    QTextCursor cursor(&document);
    QElapsedTimer clock;
    clock.start();
    const double cpuStart = cpuSeconds();
    for (int i = 0; i < lines; ++i) {
        // In edit blocks of 2,000 lines: the document's own best.
        if (i % 2000 == 0)
            cursor.beginEditBlock();
        const qint32 colour = DebugText::ResolveColour(styles[i % 4]);
        QTextCharFormat format;
        format.setForeground(QColor(colour & 0xff, (colour >> 8) & 0xff, (colour >> 16) & 0xff));
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(lineText(i), format);
        cursor.insertBlock();
        if (i % 2000 == 1999 || i == lines - 1)
            cursor.endEditBlock();
    }
    return {lines / (clock.nsecsElapsed() / 1e9), lines / (cpuSeconds() - cpuStart)};
}

struct WindowRun
{
    Rate rate;
    double longestGapMs = 0;
    int longestGapAt = 0; // lines printed when the longest gap ended
    bool exact = false;
};

// Prints in bursts from the event loop, as calls arriving from clients do;
// withBlocks wraps each burst in one edit block of the view, as the batch
// interface does.
WindowRun visibleWindow(int lines, int burst, bool withBlocks)
{
    WrenlogMainForm window;
    window.Load();
    window.resize(900, 700);
    window.DebugShow();
    QCoreApplication::processEvents();

    WindowRun run;
    QElapsedTimer sinceTick;
    int printed = 0;
    QTimer ticker;
    ticker.setInterval(10);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const double gap = sinceTick.nsecsElapsed() / 1e6;
        if (gap > run.longestGapMs) {
            run.longestGapMs = gap;
            run.longestGapAt = printed;
        }
        sinceTick.restart();
    });

    RichTextView *view = window.rtbDetails();
    QElapsedTimer clock;
    QEventLoop loop;
    std::function<void()> step = [&] {
        if (withBlocks)
            view->beginEditBlock();
        const int until = std::min(lines, printed + burst);
        for (; printed < until; ++printed)
            window.DebugPrint(lineText(printed), styles[printed % 4]);
        if (withBlocks)
            view->endEditBlock();
        if (printed < lines)
            QTimer::singleShot(0, step);
        else
            loop.quit();
    };
    clock.start();
    const double cpuStart = cpuSeconds();
    sinceTick.start();
    ticker.start();
    QTimer::singleShot(0, step);
    loop.exec();
    QCoreApplication::processEvents(); // the last repaint belongs to the run
    run.rate = {lines / (clock.nsecsElapsed() / 1e9), lines / (cpuSeconds() - cpuStart)};
    ticker.stop();

    const qint32 expectedLength = qint32(lines) * 62;
    run.exact = view->TextLength() == expectedLength && view->SelStart() == expectedLength && view->SelLength() == 0;
    return run;
}

} // namespace

int main(int argc, char **argv)
{
    relaunchUnderXvfb(argc, argv);
    QApplication app(argc, argv);
    const int lines = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const int burst = argc > 2 ? std::atoi(argv[2]) : 1000;

    std::printf("DebugPrint of %d 60-character lines in alternating styles, %d per event-loop turn\n"
                "(lines/s by wall clock, and by this process's CPU time):\n",
                lines, burst);
    const Rate bare = bareDocument(lines);
    std::printf("  bare QTextDocument, no view, blocks of 2000 %9.0f wall %9.0f cpu\n", bare.wall, bare.cpu);
    for (const bool withBlocks : {false, true}) {
        const WindowRun run = visibleWindow(lines, burst, withBlocks);
        std::printf("  visible window, %-24s %9.0f wall %9.0f cpu  (%.2fx / %.2fx the bare document; "
                    "longest event-loop gap %.1f ms after %d lines; text and caret exact: %s)\n",
                    withBlocks ? "one edit block per turn" : "one call per line", run.rate.wall, run.rate.cpu,
                    bare.wall / run.rate.wall, bare.cpu / run.rate.cpu, run.longestGapMs, run.longestGapAt,
                    run.exact ? "yes" : "NO");
        if (!withBlocks) {
            std::printf("| in process, DebugPrint per line, alternating styles | %.0f lines/s | bare QTextDocument, "
                        "edit blocks of 2,000: %.0f lines/s | %.2fx | <= 1.3x |\n",
                        run.rate.wall, bare.wall, bare.wall / run.rate.wall);
            std::printf("| longest event-loop gap meanwhile | %.1f ms | goal 50 ms | %.2fx | <= 50 ms |\n",
                        run.longestGapMs, run.longestGapMs / 50);
        }
    }
    return 0;
}
