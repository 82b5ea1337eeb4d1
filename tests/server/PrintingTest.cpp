#include "AutomationError.h"
#include "MainFormTestSupport.h"
#include "NotificationCode.h"
#include "RichTextView.h"
#include "WrenlogMainForm.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

struct ColourCase
{
    const char *name;
    std::optional<qint32> colour; // nullopt: left out
    qint32 expected;
};

} // namespace

TEST(Printing, ColourCodesResolveToTheirColours)
{
    const ColourCase cases[] = {
        {"left out", std::nullopt, 0},
        {"wlogTitle", wlogTitle, 0xFF0000},
        {"wlogNormal", wlogNormal, 0},
        {"wlogNote", wlogNote, 0x008000},
        {"wlogFail", wlogFail, 0x0000FF},
        {"-5", -5, 0},
        {"-100", -100, 0},
        {"0", 0, 0},
        {"65280 is pure green, not the note style", 65280, 65280},
        {"255", 255, 255},
    };
    for (const ColourCase &c : cases) {
        WrenlogMainForm window;
        window.Load();
        if (c.colour)
            window.DebugPrint(QStringLiteral("abc"), *c.colour);
        else
            window.DebugPrint(QStringLiteral("abc"));
        RichTextView *view = window.rtbDetails();
        EXPECT_EQ(view->Text(), QStringLiteral("abc\r\n")) << c.name;
        EXPECT_EQ(view->SelStart(), 5) << c.name;
        EXPECT_EQ(view->SelLength(), 0) << c.name;
        EXPECT_EQ(colourAt(window, 0), c.expected) << c.name;
        EXPECT_EQ(colourAt(window, 2), c.expected) << c.name;
    }
}

TEST(Printing, PiecesWithoutLineBreakBuildOneLine)
{
    WrenlogMainForm window;
    window.Load();
    window.DebugPrint(QStringLiteral("x"), 255, false);
    EXPECT_EQ(window.rtbDetails()->SelStart(), 1);
    window.DebugPrint(QStringLiteral("y"), wlogTitle);
    EXPECT_EQ(window.rtbDetails()->Text(), QStringLiteral("xy\r\n"));
    EXPECT_EQ(colourAt(window, 0), 255);
    EXPECT_EQ(colourAt(window, 1), 0xFF0000);
}

TEST(Printing, EmptyTexts)
{
    WrenlogMainForm window;
    window.Load();
    window.DebugPrint(QString());
    EXPECT_EQ(window.rtbDetails()->Text(), QStringLiteral("\r\n"));
    window.DebugPrint(QString(), wlogFail, false);
    EXPECT_EQ(window.rtbDetails()->Text(), QStringLiteral("\r\n"));
    EXPECT_EQ(window.rtbDetails()->SelStart(), 2);
}

TEST(Printing, AppendsAtTheEndWhateverTheUserSelected)
{
    WrenlogMainForm window;
    window.Load();
    for (const char *line : {"first", "second", "third"})
        window.DebugPrint(QString::fromLatin1(line));
    RichTextView *view = window.rtbDetails();
    view->setSelStart(9);
    view->setSelLength(4);
    window.DebugPrint(QStringLiteral("z"), wlogNote);
    EXPECT_EQ(view->Text(), QStringLiteral("first\r\nsecond\r\nthird\r\nz\r\n"));
    EXPECT_EQ(view->SelStart(), view->TextLength());
    EXPECT_EQ(view->SelLength(), 0);
    EXPECT_EQ(colourAt(window, 22), 0x008000);
    EXPECT_EQ(colourAt(window, 8), 0);
}

TEST(Printing, ListenersHearThePieceAsPassedAndMayCancelIt)
{
    RecordingSink sink;
    auto window = windowHeardBy(sink);
    window->DebugPrint(QStringLiteral("kept"), wlogFail, false);
    sink.cancelCodes = {NotificationCode::DebugPrint};
    window->DebugPrint(QStringLiteral("dropped"), -7);

    EXPECT_EQ(window->rtbDetails()->Text(), QStringLiteral("kept"));
    const auto prints = sink.heardWithCode(NotificationCode::DebugPrint);
    ASSERT_EQ(prints.size(), 2);
    EXPECT_EQ(prints[0].values.toList(), (QVariantList {QStringLiteral("kept"), -4, false}));
    EXPECT_EQ(prints[1].values.toList(), (QVariantList {QStringLiteral("dropped"), -7, true}));
}

TEST(Printing, EraseAllAsksFirstAndReportsAfterwards)
{
    struct Case
    {
        const char *name;
        bool cancel;
        QString textAfter;
        int afterEvents;
    };
    const Case cases[] = {
        {"not cancelled", false, QString(), 1},
        {"cancelled", true, QStringLiteral("line\r\n"), 0},
    };
    for (const Case &c : cases) {
        RecordingSink sink;
        auto window = windowHeardBy(sink);
        window->DebugPrint(QStringLiteral("line"));
        if (c.cancel)
            sink.cancelCodes = {NotificationCode::BeforeEraseAll};
        window->EraseAll();
        EXPECT_EQ(window->rtbDetails()->Text(), c.textAfter) << c.name;
        EXPECT_EQ(sink.heardWithCode(NotificationCode::BeforeEraseAll).size(), 1) << c.name;
        EXPECT_EQ(sink.heardWithCode(NotificationCode::AfterEraseAll).size(), c.afterEvents) << c.name;
    }
}

TEST(Printing, ClearIgnoresListenersThatWouldCancel)
{
    RecordingSink sink;
    sink.cancelCodes = {NotificationCode::BeforeEraseAll};
    auto window = windowHeardBy(sink);
    window->DebugPrint(QStringLiteral("line"));
    window->Clear();
    EXPECT_EQ(window->rtbDetails()->Text(), QString());
    EXPECT_TRUE(sink.heardWithCode(NotificationCode::BeforeEraseAll).isEmpty());
}

TEST(Printing, AListenerPrintingFromItsOwnHandlerIsStoppedAtABoundedDepth)
{
    RecordingSink sink;
    auto window = windowHeardBy(sink);
    int deepest = 0;
    int failures = 0;
    std::optional<AutomationError> failure;
    sink.onNotify = [&](qint32 code, const QVariant &values) {
        if (code != NotificationCode::DebugPrint)
            return;
        const int depth = values.toList().at(0).toString().toInt();
        deepest = std::max(deepest, depth);
        try {
            window->DebugPrint(QString::number(depth + 1));
        } catch (const AutomationError &error) {
            ++failures;
            failure = error;
        }
    };
    window->DebugPrint(QStringLiteral("1"));

    EXPECT_EQ(deepest, 64);
    EXPECT_EQ(failures, 1);
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->number(), 28);
    EXPECT_TRUE(failure->description().contains(QStringLiteral("64")));
    EXPECT_TRUE(failure->source().endsWith(QStringLiteral("\r\nDebugText")));
    // Every level that was let through printed its piece, innermost first.
    const QStringList lines = window->rtbDetails()->Text().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 64);
    EXPECT_EQ(lines.first(), QStringLiteral("64"));
    EXPECT_EQ(lines.last(), QStringLiteral("1"));
    // Printing works normally afterwards.
    sink.onNotify = nullptr;
    window->DebugPrint(QStringLiteral("after"));
    EXPECT_TRUE(window->rtbDetails()->Text().endsWith(QStringLiteral("1\r\nafter\r\n")));
}
