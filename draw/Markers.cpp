#include "Markers.h"

#include "AnsiText.h"
#include "LevelRules.h"
#include "ZoomGeometry.h"

#include <QFontMetrics>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <exception>

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

// The two loops over every pixel a marker reaches are built twice on x86-64,
// once for processors with 256-bit vectors, which take sixteen 16-bit lanes
// in one step, and chosen between when the program starts.
#if defined(__x86_64__)
#define VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define VECTOR_CLONES
#endif

// Pixels are blended sixteen at a time: their coverage is spread over the
// 48 bytes of their blue, green and red, which are worked on in 16-bit lanes,
// where each sum of two products of bytes fits. The compiler's vector types
// keep this portable.
constexpr std::size_t BlendPixels = 16;
using TByteLanes = std::uint8_t __attribute__((vector_size(BlendPixels)));
using TWordLanes = std::uint16_t __attribute__((vector_size(2 * BlendPixels)));

// The marker colour over the 48 bytes of sixteen pixels, blue, green, red.
constexpr std::array<std::uint8_t, 3 * BlendPixels> ColourRun = [] {
    std::array<std::uint8_t, 3 * BlendPixels> run{};
    for (std::size_t i = 0; i < run.size(); ++i)
        run[i] = i % 3 == 0 ? MarkerBlue : i % 3 == 1 ? MarkerGreen : MarkerRed;
    return run;
}();

TByteLanes LoadLanes(const std::uint8_t* bytes)
{
    TByteLanes lanes;
    std::memcpy(&lanes, bytes, sizeof lanes);
    return lanes;
}

// Sixteen bytes at coverage a each: colour * a + byte * (255 - a), divided by
// 255 as Qt's raster engine divides when it blends text onto a 24-bit image.
void BlendLanes(std::uint8_t* bytes, TByteLanes coverage, const std::uint8_t* colours)
{
    const TWordLanes colour = __builtin_convertvector(LoadLanes(colours), TWordLanes);
    const TWordLanes a = __builtin_convertvector(coverage, TWordLanes);
    const TWordLanes byte = __builtin_convertvector(LoadLanes(bytes), TWordLanes);
    const TWordLanes sum = colour * a + byte * (255 - a);
    const TByteLanes result = __builtin_convertvector((sum + (sum >> 8) + 0x80) >> 8, TByteLanes);
    std::memcpy(bytes, &result, sizeof result);
}

// Sixteen pixels, 48 bytes, from one coverage byte each. Pixels without
// coverage, which would stay as they are, are passed over without touching
// the picture.
void BlendSixteen(std::uint8_t* bytes, TByteLanes a)
{
    std::uint64_t halves[2];
    std::memcpy(halves, &a, sizeof halves);
    if ((halves[0] | halves[1]) == 0)
        return;
    BlendLanes(bytes, __builtin_shufflevector(a, a, 0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5), ColourRun.data());
    BlendLanes(bytes + 16, __builtin_shufflevector(a, a, 5, 5, 6, 6, 6, 7, 7, 7, 8, 8, 8, 9, 9, 9, 10, 10),
               ColourRun.data() + 16);
    BlendLanes(bytes + 32, __builtin_shufflevector(a, a, 10, 11, 11, 11, 12, 12, 12, 13, 13, 13, 14, 14, 14, 15, 15, 15),
               ColourRun.data() + 32);
}

// Sixteen transmissions scaled by 255 - coverage, divided as BlendLanes divides.
void TransmitSixteen(std::uint8_t* transmission, const std::uint8_t* coverage)
{
    const TWordLanes t = __builtin_convertvector(LoadLanes(transmission), TWordLanes);
    const TWordLanes a = __builtin_convertvector(LoadLanes(coverage), TWordLanes);
    const TWordLanes product = t * (255 - a);
    const TByteLanes result = __builtin_convertvector((product + (product >> 8) + 0x80) >> 8, TByteLanes);
    std::memcpy(transmission, &result, sizeof result);
}

// Scales `rows` rows of `pixels` transmissions by their coverage, in whole
// runs of sixteen: past a row's end the mask has its padding of no coverage,
// and past the area's end the canvas has its unused bytes.
VECTOR_CLONES void TransmitRows(std::uint8_t* transmission, std::size_t transmissionStride,
                                const std::uint8_t* coverage, std::size_t coverageStride, std::size_t rows,
                                std::size_t pixels)
{
    for (std::size_t y = 0; y < rows; ++y, transmission += transmissionStride, coverage += coverageStride)
        for (std::size_t done = 0; done < pixels; done += BlendPixels)
            TransmitSixteen(transmission + done, coverage + done);
}

// Blends the colour over `rows` rows of `pixels` pixels at coverage
// 255 - transmission. The last pixels of a row, fewer than sixteen, go
// through a copy: past them lie pixels of the picture that are not the area's.
VECTOR_CLONES void BlendRows(std::uint8_t* bytes, std::size_t byteStride, const std::uint8_t* transmission,
                             std::size_t transmissionStride, std::size_t rows, std::size_t pixels)
{
    for (std::size_t y = 0; y < rows; ++y, bytes += byteStride, transmission += transmissionStride)
        for (std::size_t done = 0; done < pixels; done += BlendPixels) {
            const TByteLanes coverage = 255 - LoadLanes(transmission + done);
            if (done + BlendPixels <= pixels) {
                BlendSixteen(bytes + 3 * done, coverage);
                continue;
            }
            const std::size_t rest = pixels - done;
            std::uint8_t tail[3 * BlendPixels] = {};
            std::memcpy(tail, bytes + 3 * done, 3 * rest);
            BlendSixteen(tail, coverage);
            std::memcpy(bytes + 3 * done, tail, 3 * rest);
        }
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

TMarkerCanvas::TMarkerCanvas(const TMarkerFonts& fonts) : FFonts(fonts)
{
}

// Each row of the area is followed by BlendPixels bytes that no pixel uses, so
// that the last sixteen pixels of a row may be worked on whole.
void TMarkerCanvas::Begin(const TPixelRect& area)
{
    FArea = area;
    FMarked = false;
    const auto height = static_cast<std::size_t>(std::max<std::int64_t>(area.Bottom - area.Top, 0));
    FTransmission.assign(Stride() * height, 255);
}

std::size_t TMarkerCanvas::Stride() const
{
    return static_cast<std::size_t>(FArea.Right - FArea.Left) + BlendPixels;
}

std::uint8_t* TMarkerCanvas::Row(std::int64_t y)
{
    return FTransmission.data() + static_cast<std::size_t>(y - FArea.Top) * Stride();
}

void TMarkerCanvas::Cover(TPixelRect rect)
{
    rect = {std::max(rect.Left, FArea.Left), std::max(rect.Top, FArea.Top), std::min(rect.Right, FArea.Right),
            std::min(rect.Bottom, FArea.Bottom)};
    if (rect.Left >= rect.Right)
        return;
    for (std::int64_t y = rect.Top; y < rect.Bottom; ++y) {
        std::uint8_t* row = Row(y);
        std::fill(row + (rect.Left - FArea.Left), row + (rect.Right - FArea.Left), 0);
        FMarked = true;
    }
}

void TMarkerCanvas::Scale(const TLabelMask& mask, std::int64_t left, std::int64_t top)
{
    const std::int64_t maskLeft = left + mask.Left;
    const std::int64_t maskTop = top + mask.Top;
    const std::int64_t fromX = std::max(maskLeft, FArea.Left);
    const std::int64_t toX = std::min(maskLeft + mask.Width, FArea.Right);
    const std::int64_t fromY = std::max(maskTop, FArea.Top);
    const std::int64_t toY = std::min(maskTop + mask.Height, FArea.Bottom);
    if (fromX >= toX || fromY >= toY)
        return;
    FMarked = true;
    const auto pixels = static_cast<std::size_t>(toX - fromX);
    const std::uint8_t* coverage = mask.Coverage.data() + static_cast<std::size_t>(fromY - maskTop) * mask.Stride() +
                                   static_cast<std::size_t>(fromX - maskLeft);
    TransmitRows(Row(fromY) + (fromX - FArea.Left), Stride(), coverage, mask.Stride(),
                 static_cast<std::size_t>(toY - fromY), pixels);
}

void TMarkerCanvas::Draw(std::size_t index, const TLocation& location, TMapPoint point, bool capital)
{
    // The square's outline as four 1-px strips.
    const std::int64_t x = point.X;
    const std::int64_t y = point.Y;
    const std::int64_t last = MarkerSquareSide - 1;
    Cover({x, y, x + MarkerSquareSide, y + 1});
    Cover({x, y + last, x + MarkerSquareSide, y + last + 1});
    Cover({x, y + 1, x + 1, y + last});
    Cover({x + last, y + 1, x + last + 1, y + last});

    if (location.Name.empty())
        return;
    // A label that cannot reach the area is not rendered.
    const QFontMetrics& metrics = capital ? FFonts.CapitalMetrics : FFonts.LabelMetrics;
    TLabelMasks& masks = capital ? FFonts.CapitalMasks : FFonts.LabelMasks;
    const std::int64_t left = x + MarkerSquareSide;
    const std::int64_t top = y + MarkerSquareSide;
    const std::int64_t reach = masks.Reach();
    if (left - reach >= FArea.Right || top - reach >= FArea.Bottom || top + metrics.height() + reach <= FArea.Top ||
        left + masks.WidthBound(location.Name) + reach <= FArea.Left)
        return;
    Scale(masks.Get(index, location.Name), left, top);
}

void TMarkerCanvas::Finish(TBitmap& view)
{
    if (!FMarked)
        return;
    BlendRows(view.ScanLine(static_cast<std::int32_t>(FArea.Top)) + 3 * FArea.Left, view.RowStride(), Row(FArea.Top),
              Stride(), static_cast<std::size_t>(FArea.Bottom - FArea.Top),
              static_cast<std::size_t>(FArea.Right - FArea.Left));
}

void DrawLocations(TBitmap& view, const TLocList& locations, int level, const TMarkerFonts& fonts)
{
    if (view.Empty())
        return;
    TMarkerCanvas canvas(fonts);
    canvas.Begin({0, 0, view.Width(), view.Height()});
    for (std::size_t i = 0; i < locations.size(); ++i) {
        const TLocation& location = locations[i];
        if (LevelShowsType(level, location.Type))
            canvas.Draw(i, location, WorldToMap(location.X, location.Y, level, view.Height()),
                        IsCapitalLabel(level, location.Type));
    }
    canvas.Finish(view);
}

void RenderLabelsAhead(const TLocList& locations, int level, const TMarkerFonts& fonts,
                       const std::function<bool()>& wanted)
{
    // Only a head start: a label that fails here is rendered again when it is
    // drawn, and fails there in its turn.
    try {
        for (std::size_t i = 0; i < locations.size(); ++i) {
            const TLocation& location = locations[i];
            if (!LevelShowsType(level, location.Type) || location.Name.empty())
                continue;
            if (!wanted())
                return;
            (IsCapitalLabel(level, location.Type) ? fonts.CapitalMasks : fonts.LabelMasks).Get(i, location.Name);
        }
    } catch (const std::exception&) {
    }
}
