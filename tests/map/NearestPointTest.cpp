#include "NearestPoint.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

TEST(NearestPoint, TheNearestWinsAndTiesGoToTheEarliest)
{
    const std::vector<TMapPoint> points = {{3000, 2388}, {1400, 2400}, {1400, 2400}, {1380, 2300}};
    EXPECT_EQ(NearestPoint(points, {1374, 2388}), 1u);
    EXPECT_EQ(NearestPoint(points, {3100, 2388}), 0u);
    EXPECT_EQ(NearestPoint({}, {0, 0}), std::nullopt);
}

TEST(NearestPoint, DistancesBeyondSixtyFourBitsCompareExactly)
{
    // The second point's squared distance lies just below 2^64, the first's
    // above it, where a 64-bit sum would wrap round to a small number.
    constexpr std::int32_t Top = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t Bottom = std::numeric_limits<std::int32_t>::min();
    const std::vector<TMapPoint> points = {{Top, Top}, {Top, 0}};
    EXPECT_EQ(NearestPoint(points, {Bottom, 0}), 1u);
}
