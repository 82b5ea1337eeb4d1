#include "Guard.h"
#include "NumericText.h"
#include "RuntimeErrors.h"
#include "VariantHelpers.h"

#include <QObject>

#include <gtest/gtest.h>

namespace {

void innermost()
{
    passOn(QStringLiteral("KSINIFileHandler.PrepForGet"),
           [] { RuntimeErrors::raise(RuntimeErrors::TypeMismatch, QStringLiteral("Ledgerix2")); });
}

void middle()
{
    passOn(QStringLiteral("KSINIFileHandler.GetValue"), [] { innermost(); });
}

void outermost()
{
    passOn(QStringLiteral("KSINIFileHandler.LedgerixStdInterface_GetValue"), [] { middle(); });
}

} // namespace

TEST(Guard, failureCollectsOneLinePerProcedureInnermostFirst)
{
    try {
        outermost();
        FAIL() << "no error arrived";
    } catch (const AutomationError &error) {
        EXPECT_EQ(error.number(), 13);
        EXPECT_EQ(error.description(), QStringLiteral("Type mismatch"));
        const QStringList lines = error.sourceLines();
        ASSERT_EQ(lines.size(), 4);
        EXPECT_EQ(lines[0], QStringLiteral("Ledgerix2"));
        EXPECT_EQ(lines[1], QStringLiteral("KSINIFileHandler.PrepForGet"));
        EXPECT_EQ(lines[3], QStringLiteral("KSINIFileHandler.LedgerixStdInterface_GetValue"));
        EXPECT_TRUE(error.source().contains(QStringLiteral("\r\n")));
    }
}

TEST(Guard, reportFailureHandsTheErrorToTheHookAndNothingEscapes)
{
    AutomationError seen;
    QString seenSource;
    auto previous = Guard::setReportHook([&](const AutomationError &e, const QString &s) {
        seen = e;
        seenSource = s;
        throw std::runtime_error("a hook that fails must not take the program down");
    });
    const bool ok = reportFailure(QStringLiteral("WrenlogMainForm.mnuOnTop_Click"), [] {
        passOn(QStringLiteral("WrenlogMainForm.ToggleOnTop"),
               [] { throw AutomationError(91, RuntimeErrors::description(91), QStringLiteral("Wrenlog")); });
    });
    Guard::setReportHook(previous);
    EXPECT_FALSE(ok);
    EXPECT_EQ(seen.number(), 91);
    EXPECT_EQ(seen.source(), QStringLiteral("Wrenlog\r\nWrenlogMainForm.ToggleOnTop"));
    EXPECT_EQ(seenSource, QStringLiteral("WrenlogMainForm.mnuOnTop_Click"));

    EXPECT_TRUE(reportFailure(QStringLiteral("x"), [] {}));
}

TEST(Guard, foreignExceptionsBecomeRuntimeErrors)
{
    Guard::setDefaultSource(QStringLiteral("Wrenlog"));
    auto error = captureFailure([] { passOn(QStringLiteral("A.B"), [] { throw std::bad_alloc(); }); });
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->number(), 7);
    EXPECT_EQ(error->source(), QStringLiteral("Wrenlog\r\nA.B"));
    Guard::setDefaultSource({});
}

TEST(RuntimeErrors, standardNumbersKeepTheirTexts)
{
    EXPECT_EQ(RuntimeErrors::description(53), QStringLiteral("File not found"));
    EXPECT_EQ(RuntimeErrors::description(75), QStringLiteral("Path/File access error"));
    EXPECT_EQ(RuntimeErrors::description(438), QStringLiteral("Object doesn't support this property or method"));
    EXPECT_EQ(RuntimeErrors::description(457),
              QStringLiteral("This key is already associated with an element of this collection"));
}

TEST(NumericText, acceptsPlainDecimalNumbersOnly)
{
    const QStringList numeric = {QStringLiteral("3"), QStringLiteral(" -3.5 "), QStringLiteral("+.5"),
                                 QStringLiteral("5."), QStringLiteral("1e10"), QStringLiteral("2.5E-3")};
    const QStringList other = {QString(), QStringLiteral(" "), QStringLiteral("12abc"), QStringLiteral("3.0.1"),
                               QStringLiteral("."), QStringLiteral("1e"), QStringLiteral("--1"),
                               QStringLiteral("0x1F"), QStringLiteral("1,000"), QStringLiteral("\u0663")};
    ASSERT_EQ(numeric.size(), 6);
    for (const QString &text : numeric)
        EXPECT_TRUE(NumericText::isNumeric(text)) << text.toStdString();
    ASSERT_EQ(other.size(), 10);
    for (const QString &text : other)
        EXPECT_FALSE(NumericText::isNumeric(text)) << text.toStdString();
}

TEST(Variants, arraysAndTheMissingMarker)
{
    EXPECT_TRUE(Variants::isArray(QVariant::fromValue(QList<qint32>{1, 2})));
    EXPECT_TRUE(Variants::isArray(QStringList{QStringLiteral("a")}));
    EXPECT_FALSE(Variants::isArray(QStringLiteral("a")));
    EXPECT_EQ(Variants::arrayLength(QVariant::fromValue(QList<bool>(40000, true))), 40000);
    EXPECT_TRUE(Variants::isMissing(Variants::missing()));
    EXPECT_FALSE(Variants::isMissing(QVariant()));
    EXPECT_TRUE(Variants::isEmpty(QVariant()));
}

TEST(Variants, elementConversions)
{
    struct Row
    {
        QVariant value;
        std::optional<QString> text;
        std::optional<qint32> whole;
    };
    QObject object;
    const QList<Row> rows = {
        {QVariant(), QString(), 0},
        {true, QStringLiteral("True"), -1},
        {false, QStringLiteral("False"), 0},
        {1.5, QStringLiteral("1.5"), 2},
        {2.5, QStringLiteral("2.5"), 2},
        {3.0, QStringLiteral("3"), 3},
        {1e20, QStringLiteral("1E+20"), std::nullopt},
        {QVariant::fromValue(qint16(-7)), QStringLiteral("-7"), -7},
        {QStringLiteral(" 12 "), QStringLiteral(" 12 "), 12},
        {QStringLiteral("2147483648"), QStringLiteral("2147483648"), std::nullopt},
        {QStringLiteral("abc"), QStringLiteral("abc"), std::nullopt},
        {QVariant::fromValue(&object), std::nullopt, std::nullopt},
        {QStringList{QStringLiteral("a")}, std::nullopt, std::nullopt},
        {Variants::missing(), std::nullopt, std::nullopt},
    };
    ASSERT_EQ(rows.size(), 14);
    for (const Row &row : rows) {
        EXPECT_EQ(Variants::toText(row.value), row.text) << row.value.typeName();
        EXPECT_EQ(Variants::toInt32(row.value), row.whole) << row.value.typeName();
    }
    EXPECT_EQ(Variants::toStringList(QVariant::fromValue(QList<bool>{true, false})),
              QStringList({QStringLiteral("True"), QStringLiteral("False")}));
    EXPECT_EQ(Variants::toStringList(QVariantList{1, QStringLiteral("x")}), QStringList({QStringLiteral("1"), QStringLiteral("x")}));
    EXPECT_FALSE(Variants::toStringList(QVariantList{QVariant::fromValue(&object)}).has_value());
    EXPECT_FALSE(Variants::toStringList(QStringLiteral("not an array")).has_value());
}
