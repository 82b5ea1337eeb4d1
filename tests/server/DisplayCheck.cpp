// Shows a debug window on a real X display (Xvfb), prints a line in every
// style, grabs the screen and checks that the window, its toolbar and the
// coloured text are really there. With a file name argument it also saves
// the grab (the README's screenshot comes from here).

#include "RichTextView.h"
#include "WrenlogMainForm.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QToolBar>

#include <cstdio>

namespace {

int countPixels(const QImage &image, const QRect &area, QRgb colour)
{
    int count = 0;
    const QRect clipped = area.intersected(image.rect());
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        for (int x = clipped.left(); x <= clipped.right(); ++x) {
            if ((image.pixel(x, y) & 0xffffff) == (colour & 0xffffff))
                ++count;
        }
    }
    return count;
}

int distinctColours(const QImage &image, const QRect &area)
{
    QSet<QRgb> colours;
    const QRect clipped = area.intersected(image.rect());
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        for (int x = clipped.left(); x <= clipped.right(); ++x)
            colours.insert(image.pixel(x, y) & 0xffffff);
    }
    return int(colours.size());
}

bool check(bool ok, const char *what)
{
    std::printf("%s: %s\n", ok ? "ok  " : "FAIL", what);
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        std::printf("needs an X display (run under xvfb-run)\n");
        return 1;
    }
    WrenlogMainForm window;
    window.Load();
    window.move(40, 40);
    window.resize(560, 300);
    QFont font = window.rtbDetails()->font();
    font.setPointSize(12);
    font.setBold(true);
    window.rtbDetails()->setFont(font);
    window.DebugPrint(QStringLiteral("Wrenlog ! started (wlogTitle)"), wlogTitle);
    window.DebugPrint(QStringLiteral("An ordinary line (wlogNormal)"));
    window.DebugPrint(QStringLiteral("A note for later (wlogNote)"), wlogNote);
    window.DebugPrint(QStringLiteral("Something failed (wlogFail)"), wlogFail);
    window.DebugPrint(QStringLiteral("Pieces "), 0x808000, false);
    window.DebugPrint(QStringLiteral("without "), 0x800080, false);
    window.DebugPrint(QStringLiteral("line breaks"), 0x008080);
    window.DebugShow();
    if (!QTest::qWaitForWindowExposed(&window, 5000))
        return check(false, "window exposed on the display") ? 0 : 1;
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 500)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);

    const QRect frame = window.frameGeometry();
    const QImage screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
    const QImage shot = screen.copy(frame);
    if (argc > 1)
        shot.save(QString::fromLocal8Bit(argv[1]));

    const QPoint client = window.mapToGlobal(QPoint(0, 0)) - frame.topLeft();
    const QRect toolbar(client, window.tbrMainToolbar()->size());
    const QRect text(window.rtbDetails()->mapTo(&window, QPoint(0, 0)) + client, window.rtbDetails()->size());
    bool ok = true;
    ok &= check(window.isVisible() && !shot.isNull(), "window shown and grabbed from the display");
    ok &= check(distinctColours(shot, toolbar) >= 8, "toolbar drawn with its images");
    ok &= check(countPixels(shot, text, qRgb(0, 0, 255)) > 20, "title line in blue");
    ok &= check(countPixels(shot, text, qRgb(0, 128, 0)) > 20, "note line in green");
    ok &= check(countPixels(shot, text, qRgb(255, 0, 0)) > 20, "failure line in red");
    ok &= check(countPixels(shot, text, qRgb(0, 0, 0)) > 20, "normal line in black");
    return ok ? 0 : 1;
}
