// Zooming, scrolling, the wheel and dragging on the real window, driven with
// the user's own input. Most cases run on a 3300 x 3800 master, set straight
// into the window after start-up instead of being decoded from a large file.
#include "FormFixture.h"

#include "Color.h"
#include "MapImage.h"
#include "LevelRules.h"
#include "Markers.h"
#include "ScrollBar.h"
#include "SortedComboBox.h"
#include "ToolBar.h"
#include "ZoomGeometry.h"

#include <QKeyEvent>
#include <QToolButton>
#include <QWindow>

#include <map>
#include <random>
#include <utility>

namespace {

const std::string Locations = Record("Capital", "0", "0,0") + Record("Town", "2", "50000,60000") +
                              Record("Village", "4", "-100000,200000");

// Counts the key presses a control itself receives.
class TKeyCounter : public QObject {
public:
    int Presses = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress)
            ++Presses;
        return false;
    }
};

class NavigationTest : public TFormFixture {
protected:
    std::unique_ptr<TMainForm> StartOn(std::int32_t width, std::int32_t height)
    {
        return TFormFixture::StartOn(width, height, Locations);
    }

    // Moves far outside the window are part of the tests; Qt Test warns of each.
    void SetUp() override
    {
        TFormFixture::SetUp();
        PreviousHandler = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
                if (!message.startsWith(QStringLiteral("Mouse event at ")))
                    PreviousHandler(type, context, message);
            });
    }

    void TearDown() override
    {
        qInstallMessageHandler(PreviousHandler);
        TFormFixture::TearDown();
    }

    static inline QtMessageHandler PreviousHandler = nullptr;

    std::unique_ptr<TMainForm> StartAtLevel(int level, std::int32_t h = 0, std::int32_t v = 0)
    {
        auto form = StartOn(3300, 3800);
        for (int i = 0; i < level; ++i)
            form->ZoomButtonClick(form->ToolButtonZoomIn);
        PanTo(*form, h, v);
        return form;
    }

    static void Click(QToolButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    static void Key(QWidget* receiver, QEvent::Type type, int key, Qt::KeyboardModifiers modifiers, bool repeat)
    {
        QKeyEvent event(type, key, modifiers, QString(), repeat);
        QSpontaneKeyEvent::setSpontaneous(&event);
        QApplication::instance()->notify(receiver, &event);
    }

    // Mouse input through the window, as the window system delivers it: the
    // press picks the control under the pointer and Qt's implicit grab keeps
    // the moves and the release with it.
    static void Press(TMainForm& form, QPoint at, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mousePress(form.windowHandle(), button, {}, at);
    }
    static void MoveTo(TMainForm& form, QPoint at) { QTest::mouseMove(form.windowHandle(), at); }
    static void Release(TMainForm& form, QPoint at, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseRelease(form.windowHandle(), button, {}, at);
    }

    // The map point under a point of the window.
    static QPoint MapPointAt(const TMainForm& form, QPoint at) { return form.ImageMap->mapFrom(&form, at); }

    static void ClickBar(TMainForm& form, TScrollBar* bar, QStyle::SubControl part)
    {
        const QPoint at = bar->Widget()->mapTo(&form, ScrollBarControlRect(*bar->Widget(), part).center());
        QTest::mouseClick(form.windowHandle(), Qt::LeftButton, {}, at);
    }
};

} // namespace

TEST_F(NavigationTest, ZoomInGoesOneLevelAtATimeAndKeepsTheReferencePoint)
{
    const auto form = StartOn(3300, 3800);
    const QSize sizes[] = {{330, 380}, {660, 760}, {825, 950}, {1100, 1266}, {1650, 1900}, {2475, 2850}, {3300, 3800}};
    EXPECT_EQ(form->ImageMap->size(), sizes[0]);
    for (int level = 1; level <= 6; ++level) {
        Click(form->ToolButtonZoomIn);
        ASSERT_EQ(form->ZoomLevel, level);
        EXPECT_EQ(form->ImageMap->size(), sizes[level]);
        EXPECT_EQ(form->ScrollBarH->Max(), sizes[level].width() - 330);
        EXPECT_EQ(form->ScrollBarV->Max(), sizes[level].height() - 380);
        EXPECT_TRUE(ViewIsConsistent(*form));
        if (level == 1) {
            EXPECT_EQ(Positions(*form), QPoint(165, 195));
        }
    }
    EXPECT_TRUE(Errors.isEmpty()) << Errors.join(u'\n').toStdString();

    // At the top of the range the click changes nothing, not even the picture.
    const TBitmap before = form->ViewBitmap();
    PanTo(*form, 700, 900);
    Click(form->ToolButtonZoomIn);
    EXPECT_EQ(form->ZoomLevel, 6);
    EXPECT_EQ(Positions(*form), QPoint(700, 900));
    EXPECT_TRUE(form->ViewBitmap().SharesPixelsWith(before));

    // From level 1 at the top-left corner.
    const auto other = StartAtLevel(1);
    Click(other->ToolButtonZoomIn);
    EXPECT_EQ(Positions(*other), QPoint(41, 48));
}

TEST_F(NavigationTest, ZoomOutRecentresAndLevel0ShowsTheWholeMap)
{
    const auto form = StartAtLevel(1, 100, 100);
    Click(form->ToolButtonZoomIn);
    EXPECT_EQ(Positions(*form), QPoint(166, 173));
    Click(form->ToolButtonZoomOut);
    EXPECT_EQ(form->ZoomLevel, 1);
    EXPECT_EQ(Positions(*form), QPoint(99, 99));
    EXPECT_TRUE(ViewIsConsistent(*form));

    Click(form->ToolButtonZoomOut);
    EXPECT_EQ(form->ZoomLevel, 0);
    EXPECT_TRUE(ViewIsConsistent(*form));
    EXPECT_EQ(form->ImageMap->geometry(), QRect(0, 0, 330, 380));
    EXPECT_EQ(form->ScrollBarH->Max(), 330) << "level 0 keeps the last maxima";
    EXPECT_EQ(form->ScrollBarV->Max(), 380);

    const TBitmap before = form->ViewBitmap();
    Click(form->ToolButtonZoomOut);
    EXPECT_EQ(form->ZoomLevel, 0);
    EXPECT_TRUE(form->ViewBitmap().SharesPixelsWith(before)) << "nothing is rebuilt at the bottom of the range";

    // Near the top-left corner the new positions are negative, near the
    // bottom-right corner beyond the new maxima: the bars clamp both.
    const auto topLeft = StartAtLevel(6, 0, 0);
    Click(topLeft->ToolButtonZoomOut);
    EXPECT_EQ(Positions(*topLeft), QPoint(0, 0));
    const auto bottomRight = StartAtLevel(6, 2970, 3420);
    Click(bottomRight->ToolButtonZoomOut);
    EXPECT_EQ(bottomRight->ZoomLevel, 5);
    EXPECT_EQ(Positions(*bottomRight), QPoint(2145, 2470));
    EXPECT_TRUE(ViewIsConsistent(*bottomRight));
}

TEST_F(NavigationTest, ActualSizeGoesStraightToTheOverviewAndRebuildsIt)
{
    const auto form = StartAtLevel(5, 600, 700);
    Click(form->ToolButtonZoomActual);
    EXPECT_EQ(form->ZoomLevel, 0);
    EXPECT_TRUE(ViewIsConsistent(*form));
    EXPECT_EQ(form->ScrollBarH->Max(), 2145);
    EXPECT_EQ(form->ScrollBarV->Max(), 2470);

    // At level 0 it draws the overview afresh, into a picture of its own.
    const TBitmap before = form->ViewBitmap();
    Click(form->ToolButtonZoomActual);
    EXPECT_FALSE(form->ViewBitmap().SharesPixelsWith(before));
    EXPECT_EQ(form->ViewBitmap(), before);
    EXPECT_TRUE(IsMarker(form->ViewBitmap(), WorldToMap(0, 0, 0, 380)));
    EXPECT_TRUE(ViewIsConsistent(*form));
}

TEST_F(NavigationTest, EveryLevelShowsItsOwnMarkersOnACleanCopyOfTheMaster)
{
    const auto form = StartOn(3300, 3800);
    for (int step = 0; step < 12; ++step) {
        Click(step < 6 ? form->ToolButtonZoomIn : form->ToolButtonZoomOut);
        const int level = form->ZoomLevel;
        TBitmap clean = form->MasterBitmap;
        ScaleMap(level, form->MasterBitmap, clean);
        for (const TLocation& location : form->LocList) {
            const TMapPoint point = WorldToMap(location.X, location.Y, level, clean.Height());
            EXPECT_EQ(IsMarker(form->ViewBitmap(), point), LevelShowsType(level, location.Type))
                << location.Name << " at level " << level;
        }
        // Away from the markers the picture is the scaled master.
        EXPECT_EQ(std::memcmp(form->ViewBitmap().ScanLine(0), clean.ScanLine(0), 3 * 100), 0);
    }
    EXPECT_EQ(form->ZoomLevel, 0);
    EXPECT_TRUE(form->MasterBitmap.SharesPixelsWith(SharedMaster(3300, 3800)));
    EXPECT_EQ(form->MasterBitmap, PatternBitmap(3300, 3800));
}

TEST_F(NavigationTest, KeypadPlusAndMinusZoomWhicheverControlHasTheFocus)
{
    const auto form = StartOn(3300, 3800);
    TKeyCounter listKeys;
    form->CBLoc->installEventFilter(&listKeys);
    form->CBLoc->setFocus();
    QTest::keyClick(form->CBLoc, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(form->ZoomLevel, 1);
    EXPECT_EQ(Positions(*form), QPoint(165, 195));
    EXPECT_EQ(listKeys.Presses, 1) << "the focused control still gets the key";

    form->PanelMap->setFocus();
    QTest::keyClick(form->PanelMap, Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(form->ZoomLevel, 0);
    EXPECT_TRUE(ViewIsConsistent(*form));

    // The main keyboard's plus, equals and minus do not zoom.
    for (const Qt::Key key : {Qt::Key_Plus, Qt::Key_Equal, Qt::Key_Minus})
        QTest::keyClick(form->PanelMap, key);
    QTest::keyClick(form->PanelMap, Qt::Key_Plus, Qt::ShiftModifier);
    EXPECT_EQ(form->ZoomLevel, 0);
    EXPECT_TRUE(Errors.isEmpty()) << Errors.join(u'\n').toStdString();
}

TEST_F(NavigationTest, EveryAutoRepeatedKeypadPressIsOneStepAndRepeatedReleasesAreNotKeyUps)
{
    const auto form = StartOn(3300, 3800);
    QWidget* focused = form->PanelMap;
    Key(focused, QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier, false);
    Key(focused, QEvent::KeyPress, Qt::Key_Plus, Qt::KeypadModifier | Qt::ShiftModifier, false);
    EXPECT_EQ(form->ZoomLevel, 1);
    for (int repeat = 1; repeat <= 8; ++repeat) {
        Key(focused, QEvent::KeyRelease, Qt::Key_Plus, Qt::KeypadModifier, true);
        Key(focused, QEvent::KeyRelease, Qt::Key_Shift, Qt::ShiftModifier, true);
        Key(focused, QEvent::KeyPress, Qt::Key_Plus, Qt::KeypadModifier, true);
        EXPECT_EQ(form->ZoomLevel, std::min(1 + repeat, 6));
        EXPECT_TRUE(form->ShiftHeld);
    }
    Key(focused, QEvent::KeyRelease, Qt::Key_Plus, Qt::KeypadModifier, false);
    EXPECT_EQ(form->ZoomLevel, 6);
    EXPECT_TRUE(ViewIsConsistent(*form));

    for (int repeat = 0; repeat < 3; ++repeat)
        Key(focused, QEvent::KeyPress, Qt::Key_Minus, Qt::KeypadModifier, repeat > 0);
    EXPECT_EQ(form->ZoomLevel, 3);
    Key(focused, QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier, false);
    EXPECT_FALSE(form->ShiftHeld);
}

TEST_F(NavigationTest, TheWheelStepsAtMostFivePixelsAndStopsAtTheBarsEnds)
{
    const auto form = StartAtLevel(1, 100, 3);
    QWidget* image = form->ImageMap;
    TurnWheel(image, 120);
    EXPECT_EQ(Positions(*form), QPoint(100, 0));
    EXPECT_EQ(form->ImageMap->y(), 0);
    TurnWheel(image, 120);
    EXPECT_EQ(Positions(*form), QPoint(100, 0));

    PanTo(*form, 100, 378);
    TurnWheel(image, -120);
    EXPECT_EQ(Positions(*form), QPoint(100, 380));
    EXPECT_EQ(form->ImageMap->y(), -380);
    TurnWheel(image, -120);
    EXPECT_EQ(Positions(*form), QPoint(100, 380));

    // Only the sign counts, and 0 goes the way of a negative turn.
    PanTo(*form, 100, 100);
    const std::pair<int, int> turns[] = {{0, 105}, {240, 100}, {-240, 105}, {1, 100}, {-1, 105}};
    for (const auto& [delta, position] : turns) {
        TurnWheel(image, delta);
        EXPECT_EQ(form->ScrollBarV->Position(), position) << "delta " << delta;
        EXPECT_TRUE(ViewIsConsistent(*form));
    }

    // With Shift down the wheel moves the horizontal bar, by the same rules.
    QTest::keyPress(form->PanelMap, Qt::Key_Shift);
    TurnWheel(image, -120);
    TurnWheel(image, -120);
    EXPECT_EQ(Positions(*form), QPoint(110, 105));
    PanTo(*form, 2, 105);
    TurnWheel(image, 120);
    EXPECT_EQ(Positions(*form), QPoint(0, 105));
    EXPECT_TRUE(ViewIsConsistent(*form));
    QTest::keyRelease(form->PanelMap, Qt::Key_Shift);

    // One step per notice wherever the pointer is.
    PanTo(*form, 50, 50);
    const std::vector<QWidget*> receivers = {form->ScrollBarV->Widget(), form->ScrollBarH->Widget(), form->ToolBar,
                                             form->ToolButtonGo, form.get()};
    for (QWidget* receiver : receivers)
        TurnWheel(receiver, -120);
    EXPECT_EQ(Positions(*form), QPoint(50, 75));
    EXPECT_TRUE(ViewIsConsistent(*form));
}

TEST_F(NavigationTest, TheWheelLeavesTheMapAloneAtLevel0AndWhileTheListHasTheFocus)
{
    const auto form = StartOn(3300, 3800);
    TurnWheel(form->ImageMap, -120);
    TurnWheel(form->ImageMap, 120);
    EXPECT_TRUE(ViewIsConsistent(*form));
    EXPECT_FALSE(form->ScrollBarV->Enabled());

    Click(form->ToolButtonZoomIn);
    form->CBLoc->setFocus();
    ASSERT_TRUE(form->CBLoc->hasFocus());
    TurnWheel(form->ImageMap, -120);
    TurnWheel(form->CBLoc, -120);
    EXPECT_EQ(Positions(*form), QPoint(165, 195));
    EXPECT_TRUE(ViewIsConsistent(*form));

    form->PanelMap->setFocus();
    TurnWheel(form->ImageMap, -120);
    EXPECT_EQ(Positions(*form), QPoint(165, 200));
}

TEST_F(NavigationTest, ADragFollowsThePointerOnEachAxisUpToTheBarsEnds)
{
    const auto form = StartAtLevel(1, 3, 100);
    const QPoint start(150, 150);
    const QPoint grabbed = MapPointAt(*form, start);
    Press(*form, start);
    EXPECT_TRUE(form->Dragging);

    // Three pixels are left to the left edge: the map moves 3, the pointer 10.
    MoveTo(*form, start + QPoint(10, 0));
    EXPECT_EQ(Positions(*form), QPoint(0, 100));
    EXPECT_EQ(MapPointAt(*form, start + QPoint(10, 0)), grabbed + QPoint(7, 0));
    EXPECT_TRUE(ViewIsConsistent(*form));

    // At the left end the horizontal axis stays while the vertical one follows.
    MoveTo(*form, start + QPoint(30, 20));
    EXPECT_EQ(Positions(*form), QPoint(0, 80));
    EXPECT_EQ(MapPointAt(*form, start + QPoint(30, 20)), grabbed + QPoint(27, 0));
    // Back past the grabbed point the horizontal axis follows again.
    MoveTo(*form, start + QPoint(-5, 20));
    EXPECT_EQ(Positions(*form), QPoint(8, 80));
    EXPECT_EQ(MapPointAt(*form, start + QPoint(-5, 20)), grabbed);
    EXPECT_TRUE(ViewIsConsistent(*form));

    // Far outside the window the moves still come, up to the other ends.
    const QPoint outside(-2000, -2000);
    MoveTo(*form, outside);
    EXPECT_EQ(Positions(*form), QPoint(330, 380));
    EXPECT_TRUE(ViewIsConsistent(*form));
    MoveTo(*form, QPoint(5000, 5000));
    EXPECT_EQ(Positions(*form), QPoint(0, 0));
    Release(*form, QPoint(5000, 5000));
    EXPECT_FALSE(form->Dragging);

    // After the release outside, moves no longer pan.
    MoveTo(*form, start);
    EXPECT_EQ(Positions(*form), QPoint(0, 0));
    EXPECT_TRUE(ViewIsConsistent(*form));
}

TEST_F(NavigationTest, OnlyTheLeftButtonDragsAndOnlyAboveLevel0)
{
    const auto form = StartOn(3300, 3800);
    const QPoint start(150, 150);
    Press(*form, start);
    EXPECT_FALSE(form->Dragging) << "a press at level 0 starts no drag";
    MoveTo(*form, start + QPoint(40, 40));
    Release(*form, start + QPoint(40, 40));
    EXPECT_TRUE(ViewIsConsistent(*form));

    Click(form->ToolButtonZoomIn);
    for (const Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
        Press(*form, start, button);
        MoveTo(*form, start + QPoint(-40, -40));
        Release(*form, start + QPoint(-40, -40), button);
        EXPECT_FALSE(form->Dragging);
        EXPECT_EQ(Positions(*form), QPoint(165, 195));
    }

    // A right-button release during a left drag does not end it.
    Press(*form, start);
    QTest::mousePress(form->windowHandle(), Qt::RightButton, {}, start);
    QTest::mouseRelease(form->windowHandle(), Qt::RightButton, {}, start);
    EXPECT_TRUE(form->Dragging);
    MoveTo(*form, start + QPoint(-40, -30));
    EXPECT_EQ(Positions(*form), QPoint(205, 225));
    Release(*form, start + QPoint(-40, -30));
    EXPECT_FALSE(form->Dragging);
    EXPECT_TRUE(ViewIsConsistent(*form));
}

TEST_F(NavigationTest, AChangeOfLevelEndsADrag)
{
    const auto form = StartAtLevel(2, 200, 200);
    const QPoint start(150, 150);
    Press(*form, start);
    ASSERT_TRUE(form->Dragging);
    QTest::keyClick(form->PanelMap, Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_FALSE(form->Dragging);
    const QPoint at1 = Positions(*form);
    MoveTo(*form, start + QPoint(-60, -60));
    EXPECT_EQ(Positions(*form), at1) << "no panning against the maxima of another level";

    QTest::keyClick(form->PanelMap, Qt::Key_Minus, Qt::KeypadModifier);
    MoveTo(*form, start + QPoint(60, 60));
    MoveTo(*form, start + QPoint(-60, -60));
    EXPECT_EQ(form->ZoomLevel, 0);
    EXPECT_TRUE(ViewIsConsistent(*form)) << "the bars stay disabled at level 0";
    Release(*form, start + QPoint(-60, -60));
    EXPECT_TRUE(ViewIsConsistent(*form));
}

TEST_F(NavigationTest, AnArrowOrTroughClickMovesTheViewOnePixel)
{
    const auto form = StartAtLevel(1, 100, 100);
    for (TScrollBar* bar : {form->ScrollBarH, form->ScrollBarV}) {
        const QPoint step = bar == form->ScrollBarH ? QPoint(1, 0) : QPoint(0, 1);
        ClickBar(*form, bar, QStyle::SC_ScrollBarAddLine);
        EXPECT_EQ(Positions(*form), QPoint(100, 100) + step);
        EXPECT_TRUE(ViewIsConsistent(*form));
        ClickBar(*form, bar, QStyle::SC_ScrollBarSubPage);
        EXPECT_EQ(Positions(*form), QPoint(100, 100));
        EXPECT_TRUE(ViewIsConsistent(*form));
        ClickBar(*form, bar, QStyle::SC_ScrollBarAddPage);
        ClickBar(*form, bar, QStyle::SC_ScrollBarSubLine);
        EXPECT_EQ(Positions(*form), QPoint(100, 100));
        EXPECT_TRUE(ViewIsConsistent(*form));
    }
}

TEST_F(NavigationTest, AMapTooSmallForALevelIsReportedAndTheRestOfTheZoomSkipped)
{
    WriteMap(660, 760);  // level 1 is 132 x 152, smaller than the viewport
    WriteFile(LocationsFileName, Locations);
    const auto form = StartActive();
    Click(form->ToolButtonZoomIn);
    EXPECT_EQ(Errors, QStringList{QStringLiteral("Scrollbar property out of range.")});
    EXPECT_EQ(form->ZoomLevel, 1);
    EXPECT_EQ(form->ImageMap->geometry(), QRect(0, 0, 132, 152));
    TBitmap clean = form->MasterBitmap;
    ScaleMap(1, form->MasterBitmap, clean);
    EXPECT_EQ(form->ViewBitmap(), clean) << "no markers were drawn";
    EXPECT_EQ(form->ScrollBarH->Max(), 100);
    EXPECT_EQ(Positions(*form), QPoint(0, 0));

    QTest::keyClick(form->PanelMap, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(Errors.size(), 2);
    EXPECT_EQ(form->ZoomLevel, 2);

    // The buttons still work afterwards.
    Click(form->ToolButtonZoomActual);
    EXPECT_EQ(Errors.size(), 2);
    EXPECT_EQ(form->ZoomLevel, 0);
    EXPECT_TRUE(ViewIsConsistent(*form));
}

// Thousands of random actions of every kind; after each the view's invariant
// holds and the master is untouched. A 1700 x 1950 master keeps it quick and
// still gives every level above 0 maxima of at least 10.
TEST_F(NavigationTest, RandomActionsKeepTheViewConsistent)
{
    const auto form = StartOn(1700, 1950);
    const TBitmap& master = SharedMaster(1700, 1950);
    std::mt19937 random(20240611);
    const auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    // Each coordinate is drawn in its own statement, so that every compiler
    // makes the same sequence of actions.
    const auto point = [&](int left, int width, int top, int height) {
        const int x = left + pick(width);
        const int y = top + pick(height);
        return QPoint(x, y);
    };
    const auto anywhere = [&] { return point(-150, 700, -150, 800); };
    // Presses land on the map or the bars, never on the list, whose pop-up
    // would wait for input; right presses only on the map and only while no
    // other button holds the mouse, since a bar's context menu would wait too.
    const auto overMapOrBars = [&] { return point(0, 362, 0, 412); };
    const auto overMap = [&] { return point(11, 330, 11, 380); };
    const Qt::MouseButton buttons[] = {Qt::LeftButton, Qt::LeftButton, Qt::RightButton, Qt::MiddleButton};
    const QStyle::SubControl barParts[] = {QStyle::SC_ScrollBarAddLine, QStyle::SC_ScrollBarSubLine,
                                           QStyle::SC_ScrollBarAddPage, QStyle::SC_ScrollBarSubPage};
    QToolButton* zoomButtons[] = {form->ToolButtonZoomIn, form->ToolButtonZoomOut, form->ToolButtonZoomActual};
    QWidget* wheelTargets[] = {form->ImageMap, form->ScrollBarH->Widget(), form->CBLoc, form.get()};
    Qt::MouseButtons held;

    for (int action = 0; action < 5000; ++action) {
        const int kind = pick(10);
        switch (kind) {
        case 0:
            // A click through the test's own mouse would end a held drag.
            if (!held)
                Click(zoomButtons[pick(3)]);
            break;
        case 1: {
            const int key = pick(2) ? Qt::Key_Plus : Qt::Key_Minus;
            Key(form->focusWidget(), QEvent::KeyPress, key, Qt::KeypadModifier, pick(2));
            if (pick(2))
                Key(form->focusWidget(), QEvent::KeyRelease, key, Qt::KeypadModifier, false);
            break;
        }
        case 2:
            Key(form->focusWidget(), pick(2) ? QEvent::KeyPress : QEvent::KeyRelease, Qt::Key_Shift, {}, false);
            break;
        case 3:
            TurnWheel(wheelTargets[pick(4)], (pick(5) - 2) * 120);
            break;
        case 4: {
            const Qt::MouseButton button = buttons[pick(4)];
            if (!held.testFlag(button) && !(button == Qt::RightButton && held)) {
                Press(*form, button == Qt::RightButton ? overMap() : overMapOrBars(), button);
                held |= button;
            }
            break;
        }
        case 5:
        case 6:
            MoveTo(*form, anywhere());
            break;
        case 7:
            for (const Qt::MouseButton button : buttons) {
                if (held.testFlag(button) && pick(2)) {
                    Release(*form, anywhere(), button);
                    held &= ~Qt::MouseButtons(button);
                    break;
                }
            }
            break;
        case 8:
            if (!held)
                ClickBar(*form, pick(2) ? form->ScrollBarH : form->ScrollBarV, barParts[pick(4)]);
            break;
        default:
            (pick(2) ? static_cast<QWidget*>(form->CBLoc) : form->PanelMap)->setFocus();
            break;
        }
        ASSERT_TRUE(ViewIsConsistent(*form)) << "after action " << action << " of kind " << kind;
        ASSERT_TRUE(form->MasterBitmap.SharesPixelsWith(master)) << "after action " << action;
        // At level 6 the view shares the master's pixels until a tile with
        // markers is drawn into it.
        ASSERT_TRUE(form->ZoomLevel == MaxZoomLevel || !form->ViewBitmap().SharesPixelsWith(master))
            << "after action " << action;
    }
    for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
        if (held.testFlag(button))
            Release(*form, QPoint(10, 10), button);
    EXPECT_TRUE(Errors.isEmpty()) << Errors.join(u'\n').toStdString();
    EXPECT_EQ(form->MasterBitmap, PatternBitmap(1700, 1950));
}
