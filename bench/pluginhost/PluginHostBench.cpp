// Start-up of the debug window with 0, 2 and 50 installed plug-ins, and
// printing 100,000 lines with 5 listening plug-ins against none, in one run.
//
// Each installed plug-in is its own library file: copies of one listener
// library whose type-library name is rewritten in place, so every copy has a
// key of its own and is loaded as a separate library.

#include "PluginHostLink.h"
#include "PluginManager.h"
#include "WrenlogMainForm.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

const QByteArray templateName = "WLBenchPluginAA";

void installPlugins(const QString &appFolder, int count)
{
    QFile source(QStringLiteral(WRENLOG_BENCH_PLUGIN));
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read the bench plug-in\n");
        std::exit(1);
    }
    const QByteArray library = source.readAll();
    QString ini = QStringLiteral("[StartUp]\n");
    for (int i = 0; i < count; ++i) {
        const QByteArray name = "WLBenchPlugin" + QByteArray::number(i).rightJustified(2, '0');
        QByteArray copy = library;
        copy.replace(templateName, name);
        const QString folder = appFolder + QStringLiteral("/Plugins/Bench%1").arg(i, 2, 10, QLatin1Char('0'));
        QDir().mkpath(folder);
        QFile out(folder + QStringLiteral("/BenchListener.so"));
        if (!out.open(QIODevice::WriteOnly) || out.write(copy) != copy.size())
            std::exit(1);
        ini += QString::fromLatin1(name) + QStringLiteral(".Listener=True\n");
    }
    QDir().mkpath(appFolder + QStringLiteral("/Plugins"));
    QFile settings(appFolder + QStringLiteral("/Plugins/PluginProperties.ini"));
    if (settings.open(QIODevice::WriteOnly))
        settings.write(ini.toUtf8());
}

struct Window
{
    Window() = default;
    Window(Window &&) = default;
    ~Window()
    {
        // Closed the way the user closes it: plug-ins are stopped and released
        // before the window itself goes.
        if (form)
            form->close();
    }
    std::unique_ptr<WrenlogMainForm> form;
    double readyMs = 0;
    double shownMs = 0;
    int plugins = 0;
};

Window startWindow(const QString &appFolder)
{
    WrenlogMainForm::setPluginManagerFactory([appFolder](WrenlogMainForm &form) -> std::unique_ptr<PluginManagerLink> {
        return std::make_unique<PluginHostLink>(form, appFolder);
    });
    Window w;
    QElapsedTimer clock;
    clock.start();
    w.form = std::make_unique<WrenlogMainForm>();
    w.form->Load();
    w.readyMs = double(clock.nsecsElapsed()) / 1e6;
    w.form->InitPlugins();
    w.form->DebugShow();
    while (!w.form->windowHandle() || !w.form->windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QCoreApplication::processEvents();
    w.shownMs = double(clock.nsecsElapsed()) / 1e6;
    w.plugins = w.form->pluginManager() ? w.form->pluginManager()->PluginCount() : 0;
    return w;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double printLines(WrenlogMainForm &form, int lines)
{
    const QString filler = QStringLiteral("the quick brown fox jumps over the lazy dog ");
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < lines; ++i) {
        form.DebugPrint(QStringLiteral("%1 line %2").arg(filler).arg(i, 8), -1 - (i % 4));
        if (i % 2000 == 1999)
            QCoreApplication::processEvents();
    }
    QCoreApplication::processEvents();
    return double(clock.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir sandbox;
    // Window positions and settings of the benchmark stay in its own folder.
    for (const char *name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        qputenv(name, (sandbox.path() + QLatin1Char('/') + QLatin1String(name)).toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::printf("platform: %s\n", qPrintable(QGuiApplication::platformName()));

    std::printf("start-up (median of 5)   plug-ins   to Ready ms   to shown ms\n");
    for (const int count : {0, 2, 50}) {
        std::vector<double> ready;
        std::vector<double> shown;
        int loaded = 0;
        for (int round = 0; round < 5; ++round) {
            const QString folder = sandbox.path() + QStringLiteral("/start-%1-%2").arg(count).arg(round);
            installPlugins(folder, count);
            Window w = startWindow(folder);
            ready.push_back(w.readyMs);
            shown.push_back(w.shownMs);
            loaded = w.plugins;
        }
        std::printf("                         %8d   %11.2f   %11.2f\n", loaded, median(ready), median(shown));
    }

    constexpr int lines = 100000;
    const QString quiet = sandbox.path() + QStringLiteral("/print-0");
    const QString busy = sandbox.path() + QStringLiteral("/print-5");
    installPlugins(quiet, 0);
    installPlugins(busy, 5);
    std::vector<double> withNone;
    std::vector<double> withFive;
    for (int round = 0; round < 3; ++round) {
        for (const bool listening : {false, true}) {
            Window w = startWindow(listening ? busy : quiet);
            const double seconds = printLines(*w.form, lines);
            (listening ? withFive : withNone).push_back(seconds);
        }
    }
    const double none = median(withNone);
    const double five = median(withFive);
    std::printf("printing %d lines (median of 3): no plug-ins %.0f lines/s, 5 listening plug-ins %.0f lines/s, "
                "dispatch adds %.1f%%\n",
                lines, lines / none, lines / five, (five / none - 1.0) * 100.0);
    return 0;
}
