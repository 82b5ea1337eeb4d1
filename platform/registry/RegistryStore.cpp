#include "RegistryStore.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QStandardPaths>
#include <QStringList>
#include <QThread>
#include <QtEndian>

#include <sqlite3.h>

#include <array>

using namespace Registry;

namespace {

// The four roots are fixed rows, so every key (roots included) is a row and
// a root handle is just the root's row id.
struct RootRow
{
    quint32 root;
    qint64 id;
    const char *name;
};
constexpr std::array<RootRow, 4> rootRows {{
    {ClassesRoot, 1, "HKEY_CLASSES_ROOT"},
    {CurrentUser, 2, "HKEY_CURRENT_USER"},
    {LocalMachine, 3, "HKEY_LOCAL_MACHINE"},
    {Users, 4, "HKEY_USERS"},
}};

qint64 rootId(quint32 root)
{
    for (const RootRow &row : rootRows) {
        if (row.root == root)
            return row.id;
    }
    return 0;
}

// Keys are found by one indexed look-up of their folded full path, so opening
// a key costs the same however deep it lies.
QString rootPath(qint64 id)
{
    return QString::number(id);
}

const char *const schema = R"sql(
CREATE TABLE IF NOT EXISTS keys(
    id INTEGER PRIMARY KEY,
    parent INTEGER REFERENCES keys(id),
    name TEXT NOT NULL,
    path TEXT NOT NULL UNIQUE);
CREATE INDEX IF NOT EXISTS keys_by_parent ON keys(parent, path);
CREATE TABLE IF NOT EXISTS vals(
    id INTEGER PRIMARY KEY,
    key INTEGER NOT NULL REFERENCES keys(id) ON DELETE CASCADE,
    name TEXT NOT NULL,
    folded TEXT NOT NULL,
    type INTEGER NOT NULL,
    data BLOB NOT NULL,
    UNIQUE(key, folded));
INSERT OR IGNORE INTO keys(id, parent, name, path) VALUES
    (1, NULL, 'HKEY_CLASSES_ROOT', '1'),
    (2, NULL, 'HKEY_CURRENT_USER', '2'),
    (3, NULL, 'HKEY_LOCAL_MACHINE', '3'),
    (4, NULL, 'HKEY_USERS', '4');
)sql";

enum Statement {
    FindKey,
    InsertKey,
    QueryValueStmt,
    UpsertValue,
    DeleteValueStmt,
    HasChild,
    DeleteKeyStmt,
    EnumValueStmt,
    EnumKeyStmt,
    Begin,
    BeginRead,
    Commit,
    Rollback,
    StatementCount
};

// An existing value keeps its name's case and its place in the enumeration order.
const char *const upsertValue = "INSERT INTO vals(key, name, folded, type, data) VALUES (?1, ?2, ?3, ?4, ?5) "
                                "ON CONFLICT(key, folded) DO UPDATE SET type = excluded.type, data = excluded.data";

const char *const statementText[StatementCount] = {
    "SELECT id FROM keys WHERE path = ?1",
    "INSERT INTO keys(parent, name, path) VALUES (?1, ?2, ?3)",
    "SELECT type, data FROM vals WHERE key = ?1 AND folded = ?2",
    upsertValue,
    "DELETE FROM vals WHERE key = ?1 AND folded = ?2",
    "SELECT 1 FROM keys WHERE parent = ?1 LIMIT 1",
    "DELETE FROM keys WHERE id = ?1",
    "SELECT name, type, length(data), data FROM vals WHERE key = ?1 ORDER BY id LIMIT 1 OFFSET ?2",
    "SELECT name FROM keys WHERE parent = ?1 ORDER BY path LIMIT 1 OFFSET ?2",
    "BEGIN IMMEDIATE",
    "BEGIN DEFERRED",
    "COMMIT",
    "ROLLBACK",
};

qint32 resultFor(int sqliteCode)
{
    switch (sqliteCode & 0xff) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE: return Success;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH: return AccessDenied;
    case SQLITE_CONSTRAINT:
        // The only constraint a valid call can break: the key went away.
        return KeyDeleted;
    case SQLITE_NOMEM: return 14; // not enough memory
    case SQLITE_FULL: return 112; // disk full
    case SQLITE_TOOBIG: return InvalidParameter;
    default: return CantOpenStore;
    }
}

bool isStoreDamage(int sqliteCode)
{
    const int primary = sqliteCode & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB || primary == SQLITE_CANTOPEN
        || primary == SQLITE_IOERR;
}

QByteArray utf8(const QString &text)
{
    return text.toUtf8();
}

} // namespace

class RegistryStore::Private
{
public:
    QString path;
    Options options;
    sqlite3 *db = nullptr;
    std::array<sqlite3_stmt *, StatementCount> statements {};
    QRecursiveMutex mutex;
    int readDepth = 0;
    bool readOpen = false; ///< the read transaction of the outermost scope began

    ~Private() { close(); }

    void close()
    {
        for (sqlite3_stmt *&stmt : statements) {
            sqlite3_finalize(stmt);
            stmt = nullptr;
        }
        sqlite3_close_v2(db);
        db = nullptr;
    }

    // Opens lazily and again after a failure, so a store repaired or
    // unlocked meanwhile is picked up by the next call.
    qint32 ensureOpen()
    {
        if (db)
            return Success;
        if (!options.readOnly)
            QDir().mkpath(QFileInfo(path).absolutePath());
        const int flags = options.readOnly ? SQLITE_OPEN_READONLY : (SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
        if (rc != SQLITE_OK) {
            close();
            return isStoreDamage(rc) ? CantOpenStore : resultFor(rc);
        }
        sqlite3_busy_timeout(db, options.busyTimeoutMs);
        sqlite3_extended_result_codes(db, 1);
        rc = exec("PRAGMA foreign_keys = ON");
        if (rc == SQLITE_OK)
            rc = prepareFile();
        for (int i = 0; rc == SQLITE_OK && i < StatementCount; ++i)
            rc = sqlite3_prepare_v3(db, statementText[i], -1, SQLITE_PREPARE_PERSISTENT, &statements[i], nullptr);
        if (rc != SQLITE_OK) {
            close();
            return isStoreDamage(rc) ? CantOpenStore : resultFor(rc);
        }
        return Success;
    }

    // Switches the file to WAL and makes the tables. Two processes opening a
    // new file at once can each hold the lock the other needs to change the
    // journal mode; SQLite then answers "busy" at once instead of waiting, so
    // the set-up is tried again until the busy timeout has passed.
    int prepareFile()
    {
        if (sqlite3_db_readonly(db, "main"))
            return exec("SELECT count(*) FROM keys");
        QDeadlineTimer deadline(options.busyTimeoutMs);
        for (;;) {
            int rc = exec("PRAGMA journal_mode = WAL");
            // WAL makes every commit an append; a crash loses nothing committed
            // before the last checkpoint and never leaves a half-written key.
            if (rc == SQLITE_OK)
                rc = exec("PRAGMA synchronous = NORMAL");
            if (rc == SQLITE_OK)
                rc = exec("BEGIN IMMEDIATE");
            if (rc == SQLITE_OK) {
                rc = exec(schema);
                rc = rc == SQLITE_OK ? exec("COMMIT") : (exec("ROLLBACK"), rc);
            }
            if ((rc & 0xff) != SQLITE_BUSY || deadline.hasExpired())
                return rc;
            QThread::msleep(5);
        }
    }

    // The checks every call on an open key starts with.
    qint32 ready(const Key &key, quint32 right)
    {
        if (!key.isOpen())
            return InvalidHandle;
        if (!(key.access & right))
            return AccessDenied;
        return ensureOpen();
    }

    static QString columnText(sqlite3_stmt *stmt, int column)
    {
        return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, column)),
                                 sqlite3_column_bytes(stmt, column));
    }

    int exec(const char *sql)
    {
        int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
        return rc;
    }

    // A failure that means the file itself is bad drops the connection.
    qint32 fail(int sqliteCode)
    {
        const qint32 result = resultFor(sqliteCode);
        if (isStoreDamage(sqliteCode))
            close();
        return result;
    }

    sqlite3_stmt *use(Statement which)
    {
        sqlite3_stmt *stmt = statements[which];
        sqlite3_reset(stmt);
        sqlite3_clear_bindings(stmt);
        return stmt;
    }

    static void bindText(sqlite3_stmt *stmt, int index, const QByteArray &text)
    {
        sqlite3_bind_text(stmt, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    }

    // Result of a statement that produces no row (or whose row is ignored).
    int run(Statement which)
    {
        sqlite3_stmt *stmt = statements[which];
        const int rc = sqlite3_step(stmt);
        sqlite3_reset(stmt);
        return rc == SQLITE_ROW ? SQLITE_DONE : rc;
    }

    int findKey(const QByteArray &foldedPath, qint64 *id)
    {
        sqlite3_stmt *stmt = use(FindKey);
        bindText(stmt, 1, foldedPath);
        const int rc = sqlite3_step(stmt);
        *id = rc == SQLITE_ROW ? sqlite3_column_int64(stmt, 0) : 0;
        sqlite3_reset(stmt);
        return rc;
    }

    int begin() { return run(Begin); }
    void rollback()
    {
        if (db && !sqlite3_get_autocommit(db) && readDepth == 0)
            run(Rollback);
    }
};

namespace {

// Splits a key path into its parts. One trailing "\" is tolerated; any other
// empty part, or a part longer than a key name may be, is refused.
bool splitKeyPath(const QString &subKey, QStringList *parts)
{
    parts->clear();
    if (subKey.isEmpty())
        return true;
    *parts = subKey.split(QLatin1Char('\\'));
    if (parts->size() > 1 && parts->last().isEmpty())
        parts->removeLast();
    for (const QString &part : *parts) {
        if (part.isEmpty() || part.size() > maxKeyNameLength)
            return false;
    }
    return true;
}

QString childPath(const QString &parentPath, const QString &name)
{
    return parentPath + QLatin1Char('\\') + name.toCaseFolded();
}

} // namespace

RegistryStore::RegistryStore(QString databasePath, Options options)
    : d(std::make_unique<Private>())
{
    d->path = std::move(databasePath);
    d->options = options;
}

RegistryStore::RegistryStore(QString databasePath)
    : RegistryStore(std::move(databasePath), Options {})
{}

RegistryStore::~RegistryStore() = default;

QString RegistryStore::defaultDatabasePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/ledgerix/registry.sqlite");
}

RegistryStore &RegistryStore::forCurrentUser()
{
    static RegistryStore store(defaultDatabasePath());
    return store;
}

QString RegistryStore::databasePath() const
{
    return d->path;
}

void RegistryStore::setBusyTimeout(int milliseconds)
{
    QMutexLocker lock(&d->mutex);
    d->options.busyTimeoutMs = milliseconds;
    if (d->db)
        sqlite3_busy_timeout(d->db, milliseconds);
}

qint32 RegistryStore::createKey(quint32 root, const QString &subKey, quint32 access, Key *key, bool *created)
{
    QMutexLocker lock(&d->mutex);
    *key = {};
    if (created)
        *created = false;
    const qint64 rootRow = rootId(root);
    if (!rootRow)
        return InvalidHandle;
    QStringList parts;
    if (!splitKeyPath(subKey, &parts))
        return InvalidParameter;
    if (const qint32 result = d->ensureOpen())
        return result;

    QString path = rootPath(rootRow);
    qint64 id = rootRow;
    // Most calls find the key already there; only a missing key needs the
    // write transaction (and the write lock).
    if (!parts.isEmpty()) {
        for (const QString &part : std::as_const(parts))
            path = childPath(path, part);
        int rc = d->findKey(utf8(path), &id);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            return d->fail(rc);
        if (rc == SQLITE_DONE) {
            if (d->options.readOnly || d->readDepth > 0)
                return AccessDenied;
            rc = d->begin();
            if (rc != SQLITE_DONE)
                return d->fail(rc);
            path = rootPath(rootRow);
            id = rootRow;
            bool madeOne = false;
            for (const QString &part : std::as_const(parts)) {
                path = childPath(path, part);
                qint64 childId = 0;
                rc = d->findKey(utf8(path), &childId);
                if (rc == SQLITE_DONE) {
                    sqlite3_stmt *insert = d->use(InsertKey);
                    sqlite3_bind_int64(insert, 1, id);
                    Private::bindText(insert, 2, utf8(part));
                    Private::bindText(insert, 3, utf8(path));
                    rc = d->run(InsertKey);
                    childId = sqlite3_last_insert_rowid(d->db);
                    madeOne = true;
                } else if (rc == SQLITE_ROW) {
                    rc = SQLITE_DONE;
                }
                if (rc != SQLITE_DONE) {
                    d->rollback();
                    return d->fail(rc);
                }
                id = childId;
            }
            rc = d->run(Commit);
            if (rc != SQLITE_DONE) {
                d->rollback();
                return d->fail(rc);
            }
            if (created)
                *created = madeOne;
        }
    }
    key->id = id;
    key->access = access;
    return Success;
}

qint32 RegistryStore::openKey(quint32 root, const QString &subKey, quint32 access, Key *key)
{
    QMutexLocker lock(&d->mutex);
    *key = {};
    const qint64 rootRow = rootId(root);
    if (!rootRow)
        return InvalidHandle;
    QStringList parts;
    if (!splitKeyPath(subKey, &parts))
        return InvalidParameter;
    if (const qint32 result = d->ensureOpen())
        return result;
    if (parts.isEmpty()) {
        key->id = rootRow;
        key->access = access;
        return Success;
    }
    QString path = rootPath(rootRow);
    for (const QString &part : std::as_const(parts))
        path = childPath(path, part);
    qint64 id = 0;
    const int rc = d->findKey(utf8(path), &id);
    if (rc == SQLITE_DONE)
        return FileNotFound;
    if (rc != SQLITE_ROW)
        return d->fail(rc);
    key->id = id;
    key->access = access;
    return Success;
}

qint32 RegistryStore::closeKey(Key &key)
{
    if (!key.isOpen())
        return InvalidHandle;
    key = {};
    return Success;
}

qint32 RegistryStore::queryValue(const Key &key, const QString &name, quint32 *type, QByteArray *data)
{
    QMutexLocker lock(&d->mutex);
    if (const qint32 result = d->ready(key, QueryValue))
        return result;
    sqlite3_stmt *stmt = d->use(QueryValueStmt);
    sqlite3_bind_int64(stmt, 1, key.id);
    Private::bindText(stmt, 2, utf8(name.toCaseFolded()));
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) {
        if (type)
            *type = quint32(sqlite3_column_int64(stmt, 0));
        if (data) {
            const void *bytes = sqlite3_column_blob(stmt, 1);
            *data = QByteArray(static_cast<const char *>(bytes), sqlite3_column_bytes(stmt, 1));
        }
    }
    sqlite3_reset(stmt);
    if (rc == SQLITE_DONE)
        return FileNotFound;
    return rc == SQLITE_ROW ? qint32(Success) : d->fail(rc);
}

qint32 RegistryStore::setValue(const Key &key, const QString &name, quint32 type, const QByteArray &data)
{
    QMutexLocker lock(&d->mutex);
    if (const qint32 result = d->ready(key, Registry::SetValue))
        return result;
    if (d->readDepth > 0)
        return AccessDenied;
    if (name.size() > maxValueNameLength || (type == TypeDword && data.size() != 4))
        return InvalidParameter;
    sqlite3_stmt *stmt = d->use(UpsertValue);
    sqlite3_bind_int64(stmt, 1, key.id);
    Private::bindText(stmt, 2, utf8(name));
    Private::bindText(stmt, 3, utf8(name.toCaseFolded()));
    sqlite3_bind_int64(stmt, 4, type);
    sqlite3_bind_blob(stmt, 5, data.constData(), int(data.size()), SQLITE_STATIC);
    const int rc = d->run(UpsertValue);
    return rc == SQLITE_DONE ? qint32(Success) : d->fail(rc);
}

qint32 RegistryStore::deleteValue(const Key &key, const QString &name)
{
    QMutexLocker lock(&d->mutex);
    if (const qint32 result = d->ready(key, Registry::SetValue))
        return result;
    if (d->readDepth > 0)
        return AccessDenied;
    sqlite3_stmt *stmt = d->use(DeleteValueStmt);
    sqlite3_bind_int64(stmt, 1, key.id);
    Private::bindText(stmt, 2, utf8(name.toCaseFolded()));
    const int rc = d->run(DeleteValueStmt);
    if (rc != SQLITE_DONE)
        return d->fail(rc);
    return sqlite3_changes(d->db) > 0 ? Success : FileNotFound;
}

qint32 RegistryStore::deleteKey(quint32 root, const QString &subKey)
{
    QMutexLocker lock(&d->mutex);
    const qint64 rootRow = rootId(root);
    if (!rootRow)
        return InvalidHandle;
    QStringList parts;
    if (!splitKeyPath(subKey, &parts))
        return InvalidParameter;
    if (parts.isEmpty())
        return AccessDenied; // a root cannot be deleted
    if (const qint32 result = d->ensureOpen())
        return result;
    if (d->options.readOnly || d->readDepth > 0)
        return AccessDenied;
    QString path = rootPath(rootRow);
    for (const QString &part : std::as_const(parts))
        path = childPath(path, part);

    // The sub-key test and the deletion are one transaction, so no other
    // process can add a sub-key in between and leave it orphaned.
    int rc = d->begin();
    if (rc != SQLITE_DONE)
        return d->fail(rc);
    qint64 id = 0;
    rc = d->findKey(utf8(path), &id);
    qint32 result = Success;
    if (rc == SQLITE_DONE) {
        result = FileNotFound;
    } else if (rc == SQLITE_ROW) {
        sqlite3_stmt *child = d->use(HasChild);
        sqlite3_bind_int64(child, 1, id);
        rc = sqlite3_step(child);
        sqlite3_reset(child);
        if (rc == SQLITE_ROW) {
            result = AccessDenied;
        } else if (rc == SQLITE_DONE) {
            sqlite3_stmt *del = d->use(DeleteKeyStmt);
            sqlite3_bind_int64(del, 1, id);
            rc = d->run(DeleteKeyStmt);
            if (rc != SQLITE_DONE) {
                d->rollback();
                return d->fail(rc);
            }
        } else {
            d->rollback();
            return d->fail(rc);
        }
    } else {
        d->rollback();
        return d->fail(rc);
    }
    if (result != Success) {
        d->rollback();
        return result;
    }
    rc = d->run(Commit);
    if (rc != SQLITE_DONE) {
        d->rollback();
        return d->fail(rc);
    }
    return Success;
}

qint32 RegistryStore::enumValue(const Key &key, quint32 index, QString *name, qsizetype nameCapacity, quint32 *type,
                                QByteArray *data, qsizetype dataCapacity)
{
    QMutexLocker lock(&d->mutex);
    if (const qint32 result = d->ready(key, QueryValue))
        return result;
    sqlite3_stmt *stmt = d->use(EnumValueStmt);
    sqlite3_bind_int64(stmt, 1, key.id);
    sqlite3_bind_int64(stmt, 2, index);
    const int rc = sqlite3_step(stmt);
    qint32 result = Success;
    if (rc == SQLITE_ROW) {
        const QString found = Private::columnText(stmt, 0);
        const qsizetype size = sqlite3_column_int64(stmt, 2);
        if (nameCapacity >= 0 && found.size() >= nameCapacity) {
            result = MoreData; // the name and its NUL must fit
        } else {
            *name = found;
            if (type)
                *type = quint32(sqlite3_column_int64(stmt, 1));
            if (data) {
                if (dataCapacity >= 0 && size > dataCapacity) {
                    result = MoreData;
                } else {
                    const void *bytes = sqlite3_column_blob(stmt, 3);
                    *data = QByteArray(static_cast<const char *>(bytes), sqlite3_column_bytes(stmt, 3));
                }
            }
        }
    }
    sqlite3_reset(stmt);
    if (rc == SQLITE_DONE)
        return NoMoreItems;
    return rc == SQLITE_ROW ? result : d->fail(rc);
}

qint32 RegistryStore::enumKey(const Key &key, quint32 index, QString *name, qsizetype nameCapacity)
{
    QMutexLocker lock(&d->mutex);
    if (const qint32 result = d->ready(key, EnumerateSubKeys))
        return result;
    sqlite3_stmt *stmt = d->use(EnumKeyStmt);
    sqlite3_bind_int64(stmt, 1, key.id);
    sqlite3_bind_int64(stmt, 2, index);
    const int rc = sqlite3_step(stmt);
    qint32 result = Success;
    if (rc == SQLITE_ROW) {
        const QString found = Private::columnText(stmt, 0);
        if (nameCapacity >= 0 && found.size() >= nameCapacity)
            result = MoreData;
        else
            *name = found;
    }
    sqlite3_reset(stmt);
    if (rc == SQLITE_DONE)
        return NoMoreItems;
    return rc == SQLITE_ROW ? result : d->fail(rc);
}

RegistryStore::ReadScope::ReadScope(RegistryStore &store)
    : m_store(store)
{
    Private &d = *m_store.d;
    d.mutex.lock();
    if (d.readDepth++ == 0 && d.ensureOpen() == Success)
        d.readOpen = d.run(BeginRead) == SQLITE_DONE;
}

RegistryStore::ReadScope::~ReadScope()
{
    Private &d = *m_store.d;
    if (--d.readDepth == 0 && d.readOpen) {
        d.readOpen = false;
        if (d.db && !sqlite3_get_autocommit(d.db) && d.run(Commit) != SQLITE_DONE)
            d.run(Rollback);
    }
    d.mutex.unlock();
}

QByteArray RegistryStore::stringData(const QString &text)
{
    QByteArray bytes = text.toUtf8();
    bytes.append('\0');
    return bytes;
}

QString RegistryStore::stringFromData(const QByteArray &data)
{
    QByteArray bytes = data;
    // Text ends at its first NUL, like any string read from the registry.
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    return QString::fromUtf8(bytes);
}

QByteArray RegistryStore::dwordData(qint32 value)
{
    QByteArray bytes(4, Qt::Uninitialized);
    qToLittleEndian(value, bytes.data());
    return bytes;
}

qint32 RegistryStore::dwordFromData(const QByteArray &data)
{
    if (data.size() < 4)
        return 0;
    return qFromLittleEndian<qint32>(data.constData());
}
