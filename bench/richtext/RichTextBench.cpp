// Printing into a visible view against filling a bare document, very long
// lines, RTF speed and memory per line. Runs itself under Xvfb.

#include "RichTextView.h"
#include "RtfReader.h"
#include "RtfWriter.h"
#include "XvfbRelaunch.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextBlock>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

constexpr int linesPerBlock = 2000;
const qint32 colours[] = {255, 16711680, 32768, 0, 8421504};

QString lineText(int i)
{
    QString text = QStringLiteral("%1 ").arg(i, 8, 10, QLatin1Char('0'));
    while (text.size() < 60)
        text += QStringLiteral("debug output ");
    return text.left(60);
}

double seconds(const QElapsedTimer &timer)
{
    return timer.nsecsElapsed() / 1e9;
}

long residentKb()
{
    long pages = 0, resident = 0;
    if (FILE *f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

double bareDocument(int lines)
{
    QTextDocument document;
    QTextCursor cursor(&document);
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < lines; ++i) {
        if (i % linesPerBlock == 0)
            cursor.beginEditBlock();
        cursor.movePosition(QTextCursor::End);
        QTextCharFormat format;
        format.setForeground(
            QColor::fromRgb(colours[i % 5] & 0xFF, (colours[i % 5] >> 8) & 0xFF, (colours[i % 5] >> 16) & 0xFF));
        cursor.setCharFormat(format);
        cursor.insertText(lineText(i));
        cursor.insertBlock();
        if (i % linesPerBlock == linesPerBlock - 1 || i == lines - 1) {
            cursor.endEditBlock();
            QCoreApplication::processEvents();
        }
    }
    return lines / seconds(timer);
}

void print(RichTextView &view, const QString &text, qint32 colour)
{
    view.setSelStart(view.TextLength());
    view.setSelColor(colour);
    view.setSelText(text);
    view.setSelLength(0);
}

/// Waits until the view has caught up and shows its last line.
void settle(RichTextView &view)
{
    for (int i = 0; i < 20; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents();
    }
    QElapsedTimer wait;
    wait.start();
    while (wait.elapsed() < 60)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    view.repaint();
}

bool showsLastLine(RichTextView &view)
{
    auto *edit = view.findChild<QTextEdit *>();
    auto *bar = edit->verticalScrollBar();
    const QTextBlock last = view.document().lastBlock();
    const QRectF lastRect = view.document().documentLayout()->blockBoundingRect(last);
    const bool visible
        = lastRect.bottom() <= bar->value() + edit->viewport()->height() + 1 && lastRect.top() >= bar->value();
    if (!visible)
        std::printf("  (scroll %d of %d, last block at %.0f-%.0f, viewport %d)\n", bar->value(), bar->maximum(),
                    lastRect.top(), lastRect.bottom(), edit->viewport()->height());
    return visible;
}

double visibleView(int lines, bool editBlocks, bool &followed)
{
    RichTextView view;
    view.resize(900, 600);
    view.show();
    QCoreApplication::processEvents();
    const QString crlf = QStringLiteral("\r\n");
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < lines; ++i) {
        if (editBlocks && i % linesPerBlock == 0)
            view.beginEditBlock();
        print(view, lineText(i) + crlf, colours[i % 5]);
        if (i % linesPerBlock == linesPerBlock - 1 || i == lines - 1) {
            if (editBlocks)
                view.endEditBlock();
            QCoreApplication::processEvents();
        }
    }
    settle(view);
    const double rate = lines / seconds(timer);
    followed = showsLastLine(view);
    return rate;
}

double naiveTextEdit(int lines)
{
    QTextEdit edit;
    edit.setLineWrapMode(QTextEdit::NoWrap);
    edit.resize(900, 600);
    edit.show();
    QCoreApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < lines; ++i) {
        QTextCursor cursor = edit.textCursor();
        if (i % linesPerBlock == 0)
            cursor.beginEditBlock();
        cursor.movePosition(QTextCursor::End);
        QTextCharFormat format;
        format.setForeground(
            QColor::fromRgb(colours[i % 5] & 0xFF, (colours[i % 5] >> 8) & 0xFF, (colours[i % 5] >> 16) & 0xFF));
        cursor.setCharFormat(format);
        cursor.insertText(lineText(i) + QStringLiteral("\n"));
        if (i % linesPerBlock == linesPerBlock - 1 || i == lines - 1) {
            cursor.endEditBlock();
            edit.setTextCursor(cursor);
            QCoreApplication::processEvents();
        }
    }
    QCoreApplication::processEvents();
    return lines / seconds(timer);
}

double longLine(qsizetype bytes, bool &followed)
{
    RichTextView view;
    view.setRightMargin(99999);
    view.resize(900, 600);
    view.show();
    print(view, QStringLiteral("before\r\n"), 0);
    settle(view);
    QString text;
    text.reserve(bytes + 2);
    while (text.size() < bytes)
        text += QStringLiteral("0123456789abcdefghijklmnopqrstuvwxyz ");
    text.truncate(bytes);
    text += QStringLiteral("\r\n");
    QElapsedTimer timer;
    timer.start();
    print(view, text, 255);
    settle(view);
    followed = showsLastLine(view) && view.TextLength() == bytes + 10;
    return seconds(timer);
}

void rtfSpeed(double &saveMBs, double &loadMBs, double &megabytes)
{
    RichTextView view;
    view.beginEditBlock();
    int i = 0;
    while (view.TextLength() < 10 * 1000 * 1000) {
        print(view, lineText(i) + QStringLiteral("\r\n"), colours[i % 5]);
        ++i;
    }
    view.endEditBlock();
    QTemporaryDir folder;
    const QString path = folder.path() + QStringLiteral("/big.rtf");
    QElapsedTimer timer;
    timer.start();
    view.SaveFile(path, RichTextView::RtfFile);
    const double save = seconds(timer);
    megabytes = QFile(path).size() / 1e6;
    RichTextView loaded;
    timer.restart();
    loaded.LoadFile(path, RichTextView::RtfFile);
    const double load = seconds(timer);
    saveMBs = megabytes / save;
    loadMBs = megabytes / load;
    if (loaded.Text() != view.Text())
        std::printf("  RTF round trip changed the text!\n");
}

double memoryPerLine(int lines)
{
    RichTextView view;
    view.resize(900, 600);
    view.show();
    settle(view);
    const long before = residentKb();
    for (int i = 0; i < lines; ++i) {
        if (i % linesPerBlock == 0)
            view.beginEditBlock();
        print(view, lineText(i) + QStringLiteral("\r\n"), colours[i % 5]);
        if (i % linesPerBlock == linesPerBlock - 1) {
            view.endEditBlock();
            QCoreApplication::processEvents();
        }
    }
    settle(view);
    return (residentKb() - before) * 1024.0 / lines;
}

} // namespace

int main(int argc, char **argv)
{
    relaunchUnderXvfb(argc, argv);
    QApplication app(argc, argv);
    const int lines = argc > 1 ? std::atoi(argv[1]) : 200000;

    std::printf("Printing %d coloured 60-character lines, %d per edit block, one event-loop turn after each:\n", lines,
                linesPerBlock);
    // The machine is shared: alternate the two and keep each one's best round.
    double bare = 0;
    double view = 0;
    bool followed = true;
    for (int round = 0; round < 3; ++round) {
        bare = std::max(bare, bareDocument(lines));
        bool shown = false;
        view = std::max(view, visibleView(lines, true, shown));
        followed = followed && shown;
    }
    std::printf("  bare QTextDocument, no view          %10.0f lines/s  (best of 3)\n", bare);
    std::printf("  visible RichTextView                 %10.0f lines/s  (best of 3; %.2fx the bare document; newest "
                "line shown: %s)\n",
                view, bare / view, followed ? "yes" : "NO");
    const double perCall = visibleView(lines / 4, false, followed);
    std::printf("  visible RichTextView, no edit blocks %10.0f lines/s  (newest line shown: %s)\n", perCall,
                followed ? "yes" : "NO");
    std::printf("  naive visible QTextEdit              %10.0f lines/s  (%d lines)\n", naiveTextEdit(lines / 4),
                lines / 4);

    for (const qsizetype size : {qsizetype(1000 * 1000), qsizetype(10 * 1000 * 1000)}) {
        const double took = longLine(size, followed);
        std::printf("One %lld-character line printed and shown: %.3f s (kept whole and shown: %s)\n",
                    static_cast<long long>(size), took, followed ? "yes" : "NO");
    }

    double save = 0, load = 0, megabytes = 0;
    rtfSpeed(save, load, megabytes);
    std::printf("RTF of a %.1f MB coloured text: save %.1f MB/s, load %.1f MB/s\n", megabytes, save, load);

    std::printf("Resident memory per line at 1,000,000 lines: %.0f bytes\n", memoryPerLine(1000000));
    return 0;
}
