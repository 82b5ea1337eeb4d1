#include "LookoutFixture.h"

#include "PluginHostLink.h"
#include "PluginManager.h"
#include "PluginMenu.h"
#include "PluginMenuItem.h"
#include "PluginWindow.h"
#include "RichTextView.h"
#include "TestEnvironment.h"
#include "WrenlogMainForm.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <QThread>

void LookoutTest::SetUp()
{
    app = TestEnvironment::freshFolder(QStringLiteral("app"));
    const QString folder = app + QStringLiteral("/Plugins/Lookout");
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QFile::copy(QStringLiteral(KSLOOKOUT_SO), folder + QStringLiteral("/KSLookout.so")));
}

void LookoutTest::TearDown()
{
    stop();
    PluginHostLink::install();
}

void LookoutTest::writeSettings(const QStringList &lines)
{
    QFile ini(app + QStringLiteral("/Plugins/PluginProperties.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write(QStringLiteral("[KSLookout.Lookout]\r\n%1\r\n").arg(lines.join(QStringLiteral("\r\n"))).toUtf8());
}

QStringList LookoutTest::iniLines() const
{
    QFile ini(app + QStringLiteral("/Plugins/PluginProperties.ini"));
    if (!ini.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(ini.readAll()).split(QLatin1Char('\n'));
    for (QString &line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    lines.removeAll(QString());
    return lines;
}

void LookoutTest::start()
{
    const QString folder = app;
    WrenlogMainForm::setPluginManagerFactory([this, folder](WrenlogMainForm &owner) -> std::unique_ptr<PluginManagerLink> {
        auto made = std::make_unique<PluginHostLink>(owner, folder);
        link = made.get();
        return made;
    });
    form = std::make_unique<WrenlogMainForm>();
    form->Load();
    form->InitPlugins();
    form->show();
    ASSERT_NE(link, nullptr);
    ASSERT_EQ(link->manager()->PluginCount(), 1);
    window = link->manager()->PluginWindow();
    ASSERT_NE(window, nullptr);
}

void LookoutTest::stop()
{
    if (!form)
        return;
    form->close();
    form.reset();
    link = nullptr;
    window = nullptr;
    settle();
}

void LookoutTest::restart()
{
    stop();
    start();
}

PluginMenuItem *LookoutTest::menuItem(const QString &caption) const
{
    PluginMenu *menu = window->Menu();
    for (qint32 i = 1; i <= menu->MenuItemCount(); ++i) {
        if (menu->MenuItem(i)->Caption() == caption)
            return menu->MenuItem(i);
    }
    return nullptr;
}

void LookoutTest::click(const QString &caption)
{
    PluginMenuItem *item = menuItem(caption);
    ASSERT_NE(item, nullptr) << caption.toStdString();
    // The context menu's element, as the user picks it.
    form->mnuPluginItem(item->Index())->trigger();
}

void LookoutTest::key(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QApplication::setActiveWindow(form.get());
    form->rtbDetails()->setFocus(Qt::OtherFocusReason);
    QWidget *focused = QApplication::focusWidget();
    ASSERT_NE(focused, nullptr);
    QTest::keyClick(focused, key, modifiers);
}

void LookoutTest::print(const QString &text, qint32 colour, bool crLf)
{
    form->DebugPrint(text, colour, crLf);
}

QString LookoutTest::text() const
{
    return form->rtbDetails()->Text();
}

qint32 LookoutTest::colourAt(qint32 position, qint32 length) const
{
    RichTextView *view = form->rtbDetails();
    const qint32 start = view->SelStart();
    const qint32 selected = view->SelLength();
    view->setSelStart(position);
    view->setSelLength(length);
    const QVariant value = view->SelColor();
    const qint32 colour = RichTextView::isNull(value) ? -1 : value.toInt();
    view->setSelStart(start);
    view->setSelLength(selected);
    return colour;
}

void LookoutTest::settle(int ms)
{
    QElapsedTimer clock;
    clock.start();
    do {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        QApplication::sendPostedEvents();
        QThread::msleep(1);
    } while (clock.elapsed() < ms);
}

QWidget *LookoutTest::findBar()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String("LookoutFindBar"))
            return widget;
    }
    return nullptr;
}
