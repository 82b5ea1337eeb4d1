#pragma once

#include <QString>
#include <QVariant>
#include <QtPlugin>

class PluginWindow;
class PropertyStore;

/**
 * The contract every plug-in class implements, and the do-nothing class that
 * carries it: each member below returns an empty value or returns at once, so
 * a plug-in overrides only what it needs.
 *
 * The host calls the members in this order of slots, always on the user-interface
 * thread and one call at a time. A member fails by throwing AutomationError (any
 * other exception is turned into one); the host absorbs the failure where it
 * called the member and carries on.
 *
 *     class Hello : public QObject, public WrenlogPlugin
 *     {
 *         Q_OBJECT
 *         Q_INTERFACES(WrenlogPlugin)
 *     public:
 *         QVariant Name() override { return QStringLiteral("Hello"); }
 *         QString Key() override { return m_key; }
 *         void Initialize(const QString &key, PluginWindow *w, PropertyStore *) override
 *         { m_key = key; m_window = w; }
 *         void Run() override { m_window->DebugPrint(QStringLiteral("Hello")); }
 *     ...
 *
 * The objects handed to Initialize belong to the host and stay valid until the
 * plug-in object itself is destroyed.
 */
class WrenlogPlugin
{
public:
    virtual ~WrenlogPlugin();

    virtual QVariant Name();
    virtual QVariant Author();
    virtual QVariant Version();
    virtual QVariant DateStamp();
    virtual QVariant Comments();
    virtual QString Key();
    virtual bool HasProperties();
    virtual void ShowProperties();
    virtual void Initialize(const QString &Key, PluginWindow *pluginWindow, PropertyStore *propertyStore);
    virtual void Splash();
    virtual void Run();
    virtual void Kill();
    virtual bool IsRunning();

protected:
    // Only plug-in classes make one: the do-nothing class is there to be derived from.
    WrenlogPlugin() = default;
    WrenlogPlugin(const WrenlogPlugin &) = default;
    WrenlogPlugin &operator=(const WrenlogPlugin &) = default;
};

// The interface identifier: published once, never changed.
#define WrenlogPlugin_iid "org.wrenlog.WrenlogPlugin/{6b0f3f4e-2a8d-4c61-9d53-7e1f0a4c2b97}"
Q_DECLARE_INTERFACE(WrenlogPlugin, WrenlogPlugin_iid)
