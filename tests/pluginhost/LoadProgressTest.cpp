#include "LoadProgress.h"

#include <gtest/gtest.h>

TEST(LoadProgress, ValueOutsideTheRangeIsIgnored)
{
    LoadProgress progress;
    progress.setMin(0);
    progress.setMax(10);
    progress.setValue(4);
    for (const qint32 outside : {11, -1, 1000}) {
        progress.setValue(outside);
        EXPECT_EQ(progress.Value(), 4) << outside;
    }
    progress.setValue(10);
    EXPECT_EQ(progress.Value(), 10);
    progress.setValue(0);
    EXPECT_EQ(progress.Value(), 0);
}

TEST(LoadProgress, ShowsOnTopWhileLoadedAndLeavesNoTopmostRemnant)
{
    LoadProgress progress;
    EXPECT_EQ(progress.StatusText(), QStringLiteral("Initializing Plugins..."));
    progress.Load();
    EXPECT_TRUE(progress.isVisible());
    EXPECT_TRUE(progress.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(LoadProgress::versionText(), QStringLiteral("Version " WRENLOG_VERSION));
    progress.setStatusText(QStringLiteral("Found: A.B"));
    EXPECT_EQ(progress.StatusText(), QStringLiteral("Found: A.B"));
    progress.Unload();
    EXPECT_FALSE(progress.isVisible());
    EXPECT_FALSE(progress.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}
