// The keys added for the keyboard and screen readers, and what a screen reader is told, on the real window.
#include "FormFixture.h"

#include "Announcement.h"
#include "FocusRing.h"
#include "SortedComboBox.h"

#include <QSignalSpy>
#include <QToolButton>

namespace {

const std::string Places = Record("Kelder", "0", "25000,40000") + Record("Harrowgate", "2", "0,0");

void Press(int key, Qt::KeyboardModifiers modifiers = {})
{
    QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key), modifiers);
}

using KeyboardTest = TFormFixture;

} // namespace

TEST_F(KeyboardTest, TheMapsKeysMoveTheBarsUpToTheirEndsAndNothingAtLevel0)
{
    const auto form = StartOn(3300, 3800, Places);
    Press(Qt::Key_End);
    EXPECT_TRUE(ViewIsConsistent(*form)) << "level 0 stays put, its bars disabled";
    for (int level = 0; level < MaxZoomLevel; ++level)
        form->ZoomButtonClick(form->ToolButtonZoomIn);
    PanTo(*form, 100, 100);
    Press(Qt::Key_Down);
    Press(Qt::Key_PageDown, Qt::ShiftModifier);
    EXPECT_EQ(Positions(*form), QPoint(397, 138));
    Press(Qt::Key_End);
    Press(Qt::Key_Down);
    Press(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(Positions(*form), QPoint(0, 3420));
    EXPECT_TRUE(ViewIsConsistent(*form));
}

TEST_F(KeyboardTest, CtrlPlusMinusAndZeroZoomAndEachChangeIsSaidOnceAGoAtItsEnd)
{
    const auto form = StartOn(3300, 3800, Places);
    QSignalSpy said(form->findChild<TAnnouncement*>(), &TAnnouncement::Announced);
    Press(Qt::Key_Equal, Qt::ControlModifier);
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier, QString(), true);
    QApplication::sendEvent(form->PanelMap, &repeat);
    Press(Qt::Key_Minus, Qt::ControlModifier);
    Press(Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_EQ(form->ZoomLevel, 2) << "Ctrl with keypad plus zooms once, as keypad plus does";
    Press(Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(form->ZoomLevel, 0);
    EXPECT_EQ(said.size(), 5);
    form->CBLoc->setFocus();
    form->CBLoc->setCurrentIndex(0);
    Press(Qt::Key_Return);
    ASSERT_EQ(said.size(), 6) << "four steps of Go";
    EXPECT_EQ(said.last().at(0).toString(), QStringLiteral("Zoom level 4 of 6, near Harrowgate"));
}

TEST_F(KeyboardTest, TabVisitsEveryControlWithARingAClickLeavesTheFocusCtrlWCloses)
{
    const auto form = StartOn(3300, 3800, Places);
    const auto* ring = form->findChild<TFocusRing*>();
    Press(Qt::Key_Tab);
    Press(Qt::Key_Return);
    EXPECT_EQ(form->ZoomLevel, 1) << "Return on Zoom In";
    for (QWidget* stop : QList<QWidget*>{form->ToolButtonZoomOut, form->ToolButtonZoomActual, form->CBLoc,
                                         form->ToolButtonGo, form->ScrollBarH->Widget(), form->ScrollBarV->Widget(),
                                         form->PanelMap, form->ToolButtonZoomIn}) {
        Press(Qt::Key_Tab);
        EXPECT_TRUE(stop->hasFocus()) << stop->objectName().toStdString();
        EXPECT_EQ(ring->geometry(), QRect(stop->mapTo(form.get(), QPoint()), stop->size()).adjusted(-2, -2, 2, 2));
    }
    for (const int key : {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Space, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab})
        Press(key);
    EXPECT_EQ(form->ZoomLevel, 0) << "Space on Actual Size";
    EXPECT_TRUE(form->PanelMap->hasFocus()) << "the disabled bars are skipped";
    Press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(form->ToolButtonGo->hasFocus());
    form->CBLoc->setFocus();
    QTest::mouseClick(form->ToolButtonZoomIn, Qt::LeftButton);
    EXPECT_TRUE(form->CBLoc->hasFocus());
    Press(Qt::Key_Escape);
    EXPECT_TRUE(form->isVisible());
    Press(Qt::Key_W, Qt::ControlModifier);
    EXPECT_FALSE(form->isVisible());
}
