#include "ValueTyping.h"

#include "AutomationError.h"

#include <QObject>

#include <gtest/gtest.h>

using namespace ValueTyping;

namespace {

struct GetCase
{
    const char *stored;
    const char *delimiter;
    bool detectArray;
    bool detectNum;
    QVariant expected;
};

} // namespace

TEST(ValueTyping, storedTextComesBackTyped)
{
    const QList<GetCase> cases = {
        {"1,2,3", ",", true, true, QVariant::fromValue(QList<qint32> {1, 2, 3})},
        {"1.5,2", ",", true, true, QVariant::fromValue(QList<double> {1.5, 2.0})},
        {"1,a", ",", true, true, QStringList {"1", "a"}},
        {"1,2,3", ",", true, false, QStringList {"1", "2", "3"}},
        {"1,,2", ",", true, true, QStringList {"1", "", "2"}},
        {"a\tb", "\t", true, true, QStringList {"a", "b"}},
        {"1,2", ",", false, true, QStringLiteral("1,2")},
        {"1,2", "", true, true, QStringLiteral("1,2")},
        {"1,9999999999", ",", true, true, QVariant::fromValue(QList<double> {1.0, 9999999999.0})},
        {"3.0", "\t", true, true, 3.0},
        {"3", "\t", true, true, QVariant::fromValue(qint32(3))},
        {" -7 ", "\t", true, true, QVariant::fromValue(qint32(-7))},
        {"25e-1", "\t", true, true, QVariant::fromValue(qint32(2))},
        {"1e10", "\t", true, true, 1e10},
        {"3.0.1", "\t", true, true, QStringLiteral("3.0.1")},
        {"12abc", "\t", true, true, QStringLiteral("12abc")},
        {"42", "\t", true, false, QStringLiteral("42")},
        {"", "\t", true, true, QString()},
    };
    ASSERT_EQ(cases.size(), 18);
    for (const GetCase &c : cases) {
        const QVariant got
            = PrepForGet(QString::fromUtf8(c.stored), QString::fromUtf8(c.delimiter), c.detectArray, c.detectNum);
        EXPECT_EQ(got.metaType(), c.expected.metaType()) << c.stored;
        EXPECT_EQ(got, c.expected) << c.stored;
    }
    EXPECT_EQ(PrepForGet(QVariant::fromValue(qint32(5)), QStringLiteral("\t"), true, true),
              QVariant::fromValue(qint32(5)));
    EXPECT_FALSE(PrepForGet(2.5, QStringLiteral("\t"), true, true).isValid());
}

TEST(ValueTyping, arraysOfAnyLengthJoinAsText)
{
    EXPECT_EQ(PrepForSet(QVariant::fromValue(QList<qint32> {1, -2}), QStringLiteral(",")),
              QVariant(QStringLiteral("1,-2")));
    EXPECT_EQ(PrepForSet(QVariant::fromValue(QList<bool> {true, false}), QStringLiteral("|")),
              QVariant(QStringLiteral("True|False")));
    EXPECT_EQ(PrepForSet(QVariant::fromValue(QList<double> {1.5, 3.0}), QStringLiteral(";")),
              QVariant(QStringLiteral("1.5;3")));
    EXPECT_EQ(PrepForSet(QVariantList {QStringLiteral("a"), 7, QVariant()}, QStringLiteral("\t")),
              QVariant(QStringLiteral("a\t7\t")));
    EXPECT_EQ(PrepForSet(42, QStringLiteral(",")), QVariant(42));

    const QStringList many = VarToStrArray(QVariant::fromValue(QList<qint16>(40000, qint16(7))));
    ASSERT_EQ(many.size(), 40000);
    EXPECT_EQ(many.last(), QStringLiteral("7"));

    QObject object;
    try {
        VarToStrArray(QVariantList {QVariant::fromValue(&object)});
        FAIL() << "an object element has no text";
    } catch (const AutomationError &error) {
        EXPECT_EQ(error.number(), 13);
        EXPECT_EQ(error.source(), QStringLiteral("Ledgerix2\r\nVarToStrArray"));
    }
}

TEST(ValueTyping, numberTestsAndBounds)
{
    EXPECT_TRUE(IsDouble(QStringLiteral("3.0")));
    EXPECT_TRUE(IsDouble(QStringLiteral(" -.5 ")));
    EXPECT_FALSE(IsDouble(QStringLiteral("3")));
    EXPECT_FALSE(IsDouble(QStringLiteral("3.0.1")));
    EXPECT_FALSE(IsDouble(QStringLiteral("abc")));
    EXPECT_TRUE(IsDouble(2.5));
    EXPECT_FALSE(IsDouble(2.0)); // its text is "2"

    EXPECT_TRUE(AllNumeric({}));
    EXPECT_TRUE(AllNumeric({QStringLiteral("1"), QStringLiteral("2.5")}));
    EXPECT_FALSE(AllNumeric({QStringLiteral("1"), QString()}));

    EXPECT_EQ(SafeUpperBound(QStringList {QStringLiteral("a"), QStringLiteral("b")}), 1);
    EXPECT_FALSE(SafeUpperBound(QStringList {}).has_value());
    EXPECT_FALSE(SafeUpperBound(QStringLiteral("not an array")).has_value());
    EXPECT_FALSE(SafeUpperBound(QStringList {QStringLiteral("a")}, 2).has_value());
}
