#pragma once

#include <QAction>
#include <QObject>
#include <QPointer>

/**
 * One plug-in command, shown twice: as element Index of the Plugins submenu and
 * as the drop-down entry at the same position of the plug-in button. Click is
 * raised on this item only, whichever of the two the user picked.
 *
 * The two elements belong to the window; once the window is gone, every member
 * fails with run-time error 91. The properties are Qt properties too, reached
 * by name (item->setProperty("Caption", ...)).
 */
class PluginMenuItem : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(bool Checked READ Checked WRITE setChecked)
    Q_PROPERTY(bool Visible READ Visible WRITE setVisible)
    Q_PROPERTY(qint32 Index READ Index)

public:
    explicit PluginMenuItem(QObject *parent = nullptr);

    QString Caption() const;
    /// Sets the menu caption and the drop-down text; "-" makes the menu element a separator.
    void setCaption(const QString &caption);
    void setEnabled(bool enabled);
    bool Enabled() const;
    /// The menu element only: the drop-down has no check marks.
    void setChecked(bool checked);
    bool Checked() const;
    void setVisible(bool visible);
    bool Visible() const;
    qint32 Index() const;

    /// Host side: takes the two elements, both enabled and visible from now on.
    void attach(QAction *menuElement, QAction *dropDownEntry, qint32 index);
    /// Host side: raises Click.
    void MenuClick();

signals:
    void Click();

private:
    QAction *menuElement() const;
    QAction *dropDownEntry() const;

    QPointer<QAction> m_menuElement;
    QPointer<QAction> m_dropDownEntry;
    // Who added the item (a plug-in's key while the host runs it): its Click prints as that plug-in.
    QString m_owner;
    qint32 m_index = 0;
    bool m_checked = false;
};
