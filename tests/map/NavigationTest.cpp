#include "Navigation.h"

#include <gtest/gtest.h>

TEST(Navigation, WheelMovesAtMostFivePixelsAndStopsAtTheEnds)
{
    // Positive: the view moves towards the top, the image edge down.
    EXPECT_EQ(WheelStep(100, 886, 120), 5);
    EXPECT_EQ(WheelStep(100, 886, 240), 5);
    EXPECT_EQ(WheelStep(3, 886, 120), 3);
    EXPECT_EQ(WheelStep(0, 886, 120), 0);
    // Zero or negative: towards the bottom.
    EXPECT_EQ(WheelStep(100, 886, -120), -5);
    EXPECT_EQ(WheelStep(100, 886, 0), -5);
    EXPECT_EQ(WheelStep(884, 886, -120), -2);
    EXPECT_EQ(WheelStep(881, 886, -120), -5);
    EXPECT_EQ(WheelStep(886, 886, -1), 0);
    EXPECT_EQ(WheelStep(0, 0, 0), 0);
}

TEST(Navigation, DragFollowsThePointerUntilTheBarEnds)
{
    EXPECT_EQ(DragStep(100, 770, 10), 10);
    EXPECT_EQ(DragStep(100, 770, -10), -10);
    EXPECT_EQ(DragStep(3, 770, 10), 3);
    EXPECT_EQ(DragStep(0, 770, 10), 0);
    EXPECT_EQ(DragStep(0, 770, -10), -10);
    EXPECT_EQ(DragStep(766, 770, -10), -4);
    EXPECT_EQ(DragStep(770, 770, -10), 0);
    EXPECT_EQ(DragStep(770, 770, 10), 10);
    EXPECT_EQ(DragStep(5, 770, 0), 0);
    // The bar ends where it must: position - step stays inside [0, max].
    for (int p = 0; p <= 20; ++p)
        for (int d = -30; d <= 30; ++d) {
            const int moved = p - DragStep(p, 20, d);
            EXPECT_GE(moved, 0);
            EXPECT_LE(moved, 20);
        }
}

TEST(Navigation, LevelsShowTheirImportanceClasses)
{
    const int lowestHidden[] = {1, 2, 2, 3, 3, 4, 5};
    for (int level = 0; level <= 6; ++level) {
        EXPECT_TRUE(LevelShowsType(level, 0));
        EXPECT_TRUE(LevelShowsType(level, lowestHidden[level] - 1)) << "level " << level;
        EXPECT_FALSE(LevelShowsType(level, lowestHidden[level])) << "level " << level;
        EXPECT_EQ(LevelShowsType(level, -1), level > 0);
        EXPECT_FALSE(LevelShowsType(level, 5));
    }
    EXPECT_FALSE(LevelShowsType(7, 0));
}

TEST(Navigation, GoTargets)
{
    EXPECT_EQ(GoTargetLevel(0), 0);
    EXPECT_EQ(GoTargetLevel(1), 2);
    EXPECT_EQ(GoTargetLevel(2), 4);
    EXPECT_EQ(GoTargetLevel(3), 5);
    EXPECT_EQ(GoTargetLevel(4), 6);
    EXPECT_EQ(GoTargetLevel(5), 6);
    EXPECT_EQ(GoTargetLevel(-1), 6);
    EXPECT_EQ(GoTargetLevel(-2147483647 - 1), 6);
}
