// A plug-in that cancels every print, every erase and every close while its
// "Cancelling" property is true (it starts true).

#include "PluginWindow.h"
#include "TestTrace.h"
#include "WrenlogPlugin.h"
#include "WrenlogPluginLibrary.h"

class Canceller : public QObject, public WrenlogPlugin
{
    Q_OBJECT
    Q_INTERFACES(WrenlogPlugin)
    Q_PROPERTY(bool Cancelling MEMBER m_cancelling)

public:
    QVariant Name() override { return QStringLiteral("Canceller"); }
    QString Key() override { return m_key; }
    void Initialize(const QString &key, PluginWindow *window, PropertyStore *) override
    {
        m_key = key;
        connect(window, &PluginWindow::DebugPrintEvent, this,
                [this](const QString &, qint32, bool, bool &Cancel) { Cancel = Cancel || m_cancelling; });
        connect(window, &PluginWindow::BeforeEraseAll, this, [this](bool &Cancel) { Cancel = Cancel || m_cancelling; });
        connect(window, &PluginWindow::BeforeQuit, this, [this](bool &Cancel) { Cancel = Cancel || m_cancelling; });
    }
    void Run() override { trace(m_key + QStringLiteral(":Run")); }
    void Splash() override { trace(m_key + QStringLiteral(":Splash")); }

private:
    QString m_key;
    bool m_cancelling = true;
};

class CancellerLibrary : public QObject, public WrenlogPluginLibrary
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID WrenlogPluginLibrary_iid FILE "Canceller.json")
    Q_INTERFACES(WrenlogPluginLibrary)

public:
    QObject *CreateObject(const QString &className) override
    {
        return className == QLatin1String("Canceller") ? new Canceller : nullptr;
    }
};

#include "Canceller.moc"
