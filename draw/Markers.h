// DrawLocations: the location markers of a zoom level, drawn into the displayed
// map itself, so they scroll with it and vanish with the next rescale.
//
// For every location whose type the level shows (LevelShowsType), in list
// order: a 5 x 5 square outline whose top-left pixel is the map point, and the
// name with its top-left corner 5 px right of and below that point. Colour
// 0x9BF1FF (red 255, green 241, blue 155) for both, nothing filled, the text
// on a transparent background. Labels are 8-point regular; type 0 from level 3
// on is 12-point bold. Later markers are drawn over earlier ones.
//
// Every marker has the one colour, so a rectangle's markers are gathered
// before they are put on the map, as what each pixel lets through of the map
// below, its transmission: 255 at first, 0 under a square, scaled by 255 - a
// under a label at coverage a (the label's coverage as Qt's text renderer
// draws it, LabelMasks.h), one marker after another in list order. Finish
// then blends the colour over each pixel at coverage 255 - transmission. Each
// step divides by 255 as Qt's raster engine does when it draws text onto a
// 24-bit image, so a pixel under one label alone comes out as drawText over
// the map draws it (up to one in the odd byte, where Qt's glyph over the map
// and over a clear mask differ), and a square's pixels take the colour
// itself. Overlapping labels blend at their joint coverage.
#pragma once

#include "Bitmap.h"
#include "LabelMasks.h"
#include "Locations.h"
#include "MarkerBlend.h"
#include "ZoomGeometry.h"

#include <QFont>
#include <QFontMetrics>

#include <cstdint>
#include <functional>
#include <vector>

// Fonts and their metrics, set up once by the window, and the labels rendered
// in them so far. The point sizes are fixed as pixel sizes at 96 dpi
// (8 pt = 11 px, 12 pt = 16 px), so the output does not depend on the screen.
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
    // A cache, filled as labels are drawn; drawing does not change what the
    // fonts are.
    mutable TLabelMasks LabelMasks;
    mutable TLabelMasks CapitalMasks;
};

// The family of the window and the labels; stands in for the original
// 8-point face.
inline constexpr const char* FormFontFamily = "DejaVu Sans";
inline constexpr int FormFontPixelSize = 11;
inline constexpr int CapitalFontPixelSize = 16;

// The side of a marker's square outline.
inline constexpr int MarkerSquareSide = 5;

// The level from which type-0 labels are large and bold.
inline constexpr int CapitalFromLevel = 3;

// Whether a location's label is large and bold at `level`.
bool IsCapitalLabel(int level, std::int32_t type);

// A rectangle of a picture's pixels, right and bottom exclusive.
struct TPixelRect {
    std::int64_t Left = 0;
    std::int64_t Top = 0;
    std::int64_t Right = 0;
    std::int64_t Bottom = 0;
};

// The markers of one rectangle of a picture: Begin, then Draw for each marker
// in list order, then Finish. What falls outside the rectangle is left out.
// The picture's pixels are detached from its copies only when Finish has a
// marker to put on them.
class TMarkerCanvas {
public:
    explicit TMarkerCanvas(const TMarkerFonts& fonts);

    void Begin(const TPixelRect& area);
    // Location `index` of its list, its square at `point`.
    void Draw(std::size_t index, const TLocation& location, TMapPoint point, bool capital);
    void Finish(TBitmap& view);

private:
    std::size_t Stride() const;
    std::uint8_t* Row(std::int64_t y);
    void Cover(TPixelRect rect);
    void Scale(const TLabelMask& mask, std::int64_t left, std::int64_t top);

    const TMarkerFonts& FFonts;
    TPixelRect FArea;
    std::vector<std::uint8_t> FTransmission; // the area's pixels, row by row
    bool FMarked = false;
};

void DrawLocations(TBitmap& view, const TLocList& locations, int level, const TMarkerFonts& fonts);

// Renders into the fonts' caches, in list order, the labels that `level`
// draws, for as long as `wanted` says so; drawing them then costs a blend.
// The picture is not touched, and nothing is thrown.
void RenderLabelsAhead(const TLocList& locations, int level, const TMarkerFonts& fonts,
                       const std::function<bool()>& wanted);
