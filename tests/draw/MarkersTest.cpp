#include "Markers.h"
#include "ZoomGeometry.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

constexpr std::uint8_t Ground[3] = {40, 20, 10};

TBitmap GroundBitmap(int width, int height)
{
    TBitmap bitmap(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            std::memcpy(bitmap.ScanLine(y) + 3 * x, Ground, 3);
    return bitmap;
}

bool IsGround(const TBitmap& bitmap, int x, int y)
{
    return std::memcmp(bitmap.ScanLine(y) + 3 * x, Ground, 3) == 0;
}

bool IsMarker(const TBitmap& bitmap, int x, int y)
{
    const std::uint8_t* pixel = bitmap.ScanLine(y) + 3 * x;
    return pixel[0] == 155 && pixel[1] == 241 && pixel[2] == 255;
}

// Rows of the bitmap that differ from the ground inside a column range.
int ChangedRows(const TBitmap& bitmap, int left, int right)
{
    int rows = 0;
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = left; x < right && x < bitmap.Width(); ++x)
            if (!IsGround(bitmap, x, y)) {
                ++rows;
                break;
            }
    return rows;
}

class MarkersTest : public ::testing::Test {
protected:
    TMarkerFonts Fonts;
};

} // namespace

TEST_F(MarkersTest, TheSquareIsA5x5OutlineWhoseTopLeftPixelIsTheMapPoint)
{
    TBitmap view = GroundBitmap(330, 380);
    const TLocList list{{"", 0, 0, 0}};
    const TMapPoint point = WorldToMap(0, 0, 0, view.Height());
    DrawLocations(view, list, 0, Fonts);

    for (int y = point.Y - 2; y <= point.Y + 6; ++y)
        for (int x = point.X - 2; x <= point.X + 6; ++x) {
            const int dx = x - point.X;
            const int dy = y - point.Y;
            const bool inside = dx >= 0 && dx <= 4 && dy >= 0 && dy <= 4;
            const bool edge = inside && (dx == 0 || dx == 4 || dy == 0 || dy == 4);
            if (edge)
                EXPECT_TRUE(IsMarker(view, x, y)) << dx << "," << dy;
            else
                EXPECT_TRUE(IsGround(view, x, y)) << dx << "," << dy;
        }
}

TEST_F(MarkersTest, EachLevelShowsItsClasses)
{
    // One location per type from -1 to 5, spread along the map's width.
    TLocList list;
    for (int type = -1; type <= 5; ++type)
        list.push_back({"", type, -100000 + (type + 1) * 30000, 0});

    const bool expected[7][7] = {
        // type -1  0      1      2      3      4      5
        {false, true, false, false, false, false, false},
        {true, true, true, false, false, false, false},
        {true, true, true, false, false, false, false},
        {true, true, true, true, false, false, false},
        {true, true, true, true, false, false, false},
        {true, true, true, true, true, false, false},
        {true, true, true, true, true, true, false},
    };
    for (int level = 0; level < ZoomLevelCount; ++level) {
        TBitmap view = GroundBitmap(ScaledSide(3300, level), ScaledSide(3800, level));
        DrawLocations(view, list, level, Fonts);
        for (const TLocation& location : list) {
            const TMapPoint point = WorldToMap(location.X, location.Y, level, view.Height());
            EXPECT_EQ(IsMarker(view, point.X, point.Y), expected[level][location.Type + 1])
                << "level " << level << " type " << location.Type;
        }
    }
}

TEST_F(MarkersTest, LabelsStartBelowAndRightOfTheSquareAndCapitalsGrowFromLevel3)
{
    const TLocList list{{"Harrowgate", 0, 0, 0}, {"Harrowgate", 1, 60000, 0}};
    int capitalRows[2] = {0, 0};
    int townRows[2] = {0, 0};
    for (const int level : {2, 3}) {
        TBitmap view = GroundBitmap(ScaledSide(3300, level), ScaledSide(3800, level));
        DrawLocations(view, list, level, Fonts);
        for (int i = 0; i < 2; ++i) {
            const TMapPoint point = WorldToMap(list[i].X, list[i].Y, level, view.Height());
            // Nothing of the label above or left of its corner, next to the square.
            for (int x = point.X + 5; x < point.X + 150; ++x)
                EXPECT_TRUE(IsGround(view, x, point.Y + 4)) << "level " << level << " x " << x;
            for (int y = point.Y + 5; y < point.Y + 20; ++y)
                EXPECT_TRUE(IsGround(view, point.X + 4 - 5, y));
            int& rows = (i == 0 ? capitalRows : townRows)[level - 2];
            rows = ChangedRows(view, point.X + 5, point.X + 150);
        }
    }
    EXPECT_GT(capitalRows[1], capitalRows[0] + 3);
    EXPECT_EQ(capitalRows[0], townRows[0]);
    EXPECT_EQ(townRows[0], townRows[1]);
}

TEST_F(MarkersTest, AnEmptyListOrPointsOutsideLeaveTheMapUntouched)
{
    const TBitmap ground = GroundBitmap(330, 380);
    TBitmap view = ground;
    DrawLocations(view, {}, 0, Fonts);
    EXPECT_EQ(view, ground);

    const TLocList outside{{"Far east", 0, INT_MAX, 0},     {"Far west", 0, INT_MIN, 0},
                           {"Far north", 0, 0, INT_MAX},    {"Far south", 0, 0, INT_MIN},
                           {"Corner", 0, INT_MIN, INT_MIN}, {"Right edge", 0, 175000, 0}};
    DrawLocations(view, outside, 0, Fonts);
    EXPECT_EQ(view, ground);
}

TEST_F(MarkersTest, APointJustAboveAndLeftStillShowsWhatFallsInside)
{
    TBitmap view = GroundBitmap(330, 380);
    // 2 px left of and above the image at level 0.
    const TLocList list{{"Edge", 0, -127000, 222000}};
    const TMapPoint point = WorldToMap(list[0].X, list[0].Y, 0, view.Height());
    ASSERT_LT(point.X, 0);
    ASSERT_LT(point.Y, 0);
    ASSERT_GT(point.X, -5);
    ASSERT_GT(point.Y, -5);
    DrawLocations(view, list, 0, Fonts);
    for (int i = 0; i <= point.X + 4; ++i) {
        EXPECT_TRUE(IsMarker(view, i, point.Y + 4)) << i;
        EXPECT_TRUE(IsMarker(view, point.X + 4, i)) << i;
    }
    EXPECT_TRUE(IsGround(view, point.X + 5, 0));
    EXPECT_GT(ChangedRows(view, point.X + 5, point.X + 60), 5);
}

TEST_F(MarkersTest, ALabelWhoseGlyphsDoNotTouchComesOutAsQtDrawsItOverTheMap)
{
    // A ground of many shades, so that the rounding of every blended byte counts.
    TBitmap view(ScaledSide(3300, 3), ScaledSide(3800, 3));
    for (int y = 0; y < view.Height(); ++y)
        for (int x = 0; x < 3 * view.Width(); ++x)
            view.ScanLine(y)[x] = static_cast<std::uint8_t>(x * 7 + y * 13);
    TBitmap expected = view;
    expected.Detach();
    const TLocList list{{"H   I   W", 0, 0, 0}};
    const TMapPoint point = WorldToMap(0, 0, 3, view.Height());
    DrawLocations(view, list, 3, Fonts);
    ASSERT_FALSE(view == expected);

    QImage image(expected.Bits(), expected.Width(), expected.Height(), static_cast<qsizetype>(expected.RowStride()),
                 QImage::Format_BGR888);
    QPainter painter(&image);
    const QColor colour(255, 241, 155);
    painter.fillRect(point.X, point.Y, 5, 1, colour);
    painter.fillRect(point.X, point.Y + 4, 5, 1, colour);
    painter.fillRect(point.X, point.Y + 1, 1, 3, colour);
    painter.fillRect(point.X + 4, point.Y + 1, 1, 3, colour);
    painter.setPen(colour);
    painter.setFont(Fonts.Capital);
    painter.drawText(point.X + 5, point.Y + 5 + Fonts.CapitalMetrics.ascent(), QString::fromLatin1("H   I   W"));
    painter.end();
    // Qt's own glyphs over the map and over a clear mask may differ by one in
    // the odd byte; a blend rounded otherwise would differ in hundreds.
    int differing = 0;
    for (int y = 0; y < view.Height(); ++y)
        for (int i = 0; i < 3 * view.Width(); ++i) {
            const int difference = view.ScanLine(y)[i] - expected.ScanLine(y)[i];
            ASSERT_LE(std::abs(difference), 1) << "byte " << i << " of row " << y;
            differing += difference != 0;
        }
    EXPECT_LE(differing, 3);
}
