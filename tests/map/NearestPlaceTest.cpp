#include "NearestPlace.h"

#include <gtest/gtest.h>

#include <limits>

TEST(NearestPlace, TheNearestDrawnPlaceWinsAndTiesGoToTheEarliest)
{
    // At level 6 of a 3300 x 3800 map world (0, 0) is map point (1374, 2388).
    const TLocList list = {{"Hidden", 5, 0, 0}, {"Far", 4, 50000, 0}, {"Near", 3, 1000, 1000}, {"Twin", 3, 1000, 1000}};
    EXPECT_EQ(NearestPlace(list, 6, 3800, {1374, 2388}), 2u);
    EXPECT_EQ(NearestPlace(list, 6, 3800, {3000, 2388}), 1u);
    EXPECT_EQ(NearestPlace(list, 0, 380, {165, 195}), std::nullopt);
    EXPECT_EQ(NearestPlace({}, 6, 3800, {0, 0}), std::nullopt);
}

TEST(NearestPlace, DistancesBeyondSixtyFourBitsCompareExactly)
{
    // Both squared distances lie near 2^64: A's just below, B's just above it.
    constexpr std::int32_t Top = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t Bottom = std::numeric_limits<std::int32_t>::min();
    const TLocList list = {{"B", 0, 8875000, -130000}, {"A", 0, -125000, -130000}};
    EXPECT_EQ(NearestPlace(list, 6, Top, {0, Bottom}), 1u);
}
