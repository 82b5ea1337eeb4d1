#include "FilesTestSupport.h"

#include "Guard.h"
#include "PluginHostLink.h"
#include "PluginManager.h"
#include "TestEnvironment.h"
#include "WrenlogMainForm.h"

#include <QApplication>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

void HeardSink::Notify(qint32 code, const QVariant &values, bool &cancel)
{
    heard.append({code, values});
    if (cancelCodes.contains(code))
        cancel = true;
}

QList<QVariant> HeardSink::valuesOf(qint32 code) const
{
    QList<QVariant> values;
    for (const auto &[heardCode, value] : heard) {
        if (heardCode == code)
            values.append(value);
    }
    return values;
}

namespace {

class SinkManager : public PluginManagerLink
{
public:
    explicit SinkManager(HeardSink &sink)
        : m_sink(sink)
    {}
    void LoadPlugins(const QStringList &) override {}
    qint32 PluginCount() const override { return 0; }
    NotificationSink *facade() override { return &m_sink; }
    void KillAll() override {}
    void ShowManagerDialog() override {}
    void UnloadManagerDialog() override {}

private:
    HeardSink &m_sink;
};

} // namespace

ListenedWindow::ListenedWindow()
    : window(std::make_unique<WrenlogMainForm>())
{
    window->setPluginManager(std::make_unique<SinkManager>(sink));
    window->Load();
}

ListenedWindow::~ListenedWindow() = default;

DialogAnswer::DialogAnswer(QString answerPath, int answerFilterIndex)
    : path(std::move(answerPath))
    , filterIndex(answerFilterIndex)
{
    previous = FileDialogs::setPresenter([this](const FileDialogs::Request &request) {
        requests.append(request);
        FileDialogs::Result result;
        result.cancelled = path.isEmpty();
        // A path ending in "/" takes the name the dialog proposed, as when
        // the user accepts it in that folder.
        result.path = path.endsWith(QLatin1Char('/')) ? path + request.fileName : path;
        result.filterIndex = filterIndex > 0 ? filterIndex : request.filterIndex;
        return result;
    });
}

DialogAnswer::~DialogAnswer()
{
    FileDialogs::setPresenter(previous);
}

ReportCatcher::ReportCatcher()
{
    Guard::setReportHook([this](const AutomationError &error, const QString &sourceName) {
        reports.append(sourceName + QStringLiteral(": ") + QString::number(error.number()) + QLatin1Char(' ')
                       + error.description());
    });
}

ReportCatcher::~ReportCatcher()
{
    Guard::setReportHook({});
}

QStringList ReportCatcher::sourceNames() const
{
    QStringList names;
    for (const QString &report : reports)
        names.append(report.section(QStringLiteral(": "), 0, 0));
    return names;
}

HostWithPlugins::HostWithPlugins()
    : appFolder(TestEnvironment::freshFolder(QStringLiteral("app")))
    , window(std::make_unique<WrenlogMainForm>())
{
    const QString folder = appFolder + QStringLiteral("/Plugins/Manageable");
    QDir().mkpath(folder);
    EXPECT_TRUE(QFile::copy(QStringLiteral(WRENLOG_FILES_PLUGIN), folder + QStringLiteral("/Manageable.so")));
    window->Load();
    auto made = std::make_unique<PluginHostLink>(*window, appFolder);
    link = made.get();
    made->LoadPlugins({appFolder + QStringLiteral("/Plugins")});
    window->setPluginManager(std::move(made));
}

HostWithPlugins::~HostWithPlugins()
{
    window->close();
}

PluginManager *HostWithPlugins::manager() const
{
    return link->manager();
}

QString HostWithPlugins::iniPath() const
{
    return appFolder + QStringLiteral("/Plugins/PluginProperties.ini");
}

QString HostWithPlugins::iniText() const
{
    QFile in(iniPath());
    return in.open(QIODevice::ReadOnly) ? QString::fromUtf8(in.readAll()) : QString();
}

QStringList filesTrace()
{
    return qApp->property("filesTrace").toStringList();
}

void clearFilesTrace()
{
    qApp->setProperty("filesTrace", QStringList());
}
