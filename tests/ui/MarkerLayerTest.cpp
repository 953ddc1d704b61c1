#include "FormFixture.h"

#include "Color.h"
#include "MarkerLayer.h"
#include "MarkerTestPlaces.h"
#include "SortedComboBox.h"

#include <QToolButton>

#include <map>
#include <random>

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
        EXPECT_TRUE(SameIn(form->ImageMap->Picture(), expectedAt(form->ZoomLevel), area)) << "level " << form->ZoomLevel;
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
        ASSERT_TRUE(form->ViewBitmap() == expectedAt(form->ZoomLevel)) << "level " << form->ZoomLevel;
    }
    EXPECT_GT(paints, 30);
}
