#pragma once

#include "FileType.h"
#include "PluginWindow.h"
#include "PropertyStore.h"
#include "SplashForm.h"
#include "TackpadPopupForm.h"
#include "WrenlogPlugin.h"

#include <QObject>
#include <QPointer>

/**
 * The note plug-in: turns the debug window into a notepad of rich-text notes
 * kept in the Files folder beside the library. Run gives the window its note
 * look, registers the ".Tackpad" file type and hands over to the note list
 * window, which owns the current note from then on.
 */
class Tackpad : public QObject, public WrenlogPlugin
{
    Q_OBJECT
    Q_INTERFACES(WrenlogPlugin)

public:
    explicit Tackpad(QObject *parent = nullptr);
    ~Tackpad() override;

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

    TackpadPopupForm *popupForm() const { return m_popup; }
    FileType *fileType() const { return moMyFileType; }

    /// Step width in twips of the window's growth at Run (tests take big steps).
    static void setGrowStep(int twips);

private:
    void moMyFileType_Opened(const QString &Path);
    void moMyFileType_Saved(const QString &Path);

    QString m_key;
    QPointer<PluginWindow> moWindow;
    QPointer<PropertyStore> m_store;
    QPointer<FileType> moMyFileType;
    QPointer<TackpadPopupForm> m_popup;
    QPointer<SplashForm> m_splash;
    bool m_running = false;
};
