// TMarkerLayer: the markers of the displayed level, drawn into the picture
// tile by tile, each tile just before it is first shown, so that a change of
// level costs the markers in view, not every place of the database. With
// 100,000 places a zoom to levels 3 to 6 is 50 to 240 times as fast, Go 90
// times, and the peak memory a quarter to a third less than drawing each
// level whole (bench/machinery.sh, against KELDERWYN_PLAIN=tiles).
//
// The picture comes out the same as DrawLocations over the whole level. A
// pixel's final value depends only on its value in the clean scaled map and
// on the markers that reach it, taken in list order (Markers.h: each square
// and label changes what the pixel lets through, and the colour goes on once
// at the end). For every tile the layer lists, in list order, each shown
// location whose square or label can reach the tile: the label's box is
// bounded by the advances of its characters, with room for kerning and for
// glyphs that overhang their advance. A block of tiles not drawn yet is drawn
// in one pass over the union of their lists, in list order, within the block.
// Every pixel of the block thus meets the same markers in the same order as in
// the pass over the whole level; the block's edge only stops a marker there.
// Each tile is drawn once, onto the clean scaled map of its level.
//
// The index of a level (which locations reach which tile) is built the first
// time the level is drawn and kept for later visits.
#pragma once

#include "Bitmap.h"
#include "Locations.h"
#include "Markers.h"
#include "ZoomGeometry.h"

#include <QRect>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// The markers of a level that reach a picture of width x height, in list
// order: each one's location, map point, and the pixels its square and label
// can reach (the label's box bounded by the advances of its characters, with
// room for kerning and for glyphs that overhang their advance), clipped to the
// picture.
struct TShownMarkers {
    std::vector<std::uint32_t> Locations;
    std::vector<TMapPoint> Points;
    std::vector<TPixelRect> Reach;
};

TShownMarkers FindShownMarkers(const TLocList& locations, int level, std::int32_t width, std::int32_t height,
                               const TMarkerFonts& fonts);

class TMarkerLayer {
public:
    // The side of a tile in pixels.
    static constexpr std::int32_t TileSide = 32;

    explicit TMarkerLayer(const TMarkerFonts& fonts);

    // Forgets the picture: nothing is drawn until the next Reset.
    void Clear();
    // `view` holds the clean scaled map of `level`; its markers are drawn on
    // request, into view. The layer keeps both references until the next
    // Reset or Clear. The plain twin (FastPaths.h) draws them all now.
    void Reset(TBitmap& view, const TLocList& locations, int level);

    // Draws the tiles meeting `area` (in the picture's pixels) not drawn yet.
    void DrawArea(const QRect& area);
    // Draws every tile not drawn yet.
    void DrawAll();

    // The location of the level's marker nearest to point, of those that
    // reach the picture (NearestPoint), or none.
    std::optional<std::size_t> NearestShown(TMapPoint point) const;

private:
    struct TLevelIndex {
        bool Built = false;
        std::int32_t Width = 0;
        std::int32_t Height = 0;
        std::int32_t Columns = 0;
        std::int32_t Rows = 0;
        TShownMarkers Shown;
        std::vector<std::uint32_t> TileStart; // Columns * Rows + 1 offsets into TileMarkers
        std::vector<std::uint32_t> TileMarkers; // indexes of shown markers, ascending per tile
    };

    const TLevelIndex& IndexFor(int level);
    void BuildIndex(TLevelIndex& index, int level) const;
    // Draws the tiles [left, right) x [top, bottom), none of them drawn yet.
    void DrawBlock(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);

    const TMarkerFonts& FFonts;

    std::array<TLevelIndex, ZoomLevelCount> FIndexes;
    const TLocList* FIndexedList = nullptr;
    std::size_t FIndexedCount = 0;

    TBitmap* FView = nullptr;
    const TLocList* FLocations = nullptr;
    int FLevel = 0;
    const TShownMarkers* FShown = nullptr;
    TShownMarkers FPlainShown;
    const TLevelIndex* FIndex = nullptr;
    std::vector<bool> FDrawn;
    std::size_t FUndrawn = 0;
    std::vector<std::uint64_t> FMarked; // scratch of DrawBlock
    std::vector<std::uint32_t> FBlockMarkers; // scratch of DrawBlock
    TMarkerCanvas FCanvas;
};
