// The to-do scan of a folder of 1,000 source files (200,000 lines, 2,000
// markers) into a shown debug window, against grep counting the same markers
// over the same files, in one run. Median of three rounds each.

#include "PluginHostLink.h"
#include "PluginManager.h"
#include "PluginMenu.h"
#include "PluginMenuItem.h"
#include "PluginWindow.h"
#include "RichTextView.h"
#include "WrenlogMainForm.h"
#include "WrenlogPlugin.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int fileCount = 1000;
constexpr int linesPerFile = 200;

// Two procedures per file, each with one to-do comment of two lines well
// below its header, so the scan walks back some forty lines per marker.
void writeCorpus(const QString &folder)
{
    QDir().mkpath(folder);
    for (int f = 0; f < fileCount; ++f) {
        QString text;
        for (int line = 1; line <= linesPerFile; ++line) {
            const int inProc = (line - 1) % 100;
            if (inProc == 5)
                text += QStringLiteral("Public Sub Procedure%1()").arg(line);
            else if (inProc == 45)
                text += QStringLiteral("    'ToDo: check the value of counter %1").arg(line);
            else if (inProc == 46)
                text += QStringLiteral("    ' and what happens when it overflows");
            else if (inProc == 95)
                text += QStringLiteral("End Sub");
            else
                text += QStringLiteral("    nValue = nValue + %1 ' a comment on line %1").arg(line);
            text += QStringLiteral("\r\n");
        }
        QFile out(folder + QStringLiteral("/Module%1.bas").arg(f, 4, 10, QLatin1Char('0')));
        if (!out.open(QIODevice::WriteOnly))
            qFatal("cannot write the corpus");
        out.write(text.toUtf8());
    }
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double grepSeconds(const QString &folder, qint64 *matches)
{
    QStringList arguments {QStringLiteral("-c"), QStringLiteral("-i"), QStringLiteral("-E"), QStringLiteral("'to ?do")};
    for (const QString &name : QDir(folder).entryList(QDir::Files, QDir::Name))
        arguments.append(folder + QLatin1Char('/') + name);
    QElapsedTimer timer;
    timer.start();
    QProcess grep;
    grep.start(QStringLiteral("grep"), arguments);
    grep.waitForFinished(-1);
    const double seconds = timer.nsecsElapsed() / 1e9;
    *matches = 0;
    for (const QByteArray &line : grep.readAllStandardOutput().split('\n')) {
        const qsizetype colon = line.lastIndexOf(':');
        if (colon >= 0)
            *matches += line.mid(colon + 1).toLongLong();
    }
    return seconds;
}

double scanSeconds(const QString &app, const QString &folder, QString *totalLine)
{
    PluginHostLink *link = nullptr;
    WrenlogMainForm::setPluginManagerFactory([&](WrenlogMainForm &window) -> std::unique_ptr<PluginManagerLink> {
        auto made = std::make_unique<PluginHostLink>(window, app);
        link = made.get();
        return made;
    });
    QFile ini(app + QStringLiteral("/Plugins/PluginProperties.ini"));
    if (!ini.open(QIODevice::WriteOnly))
        qFatal("cannot write the settings");
    ini.write(("[KSChorescan.Chorescan]\r\nWorkingPath=" + folder + "\r\nFullResults=0\r\n").toUtf8());
    ini.close();

    WrenlogMainForm form;
    form.Load();
    form.show();
    form.InitPlugins();
    PluginWindow *window = link->manager()->PluginWindow();
    link->manager()->Plugin(QStringLiteral("KSChorescan.Chorescan"))->Run();
    QCoreApplication::processEvents();

    QElapsedTimer timer;
    timer.start();
    window->Menu()->MenuItem(2)->MenuClick();
    // The scan counts until the window holds its report: a read of the text
    // appends what still waits to go in.
    form.rtbDetails()->TextLength();
    const double seconds = timer.nsecsElapsed() / 1e9;
    // Read afterwards: a listener to every print would cost the scan time.
    const QStringList lines = form.rtbDetails()->Text().split(QStringLiteral("\r\n"));
    for (const QString &line : lines) {
        if (line.startsWith(QLatin1String("Total Number")))
            *totalLine = line;
    }
    PluginHostLink::install();
    return seconds;
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
    QApplication application(argc, argv);

    const QString folder = sandbox.path() + QStringLiteral("/corpus");
    writeCorpus(folder);
    const QString app = sandbox.path() + QStringLiteral("/app");
    QDir().mkpath(app + QStringLiteral("/Plugins/Chorescan"));
    if (!QFile::copy(QStringLiteral(WRENLOG_CHORESCAN_LIBRARY),
                     app + QStringLiteral("/Plugins/Chorescan/KSChorescan.so")))
        qFatal("cannot install the plug-in");

    std::vector<double> grepRuns;
    std::vector<double> scanRuns;
    qint64 matches = 0;
    QString totalLine;
    for (int round = 0; round < 7; ++round) {
        grepRuns.push_back(grepSeconds(folder, &matches));
        scanRuns.push_back(scanSeconds(app, folder, &totalLine));
    }
    const double grep = median(grepRuns);
    const double scan = median(scanRuns);
    std::printf("platform: %s; %d files, %d lines\n", qPrintable(QGuiApplication::platformName()), fileCount,
                fileCount * linesPerFile);
    std::printf("grep -c -i -E \"'to ?do\"   %8.3f s   %lld matching lines\n", grep, static_cast<long long>(matches));
    std::printf("Chorescan, shown window  %8.3f s   %s\n", scan, qPrintable(totalLine));
    std::printf("ratio scan / grep        %8.1f x\n", scan / grep);
    std::printf("| Chorescan, %d files | %.3f s | grep -c -i %.3f s | %.2fx | <= 5x |\n", fileCount, scan, grep,
                scan / grep);
    return 0;
}
