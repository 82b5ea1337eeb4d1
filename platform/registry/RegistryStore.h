#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <memory>

/**
 * Result codes, value types, roots and access rights of the registry, with
 * their usual numbers so that callers written against the registry keep
 * working unchanged.
 */
namespace Registry {

enum Result : qint32 {
    Success = 0,
    FileNotFound = 2, ///< key or value does not exist
    CantOpenStore = 3, ///< the database file cannot be opened or is damaged
    AccessDenied = 5, ///< read-only store, store locked past the timeout, missing right, key with sub-keys
    InvalidHandle = 6, ///< the key was never opened, or is closed
    InvalidParameter = 87,
    MoreData = 234, ///< a name or data does not fit the caller's buffer
    NoMoreItems = 259,
    KeyDeleted = 1018, ///< the key was deleted while a handle to it was open
};

enum ValueType : quint32 {
    TypeNone = 0,
    TypeString = 1, ///< text followed by one NUL byte
    TypeDword = 4, ///< 32-bit little-endian number
};

enum Root : quint32 {
    ClassesRoot = 0x80000000u,
    CurrentUser = 0x80000001u,
    LocalMachine = 0x80000002u,
    Users = 0x80000003u,
};

enum Access : quint32 {
    QueryValue = 0x0001,
    SetValue = 0x0002,
    CreateSubKey = 0x0004,
    EnumerateSubKeys = 0x0008,
    Read = 0x20019,
    Write = 0x20006,
    AllAccess = 0xF003F,
};

/// Longest name of one key-path part, and of a value.
constexpr int maxKeyNameLength = 255;
constexpr int maxValueNameLength = 16383;

/// An open key. Plain value: close it with RegistryStore::closeKey.
struct Key
{
    qint64 id = 0;
    quint32 access = 0;
    bool isOpen() const { return id != 0; }
};

} // namespace Registry

/**
 * The registry on SQLite: one database file per user holds the keys of all
 * four roots, their string and 32-bit values and the unnamed default value.
 * Names match without regard to case and keep the case they were created in.
 *
 * Every change is one transaction; the file is in WAL mode with a busy
 * timeout, so several processes may use it at once. Failures come back as
 * result codes, never as exceptions.
 *
 *     Registry::Key key;
 *     auto &store = RegistryStore::forCurrentUser();
 *     if (store.createKey(Registry::CurrentUser, "Software\\Kestrane", Registry::AllAccess, &key) == 0) {
 *         store.setValue(key, "Top", Registry::TypeDword, dword(1200));
 *         store.closeKey(key);
 *     }
 */
class RegistryStore
{
public:
    struct Options
    {
        int busyTimeoutMs = 5000;
        /// Opens the file without write access (every change then answers AccessDenied).
        bool readOnly = false;
    };

    explicit RegistryStore(QString databasePath, Options options);
    explicit RegistryStore(QString databasePath);
    ~RegistryStore();
    RegistryStore(const RegistryStore &) = delete;
    RegistryStore &operator=(const RegistryStore &) = delete;

    /// The store of the current user, at $XDG_CONFIG_HOME/ledgerix/registry.sqlite.
    static RegistryStore &forCurrentUser();
    static QString defaultDatabasePath();

    QString databasePath() const;
    void setBusyTimeout(int milliseconds);

    /// Opens subKey below root, creating every missing part. An empty subKey
    /// opens the root itself. created (optional) tells whether the key is new.
    qint32 createKey(quint32 root, const QString &subKey, quint32 access, Registry::Key *key, bool *created = nullptr);
    qint32 openKey(quint32 root, const QString &subKey, quint32 access, Registry::Key *key);
    qint32 closeKey(Registry::Key &key);

    /// Type and data of a value; pass nullptr for what is not wanted.
    qint32 queryValue(const Registry::Key &key, const QString &name, quint32 *type, QByteArray *data);
    qint32 setValue(const Registry::Key &key, const QString &name, quint32 type, const QByteArray &data);
    qint32 deleteValue(const Registry::Key &key, const QString &name);
    /// Deletes subKey below root; refused (AccessDenied) while it has sub-keys.
    qint32 deleteKey(quint32 root, const QString &subKey);

    /// The value at index in creation order. A name longer than nameCapacity
    /// characters, or data longer than dataCapacity bytes, answers MoreData.
    /// A negative capacity means no limit; data == nullptr skips the data.
    qint32 enumValue(const Registry::Key &key, quint32 index, QString *name, qsizetype nameCapacity,
                     quint32 *type = nullptr, QByteArray *data = nullptr, qsizetype dataCapacity = -1);
    /// The sub-key at index, in name order (without regard to case).
    qint32 enumKey(const Registry::Key &key, quint32 index, QString *name, qsizetype nameCapacity = 256);

    /**
     * Reads made while a scope lives see one snapshot of the store and take
     * its file locks once, instead of once per call. Changes are refused
     * (AccessDenied) inside a scope. Scopes nest.
     */
    class ReadScope
    {
    public:
        explicit ReadScope(RegistryStore &store);
        ~ReadScope();
        ReadScope(const ReadScope &) = delete;
        ReadScope &operator=(const ReadScope &) = delete;

    private:
        RegistryStore &m_store;
    };

    /// Helpers for the two value types.
    static QByteArray stringData(const QString &text);
    static QString stringFromData(const QByteArray &data);
    static QByteArray dwordData(qint32 value);
    static qint32 dwordFromData(const QByteArray &data);

private:
    class Private;
    std::unique_ptr<Private> d;
};
