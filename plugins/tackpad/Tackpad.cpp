#include "Tackpad.h"

#include "GlobalWindow.h"
#include "Guard.h"
#include "NoteFiles.h"
#include "PluginMenu.h"
#include "RuntimeErrors.h"
#include "SplashForm.h"
#include "TackpadErrors.h"
#include "TackpadPopupForm.h"
#include "Twips.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

namespace {

QString label(const char *member)
{
    return QStringLiteral("Tackpad.") + QLatin1StringView(member);
}

int &growStep()
{
    static int step = 300;
    return step;
}

} // namespace

Tackpad::Tackpad(QObject *parent)
    : QObject(parent)
{}

Tackpad::~Tackpad()
{
    // Their code lives in this library; they must not outlive the plug-in.
    delete m_popup.data();
    delete m_splash.data();
}

QVariant Tackpad::Name()
{
    return QStringLiteral("KS Tackpad");
}

QVariant Tackpad::Author()
{
    return QStringLiteral("Kestrane Software");
}

QVariant Tackpad::Version()
{
    return QStringLiteral("1.0");
}

QVariant Tackpad::DateStamp()
{
    return QStringLiteral("03-Jul-01");
}

QVariant Tackpad::Comments()
{
    return QStringLiteral("Simple Plugin to give 'Tackpad' feel to Wrenlog!");
}

QString Tackpad::Key()
{
    return m_key;
}

bool Tackpad::HasProperties()
{
    return false;
}

void Tackpad::ShowProperties() {}

bool Tackpad::IsRunning()
{
    return m_running;
}

void Tackpad::setGrowStep(int twips)
{
    growStep() = twips > 0 ? twips : 300;
}

void Tackpad::Initialize(const QString &Key, PluginWindow *pluginWindow, PropertyStore *propertyStore)
{
    passOn(label("WrenlogPlugin_Initialize"), [&] {
        m_key = Key;
        moWindow = pluginWindow;
        m_store = propertyStore;
    });
}

void Tackpad::Splash()
{
    passOn(label("WrenlogPlugin_Splash"), [&] {
        m_splash = SplashForm::card();
        m_splash->Execute(moWindow, 3);
        QCoreApplication::processEvents();
    });
}

void Tackpad::Run()
{
    passOn(label("WrenlogPlugin_Run"), [&] {
        if (!moWindow)
            RuntimeErrors::raise(RuntimeErrors::ObjectNotSet, QStringLiteral("wrenkit1"));
        GlobalWindow().DebugShow();
        m_running = true;

        const qint32 targetHeight = moWindow->Height();
        const qint32 targetWidth = moWindow->Width();
        TackpadPopupForm::applyNoteLook(moWindow);

        // The window grows out of nothing; both sides stop at their own size.
        const QScreen *screen = QGuiApplication::primaryScreen();
        const int screenWidth = screen ? int(Twips::fromPixelsX(screen->geometry().width())) : 0;
        for (int s = 0; s <= screenWidth; s += growStep()) {
            moWindow->setWidth(s < targetWidth ? s : targetWidth);
            moWindow->setHeight(s < targetHeight ? s : targetHeight);
        }
        moWindow->setWidth(targetWidth);
        moWindow->setHeight(targetHeight);

        if (moMyFileType)
            disconnect(moMyFileType, nullptr, this, nullptr);
        moMyFileType = NoteFiles::noteFileType(moWindow);
        connect(moMyFileType, &FileType::Opened, this, &Tackpad::moMyFileType_Opened);
        connect(moMyFileType, &FileType::Saved, this, &Tackpad::moMyFileType_Saved);

        moWindow->Menu()->AddMenuItem(QStringLiteral("-"));

        moWindow->setWrap(true);
        moWindow->setTopTextLocked(false);
        moWindow->setTopText(QStringLiteral("Type youe file name here."));

        if (!m_popup)
            m_popup = new TackpadPopupForm;
        m_popup->Execute(moWindow, m_store);
    });
}

void Tackpad::Kill()
{
    // The note is not saved here: the window's BeforeQuit has done that when
    // the user closed it, and a plug-in killed otherwise keeps its text unsaved.
    if (moMyFileType)
        disconnect(moMyFileType, nullptr, this, nullptr);
    moMyFileType = nullptr;
    moWindow = nullptr;
    m_store = nullptr;
    delete m_popup.data();
}

void Tackpad::moMyFileType_Opened(const QString &Path)
{
    passOn(label("moMyFileType_Opened"), [&] {
        if (moWindow)
            moWindow->LoadFile(Path);
    });
}

void Tackpad::moMyFileType_Saved(const QString &Path)
{
    passOn(label("moMyFileType_Saved"), [&] {
        if (!moWindow)
            return;
        m_splash = SplashForm::card();
        m_splash->Execute(moWindow, 3);
        m_splash->lblStatus()->setText(QStringLiteral("Saving..."));
        moWindow->SaveFile(Path, wlog_RTF);
        if (m_popup)
            m_popup->RefreshList();
    });
}
