#pragma once

#include "AutomationError.h"

#include <QDialog>
#include <QPointer>

#include <optional>

class PropertyStore;
class QCheckBox;
class QLineEdit;
class QPushButton;

/**
 * The scanner's properties dialog: the folder to scan (typed, or chosen with
 * "...") and whether clean files are listed too.
 *
 *     MyPropertyForm form(owner);
 *     form.Execute(store);   // modal; OK writes "WorkingPath" and "FullResults"
 *
 * Cancel and Esc close it without writing anything. A failure of the store
 * closes the dialog and leaves Execute, so the caller hears of it.
 */
class MyPropertyForm : public QDialog
{
    Q_OBJECT

public:
    explicit MyPropertyForm(QWidget *parent = nullptr);

    void Execute(PropertyStore *oProperties);

    QLineEdit *txtDirectory() const { return m_txtDirectory; }
    QCheckBox *chkFullResults() const { return m_chkFullResults; }
    QPushButton *cmdBrowseDir() const { return m_cmdBrowseDir; }
    QPushButton *cmdOK() const { return m_cmdOK; }
    QPushButton *cmdCancel() const { return m_cmdCancel; }

    void cmdBrowseDir_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

private:
    void Form_Load();
    template<typename Fn>
    void handle(const char *procedure, Fn &&fn);

    QPointer<PropertyStore> m_properties;
    QLineEdit *m_txtDirectory = nullptr;
    QCheckBox *m_chkFullResults = nullptr;
    QPushButton *m_cmdBrowseDir = nullptr;
    QPushButton *m_cmdOK = nullptr;
    QPushButton *m_cmdCancel = nullptr;
    std::optional<AutomationError> m_failure;
};
