#pragma once

#include "FormWindow.h"

#include <QPointer>
#include <QString>

#include <functional>

class PluginManager;
class PropertyStore;
class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class WrenlogPlugin;

/**
 * The plug-in manager dialog: the loaded plug-ins with their author, version
 * and whether they run, a check box per plug-in for running it at start-up,
 * and buttons to run one now or open its properties.
 *
 *     auto *dialog = new PluginManagerForm;   // deletes itself when closed
 *     dialog->Execute(manager);               // modeless; again: brought forward
 *
 * The start-up choices are written to the manager's "StartUp" store by Close
 * only; the close box keeps what was stored before. Position, size and the
 * column widths (as "w1|w2|w3|w4" in twips) are saved with the window's
 * position on every close and come back the next time it opens.
 */
class PluginManagerForm : public FormWindow
{
    Q_OBJECT

public:
    explicit PluginManagerForm(QWidget *parent = nullptr);
    ~PluginManagerForm() override;

    /// Shows the dialog for oPluginManager, loading it first when it is not
    /// open; an open dialog is only brought forward, its list untouched.
    void Execute(PluginManager *oPluginManager);
    bool isLoaded() const { return m_loaded; }
    /// Closed and waiting to be deleted: the next opening needs a new dialog.
    bool isUnloaded() const { return m_unloaded; }

    // Controls.
    QLabel *lblListTitle() const { return m_lblListTitle; }
    QTreeWidget *lvwPlugins() const { return m_lvwPlugins; }
    QWidget *picButtons() const { return m_picButtons; }
    QPushButton *cmdClose() const { return m_cmdClose; }
    QPushButton *cmdRun() const { return m_cmdRun; }
    QPushButton *cmdProperties() const { return m_cmdProperties; }

    /// The columns' current widths in twips, joined by "|".
    QString columnWidths() const;

    // Event procedures (each reports its own failures).
    void cmdClose_Click();
    void cmdRun_Click();
    void cmdProperties_Click();
    void lvwPlugins_ItemClick(QTreeWidgetItem *Item);

    static const QString defaultColumnWidths;

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    /// While a command waits for a plug-in, a close does not delete the dialog.
    class CallScope
    {
    public:
        explicit CallScope(PluginManagerForm &form);
        ~CallScope();

    private:
        PluginManagerForm &m_form;
    };

    /// Calls the selected row's plug-in, then (dialog and manager still
    /// there) runs then; failures go to the error dialog under procedure.
    void callPlugin(const char *procedure, const std::function<void(WrenlogPlugin &)> &call,
                    const std::function<void()> &then);
    void Form_Load();
    void SetupListView();
    void RefreshList();
    void SaveStartUpProperties();
    void setButtonsFor(QTreeWidgetItem *item);
    void updateMinimumSize();
    void layoutControls();
    QTreeWidgetItem *selectedRow() const;

    QLabel *m_lblListTitle = nullptr;
    QTreeWidget *m_lvwPlugins = nullptr;
    QWidget *m_picButtons = nullptr;
    QPushButton *m_cmdClose = nullptr;
    QPushButton *m_cmdRun = nullptr;
    QPushButton *m_cmdProperties = nullptr;

    QPointer<PluginManager> m_manager;
    QPointer<PropertyStore> m_startUp;
    QString m_columnWidths;
    bool m_loaded = false;
    bool m_unloaded = false;
    bool m_refilling = false;
    int m_pluginCalls = 0;
    bool m_deleteWhenIdle = false;
};
