#include "TackpadFixture.h"

#include "PluginWindow.h"
#include "SplashForm.h"
#include "Tackpad.h"
#include "TackpadPopupForm.h"
#include "Twips.h"

#include <QApplication>
#include <QPointer>

namespace {

void notify(PluginWindow *window, int code, const QVariant &values = {})
{
    bool cancel = false;
    window->Notify(code, values, cancel);
}

constexpr int pixelSlack = 16;

SplashForm *newestSplash()
{
    SplashForm *newest = nullptr;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *splash = qobject_cast<SplashForm *>(widget); splash && splash->isVisible())
            newest = splash;
    }
    return newest;
}

} // namespace

TEST_F(TackpadTest, SplashSitsInTheLowerRightCornerAndFollowsTheWindow)
{
    auto *splash = new SplashForm;
    window->setFold(true);
    splash->Execute(window, 3);
    EXPECT_FALSE(window->Fold());
    const auto expectPlaced = [&] {
        EXPECT_NEAR(splash->Left(), window->Left() + window->Width() - (27 * Twips::perPixelX() + splash->Width()),
                    pixelSlack);
        EXPECT_NEAR(splash->Top(), window->Top() + window->Height() - (27 * Twips::perPixelY() + splash->Height()),
                    pixelSlack);
    };
    expectPlaced();
    window->setTop(window->Top() + 900);
    notify(window, 18);
    expectPlaced();
    window->setTop(window->Top() - 900);

    notify(window, 4, QVariantList {false});
    EXPECT_FALSE(splash->isVisible());
    notify(window, 4, QVariantList {true});
    EXPECT_TRUE(splash->isVisible());
    delete splash;
}

TEST_F(TackpadTest, SplashClosesOnTheTickThatReachesItsDelay)
{
    start();
    struct Row
    {
        const char *use;
        int ticks;
    };
    const QList<Row> rows = {{"Splash", 3}, {"About", 10}};
    for (const Row &row : rows) {
        if (row.ticks == 3)
            plugin->Splash();
        else
            list->mnuAbout_Click();
        QPointer<SplashForm> splash = newestSplash();
        ASSERT_NE(splash, nullptr) << row.use;
        EXPECT_EQ(splash->delay(), row.ticks) << row.use;
        for (int tick = 1; tick < row.ticks; ++tick)
            splash->Timer1_Timer();
        EXPECT_TRUE(splash->isVisible()) << row.use;
        // Hidden while the window is not on top, the card keeps counting.
        notify(window, 4, QVariantList {false});
        splash->Timer1_Timer();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(splash.isNull()) << row.use;
    }
}

TEST_F(TackpadTest, AboutWhileTheCardIsUpRestartsTheOneCard)
{
    start();
    plugin->Splash();
    QPointer<SplashForm> card = newestSplash();
    ASSERT_NE(card, nullptr);
    card->Timer1_Timer();
    list->mnuAbout_Click();
    list->mnuAbout_Click();
    int shown = 0;
    for (QWidget *widget : QApplication::topLevelWidgets())
        shown += qobject_cast<SplashForm *>(widget) && widget->isVisible() ? 1 : 0;
    EXPECT_EQ(shown, 1) << "cards stacked";
    ASSERT_FALSE(card.isNull());
    EXPECT_TRUE(card->isVisible());
    EXPECT_EQ(card->delay(), 10);
    EXPECT_EQ(card->ticks(), 0);
}
