#include "FormFixture.h"

#include "Color.h"
#include "MarkerLayer.h"
#include "SortedComboBox.h"

#include <QToolButton>

#include <map>
#include <random>

namespace {

// Places in a few tight clusters, one at the top-left corner, so that labels
// overlap each other and cross tile seams and the image's edges; names of
// random bytes (tabs and control characters among them, but none that would
// end a line or the data of a database file), types -1 to 5.
TLocList RandomPlaces(std::mt19937& random, int count)
{
    std::vector<std::pair<std::int32_t, std::int32_t>> centres{{-127000, 222000}};
    for (int i = 0; i < 5; ++i)
        centres.emplace_back(-125000 + static_cast<std::int32_t>(random() % 300000),
                             -130000 + static_cast<std::int32_t>(random() % 350000));
    TLocList places;
    for (int i = 0; i < count; ++i) {
        const auto [x, y] = centres[random() % centres.size()];
        std::string name(random() % 14, ' ');
        for (char& c : name)
            while (c == ' ' || c == '\n' || c == '\r' || c == '\x1A')
                c = static_cast<char>(1 + random() % 255);
        const std::int32_t type = static_cast<std::int32_t>(random() % 7) - 1;
        const std::int32_t dx = static_cast<std::int32_t>(random() % 9000) - 4500;
        const std::int32_t dy = static_cast<std::int32_t>(random() % 9000) - 4500;
        places.push_back({name, type, x + dx, y + dy});
    }
    return places;
}

::testing::AssertionResult SameIn(const TBitmap& picture, const TBitmap& expected, QRect area)
{
    area &= QRect(0, 0, expected.Width(), expected.Height());
    for (int y = area.top(); y <= area.bottom(); ++y)
        if (std::memcmp(picture.ScanLine(y) + 3 * area.left(), expected.ScanLine(y) + 3 * area.left(),
                        3 * static_cast<std::size_t>(area.width())) != 0)
            return ::testing::AssertionFailure() << "row " << y << " differs";
    return ::testing::AssertionSuccess();
}

} // namespace

// Drawn by tiles in any order, the areas first shown and then the rest, the
// picture is the whole pass's, pixel for pixel, at every level.
TEST(MarkerLayerTest, TilesDrawnInAnyOrderGiveThePictureOfTheWholePass)
{
    const TMarkerFonts fonts;
    TMarkerLayer layer(fonts);
    std::mt19937 random(1517);
    const TLocList places = RandomPlaces(random, 600);
    for (int level = 0; level <= MaxZoomLevel; ++level) {
        const TBitmap clean = PatternBitmap(ScaledSide(3300, level), ScaledSide(3800, level));
        TBitmap expected = clean;
        DrawLocations(expected, places, level, fonts);
        TBitmap picture = clean;
        layer.Reset(picture, places, level);
        for (int view = 0; view < 8; ++view) {
            const int x = static_cast<int>(random() % static_cast<unsigned>(clean.Width())) - 200;
            const int y = static_cast<int>(random() % static_cast<unsigned>(clean.Height())) - 200;
            // A viewport, or a strip one pixel wide as a pan uncovers it.
            const QRect area = view % 2 ? QRect(x, y, ViewportWidth, ViewportHeight) : QRect(x, y, 1, ViewportHeight);
            layer.DrawArea(area);
            EXPECT_TRUE(SameIn(picture, expected, area)) << "level " << level << " view " << view;
        }
        layer.DrawAll();
        EXPECT_TRUE(picture == expected) << "level " << level;
    }
}

class MarkerLayerWindowTest : public TFormFixture {};

// In the window: whatever ImageMap paints, after zooms, pans and at every
// step of a Go, is the whole pass's picture of the level there.
TEST_F(MarkerLayerWindowTest, EveryPaintShowsThePictureOfTheWholePass)
{
    std::mt19937 random(1518);
    std::string database;
    for (const TLocation& place : RandomPlaces(random, 400))
        database += Record(place.Name, std::to_string(place.Type), std::to_string(place.X) + "," + std::to_string(place.Y));
    const auto form = StartOn(3300, 3800, database);
    ASSERT_EQ(form->LocList.size(), 400u);

    std::map<int, TBitmap> expected;
    const auto expectedAt = [&](int level) -> const TBitmap& {
        auto [it, added] = expected.try_emplace(level);
        if (added) {
            it->second = form->MasterBitmap;
            ScaleMap(level, form->MasterBitmap, it->second);
            DrawLocations(it->second, form->LocList, level, form->MarkerFonts);
        }
        return it->second;
    };
    int paints = 0;
    QObject::connect(form->ImageMap, &TMapImage::AboutToPaint, form.get(), [&](const QRect& area) {
        ++paints;
        EXPECT_TRUE(SameIn(form->ViewBitmap, expectedAt(form->ZoomLevel), area)) << "level " << form->ZoomLevel;
    });

    for (int step = 0; step < 14; ++step) {
        if (step % 3 == 0) {
            form->CBLoc->setCurrentIndex(static_cast<int>(random() % static_cast<unsigned>(form->CBLoc->count())));
            QTest::mouseClick(form->ToolButtonGo, Qt::LeftButton);
        } else {
            QTest::mouseClick(step % 3 == 1 ? form->ToolButtonZoomIn : form->ToolButtonZoomOut, Qt::LeftButton);
        }
        QCoreApplication::processEvents();
        for (int pan = 0; pan < 3; ++pan) {
            PanTo(*form, form->ScrollBarH->Position() + static_cast<int>(random() % 301) - 150,
                  form->ScrollBarV->Position() + static_cast<int>(random() % 301) - 150);
            QCoreApplication::processEvents();
        }
        form->FinishMarkers();
        ASSERT_TRUE(form->ViewBitmap == expectedAt(form->ZoomLevel)) << "level " << form->ZoomLevel;
    }
    EXPECT_GT(paints, 30);
}
