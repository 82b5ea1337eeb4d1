#pragma once

#include "PluginMenuItem.h"
#include "PluginWindow.h"
#include "PropertyStore.h"
#include "WrenlogPlugin.h"

#include <QObject>
#include <QPointer>

class MySplashForm;
class SourceScan;

/**
 * The to-do scanner plug-in: one command, "Chorescan", in the debug window's
 * plug-in menu that scans the folder kept in its "WorkingPath" setting (or a
 * folder the user picks) and prints what is still to do there.
 *
 * A click that arrives while a scan runs (the scan lets the message loop run
 * between lines) is ignored, and the command is greyed meanwhile: a scan
 * started inside another would reset its count and interleave the reports.
 */
class Chorescan : public QObject, public WrenlogPlugin
{
    Q_OBJECT
    Q_INTERFACES(WrenlogPlugin)

public:
    explicit Chorescan(QObject *parent = nullptr);
    ~Chorescan() override;

    QVariant Name() override;
    QVariant Author() override;
    QVariant Version() override;
    QVariant DateStamp() override;
    QVariant Comments() override;
    QString Key() override;
    bool HasProperties() override;
    void ShowProperties() override;
    void Initialize(const QString &Key, PluginWindow *pluginWindow, PropertyStore *propertyStore) override;
    void Splash() override;
    void Run() override;
    void Kill() override;
    bool IsRunning() override;

    /// The scan, as the command's Click runs it.
    Q_INVOKABLE void moMyMenuItem_Click();

private:
    QString m_key;
    QPointer<PluginWindow> moWindow;
    QPointer<PropertyStore> m_store;
    QPointer<PluginMenuItem> moMyMenuItem;
    QPointer<MySplashForm> m_splash;
    bool m_running = false;
    bool m_scanning = false;
    SourceScan *m_scan = nullptr; ///< the scan running now
    qint32 m_found = 0;
    bool m_fullResults = false;
};
