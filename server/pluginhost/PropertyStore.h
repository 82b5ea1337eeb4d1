#pragma once

#include <QObject>
#include <QPointer>
#include <QVariant>

class LedgerixStdInterface;

/**
 * A plug-in's settings: named values in its own section of the host's
 * PluginProperties.ini, written and read through at once (nothing is cached,
 * so two stores of one section see each other's writes immediately).
 *
 *     store->SetProperty(QStringLiteral("WorkingPath"), path);
 *     const QString path = store->GetProperty(QStringLiteral("WorkingPath")).toString();
 *
 * Values are stored as text: Booleans as True or False, arrays joined by TAB.
 * Reading turns numbers back into qint32 or double and TAB-joined text into
 * arrays; a property never written reads as an empty string. Every failure of
 * the storage reaches the caller unchanged. Both members are invokables, so
 * scripts and late-bound callers reach them by name.
 */
class PropertyStore : public QObject
{
    Q_OBJECT

public:
    explicit PropertyStore(QObject *parent = nullptr);
    ~PropertyStore() override;

    Q_INVOKABLE void SetProperty(const QString &Name, const QVariant &Value);
    Q_INVOKABLE QVariant GetProperty(const QString &Name);

    /// Host side: takes the storage object (the store owns it).
    void Initialize(LedgerixStdInterface *storage);

private:
    LedgerixStdInterface *storage() const;

    QPointer<LedgerixStdInterface> m_storage;
};
