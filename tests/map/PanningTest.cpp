#include "Panning.h"

#include <gtest/gtest.h>

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
