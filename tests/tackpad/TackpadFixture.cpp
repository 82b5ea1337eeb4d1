#include "TackpadFixture.h"

#include "GlobalWindow.h"
#include "NoteFiles.h"
#include "PluginHostLink.h"
#include "PluginManager.h"
#include "PluginWindow.h"
#include "PropertyStore.h"
#include "PropertyStoreCollection.h"
#include "SplashForm.h"
#include "Tackpad.h"
#include "TackpadErrors.h"
#include "TackpadPopupForm.h"
#include "TestEnvironment.h"
#include "WrenlogMainForm.h"

#include <QApplication>
#include <QDir>
#include <QListWidget>

namespace {

PluginWindow *sharedWindow()
{
    static PluginHostLink *link = nullptr;
    if (!link) {
        const QString app = TestEnvironment::freshFolder(QStringLiteral("app"));
        QDir(app).mkpath(QStringLiteral("Plugins"));
        WrenlogMainForm::setPluginManagerFactory([app](WrenlogMainForm &form) -> std::unique_ptr<PluginManagerLink> {
            auto made = std::make_unique<PluginHostLink>(form, app);
            link = made.get();
            return made;
        });
        GlobalWindow first;
        first.DebugShow();
    }
    return link ? link->manager()->PluginWindow() : nullptr;
}

} // namespace

void TackpadTest::SetUp()
{
    window = sharedWindow();
    ASSERT_NE(window, nullptr);
    Tackpad::setGrowStep(100000);
    TackpadPopupForm::setSlideStep(1000);
    SplashForm::setTickInterval(3600 * 1000);
    notes = TestEnvironment::freshFolder(QStringLiteral("Files"));
    NoteFiles::setFolder(notes);
    stores = std::make_unique<PropertyStoreCollection>(TestEnvironment::freshFolder(QStringLiteral("ini"))
                                                       + QStringLiteral("/PluginProperties.ini"));
    stores->Initialize(0);
    store = stores->Add(QStringLiteral("wrenkit1.Tackpad"));
    m_previousPresenter = MessageBox::setPresenter([this](const MessageBox::Request &request) {
        questions.append(request.caption + QLatin1Char('|') + request.text);
        return answer;
    });
    TackpadErrors::setPresenter([this](const AutomationError &error, const QString &source) {
        failures.append(source + QLatin1Char(':') + error.description());
    });
    window->setText(QString());
    window->setTopText(QString());
    window->setFold(false);
}

void TackpadTest::TearDown()
{
    if (plugin)
        plugin->Kill();
    plugin.reset();
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<SplashForm *>(widget))
            delete widget;
    }
    MessageBox::setPresenter(m_previousPresenter);
    TackpadErrors::setPresenter({});
    NoteFiles::setFolder(QString());
}

void TackpadTest::start()
{
    plugin = std::make_unique<Tackpad>();
    plugin->Initialize(QStringLiteral("wrenkit1.Tackpad"), window, store);
    plugin->Run();
    list = plugin->popupForm();
    ASSERT_NE(list, nullptr);
}

QString TackpadTest::writeNote(const QString &name, const QString &text)
{
    const QString before = window->TextRTF();
    window->setText(text);
    const QString path = notes + QLatin1Char('/') + name + QStringLiteral(".Tackpad");
    window->SaveFile(path, wlog_RTF);
    window->setTextRTF(before);
    return path;
}

QStringList TackpadTest::listed() const
{
    QStringList names;
    for (int i = 0; i < list->lvwNotes()->count(); ++i)
        names.append(list->lvwNotes()->item(i)->text());
    return names;
}

QString TackpadTest::noteText(const QString &path)
{
    const QString before = window->TextRTF();
    window->LoadFile(path);
    const QString text = window->Text();
    window->setTextRTF(before);
    return text;
}
