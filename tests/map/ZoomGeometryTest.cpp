#include "ZoomGeometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <limits>
#include <random>
#include <stdexcept>

namespace {

constexpr std::int32_t MapWidth = 3300;
constexpr std::int32_t MapHeight = 3800;
constexpr std::int32_t Int32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t Int32Min = std::numeric_limits<std::int32_t>::min();

// What the scroll bars make of an unclamped position at a level of the 3300 x 3800 map.
TMapPoint Clamped(TMapPoint position, int level)
{
    const TScrollRange range = ScrollRange(ScaledSide(MapWidth, level), ScaledSide(MapHeight, level), level);
    return {std::clamp(position.X, 0, range.MaxH), std::clamp(position.Y, 0, range.MaxV)};
}

// Map point of a world point at a level of the 3300 x 3800 map, then centred.
TMapPoint GoPositions(std::int32_t worldX, std::int32_t worldY, int level)
{
    const TMapPoint p = WorldToMap(worldX, worldY, level, ScaledSide(MapHeight, level));
    return Clamped(CenterOn(p.X, p.Y), level);
}

} // namespace

TEST(ZoomGeometry, ZoomScaleHoldsTheStoredSinglePrecisionBits)
{
    const std::uint32_t bits[ZoomLevelCount] = {0x3DCCCCCD, 0x3E4CCCCD, 0x3E800000, 0x3EAAAAAB,
                                                0x3F000000, 0x3F400000, 0x3F800000};
    for (int level = 0; level < ZoomLevelCount; ++level)
        EXPECT_EQ(std::bit_cast<std::uint32_t>(ZoomScale[level]), bits[level]) << "level " << level;
}

TEST(ZoomGeometry, ScaledSidesAreTheFloorsOfTheExactFractions)
{
    const std::int32_t widths[] = {330, 660, 825, 1100, 1650, 2475, 3300};
    const std::int32_t heights[] = {380, 760, 950, 1266, 1900, 2850, 3800};
    for (int level = 0; level < ZoomLevelCount; ++level) {
        EXPECT_EQ(ScaledSide(MapWidth, level), widths[level]);
        EXPECT_EQ(ScaledSide(MapHeight, level), heights[level]);
    }
    auto expected = [](std::int64_t side, int level) {
        const std::int64_t n[] = {1, 1, 1, 1, 1, 3, 1};
        const std::int64_t d[] = {10, 5, 4, 3, 2, 4, 1};
        return static_cast<std::int32_t>(side * n[level] / d[level]);
    };
    std::mt19937 random(7);
    std::uniform_int_distribution<std::int32_t> large(0, 30'000'000 - 1);
    for (int level = 0; level < ZoomLevelCount; ++level) {
        for (std::int32_t side = 0; side < 100'000; ++side)
            ASSERT_EQ(ScaledSide(side, level), expected(side, level)) << side << " at level " << level;
        for (int i = 0; i < 100'000; ++i) {
            const std::int32_t side = large(random);
            ASSERT_EQ(ScaledSide(side, level), expected(side, level)) << side << " at level " << level;
        }
    }
    EXPECT_EQ(ScaledSide(Int32Max, 6), Int32Max);
}

TEST(ZoomGeometry, WorldToMapOfTheCornersAndTheOrigin)
{
    for (int level = 0; level < ZoomLevelCount; ++level) {
        const std::int32_t height = ScaledSide(MapHeight, level);
        EXPECT_EQ(WorldToMap(-125000, -130000, level, height), (TMapPoint{0, height})) << "level " << level;
    }
    EXPECT_EQ(WorldToMap(175000, 220000, 6, 3800), (TMapPoint{3299, 0}));
    EXPECT_EQ(WorldToMap(175000, 220000, 0, 380), (TMapPoint{330, 0}));
    EXPECT_EQ(WorldToMap(0, 0, 6, 3800), (TMapPoint{1374, 2388}));
    EXPECT_EQ(WorldToMap(0, 0, 0, 380), (TMapPoint{137, 238}));
    EXPECT_EQ(WorldToMap(0, 0, 1, 760), (TMapPoint{275, 477}));
    EXPECT_EQ(WorldToMap(0, 0, 2, 950), (TMapPoint{343, 597}));
    EXPECT_EQ(WorldToMap(0, 0, 3, 1266), (TMapPoint{458, 795}));
    EXPECT_EQ(WorldToMap(0, 0, 4, 1900), (TMapPoint{687, 1194}));
}

TEST(ZoomGeometry, GoCentresTheLocationAtEveryLevel)
{
    const TMapPoint origin[] = {{0, 0}, {110, 282}, {178, 402}, {293, 600}, {522, 999}, {866, 1596}};
    for (int level = 1; level <= 5; ++level)
        EXPECT_EQ(GoPositions(0, 0, level), origin[level]) << "level " << level;

    for (int level = 1; level <= 4; ++level)
        EXPECT_EQ(GoPositions(-100000, 200000, level), (TMapPoint{0, 0})) << "level " << level;
    EXPECT_EQ(GoPositions(-100000, 200000, 5), (TMapPoint{41, 0}));
    EXPECT_EQ(GoPositions(-100000, 200000, 6), (TMapPoint{109, 22}));

    for (int level = 1; level <= 6; ++level) {
        const TScrollRange range =
            ScrollRange(ScaledSide(MapWidth, level), ScaledSide(MapHeight, level), level);
        EXPECT_EQ(GoPositions(170000, -125000, level), (TMapPoint{range.MaxH, range.MaxV})) << "level " << level;
    }
    EXPECT_EQ(GoPositions(170000, -125000, 6), (TMapPoint{2970, 3420}));
}

TEST(ZoomGeometry, RecentreKeepsTheReferencePointUpToTruncation)
{
    EXPECT_EQ(RecentreForZoom(0, 0, 0, 1), (TMapPoint{165, 195}));
    EXPECT_EQ(RecentreForZoom(0, 0, 1, 2), (TMapPoint{41, 48}));
    EXPECT_EQ(RecentreForZoom(0, 0, 6, 5), (TMapPoint{-41, -48}));
    EXPECT_EQ(Clamped(RecentreForZoom(0, 0, 6, 5), 5), (TMapPoint{0, 0}));

    const TMapPoint in = RecentreForZoom(100, 100, 1, 2);
    EXPECT_EQ(in, (TMapPoint{166, 173}));
    EXPECT_EQ(RecentreForZoom(in.X, in.Y, 2, 1), (TMapPoint{99, 99}));

    // Zooming out from the bottom-right corner overshoots; the bars clamp it.
    const TMapPoint out = RecentreForZoom(2970, 3420, 6, 5);
    EXPECT_GT(out.X, 2475 - 330);
    EXPECT_EQ(Clamped(out, 5), (TMapPoint{2475 - 330, 2850 - 380}));
}

TEST(ZoomGeometry, ScrollRange)
{
    EXPECT_EQ(ScrollRange(1100, 1266, 3).MaxH, 770);
    EXPECT_EQ(ScrollRange(1100, 1266, 3).MaxV, 886);
    EXPECT_TRUE(ScrollRange(660, 760, 1).Enabled);
    EXPECT_EQ(ScrollRange(660, 760, 1).MaxH, 330);
    EXPECT_EQ(ScrollRange(660, 760, 1).MaxV, 380);
    EXPECT_FALSE(ScrollRange(330, 380, 0).Enabled);
    EXPECT_EQ(ScrollRange(100, 200, 2).MaxH, -230);
    EXPECT_EQ(ScrollRange(100, 200, 2).MaxV, -180);
}

TEST(ZoomGeometry, ResultsSaturateAndBadLevelsAreRefused)
{
    EXPECT_EQ(CenterOn(Int32Min, Int32Min), (TMapPoint{Int32Min, Int32Min}));
    EXPECT_EQ(CenterOn(Int32Max, Int32Max), (TMapPoint{Int32Max - 165, Int32Max - 195}));
    EXPECT_EQ(RecentreForZoom(Int32Max, Int32Max, 0, 6), (TMapPoint{Int32Max, Int32Max}));
    EXPECT_EQ(RecentreForZoom(Int32Min, Int32Min, 0, 6), (TMapPoint{Int32Min, Int32Min}));
    EXPECT_EQ(WorldToMap(0, Int32Max, 6, Int32Min).Y, Int32Min);
    EXPECT_EQ(ScrollRange(Int32Min, Int32Min, 1).MaxH, Int32Min);

    EXPECT_THROW(ScaledSide(100, 7), std::out_of_range);
    EXPECT_THROW(WorldToMap(0, 0, -1, 380), std::out_of_range);
    EXPECT_THROW(RecentreForZoom(0, 0, 0, 7), std::out_of_range);
}
