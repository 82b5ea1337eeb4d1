#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;

/**
 * The small borderless window that stays on top while the plug-ins load: the
 * program's title and version, a status line and a progress bar.
 *
 * The plug-in manager shows it with Load(), drives it through its four
 * properties and closes it with Unload(), which drops the on-top state first
 * so that no topmost remnant is left behind.
 */
class LoadProgress : public QWidget
{
    Q_OBJECT

public:
    explicit LoadProgress(QWidget *parent = nullptr);
    ~LoadProgress() override;

    void Load();
    void Unload();

    qint32 Value() const;
    /// Ignored outside Min to Max inclusive.
    void setValue(qint32 value);
    qint32 Min() const;
    void setMin(qint32 value);
    qint32 Max() const;
    void setMax(qint32 value);
    QString StatusText() const;
    void setStatusText(const QString &text);

    /// "Version " and the program's major, minor and revision numbers.
    static QString versionText();

private:
    void formOnTop(bool onTop);

    QLabel *m_title = nullptr;
    QLabel *m_version = nullptr;
    QLabel *m_subTitle = nullptr;
    QLabel *lblStatus = nullptr;
    QProgressBar *prbProgress = nullptr;
};
