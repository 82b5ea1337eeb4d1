#include "ChorescanFixture.h"

#include "FolderBrowser.h"
#include "PluginHostLink.h"
#include "PluginManager.h"
#include "PluginMenu.h"
#include "PluginMenuItem.h"
#include "PluginWindow.h"
#include "TestEnvironment.h"
#include "WrenlogMainForm.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

void PrintTo(const Print &print, std::ostream *out)
{
    QString shown = print.text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\\r\\n"));
    *out << '{' << '"' << shown.toStdString() << "\", 0x" << std::hex << print.colour << std::dec << ", "
         << (print.lineBreak ? "CrLf" : "no CrLf") << '}';
}

void writeLines(const QString &path, const QStringList &lines, const QString &lineEnd, bool finalLineEnd)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly)) << qPrintable(path);
    out.write((lines.join(lineEnd) + (finalLineEnd ? lineEnd : QString())).toUtf8());
}

void ChorescanTest::SetUp()
{
    app = TestEnvironment::freshFolder(QStringLiteral("app"));
    const QString folder = app + QStringLiteral("/Plugins/Chorescan");
    QDir().mkpath(folder);
    ASSERT_TRUE(QFile::copy(QStringLiteral(WRENLOG_CHORESCAN_LIBRARY), folder + QStringLiteral("/KSChorescan.so")));
}

void ChorescanTest::TearDown()
{
    FolderBrowser::setPresenter({});
    form.reset();
    PluginHostLink::install();
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == u"MySplashForm")
            delete widget;
    }
}

void ChorescanTest::writeSettings(const QString &workingPath, const QString &fullResults)
{
    QStringList lines {QStringLiteral("[KSChorescan.Chorescan]")};
    if (!workingPath.isNull())
        lines.append(QStringLiteral("WorkingPath=") + workingPath);
    if (!fullResults.isNull())
        lines.append(QStringLiteral("FullResults=") + fullResults);
    writeLines(app + QStringLiteral("/Plugins/PluginProperties.ini"), lines, QStringLiteral("\r\n"), true);
}

QStringList ChorescanTest::settingsLines() const
{
    QFile in(app + QStringLiteral("/Plugins/PluginProperties.ini"));
    if (!in.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(in.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

void ChorescanTest::start(bool run)
{
    const QString folder = app;
    WrenlogMainForm::setPluginManagerFactory(
        [this, folder](WrenlogMainForm &window) -> std::unique_ptr<PluginManagerLink> {
            auto made = std::make_unique<PluginHostLink>(window, folder);
            link = made.get();
            return made;
        });
    form = std::make_unique<WrenlogMainForm>();
    form->Load();
    form->InitPlugins();
    ASSERT_NE(link, nullptr);
    ASSERT_EQ(link->manager()->keys(), QStringList {QStringLiteral("KSChorescan.Chorescan")});
    QObject::connect(window(), &PluginWindow::DebugPrintEvent, window(),
                     [this](const QString &text, qint32 colour, bool lineBreak, bool &) {
                         prints.append({text, colour, lineBreak});
                     });
    if (run)
        plugin()->Run();
}

void ChorescanTest::clickCommand()
{
    PluginMenu *menu = window()->Menu();
    ASSERT_EQ(menu->MenuItemCount(), 2);
    menu->MenuItem(2)->MenuClick();
}

QWidget *ChorescanTest::findTopLevel(const QString &objectName) const
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == objectName && widget->isVisible())
            return widget;
    }
    return nullptr;
}

WrenlogPlugin *ChorescanTest::plugin() const
{
    return link->manager()->Plugin(QStringLiteral("KSChorescan.Chorescan"));
}

PluginWindow *ChorescanTest::window() const
{
    return link->manager()->PluginWindow();
}
