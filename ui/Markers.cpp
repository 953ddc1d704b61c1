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

// Whether a rectangle given in 64-bit pixels meets the image. Markers far
// outside are skipped: nothing of them would show, and the painter's
// fixed-point coordinates cannot hold the extreme points of the transform.
bool Meets(std::int64_t left, std::int64_t top, std::int64_t width, std::int64_t height, std::int32_t imageWidth,
           std::int32_t imageHeight)
{
    return left < imageWidth && top < imageHeight && left + width > 0 && top + height > 0;
}

// The outline as four 1-px strips: exact at every pixel, also where the
// image edge cuts the square (drawRect's outline loses a corner there).
void DrawSquare(QPainter& painter, int left, int top)
{
    const int last = MarkerSquareSide - 1;
    painter.fillRect(left, top, MarkerSquareSide, 1, MarkerColor);
    painter.fillRect(left, top + last, MarkerSquareSide, 1, MarkerColor);
    painter.fillRect(left, top + 1, 1, MarkerSquareSide - 2, MarkerColor);
    painter.fillRect(left + last, top + 1, 1, MarkerSquareSide - 2, MarkerColor);
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

bool IsCapitalLabel(int level, std::int32_t type)
{
    return level >= CapitalFromLevel && type == 0;
}

QImage MarkerImage(TBitmap& view)
{
    return QImage(view.Bits(), view.Width(), view.Height(), static_cast<qsizetype>(view.RowStride()),
                  QImage::Format_BGR888);
}

TMarkerPainter::TMarkerPainter(QImage& image, const TMarkerFonts& fonts)
    : FPainter(&image), FFonts(fonts), FWidth(image.width()), FHeight(image.height())
{
    FPainter.setPen(MarkerColor);
    FPainter.setBrush(Qt::NoBrush);
}

void TMarkerPainter::Draw(const TLocation& location, TMapPoint point, bool capital)
{
    const QFont& font = capital ? FFonts.Capital : FFonts.Label;
    const QFontMetrics& metrics = capital ? FFonts.CapitalMetrics : FFonts.LabelMetrics;

    if (Meets(point.X, point.Y, MarkerSquareSide, MarkerSquareSide, FWidth, FHeight))
        DrawSquare(FPainter, point.X, point.Y);

    const QString name = AnsiToQString(location.Name);
    const std::int64_t left = std::int64_t{point.X} + MarkerSquareSide;
    const std::int64_t top = std::int64_t{point.Y} + MarkerSquareSide;
    // The label's width matters only when it starts left of the image;
    // measuring it costs as much as drawing it.
    const std::int64_t width = left < 0 ? metrics.horizontalAdvance(name) + metrics.maxWidth() : metrics.maxWidth();
    if (name.isEmpty() || !Meets(left, top, width, metrics.height(), FWidth, FHeight))
        return;
    if (FCurrent != &font) {
        FPainter.setFont(font);
        FCurrent = &font;
    }
    // Text is placed by its baseline; the label's top sits one ascent above it.
    FPainter.drawText(static_cast<int>(left), static_cast<int>(top) + metrics.ascent(), name);
}

void DrawLocations(TBitmap& view, const TLocList& locations, int level, const TMarkerFonts& fonts)
{
    if (view.Empty())
        return;
    QImage image = MarkerImage(view);
    TMarkerPainter painter(image, fonts);
    for (const TLocation& location : locations)
        if (LevelShowsType(level, location.Type))
            painter.Draw(location, WorldToMap(location.X, location.Y, level, view.Height()),
                         IsCapitalLabel(level, location.Type));
}
