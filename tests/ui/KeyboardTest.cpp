// The keys added for the keyboard and screen readers, on the real window: the
// map's panning keys, Ctrl with plus, minus and 0, Tab to every control,
// closing, and what a screen reader is told after each change of level.
#include "FormFixture.h"

#include "Announcement.h"
#include "FocusRing.h"
#include "SortedComboBox.h"

#include <QSignalSpy>
#include <QToolButton>

namespace {

class KeyboardTest : public TFormFixture {
protected:
    std::unique_ptr<TMainForm> StartOn()
    {
        return TFormFixture::StartOn(3300, 3800, Record("Kelder", "0", "25000,40000") + Record("Harrowgate", "2", "0,0"));
    }

    static void Press(int key, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key), modifiers);
    }
};

} // namespace

TEST_F(KeyboardTest, TheMapsKeysPanItUpToTheEdgesAndNotAtLevel0)
{
    const auto form = StartOn();
    for (const int key : {Qt::Key_Down, Qt::Key_End, Qt::Key_PageDown})
        Press(key);
    EXPECT_TRUE(ViewIsConsistent(*form)) << "level 0 stays put, its bars disabled";

    for (int level = 0; level < MaxZoomLevel; ++level)
        form->ZoomButtonClick(form->ToolButtonZoomIn);
    PanTo(*form, 100, 100);
    const struct {
        int Key;
        Qt::KeyboardModifiers Modifiers;
        QPoint Positions;
    } steps[] = {{Qt::Key_Down, {}, {100, 138}},          {Qt::Key_Right, {}, {133, 138}},
                 {Qt::Key_PageDown, {}, {133, 480}},      {Qt::Key_PageDown, Qt::ShiftModifier, {430, 480}},
                 {Qt::Key_PageUp, Qt::ControlModifier, {133, 480}}, {Qt::Key_End, {}, {133, 3420}},
                 {Qt::Key_Down, {}, {133, 3420}},         {Qt::Key_End, Qt::ShiftModifier, {2970, 3420}},
                 {Qt::Key_Home, {}, {2970, 0}},           {Qt::Key_Up, {}, {2970, 0}}};
    for (const auto& step : steps) {
        Press(step.Key, step.Modifiers);
        EXPECT_EQ(Positions(*form), step.Positions) << "key " << step.Key;
        EXPECT_TRUE(ViewIsConsistent(*form));
    }

    // The list keeps its own keys.
    form->CBLoc->setFocus();
    Press(Qt::Key_Home);
    EXPECT_EQ(Positions(*form), QPoint(2970, 0));
}

TEST_F(KeyboardTest, CtrlPlusMinusAndZeroZoomAndEveryChangeIsSaidOnceAGoAtItsEnd)
{
    const auto form = StartOn();
    QSignalSpy said(form->findChild<TAnnouncement*>(), &TAnnouncement::Announced);
    Press(Qt::Key_Equal, Qt::ControlModifier);
    Press(Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier);
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Plus, Qt::ControlModifier, QString(), true);
    QApplication::sendEvent(form->PanelMap, &repeat);
    EXPECT_EQ(form->ZoomLevel, 3);
    Press(Qt::Key_Minus, Qt::ControlModifier);
    Press(Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_EQ(form->ZoomLevel, 3) << "Ctrl with keypad plus zooms once, as keypad plus does";
    Press(Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(form->ZoomLevel, 0);
    EXPECT_TRUE(ViewIsConsistent(*form));
    ASSERT_EQ(said.size(), 6);
    EXPECT_EQ(said.at(2).at(0).toString(), QStringLiteral("Zoom level 3 of 6, near Kelder"));

    // Go from the list: four steps, one announcement at the end.
    form->CBLoc->setFocus();
    form->CBLoc->setCurrentIndex(0);
    Press(Qt::Key_Return);
    EXPECT_EQ(form->ZoomLevel, 4);
    ASSERT_EQ(said.size(), 7);
    EXPECT_EQ(said.last().at(0).toString(), QStringLiteral("Zoom level 4 of 6, near Harrowgate"));
}

TEST_F(KeyboardTest, TabVisitsEveryControlWithARingAndAClickLeavesTheFocus)
{
    const auto form = StartOn();
    const auto* ring = form->findChild<TFocusRing*>();
    EXPECT_TRUE(ring->isVisible()) << "around the map at start";
    Press(Qt::Key_Tab);
    Press(Qt::Key_Return);
    EXPECT_EQ(form->ZoomLevel, 1) << "Return on Zoom In";
    const std::vector<QWidget*> stops = {form->ToolButtonZoomOut,   form->ToolButtonZoomActual, form->CBLoc,
                                         form->ToolButtonGo,        form->ScrollBarH->Widget(),
                                         form->ScrollBarV->Widget(), form->PanelMap,          form->ToolButtonZoomIn};
    for (QWidget* stop : stops) {
        Press(Qt::Key_Tab);
        EXPECT_TRUE(stop->hasFocus()) << stop->objectName().toStdString();
        EXPECT_EQ(ring->geometry(), QRect(stop->mapTo(form.get(), QPoint(0, 0)), stop->size())
                                        .adjusted(-TFocusRing::Width, -TFocusRing::Width, TFocusRing::Width,
                                                  TFocusRing::Width));
    }
    Press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(form->PanelMap->hasFocus());
    Press(Qt::Key_Tab);
    Press(Qt::Key_Space);
    EXPECT_EQ(form->ZoomLevel, 2) << "Space on Zoom In";

    // A click on a button leaves the focus where it was; Tab skips the bars
    // while they are disabled.
    form->CBLoc->setFocus();
    QTest::mouseClick(form->ToolButtonZoomActual, Qt::LeftButton);
    EXPECT_TRUE(form->CBLoc->hasFocus());
    Press(Qt::Key_Tab);
    Press(Qt::Key_Tab);
    EXPECT_TRUE(form->PanelMap->hasFocus());
}

TEST_F(KeyboardTest, CtrlQAndCtrlWCloseTheWindowAndEscapeDoesNot)
{
    for (const Qt::Key key : {Qt::Key_Q, Qt::Key_W}) {
        const auto form = StartOn();
        Press(Qt::Key_Escape);
        EXPECT_TRUE(form->isVisible());
        Press(key, Qt::ControlModifier);
        EXPECT_FALSE(form->isVisible());
    }
}
