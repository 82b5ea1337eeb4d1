#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>

class KSRegistryKey;

/**
 * The sub-keys of a registry key, as further KSRegistryKey objects, keyed by
 * sub-key name without regard to case. Only a key makes one (its SubKeys).
 *
 *     for (KSRegistryKey *child : *parent.SubKeys())
 *         qDebug() << child->KeyName();
 *
 * The collection owns the key objects it made. An object it drops (Refresh,
 * or the object's own DeleteKey) is invalidated but stays allocated as long
 * as the collection lives, so a caller's pointer to it is never left dangling.
 */
class SubKeysCollection : public QObject
{
    Q_OBJECT
    Q_PROPERTY(qint32 Count READ Count)

public:
    using const_iterator = QList<KSRegistryKey *>::const_iterator;

    explicit SubKeysCollection(KSRegistryKey *parentKey);
    ~SubKeysCollection() override;

    /// Invalidates every key object held, then reads the sub-keys again.
    void Refresh();
    /// The object of that sub-key, made (and the sub-key created) when missing.
    KSRegistryKey *Add(const QString &sSubKeyName);
    /// By position from 1 (a number) or by sub-key name (a string).
    KSRegistryKey *Item(const QVariant &vIndexKey) const;
    qint32 Count() const;

    /// For-each enumeration, over the objects held when it starts.
    QList<KSRegistryKey *> NewEnum() const;
    const_iterator begin() const { return m_items.cbegin(); }
    const_iterator end() const { return m_items.cend(); }

    /// Friend member of KSRegistryKey: drops an object that deleted its key.
    void removeItem(const QString &sSubKeyName);
    /// Drops every object held (they are invalidated by their own deletion).
    void clearItems();

private:
    void load();
    qsizetype indexOfName(const QString &sSubKeyName) const;

    KSRegistryKey *m_parentKey;
    QList<KSRegistryKey *> m_items;
    QStringList m_names; ///< case-folded, parallel to m_items
};
