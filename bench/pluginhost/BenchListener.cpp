// A plug-in that listens to every print, as a logging or filtering plug-in
// would: it looks at each text and counts what it saw.

#include "PluginWindow.h"
#include "WrenlogPlugin.h"
#include "WrenlogPluginLibrary.h"

class Listener : public QObject, public WrenlogPlugin
{
    Q_OBJECT
    Q_INTERFACES(WrenlogPlugin)

public:
    QVariant Name() override { return QStringLiteral("Listener"); }
    QString Key() override { return m_key; }
    void Initialize(const QString &key, PluginWindow *window, PropertyStore *) override
    {
        m_key = key;
        connect(window, &PluginWindow::DebugPrintEvent, this,
                [this](const QString &text, qint32, bool, bool &) { m_characters += text.size(); });
    }

private:
    QString m_key;
    qint64 m_characters = 0;
};

class ListenerLibrary : public QObject, public WrenlogPluginLibrary
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID WrenlogPluginLibrary_iid FILE "BenchListener.json")
    Q_INTERFACES(WrenlogPluginLibrary)

public:
    QObject *CreateObject(const QString &className) override
    {
        return className == QLatin1String("Listener") ? new Listener : nullptr;
    }
};

#include "BenchListener.moc"
