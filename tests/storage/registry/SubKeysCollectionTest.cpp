#include "KSRegistryKey.h"
#include "RegistryTestSupport.h"
#include "RuntimeErrors.h"
#include "SubKeysCollection.h"

using namespace RegistryTest;

TEST(SubKeysCollection, LoadsAddsAndFindsSubKeys)
{
    const QString path = uniqueKey(QStringLiteral("Collection"));
    RegistryStore &store = RegistryStore::forCurrentUser();
    Registry::Key raw;
    for (const char *name : {"Beta", "alpha", "Gamma"})
        ASSERT_EQ(store.createKey(Registry::CurrentUser, path + QLatin1Char('\\') + QLatin1String(name),
                                  Registry::AllAccess, &raw),
                  Registry::Success);

    KSRegistryKey key;
    key.setKeyName(path);
    SubKeysCollection *subKeys = key.SubKeys();
    EXPECT_EQ(key.SubKeys(), subKeys);
    ASSERT_EQ(subKeys->Count(), 3);
    QStringList seen;
    for (KSRegistryKey *child : *subKeys) {
        EXPECT_TRUE(child->IsOwned());
        seen << child->LastElementOfKeyName();
    }
    EXPECT_EQ(seen, (QStringList {QStringLiteral("alpha"), QStringLiteral("Beta"), QStringLiteral("Gamma")}));
    EXPECT_FALSE(key.IsOwned());

    // By position from 1 and by name without regard to case.
    EXPECT_EQ(subKeys->Item(1)->KeyName(), path + QStringLiteral("\\alpha"));
    EXPECT_EQ(subKeys->Item(QStringLiteral("GAMMA")), subKeys->Item(3));
    EXPECT_EQ(raised([&] { subKeys->Item(4); }).number(), RuntimeErrors::SubscriptOutOfRange);
    EXPECT_EQ(raised([&] { subKeys->Item(0); }).number(), RuntimeErrors::SubscriptOutOfRange);
    const AutomationError missing = raised([&] { subKeys->Item(QStringLiteral("Delta")); });
    EXPECT_EQ(missing.number(), RuntimeErrors::InvalidProcedureCall);
    EXPECT_EQ(missing.sourceLines().constLast(), QStringLiteral("SubKeysCollection.Item"));

    // Adding an existing name gives the same object and creates nothing.
    KSRegistryKey *beta = subKeys->Item(QStringLiteral("Beta"));
    EXPECT_EQ(subKeys->Add(QStringLiteral("BETA")), beta);
    EXPECT_EQ(subKeys->Count(), 3);
    Registry::Key parent;
    ASSERT_EQ(store.openKey(Registry::CurrentUser, path, Registry::Read, &parent), Registry::Success);
    QString name;
    EXPECT_EQ(store.enumKey(parent, 3, &name), Registry::NoMoreItems);

    KSRegistryKey *delta = subKeys->Add(QStringLiteral("Delta"));
    EXPECT_EQ(subKeys->Count(), 4);
    EXPECT_TRUE(keyExists(path + QStringLiteral("\\Delta")));
    EXPECT_EQ(delta->RootKey(), KSRegistryKey::HKEY_CURRENT_USER);
}

TEST(SubKeysCollection, RefreshInvalidatesTheObjectsItHeld)
{
    const QString path = uniqueKey(QStringLiteral("Refresh"));
    KSRegistryKey key;
    key.setKeyName(path);
    KSRegistryKey *before = key.SubKeys()->Add(QStringLiteral("One"));
    RegistryStore &store = RegistryStore::forCurrentUser();
    Registry::Key raw;
    ASSERT_EQ(store.createKey(Registry::CurrentUser, path + QStringLiteral("\\Two"), Registry::AllAccess, &raw),
              Registry::Success);

    key.SubKeys()->Refresh();
    EXPECT_TRUE(before->Invalidated());
    EXPECT_EQ(raised([&] { before->GetValueNames(); }).number(), LedgerixErrors::ObjectInvalidated);
    ASSERT_EQ(key.SubKeys()->Count(), 2);
    KSRegistryKey *after = key.SubKeys()->Item(QStringLiteral("One"));
    EXPECT_NE(after, before);
    EXPECT_FALSE(after->Invalidated());
    EXPECT_EQ(key.SubKeys()->Item(2)->LastElementOfKeyName(), QStringLiteral("Two"));
}
