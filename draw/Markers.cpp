#include "Markers.h"

#include "AnsiText.h"
#include "LevelRules.h"
#include "MarkerBlend.h"
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

// Each row of the area is followed by the blend's padding, which no pixel uses.
void TMarkerCanvas::Begin(const TPixelRect& area)
{
    FArea = area;
    FMarked = false;
    const auto height = static_cast<std::size_t>(std::max<std::int64_t>(area.Bottom - area.Top, 0));
    FTransmission.assign(Stride() * height, 255);
}

std::size_t TMarkerCanvas::Stride() const
{
    return static_cast<std::size_t>(FArea.Right - FArea.Left) + BlendPadding;
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
