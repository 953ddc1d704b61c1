#include "LevelRules.h"

#include <gtest/gtest.h>

TEST(LevelRules, LevelsShowTheirImportanceClasses)
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

TEST(LevelRules, GoTargets)
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
