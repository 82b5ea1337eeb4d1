#include "PluginHostFixture.h"

#include "GlobalWindow.h"
#include "PluginHostLink.h"
#include "PluginManager.h"
#include "PluginWindow.h"
#include "TestEnvironment.h"
#include "WrenlogMainForm.h"
#include "WrenlogPlugin.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

AppFolder::AppFolder()
    : path(TestEnvironment::freshFolder(QStringLiteral("app")))
{
    QDir(path).mkpath(QStringLiteral("Plugins"));
}

void AppFolder::install(const QString &plugin, const QString &subFolder, const QString &fileName) const
{
    const QString folder = path + QStringLiteral("/Plugins/") + (subFolder.isEmpty() ? plugin : subFolder);
    QDir().mkpath(folder);
    const QString target = folder + QLatin1Char('/') + (fileName.isEmpty() ? plugin + QStringLiteral(".so") : fileName);
    ASSERT_TRUE(QFile::copy(QStringLiteral(WRENLOG_TEST_PLUGIN_DIR "/") + plugin + QStringLiteral(".so"), target))
        << qPrintable(target);
}

void AppFolder::writeFile(const QString &relativePath, const QByteArray &bytes) const
{
    const QString file = path + QLatin1Char('/') + relativePath;
    QDir().mkpath(QFileInfo(file).path());
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes);
}

QStringList AppFolder::iniLines() const
{
    QFile in(iniPath());
    if (!in.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(in.readAll()).split(QLatin1Char('\n'));
    for (QString &line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

RunningHost::RunningHost(const AppFolder &folder, bool shared)
{
    const QString app = folder.path;
    WrenlogMainForm::setPluginManagerFactory(
        [this, app](WrenlogMainForm &window) -> std::unique_ptr<PluginManagerLink> {
            auto made = std::make_unique<PluginHostLink>(window, app);
            link = made.get();
            QObject::connect(made->manager(), &PluginManager::statusChanged,
                             [this](const QString &s) { statuses.append(s); });
            QObject::connect(made->manager(), &PluginManager::progressChanged, [this](qint32 value, qint32 max) {
                progress.append({value, max});
            });
            return made;
        });
    if (shared) {
        GlobalWindow first;
        form = first.form();
    } else {
        ownForm = std::make_unique<WrenlogMainForm>();
        form = ownForm.get();
        form->Load();
        form->InitPlugins();
    }
}

RunningHost::~RunningHost()
{
    PluginHostLink::install();
}

PluginManager *RunningHost::manager() const
{
    return link ? link->manager() : nullptr;
}

PluginWindow *RunningHost::window() const
{
    return manager() ? manager()->PluginWindow() : nullptr;
}

QObject *RunningHost::pluginObject(const QString &key) const
{
    return dynamic_cast<QObject *>(manager()->Plugin(key));
}

QStringList pluginTrace()
{
    return qApp->property("pluginTrace").toStringList();
}

void clearPluginTrace()
{
    qApp->setProperty("pluginTrace", QStringList());
}

QStringList eventsHeard(const RunningHost &host, const QString &key, bool withViewEvents)
{
    QStringList heard = host.pluginObject(key)->property("Log").toStringList();
    if (!withViewEvents)
        heard.removeIf([](const QString &event) { return event == u"Change" || event == u"SelChange"; });
    return heard;
}

void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

void PrintTo(const QStringList &list, std::ostream *out)
{
    *out << "{ ";
    for (const QString &item : list)
        *out << '"' << item.toStdString() << "\" ";
    *out << '}';
}
