// Printing a million lines into a visible window whose plug-in host has no
// plug-in, Lookout with every feature off, and Lookout with time stamps and
// three highlight rules, in one run; with the longest the event loop waited
// (the longest gap between ticks of a 10 ms timer). Then the find bar on the
// million-line window: the first count (which reads the window's text) and
// Enter. Runs itself under Xvfb.

#include "PluginHostLink.h"
#include "PluginManager.h"
#include "PluginMenu.h"
#include "PluginMenuItem.h"
#include "PluginWindow.h"
#include "RichTextView.h"
#include "WrenlogMainForm.h"
#include "XvfbRelaunch.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>

namespace {

double cpuSeconds()
{
    timespec t {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

const qint32 styles[] = {wlogTitle, wlogNormal, wlogNote, wlogFail};

QString lineText(int i)
{
    // 60 characters, different on every line; every 50th mentions a failure.
    const QString text = QStringLiteral("line %1 %2").arg(i, 8, 10, QLatin1Char('0'))
                             .arg(i % 50 == 0 ? QStringLiteral("failed") : QStringLiteral("fine"));
    return text.leftJustified(60, QLatin1Char('.'));
}

struct Run
{
    double wall = 0;
    double cpu = 0;
    double longestGapMs = 0;
    bool exact = false;
};

struct Host
{
    std::unique_ptr<WrenlogMainForm> form;
    PluginHostLink *link = nullptr;
};

// A window whose host loads the plug-ins of folder, as the shared window does.
void startHost(Host &host, const QString &folder)
{
    WrenlogMainForm::setPluginManagerFactory([&host, folder](WrenlogMainForm &owner) -> std::unique_ptr<PluginManagerLink> {
        auto made = std::make_unique<PluginHostLink>(owner, folder);
        host.link = made.get();
        return made;
    });
    host.form = std::make_unique<WrenlogMainForm>();
    host.form->Load();
    host.form->InitPlugins();
    host.form->resize(900, 700);
    host.form->DebugShow();
    QCoreApplication::processEvents();
}

QString appFolder(QTemporaryDir &root, const QString &name, bool withLookout, const QByteArray &settings)
{
    const QString app = root.path() + QLatin1Char('/') + name;
    QDir().mkpath(app + QStringLiteral("/Plugins/Lookout"));
    if (withLookout)
        QFile::copy(QStringLiteral(KSLOOKOUT_SO), app + QStringLiteral("/Plugins/Lookout/KSLookout.so"));
    QFile ini(app + QStringLiteral("/Plugins/PluginProperties.ini"));
    if (ini.open(QIODevice::WriteOnly))
        ini.write(settings);
    return app;
}

Run print(WrenlogMainForm &window, int lines, int burst, qint32 expectedLength)
{
    Run run;
    QElapsedTimer sinceTick;
    QTimer ticker;
    ticker.setInterval(10);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        run.longestGapMs = std::max(run.longestGapMs, sinceTick.nsecsElapsed() / 1e6);
        sinceTick.restart();
    });
    int printed = 0;
    QEventLoop loop;
    std::function<void()> step = [&] {
        const int until = std::min(lines, printed + burst);
        for (; printed < until; ++printed)
            window.DebugPrint(lineText(printed), styles[printed % 4]);
        if (printed < lines)
            QTimer::singleShot(0, step);
        else
            loop.quit();
    };
    QElapsedTimer clock;
    clock.start();
    const double cpuStart = cpuSeconds();
    sinceTick.start();
    ticker.start();
    QTimer::singleShot(0, step);
    loop.exec();
    QCoreApplication::processEvents();
    run.wall = lines / (clock.nsecsElapsed() / 1e9);
    run.cpu = lines / (cpuSeconds() - cpuStart);
    ticker.stop();
    const qint32 length = window.rtbDetails()->TextLength();
    run.exact = expectedLength < 0 ? length > lines * 62 : length == expectedLength;
    return run;
}

void report(const char *what, const Run &run, const Run *base)
{
    std::printf("  %-44s %9.0f wall %9.0f cpu", what, run.wall, run.cpu);
    if (base)
        std::printf("  (%.0f%% / %.0f%% of no plug-in)", 100 * run.wall / base->wall, 100 * run.cpu / base->cpu);
    std::printf("  longest gap %.1f ms, text %s\n", run.longestGapMs, run.exact ? "exact" : "NOT AS EXPECTED");
}

} // namespace

int main(int argc, char **argv)
{
    relaunchUnderXvfb(argc, argv);
    QApplication app(argc, argv);
    const int lines = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const int burst = argc > 2 ? std::atoi(argv[2]) : 1000;
    QTemporaryDir root;

    const QByteArray allOff = "[KSLookout.Lookout]\nTimeStamps=False\n";
    const QByteArray stampsAndRules = "[KSLookout.Lookout]\nTimeStamps=True\n"
                                      "Rule1=255\tText\tAnyCase\tfailed\n"
                                      "Rule2=32768\tRegExp\tMatchCase\t^line \\d+5 \n"
                                      "Rule3=16711680\tText\tMatchCase\tWARNING\n";
    std::printf("DebugPrint of %d 60-character lines in alternating styles, %d per event-loop turn\n"
                "(lines/s by wall clock and by this process's CPU time):\n",
                lines, burst);

    Run none;
    Run off;
    {
        Host host;
        startHost(host, appFolder(root, QStringLiteral("none"), false, {}));
        none = print(*host.form, lines, burst, lines * 62);
        report("no plug-in", none, nullptr);
    }
    {
        Host host;
        startHost(host, appFolder(root, QStringLiteral("off"), true, allOff));
        off = print(*host.form, lines, burst, lines * 62);
        report("Lookout, every feature off", off, &none);
    }
    {
        Host host;
        startHost(host, appFolder(root, QStringLiteral("on"), true, stampsAndRules));
        // Every line gains a 13-character stamp.
        const Run on = print(*host.form, lines, burst, lines * (62 + 13));
        report("Lookout, time stamps and three rules", on, &none);

        // The find bar on the million-line window.
        PluginWindow *window = host.link->manager()->PluginWindow();
        PluginMenu *menu = window->Menu();
        for (qint32 i = 1; i <= menu->MenuItemCount(); ++i) {
            if (menu->MenuItem(i)->Caption() == QLatin1String("Find..."))
                host.form->mnuPluginItem(menu->MenuItem(i)->Index())->trigger();
        }
        QWidget *bar = nullptr;
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == QLatin1String("LookoutFindBar"))
                bar = widget;
        }
        if (!bar) {
            std::printf("  no find bar\n");
            return 1;
        }
        auto *text = bar->findChild<QLineEdit *>(QStringLiteral("txtFind"));
        auto *count = bar->findChild<QLabel *>(QStringLiteral("lblCount"));
        window->setSelStart(0);
        QElapsedTimer clock;
        clock.start();
        text->setText(QStringLiteral("line %1 ").arg(lines / 2 + 7, 8, 10, QLatin1Char('0')));
        const double firstMs = clock.nsecsElapsed() / 1e6;
        clock.restart();
        QTest::keyClick(text, Qt::Key_Return);
        const double enterMs = clock.nsecsElapsed() / 1e6;
        const QString firstCount = count->text();
        const QString firstSelected = window->SelText();
        clock.restart();
        text->setText(QStringLiteral("FAILED"));
        const double everyFiftiethMs = clock.nsecsElapsed() / 1e6;
        clock.restart();
        for (int i = 0; i < 100; ++i)
            QTest::keyClick(text, Qt::Key_Return);
        const double hundredEntersMs = clock.nsecsElapsed() / 1e6;
        std::printf("Find in the %d-line window: typing a text found once %.0f ms (text read and searched), "
                    "Enter %.1f ms (\"%s\", selected \"%s\"); a text on every 50th line %.0f ms (\"%s\"), "
                    "100 Enters %.0f ms\n",
                    lines, firstMs, enterMs, qPrintable(firstCount), qPrintable(firstSelected), everyFiftiethMs,
                    qPrintable(count->text()), hundredEntersMs);
    }
    return 0;
}
