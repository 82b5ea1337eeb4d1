#pragma once

#include <QList>
#include <QObject>
#include <QPair>
#include <QVariant>

class PropertyStore;

/**
 * Makes the plug-ins' property stores: one per section of one settings file,
 * the application folder's Plugins/PluginProperties.ini unless another file
 * is given. Initialize() chooses the storage kind (0 INI file, 1 registry,
 * 2 storage string) and starts an empty set; Add() makes a store per section.
 *
 *     PropertyStoreCollection stores;
 *     stores.Initialize(0);
 *     PropertyStore *startUp = stores.Add(QStringLiteral("StartUp"));
 *
 * The collection owns its stores; a store made for an empty name is not listed.
 */
class PropertyStoreCollection : public QObject
{
    Q_OBJECT

public:
    explicit PropertyStoreCollection(QObject *parent = nullptr);
    explicit PropertyStoreCollection(const QString &filePath, QObject *parent = nullptr);
    ~PropertyStoreCollection() override;

    PropertyStore *Add(const QString &sKey);
    /// The store at a 1-based position, or of the section given as text.
    PropertyStore *Item(const QVariant &vntIndexKey) const;
    qint32 Count() const;
    void Initialize(qint32 StorageType);

    const QString &filePath() const { return m_filePath; }
    /// Plugins/PluginProperties.ini of the application's writable folder (AppFolders).
    static QString defaultFilePath();

private:
    QString m_filePath;
    qint32 m_storageType = 0;
    bool m_initialized = false;
    QList<QPair<QString, PropertyStore *>> m_stores;
};
