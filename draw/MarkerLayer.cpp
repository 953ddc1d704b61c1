#include "MarkerLayer.h"

#include "AnsiText.h"
#include "FastPaths.h"
#include "LevelRules.h"
#include "NearestPoint.h"

#include <QFontMetricsF>

#include <algorithm>
#include <bit>
#include <cmath>
#include <string>

TShownMarkers FindShownMarkers(const TLocList& locations, int level, std::int32_t width, std::int32_t height,
                               const TMarkerFonts& fonts)
{
    TShownMarkers shown;
    for (std::size_t i = 0; i < locations.size(); ++i) {
        const TLocation& location = locations[i];
        if (!LevelShowsType(level, location.Type))
            continue;
        const TMapPoint point = WorldToMap(location.X, location.Y, level, height);
        TPixelRect reach{point.X, point.Y, std::int64_t{point.X} + MarkerSquareSide,
                         std::int64_t{point.Y} + MarkerSquareSide};
        if (!location.Name.empty()) {
            const bool capital = IsCapitalLabel(level, location.Type);
            TLabelMasks& masks = capital ? fonts.CapitalMasks : fonts.LabelMasks;
            const std::int64_t advance = masks.WidthBound(location.Name);
            const std::int64_t room = masks.Room();
            const std::int64_t lineHeight = (capital ? fonts.CapitalMetrics : fonts.LabelMetrics).height();
            reach.Right = std::max(reach.Right, reach.Left + MarkerSquareSide + advance + room);
            reach.Bottom = std::max(reach.Bottom, reach.Top + MarkerSquareSide + lineHeight + room);
            reach.Left = std::min(reach.Left, reach.Left + MarkerSquareSide - room);
            reach.Top = std::min(reach.Top, reach.Top + MarkerSquareSide - room);
        }
        if (reach.Right <= 0 || reach.Bottom <= 0 || reach.Left >= width || reach.Top >= height)
            continue;
        shown.Locations.push_back(static_cast<std::uint32_t>(i));
        shown.Points.push_back(point);
        shown.Reach.push_back({std::max<std::int64_t>(reach.Left, 0), std::max<std::int64_t>(reach.Top, 0),
                               std::min<std::int64_t>(reach.Right, width), std::min<std::int64_t>(reach.Bottom, height)});
    }
    return shown;
}

TMarkerLayer::TMarkerLayer(const TMarkerFonts& fonts) : FFonts(fonts), FCanvas(fonts)
{
}

void TMarkerLayer::Clear()
{
    FView = nullptr;
    FLocations = nullptr;
    FShown = nullptr;
    FIndex = nullptr;
    FDrawn.clear();
    FUndrawn = 0;
}

void TMarkerLayer::Reset(TBitmap& view, const TLocList& locations, int level)
{
    Clear();
    if (view.Empty())
        return;
    if (!UseFastPath(TFastPath::Tiles)) {
        FPlainShown = FindShownMarkers(locations, level, view.Width(), view.Height(), FFonts);
        FShown = &FPlainShown;
        DrawLocations(view, locations, level, FFonts);
        return;
    }
    FView = &view;
    FLocations = &locations;
    FLevel = level;
    FIndex = &IndexFor(level);
    FShown = &FIndex->Shown;
    FUndrawn = static_cast<std::size_t>(FIndex->Columns) * static_cast<std::size_t>(FIndex->Rows);
    FDrawn.assign(FUndrawn, false);
}

const TMarkerLayer::TLevelIndex& TMarkerLayer::IndexFor(int level)
{
    if (FIndexedList != FLocations || FIndexedCount != FLocations->size()) {
        for (TLevelIndex& index : FIndexes)
            index = TLevelIndex();
        FIndexedList = FLocations;
        FIndexedCount = FLocations->size();
    }
    TLevelIndex& index = FIndexes.at(static_cast<std::size_t>(level));
    if (!index.Built || index.Width != FView->Width() || index.Height != FView->Height()) {
        BuildIndex(index, level);
    }
    return index;
}

void TMarkerLayer::BuildIndex(TLevelIndex& index, int level) const
{
    index = TLevelIndex();
    index.Built = true;
    index.Width = FView->Width();
    index.Height = FView->Height();
    index.Columns = (index.Width + TileSide - 1) / TileSide;
    index.Rows = (index.Height + TileSide - 1) / TileSide;
    index.Shown = FindShownMarkers(*FLocations, level, index.Width, index.Height, FFonts);

    // The tiles that each shown marker can reach, first and last column and row.
    struct TTileSpan {
        std::int32_t Left, Top, Right, Bottom;
    };
    std::vector<TTileSpan> spans;
    spans.reserve(index.Shown.Reach.size());
    for (const TPixelRect& reach : index.Shown.Reach)
        spans.push_back({static_cast<std::int32_t>(reach.Left / TileSide), static_cast<std::int32_t>(reach.Top / TileSide),
                         static_cast<std::int32_t>((reach.Right - 1) / TileSide),
                         static_cast<std::int32_t>((reach.Bottom - 1) / TileSide)});

    // Two passes: count each tile's markers, then lay them out in list order.
    const std::size_t tiles = static_cast<std::size_t>(index.Columns) * static_cast<std::size_t>(index.Rows);
    index.TileStart.assign(tiles + 1, 0);
    for (const TTileSpan& span : spans)
        for (std::int32_t row = span.Top; row <= span.Bottom; ++row)
            for (std::int32_t column = span.Left; column <= span.Right; ++column)
                ++index.TileStart[static_cast<std::size_t>(row) * index.Columns + column + 1];
    for (std::size_t tile = 0; tile < tiles; ++tile)
        index.TileStart[tile + 1] += index.TileStart[tile];
    index.TileMarkers.resize(index.TileStart[tiles]);
    std::vector<std::uint32_t> next(index.TileStart.begin(), index.TileStart.end() - 1);
    for (std::size_t k = 0; k < spans.size(); ++k)
        for (std::int32_t row = spans[k].Top; row <= spans[k].Bottom; ++row)
            for (std::int32_t column = spans[k].Left; column <= spans[k].Right; ++column)
                index.TileMarkers[next[static_cast<std::size_t>(row) * index.Columns + column]++] =
                    static_cast<std::uint32_t>(k);
}

std::optional<std::size_t> TMarkerLayer::NearestShown(TMapPoint point) const
{
    if (!FShown)
        return std::nullopt;
    const std::optional<std::size_t> nearest = NearestPoint(FShown->Points, point);
    if (!nearest)
        return std::nullopt;
    return FShown->Locations[*nearest];
}

void TMarkerLayer::DrawAll()
{
    if (FIndex)
        DrawArea(QRect(0, 0, FIndex->Width, FIndex->Height));
}

void TMarkerLayer::DrawArea(const QRect& area)
{
    if (!FIndex || FUndrawn == 0)
        return;
    const QRect bounded = area & QRect(0, 0, FIndex->Width, FIndex->Height);
    if (bounded.isEmpty())
        return;
    const std::int32_t left = bounded.left() / TileSide;
    const std::int32_t right = bounded.right() / TileSide + 1;
    const std::int32_t top = bounded.top() / TileSide;
    const std::int32_t bottom = bounded.bottom() / TileSide + 1;

    // Each row's runs of tiles not drawn yet; a run that spans the same
    // columns as a run of the row above extends that run's block downwards.
    struct TBlock {
        std::int32_t Left, Top, Right, Bottom;
    };
    std::vector<TBlock> open;
    std::vector<TBlock> blocks;
    for (std::int32_t row = top; row < bottom; ++row) {
        std::vector<TBlock> next;
        const auto drawn = [&](std::int32_t column) {
            return FDrawn[static_cast<std::size_t>(row) * FIndex->Columns + column];
        };
        for (std::int32_t column = left; column < right;) {
            if (drawn(column)) {
                ++column;
                continue;
            }
            const std::int32_t start = column;
            while (column < right && !drawn(column))
                ++column;
            const auto above = std::find_if(open.begin(), open.end(), [&](const TBlock& block) {
                return block.Left == start && block.Right == column;
            });
            if (above != open.end()) {
                next.push_back({start, above->Top, column, row + 1});
                open.erase(above);
            } else {
                next.push_back({start, row, column, row + 1});
            }
        }
        blocks.insert(blocks.end(), open.begin(), open.end());
        open = std::move(next);
    }
    blocks.insert(blocks.end(), open.begin(), open.end());
    for (const TBlock& block : blocks)
        DrawBlock(block.Left, block.Top, block.Right, block.Bottom);
}

void TMarkerLayer::DrawBlock(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom)
{
    // The markers of the block's tiles, each once and in list order: a bit per
    // shown marker, read from the lowest.
    FMarked.assign((FIndex->Shown.Points.size() + 63) / 64, 0);
    std::size_t first = FMarked.size();
    std::size_t last = 0; // the words from first to last hold every bit set
    for (std::int32_t row = top; row < bottom; ++row)
        for (std::int32_t column = left; column < right; ++column) {
            const std::size_t tile = static_cast<std::size_t>(row) * FIndex->Columns + column;
            for (std::uint32_t k = FIndex->TileStart[tile]; k < FIndex->TileStart[tile + 1]; ++k) {
                const std::uint32_t marker = FIndex->TileMarkers[k];
                FMarked[marker / 64] |= std::uint64_t{1} << (marker % 64);
                first = std::min<std::size_t>(first, marker / 64);
                last = std::max<std::size_t>(last, marker / 64);
            }
            FDrawn[tile] = true;
            --FUndrawn;
        }
    if (first == FMarked.size())
        return;

    FCanvas.Begin({std::int64_t{left} * TileSide, std::int64_t{top} * TileSide,
                   std::min<std::int64_t>(std::int64_t{right} * TileSide, FView->Width()),
                   std::min<std::int64_t>(std::int64_t{bottom} * TileSide, FView->Height())});
    FBlockMarkers.clear();
    for (std::size_t word = first; word <= last; ++word)
        for (std::uint64_t bits = FMarked[word]; bits != 0; bits &= bits - 1)
            FBlockMarkers.push_back(static_cast<std::uint32_t>(word * 64 + std::countr_zero(bits)));
    // The records lie far apart in a large list: each is asked for a few
    // markers ahead, so that it has arrived by the time it is drawn.
    constexpr std::size_t Ahead = 8;
    for (std::size_t i = 0; i < FBlockMarkers.size(); ++i) {
        if (i + Ahead < FBlockMarkers.size())
            __builtin_prefetch(&(*FLocations)[FIndex->Shown.Locations[FBlockMarkers[i + Ahead]]]);
        const std::uint32_t marker = FBlockMarkers[i];
        const std::uint32_t index = FIndex->Shown.Locations[marker];
        const TLocation& location = (*FLocations)[index];
        FCanvas.Draw(index, location, FIndex->Shown.Points[marker], IsCapitalLabel(FLevel, location.Type));
    }
    FCanvas.Finish(*FView);
}
