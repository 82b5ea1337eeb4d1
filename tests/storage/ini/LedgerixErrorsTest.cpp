#include "LedgerixErrors.h"
#include "LedgerixLibrary.h"
#include "LedgerixStdInterface.h"
#include "LedgerixVersion.h"
#include "MessageBox.h"

#include "AutomationError.h"

#include <gtest/gtest.h>

namespace {

/// Turns the library's errors back on whatever a test does.
struct ErrorsOnAfterwards
{
    ~ErrorsOnAfterwards() { LedgerixErrors::SetRaiseErrors(true); }
};

std::optional<AutomationError> raised(qint32 number, qint32 fallback = 13)
{
    try {
        LedgerixErrors::RaiseLibraryError(number, {}, fallback);
    } catch (const AutomationError &error) {
        return error;
    }
    return std::nullopt;
}

} // namespace

TEST(LedgerixErrors, tableNumbersMessagesAndFallbacks)
{
    struct Row
    {
        qint32 number;
        qint32 hex;
        const char *message;
    };
    const QList<Row> rows = {
        {LedgerixErrors::DirectStringAccessProhibited, qint32(0x80042711u), "Direct String Access Is Prohibited"},
        {LedgerixErrors::BadDb, qint32(0x80042714u), "BADDB"},
        {LedgerixErrors::InvalidParameters, qint32(0x8004271Cu), "Invalid Parameters"},
        {LedgerixErrors::IncompatibleVersion, qint32(0x80042720u), "The Object Passed Is An Incompatible Version"},
        {LedgerixErrors::ZeroLengthFieldName, qint32(0x80042726u), "Zero Length Feild Names Are Not Allowed"},
        {LedgerixErrors::IllegalCharacters, qint32(0x80042727u), "Illegal Character(s) Passed"},
        {LedgerixErrors::KeyHasSubkeys, qint32(0x80042728u), "Can't delete key because it's contains subkeys"},
        {LedgerixErrors::ObjectInvalidated, qint32(0x8004272Au), "Object has been invalidated"},
    };
    ASSERT_EQ(rows.size(), 8);
    for (const Row &row : rows) {
        EXPECT_EQ(row.number, row.hex);
        const std::optional<AutomationError> error = raised(row.number);
        ASSERT_TRUE(error.has_value()) << row.message;
        EXPECT_EQ(error->number(), row.hex);
        EXPECT_EQ(error->description(), QString::fromUtf8(row.message));
        EXPECT_EQ(error->source(), QStringLiteral("Ledgerix2"));
    }
    EXPECT_EQ(LedgerixErrors::DirectStringAccessProhibited, -2147221504 + 10001);

    // Numbers outside the table raise the fallback run-time error.
    const std::optional<AutomationError> mismatch = raised(0);
    ASSERT_TRUE(mismatch.has_value());
    EXPECT_EQ(mismatch->number(), 13);
    EXPECT_EQ(mismatch->description(), QStringLiteral("Type mismatch"));
    const std::optional<AutomationError> notFound = raised(0, 53);
    ASSERT_TRUE(notFound.has_value());
    EXPECT_EQ(notFound->number(), 53);
}

TEST(LedgerixErrors, theSwitchSilencesLibraryErrorsForTheWholeProcess)
{
    ErrorsOnAfterwards restore;
    LedgerixLibrary library;
    library.setLedgerixRaiseErrors(false);
    EXPECT_FALSE(LedgerixErrors::raiseErrors());
    EXPECT_FALSE(raised(LedgerixErrors::BadKey).has_value());
    EXPECT_FALSE(raised(0).has_value());
    LedgerixLibrary other;
    other.setLedgerixRaiseErrors(true);
    EXPECT_TRUE(raised(LedgerixErrors::BadKey).has_value());
}

TEST(LedgerixVersion, reportShowsModuleAndClassThroughTheMessageBox)
{
    QList<MessageBox::Request> shown;
    const auto previous = MessageBox::setPresenter([&](const MessageBox::Request &request) {
        shown.append(request);
        return int(MessageBox::IdOk);
    });
    LedgerixStdInterface plain;
    EXPECT_EQ(plain.Version(false), QVariant(QStringLiteral("2.0")));
    EXPECT_TRUE(shown.isEmpty());
    EXPECT_EQ(plain.Version(true), QVariant(QStringLiteral("2.0")));
    MessageBox::setPresenter(previous);

    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].caption, QStringLiteral("Ledgerix2 - Version Information"));
    EXPECT_EQ(shown[0].text, QStringLiteral("Ledgerix2 - 2.0.4\rModule: LedgerixStdInterface - 2.0"));
    EXPECT_EQ(MessageBox::iconOf(shown[0].style), int(MessageBox::IconInformation));
    EXPECT_EQ(MessageBox::buttonsOf(shown[0].style), int(MessageBox::Ok));

    // The interface class itself keeps nothing.
    plain.setPath(QStringLiteral("x"));
    plain.setSection(QStringLiteral("y"));
    EXPECT_TRUE(plain.Path().isEmpty());
    EXPECT_TRUE(plain.Section().isEmpty());
    EXPECT_FALSE(plain.SetValue(QStringLiteral("f"), 1));
    EXPECT_FALSE(plain.GetValue(QStringLiteral("f")).isValid());
}
