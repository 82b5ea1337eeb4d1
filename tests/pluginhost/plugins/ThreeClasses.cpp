// A library that declares three classes of which only one is a plug-in: Helper
// is an object without the contract, Gadget cannot be created at all.

#include "TestTrace.h"
#include "WrenlogPlugin.h"
#include "WrenlogPluginLibrary.h"

class Helper : public QObject
{
    Q_OBJECT
};

class Probe : public QObject, public WrenlogPlugin
{
    Q_OBJECT
    Q_INTERFACES(WrenlogPlugin)

public:
    Probe() { trace(QStringLiteral("WLTestThree.Probe:created")); }
    QVariant Name() override { return QStringLiteral("Probe"); }
    QVariant Author() override { return QStringLiteral("Tests"); }
    QString Key() override { return m_key; }
    void Initialize(const QString &key, PluginWindow *, PropertyStore *) override
    {
        m_key = key;
        trace(key + QStringLiteral(":Initialize"));
    }
    void Run() override { trace(m_key + QStringLiteral(":Run")); }
    void Splash() override { trace(m_key + QStringLiteral(":Splash")); }
    void Kill() override { trace(m_key + QStringLiteral(":Kill")); }

private:
    QString m_key;
};

class ThreeClassesLibrary : public QObject, public WrenlogPluginLibrary
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID WrenlogPluginLibrary_iid FILE "ThreeClasses.json")
    Q_INTERFACES(WrenlogPluginLibrary)

public:
    QObject *CreateObject(const QString &className) override
    {
        if (className == QLatin1String("Helper"))
            return new Helper;
        if (className == QLatin1String("Probe"))
            return new Probe;
        return nullptr;
    }
};

#include "ThreeClasses.moc"
