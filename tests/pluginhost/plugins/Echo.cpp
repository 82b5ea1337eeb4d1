// A plug-in that answers every print with one of its own, from inside its
// DebugPrint handler, and that reaches the server's GlobalWindow and
// GlobalLibrary in process when it runs.

#include "GlobalLibrary.h"
#include "GlobalWindow.h"
#include "PluginWindow.h"
#include "TestTrace.h"
#include "WrenlogPlugin.h"
#include "WrenlogPluginLibrary.h"

class Echo : public QObject, public WrenlogPlugin
{
    Q_OBJECT
    Q_INTERFACES(WrenlogPlugin)

public:
    QVariant Name() override { return QStringLiteral("Echo"); }
    QString Key() override { return m_key; }
    void Initialize(const QString &key, PluginWindow *window, PropertyStore *) override
    {
        m_key = key;
        connect(window, &PluginWindow::DebugPrintEvent, this, [window](const QString &text, qint32, bool, bool &) {
            if (!text.startsWith(QLatin1String("echo: ")))
                window->DebugPrint(QStringLiteral("echo: ") + text, wlogNote);
        });
    }
    void Run() override
    {
        GlobalWindow().DebugPrint(QStringLiteral("through GlobalWindow"), wlogTitle);
        const qint32 answer = GlobalLibrary().ShowMessage(4, QString(), QStringLiteral("Keep going?"));
        trace(m_key + QStringLiteral(":ShowMessage=") + QString::number(answer));
    }

private:
    QString m_key;
};

class EchoLibrary : public QObject, public WrenlogPluginLibrary
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID WrenlogPluginLibrary_iid FILE "Echo.json")
    Q_INTERFACES(WrenlogPluginLibrary)

public:
    QObject *CreateObject(const QString &className) override
    {
        return className == QLatin1String("Echo") ? new Echo : nullptr;
    }
};

#include "Echo.moc"
