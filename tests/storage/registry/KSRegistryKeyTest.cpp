#include "KSRegistryKey.h"
#include "RegistryTestSupport.h"
#include "SubKeysCollection.h"
#include "VariantHelpers.h"

#include "TestEnvironment.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>

using namespace RegistryTest;

TEST(KSRegistryKey, PathSelectsRootAndKey)
{
    const QString tail = uniqueKey(QStringLiteral("Path")).mid(9); // without "Software\"
    const struct
    {
        QString path;
        qint32 root;
        QString keyName;
    } rows[] = {
        {QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\") + tail, KSRegistryKey::HKEY_LOCAL_MACHINE,
         QStringLiteral("Software\\") + tail},
        {QStringLiteral("HKEY_USERS|") + tail, KSRegistryKey::HKEY_USERS, tail},
        {QStringLiteral("HKEY_CLASSES_ROOT.") + tail, KSRegistryKey::HKEY_CLASSES_ROOT, tail},
        {QStringLiteral("Software\\") + tail, KSRegistryKey::HKEY_CURRENT_USER, QStringLiteral("Software\\") + tail},
        {QStringLiteral("Software\\") + tail + QStringLiteral("\\app.ini"), KSRegistryKey::HKEY_CURRENT_USER,
         QStringLiteral("Software\\") + tail + QStringLiteral("\\app")},
        // Root names are matched exactly; anything else is a key below the current user.
        {QStringLiteral("hkey_users\\") + tail, KSRegistryKey::HKEY_CURRENT_USER,
         QStringLiteral("hkey_users\\") + tail},
    };
    for (const auto &row : rows) {
        KSRegistryKey key;
        LedgerixStdInterface &store = key;
        store.setPath(row.path);
        EXPECT_EQ(key.RootKey(), row.root) << qPrintable(row.path);
        EXPECT_EQ(key.KeyName(), row.keyName) << qPrintable(row.path);
        EXPECT_EQ(store.Path(), KSRegistryKey::rootName(row.root) + QLatin1Char('\\') + row.keyName);
        EXPECT_TRUE(keyExists(row.keyName, quint32(row.root))) << qPrintable(row.path);
    }
}

TEST(KSRegistryKey, RootAndKeyNameAreFixedByTheirFirstWrite)
{
    const QString first = uniqueKey(QStringLiteral("First"));
    KSRegistryKey key;
    key.setKeyName(QString()); // empty text is no assignment
    key.setKeyName(first);
    key.setKeyName(uniqueKey(QStringLiteral("Second")));
    EXPECT_EQ(key.KeyName(), first);

    key.setRootKey(KSRegistryKey::HKEY_USERS);
    key.setRootKey(KSRegistryKey::HKEY_LOCAL_MACHINE);
    EXPECT_EQ(key.RootKey(), KSRegistryKey::HKEY_USERS);

    // Through Path as well: the second assignment changes nothing.
    static_cast<LedgerixStdInterface &>(key).setPath(QStringLiteral("HKEY_CLASSES_ROOT\\Other"));
    EXPECT_EQ(key.RootKey(), KSRegistryKey::HKEY_USERS);
    EXPECT_EQ(key.KeyName(), first);
}

TEST(KSRegistryKey, SectionSelectsSubKeys)
{
    const QString base = uniqueKey(QStringLiteral("Sections"));
    KSRegistryKey key;
    LedgerixStdInterface &store = key;
    store.setPath(base);
    store.setSection(QStringLiteral("   "));
    EXPECT_EQ(key.KeyName(), base);
    EXPECT_EQ(store.Section(), QString());

    store.setSection(QStringLiteral("WindowParams"));
    EXPECT_EQ(key.KeyName(), base + QStringLiteral("\\WindowParams"));
    EXPECT_EQ(store.Section(), QStringLiteral("WindowParams"));
    EXPECT_TRUE(keyExists(base + QStringLiteral("\\WindowParams")));

    store.setSection(QStringLiteral("Other"));
    EXPECT_EQ(key.KeyName(), base + QStringLiteral("\\Other"));
    key.SetValue(QStringLiteral("v"), 1);
    EXPECT_TRUE(rawValue(base + QStringLiteral("\\Other"), QStringLiteral("v")));

    store.setSection(QString());
    EXPECT_EQ(key.KeyName(), base);
    EXPECT_EQ(store.Section(), QString());
    // Only spaces make a section name blank; a tab names a sub-key.
    store.setSection(QStringLiteral("\t"));
    EXPECT_EQ(key.KeyName(), base + QStringLiteral("\\\t"));
    store.setSection(QString());
    EXPECT_EQ(key.KeyName(), base);
    // The key name stays fixed against direct writes after all this.
    key.setKeyName(QStringLiteral("Elsewhere"));
    EXPECT_EQ(key.KeyName(), base);
}

TEST(KSRegistryKey, ValuesAreTypedAndReadBack)
{
    const QString path = uniqueKey(QStringLiteral("Values"));
    KSRegistryKey key;
    key.setKeyName(path);
    const struct
    {
        const char *name;
        QVariant value;
        bool written;
        quint32 type;
        QByteArray data;
        QVariant readBack;
    } rows[] = {
        {"BoolTrue", true, true, Registry::TypeDword, RegistryStore::dwordData(-1), qint32(-1)},
        {"Short", QVariant::fromValue<qint16>(7), true, Registry::TypeDword, RegistryStore::dwordData(7), qint32(7)},
        {"Long", qint32(-123456), true, Registry::TypeDword, RegistryStore::dwordData(-123456), qint32(-123456)},
        {"Double", 1.5, true, Registry::TypeString, QByteArray("1.5\0", 4), 1.5},
        {"Text", QStringLiteral("hello"), true, Registry::TypeString, QByteArray("hello\0", 6),
         QStringLiteral("hello")},
        {"NumericText", QStringLiteral("42"), true, Registry::TypeString, QByteArray("42\0", 3), qint32(42)},
        {"Longs", QVariant::fromValue(QList<qint32> {1, 2, 3}), true, Registry::TypeString, QByteArray("1\t2\t3\0", 6),
         QVariant::fromValue(QList<qint32> {1, 2, 3})},
        {"Strings", QVariant::fromValue(QStringList {QStringLiteral("a"), QStringLiteral("b")}), true,
         Registry::TypeString, QByteArray("a\tb\0", 4),
         QVariant::fromValue(QStringList {QStringLiteral("a"), QStringLiteral("b")})},
        {"Date", QDate(2024, 1, 2), false, 0, {}, {}},
        {"Bytes", QByteArray("xyz"), false, 0, {}, {}},
        {"Empty", QVariant(), false, 0, {}, {}},
    };
    for (const auto &row : rows) {
        const QString name = QString::fromLatin1(row.name);
        EXPECT_EQ(key.SetValue(name, row.value), row.written) << row.name;
        EXPECT_EQ(key.Value(), row.value) << row.name;
        const auto raw = rawValue(path, name);
        ASSERT_EQ(raw.has_value(), row.written) << row.name;
        if (!raw)
            continue;
        EXPECT_EQ(raw->type, row.type) << row.name;
        EXPECT_EQ(raw->data, row.data) << row.name;
        EXPECT_EQ(key.GetValue(name), row.readBack) << row.name;
    }
    // Detection switched off gives the stored text.
    EXPECT_EQ(key.GetValue(QStringLiteral("Longs"), QStringLiteral("\t"), false, true),
              QVariant(QStringLiteral("1\t2\t3")));
    EXPECT_EQ(key.GetValue(QStringLiteral("NumericText"), QStringLiteral("\t"), true, false),
              QVariant(QStringLiteral("42")));
    // A Value write goes to the last value name.
    key.GetValue(QStringLiteral("Text"));
    key.setValue(QStringLiteral("again"));
    EXPECT_EQ(key.GetValue(QStringLiteral("Text")), QVariant(QStringLiteral("again")));
}

TEST(KSRegistryKey, MissingValuesRaiseBadKeyOrGiveTheDefault)
{
    KSRegistryKey key;
    key.setKeyName(uniqueKey(QStringLiteral("Missing")));
    const AutomationError error = raised([&] { key.GetValue(QStringLiteral("Nope")); });
    EXPECT_EQ(error.number(), LedgerixErrors::BadKey);
    EXPECT_EQ(error.description(), QStringLiteral("Bad Key"));
    EXPECT_EQ(error.sourceLines(),
              (QStringList {QStringLiteral("Ledgerix2"), QStringLiteral("KSRegistryKey.ErrorState (Let)"),
                            QStringLiteral("KSRegistryKey.GetValue")}));

    const AutomationError viaInterface
        = raised([&] { static_cast<LedgerixStdInterface &>(key).GetValue(QStringLiteral("Nope")); });
    ASSERT_GE(viaInterface.sourceLines().size(), 2);
    EXPECT_EQ(viaInterface.sourceLines().constLast(), QStringLiteral("KSRegistryKey.LedgerixStdInterface_GetValue"));

    ErrorsOff off;
    EXPECT_TRUE(Variants::isMissing(key.GetValue(QStringLiteral("Nope"))));
    EXPECT_EQ(key.ErrorState(), Registry::FileNotFound);
    EXPECT_EQ(key.GetValue(QStringLiteral("Nope"), QStringLiteral("\t"), true, true, 17), QVariant(17));
    EXPECT_EQ(static_cast<LedgerixStdInterface &>(key).GetValue(QStringLiteral("Nope")), QVariant(QString()));
    key.ErrorStateClear();
    EXPECT_EQ(key.ErrorState(), 0);
}

TEST(KSRegistryKey, SetValueRefusesEmptyNamesAndReportsWhetherItWrote)
{
    const QString path = uniqueKey(QStringLiteral("Names"));
    KSRegistryKey key;
    EXPECT_FALSE(key.SetValue(QStringLiteral("NoKeyYet"), 1)); // nothing to write into
    key.setKeyName(path);
    EXPECT_EQ(raised([&] { key.SetValue(QStringLiteral("  "), 1); }).number(), LedgerixErrors::ZeroLengthFieldName);
    EXPECT_TRUE(key.SetValue(QStringLiteral("  padded  "), 1));
    EXPECT_TRUE(rawValue(path, QStringLiteral("padded")));
    // Only spaces are trimmed, as the other two stores do: a tab or a line
    // break is part of the name, and a name of tabs alone is a name.
    key.SetValue(QStringLiteral("\ttabbed\r\n"), 2);
    EXPECT_TRUE(rawValue(path, QStringLiteral("\ttabbed\r\n")));
    EXPECT_FALSE(rawValue(path, QStringLiteral("tabbed")));
    key.SetValue(QStringLiteral("\t"), 3);
    EXPECT_TRUE(rawValue(path, QStringLiteral("\t")));
    EXPECT_EQ(key.GetValueNames(),
              (QStringList {QStringLiteral("padded"), QStringLiteral("\ttabbed\r\n"), QStringLiteral("\t")}));

    // A key deleted behind the object's back: the write fails and says so.
    ASSERT_EQ(RegistryStore::forCurrentUser().deleteKey(Registry::CurrentUser, path), Registry::Success);
    ErrorsOff off;
    EXPECT_FALSE(key.SetValue(QStringLiteral("after"), 1));
    EXPECT_NE(key.ErrorState(), 0);
}

TEST(KSRegistryKey, ValueNamesSkipTheDefaultValueButKeepLongValues)
{
    const QString path = uniqueKey(QStringLiteral("ValueNames"));
    KSRegistryKey key;
    key.setKeyName(path);
    RegistryStore &store = RegistryStore::forCurrentUser();
    Registry::Key raw;
    ASSERT_EQ(store.openKey(Registry::CurrentUser, path, Registry::AllAccess, &raw), Registry::Success);
    ASSERT_EQ(store.setValue(raw, QString(), Registry::TypeString, RegistryStore::stringData(QStringLiteral("d"))),
              Registry::Success);
    EXPECT_TRUE(key.GetValueNames().isEmpty());

    key.SetValue(QStringLiteral("First"), 1);
    key.SetValue(QStringLiteral("Long"), QString(5000, QLatin1Char('x')));
    key.SetValue(QStringLiteral("Last"), 2);
    EXPECT_EQ(key.GetValueNames(),
              (QStringList {QStringLiteral("First"), QStringLiteral("Long"), QStringLiteral("Last")}));
    EXPECT_EQ(key.ErrorState(), 0);

    key.GetValue(QStringLiteral("last"));
    key.DeleteValue(QStringLiteral("LAST"));
    EXPECT_EQ(key.GetValueNames().size(), 2);
    EXPECT_EQ(raised([&] { key.DeleteValue(QStringLiteral("Last")); }).number(), LedgerixErrors::BadKey);
}

TEST(KSRegistryKey, DeleteKeyRecursesAndInvalidates)
{
    const QString path = uniqueKey(QStringLiteral("Delete"));
    KSRegistryKey key;
    key.setKeyName(path);
    SubKeysCollection *children = key.SubKeys();
    KSRegistryKey *child = children->Add(QStringLiteral("Child"));
    child->SubKeys()->Add(QStringLiteral("Grandchild"))->SetValue(QStringLiteral("v"), 1);
    children->Add(QStringLiteral("Sibling"));
    ASSERT_TRUE(keyExists(path + QStringLiteral("\\Child\\Grandchild")));

    // Not recursive: refused while sub-keys exist, and nothing is touched.
    const AutomationError refused = raised([&] { key.DeleteKey(false); });
    EXPECT_EQ(refused.number(), LedgerixErrors::KeyHasSubkeys);
    EXPECT_EQ(refused.description(), QStringLiteral("Can't delete key because it's contains subkeys"));
    EXPECT_FALSE(key.Invalidated());
    EXPECT_TRUE(keyExists(path + QStringLiteral("\\Child\\Grandchild")));

    // Not recursive on a key without sub-keys simply deletes it.
    KSRegistryKey *sibling = children->Item(QStringLiteral("sibling"));
    sibling->DeleteKey(false);
    EXPECT_TRUE(sibling->Invalidated());
    EXPECT_FALSE(keyExists(path + QStringLiteral("\\Sibling")));
    EXPECT_EQ(children->Count(), 1);

    key.DeleteKey(true);
    EXPECT_FALSE(keyExists(path));
    EXPECT_TRUE(key.Invalidated());
    EXPECT_TRUE(child->Invalidated());
    const AutomationError invalid = raised([&] { key.KeyName(); });
    EXPECT_EQ(invalid.number(), LedgerixErrors::ObjectInvalidated);
    EXPECT_EQ(invalid.description(), QStringLiteral("Object has been invalidated"));
    EXPECT_EQ(raised([&] { child->SetValue(QStringLiteral("v"), 2); }).number(), LedgerixErrors::ObjectInvalidated);

    // With errors off an invalidated object does nothing, rather than write
    // into the root its empty name would open.
    ErrorsOff off;
    EXPECT_FALSE(key.SetValue(QStringLiteral("Stray"), 1));
    EXPECT_FALSE(rawValue(QString(), QStringLiteral("Stray")));
}

TEST(KSRegistryKey, TwoProcessesWriteTheSameKey)
{
    const QString path = uniqueKey(QStringLiteral("Shared"));
    const int perProcess = 100;
    // Both writers wait for each other as long as it takes: how long the
    // other holds the store depends on the machine's load, not on the code.
    RegistryStore::forCurrentUser().setBusyTimeout(10 * 60 * 1000);
    const auto restore = qScopeGuard([] { RegistryStore::forCurrentUser().setBusyTimeout(5000); });
    QProcess other;
    other.start(QStringLiteral(KEY_WRITER), {path, QStringLiteral("other"), QString::number(perProcess)});
    ASSERT_TRUE(other.waitForStarted(-1));
    KSRegistryKey key;
    key.setKeyName(path);
    int written = 0;
    for (int i = 0; i < perProcess; ++i)
        written += key.SetValue(QStringLiteral("mine") + QString::number(i), i) ? 1 : 0;
    ASSERT_TRUE(other.waitForFinished(-1));
    EXPECT_EQ(other.exitCode(), 0) << other.readAllStandardError().constData();
    EXPECT_EQ(written, perProcess);
    const QStringList names = key.GetValueNames();
    EXPECT_EQ(names.size(), 2 * perProcess);
    EXPECT_EQ(key.GetValue(QStringLiteral("other99")), QVariant(qint32(99)));
}

TEST(KSRegistryKey, BadInputComesBackAsRegistryErrors)
{
    const QString base = uniqueKey(QStringLiteral("BadInput"));
    const struct
    {
        QString keyName;
        qint32 error;
    } rows[] = {
        {base + QStringLiteral("\\\\Empty"), LedgerixErrors::InvalidParameters},
        {QStringLiteral("\\") + base, LedgerixErrors::InvalidParameters},
        {base + QLatin1Char('\\') + QString(256, QLatin1Char('n')), LedgerixErrors::InvalidParameters},
    };
    for (const auto &row : rows) {
        KSRegistryKey key;
        const AutomationError error = raised([&] { key.setKeyName(row.keyName); });
        EXPECT_EQ(error.number(), row.error) << qPrintable(row.keyName.left(40));
        EXPECT_EQ(error.sourceLines().constLast(), QStringLiteral("KSRegistryKey.KeyName (Let)"));
        const AutomationError viaPath = raised([&] { static_cast<LedgerixStdInterface &>(key).setPath(row.keyName); });
        EXPECT_EQ(
            viaPath.sourceLines().mid(viaPath.sourceLines().size() - 3),
            (QStringList {QStringLiteral("KSRegistryKey.KeyName (Let)"), QStringLiteral("KSRegistryKey.Path (Let)"),
                          QStringLiteral("KSRegistryKey.LedgerixStdInterface_Path (Let)")}));
        EXPECT_FALSE(keyExists(base)) << "nothing of a refused path is created";
    }

    KSRegistryKey key;
    key.setKeyName(base);
    const QString megabyte(qsizetype(1024) * 1024, QLatin1Char('m'));
    EXPECT_TRUE(key.SetValue(QStringLiteral("Big"), megabyte));
    EXPECT_EQ(key.GetValue(QStringLiteral("Big")), QVariant(megabyte));
    EXPECT_EQ(raised([&] { key.SetValue(QString(Registry::maxValueNameLength + 1, QLatin1Char('v')), 1); }).number(),
              LedgerixErrors::InvalidParameters);
}

TEST(KSRegistryKey, ADamagedStoreIsReportedNotCrashedOn)
{
    const QString home = TestEnvironment::freshFolder(QStringLiteral("damaged"));
    QDir().mkpath(home + QStringLiteral("/ledgerix"));
    QFile file(home + QStringLiteral("/ledgerix/registry.sqlite"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, '\x42'));
    file.close();

    QProcess writer;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home);
    writer.setProcessEnvironment(environment);
    writer.start(QStringLiteral(KEY_WRITER),
                 {QStringLiteral("Software\\Damaged"), QStringLiteral("v"), QStringLiteral("1")});
    ASSERT_TRUE(writer.waitForFinished(-1));
    EXPECT_EQ(writer.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(writer.exitCode(), 3);
    EXPECT_EQ(writer.readAllStandardOutput().trimmed().toInt(), LedgerixErrors::CantOpenKey);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray(4096, '\x42')) << "the damaged file is left as it was";
}
