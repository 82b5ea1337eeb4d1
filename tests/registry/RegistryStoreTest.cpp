#include "RegistryStore.h"
#include "TestEnvironment.h"

#include <QCoreApplication>
#include <QFile>

#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace Registry;

namespace {

QString freshDatabase()
{
    return TestEnvironment::freshFolder(QStringLiteral("registry")) + QStringLiteral("/registry.sqlite");
}

QStringList valueNames(RegistryStore &store, const Key &key)
{
    QStringList names;
    QString name;
    for (quint32 i = 0; store.enumValue(key, i, &name, -1) == Success; ++i)
        names << name;
    return names;
}

} // namespace

TEST(RegistryStore, KeyPathsAreCheckedAndMatchedWithoutCase)
{
    RegistryStore store(freshDatabase());
    const struct
    {
        QString path;
        qint32 result;
    } rows[] = {
        {QStringLiteral("Software\\A"), Success},
        {QStringLiteral("Software\\A\\"), Success}, // one trailing separator is harmless
        {QStringLiteral("\\Software"), InvalidParameter},
        {QStringLiteral("Software\\\\A"), InvalidParameter},
        {QStringLiteral("Software\\") + QString(255, QLatin1Char('k')), Success},
        {QStringLiteral("Software\\") + QString(256, QLatin1Char('k')), InvalidParameter},
        {QString(), Success}, // the root itself
    };
    for (const auto &row : rows) {
        Key key;
        EXPECT_EQ(store.createKey(CurrentUser, row.path, AllAccess, &key), row.result) << qPrintable(row.path);
        EXPECT_EQ(key.isOpen(), row.result == Success) << qPrintable(row.path);
    }
    Key key;
    EXPECT_EQ(store.createKey(0x12345u, QStringLiteral("X"), AllAccess, &key), InvalidHandle);

    bool created = true;
    ASSERT_EQ(store.createKey(CurrentUser, QStringLiteral("SOFTWARE\\a"), AllAccess, &key, &created), Success);
    EXPECT_FALSE(created);
    ASSERT_EQ(store.createKey(CurrentUser, QStringLiteral("Software\\Ärger\\Deep\\Er"), AllAccess, &key, &created),
              Success);
    EXPECT_TRUE(created);
    EXPECT_EQ(store.openKey(CurrentUser, QStringLiteral("software\\äRGER\\deep\\ER"), Read, &key), Success);
    // Roots are separate trees.
    EXPECT_EQ(store.openKey(LocalMachine, QStringLiteral("Software\\A"), Read, &key), FileNotFound);

    // Sub-keys enumerate in name order with the case they were created in.
    ASSERT_EQ(store.openKey(CurrentUser, QStringLiteral("Software"), AllAccess, &key), Success);
    QStringList subKeys;
    QString name;
    for (quint32 i = 0; store.enumKey(key, i, &name) == Success; ++i)
        subKeys << name;
    ASSERT_EQ(subKeys.size(), 3);
    EXPECT_EQ(subKeys.at(0), QStringLiteral("A"));
    EXPECT_EQ(subKeys.at(1).size(), 255);
    EXPECT_EQ(subKeys.at(2), QStringLiteral("Ärger"));
    EXPECT_EQ(store.enumKey(key, 3, &name), NoMoreItems);
}

TEST(RegistryStore, ValuesRoundTripWithTheirTypes)
{
    RegistryStore store(freshDatabase());
    Key key;
    ASSERT_EQ(store.createKey(CurrentUser, QStringLiteral("Software\\V"), AllAccess, &key), Success);
    const QByteArray big(qsizetype(1024) * 1024, 'x');
    ASSERT_EQ(
        store.setValue(key, QStringLiteral("Text"), TypeString, RegistryStore::stringData(QStringLiteral("héllo"))),
        Success);
    ASSERT_EQ(store.setValue(key, QStringLiteral("Number"), TypeDword, RegistryStore::dwordData(-1)), Success);
    ASSERT_EQ(store.setValue(key, QString(), TypeString, RegistryStore::stringData(QStringLiteral("default"))),
              Success);
    ASSERT_EQ(store.setValue(key, QStringLiteral("Big"), TypeString, big), Success);
    EXPECT_EQ(store.setValue(key, QStringLiteral("Bad"), TypeDword, QByteArray("12")), InvalidParameter);
    EXPECT_EQ(
        store.setValue(key, QString(maxValueNameLength + 1, QLatin1Char('n')), TypeDword, RegistryStore::dwordData(1)),
        InvalidParameter);
    // Rewriting under another case keeps the first name and the place in the order.
    ASSERT_EQ(
        store.setValue(key, QStringLiteral("TEXT"), TypeString, RegistryStore::stringData(QStringLiteral("again"))),
        Success);
    store.closeKey(key);

    ASSERT_EQ(store.openKey(CurrentUser, QStringLiteral("software\\v"), Read, &key), Success);
    quint32 type = 0;
    QByteArray data;
    ASSERT_EQ(store.queryValue(key, QStringLiteral("text"), &type, &data), Success);
    EXPECT_EQ(type, quint32(TypeString));
    EXPECT_EQ(RegistryStore::stringFromData(data), QStringLiteral("again"));
    ASSERT_EQ(store.queryValue(key, QStringLiteral("Number"), &type, &data), Success);
    EXPECT_EQ(type, quint32(TypeDword));
    EXPECT_EQ(RegistryStore::dwordFromData(data), -1);
    ASSERT_EQ(store.queryValue(key, QString(), &type, &data), Success);
    EXPECT_EQ(RegistryStore::stringFromData(data), QStringLiteral("default"));
    ASSERT_EQ(store.queryValue(key, QStringLiteral("Big"), &type, &data), Success);
    EXPECT_EQ(data, big);
    EXPECT_EQ(store.queryValue(key, QStringLiteral("Missing"), &type, &data), FileNotFound);

    EXPECT_EQ(valueNames(store, key),
              (QStringList {QStringLiteral("Text"), QStringLiteral("Number"), QString(), QStringLiteral("Big")}));
    // Buffers too small for a name or the data answer MoreData, as the platform does.
    QString name;
    EXPECT_EQ(store.enumValue(key, 0, &name, 4), MoreData);
    EXPECT_EQ(store.enumValue(key, 0, &name, 5), Success);
    EXPECT_EQ(store.enumValue(key, 3, &name, 1024, &type, &data, 1024), MoreData);
    EXPECT_EQ(store.enumValue(key, 3, &name, 1024, &type, nullptr, 1024), Success);
    EXPECT_EQ(store.enumValue(key, 4, &name, 1024), NoMoreItems);

    // The rights the key was opened with are enforced.
    EXPECT_EQ(store.setValue(key, QStringLiteral("X"), TypeDword, RegistryStore::dwordData(1)), AccessDenied);
    EXPECT_EQ(store.deleteValue(key, QStringLiteral("Text")), AccessDenied);
    store.closeKey(key);
    EXPECT_EQ(store.queryValue(key, QStringLiteral("Text"), &type, &data), InvalidHandle);
    EXPECT_EQ(store.closeKey(key), InvalidHandle);

    ASSERT_EQ(store.openKey(CurrentUser, QStringLiteral("Software\\V"), Write, &key), Success);
    EXPECT_EQ(store.deleteValue(key, QStringLiteral("number")), Success);
    EXPECT_EQ(store.deleteValue(key, QStringLiteral("number")), FileNotFound);
}

TEST(RegistryStore, KeysWithSubKeysAreNotDeleted)
{
    RegistryStore store(freshDatabase());
    Key key;
    ASSERT_EQ(store.createKey(CurrentUser, QStringLiteral("P\\C"), AllAccess, &key), Success);
    ASSERT_EQ(store.setValue(key, QStringLiteral("v"), TypeDword, RegistryStore::dwordData(3)), Success);

    EXPECT_EQ(store.deleteKey(CurrentUser, QStringLiteral("P")), AccessDenied);
    EXPECT_EQ(store.deleteKey(CurrentUser, QString()), AccessDenied);
    EXPECT_EQ(store.deleteKey(CurrentUser, QStringLiteral("Nope")), FileNotFound);
    EXPECT_EQ(store.deleteKey(CurrentUser, QStringLiteral("p\\c")), Success);
    // A handle that outlives its key cannot write into nowhere.
    EXPECT_EQ(store.setValue(key, QStringLiteral("v"), TypeDword, RegistryStore::dwordData(4)), KeyDeleted);
    EXPECT_EQ(store.deleteKey(CurrentUser, QStringLiteral("P")), Success);
    EXPECT_EQ(store.openKey(CurrentUser, QStringLiteral("P"), Read, &key), FileNotFound);

    // The deleted key's values went with it: a new key of the same name is empty.
    ASSERT_EQ(store.createKey(CurrentUser, QStringLiteral("P\\C"), AllAccess, &key), Success);
    EXPECT_TRUE(valueNames(store, key).isEmpty());
}

TEST(RegistryStore, DamagedOrReadOnlyStoresAnswerWithCodes)
{
    const QString damaged = freshDatabase();
    {
        QFile file(damaged);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(8192, '\x5a'));
    }
    RegistryStore bad(damaged);
    Key key;
    EXPECT_EQ(bad.createKey(CurrentUser, QStringLiteral("A"), AllAccess, &key), CantOpenStore);
    EXPECT_EQ(bad.openKey(CurrentUser, QStringLiteral("A"), AllAccess, &key), CantOpenStore);
    EXPECT_EQ(bad.deleteKey(CurrentUser, QStringLiteral("A")), CantOpenStore);

    // A store whose folder cannot be made (its parent is a file) cannot open.
    const QString blocker = TestEnvironment::freshFolder() + QStringLiteral("/file");
    {
        QFile file(blocker);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    RegistryStore nowhere(blocker + QStringLiteral("/ledgerix/registry.sqlite"));
    EXPECT_EQ(nowhere.createKey(CurrentUser, QStringLiteral("A"), AllAccess, &key), CantOpenStore);

    const QString path = freshDatabase();
    {
        RegistryStore writer(path);
        ASSERT_EQ(writer.createKey(CurrentUser, QStringLiteral("A"), AllAccess, &key), Success);
        ASSERT_EQ(writer.setValue(key, QStringLiteral("v"), TypeDword, RegistryStore::dwordData(7)), Success);
    }
    RegistryStore::Options options;
    options.readOnly = true;
    RegistryStore reader(path, options);
    ASSERT_EQ(reader.openKey(CurrentUser, QStringLiteral("A"), AllAccess, &key), Success);
    QByteArray data;
    ASSERT_EQ(reader.queryValue(key, QStringLiteral("v"), nullptr, &data), Success);
    EXPECT_EQ(RegistryStore::dwordFromData(data), 7);
    EXPECT_EQ(reader.setValue(key, QStringLiteral("v"), TypeDword, RegistryStore::dwordData(8)), AccessDenied);
    EXPECT_EQ(reader.createKey(CurrentUser, QStringLiteral("A\\New"), AllAccess, &key), AccessDenied);
    EXPECT_EQ(reader.deleteKey(CurrentUser, QStringLiteral("A")), AccessDenied);
}

TEST(RegistryStore, ALockHeldTooLongDeniesWritesAndLeavesNoHalfKey)
{
    const QString path = freshDatabase();
    RegistryStore store(path);
    Key key;
    ASSERT_EQ(store.createKey(CurrentUser, QStringLiteral("A"), AllAccess, &key), Success);
    ASSERT_EQ(store.setValue(key, QStringLiteral("v"), TypeDword, RegistryStore::dwordData(1)), Success);
    store.setBusyTimeout(100);

    sqlite3 *other = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE; DELETE FROM vals;", nullptr, nullptr, nullptr), SQLITE_OK);

    EXPECT_EQ(store.setValue(key, QStringLiteral("v"), TypeDword, RegistryStore::dwordData(2)), AccessDenied);
    Key deep;
    EXPECT_EQ(store.createKey(CurrentUser, QStringLiteral("A\\B\\C"), AllAccess, &deep), AccessDenied);
    // Readers still see the last committed state.
    QByteArray data;
    ASSERT_EQ(store.queryValue(key, QStringLiteral("v"), nullptr, &data), Success);
    EXPECT_EQ(RegistryStore::dwordFromData(data), 1);

    ASSERT_EQ(sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(other);
    EXPECT_EQ(store.openKey(CurrentUser, QStringLiteral("A\\B"), Read, &deep), FileNotFound);
    EXPECT_EQ(store.setValue(key, QStringLiteral("v"), TypeDword, RegistryStore::dwordData(2)), Success);
}

TEST(RegistryStore, TwoProcessesWriteTheSameKey)
{
    const QString path = freshDatabase();
    const QString writer = QCoreApplication::applicationDirPath() + QStringLiteral("/registry_writer");
    const int perProcess = 150;
    const QStringList failures = TestEnvironment::runTogether(
        writer, {{path, QStringLiteral("Software\\Shared"), QStringLiteral("a"), QString::number(perProcess)},
                 {path, QStringLiteral("software\\shared"), QStringLiteral("b"), QString::number(perProcess)}});
    ASSERT_TRUE(failures.isEmpty()) << failures.join(u'\n').toStdString();

    RegistryStore store(path);
    Key key;
    ASSERT_EQ(store.openKey(CurrentUser, QStringLiteral("Software\\Shared"), Read, &key), Success);
    const QStringList names = valueNames(store, key);
    EXPECT_EQ(names.size(), 2 * perProcess);
    EXPECT_TRUE(names.contains(QStringLiteral("a0")));
    EXPECT_TRUE(names.contains(QStringLiteral("b%1").arg(perProcess - 1)));
    ASSERT_EQ(store.openKey(CurrentUser, QStringLiteral("Software"), Read, &key), Success);
    QString name;
    EXPECT_EQ(store.enumKey(key, 1, &name), NoMoreItems); // one key, not two
}

TEST(RegistryStore, CurrentUserStoreLivesUnderTheConfigFolder)
{
    EXPECT_TRUE(RegistryStore::defaultDatabasePath().endsWith(QStringLiteral("/ledgerix/registry.sqlite")));
    EXPECT_TRUE(RegistryStore::defaultDatabasePath().startsWith(TestEnvironment::root()));
    Key key;
    ASSERT_EQ(RegistryStore::forCurrentUser().createKey(CurrentUser, QStringLiteral("X"), AllAccess, &key), Success);
    EXPECT_TRUE(QFile::exists(RegistryStore::defaultDatabasePath()));
}

TEST(RegistryStore, AReadScopeSeesOneSnapshotAndRefusesChanges)
{
    const QString path = freshDatabase();
    RegistryStore store(path);
    Key key;
    ASSERT_EQ(store.createKey(CurrentUser, QStringLiteral("A"), AllAccess, &key), Success);
    ASSERT_EQ(store.setValue(key, QStringLiteral("v"), TypeDword, RegistryStore::dwordData(1)), Success);
    RegistryStore other(path);
    Key otherKey;
    ASSERT_EQ(other.openKey(CurrentUser, QStringLiteral("A"), AllAccess, &otherKey), Success);
    QByteArray data;
    {
        RegistryStore::ReadScope scope(store);
        ASSERT_EQ(store.queryValue(key, QStringLiteral("v"), nullptr, &data), Success);
        // Another writer goes ahead; this scope keeps reading what it began with.
        ASSERT_EQ(other.setValue(otherKey, QStringLiteral("v"), TypeDword, RegistryStore::dwordData(2)), Success);
        ASSERT_EQ(store.queryValue(key, QStringLiteral("v"), nullptr, &data), Success);
        EXPECT_EQ(RegistryStore::dwordFromData(data), 1);
        EXPECT_EQ(store.setValue(key, QStringLiteral("v"), TypeDword, RegistryStore::dwordData(3)), AccessDenied);
        EXPECT_EQ(store.deleteValue(key, QStringLiteral("v")), AccessDenied);
        Key created;
        EXPECT_EQ(store.createKey(CurrentUser, QStringLiteral("A\\B"), AllAccess, &created), AccessDenied);
        EXPECT_EQ(store.deleteKey(CurrentUser, QStringLiteral("A")), AccessDenied);
    }
    ASSERT_EQ(store.queryValue(key, QStringLiteral("v"), nullptr, &data), Success);
    EXPECT_EQ(RegistryStore::dwordFromData(data), 2);
    EXPECT_EQ(store.setValue(key, QStringLiteral("v"), TypeDword, RegistryStore::dwordData(3)), Success);
}
