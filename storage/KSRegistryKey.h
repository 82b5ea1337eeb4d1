#pragma once

#include "LedgerixStdInterface.h"

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>

class SubKeysCollection;

/**
 * Named values in one key of the registry.
 *
 * Every operation opens the key, does one thing and closes it again; nothing
 * is cached but the last value. Registry result codes land in ErrorState and,
 * for the codes the library knows, are raised as library errors.
 *
 *     KSRegistryKey key;
 *     LedgerixStdInterface &store = key;
 *     store.setPath("HKEY_CURRENT_USER\\Software\\Kestrane\\Wrenlog");
 *     store.setSection("WindowParams");    // the sub-key WindowParams
 *     key.SetValue("Top", 1200);           // a 32-bit value
 *     key.GetValue("Top");                 // 1200
 *
 * Root and key name are each fixed by their first assignment; only selecting
 * a section rewrites the key name later. DeleteKey, or a Refresh of the
 * collection that made the object, invalidates it: every member but
 * Invalidated then raises "Object has been invalidated".
 */
class KSRegistryKey : public LedgerixStdInterface
{
    Q_OBJECT
    Q_CLASSINFO("DefaultProperty", "Value")
    Q_PROPERTY(qint32 RootKey READ RootKey WRITE setRootKey)
    Q_PROPERTY(QString KeyName READ KeyName WRITE setKeyName)
    Q_PROPERTY(QVariant Value READ Value WRITE setValue)
    Q_PROPERTY(qint32 ErrorState READ ErrorState)
    Q_PROPERTY(bool IsOwned READ IsOwned)
    Q_PROPERTY(bool Invalidated READ Invalidated)

public:
    enum RegRootKeyEnum : qint32 {
        HKEY_CLASSES_ROOT = qint32(0x80000000u),
        HKEY_CURRENT_USER = qint32(0x80000001u),
        HKEY_LOCAL_MACHINE = qint32(0x80000002u),
        HKEY_USERS = qint32(0x80000003u),
    };
    Q_ENUM(RegRootKeyEnum)

    Q_INVOKABLE explicit KSRegistryKey(QObject *parent = nullptr);
    ~KSRegistryKey() override;

    void setRootKey(qint32 root);
    qint32 RootKey() const;
    void setKeyName(const QString &sKeyName);
    QString KeyName() const;
    /// The last value read or written.
    QVariant Value() const;
    /// A storage object is imported; anything else is written under the last value name.
    void setValue(const QVariant &vValue);
    qint32 ErrorState() const;
    /// The sub-keys, loaded on first use; later reads give the same collection.
    /// Never null: an invalidated key (errors off) gives an empty one.
    SubKeysCollection *SubKeys();
    bool IsOwned() const;
    QString Version(bool bShow = false);
    void ErrorStateClear();

    /// True when the value was written. Integers and Booleans are stored as
    /// 32-bit values (True as -1), text, doubles and arrays as strings.
    bool SetValue(const QString &sValueName, const QVariant &vValue, const QString &sArrayDelim = QStringLiteral("\t"));
    /// An omitted vDefaultReturn gives the missing-argument marker when the value is empty.
    QVariant GetValue(const QString &sValueName, const QString &sArrayDelim = QStringLiteral("\t"),
                      bool bDetectArray = true, bool bDetectNum = true,
                      const QVariant &vDefaultReturn = missingDefault());
    QVariant DeleteValue(const QString &sValueName);
    /// Deletes the key (with every sub-key when bRecursive) and invalidates this object.
    void DeleteKey(bool bRecursive = false);
    /// Every value name but the unnamed default value's, in the key's order.
    QStringList GetValueNames();
    bool Invalidated() const;

    // Friend members, for SubKeysCollection.
    void setOwnerCollection(SubKeysCollection *owner);
    /// The part of the key name after its last "\", empty when no key is set.
    QString LastElementOfKeyName() const;
    /// Only true is taken: an invalidated object stays invalidated.
    void setInvalidated(bool bInvalidated);

    static QString rootName(qint32 root);
    static QVariant missingDefault();

protected:
    void interfaceSetPath(const QString &sPath) override;
    QString interfacePath() const override;
    void interfaceSetSection(const QString &sSection) override;
    QString interfaceSection() const override;
    bool interfaceSetValue(const QString &sFieldName, const QVariant &vValue, const QString &sDelimiter) override;
    QVariant interfaceGetValue(const QString &sFieldName, const QString &sDelimiter) override;
    QVariant interfaceVersion(bool bShow) override;

private:
    /// Raises "Object has been invalidated"; true when the caller must stop
    /// (errors switched off: the object does nothing rather than act on the root).
    bool refuseWhenInvalidated() const;
    /// Stores a registry result and raises the library error it maps to.
    void recordResult(qint32 result);
    void selectKeyName(const QString &sKeyName);
    bool hasSubKeys() const;
    void importFrom(LedgerixStdInterface &source);

    qint32 m_root = HKEY_CURRENT_USER;
    QString m_keyName;
    QVariant m_value;
    bool m_keyFixed = false;
    bool m_keyCreated = false;
    bool m_rootFixed = false;
    qint32 m_errorState = 0;
    bool m_reselecting = false;
    bool m_sectionActive = false;
    QString m_sectionBase; ///< the key name before a section was selected
    QString m_lastValueName;
    QString m_lastDelimiter;
    SubKeysCollection *m_owner = nullptr;
    SubKeysCollection *m_subKeys = nullptr;
    SubKeysCollection *m_noSubKeys = nullptr; ///< what an invalidated key lists
    bool m_invalidated = false;
};
