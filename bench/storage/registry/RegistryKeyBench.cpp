// SetValue and GetValue through KSRegistryKey, each opening and closing its
// key, against a bare prepared SQLite statement doing the same single-row
// work on the same database file, in the same run.
#include "KSRegistryKey.h"
#include "RegistryStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <cstdio>
#include <functional>

namespace {

constexpr int operations = 20000;
constexpr int names = 50;

double opsPerSecond(const std::function<void(int)> &work)
{
    for (int i = 0; i < 500; ++i) // warm the caches and the statements
        work(i);
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < operations; ++i)
        work(i);
    return operations / (timer.nsecsElapsed() / 1e9);
}

bool check(int rc, sqlite3 *db)
{
    if (rc == SQLITE_OK || rc == SQLITE_ROW || rc == SQLITE_DONE)
        return true;
    std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    QCoreApplication app(argc, argv);

    KSRegistryKey key;
    static_cast<LedgerixStdInterface &>(key).setPath(QStringLiteral("Software\\Kestrane\\Bench\\WindowParams"));
    QStringList valueNames;
    for (int i = 0; i < names; ++i)
        valueNames << QStringLiteral("Value%1").arg(i);

    const double keySet = opsPerSecond([&](int i) { key.SetValue(valueNames.at(i % names), i); });
    qint64 sum = 0;
    const double keyGet = opsPerSecond([&](int i) { sum += key.GetValue(valueNames.at(i % names)).toInt(); });

    // The bare statements: the key's row id looked up once, then one
    // prepared upsert or select per operation, as the store itself does.
    sqlite3 *db = nullptr;
    const QByteArray file = RegistryStore::defaultDatabasePath().toLocal8Bit();
    if (!check(sqlite3_open(file.constData(), &db), db)
        || !check(sqlite3_exec(db, "PRAGMA synchronous = NORMAL", nullptr, nullptr, nullptr), db))
        return 1;
    sqlite3_busy_timeout(db, 5000);
    sqlite3_stmt *find = nullptr;
    sqlite3_stmt *upsert = nullptr;
    sqlite3_stmt *select = nullptr;
    if (!check(sqlite3_prepare_v2(db, "SELECT key FROM vals WHERE folded = 'value0'", -1, &find, nullptr), db)
        || !check(
            sqlite3_prepare_v2(db,
                               "INSERT INTO vals(key, name, folded, type, data) VALUES (?1, ?2, ?3, 4, ?4) "
                               "ON CONFLICT(key, folded) DO UPDATE SET type = excluded.type, data = excluded.data",
                               -1, &upsert, nullptr),
            db)
        || !check(
            sqlite3_prepare_v2(db, "SELECT type, data FROM vals WHERE key = ?1 AND folded = ?2", -1, &select, nullptr),
            db)
        || sqlite3_step(find) != SQLITE_ROW)
        return 1;
    const sqlite3_int64 keyId = sqlite3_column_int64(find, 0);
    sqlite3_finalize(find);
    QList<QByteArray> folded;
    for (const QString &name : valueNames)
        folded << name.toCaseFolded().toUtf8();

    bool ok = true;
    const double bareSet = opsPerSecond([&](int i) {
        const QByteArray &name = folded.at(i % names);
        const QByteArray data = RegistryStore::dwordData(i);
        sqlite3_reset(upsert);
        sqlite3_bind_int64(upsert, 1, keyId);
        sqlite3_bind_text(upsert, 2, name.constData(), int(name.size()), SQLITE_STATIC);
        sqlite3_bind_text(upsert, 3, name.constData(), int(name.size()), SQLITE_STATIC);
        sqlite3_bind_blob(upsert, 4, data.constData(), 4, SQLITE_STATIC);
        ok = check(sqlite3_step(upsert), db) && ok;
    });
    const double bareGet = opsPerSecond([&](int i) {
        const QByteArray &name = folded.at(i % names);
        sqlite3_reset(select);
        sqlite3_bind_int64(select, 1, keyId);
        sqlite3_bind_text(select, 2, name.constData(), int(name.size()), SQLITE_STATIC);
        if (sqlite3_step(select) == SQLITE_ROW)
            sum += RegistryStore::dwordFromData(
                QByteArray(static_cast<const char *>(sqlite3_column_blob(select, 1)), sqlite3_column_bytes(select, 1)));
        else
            ok = false;
    });
    sqlite3_finalize(upsert);
    sqlite3_finalize(select);
    sqlite3_close(db);
    if (!ok)
        return 1;

    std::printf("%-28s %14s %14s %8s\n", "operation", "KSRegistryKey", "bare SQLite", "ratio");
    std::printf("%-28s %12.0f/s %12.0f/s %7.2fx\n", "SetValue (32-bit value)", keySet, bareSet, bareSet / keySet);
    std::printf("%-28s %12.0f/s %12.0f/s %7.2fx\n", "GetValue (32-bit value)", keyGet, bareGet, bareGet / keyGet);
    std::printf("(%d operations each over %d value names; checksum %lld)\n", operations, names, qlonglong(sum));
    return 0;
}
