#include "Markers.h"

#include "AnsiText.h"
#include "LevelRules.h"
#include "ZoomGeometry.h"

#include <QFontMetrics>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace {

QFont MakeFont(int pixelSize, bool bold)
{
    QFont font{QString::fromLatin1(FormFontFamily)};
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    // Qt drops hinting when the screen is scaled; the labels are part of the
    // map picture and must come out the same on every screen.
    font.setHintingPreference(QFont::PreferVerticalHinting);
    return font;
}

// Bytes are blended sixteen at a time in 16-bit lanes, where each sum of two
// products of bytes fits; the compiler's vector types keep this portable.
constexpr std::size_t BlendRun = 16;
using TByteLanes = std::uint8_t __attribute__((vector_size(BlendRun)));
using TWordLanes = std::uint16_t __attribute__((vector_size(2 * BlendRun)));

// The marker colour, blue, green, red, over as many bytes as a run starting
// at any byte of a row needs: a run at byte `offset` starts at offset % 48.
constexpr std::array<std::uint8_t, 48 + BlendRun> ColourRow = [] {
    std::array<std::uint8_t, 48 + BlendRun> row{};
    for (std::size_t i = 0; i < row.size(); ++i)
        row[i] = i % 3 == 0 ? MarkerBlue : i % 3 == 1 ? MarkerGreen : MarkerRed;
    return row;
}();

TByteLanes LoadLanes(const std::uint8_t* bytes)
{
    TByteLanes lanes;
    std::memcpy(&lanes, bytes, BlendRun);
    return lanes;
}

// One run of a row, whose first byte lies `offset` bytes into the row. Each
// byte becomes colour * a + byte * (255 - a) divided by 255 as Qt's raster
// engine divides when it blends text onto a 24-bit image.
void BlendBytes(std::uint8_t* bytes, const std::uint8_t* coverage, std::size_t offset)
{
    const TWordLanes colour = __builtin_convertvector(LoadLanes(ColourRow.data() + offset % 48), TWordLanes);
    const TWordLanes a = __builtin_convertvector(LoadLanes(coverage), TWordLanes);
    const TWordLanes byte = __builtin_convertvector(LoadLanes(bytes), TWordLanes);
    const TWordLanes sum = colour * a + byte * (255 - a);
    const TByteLanes result = __builtin_convertvector((sum + (sum >> 8) + 0x80) >> 8, TByteLanes);
    std::memcpy(bytes, &result, BlendRun);
}

// A bound of a label's width that no text of `length` characters exceeds: a
// tab reaches the next stop of Qt's default 80 px, every other character is
// no wider than the font's widest.
std::int64_t LabelWidthBound(std::size_t length, const QFontMetrics& metrics)
{
    constexpr std::int64_t TabStop = 80;
    return static_cast<std::int64_t>(length) * std::max<std::int64_t>(metrics.maxWidth(), TabStop);
}

} // namespace

TMarkerFonts::TMarkerFonts()
    : Label(MakeFont(FormFontPixelSize, false)), Capital(MakeFont(CapitalFontPixelSize, true)),
      LabelMetrics(Label), CapitalMetrics(Capital), LabelMasks(Label), CapitalMasks(Capital)
{
}

void TMarkerFonts::Load() const
{
    static_cast<void>(LabelMetrics.ascent());
    static_cast<void>(CapitalMetrics.ascent());
}

bool IsCapitalLabel(int level, std::int32_t type)
{
    return level >= CapitalFromLevel && type == 0;
}

TMarkerPainter::TMarkerPainter(TBitmap& view, const TMarkerFonts& fonts)
    : TMarkerPainter(view, fonts, {0, 0, view.Width(), view.Height()})
{
}

TMarkerPainter::TMarkerPainter(TBitmap& view, const TMarkerFonts& fonts, const TPixelRect& clip)
    : FView(view), FFonts(fonts), FClip(clip)
{
}

std::uint8_t* TMarkerPainter::Row(std::int64_t y)
{
    if (!FBits)
        FBits = FView.Bits();
    return FBits + static_cast<std::size_t>(y) * FView.RowStride();
}

void TMarkerPainter::Fill(TPixelRect rect)
{
    rect = {std::max(rect.Left, FClip.Left), std::max(rect.Top, FClip.Top), std::min(rect.Right, FClip.Right),
            std::min(rect.Bottom, FClip.Bottom)};
    for (std::int64_t y = rect.Top; y < rect.Bottom; ++y) {
        std::uint8_t* pixel = Row(y) + 3 * rect.Left;
        for (std::int64_t x = rect.Left; x < rect.Right; ++x, pixel += 3) {
            pixel[0] = MarkerBlue;
            pixel[1] = MarkerGreen;
            pixel[2] = MarkerRed;
        }
    }
}

void TMarkerPainter::Blend(const TLabelMask& mask, std::int64_t left, std::int64_t top)
{
    const std::int64_t maskLeft = left + mask.Left;
    const std::int64_t maskTop = top + mask.Top;
    const std::int64_t fromX = std::max(maskLeft, FClip.Left);
    const std::int64_t toX = std::min(maskLeft + mask.Width, FClip.Right);
    const std::int64_t fromY = std::max(maskTop, FClip.Top);
    const std::int64_t toY = std::min(maskTop + mask.Height, FClip.Bottom);
    if (fromX >= toX)
        return;
    const std::size_t rowBytes = 3 * static_cast<std::size_t>(toX - fromX);
    const std::size_t maskStride = 3 * static_cast<std::size_t>(mask.Width);
    const std::uint8_t* coverage = mask.Coverage.data() + static_cast<std::size_t>(fromY - maskTop) * maskStride +
                                   3 * static_cast<std::size_t>(fromX - maskLeft);
    for (std::int64_t y = fromY; y < toY; ++y, coverage += maskStride) {
        std::uint8_t* bytes = Row(y) + 3 * fromX;
        std::size_t done = 0;
        for (; done + BlendRun <= rowBytes; done += BlendRun)
            BlendBytes(bytes + done, coverage + done, done);
        if (done == rowBytes)
            continue;
        // The last bytes of the row go through a full run with no coverage
        // after them.
        std::uint8_t tail[BlendRun];
        std::uint8_t tailCoverage[BlendRun] = {};
        const std::size_t rest = rowBytes - done;
        std::memcpy(tail, bytes + done, rest);
        std::memcpy(tailCoverage, coverage + done, rest);
        BlendBytes(tail, tailCoverage, done);
        std::memcpy(bytes + done, tail, rest);
    }
}

void TMarkerPainter::Draw(std::size_t index, const TLocation& location, TMapPoint point, bool capital)
{
    // The square's outline as four 1-px strips.
    const std::int64_t x = point.X;
    const std::int64_t y = point.Y;
    const std::int64_t last = MarkerSquareSide - 1;
    Fill({x, y, x + MarkerSquareSide, y + 1});
    Fill({x, y + last, x + MarkerSquareSide, y + last + 1});
    Fill({x, y + 1, x + 1, y + last});
    Fill({x + last, y + 1, x + last + 1, y + last});

    if (location.Name.empty())
        return;
    // A label that cannot reach the clip is not rendered.
    const QFontMetrics& metrics = capital ? FFonts.CapitalMetrics : FFonts.LabelMetrics;
    TLabelMasks& masks = capital ? FFonts.CapitalMasks : FFonts.LabelMasks;
    const std::int64_t left = x + MarkerSquareSide;
    const std::int64_t top = y + MarkerSquareSide;
    const std::int64_t reach = masks.Reach();
    if (left - reach >= FClip.Right || top - reach >= FClip.Bottom || top + metrics.height() + reach <= FClip.Top ||
        left + LabelWidthBound(location.Name.size(), metrics) + reach <= FClip.Left)
        return;
    Blend(masks.Get(index, location.Name), left, top);
}

void DrawLocations(TBitmap& view, const TLocList& locations, int level, const TMarkerFonts& fonts)
{
    if (view.Empty())
        return;
    TMarkerPainter painter(view, fonts);
    for (std::size_t i = 0; i < locations.size(); ++i) {
        const TLocation& location = locations[i];
        if (LevelShowsType(level, location.Type))
            painter.Draw(i, location, WorldToMap(location.X, location.Y, level, view.Height()),
                         IsCapitalLabel(level, location.Type));
    }
}
