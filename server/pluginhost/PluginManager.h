#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>

#include <memory>

class PluginLibraryFile;
class PluginWindowHost;
class PropertyStore;
class PropertyStoreCollection;
class WrenlogPlugin;

/**
 * The one owner of all plug-ins of the debug window.
 *
 * Initialize() scans the immediate sub-folders of the plug-in folder for plug-in
 * libraries (files ending in .so, any case), creates every class they declare
 * that implements WrenlogPlugin, initialises it with its key, the shared window
 * facade and its property store, and runs it at once when the "StartUp" section
 * of PluginProperties.ini says so. A start-up progress window shows how far it is.
 *
 *     auto *manager = new PluginManager(window, QString(), window);
 *     manager->Initialize(AppFolders::current().pluginFolders());
 *     showPluginCommands(manager->PluginCount() > 0);
 *     ...
 *     manager->KillAll(); // when the window closes
 *
 * Load order is folder order, then file order, then the order in which a
 * library declares its classes; folders and files are taken sorted by name so
 * that the order (and with it which of two plug-ins runs first) is the same on
 * every machine. A library or class that fails never stops the scan: the
 * progress window says "'<file>' is not a plugin" and the scan goes on.
 *
 * A class whose key is already listed (the same library in two folders) is
 * not created a second time: the failure message is shown and the plug-in
 * loaded first keeps the key, its settings and its menu entries.
 */
class PluginManager : public QObject
{
    Q_OBJECT

public:
    /// PluginProperties.ini is the one AppFolders gives for applicationFolder
    /// (for the running program when empty).
    explicit PluginManager(PluginWindowHost *window, const QString &applicationFolder = QString(),
                           QObject *parent = nullptr);
    ~PluginManager() override;

    void Initialize(const QString &sPluginsDirectory);
    /// Scans several plug-in folders one after the other, in the order given
    /// (AppFolders::pluginFolders(): the installed one, then the user's).
    void Initialize(const QStringList &pluginFolders);
    /// The plug-in at a 1-based position, or with the given key.
    WrenlogPlugin *Plugin(const QVariant &IndexKey) const;
    qint32 PluginCount() const;
    /// Calls Kill on every plug-in in load order; every plug-in is told even
    /// when one fails, and the first failure is then passed on.
    void KillAll();
    class PluginWindow *PluginWindow() const;
    /// The "StartUp" store: one entry per plug-in key, "True" or "False".
    PropertyStore *PropertyStores() const;

    /// The keys of the plug-ins in load order.
    QStringList keys() const;
    /// Hold the result while calling a plug-in from outside the window (the
    /// manager dialog): a window closed meanwhile keeps its plug-ins until
    /// the result is dropped. May be null.
    std::shared_ptr<void> pluginCall() const;

signals:
    /// What the progress window shows, as it changes (for whoever watches the scan).
    void statusChanged(const QString &status);
    void progressChanged(qint32 value, qint32 maximum);

private:
    struct Loaded
    {
        QString key;
        QObject *object;
        WrenlogPlugin *plugin;
    };

    PluginWindowHost *m_host;
    class PluginWindow *m_window = nullptr;
    PropertyStoreCollection *m_stores = nullptr;
    PropertyStore *m_startUp = nullptr;
    QList<Loaded> m_plugins;
    bool m_killed = false;
    // Libraries stay loaded for the life of the process: code of a plug-in can
    // still be referenced (metatypes, queued calls) after its objects are gone.
    QList<std::shared_ptr<PluginLibraryFile>> m_libraries;
};
