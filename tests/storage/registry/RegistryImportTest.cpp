#include "KSINIFileHandler.h"
#include "KSRegistryKey.h"
#include "KSStorageString.h"
#include "RegistryTestSupport.h"
#include "SubKeysCollection.h"
#include "TestEnvironment.h"

using namespace RegistryTest;

namespace {

QString iniFile()
{
    return TestEnvironment::freshFolder(QStringLiteral("import")) + QStringLiteral("/import.ini");
}

} // namespace

TEST(RegistryImport, RegistryTakesTheOwnValuesOfAnotherKey)
{
    KSRegistryKey source;
    source.setKeyName(uniqueKey(QStringLiteral("Source")));
    source.SetValue(QStringLiteral("Number"), 5);
    source.SetValue(QStringLiteral("List"), QVariant::fromValue(QList<qint32> {1, 2}));
    source.SubKeys()->Add(QStringLiteral("Child"))->SetValue(QStringLiteral("Deep"), 1);

    const QString targetPath = uniqueKey(QStringLiteral("Target"));
    KSRegistryKey target;
    static_cast<LedgerixStdInterface &>(target).setPath(targetPath);
    static_cast<LedgerixStdInterface &>(target).setSection(QStringLiteral("Copy"));
    target.setValue(QVariant::fromValue(&source));
    EXPECT_EQ(target.GetValue(QStringLiteral("Number")), QVariant(qint32(5)));
    // Arrays travel Tab-joined and numbers come back as numbers.
    EXPECT_EQ(rawValue(targetPath + QStringLiteral("\\Copy"), QStringLiteral("List"))->data, QByteArray("1\t2\0", 4));
    EXPECT_EQ(rawValue(targetPath + QStringLiteral("\\Copy"), QStringLiteral("Number"))->type,
              quint32(Registry::TypeDword));
    // Sub-keys are not copied.
    EXPECT_FALSE(keyExists(targetPath + QStringLiteral("\\Copy\\Child")));
}

TEST(RegistryImport, IniSectionsBecomeSubKeysAndBack)
{
    KSINIFileHandler ini;
    static_cast<LedgerixStdInterface &>(ini).setPath(iniFile());
    ini.SetValue(QStringLiteral("Base"), QStringLiteral("b")); // section DEFAULT
    ini.setSection(QStringLiteral("Window"));
    ini.SetValue(QStringLiteral("Top"), 100);

    const QString path = uniqueKey(QStringLiteral("FromIni"));
    KSRegistryKey key;
    key.setKeyName(path);
    key.setValue(QVariant::fromValue(&ini));
    EXPECT_EQ(rawValue(path, QStringLiteral("Base"))->data, QByteArray("b\0", 2));
    // Numeric text read from the file arrives as a number.
    EXPECT_EQ(rawValue(path + QStringLiteral("\\Window"), QStringLiteral("Top"))->data, RegistryStore::dwordData(100));
    EXPECT_EQ(static_cast<LedgerixStdInterface &>(key).Section(), QString());
    EXPECT_EQ(key.KeyName(), path);

    // Back into a fresh INI file: the key's values, then one section per sub-key.
    KSINIFileHandler back;
    static_cast<LedgerixStdInterface &>(back).setPath(iniFile());
    back.setValue(QVariant::fromValue(&key));
    const QString keySection = key.LastElementOfKeyName();
    EXPECT_EQ(back.GetSectionNames(), (QStringList {keySection, QStringLiteral("Window")}));
    back.setSection(keySection);
    EXPECT_EQ(back.GetValue(QStringLiteral("Base")), QVariant(QStringLiteral("b")));
    back.setSection(QStringLiteral("Window"));
    EXPECT_EQ(back.GetValue(QStringLiteral("Top")), QVariant(qint32(100)));
}

TEST(RegistryImport, StorageStringPagesBecomeSubKeysAndBack)
{
    KSStorageString pages;
    pages.SetValue(QStringLiteral("First"), 1);
    pages.AddPage(QStringLiteral("Second"));
    pages.SetValue(QStringLiteral("Two"), QStringLiteral("zwei"));
    pages.setPage(2);

    const QString path = uniqueKey(QStringLiteral("FromString"));
    KSRegistryKey key;
    static_cast<LedgerixStdInterface &>(key).setPath(path);
    key.setValue(QVariant::fromValue(&pages));
    EXPECT_EQ(rawValue(path, QStringLiteral("First"))->data, RegistryStore::dwordData(1));
    EXPECT_EQ(rawValue(path + QStringLiteral("\\Second"), QStringLiteral("Two"))->data,
              RegistryStore::stringData(QStringLiteral("zwei")));
    EXPECT_EQ(pages.Page(), QVariant(qint32(2))); // the source's page is put back
    EXPECT_EQ(key.KeyName(), path);

    KSStorageString back;
    back.setValue(QVariant::fromValue(&key));
    ASSERT_EQ(back.PageCount(), 2);
    back.setPage(1);
    EXPECT_EQ(back.PageName(), key.LastElementOfKeyName());
    EXPECT_EQ(back.GetValue(QStringLiteral("First")), QVariant(qint32(1)));
    back.setPage(2);
    EXPECT_EQ(back.PageName(), QStringLiteral("Second"));
    EXPECT_EQ(back.GetValue(QStringLiteral("Two")), QVariant(QStringLiteral("zwei")));
}

TEST(RegistryImport, ADeletedKeyWithErrorsOffListsNoSubKeysAndImportsNothing)
{
    const QString path = uniqueKey(QStringLiteral("Deleted"));
    KSRegistryKey deleted;
    deleted.setKeyName(path);
    deleted.SetValue(QStringLiteral("Gone"), 1);
    deleted.SubKeys()->Add(QStringLiteral("Child"))->SetValue(QStringLiteral("Deep"), 2);
    deleted.DeleteKey(true);
    ASSERT_TRUE(deleted.Invalidated());

    ErrorsOff off;
    SubKeysCollection *none = deleted.SubKeys();
    ASSERT_NE(none, nullptr);
    EXPECT_EQ(none->Count(), 0);
    EXPECT_EQ(deleted.SubKeys(), none);
    KSRegistryKey *added = none->Add(QStringLiteral("Stray"));
    ASSERT_NE(added, nullptr);
    EXPECT_TRUE(added->Invalidated());
    EXPECT_EQ(none->Count(), 0);
    EXPECT_FALSE(keyExists(QStringLiteral("Stray"))) << "created under the root";

    KSINIFileHandler ini;
    static_cast<LedgerixStdInterface &>(ini).setPath(iniFile());
    ini.setSection(QStringLiteral("Kept"));
    ini.SetValue(QStringLiteral("Note"), QStringLiteral("stays"));
    ini.setValue(QVariant::fromValue(&deleted));
    EXPECT_EQ(ini.GetSectionNames(), QStringList {QStringLiteral("Kept")});
    EXPECT_EQ(static_cast<LedgerixStdInterface &>(ini).Section(), QStringLiteral("Kept"));

    KSStorageString pages;
    pages.setMultiPage(true);
    pages.SetValue(QStringLiteral("Note"), QStringLiteral("stays"));
    pages.setValue(QVariant::fromValue(&deleted));
    EXPECT_EQ(pages.PageCount(), 1);
    EXPECT_EQ(pages.GetValue(QStringLiteral("Note")), QVariant(QStringLiteral("stays")));

    const QString targetPath = uniqueKey(QStringLiteral("Target"));
    KSRegistryKey target;
    target.setKeyName(targetPath);
    target.SetValue(QStringLiteral("Note"), QStringLiteral("stays"));
    target.setValue(QVariant::fromValue(&deleted));
    EXPECT_EQ(target.GetValueNames(), QStringList {QStringLiteral("Note")});
    EXPECT_FALSE(keyExists(path));
}
