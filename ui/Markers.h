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
#include "ZoomGeometry.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <cstdint>

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

// The side of a marker's square outline.
inline constexpr int MarkerSquareSide = 5;

// The level from which type-0 labels are large and bold.
inline constexpr int CapitalFromLevel = 3;

// Whether a location's label is large and bold at `level`.
bool IsCapitalLabel(int level, std::int32_t type);

// The picture of a bitmap for QPainter, sharing its pixels (writes detach
// the bitmap from its copies first).
QImage MarkerImage(TBitmap& view);

// Draws markers one by one onto an image, each square and label as
// DrawLocations does; what lies wholly outside the image is skipped. The
// painter's clip, if the caller sets one, cuts the drawing off at its edge.
class TMarkerPainter {
public:
    TMarkerPainter(QImage& image, const TMarkerFonts& fonts);

    QPainter& Painter() { return FPainter; }
    void Draw(const TLocation& location, TMapPoint point, bool capital);

private:
    QPainter FPainter;
    const TMarkerFonts& FFonts;
    const QFont* FCurrent = nullptr;
    std::int32_t FWidth;
    std::int32_t FHeight;
};

void DrawLocations(TBitmap& view, const TLocList& locations, int level, const TMarkerFonts& fonts);
