#include "Panning.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(Panning, WheelMovesAtMostFivePixelsAndStopsAtTheEnds)
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

TEST(Panning, DragFollowsThePointerUntilTheBarEnds)
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

TEST(Panning, KeysStepATenthOrNearlyAViewportAndStopAtTheEnds)
{
    EXPECT_EQ(KeyPanPosition(100, 3420, 380, TPanKey::LineForward), 138);
    EXPECT_EQ(KeyPanPosition(100, 2970, 330, TPanKey::LineBack), 67);
    EXPECT_EQ(KeyPanPosition(100, 3420, 380, TPanKey::PageForward), 442);
    EXPECT_EQ(KeyPanPosition(3400, 3420, 380, TPanKey::PageForward), 3420);
    EXPECT_EQ(KeyPanPosition(700, 3420, 380, TPanKey::First), 0);
    EXPECT_EQ(KeyPanPosition(5, -3, 380, TPanKey::LineForward), 0);
}

TEST(Panning, PercentAcrossRoundsAndPositionAtPercentGoesBack)
{
    EXPECT_EQ(PercentAcross(17, 3420), 0);
    EXPECT_EQ(PercentAcross(18, 3420), 1);
    EXPECT_EQ(PercentAcross(1710, 3420), 50);
    EXPECT_EQ(PositionAtPercent(33.3, 330), 110);
    EXPECT_EQ(PositionAtPercent(std::nan(""), 3420), 0);
}
