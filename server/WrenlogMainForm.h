#pragma once

#include "FileCommandsLink.h"
#include "FormWindow.h"
#include "PluginManagerLink.h"
#include "WrenlogEnums.h"

#include <QPointer>
#include <QVariant>

#include <memory>

class QAction;
class QLineEdit;
class QMenu;
class QToolBar;
class QToolButton;
class RichTextView;
class MainFormControls;
class NotificationSink;

/**
 * The debug window: a toolbar, a one-line top text box and the rich-text view
 * that holds the debug text.
 *
 * One instance is the shared window behind GlobalWindow; every private window
 * is another instance (see MakePrivate()). Everything that happens in the
 * window goes to its plug-ins through Notify(); a window without a plug-in
 * manager notifies nobody and nothing is ever cancelled.
 *
 *     auto *window = new WrenlogMainForm;
 *     window->Load();
 *     window->DebugPrint("Started", wlogTitle);
 *     window->DebugShow();
 *
 * Every instance saves and restores its position under the window name
 * "WrenlogMainForm".
 */
class WrenlogMainForm : public FormWindow
{
    Q_OBJECT
    Q_PROPERTY(bool OnTop READ OnTop WRITE setOnTop)
    Q_PROPERTY(bool Fold READ Fold WRITE setFold)
    Q_PROPERTY(bool RemoteUnload READ RemoteUnload WRITE setRemoteUnload)

public:
    explicit WrenlogMainForm(QWidget *parent = nullptr);
    ~WrenlogMainForm() override;

    /// Restores the saved position, creates the file types, raises Ready.
    /// Runs once; later calls do nothing.
    void Load();
    bool isLoaded() const { return m_loaded; }
    /// Asks the window to close as the user would; false when refused.
    bool Unload();

    // Printing and erasing.
    void DebugPrint(const QString &Text, qint32 Colour = wlogNormal, bool CrLF = true);
    /// Notifies DebugShow and makes the window visible.
    void DebugShow();
    void EraseAll();
    /// Empties the text without raising BeforeEraseAll or AfterEraseAll.
    void Clear();

    // Always on top, translucency and folding.
    bool OnTop() const;
    void setOnTop(bool onTop);
    void ToggleOnTop();
    bool Translucent() const { return m_translucent; }
    bool TranslucencyAllowed() const { return m_translucencyAllowed; }
    bool Fold() const;
    void setFold(bool fold);
    void ToggleFold();
    /// Height in twips before folding; 0 while unfolded.
    qint32 UnfoldedHeight() const { return m_unfoldedHeight; }

    bool RemoteUnload() const { return m_remoteUnload; }
    void setRemoteUnload(bool remoteUnload);

    // Frame callbacks.
    void NotifyMove();
    void NotifyActivate(bool active);

    /// Turns this window into a private window: no close button, no plug-in
    /// button or submenu, a greyed "Quit (Private Window)", closes refused.
    void MakePrivate();

    // Plug-ins.
    /**
     * Marks plug-in code on the stack: the start-up scan, an event handler, a
     * command of the manager dialog. Plug-ins may let messages run, and the
     * user may close the window meanwhile; the window then closes at once, but
     * the plug-in manager, the plug-ins and the manager dialog (and the window
     * object, see deleteWhenIdle()) are released only when the last call that
     * was running has returned.
     */
    class PluginCall
    {
    public:
        explicit PluginCall(WrenlogMainForm &form);
        ~PluginCall();
        PluginCall(const PluginCall &) = delete;
        PluginCall &operator=(const PluginCall &) = delete;

    private:
        QPointer<WrenlogMainForm> m_form;
    };
    /// Deletes the window later, once no plug-in call runs.
    void deleteWhenIdle();
    bool isUnloaded() const { return m_unloaded; }

    /// Creates the plug-in manager (once) and starts the plug-ins of PluginFolders().
    void InitPlugins();
    PluginManagerLink *pluginManager() const { return m_pluginManager.get(); }
    /// Hands the window a manager directly (the host's factory, and tests).
    void setPluginManager(std::unique_ptr<PluginManagerLink> manager);
    static void setPluginManagerFactory(PluginManagerFactory factory);
    /// Where plug-ins are looked for, installed ones first (AppFolders).
    static QStringList PluginFolders();
    /// The notification path: forwards to the facade of the plug-in manager.
    void Notify(qint32 code, const QVariant &values, bool &cancel);
    /// Notify() for events without Cancel; returns whether a listener cancelled.
    bool Notify(qint32 code, const QVariant &values = {});
    /// Whether a plug-in listens to the event of code.
    bool heard(qint32 code) const;

    // Opening and saving.
    FileCommandsLink *fileCommands() const { return m_fileCommands.get(); }
    static void setFileCommandsFactory(FileCommandsFactory factory);

    // Controls.
    RichTextView *rtbDetails() const;
    QLineEdit *txtLable() const;
    QWidget *picContainer() const;
    QToolBar *tbrMainToolbar() const;
    /// The toolbar action with the given key (btnOpen ... btnClose).
    QAction *toolbarButton(const QString &key) const;
    QToolButton *toolbarButtonWidget(const QString &key) const;
    QMenu *mnuContext() const;
    /// The context-menu action with the given name (mnuOpen ... mnuQuit).
    QAction *menuItem(const QString &name) const;
    QMenu *mnuPlugins() const;

    // The plug-in menu arrays. Element 0 of mnuPluginItem is the "(None)"
    // placeholder; elements 1, 2 ... are plug-in entries, each mirrored by the
    // drop-down entry of btnPlugins at the same position.
    int mnuPluginItemCount() const;
    QAction *mnuPluginItem(int index) const;
    /// Loads element n = count of mnuPluginItem, a copy of element 0.
    QAction *LoadPluginMenuItem();
    /// Appends an empty entry to the btnPlugins drop-down (positions from 1).
    QAction *AddPluginDropDownEntry();
    QAction *pluginDropDownEntry(int position) const;
    int mnuPluginMenusCount() const;
    QAction *mnuPluginMenus(int index) const;
    QAction *LoadPluginMenusElement();

    /// Runs a toolbar button's command by key, as a click does.
    void tbrMainToolbar_ButtonClick(const QString &key);
    /// Shows the context menu at a global position (adjusted as a right-click does).
    void ShowContextMenu(const QPoint &globalPos);
    /// Prepares the context menu's plug-in elements as a right-click does.
    void PrepareContextMenu();

signals:
    /// The window was closed and unloaded.
    void Unloaded();

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend class MainFormControls;

    void connectCommands();
    void runCommand(const QString &command);
    bool QueryUnload();
    void releaseOnUnload();
    void releasePlugins();
    void pluginCallsEnded();
    void updateFrameLimits();
    int foldedClientHeight() const;
    void layoutControls();
    bool handleKeyDown(int key, Qt::KeyboardModifiers modifiers);
    void forwardViewEvents();
    void emptyText();

    std::unique_ptr<MainFormControls> m_controls;
    std::unique_ptr<PluginManagerLink> m_pluginManager;
    std::unique_ptr<FileCommandsLink> m_fileCommands;
    qint32 m_unfoldedHeight = 0;
    bool m_remoteUnload = false;
    bool m_translucent = false;
    bool m_translucencyAllowed = false;
    bool m_loaded = false;
    bool m_unloaded = false;
    int m_printDepth = 0;
    int m_pluginCalls = 0;
    bool m_releasePending = false;
    bool m_deletePending = false;
};
