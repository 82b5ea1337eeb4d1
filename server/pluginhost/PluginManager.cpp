#include "PluginManager.h"

#include "AppFolders.h"
#include "Guard.h"
#include "KeyedPosition.h"
#include "LoadProgress.h"
#include "PluginLibraryFile.h"
#include "PluginWindow.h"
#include "PluginWindowHost.h"
#include "PrintOrigin.h"
#include "PropertyStore.h"
#include "PropertyStoreCollection.h"
#include "RuntimeErrors.h"
#include "WrenlogPlugin.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

QString label(const char *procedure)
{
    return QStringLiteral("PluginManager") + QLatin1String(procedure);
}

void letMessagesRun()
{
    QCoreApplication::processEvents();
}

// Plug-in libraries are shared objects; on this platform a file's short name is
// its own name, so only the extension decides.
bool isCandidate(const QFileInfo &file)
{
    return file.suffix().compare(QLatin1String("so"), Qt::CaseInsensitive) == 0;
}

QString asText(const QVariant &value)
{
    return value.isValid() ? value.toString() : QString();
}

/// Reads a start-up entry as yes or no; any other text fails (type mismatch).
bool startUpEntryIsYes(const QVariant &entry)
{
    if (!entry.isValid())
        return false;
    if (entry.metaType() == QMetaType::fromType<QString>()) {
        const QString text = entry.toString().trimmed();
        if (text.isEmpty() || text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
            return false;
        if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
            return true;
        RuntimeErrors::raise(RuntimeErrors::TypeMismatch, Guard::defaultSource());
    }
    if (entry.metaType() == QMetaType::fromType<bool>())
        return entry.toBool();
    bool ok = false;
    const double number = entry.toDouble(&ok);
    if (!ok)
        RuntimeErrors::raise(RuntimeErrors::TypeMismatch, Guard::defaultSource());
    return number != 0.0;
}

} // namespace

PluginManager::PluginManager(PluginWindowHost *window, const QString &applicationFolder, QObject *parent)
    : QObject(parent)
    , m_host(window)
{
    passOn(label(".Class_Initialize"), [&] {
        const AppFolders folders = applicationFolder.isEmpty() ? AppFolders::current() : AppFolders(applicationFolder);
        m_stores = new PropertyStoreCollection(folders.pluginPropertiesFile(), this);
        m_stores->Initialize(0);
        m_startUp = m_stores->Add(QStringLiteral("StartUp"));
    });
}

PluginManager::~PluginManager()
{
    // Plug-ins go first, in load order, while the facade and their stores are
    // still there for them to use in their destructors.
    const QList<Loaded> plugins = std::exchange(m_plugins, {});
    for (const Loaded &loaded : plugins)
        delete loaded.object;
}

void PluginManager::Initialize(const QString &sPluginsDirectory)
{
    Initialize(sPluginsDirectory.isEmpty() ? QStringList() : QStringList {sPluginsDirectory});
}

void PluginManager::Initialize(const QStringList &pluginFolders)
{
    // A facade handed out by an earlier scan stays alive for whoever holds it.
    m_window = new class PluginWindow(m_host, this);

    LoadProgress progress;
    progress.Load();
    letMessagesRun();

    QString fileName; // the file examined last, for the failure message
    auto setStatus = [&](const QString &text) {
        progress.setStatusText(text);
        emit statusChanged(text);
    };
    // Runs one step of the scan; a failure is shown and cleared, and the scan
    // goes on with the next step.
    auto step = [&](auto &&fn) {
        if (captureFailure(fn)) {
            setStatus(QLatin1Char('\'') + fileName + QStringLiteral("' is not a plugin"));
            return false;
        }
        return true;
    };

    // Plug-ins and the scan let messages run, and the window may close
    // meanwhile: once the plug-ins are killed the scan creates and calls
    // nothing more.
    const auto goOn = [&] {
        letMessagesRun();
        return !m_killed;
    };
    const auto scan = [&] {
        // The installed plug-ins come first, so a user's library with the same
        // key is the one refused.
        QFileInfoList folders;
        for (const QString &pluginFolder : pluginFolders) {
            if (!pluginFolder.isEmpty())
                folders += QDir(pluginFolder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        }
        for (const QFileInfo &folder : std::as_const(folders)) {
            setStatus(QStringLiteral("Checking folder: '") + folder.fileName() + QLatin1Char('\''));
            const QFileInfoList files = QDir(folder.filePath()).entryInfoList(QDir::Files, QDir::Name);
            for (const QFileInfo &file : files) {
                if (!isCandidate(file))
                    continue;
                fileName = file.fileName();
                setStatus(QStringLiteral("Lookin at: '") + fileName + QLatin1Char('\''));
                auto library = std::make_shared<PluginLibraryFile>(file.filePath());
                if (!step([&] { library->open(); }))
                    continue;
                m_libraries.append(library);
                for (qint32 n = 1; n <= library->classCount(); ++n) {
                    step([&] {
                        progress.setMax(library->classCount());
                        progress.setValue(progress.Value() + 1);
                        emit progressChanged(progress.Value(), progress.Max());
                    });
                    if (!goOn())
                        return;
                    const QString key = library->libraryName() + QLatin1Char('.') + library->className(n);

                    QObject *object = nullptr;
                    WrenlogPlugin *plugin = nullptr;
                    const bool accepted = step([&] {
                        std::unique_ptr<QObject> created(library->createObject(library->className(n)));
                        plugin = qobject_cast<WrenlogPlugin *>(created.get());
                        if (!plugin)
                            RuntimeErrors::raise(RuntimeErrors::TypeMismatch, Guard::defaultSource());
                        object = created.release();
                    });
                    if (!accepted)
                        continue;

                    setStatus(QStringLiteral("Found: ") + key);
                    if (!goOn()) {
                        delete object;
                        return;
                    }

                    const bool listed = step([&] {
                        if (keys().contains(key, Qt::CaseInsensitive))
                            RuntimeErrors::raise(RuntimeErrors::KeyAlreadyAssociated, Guard::defaultSource());
                        m_plugins.append({key, object, plugin});
                    });
                    if (!listed) {
                        delete object;
                        continue;
                    }

                    step([&] {
                        setStatus(QStringLiteral("Initializing plugin: ") + asText(plugin->Name()) + QLatin1Char('(')
                                  + asText(plugin->Author()) + QLatin1Char(')'));
                    });
                    if (!goOn())
                        return;

                    // What the plug-in prints while it starts comes from its key.
                    const PrintOrigin::Scope origin(key);
                    PropertyStore *store = nullptr;
                    step([&] { store = m_stores->Add(key); });
                    step([&] { plugin->Initialize(key, m_window, store); });
                    if (m_killed)
                        return;

                    bool runIt = false;
                    if (!step([&] { runIt = startUpEntryIsYes(m_startUp->GetProperty(key)); }))
                        runIt = false;
                    if (runIt) {
                        setStatus(QStringLiteral("Run Plugin... "));
                        step([&] { plugin->Run(); });
                        if (!goOn())
                            return;
                        setStatus(QStringLiteral("Launch Splash Screen... "));
                        if (!goOn())
                            return;
                        step([&] { plugin->Splash(); });
                        if (!goOn())
                            return;
                    }
                }
            }
        }
    };
    scan();
    progress.Unload();
}

WrenlogPlugin *PluginManager::Plugin(const QVariant &IndexKey) const
{
    return passOn(label(".Item (Get)"), [&] {
        const qsizetype index
            = keyedPosition(IndexKey, m_plugins.size(), [&](qsizetype i) { return m_plugins.at(i).key; });
        return m_plugins.at(index).plugin;
    });
}

qint32 PluginManager::PluginCount() const
{
    return passOn(label(".Count (Get)"), [&] { return qint32(m_plugins.size()); });
}

void PluginManager::KillAll()
{
    passOn(label(".KillAll"), [&] {
        m_killed = true;
        std::optional<AutomationError> first;
        for (const Loaded &loaded : std::as_const(m_plugins)) {
            auto failure = captureFailure([&] { loaded.plugin->Kill(); });
            if (failure && !first)
                first = std::move(failure);
        }
        if (first)
            throw *first;
    });
}

PluginWindow *PluginManager::PluginWindow() const
{
    return passOn(label(".PluginWindow (Get)"), [&] { return m_window; });
}

std::shared_ptr<void> PluginManager::pluginCall() const
{
    return m_host ? m_host->hostPluginCall() : nullptr;
}

PropertyStore *PluginManager::PropertyStores() const
{
    return passOn(label(".PropertyStores (Get)"), [&] { return m_startUp; });
}

QStringList PluginManager::keys() const
{
    QStringList out;
    for (const Loaded &loaded : m_plugins)
        out.append(loaded.key);
    return out;
}
