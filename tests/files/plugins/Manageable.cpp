// Two plug-ins for the manager dialog and the file commands. Both write what
// happens to them into a list kept on the application object ("Key:What").
// Configurable has properties.

#include "PluginWindow.h"
#include "WrenlogPlugin.h"
#include "WrenlogPluginLibrary.h"

#include <QCoreApplication>

namespace {

void trace(const QString &line)
{
    QStringList lines = qApp->property("filesTrace").toStringList();
    lines.append(line);
    qApp->setProperty("filesTrace", lines);
}

} // namespace

class Manageable : public QObject, public WrenlogPlugin
{
    Q_OBJECT
    Q_INTERFACES(WrenlogPlugin)

public:
    explicit Manageable(bool configurable)
        : m_configurable(configurable)
    {}

    QVariant Name() override { return m_configurable ? QStringLiteral("Configurable") : QStringLiteral("Plain"); }
    QVariant Author() override { return QStringLiteral("Tests"); }
    QVariant Version() override { return m_configurable ? QStringLiteral("2.5") : QStringLiteral("1.0"); }
    QVariant Comments() override { return QStringLiteral("Comments of ") + Name().toString(); }
    QString Key() override { return m_key; }
    bool HasProperties() override { return m_configurable; }
    void ShowProperties() override { trace(m_key + QStringLiteral(":ShowProperties")); }
    bool IsRunning() override { return m_running; }
    void Run() override
    {
        m_running = true;
        trace(m_key + QStringLiteral(":Run"));
    }
    void Kill() override { m_running = false; }

    void Initialize(const QString &key, PluginWindow *window, PropertyStore *) override
    {
        m_key = key;
        connect(window, &PluginWindow::OnTopEvent, this,
                [this](bool onTop) { trace(m_key + QStringLiteral(":OnTop(") + (onTop ? "True)" : "False)")); });
    }

private:
    QString m_key;
    bool m_configurable;
    bool m_running = false;
};

class ManageableLibrary : public QObject, public WrenlogPluginLibrary
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID WrenlogPluginLibrary_iid FILE "Manageable.json")
    Q_INTERFACES(WrenlogPluginLibrary)

public:
    QObject *CreateObject(const QString &className) override
    {
        if (className == QLatin1String("Plain"))
            return new Manageable(false);
        if (className == QLatin1String("Configurable"))
            return new Manageable(true);
        return nullptr;
    }
};

#include "Manageable.moc"
