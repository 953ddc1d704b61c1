#include "MarkerLayer.h"

#include "FastPaths.h"
#include "MarkerTestPlaces.h"
#include "PatternBitmap.h"

#include <gtest/gtest.h>

#include <random>

// Drawn by tiles in any order, the areas first shown and then the rest, the
// picture is the plain twin's whole pass, pixel for pixel, at every level.
TEST(MarkerLayerTest, TilesDrawnInAnyOrderGiveThePictureOfThePlainWholePass)
{
    const TMarkerFonts fonts;
    TMarkerLayer layer(fonts);
    std::mt19937 random(1517);
    const TLocList places = RandomPlaces(random, 600);
    for (int level = 0; level <= MaxZoomLevel; ++level) {
        const TBitmap clean = PatternBitmap(ScaledSide(3300, level), ScaledSide(3800, level));
        TBitmap expected = clean;
        {
            const TPlainTwins twins;
            const TMarkerFonts plainFonts;
            DrawLocations(expected, places, level, plainFonts);
        }
        TBitmap picture = clean;
        layer.Reset(picture, places, level);
        for (int view = 0; view < 8; ++view) {
            const int x = static_cast<int>(random() % static_cast<unsigned>(clean.Width())) - 200;
            const int y = static_cast<int>(random() % static_cast<unsigned>(clean.Height())) - 200;
            // A viewport, or a strip one pixel wide as a pan uncovers it.
            const QRect area = view % 2 ? QRect(x, y, ViewportWidth, ViewportHeight) : QRect(x, y, 1, ViewportHeight);
            layer.DrawArea(area);
            EXPECT_TRUE(SameIn(picture, expected, area)) << "level " << level << " view " << view;
        }
        layer.DrawAll();
        EXPECT_TRUE(picture == expected) << "level " << level;
    }
}

