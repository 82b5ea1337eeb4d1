#include "PluginMenu.h"

#include "Guard.h"
#include "PluginMenuItem.h"
#include "PluginWindowHost.h"
#include "RuntimeErrors.h"

#include <QAction>

PluginMenu::PluginMenu(PluginWindowHost *host, QObject *parent)
    : QObject(parent)
    , m_host(host)
{}

PluginMenuItem *PluginMenu::AddMenuItem(const QString &Caption)
{
    return passOn(QStringLiteral("PluginMenu.Add"), [&] {
        if (!m_host)
            RuntimeErrors::raise(RuntimeErrors::ObjectNotSet, Guard::defaultSource());
        auto *item = new PluginMenuItem(this);
        m_items.append(item);
        const qint32 n = qint32(m_items.size());
        QAction *element = m_host->hostAddPluginMenuElement();
        QAction *entry = m_host->hostAddPluginDropDownEntry();
        item->attach(element, entry, n);
        item->setCaption(Caption);
        if (n == 1) {
            // A plug-in that starts with its own separator gets no second one,
            // and a separator has no place in the drop-down list.
            if (item->Caption() != QLatin1String("-")) {
                if (QAction *separator = m_host->hostPluginMenuSeparator())
                    separator->setVisible(true);
            } else {
                entry->setVisible(false);
            }
        }
        return item;
    });
}

PluginMenuItem *PluginMenu::MenuItem(const QVariant &vntIndexKey) const
{
    const QMetaType type = vntIndexKey.metaType();
    if (type == QMetaType::fromType<QString>())
        RuntimeErrors::raise(RuntimeErrors::InvalidProcedureCall, Guard::defaultSource());
    bool ok = false;
    const qint64 position = vntIndexKey.toLongLong(&ok);
    if (!ok)
        RuntimeErrors::raise(RuntimeErrors::TypeMismatch, Guard::defaultSource());
    if (position < 1 || position > m_items.size())
        RuntimeErrors::raise(RuntimeErrors::SubscriptOutOfRange, Guard::defaultSource());
    return m_items.at(position - 1);
}

qint32 PluginMenu::MenuItemCount() const
{
    return qint32(m_items.size());
}
