#include "Bitmap.h"
#include "Errors.h"
#include "FastPaths.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <utility>

TEST(Bitmap, CopiesShareUntilOneSideIsWritten)
{
    TBitmap a(5, 3);
    a.ScanLine(1)[4] = 77;
    TBitmap b = a;
    EXPECT_TRUE(b.SharesPixelsWith(a));
    b.ScanLine(1)[4] = 12;
    EXPECT_FALSE(b.SharesPixelsWith(a));
    EXPECT_EQ(a.ScanLine(1)[4], 77);
    EXPECT_EQ(b.ScanLine(1)[4], 12);
}

TEST(Bitmap, SettingTheSameSizeKeepsContentAndSharing)
{
    TBitmap a(7, 2);
    a.ScanLine(0)[0] = 9;
    TBitmap b = a;
    b.SetSize(7, 2);
    EXPECT_TRUE(b.SharesPixelsWith(a));
    EXPECT_EQ(b.ScanLine(0)[0], 9);
}

TEST(Bitmap, RowsArePaddedToFourBytesWithZeros)
{
    TBitmap a(5, 2);
    EXPECT_EQ(a.RowStride(), 16u);
    EXPECT_EQ(a.ScanLine(1)[15], 0);
    EXPECT_EQ(a.ScanLine(1) - a.ScanLine(0), 16);
}

TEST(Bitmap, RefusesNegativeAndOversizedSizesBeforeAllocating)
{
    TBitmap a;
    EXPECT_THROW(a.SetSize(-1, 4), EInvalidGraphic);
    EXPECT_THROW(a.SetSize(65500, 65500), EInvalidGraphic);
    EXPECT_THROW(a.SetSize(INT32_MAX, INT32_MAX), EInvalidGraphic);
    EXPECT_EQ(a.Width(), 0);
    EXPECT_TRUE(a.Empty());
    a.SetSize(0, 100);
    EXPECT_TRUE(a.Empty());
    EXPECT_EQ(a.Height(), 100);
}

TEST(Bitmap, RecycledStorageIsReusedWithPaddingZeroedAgain)
{
    if (!UseFastPath(TFastPath::Pool))
        GTEST_SKIP() << "the plain twin keeps no storage";
    // 1001 pixels leave one byte of padding per row; 3 MB is recycled.
    const std::uint8_t* first = nullptr;
    {
        TBitmap a(1001, 1031);
        std::memset(a.Bits(), 0xFF, a.ByteSize());
        first = a.Bits();
    }
    TBitmap b(1001, 1031);
    EXPECT_EQ(std::as_const(b).Bits(), first);
    for (std::int32_t y = 0; y < b.Height(); ++y)
        ASSERT_EQ(std::as_const(b).ScanLine(y)[3003], 0) << "row " << y;
}

TEST(Bitmap, FreedStorageServesTheNextBitmapThatFitsInIt)
{
    if (!UseFastPath(TFastPath::Pool))
        GTEST_SKIP() << "the plain twin keeps no storage";
    // The views of the zoom levels differ in size; each reuses the block the
    // previous one freed when it fits, and a larger one gets storage of its
    // full size (a sanitizer build sees a write past a block too small).
    const std::uint8_t* first = nullptr;
    {
        TBitmap large(1650, 1900);
        first = large.Bits();
    }
    {
        TBitmap smaller(1100, 1266);
        EXPECT_EQ(std::as_const(smaller).Bits(), first);
    }
    TBitmap larger(2475, 2850);
    std::memset(larger.Bits(), 3, larger.ByteSize());
    EXPECT_EQ(larger.ScanLine(2849)[3 * 2475 - 1], 3);
}

TEST(Bitmap, LargeCopiesStayIndependent)
{
    // 4.3 MB: the copy that detaches it is made by two threads.
    TBitmap a(1200, 1200);
    for (std::size_t i = 0; i < a.ByteSize(); ++i)
        a.Bits()[i] = static_cast<std::uint8_t>(i % 251);
    const std::uint8_t last = a.ScanLine(1199)[3599];
    {
        TBitmap b = a;
        b.ScanLine(1199)[3599] = 8;
        EXPECT_EQ(a.ScanLine(1199)[3599], last);
        EXPECT_EQ(std::memcmp(std::as_const(b).Bits(), std::as_const(a).Bits(), a.ByteSize() - 1), 0);
        TBitmap c = b;
        c.SetSize(1100, 1000);
        EXPECT_EQ(b.ScanLine(1199)[3599], 8);
    }
    TBitmap d(1200, 1200);
    std::memset(d.Bits(), 9, d.ByteSize());
    EXPECT_EQ(a.ScanLine(0)[0], 0);
    EXPECT_EQ(a.ScanLine(1199)[3599], last);
}
