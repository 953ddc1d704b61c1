#include "FormFixture.h"

#include "Color.h"
#include "MapImage.h"
#include "ScrollBar.h"
#include "SortedComboBox.h"
#include "ToolBar.h"
#include "ZoomGeometry.h"

#include <QFile>
#include <QFrame>
#include <QToolButton>

namespace {

// Three places whose level-0 map points lie inside a 660 x 760 map:
// Zeta Point (27, 65), alpha ford (38, 54) and Mid (16, 43).
const std::string ZetaPoint = Record("Zeta Point", "0", "-100000,-120000");
const std::string AlphaFord = Record("alpha ford", "1", "-90000,-110000");
const std::string Mid = Record("Mid", "0", "-110000,-100000");

QStringList Items(const QComboBox& box)
{
    QStringList items;
    for (int i = 0; i < box.count(); ++i)
        items << box.itemText(i);
    return items;
}

class MainFormTest : public TFormFixture {};

} // namespace

TEST_F(MainFormTest, TheWindowAndEveryControlAreLaidOut)
{
    WriteMap();
    WriteFile(LocationsFileName, ZetaPoint);
    const auto form = Start();

    EXPECT_EQ(form->windowTitle(), QStringLiteral("Kelderwyn Map"));
    EXPECT_EQ(form->pos(), QPoint(232, 113));
    EXPECT_EQ(form->size(), QSize(370, 464));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    const Qt::WindowFlags flags = form->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowSystemMenuHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(form->font().family(), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(form->font().pixelSize(), 11);
    EXPECT_EQ(form->palette().color(QPalette::Window), form->palette().color(QPalette::Button));
    EXPECT_FALSE(form->windowIcon().isNull());

    EXPECT_EQ(form->BevelMap->geometry(), QRect(10, 10, 332, 382));
    EXPECT_EQ(form->PanelMap->geometry(), QRect(11, 11, 330, 380));
    EXPECT_EQ(form->ImageMap->parentWidget(), form->PanelMap);
    EXPECT_EQ(form->ImageMap->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(form->ScrollBarH->Widget()->geometry(), QRect(11, 394, 330, 17));
    EXPECT_EQ(form->ScrollBarV->Widget()->geometry(), QRect(344, 11, 17, 380));
    EXPECT_EQ(form->ToolBar->geometry(), QRect(10, 424, 350, 25));

    struct TButton {
        QToolButton* Button;
        int Left;
        const char* Hint;
    };
    for (const TButton& expected : {TButton{form->ToolButtonZoomIn, 2, "Zoom In"},
                                    TButton{form->ToolButtonZoomOut, 25, "Zoom Out"},
                                    TButton{form->ToolButtonZoomActual, 48, "Actual Size"},
                                    TButton{form->ToolButtonGo, 323, "Go !"}}) {
        EXPECT_EQ(expected.Button->parentWidget(), form->ToolBar);
        EXPECT_EQ(expected.Button->geometry(), QRect(expected.Left, 0, 23, 22));
        EXPECT_EQ(expected.Button->toolTip(), QString::fromLatin1(expected.Hint));
        EXPECT_TRUE(expected.Button->autoRaise());
        EXPECT_EQ(expected.Button->toolButtonStyle(), Qt::ToolButtonIconOnly);
        EXPECT_FALSE(expected.Button->icon().isNull()) << expected.Hint;
        EXPECT_EQ(expected.Button->focusPolicy(), Qt::NoFocus);
    }
    EXPECT_EQ(form->ToolButtonGo->text(), QStringLiteral("Go"));
    EXPECT_EQ(form->ToolButton1->geometry(), QRect(71, 0, 8, 22));
    EXPECT_EQ(form->ToolButton3->geometry(), QRect(315, 0, 8, 22));
    EXPECT_EQ(form->CBLoc->parentWidget(), form->ToolBar);
    EXPECT_EQ(form->CBLoc->geometry(), QRect(79, 0, 236, 21));
    EXPECT_FALSE(form->CBLoc->isEditable());

    EXPECT_EQ(form->focusWidget(), form->PanelMap);
    // The tab stops, in order: the list in the tool bar, then the two bars.
    // The map takes the focus at start only; it is no tab stop.
    QList<QWidget*> stops;
    QWidget* widget = form->CBLoc;
    do {
        if (widget->focusPolicy() & Qt::TabFocus)
            stops << widget;
        widget = widget->nextInFocusChain();
    } while (widget != form->CBLoc);
    EXPECT_EQ(stops, (QList<QWidget*>{form->CBLoc, form->ScrollBarH->Widget(), form->ScrollBarV->Widget()}));
}

TEST_F(MainFormTest, StartUpShowsTheWholeMapWithTheLevel0Markers)
{
    WriteMap();
    WriteFile(LocationsFileName, "header\n" + ZetaPoint + AlphaFord + "notes\n" + Mid);
    const auto form = Start();

    EXPECT_TRUE(Errors.isEmpty()) << Errors.join(u'\n').toStdString();
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->ZoomLevel, 0);
    EXPECT_FALSE(form->Dragging);
    EXPECT_EQ(form->MasterBitmap.Width(), 660);
    EXPECT_EQ(form->MasterBitmap.Height(), 760);
    EXPECT_EQ(form->ViewBitmap().Width(), 66);
    EXPECT_EQ(form->ViewBitmap().Height(), 76);
    EXPECT_EQ(form->ImageMap->geometry(), QRect(0, 0, 66, 76));
    EXPECT_FALSE(QFile::exists(TempFileName));

    for (TScrollBar* bar : {form->ScrollBarH, form->ScrollBarV}) {
        EXPECT_FALSE(bar->Enabled());
        EXPECT_EQ(bar->Min(), 0);
        EXPECT_EQ(bar->Max(), 100);
        EXPECT_EQ(bar->Position(), 0);
    }

    ASSERT_EQ(form->LocList.size(), 3u);
    EXPECT_EQ(form->LocList[0].Name, "Zeta Point");
    EXPECT_EQ(form->LocList[1].Name, "alpha ford");
    EXPECT_EQ(form->LocList[2].Name, "Mid");
    EXPECT_EQ(Items(*form->CBLoc), (QStringList{"alpha ford", "Mid", "Zeta Point"}));
    EXPECT_EQ(form->CBLoc->currentIndex(), -1);
    EXPECT_EQ(form->CBLoc->currentText(), QString());

    for (const TLocation& location : form->LocList) {
        const TMapPoint point = WorldToMap(location.X, location.Y, 0, form->ViewBitmap().Height());
        EXPECT_EQ(IsMarker(form->ViewBitmap(), point), location.Type == 0) << location.Name;
    }

    // A second show does not run the start-up again.
    form->hide();
    form->show();
    QCoreApplication::processEvents();
    EXPECT_EQ(form->LocList.size(), 3u);
    EXPECT_EQ(form->CBLoc->count(), 3);
}

TEST_F(MainFormTest, ABadMapFileIsReportedAndLeavesTheWindowOpenWithNoMap)
{
    WriteFile(MapFileName, "this is not a picture");
    WriteFile(LocationsFileName, ZetaPoint);
    const auto form = Start();

    EXPECT_EQ(Errors, QStringList{QStringLiteral("JPEG error #53.")});
    EXPECT_EQ(ErrorDetails, QStringList{QStringLiteral("bigmap_hi.jpg: Not a JPEG file: starts with 0x74 0x68")});
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->ViewBitmap().Empty());
    EXPECT_TRUE(form->MasterBitmap.Empty());
    EXPECT_TRUE(form->LocList.empty());
    EXPECT_EQ(form->CBLoc->count(), 0);
}

TEST_F(MainFormTest, ANumberThatDoesNotConvertKeepsTheEarlierRecordsAndDrawsNoMarkers)
{
    WriteMap();
    WriteFile(LocationsFileName, ZetaPoint + Mid + Record("Broken", "two", "0,0") + AlphaFord);
    const auto form = Start();

    EXPECT_EQ(Errors, QStringList{QStringLiteral("'two' is not a valid integer value.")});
    EXPECT_TRUE(form->isVisible());
    ASSERT_EQ(form->LocList.size(), 2u);
    EXPECT_EQ(form->LocList[1].Name, "Mid");
    EXPECT_EQ(Items(*form->CBLoc), (QStringList{"Broken", "Mid", "Zeta Point"}));
    EXPECT_EQ(form->CBLoc->currentIndex(), -1);

    TBitmap clean = form->MasterBitmap;
    ScaleMap(0, form->MasterBitmap, clean);
    EXPECT_EQ(form->ViewBitmap(), clean);
    EXPECT_EQ(form->ImageMap->size(), QSize(66, 76));
}

TEST_F(MainFormTest, AMissingMapFileClosesTheWindowBeforeAnythingIsWritten)
{
    WriteFile(LocationsFileName, ZetaPoint);
    const auto form = Start();

    EXPECT_TRUE(Errors.isEmpty());
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(form->MasterBitmap.Empty());
    EXPECT_TRUE(form->LocList.empty());
    EXPECT_FALSE(QFile::exists(TempFileName));
}

TEST_F(MainFormTest, AMissingLocationFileClosesTheWindowAfterTheMapWasDecoded)
{
    WriteMap();
    QDir().mkdir(LocationsFileName);
    const auto form = Start();

    EXPECT_TRUE(Errors.isEmpty());
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->MasterBitmap.Width(), 660);
    EXPECT_TRUE(form->LocList.empty());
    EXPECT_EQ(form->CBLoc->count(), 0);
    EXPECT_FALSE(QFile::exists(TempFileName));
}

TEST_F(MainFormTest, TheWindowSeesTheShiftKeyWhateverControlHasTheFocus)
{
    WriteMap();
    WriteFile(LocationsFileName, ZetaPoint);
    const auto form = Start();

    for (QWidget* focused : {static_cast<QWidget*>(form->CBLoc), form->PanelMap}) {
        QTest::keyPress(focused, Qt::Key_Shift, Qt::ShiftModifier);
        EXPECT_TRUE(form->ShiftHeld);
        QTest::keyPress(focused, Qt::Key_A, Qt::ShiftModifier);
        EXPECT_TRUE(form->ShiftHeld);
        QTest::keyRelease(focused, Qt::Key_Shift);
        EXPECT_FALSE(form->ShiftHeld);
    }
}
