// A plug-in that closes the debug window while its own code runs, the way a
// user does while a plug-in lets messages run, or by calling close itself.
// Its store's "CloseIn" names the member ("Run", "Splash" or "Click", its
// menu command) and "CloseBy" how ("User": a posted close handled while the
// plug-in lets messages run; "Plugin": MainForm()->close() directly).
// Everything it lives through goes to the trace, its destruction included.

#include "PluginMenu.h"
#include "PluginMenuItem.h"
#include "PluginWindow.h"
#include "PropertyStore.h"
#include "TestTrace.h"
#include "WrenlogPlugin.h"
#include "WrenlogPluginLibrary.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

class Closer : public QObject, public WrenlogPlugin
{
    Q_OBJECT
    Q_INTERFACES(WrenlogPlugin)

public:
    ~Closer() override { trace(m_key + QStringLiteral(":destroyed")); }

    QVariant Name() override { return QStringLiteral("Closer"); }
    QString Key() override { return m_key; }
    bool IsRunning() override { return m_running; }
    void Initialize(const QString &key, PluginWindow *window, PropertyStore *store) override
    {
        m_key = key;
        m_window = window;
        if (store) {
            m_closeIn = store->GetProperty(QStringLiteral("CloseIn")).toString();
            m_closeBy = store->GetProperty(QStringLiteral("CloseBy")).toString();
        }
        if (m_closeIn == u"Click") {
            PluginMenuItem *item = window->Menu()->AddMenuItem(QStringLiteral("Close"));
            connect(item, &PluginMenuItem::Click, this, [this] { closeIn(QStringLiteral("Click")); });
        }
    }
    void Run() override
    {
        m_running = true;
        closeIn(QStringLiteral("Run"));
    }
    void Splash() override { closeIn(QStringLiteral("Splash")); }
    void Kill() override
    {
        m_running = false;
        trace(m_key + QStringLiteral(":Kill"));
    }

private:
    void closeIn(const QString &member)
    {
        trace(m_key + QLatin1Char(':') + member);
        if (member != m_closeIn)
            return;
        QPointer<QWidget> form = m_window->MainForm();
        if (m_closeBy == u"Plugin") {
            form->close();
        } else {
            QTimer::singleShot(0, form, [form] { form->close(); });
            QCoreApplication::processEvents();
            QCoreApplication::processEvents();
        }
        // Back in the plug-in's own code: it and its window facade are still there.
        const QString caption = m_window->Caption();
        trace(m_key + QLatin1Char(':') + member
              + (caption.isEmpty() ? QStringLiteral(" returned, no caption") : QStringLiteral(" returned, facade answers")));
    }

    QString m_key;
    PluginWindow *m_window = nullptr;
    QString m_closeIn;
    QString m_closeBy;
    bool m_running = false;
};

class CloserLibrary : public QObject, public WrenlogPluginLibrary
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID WrenlogPluginLibrary_iid FILE "Closer.json")
    Q_INTERFACES(WrenlogPluginLibrary)

public:
    QObject *CreateObject(const QString &className) override
    {
        return className == QLatin1String("Closer") ? new Closer : nullptr;
    }
};

#include "Closer.moc"
