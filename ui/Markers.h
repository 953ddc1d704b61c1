// DrawLocations: the location markers of a zoom level, drawn into the displayed
// map itself, so they scroll with it and vanish with the next rescale.
//
// For every location whose type the level shows (LevelShowsType), in list
// order: a 5 x 5 square outline whose top-left pixel is the map point, and the
// name with its top-left corner 5 px right of and below that point. Colour
// 0x9BF1FF (red 255, green 241, blue 155) for both, nothing filled, the text
// on a transparent background. Labels are 8-point regular; type 0 from level 3
// on is 12-point bold. Later markers are drawn over earlier ones.
#pragma once

#include "Bitmap.h"
#include "Locations.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>

// Fonts and their metrics, set up once by the window. The point sizes are
// fixed as pixel sizes at 96 dpi (8 pt = 11 px, 12 pt = 16 px), so the output
// does not depend on the screen.
class TMarkerFonts {
public:
    TMarkerFonts();

    // Loads both faces now instead of at the first label. The first use of
    // any font reads the whole font database.
    void Load() const;

    QFont Label;
    QFont Capital;
    QFontMetrics LabelMetrics;
    QFontMetrics CapitalMetrics;
};

inline const QColor MarkerColor{255, 241, 155};

// The family of the window and the labels; stands in for the original
// 8-point face.
inline constexpr const char* FormFontFamily = "DejaVu Sans";
inline constexpr int FormFontPixelSize = 11;
inline constexpr int CapitalFontPixelSize = 16;

// The level from which type-0 labels are large and bold.
inline constexpr int CapitalFromLevel = 3;

void DrawLocations(TBitmap& view, const TLocList& locations, int level, const TMarkerFonts& fonts);
