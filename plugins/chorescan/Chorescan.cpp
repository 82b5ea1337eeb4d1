#include "Chorescan.h"

#include "Guard.h"
#include "MyPropertyForm.h"
#include "MySplashForm.h"
#include "PluginMenu.h"
#include "PluginMenuItem.h"
#include "PluginWindow.h"
#include "RuntimeErrors.h"
#include "SourceScan.h"

#include <QApplication>

namespace {

QString label(const char *member)
{
    return QStringLiteral("Chorescan.") + QLatin1StringView(member);
}

} // namespace

Chorescan::Chorescan(QObject *parent)
    : QObject(parent)
{}

Chorescan::~Chorescan()
{
    // The splash's code lives in this library; it must not outlive the plug-in.
    delete m_splash.data();
}

QVariant Chorescan::Name()
{
    return QStringLiteral("Chorescan");
}

QVariant Chorescan::Author()
{
    return QStringLiteral("Kestrane Software");
}

QVariant Chorescan::Version()
{
    return QStringLiteral("1.1");
}

QVariant Chorescan::DateStamp()
{
    return QStringLiteral("23-Jul-2001");
}

QVariant Chorescan::Comments()
{
    return QStringLiteral("A very rushed plugin to find To Do's in code");
}

QString Chorescan::Key()
{
    return m_key;
}

bool Chorescan::HasProperties()
{
    return true;
}

void Chorescan::ShowProperties()
{
    passOn(label("ShowProperties"), [&] {
        QWidget *owner = QApplication::activeWindow();
        if (!owner && moWindow)
            owner = moWindow->MainForm();
        MyPropertyForm form(owner);
        form.Execute(m_store);
    });
}

void Chorescan::Initialize(const QString &Key, PluginWindow *pluginWindow, PropertyStore *propertyStore)
{
    m_key = Key;
    moWindow = pluginWindow;
    m_store = propertyStore;
}

void Chorescan::Splash()
{
    passOn(label("Splash"), [&] {
        if (m_splash)
            m_splash->close();
        m_splash = new MySplashForm;
        m_splash->show();
    });
}

void Chorescan::Run()
{
    passOn(label("Run"), [&] {
        if (!moWindow)
            RuntimeErrors::raise(RuntimeErrors::ObjectNotSet, QStringLiteral("KSChorescan"));
        PluginMenu *menu = moWindow->Menu();
        menu->AddMenuItem(QStringLiteral("-"));
        moMyMenuItem = menu->AddMenuItem(QStringLiteral("Chorescan"));
        connect(moMyMenuItem, &PluginMenuItem::Click, this, &Chorescan::moMyMenuItem_Click);
        m_running = true;
    });
}

void Chorescan::Kill()
{
    // The command stays in the menu and the plug-in keeps counting as running;
    // a scan still running ends, as the window it prints into is closing.
    if (m_scan)
        m_scan->stop();
}

bool Chorescan::IsRunning()
{
    return m_running;
}

void Chorescan::moMyMenuItem_Click()
{
    if (m_scanning)
        return;
    m_scanning = true;
    QPointer<Chorescan> self(this);
    QPointer<PluginMenuItem> item = moMyMenuItem;
    const auto setItemEnabled = [&item](bool enabled) {
        if (item)
            captureFailure([&] { item->setEnabled(enabled); });
    };
    setItemEnabled(false);

    SourceScan scan(moWindow, m_store);
    m_scan = &scan;
    scan.run();

    // The window, and with it this plug-in, may have closed while the scan
    // let the message loop run.
    setItemEnabled(true);
    if (!self)
        return;
    m_scan = nullptr;
    m_found = scan.foundCount();
    m_fullResults = scan.fullResults();
    m_scanning = false;
}
