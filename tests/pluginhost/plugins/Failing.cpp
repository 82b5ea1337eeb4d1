// A plug-in whose every member fails, each in another way: the system's own
// error, a standard exception, and something that is not an exception class.

#include "AutomationError.h"
#include "PluginWindow.h"
#include "TestTrace.h"
#include "WrenlogPlugin.h"
#include "WrenlogPluginLibrary.h"

#include <stdexcept>

class Failing : public QObject, public WrenlogPlugin
{
    Q_OBJECT
    Q_INTERFACES(WrenlogPlugin)

public:
    QVariant Name() override { throw std::runtime_error("Name is broken"); }
    QVariant Author() override
    {
        throw AutomationError(5, QStringLiteral("Author is broken"), QStringLiteral("WLTestFailing"));
    }
    QVariant DateStamp() override { throw AutomationError(5, QStringLiteral("DateStamp is broken")); }
    QString Key() override { throw 42; }
    void Initialize(const QString &key, PluginWindow *window, PropertyStore *) override
    {
        trace(key + QStringLiteral(":Initialize"));
        // A handler that lets its failure escape, once the window is in use.
        connect(window, &PluginWindow::DblClick, this, [] { throw std::runtime_error("DblClick handler is broken"); });
        throw AutomationError(91, QStringLiteral("Initialize is broken"));
    }
    void Run() override
    {
        trace(QStringLiteral("WLTestFailing.Failing:Run"));
        throw std::logic_error("Run is broken");
    }
    void Splash() override
    {
        trace(QStringLiteral("WLTestFailing.Failing:Splash"));
        throw AutomationError(5, QStringLiteral("Splash is broken"));
    }
    void Kill() override
    {
        trace(QStringLiteral("WLTestFailing.Failing:Kill"));
        throw AutomationError(5, QStringLiteral("Kill is broken"), QStringLiteral("WLTestFailing"));
    }
};

class FailingLibrary : public QObject, public WrenlogPluginLibrary
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID WrenlogPluginLibrary_iid FILE "Failing.json")
    Q_INTERFACES(WrenlogPluginLibrary)

public:
    QObject *CreateObject(const QString &className) override
    {
        return className == QLatin1String("Failing") ? new Failing : nullptr;
    }
};

#include "Failing.moc"
