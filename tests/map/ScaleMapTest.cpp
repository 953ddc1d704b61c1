#include "Bitmap.h"
#include "Color.h"
#include "FastPaths.h"
#include "ZoomGeometry.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <utility>
#include <vector>

namespace {

TBitmap RandomBitmap(std::int32_t width, std::int32_t height, std::mt19937& random)
{
    TBitmap bitmap(width, height);
    std::uniform_int_distribution<int> byte(0, 255);
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t i = 0; i < width * 3; ++i)
            bitmap.ScanLine(y)[i] = static_cast<std::uint8_t>(byte(random));
    return bitmap;
}

// A copy with storage of its own, to compare the master against afterwards.
TBitmap DeepCopy(const TBitmap& bitmap)
{
    TBitmap copy = bitmap;
    copy.Detach();
    return copy;
}

// The sources of destination column (or row) i of level 5: within each group
// of three, the first takes source 4g, the second 4g+1 and 4g+2, the third 4g+3.
std::vector<std::int32_t> ThreeQuarterSources(std::int32_t i)
{
    const std::int32_t g = i / 3;
    switch (i % 3) {
    case 0:
        return {4 * g};
    case 1:
        return {4 * g + 1, 4 * g + 2};
    default:
        return {4 * g + 3};
    }
}

// Byte c of destination pixel (x, y), worked out on its own from the master.
int ReferenceByte(const TBitmap& master, int level, std::int32_t x, std::int32_t y, int c)
{
    auto at = [&](std::int32_t sx, std::int32_t sy) {
        EXPECT_LT(sx, master.Width());
        EXPECT_LT(sy, master.Height());
        return static_cast<int>(master.ScanLine(sy)[3 * sx + c]);
    };
    const int step[] = {10, 5, 4, 3};
    if (level <= 3)
        return at(step[level] * x, step[level] * y);
    if (level == 4)
        return (at(2 * x, 2 * y) + at(2 * x + 1, 2 * y) + at(2 * x, 2 * y + 1) + at(2 * x + 1, 2 * y + 1)) / 4;
    int sum = 0;
    int count = 0;
    for (std::int32_t sy : ThreeQuarterSources(y))
        for (std::int32_t sx : ThreeQuarterSources(x)) {
            sum += at(sx, sy);
            ++count;
        }
    return sum / count;
}

// Scales a random master at every level and checks every byte against the
// reference and against the plain twin, the padding of the view and that the
// master was neither written nor given new storage.
void CheckAllLevels(std::int32_t width, std::int32_t height, std::mt19937& random)
{
    const TBitmap master = RandomBitmap(width, height, random);
    const TBitmap before = DeepCopy(master);
    const std::uint8_t* pixels = master.Bits();
    for (int level = 0; level < ZoomLevelCount; ++level) {
        SCOPED_TRACE(testing::Message() << width << " x " << height << " at level " << level);
        TBitmap view = master;
        ScaleMap(level, master, view);
        ASSERT_EQ(view.Width(), ScaledSide(width, level));
        ASSERT_EQ(view.Height(), ScaledSide(height, level));
        TBitmap plain = master;
        {
            const TPlainTwins twins;
            ScaleMap(level, master, plain);
        }
        EXPECT_TRUE(view == plain) << "the fast path and its plain twin differ";
        if (level == 6) {
            EXPECT_TRUE(view == master);
            EXPECT_TRUE(master.Empty() || view.SharesPixelsWith(master));
        } else {
            const std::size_t used = static_cast<std::size_t>(view.Width()) * 3;
            for (std::int32_t y = 0; y < view.Height(); ++y) {
                const std::uint8_t* row = std::as_const(view).ScanLine(y);
                for (std::int32_t x = 0; x < view.Width(); ++x)
                    for (int c = 0; c < 3; ++c)
                        ASSERT_EQ(row[3 * x + c], ReferenceByte(master, level, x, y, c))
                            << "pixel " << x << ", " << y << " byte " << c;
                for (std::size_t i = used; i < view.RowStride(); ++i)
                    ASSERT_EQ(row[i], 0) << "padding of row " << y;
            }
        }
        EXPECT_EQ(master.Bits(), pixels);
        EXPECT_TRUE(master == before);
    }
}

// A master whose rows hold the given pixels, one byte value per pixel.
TBitmap GreyBitmap(const std::vector<std::vector<std::uint8_t>>& rows)
{
    TBitmap bitmap(static_cast<std::int32_t>(rows[0].size()), static_cast<std::int32_t>(rows.size()));
    for (std::size_t y = 0; y < rows.size(); ++y)
        for (std::size_t x = 0; x < rows[y].size(); ++x)
            for (int c = 0; c < 3; ++c)
                bitmap.ScanLine(static_cast<std::int32_t>(y))[3 * x + c] = rows[y][x];
    return bitmap;
}

} // namespace

TEST(ScaleMap, SmallMastersOfEveryRemainderMatchTheReference)
{
    std::mt19937 random(1);
    for (std::int32_t height = 0; height <= 21; ++height)
        for (std::int32_t width = 0; width <= 21; ++width)
            CheckAllLevels(width, height, random);
}

TEST(ScaleMap, WideMastersMatchTheReference)
{
    std::mt19937 random(2);
    for (std::int32_t width = 190; width < 260; ++width)
        CheckAllLevels(width, 1 + width % 13, random);
    CheckAllLevels(1203, 23, random);
    CheckAllLevels(4001, 8, random);
    // Views of a million pixels and more (here levels 4 and 5) are filled by
    // two threads, each taking half the rows.
    CheckAllLevels(2050, 2051, random);
}

TEST(ScaleMap, AveragesRoundDown)
{
    TBitmap half = GreyBitmap({{255, 255}, {255, 254}});
    TBitmap view = half;
    ScaleMap(4, half, view);
    ASSERT_EQ(view.Width(), 1);
    EXPECT_EQ(view.ScanLine(0)[1], 254);

    // Centre samples 1, 1 over 2, 0: one sum of four gives 1, where the mean
    // of the column means would give 0. Row 0 holds the avg2 of 255 and 254.
    const TBitmap block = GreyBitmap({{0, 255, 254, 0}, {0, 1, 1, 0}, {0, 2, 0, 0}, {0, 0, 0, 0}});
    view = block;
    ScaleMap(5, block, view);
    ASSERT_EQ(view.Width(), 3);
    ASSERT_EQ(view.Height(), 3);
    EXPECT_EQ(view.ScanLine(0)[3], 254);
    EXPECT_EQ(view.ScanLine(1)[3], 1);
}

TEST(ScaleMap, FullSizeKeepsTheCopyAndEmptyStaysEmpty)
{
    std::mt19937 random(3);
    const TBitmap master = RandomBitmap(37, 11, random);
    TBitmap view = master;
    ScaleMap(6, master, view);
    EXPECT_TRUE(view == master);

    const TBitmap empty;
    for (int level = 0; level < ZoomLevelCount; ++level) {
        TBitmap scaled = empty;
        ScaleMap(level, empty, scaled);
        EXPECT_EQ(scaled.Width(), 0);
        EXPECT_EQ(scaled.Height(), 0);
    }
}

TEST(ScaleMap, TheSameBitmapAsMasterAndView)
{
    std::mt19937 random(4);
    const TBitmap master = RandomBitmap(45, 29, random);
    for (int level = 0; level < ZoomLevelCount; ++level) {
        TBitmap expected = master;
        ScaleMap(level, master, expected);
        TBitmap both = DeepCopy(master);
        ScaleMap(level, both, both);
        EXPECT_TRUE(both == expected) << "level " << level;
    }
}
