// Two plug-ins that write down every event of the window facade they hear,
// with its values, in their "Log" property. When their store holds a
// "Command" they add a menu entry with that caption and log its clicks.

#include "PluginMenu.h"
#include "PluginMenuItem.h"
#include "PluginWindow.h"
#include "PropertyStore.h"
#include "TestTrace.h"
#include "WrenlogPlugin.h"
#include "WrenlogPluginLibrary.h"

class Recorder : public QObject, public WrenlogPlugin
{
    Q_OBJECT
    Q_INTERFACES(WrenlogPlugin)
    Q_PROPERTY(QStringList Log MEMBER m_log)
    Q_PROPERTY(QObject *Item MEMBER m_item)

public:
    explicit Recorder(const QString &name)
        : m_name(name)
    {
        trace(QStringLiteral("WLTestRecorder.") + name + QStringLiteral(":created"));
    }

    QVariant Name() override { return m_name; }
    QVariant Author() override { return QStringLiteral("Tests"); }
    QVariant Version() override { return QStringLiteral("1.0"); }
    QString Key() override { return m_key; }
    bool IsRunning() override { return m_running; }
    void Initialize(const QString &key, PluginWindow *w, PropertyStore *store) override
    {
        m_key = key;
        trace(key + QStringLiteral(":Initialize"));
        listen(w);
        const QString command = store ? store->GetProperty(QStringLiteral("Command")).toString() : QString();
        if (!command.isEmpty()) {
            m_item = w->Menu()->AddMenuItem(command);
            connect(static_cast<PluginMenuItem *>(m_item), &PluginMenuItem::Click, this,
                    [this] { m_log.append(QStringLiteral("MenuClick")); });
        }
    }
    void Run() override
    {
        m_running = true;
        trace(m_key + QStringLiteral(":Run"));
    }
    void Splash() override { trace(m_key + QStringLiteral(":Splash")); }
    void Kill() override
    {
        m_running = false;
        trace(m_key + QStringLiteral(":Kill"));
    }

private:
    void log(const QString &event, const QVariantList &values = {})
    {
        QStringList parts;
        for (const QVariant &value : values)
            parts.append(value.toString());
        m_log.append(values.isEmpty() ? event
                                      : event + QLatin1Char('(') + parts.join(QLatin1Char(',')) + QLatin1Char(')'));
    }

    void listen(PluginWindow *w)
    {
        using W = PluginWindow;
        connect(w, &W::DebugShowEvent, this, [this] { log(QStringLiteral("DebugShow")); });
        connect(w, &W::DebugPrintEvent, this, [this](const QString &t, qint32 c, bool l, bool &) {
            log(QStringLiteral("DebugPrint"), {t, c, l});
        });
        connect(w, &W::Ready, this, [this] { log(QStringLiteral("Ready")); });
        connect(w, &W::Busy, this, [this](bool b) { log(QStringLiteral("Busy"), {b}); });
        connect(w, &W::OnTopEvent, this, [this](bool b) { log(QStringLiteral("OnTop"), {b}); });
        connect(w, &W::FoldEvent, this, [this](bool b) { log(QStringLiteral("Fold"), {b}); });
        connect(w, &W::BeforeOpen, this, [this](bool &) { log(QStringLiteral("BeforeOpen")); });
        connect(w, &W::AfterOpen, this, [this](const QString &p) { log(QStringLiteral("AfterOpen"), {p}); });
        connect(w, &W::BeforeSave, this, [this](bool &) { log(QStringLiteral("BeforeSave")); });
        connect(w, &W::AfterSave, this, [this](const QString &p) { log(QStringLiteral("AfterSave"), {p}); });
        connect(w, &W::BeforeEraseAll, this, [this](bool &) { log(QStringLiteral("BeforeEraseAll")); });
        connect(w, &W::AfterEraseAll, this, [this] { log(QStringLiteral("AfterEraseAll")); });
        connect(w, &W::KeyPress, this, [this](qint32 k, qint32 s) { log(QStringLiteral("KeyPress"), {k, s}); });
        connect(w, &W::Activate, this, [this] { log(QStringLiteral("Activate")); });
        connect(w, &W::DeActivate, this, [this] { log(QStringLiteral("DeActivate")); });
        connect(w, &W::Resize, this, [this] { log(QStringLiteral("Resize")); });
        connect(w, &W::BeforeQuit, this, [this](bool &) { log(QStringLiteral("BeforeQuit")); });
        connect(w, &W::Move, this, [this] { log(QStringLiteral("Move")); });
        connect(w, &W::GotFocus, this, [this] { log(QStringLiteral("GotFocus")); });
        connect(w, &W::LostFocus, this, [this] { log(QStringLiteral("LostFocus")); });
        connect(w, &W::MouseMove, this, [this](qint16 &b, qint16 &s, float &x, float &y) {
            log(QStringLiteral("MouseMove"), {b, s, x, y});
        });
        connect(w, &W::SelChange, this, [this] { log(QStringLiteral("SelChange")); });
        connect(w, &W::Click, this, [this] { log(QStringLiteral("Click")); });
        connect(w, &W::DblClick, this, [this] { log(QStringLiteral("DblClick")); });
        connect(w, &W::Change, this, [this] { log(QStringLiteral("Change")); });
        connect(w, &W::Translucency, this, [this](bool b) { log(QStringLiteral("Translucency"), {b}); });
        connect(w, &W::TopTextChange, this, [this] { log(QStringLiteral("TopTextChange")); });
        connect(w, &W::TopTextKeyPress, this, [this](qint16 k) { log(QStringLiteral("TopTextKeyPress"), {k}); });
        connect(w, &W::TopTextLostFocus, this, [this] { log(QStringLiteral("TopTextLostFocus")); });
        connect(w, &W::TopTextGotFocus, this, [this] { log(QStringLiteral("TopTextGotFocus")); });
    }

    QString m_name;
    QString m_key;
    QStringList m_log;
    QObject *m_item = nullptr;
    bool m_running = false;
};

class RecorderLibrary : public QObject, public WrenlogPluginLibrary
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID WrenlogPluginLibrary_iid FILE "Recorder.json")
    Q_INTERFACES(WrenlogPluginLibrary)

public:
    QObject *CreateObject(const QString &className) override
    {
        if (className == QLatin1String("Recorder") || className == QLatin1String("Listener"))
            return new Recorder(className);
        return nullptr;
    }
};

#include "Recorder.moc"
