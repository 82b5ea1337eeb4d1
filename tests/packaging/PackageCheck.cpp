// The package check's own plug-in, put into the user's plug-in folder of an
// unpacked package: that it loads at all shows that user plug-ins are found.
// It writes a setting of its own, and on a printed command does what a user's
// clicks would: "New KS Tackpad" from the Plugins menu, or an error report
// saved to error.log from the error dialog.

#include "AutomationError.h"
#include "Guard.h"
#include "PluginMenu.h"
#include "PluginMenuItem.h"
#include "PluginWindow.h"
#include "PropertyStore.h"
#include "WrenlogPlugin.h"
#include "WrenlogPluginLibrary.h"

#include <QApplication>
#include <QCheckBox>
#include <QTimer>
#include <QWidget>

class PackageCheck : public QObject, public WrenlogPlugin
{
    Q_OBJECT
    Q_INTERFACES(WrenlogPlugin)

public:
    QVariant Name() override { return QStringLiteral("Package check"); }
    QString Key() override { return m_key; }

    void Initialize(const QString &key, PluginWindow *window, PropertyStore *store) override
    {
        m_key = key;
        m_window = window;
        m_store = store;
        store->SetProperty(QStringLiteral("Loaded"), QStringLiteral("True"));
        connect(window, &PluginWindow::DebugPrintEvent, this, [this](const QString &text, qint32, bool, bool &) {
            // After the print has been answered, as a click would come.
            if (text == u"package-check: new note")
                QTimer::singleShot(0, this, &PackageCheck::newNote);
            else if (text == u"package-check: error report")
                QTimer::singleShot(0, this, &PackageCheck::errorReport);
        });
    }

private:
    void newNote()
    {
        PluginMenu *menu = m_window->Menu();
        for (qint32 n = 1; n <= menu->MenuItemCount(); ++n) {
            if (menu->MenuItem(n)->Caption() == u"New KS Tackpad")
                menu->MenuItem(n)->MenuClick();
        }
        // The note plug-in lets messages run while it makes the note; the
        // check closes the window only once the click has returned.
        m_store->SetProperty(QStringLiteral("NoteMade"), QStringLiteral("True"));
    }

    void errorReport()
    {
        tickSaveAndClose();
        Guard::report(AutomationError(5, QStringLiteral("Package check"), QStringLiteral("WLPackageCheck")),
                      QStringLiteral("PackageCheck.errorReport"));
    }

    // The error dialog is modal: find it from a timer once it shows, tick
    // "Save Error To 'error.log'" and close it.
    void tickSaveAndClose()
    {
        QTimer::singleShot(200, this, [this] {
            const QList<QWidget *> windows = QApplication::topLevelWidgets();
            for (QWidget *window : windows) {
                auto *save = window->findChild<QCheckBox *>(QStringLiteral("chkSaveToLog"));
                if (save && window->isVisible()) {
                    save->setChecked(true);
                    window->close();
                    return;
                }
            }
            tickSaveAndClose();
        });
    }

    QString m_key;
    PluginWindow *m_window = nullptr;
    PropertyStore *m_store = nullptr;
};

class PackageCheckLibrary : public QObject, public WrenlogPluginLibrary
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID WrenlogPluginLibrary_iid FILE "PackageCheck.json")
    Q_INTERFACES(WrenlogPluginLibrary)

public:
    QObject *CreateObject(const QString &className) override
    {
        return className == QLatin1String("PackageCheck") ? new PackageCheck : nullptr;
    }
};

#include "PackageCheck.moc"
