#pragma once

#include <QList>
#include <QObject>
#include <QVariant>

class PluginMenuItem;
class PluginWindowHost;

/**
 * The plug-ins' commands in the debug window, reached as PluginWindow::Menu().
 *
 * Each AddMenuItem() shows one more entry at the end of the Plugins submenu and
 * of the plug-in button's drop-down; the entry's index in the one equals its
 * position in the other and in this collection. Entries are never removed.
 *
 *     PluginMenuItem *item = window->Menu()->AddMenuItem(QStringLiteral("Scan"));
 *     connect(item, &PluginMenuItem::Click, this, &Scanner::scan);
 */
class PluginMenu : public QObject
{
    Q_OBJECT

public:
    explicit PluginMenu(PluginWindowHost *host, QObject *parent = nullptr);

    PluginMenuItem *AddMenuItem(const QString &Caption);
    /// The item at a 1-based position; the collection has no keys, so text fails.
    PluginMenuItem *MenuItem(const QVariant &vntIndexKey) const;
    qint32 MenuItemCount() const;

private:
    PluginWindowHost *m_host;
    QList<PluginMenuItem *> m_items;
};
