#include "KSStorageString.h"
#include "StorageStringTestSupport.h"
#include "TestEnvironment.h"
#include "VariantHelpers.h"

#include <gtest/gtest.h>

using namespace StorageStringTest;

namespace {

const QString tab = QStringLiteral("\t");

QString missingFilePath()
{
    return TestEnvironment::freshFolder() + QStringLiteral("/missing.txt");
}

} // namespace

TEST(StorageStringFields, RecordsAreReplacedInPlaceAndAppendedAtTheEnd)
{
    KSStorageString store;
    store.setValue(QStringLiteral("head "));
    EXPECT_TRUE(store.SetValue(QStringLiteral("A"), 1));
    store.InsertText(QStringLiteral(" middle "), qint32(store.Value().toString().size() + 1));
    EXPECT_TRUE(store.SetValue(QStringLiteral("B"), QStringLiteral("two words")));
    store.InsertText(QStringLiteral(" tail"), qint32(store.Value().toString().size() + 1));
    EXPECT_TRUE(store.SetValue(QStringLiteral("  A "), 3));
    EXPECT_EQ(store.Value().toString(), QStringLiteral("head <\\A={3};/> middle <\\B={two words};/> tail"));

    KSStorageString plain;
    plain.SetValue(QStringLiteral("A"), 1);
    plain.SetValue(QStringLiteral("B"), QStringLiteral("two words"));
    plain.SetValue(QStringLiteral("A"), 3);
    EXPECT_EQ(plain.Value().toString(), QStringLiteral("<\\A={3};/><\\B={two words};/>"));
    EXPECT_EQ(plain.GetFieldNames(), (QStringList {QStringLiteral("A"), QStringLiteral("B")}));
}

TEST(StorageStringFields, ValuesComeBackTyped)
{
    KSStorageString store;
    store.SetValue(QStringLiteral("F"), QVariant::fromValue(QList<qint32> {1, 2}), QStringLiteral(","));
    EXPECT_EQ(store.Value().toString(), QStringLiteral("<\\F={1,2};/>"));
    EXPECT_EQ(store.GetValue(QStringLiteral("F"), QStringLiteral(",")), QVariant::fromValue(QList<qint32> {1, 2}));
    EXPECT_EQ(store.GetValue(QStringLiteral("F")), QVariant(QStringLiteral("1,2")));

    store.SetValue(QStringLiteral("D"), QStringLiteral("3.0"));
    store.SetValue(QStringLiteral("N"), QStringLiteral("42"));
    EXPECT_EQ(store.GetValue(QStringLiteral("D")).metaType(), QMetaType::fromType<double>());
    EXPECT_EQ(store.GetValue(QStringLiteral("N")), QVariant(qint32(42)));
    EXPECT_EQ(store.GetValue(QStringLiteral("N"), tab, true, false), QVariant(QStringLiteral("42")));

    // Lookup is case-sensitive: another case reads the default (the missing marker when none is given).
    EXPECT_TRUE(Variants::isMissing(store.GetValue(QStringLiteral("n"))));
    EXPECT_EQ(store.GetValue(QStringLiteral("n"), tab, true, true, QStringLiteral("dflt")),
              QVariant(QStringLiteral("dflt")));
    // Through the interface a missing field reads as empty text.
    LedgerixStdInterface &common = store;
    EXPECT_EQ(common.GetValue(QStringLiteral("missing")), QVariant(QString()));
}

TEST(StorageStringFields, TagStringsAndEmptyNamesAreRefused)
{
    struct Row
    {
        const char *name;
        QString field;
        QString value;
        QString delimiter;
        qint32 error;
    };
    const QList<Row> rows = {
        {"empty name", QStringLiteral("   "), QStringLiteral("x"), tab, LedgerixErrors::ZeroLengthFieldName},
        {"tag in name", QStringLiteral("a<\\b"), QStringLiteral("x"), tab, LedgerixErrors::IllegalCharacters},
        {"end tag in value", QStringLiteral("a"), QStringLiteral("x};y"), tab, LedgerixErrors::IllegalCharacters},
        {"outer end in value", QStringLiteral("a"), QStringLiteral("x/>"), tab, LedgerixErrors::IllegalCharacters},
        {"tag as delimiter", QStringLiteral("a"), QStringLiteral("x"), QStringLiteral("={"),
         LedgerixErrors::IllegalCharacters},
    };
    ASSERT_EQ(rows.size(), 5);
    for (const Row &row : rows) {
        KSStorageString store;
        const auto error = failureOf([&] { store.SetValue(row.field, row.value, row.delimiter); });
        ASSERT_TRUE(error.has_value()) << row.name;
        EXPECT_EQ(error->number(), row.error) << row.name;
        EXPECT_TRUE(error->source().endsWith(QStringLiteral("\r\nKSStorageString.SetValue"))) << row.name;
        EXPECT_EQ(store.Value().toString(), QString()) << row.name;
    }

    // The default tags are refused even after the object switched to others.
    KSStorageString custom;
    custom.setInnerTagEnd(QStringLiteral("]]"));
    EXPECT_EQ(errorNumberOf([&] { custom.SetValue(QStringLiteral("a"), QStringLiteral("x};")); }),
              LedgerixErrors::IllegalCharacters);
    custom.SetValue(QStringLiteral("a"), QStringLiteral("x"));
    EXPECT_EQ(custom.Value().toString(), QStringLiteral("<\\a={x]]/>"));
}

TEST(StorageStringFields, DeleteRemovesOneRecordAnywhere)
{
    KSStorageString store;
    store.SetValue(QStringLiteral("A"), 1);
    store.SetValue(QStringLiteral("B"), 2);
    store.SetValue(QStringLiteral("C"), 3);
    store.DeleteField(QStringLiteral("A"));
    EXPECT_EQ(store.Value().toString(), QStringLiteral("<\\B={2};/><\\C={3};/>"));
    store.DeleteField(QStringLiteral("C"));
    EXPECT_EQ(store.Value().toString(), QStringLiteral("<\\B={2};/>"));
    const auto error = failureOf([&] { store.DeleteField(QStringLiteral("A")); });
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->number(), LedgerixErrors::FieldNotFound);
    EXPECT_EQ(error->description(), QStringLiteral("Field Not Found"));
    EXPECT_TRUE(error->source().endsWith(QStringLiteral("\r\nKSStorageString.DeleteValue")));
}

TEST(StorageStringFields, BrokenRecordsNeitherCrashNorHang)
{
    struct Row
    {
        QString page;
        QStringList names;
        QVariant valueOfA;
    };
    const QList<Row> rows = {
        {QStringLiteral("<\\A={1"), {QStringLiteral("A")}, qint32(1)},
        {QStringLiteral("<\\A"), {}, Variants::missing()},
        {QStringLiteral("<\\A={1};<\\B={2};/>"), {QStringLiteral("A")}, QStringLiteral("1};<\\B={2")},
        {QStringLiteral("x<\\<\\A={1};/>"), {QStringLiteral("<\\A")}, qint32(1)},
    };
    ASSERT_EQ(rows.size(), 4);
    for (const Row &row : rows) {
        KSStorageString store;
        store.setValue(row.page);
        EXPECT_EQ(store.GetFieldNames(), row.names) << qPrintable(row.page);
        EXPECT_EQ(store.GetValue(QStringLiteral("A")), row.valueOfA) << qPrintable(row.page);
    }

    // A record without end tags is closed by the next write.
    KSStorageString open;
    open.setValue(QStringLiteral("<\\A={1"));
    open.SetValue(QStringLiteral("A"), 2);
    EXPECT_EQ(open.Value().toString(), QStringLiteral("<\\A={2};/>"));

    // Empty tags would match everywhere; the name scan still ends.
    KSStorageString empty;
    empty.setValue(QStringLiteral("abc"));
    empty.setOuterTagStart(QString());
    empty.setOuterTagEnd(QString());
    empty.setInnerTagStart(QString());
    empty.setInnerTagEnd(QString());
    EXPECT_LE(empty.GetFieldNames().size(), 4);
}

TEST(StorageStringPages, SelectionNumberingAndNames)
{
    KSStorageString store;
    store.setPageName(QStringLiteral("One"));
    store.AddPage(QStringLiteral("Two"));
    store.AddPage(QStringLiteral("Three"), false);
    EXPECT_EQ(store.PageCount(), 3);
    EXPECT_EQ(store.Page(), QVariant(2));
    EXPECT_EQ(store.GetPageNames(), (QStringList {"One", "Two", "Three"}));

    store.setPage(QStringLiteral("3"));
    EXPECT_EQ(store.PageName(), QStringLiteral("Three"));
    store.setPage(QStringLiteral("two"));
    EXPECT_EQ(store.Page(), QVariant(2));
    store.setPage(1);
    EXPECT_EQ(store.PageName(), QStringLiteral("One"));

    EXPECT_EQ(errorNumberOf([&] { store.setPage(4); }), LedgerixErrors::PageNotFound);
    EXPECT_EQ(errorNumberOf([&] { store.setPage(QStringLiteral("Four")); }), LedgerixErrors::PageNotFound);
    EXPECT_EQ(errorNumberOf([&] { store.setPage(2.0); }), LedgerixErrors::PageNotFound);
    EXPECT_EQ(store.Page(), QVariant(1));

    // Names are unique, case-sensitively, the current page's own name included.
    EXPECT_EQ(errorNumberOf([&] { store.setPageName(QStringLiteral("One")); }), LedgerixErrors::PageNameAlreadyExists);
    EXPECT_EQ(errorNumberOf([&] { store.AddPage(QStringLiteral("Two")); }), LedgerixErrors::PageNameAlreadyExists);
    EXPECT_EQ(store.PageCount(), 3);
    store.setPageName(QStringLiteral("one"));
    EXPECT_EQ(store.PageName(), QStringLiteral("one"));

    // Through the interface a section is an exact page name, or a new page.
    LedgerixStdInterface &common = store;
    common.setSection(QStringLiteral("Three"));
    EXPECT_EQ(store.Page(), QVariant(3));
    common.setSection(QStringLiteral("THREE"));
    EXPECT_EQ(store.PageCount(), 4);
    EXPECT_EQ(common.Section(), QStringLiteral("THREE"));
}

TEST(StorageStringPages, DeletingKeepsNumberingDense)
{
    KSStorageString store;
    store.setValue(QStringLiteral("first"));
    store.DeletePage();
    EXPECT_EQ(store.PageCount(), 1);
    EXPECT_EQ(store.Value().toString(), QStringLiteral("first"));

    store.AddPage(QStringLiteral("p2"));
    store.setValue(QStringLiteral("second"));
    store.AddPage(QStringLiteral("p3"));
    store.setValue(QStringLiteral("third"));
    store.setPage(2);
    store.DeletePage();
    EXPECT_EQ(store.PageCount(), 2);
    EXPECT_EQ(store.Page(), QVariant(2));
    EXPECT_EQ(store.PageName(), QStringLiteral("p3"));
    EXPECT_EQ(store.Value().toString(), QStringLiteral("third"));

    store.DeletePage();
    EXPECT_EQ(store.Page(), QVariant(1));
    EXPECT_EQ(store.Value().toString(), QStringLiteral("first"));

    store.AddPage(QStringLiteral("x"));
    store.DeletePage(true);
    EXPECT_EQ(store.PageCount(), 1);
    EXPECT_EQ(store.PageName(), QString());
    EXPECT_EQ(store.Value().toString(), QString());
}

TEST(StorageStringPages, SinglePageModeRefusesPageCalls)
{
    KSStorageString store;
    store.setMultiPage(false);
    const QList<std::function<void()>> calls = {
        [&] { store.setPage(1); },
        [&] { store.AddPage(); },
        [&] { store.DeletePage(); },
        [&] { store.setValue(QVariant::fromValue(static_cast<QObject *>(new KSStorageString(&store)))); },
    };
    ASSERT_EQ(calls.size(), 4);
    for (const auto &call : calls)
        EXPECT_EQ(errorNumberOf(call), LedgerixErrors::IllegalCallInSinglePageMode);
    EXPECT_EQ(store.PageCount(), 1);

    ErrorsOff off;
    store.AddPage(QStringLiteral("anyway"));
    EXPECT_EQ(store.PageCount(), 2);
}

TEST(StorageStringPages, ClearEmptiesTextAndNames)
{
    KSStorageString store;
    store.setPageName(QStringLiteral("a"));
    store.setValue(QStringLiteral("1"));
    store.AddPage(QStringLiteral("b"));
    store.setValue(QStringLiteral("2"));
    store.ExtractText(1, 1);
    store.Clear();
    EXPECT_EQ(store.PageName(), QString());
    EXPECT_EQ(store.Value().toString(), QString());
    store.setPage(1);
    EXPECT_EQ(store.Value().toString(), QStringLiteral("1"));
    store.Clear(true);
    EXPECT_EQ(store.GetPageNames(), (QStringList {QString(), QString()}));
    EXPECT_EQ(store.Value().toString(), QString());
}

TEST(StorageStringToggle, CyclesThroughTheValues)
{
    struct Row
    {
        QString stored;
        QVariant cycle;
        bool caseSensitive;
        QString expected;
    };
    const QList<Row> rows = {
        {QStringLiteral("C"), QString(), true, QStringLiteral("D")},
        {QStringLiteral("Z"), QString(), true, QStringLiteral("A")},
        {QStringLiteral("c"), QString(), false, QStringLiteral("D")},
        {QStringLiteral("c"), QString(), true, QString()},
        {QStringLiteral("On"), QStringLiteral("Off\tOn"), true, QStringLiteral("Off")},
        {QStringLiteral("b"), QVariant(QStringList {"a", "b", "c"}), true, QStringLiteral("c")},
        {QStringLiteral("?"), QString(), true, QString()},
    };
    ASSERT_EQ(rows.size(), 7);
    for (const Row &row : rows) {
        KSStorageString store;
        store.SetValue(QStringLiteral("F"), row.stored);
        EXPECT_EQ(store.Toggle(QStringLiteral("F"), row.cycle, tab, row.caseSensitive), row.expected)
            << qPrintable(row.stored);
        const QString after = row.expected.isEmpty() ? row.stored : row.expected;
        EXPECT_EQ(store.GetValue(QStringLiteral("F"), tab, false, false), QVariant(after)) << qPrintable(row.stored);
    }

    // Without a field name the whole page is the value.
    KSStorageString page;
    page.setValue(QStringLiteral("Y"));
    EXPECT_EQ(page.Toggle(), QStringLiteral("Z"));
    EXPECT_EQ(page.Value().toString(), QStringLiteral("Z"));
    KSStorageString missing;
    EXPECT_EQ(missing.Toggle(QStringLiteral("none")), QString());
    EXPECT_EQ(missing.Value().toString(), QString());
}

TEST(StorageStringFields, GetAndConcatenateJoinsValues)
{
    KSStorageString store;
    store.SetValue(QStringLiteral("A"), 1);
    store.SetValue(QStringLiteral("B"), QStringLiteral("x"));
    store.SetValue(QStringLiteral("C"), QStringLiteral("3.50"));
    EXPECT_EQ(store.GetAndConcatenate(QStringList {"A", "B"}, QStringLiteral(",")), QStringLiteral("1,x"));
    EXPECT_EQ(store.GetAndConcatenate(QStringLiteral("B")), QStringLiteral("x"));
    EXPECT_EQ(store.GetAndConcatenate(QStringList {"C", "missing", "A"}, QStringLiteral("|")),
              QStringLiteral("3.5||1"));
    EXPECT_EQ(store.GetAndConcatenate(42), QString());
}

TEST(StorageStringFields, SetValueOnManyRecordsStaysCorrect)
{
    KSStorageString store;
    const int count = 40000; // beyond any 16-bit counter
    for (int i = 0; i < count; ++i)
        store.SetValue(QStringLiteral("F%1").arg(i), i);
    const QStringList names = store.GetFieldNames();
    ASSERT_EQ(names.size(), count);
    EXPECT_EQ(names.last(), QStringLiteral("F%1").arg(count - 1));
    store.SetValue(QStringLiteral("F1"), QStringLiteral("changed"));
    EXPECT_EQ(store.GetValue(QStringLiteral("F1")), QVariant(QStringLiteral("changed")));
    EXPECT_EQ(store.GetValue(QStringLiteral("F10")), QVariant(qint32(10)));
    EXPECT_EQ(store.GetFieldNames().size(), count);
}

TEST(StorageStringErrors, SourcesListTheChainOfMembers)
{
    // Toggle stores through SetValue, which refuses the tag in the next value.
    KSStorageString store;
    store.SetValue(QStringLiteral("F"), QStringLiteral("a"));
    const auto nested = failureOf([&] { store.Toggle(QStringLiteral("F"), QStringLiteral("a\t<\\")); });
    ASSERT_TRUE(nested.has_value());
    EXPECT_EQ(nested->number(), LedgerixErrors::IllegalCharacters);
    EXPECT_EQ(nested->description(), QStringLiteral("Illegal Character(s) Passed"));
    EXPECT_EQ(nested->sourceLines(), (QStringList {"Ledgerix2", "KSStorageString.SetValue", "KSStorageString.Toggle"}));

    LedgerixStdInterface &common = store;
    const auto throughInterface = failureOf([&] { common.SetValue(QStringLiteral(" "), 1); });
    ASSERT_TRUE(throughInterface.has_value());
    EXPECT_EQ(throughInterface->number(), LedgerixErrors::ZeroLengthFieldName);
    EXPECT_EQ(throughInterface->sourceLines().mid(1),
              (QStringList {"KSStorageString.SetValue", "KSStorageString.LedgerixStdInterface_SetValue"}));

    store.setMultiPage(false);
    const auto section = failureOf([&] { common.setSection(QStringLiteral("new")); });
    ASSERT_TRUE(section.has_value());
    EXPECT_EQ(section->number(), LedgerixErrors::IllegalCallInSinglePageMode);
    EXPECT_EQ(section->sourceLines().mid(1),
              (QStringList {"KSStorageString.Add", "KSStorageString.LedgerixStdInterface_Section (Let)"}));

    // Values without text cannot become the page.
    KSStorageString page;
    page.setValue(QStringLiteral("kept"));
    EXPECT_EQ(errorNumberOf([&] { page.setValue(QVariant(QStringList {"a", "b"})); }), 13);
    EXPECT_EQ(errorNumberOf([&] { page.setValue(QVariant::fromValue(QList<qint32> {})); }), 13);
    EXPECT_EQ(page.Value().toString(), QStringLiteral("kept"));
    page.setValue(2.5);
    EXPECT_EQ(page.Value().toString(), QStringLiteral("2.5"));
}

TEST(StorageStringErrors, WithErrorsOffOperationsCarryOnSafely)
{
    KSStorageString store;
    store.setPageName(QStringLiteral("One"));
    store.setValue(QStringLiteral("ab\r\ncd"));
    store.setCursor(3);
    ErrorsOff off;

    store.setPage(99);
    EXPECT_EQ(store.Page(), QVariant(1));
    EXPECT_EQ(store.Cursor(), 1);
    store.AddPage(QStringLiteral("One"));
    EXPECT_EQ(store.PageCount(), 2);
    EXPECT_EQ(store.PageName(), QString());
    store.setPageName(QStringLiteral("One"));
    EXPECT_EQ(store.PageName(), QString());
    store.setPage(1);

    store.DeleteField(QStringLiteral("none"));
    store.setCursor(4);
    store.setLineNumber(0);
    store.setLineNumber(5);
    EXPECT_EQ(store.Cursor(), 4);
    EXPECT_EQ(store.ExtractText(4, 2), QString());
    store.setEncrypted(true);
    store.Load(missingFilePath());
    EXPECT_EQ(store.Value().toString(), QStringLiteral("ab\r\ncd"));

    // With the switch off the name checks pass and the record is written anyway.
    EXPECT_TRUE(store.SetValue(QStringLiteral(" "), QStringLiteral("v")));
    EXPECT_TRUE(store.Value().toString().endsWith(QStringLiteral("<\\={v};/>")));

    store.setProtect(true);
    store.setBindMode(ledgerix_BindModeTag);
    EXPECT_EQ(store.BindMode(), qint32(ledgerix_BindModeTag));
    store.setProtect(false);
    EXPECT_FALSE(store.Protect());
}
