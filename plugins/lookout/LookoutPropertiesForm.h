#pragma once

#include "LookoutSettings.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;

/**
 * Lookout's properties: the ordered highlight rules (text or regular
 * expression, match case, colour) and "Keep at most N lines". The dialog
 * works on a copy of the settings; settings() hands back what the user
 * left when OK closed it. A rule whose regular expression is invalid is
 * refused with the reason beside the pattern.
 */
class LookoutPropertiesForm : public QDialog
{
    Q_OBJECT

public:
    explicit LookoutPropertiesForm(const LookoutSettings &settings, QWidget *parent = nullptr);
    ~LookoutPropertiesForm() override;

    LookoutSettings settings() const;

    QListWidget *lstRules() const { return m_rules; }
    QLineEdit *txtPattern() const { return m_pattern; }
    QCheckBox *chkRegularExpression() const { return m_regularExpression; }
    QCheckBox *chkMatchCase() const { return m_matchCase; }
    QSpinBox *spnMaxLines() const { return m_maxLines; }
    /// Adds the rule of the edit fields below the others; false when it is refused.
    bool addRule(qint32 colour);

private:
    void showRule(int row);
    void removeRule();
    void moveRule(int by);
    void chooseColour();
    void refreshRow(int row);

    LookoutSettings m_settings;
    QListWidget *m_rules;
    QLineEdit *m_pattern;
    QCheckBox *m_regularExpression;
    QCheckBox *m_matchCase;
    QPushButton *m_colour;
    QLabel *m_problem;
    QSpinBox *m_maxLines;
    qint32 m_chosenColour = 0x0000FF;
};
