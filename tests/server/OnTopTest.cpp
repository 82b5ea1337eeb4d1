#include "GlobalLibrary.h"
#include "MainFormTestSupport.h"
#include "MessageBox.h"
#include "NotificationCode.h"
#include "TranslucentWindows.h"
#include "WrenlogMainForm.h"

#include <QAction>
#include <QLabel>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

/// Forces the platform's answer to "is opacity supported" for one test.
class OpacitySupport
{
public:
    explicit OpacitySupport(bool supported) { TranslucentWindows::overrideOpacitySupport(supported); }
    ~OpacitySupport() { TranslucentWindows::overrideOpacitySupport(std::nullopt); }
};

struct Look
{
    bool onTop;
    bool translucent;
};

Look lookOf(const WrenlogMainForm &window)
{
    return {window.OnTop(), window.Translucent()};
}

void pressF(WrenlogMainForm &window, Qt::Key key)
{
    QWidget *target = window.focusWidget() ? window.focusWidget() : &window;
    QTest::keyClick(target, key);
}

} // namespace

TEST(OnTop, F2CyclesThroughThreeLooksWhenOpacityIsSupported)
{
    OpacitySupport supported(true);
    RecordingSink sink;
    auto window = windowHeardBy(sink);
    window->show();
    QAction *item = window->menuItem("mnuOnTop");

    pressF(*window, Qt::Key_F2);
    EXPECT_TRUE(window->OnTop());
    EXPECT_FALSE(window->Translucent());
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(window->toolbarButton("btnOnTop")->isChecked());
    EXPECT_EQ(item->text(), QStringLiteral("Always On Top"));

    pressF(*window, Qt::Key_F2);
    EXPECT_TRUE(window->OnTop());
    EXPECT_TRUE(window->Translucent());
    EXPECT_NEAR(window->windowOpacity(), 128 / 255.0, 0.01);
    EXPECT_EQ(item->text(), QStringLiteral("Always On Top (Translucent)"));
    EXPECT_TRUE(window->toolbarButton("btnOnTop")->isChecked());

    pressF(*window, Qt::Key_F2);
    EXPECT_FALSE(window->OnTop());
    EXPECT_FALSE(window->Translucent());
    EXPECT_NEAR(window->windowOpacity(), 1.0, 0.01);
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(item->text(), QStringLiteral("Always On Top"));
    EXPECT_FALSE(window->toolbarButton("btnOnTop")->isChecked());

    QList<std::pair<qint32, bool>> events;
    for (const auto &h : sink.heard) {
        if (h.code == NotificationCode::OnTop || h.code == NotificationCode::Translucency)
            events.append({h.code, h.values.toBool()});
    }
    const QList<std::pair<qint32, bool>> expected = {{NotificationCode::OnTop, true},
                                                     {NotificationCode::Translucency, true},
                                                     {NotificationCode::Translucency, false},
                                                     {NotificationCode::OnTop, false}};
    EXPECT_EQ(events, expected);
}

TEST(OnTop, WithoutTranslucencyTheCycleAlternates)
{
    struct Case
    {
        const char *name;
        bool supported;
        int f3Presses;
    };
    const Case cases[] = {
        {"opacity unsupported", false, 0},
        {"F3 switched translucency off", true, 1},
    };
    for (const Case &c : cases) {
        OpacitySupport support(c.supported);
        WrenlogMainForm window;
        window.Load();
        window.show();
        for (int i = 0; i < c.f3Presses; ++i)
            pressF(window, Qt::Key_F3);
        const bool expected[] = {true, false, true, false};
        for (bool onTop : expected) {
            pressF(window, Qt::Key_F2);
            EXPECT_EQ(window.OnTop(), onTop) << c.name;
            EXPECT_FALSE(window.Translucent()) << c.name;
        }
    }
}

TEST(OnTop, F3AgainRestoresTheTranslucentStep)
{
    OpacitySupport supported(true);
    WrenlogMainForm window;
    window.Load();
    window.show();
    pressF(window, Qt::Key_F3);
    EXPECT_FALSE(window.TranslucencyAllowed());
    pressF(window, Qt::Key_F3);
    EXPECT_TRUE(window.TranslucencyAllowed());
    pressF(window, Qt::Key_F2);
    pressF(window, Qt::Key_F2);
    EXPECT_TRUE(window.Translucent());
}

TEST(OnTop, SettingTheSameStateTwiceRaisesOneEvent)
{
    RecordingSink sink;
    auto window = windowHeardBy(sink);
    window->setOnTop(true);
    window->setOnTop(true);
    EXPECT_EQ(sink.heardWithCode(NotificationCode::OnTop).size(), 1);
}

TEST(OnTop, FormOnTopShowsAHiddenFormWithoutActivatingIt)
{
    WrenlogMainForm window;
    window.Load();
    ASSERT_FALSE(window.isVisible());
    FormOnTop(true, &window);
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    FormOnTop(false, &window);
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST(GlobalLibraryWindows, TranslucencyReachesTheVisibleTopLevelOfAChild)
{
    QWidget top;
    auto *layout = new QVBoxLayout(&top);
    auto *child = new QLabel(QStringLiteral("child"));
    layout->addWidget(child);
    top.show();
    GlobalLibrary library;

    {
        OpacitySupport unsupported(false);
        library.MakeTranslucent(child->winId());
        EXPECT_NEAR(top.windowOpacity(), 1.0, 0.01);
    }
    OpacitySupport supported(true);
    library.MakeTranslucent(child->winId());
    EXPECT_NEAR(top.windowOpacity(), 128 / 255.0, 0.01);
    EXPECT_TRUE(TranslucentWindows::IsTranslucent(top.winId()));
    library.ClearTranslucency(child->winId());
    EXPECT_NEAR(top.windowOpacity(), 1.0, 0.01);
    // An unknown handle is no error: nothing happens.
    library.MakeTranslucent(0);
    library.ClearTranslucency(0x7fffffff);
}

TEST(GlobalLibraryWindows, FormOnTopByHandleAppliesTheRectangleInTwips)
{
    QWidget form;
    GlobalLibrary library;
    library.FormOnTop(true, form.winId(), 1500, 3000, 4500, 3000);
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(form.pos(), QPoint(100, 200));
    EXPECT_EQ(form.frameGeometry().size(), QSize(300, 200));
}

TEST(GlobalLibraryWindows, ShowMessagePassesTheStyleAndFillsAnEmptyCaption)
{
    QList<MessageBox::Request> requests;
    const auto previous = MessageBox::setPresenter([&](const MessageBox::Request &request) {
        requests.append(request);
        return int(MessageBox::IdNo);
    });
    GlobalLibrary library;
    EXPECT_EQ(library.ShowMessage(4, QString(), QStringLiteral("Erase?")), 7);
    EXPECT_EQ(library.ShowMessage(0x31, QStringLiteral("Mine"), QStringLiteral("Text")), 7);
    MessageBox::setPresenter(previous);

    ASSERT_EQ(requests.size(), 2);
    EXPECT_EQ(requests[0].style, 4);
    EXPECT_EQ(requests[0].caption, GlobalLibrary::applicationTitle());
    EXPECT_EQ(requests[0].text, QStringLiteral("Erase?"));
    EXPECT_EQ(requests[1].style, 0x31);
    EXPECT_EQ(requests[1].caption, QStringLiteral("Mine"));
}
