// The map on a screen with more device pixels than logical ones. ctest runs
// these tests once more with QT_SCALE_FACTOR=2 (together with the layout test
// of the window): the window keeps its layout in logical pixels, and every
// pixel of the map, markers included, becomes a solid block of device pixels,
// never a blend of its neighbours.
#include "FormFixture.h"

#include "MapImage.h"
#include "ZoomGeometry.h"

#include <QImage>
#include <QPixmap>
#include <QSet>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

// 10-pixel squares of two far-apart colours: the overview takes one pixel of
// each, so neighbouring map pixels differ strongly and any blend shows.
TBitmap Checkerboard(std::int32_t width, std::int32_t height)
{
    TBitmap picture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* pixel = picture.ScanLine(y) + 3 * x;
            const bool dark = (x / 10 + y / 10) % 2 != 0;
            pixel[0] = dark ? 40 : 200;
            pixel[1] = dark ? 70 : 160;
            pixel[2] = dark ? 20 : 90;
        }
    return picture;
}

QRgb MapPixel(const TBitmap& bitmap, int x, int y)
{
    const std::uint8_t* pixel = bitmap.ScanLine(y) + 3 * x;
    return qRgb(pixel[2], pixel[1], pixel[0]);
}

// The ratio the tests run at: QT_SCALE_FACTOR when ctest sets it, else 1.
qreal ExpectedRatio()
{
    bool ok = false;
    const qreal factor = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&ok);
    return ok ? factor : 1.0;
}

class HighDpiTest : public TFormFixture {
protected:
    void SetUp() override
    {
        TFormFixture::SetUp();
        WriteMapPicture(Checkerboard(1650, 1900));
        // Level 0 map point (68, 118) of the 165 x 190 overview.
        WriteFile(LocationsFileName, Record("Harrowgate", "0", "-63000,-64600"));
        Form = Start();
        ASSERT_TRUE(Form->isVisible());
        ASSERT_TRUE(Errors.isEmpty()) << Errors.join(u'\n').toStdString();
    }

    std::unique_ptr<TMainForm> Form;
};

} // namespace

TEST_F(HighDpiTest, EveryMapPixelIsASolidBlockOfDevicePixels)
{
    const qreal ratio = ExpectedRatio();
    ASSERT_EQ(ratio, std::floor(ratio)) << "the block test needs a whole ratio";
    const int scale = static_cast<int>(ratio);
    EXPECT_EQ(Form->devicePixelRatioF(), ratio);

    const TBitmap& view = Form->ViewBitmap();
    ASSERT_EQ(Form->ImageMap->size(), QSize(165, 190));
    const TMapPoint marker = WorldToMap(-63000, -64600, 0, view.Height());
    ASSERT_EQ(MapPixel(view, marker.X, marker.Y), qRgb(255, 241, 155));

    // As after panning: the picture stands at a negative offset in the viewport.
    const QPoint offset(-13, -7);
    Form->ImageMap->move(offset);
    const QImage shown = Form->PanelMap->grab().toImage();
    ASSERT_EQ(shown.size(), QSize(330, 380) * scale);

    const int columns = view.Width() + offset.x();
    const int rows = view.Height() + offset.y();
    int mismatches = 0;
    for (int y = 0; y < rows * scale; ++y)
        for (int x = 0; x < columns * scale; ++x) {
            const QRgb expected = MapPixel(view, x / scale - offset.x(), y / scale - offset.y());
            if (shown.pixel(x, y) != expected && ++mismatches <= 5)
                ADD_FAILURE() << "device pixel (" << x << ", " << y << ") is " << std::hex << shown.pixel(x, y)
                              << ", its map pixel " << expected;
        }
    EXPECT_EQ(mismatches, 0);

    // The marker's square: its top-left map pixel is a block of the marker
    // colour, and so is the whole top edge of the outline.
    const QPoint corner = (QPoint(marker.X, marker.Y) + offset) * scale;
    for (int dy = 0; dy < scale; ++dy)
        for (int dx = 0; dx < 5 * scale; ++dx)
            EXPECT_EQ(shown.pixel(corner.x() + dx, corner.y() + dy), qRgb(255, 241, 155)) << dx << ", " << dy;
}

// The tool bar's glyphs are drawn for the screen's ratio, not scaled up.
TEST_F(HighDpiTest, TheGlyphsAreDrawnForTheRatio)
{
    const qreal ratio = ExpectedRatio();
    const std::pair<QToolButton*, const char*> glyphs[] = {{Form->ToolButtonZoomIn, "zoom_in"},
        {Form->ToolButtonZoomOut, "zoom_out"}, {Form->ToolButtonZoomActual, "zoom_actual"}, {Form->ToolButtonGo, "go"}};
    for (const auto& [button, name] : glyphs) {
        // A pixmap keeps its pixels premultiplied.
        const QImage drawn = QImage(QStringLiteral(":/glyphs/%1%2.png").arg(name, ratio > 1 ? "@2x" : ""))
                                 .convertToFormat(QImage::Format_ARGB32_Premultiplied);
        EXPECT_EQ(button->icon().pixmap(QSize(16, 16), std::ceil(ratio)).toImage().convertToFormat(drawn.format()),
                  drawn) << name;
    }
}

// At a fractional ratio the map is filtered, the same whether it is painted
// at once or part by part, as scrolling paints it (up to the filter's
// rounding, which depends on where a part starts).
TEST_F(HighDpiTest, AtAFractionalRatioTheMapIsFilteredAlikeInEveryPart)
{
    const qreal ratio = ExpectedRatio();
    if (ratio == std::floor(ratio))
        GTEST_SKIP() << "for a fractional ratio";
    const auto paint = [&](const std::vector<QRect>& parts) {
        QImage image(Form->ImageMap->size() * ratio, QImage::Format_RGB32);
        image.setDevicePixelRatio(ratio);
        for (const QRect& part : parts)
            Form->ImageMap->render(&image, part.topLeft(), QRegion(part));
        return image;
    };
    const QImage whole = paint({Form->ImageMap->rect()});
    const QImage split = paint({QRect(0, 0, 82, 190), QRect(82, 0, 83, 190)});
    // Blocks would show only colours of the map's own pixels (of row 20).
    QSet<QRgb> mapColours;
    const TBitmap& view = Form->ViewBitmap();
    for (int x = 0; x < view.Width(); ++x)
        mapColours.insert(MapPixel(view, x, 20));
    int largest = 0, blends = 0;
    for (int y = 0; y < whole.height(); ++y)
        for (int x = 0; x < whole.width(); ++x) {
            const QRgb a = whole.pixel(x, y), b = split.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                std::abs(qBlue(a) - qBlue(b))});
            blends += y == 30 && !mapColours.contains(a);
        }
    EXPECT_LE(largest, 1);
    EXPECT_GT(blends, whole.width() / 2);
}
