#include "Markers.h"

#include "AnsiText.h"
#include "LevelRules.h"
#include "ZoomGeometry.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <cstdint>

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

constexpr int SquareSide = 5;

// Whether a rectangle given in 64-bit pixels meets the image. Markers far
// outside are skipped: nothing of them would show, and the painter's
// fixed-point coordinates cannot hold the extreme points of the transform.
bool Meets(std::int64_t left, std::int64_t top, std::int64_t width, std::int64_t height, const TBitmap& view)
{
    return left < view.Width() && top < view.Height() && left + width > 0 && top + height > 0;
}

// The outline as four 1-px strips: exact at every pixel, also where the
// image edge cuts the square (drawRect's outline loses a corner there).
void DrawSquare(QPainter& painter, int left, int top)
{
    const int last = SquareSide - 1;
    painter.fillRect(left, top, SquareSide, 1, MarkerColor);
    painter.fillRect(left, top + last, SquareSide, 1, MarkerColor);
    painter.fillRect(left, top + 1, 1, SquareSide - 2, MarkerColor);
    painter.fillRect(left + last, top + 1, 1, SquareSide - 2, MarkerColor);
}

} // namespace

TMarkerFonts::TMarkerFonts()
    : Label(MakeFont(FormFontPixelSize, false)), Capital(MakeFont(CapitalFontPixelSize, true)),
      LabelMetrics(Label), CapitalMetrics(Capital)
{
}

void TMarkerFonts::Load() const
{
    static_cast<void>(LabelMetrics.ascent());
    static_cast<void>(CapitalMetrics.ascent());
}

void DrawLocations(TBitmap& view, const TLocList& locations, int level, const TMarkerFonts& fonts)
{
    if (view.Empty())
        return;
    QImage image(view.Bits(), view.Width(), view.Height(), static_cast<qsizetype>(view.RowStride()),
                 QImage::Format_BGR888);
    QPainter painter(&image);
    painter.setPen(MarkerColor);
    painter.setBrush(Qt::NoBrush);

    const QFont* current = nullptr;
    for (const TLocation& location : locations) {
        if (!LevelShowsType(level, location.Type))
            continue;
        const TMapPoint point = WorldToMap(location.X, location.Y, level, view.Height());
        const bool capital = level >= CapitalFromLevel && location.Type == 0;
        const QFont& font = capital ? fonts.Capital : fonts.Label;
        const QFontMetrics& metrics = capital ? fonts.CapitalMetrics : fonts.LabelMetrics;

        if (Meets(point.X, point.Y, SquareSide, SquareSide, view))
            DrawSquare(painter, point.X, point.Y);

        const QString name = AnsiToQString(location.Name);
        const std::int64_t left = std::int64_t{point.X} + SquareSide;
        const std::int64_t top = std::int64_t{point.Y} + SquareSide;
        // The label's width matters only when it starts left of the image;
        // measuring it costs as much as drawing it.
        const std::int64_t width = left < 0 ? metrics.horizontalAdvance(name) + metrics.maxWidth() : metrics.maxWidth();
        if (name.isEmpty() || !Meets(left, top, width, metrics.height(), view))
            continue;
        if (current != &font) {
            painter.setFont(font);
            current = &font;
        }
        // Text is placed by its baseline; the label's top sits one ascent above it.
        painter.drawText(static_cast<int>(left), static_cast<int>(top) + metrics.ascent(), name);
    }
}
