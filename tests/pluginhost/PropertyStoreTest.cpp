#include "PluginHostFixture.h"

#include "AutomationError.h"
#include "PluginManager.h"
#include "PropertyStore.h"
#include "PropertyStoreCollection.h"

#include <gtest/gtest.h>

namespace {

struct Stores
{
    Stores()
        : collection(app.iniPath())
    {
        collection.Initialize(0);
    }
    AppFolder app;
    PropertyStoreCollection collection;
};

} // namespace

TEST(PropertyStores, WritesOneSectionPerPluginWithTheValueAsTyped)
{
    Stores s;
    PropertyStore *store = s.collection.Add(QStringLiteral("KSChorescan.Chorescan"));
    store->SetProperty(QStringLiteral("WorkingPath"), QStringLiteral("/home/dev/src/project one"));
    const QStringList expected {QStringLiteral("[KSChorescan.Chorescan]"),
                                QStringLiteral("WorkingPath=/home/dev/src/project one")};
    EXPECT_EQ(s.app.iniLines(), expected);
}

TEST(PropertyStores, ValuesComeBackTyped)
{
    Stores s;
    PropertyStore *store = s.collection.Add(QStringLiteral("Plug.In"));
    struct Row
    {
        const char *name;
        QVariant written;
        const char *line;
        QVariant read;
    };
    const QList<Row> rows {
        {"Flag", true, "Flag=True", QStringLiteral("True")},
        {"Count", 5, "Count=5", qint32(5)},
        {"Ratio", 2.5, "Ratio=2.5", 2.5},
        {"Names", QStringList {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}, "Names=a\tb\tc",
         QStringList {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}},
        {"Plain", QStringLiteral("some text"), "Plain=some text", QStringLiteral("some text")},
    };
    QStringList lines {QStringLiteral("[Plug.In]")};
    for (const Row &row : rows) {
        store->SetProperty(QString::fromLatin1(row.name), row.written);
        lines.append(QString::fromLatin1(row.line));
        const QVariant read = store->GetProperty(QString::fromLatin1(row.name));
        EXPECT_EQ(read.metaType(), row.read.metaType()) << row.name;
        EXPECT_EQ(read, row.read) << row.name;
    }
    EXPECT_EQ(s.app.iniLines(), lines);
    EXPECT_TRUE(store->GetProperty(QStringLiteral("Flag")).toBool());

    const QVariant never = store->GetProperty(QStringLiteral("NeverWritten"));
    EXPECT_EQ(never.metaType(), QMetaType::fromType<QString>());
    EXPECT_TRUE(never.toString().isEmpty());
}

TEST(PropertyStores, TwoStoresOfOneSectionSeeEachOthersWrites)
{
    Stores s;
    PropertyStoreCollection second(s.app.iniPath());
    second.Initialize(0);
    PropertyStore *a = s.collection.Add(QStringLiteral("Shared.Section"));
    PropertyStore *b = second.Add(QStringLiteral("Shared.Section"));
    a->SetProperty(QStringLiteral("Value"), QStringLiteral("first"));
    EXPECT_EQ(b->GetProperty(QStringLiteral("Value")), QStringLiteral("first"));
    b->SetProperty(QStringLiteral("Value"), QStringLiteral("second"));
    EXPECT_EQ(a->GetProperty(QStringLiteral("Value")), QStringLiteral("second"));
}

TEST(PropertyStores, CollectionRefusesWhatItCannotKeep)
{
    AppFolder app;
    PropertyStoreCollection collection(app.iniPath());
    try {
        collection.Add(QStringLiteral("Early"));
        FAIL() << "Add before Initialize";
    } catch (const AutomationError &error) {
        EXPECT_EQ(error.sourceLines().constLast(), QStringLiteral("PropertyStoreCollection.Add"));
    }
    collection.Initialize(0);
    PropertyStore *first = collection.Add(QStringLiteral("One"));
    try {
        collection.Add(QStringLiteral("one"));
        FAIL() << "the same section twice";
    } catch (const AutomationError &error) {
        EXPECT_EQ(error.number(), 457);
        EXPECT_EQ(error.sourceLines().constLast(), QStringLiteral("PropertyStoreCollection.Add"));
    }
    PropertyStore *unnamed = collection.Add(QString());
    ASSERT_NE(unnamed, nullptr);
    EXPECT_EQ(collection.Count(), 1);
    EXPECT_EQ(collection.Item(1), first);
    EXPECT_EQ(collection.Item(QStringLiteral("ONE")), first);
    try {
        unnamed->SetProperty(QStringLiteral("x"), 1);
        FAIL() << "a store without storage";
    } catch (const AutomationError &error) {
        EXPECT_EQ(error.number(), 91);
        EXPECT_EQ(error.sourceLines().size(), 1); // passed through unchanged
    }
    EXPECT_THROW(first->SetProperty(QStringLiteral("   "), 1), AutomationError);
    EXPECT_THROW(collection.Item(2), AutomationError);

    collection.Initialize(0);
    EXPECT_EQ(collection.Count(), 0);
    first->SetProperty(QStringLiteral("still"), QStringLiteral("usable"));
    EXPECT_EQ(first->GetProperty(QStringLiteral("still")), QStringLiteral("usable"));
}

TEST(PropertyStores, StartUpChoicesWrittenThroughTheManagerRunPluginsNextTime)
{
    clearPluginTrace();
    AppFolder app;
    app.install(QStringLiteral("ThreeClasses"), QStringLiteral("Three"));
    {
        RunningHost first(app);
        first.manager()->PropertyStores()->SetProperty(QStringLiteral("WLTestThree.Probe"), true);
    }
    EXPECT_TRUE(app.iniLines().contains(QStringLiteral("WLTestThree.Probe=True")));
    EXPECT_FALSE(pluginTrace().contains(QStringLiteral("WLTestThree.Probe:Run")));
    RunningHost second(app);
    EXPECT_TRUE(pluginTrace().contains(QStringLiteral("WLTestThree.Probe:Run")));
}

TEST(PropertyStores, MembersAreReachedByName)
{
    Stores s;
    PropertyStore *store = s.collection.Add(QStringLiteral("KSChorescan.Chorescan"));
    ASSERT_TRUE(QMetaObject::invokeMethod(store, "SetProperty", Q_ARG(QString, QStringLiteral("FullResults")),
                                          Q_ARG(QVariant, QVariant(true))));
    QVariant read;
    ASSERT_TRUE(QMetaObject::invokeMethod(store, "GetProperty", Q_RETURN_ARG(QVariant, read),
                                          Q_ARG(QString, QStringLiteral("FullResults"))));
    EXPECT_EQ(read, QVariant(QStringLiteral("True")));
    EXPECT_TRUE(s.app.iniLines().contains(QStringLiteral("FullResults=True")));
}
