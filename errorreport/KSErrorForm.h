#pragma once

#include "ErrorReport.h"

#include <QDialog>

class AutomationError;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

/**
 * The error report dialog: a short message with "Ok" and "Details >>"; the
 * details show the error code, description, where it was trapped and the
 * call stack. When "Save Error To 'error.log'" is ticked, closing the dialog
 * by any means appends the report to error.log in the program's folder.
 *
 * The dialog names the program it belongs to (programName) and writes beside
 * it (folder), so a plug-in carrying its own copy shows its own library.
 */
class KSErrorForm : public QDialog
{
    Q_OBJECT
public:
    KSErrorForm(QString programName, QString folder, QWidget *parent = nullptr);

    /// Fills the dialog for one report (everything of ShowError but showing it).
    void Prepare(const AutomationError &oErr, const QString &sSourceName, bool bSaveLog);
    const ErrorReport &report() const { return m_report; }

    /// The height of the dialog window (frame and caption included) without
    /// and with its details, in twips.
    static constexpr int collapsedHeight = 1800;
    static constexpr int expandedHeight = 5160;

    QLabel *lblMessage = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdDetails = nullptr;
    QPlainTextEdit *txtDescription = nullptr;
    QPlainTextEdit *txtCallStack = nullptr;
    QCheckBox *chkSaveToLog = nullptr;

public slots:
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void cmdDetails_Click();
    void setHeightTwips(int twips);
    /// Pixels the frame adds to the client height.
    int frameHeight() const;

    QString m_programName;
    QString m_folder;
    ErrorReport m_report;
    bool m_logged = false;
    int m_heightTwips = collapsedHeight;
    QList<QWidget *> m_details;
};
