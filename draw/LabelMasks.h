// TLabelMasks: the coverage of each label, rendered once by Qt's text renderer
// and kept, so that drawing the label again costs a blend of its pixels instead
// of shaping its text and looking up its glyphs, which is most of what drawText
// costs. With 100,000 places a zoom is 7 to 23 times as fast and Go 9.6
// times (bench/machinery.sh, against KELDERWYN_PLAIN=labels).
//
// A mask is the name drawn with QPainter::drawText in the label's font onto a
// clear 8-bit coverage image (QImage::Format_Alpha8), cropped to the pixels it
// covers. Left and Top place the mask's first pixel relative to the label's
// top-left corner, the point whose baseline lies one ascent below. A label is
// drawn at whole pixels, so one mask serves every place the label is drawn.
//
// A pixel that one glyph covers holds that glyph's coverage, as drawText
// blends it over a picture (up to one in the odd pixel); where two glyphs of a
// label overlap, the mask holds their joint coverage.
//
// Masks are kept by the index of their location in the list being drawn, with
// the name they were made of: a name that differs from the kept one is
// rendered afresh, so lists of other names can share the cache. The cache
// keeps masks until they take MaxBytes and is then emptied; a reference from
// Get is good until the next Get. The plain twin (FastPaths.h) keeps none and
// renders each label whenever it is asked for.
#pragma once

#include "MarkerBlend.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct TLabelMask {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    // Row by row, a byte per pixel; each row is followed by RowPadding pixels
    // of no coverage.
    std::vector<std::uint8_t> Coverage;

    static constexpr std::size_t RowPadding = BlendPadding;
    std::size_t Stride() const { return static_cast<std::size_t>(Width) + RowPadding; }
};

class TLabelMasks {
public:
    static constexpr std::size_t MaxBytes = std::size_t{16} << 20;
    // How far the room around a label may grow while it is rendered, in font
    // sizes: far beyond any real glyph's overhang.
    static constexpr std::int32_t MaxRoomFactor = 64;

    explicit TLabelMasks(const QFont& font);

    // The mask of the name, 8-bit Windows-1252 text, of location `index`.
    const TLabelMask& Get(std::size_t index, const std::string& name);

    // A width no label of the name exceeds: each character's advance, alone
    // and as a text of its own (a tab reaches the next tab stop), rounded up,
    // and a pixel more for the kerning next to it.
    std::int64_t WidthBound(const std::string& name);
    // How far glyphs reach past that width or the font's height: a mask lies
    // within Room() of the label's box (WidthBound wide, the font's height
    // high) on every side, and Render looks no further than Reach().
    std::int32_t Room() const { return FFont.pixelSize(); }
    std::int32_t Reach() const { return MaxRoomFactor * Room(); }

private:
    struct TEntry {
        std::string Name;
        TLabelMask Mask;
    };

    TLabelMask Render(const std::string& name);
    // A canvas of at least that size, clear in that corner, with the painter on it.
    void PrepareCanvas(int width, int height);

    QFont FFont;
    QFontMetrics FMetrics;
    std::array<std::int32_t, 256> FAdvance{}; // of each byte, once measured
    bool FAdvanceReady = false;
    // One canvas and its painter serve every label: setting up a painter
    // costs more than drawing a short label.
    QImage FCanvas;
    std::unique_ptr<QPainter> FPainter;
    std::vector<std::uint32_t> FSlots; // per location index, 1 + its entry, or 0
    std::vector<TEntry> FEntries;
    std::size_t FBytes = 0;
    TLabelMask FUncached; // the plain twin's last mask
};
