#include "FormFixture.h"
#include "PlatformErrors.h"
#include "ScrollBar.h"

#include <QAccessible>
#include <QApplication>
#include <QStyle>
#include <QTest>
#include <QWheelEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

struct TNotice {
    int Code;
    int Pos;
    int StoredPosition;
};

class THost : public QWidget {
public:
    int Wheels = 0;

protected:
    void wheelEvent(QWheelEvent* e) override
    {
        ++Wheels;
        e->accept();
    }
};

class ScrollBarTest : public ::testing::Test {
protected:
    void Make(Qt::Orientation orientation)
    {
        Notices.clear();
        Host = std::make_unique<THost>();
        Host->resize(400, 400);
        Bar = new TScrollBar(orientation, Host.get());
        if (orientation == Qt::Horizontal)
            Bar->Widget()->setGeometry(10, 10, 330, 17);
        else
            Bar->Widget()->setGeometry(10, 10, 17, 380);
        // A handler in the window's style: the image edge follows the stored
        // position on every notice.
        QObject::connect(Bar, &TScrollBar::Scroll, [this](int code, int pos) {
            Notices.push_back({code, pos, Bar->Position()});
            Edge = -Bar->Position();
        });
        Host->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Host.get()));
    }

    void SetUp() override { Make(Qt::Horizontal); }

    QRect ControlRect(QStyle::SubControl control) const { return ScrollBarControlRect(*Bar->Widget(), control); }

    // Checks one user action: a notice with the new position while the old
    // one is still stored, then the end notice once it is stored.
    void ExpectOneStep(int from, int to)
    {
        ASSERT_EQ(Notices.size(), 2u);
        EXPECT_EQ(Notices[0].Pos, to);
        EXPECT_EQ(Notices[0].StoredPosition, from);
        EXPECT_NE(Notices[0].Code, scEndScroll);
        EXPECT_EQ(Notices[1].Code, scEndScroll);
        EXPECT_EQ(Notices[1].StoredPosition, to);
        EXPECT_EQ(Bar->Position(), to);
        EXPECT_EQ(Edge, -to);
        Notices.clear();
    }

    std::unique_ptr<THost> Host;
    TScrollBar* Bar = nullptr;  // owned by Host
    std::vector<TNotice> Notices;
    int Edge = 0;
};

TEST_F(ScrollBarTest, StartsDisabledWithTheDefaultRange)
{
    EXPECT_FALSE(Bar->Enabled());
    EXPECT_EQ(Bar->Min(), 0);
    EXPECT_EQ(Bar->Max(), 100);
    EXPECT_EQ(Bar->Position(), 0);
    EXPECT_EQ(Bar->Widget()->singleStep(), 1);
    EXPECT_EQ(Bar->Widget()->pageStep(), 1);
}

TEST_F(ScrollBarTest, ProgramChangesClampAndSendNoNotice)
{
    Bar->SetMax(50);
    Bar->SetPosition(-7);
    EXPECT_EQ(Bar->Position(), 0);
    Bar->SetPosition(70);
    EXPECT_EQ(Bar->Position(), 50);
    Bar->SetMax(20);
    EXPECT_EQ(Bar->Position(), 20);
    Bar->SetMax(400);
    EXPECT_EQ(Bar->Position(), 20);
    Bar->SetMax(0);
    EXPECT_EQ(Bar->Position(), 0);
    EXPECT_TRUE(Notices.empty());
}

TEST_F(ScrollBarTest, MaxBelowMinIsRefusedAndTheRangeKept)
{
    Bar->SetMax(50);
    Bar->SetPosition(30);
    try {
        Bar->SetMax(-1);
        FAIL() << "a negative maximum was accepted";
    } catch (const EInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "Scrollbar property out of range");
    }
    EXPECT_EQ(Bar->Min(), 0);
    EXPECT_EQ(Bar->Max(), 50);
    EXPECT_EQ(Bar->Position(), 30);
    EXPECT_EQ(Bar->Widget()->minimum(), 0);
}

TEST_F(ScrollBarTest, OnlyAChangedPositionEnablesTheBar)
{
    Bar->SetPosition(0);
    Bar->SetPosition(-3);
    EXPECT_FALSE(Bar->Enabled());
    Bar->SetPosition(4);
    EXPECT_TRUE(Bar->Enabled());

    Bar->SetEnabled(false);
    Bar->SetMax(4);
    EXPECT_FALSE(Bar->Enabled());
    Bar->SetMax(2);  // clamps the position down, which stores a change
    EXPECT_TRUE(Bar->Enabled());
}

TEST_F(ScrollBarTest, ArrowAndTroughClicksMoveOneStepWithNoticesAroundTheStore)
{
    for (const Qt::Orientation orientation : {Qt::Horizontal, Qt::Vertical}) {
        SCOPED_TRACE(orientation == Qt::Horizontal ? "horizontal" : "vertical");
        Make(orientation);
        Bar->SetMax(100);
        Bar->SetPosition(50);
        QTest::mouseClick(Bar->Widget(), Qt::LeftButton, {}, ControlRect(QStyle::SC_ScrollBarAddLine).center());
        ExpectOneStep(50, 51);
        QTest::mouseClick(Bar->Widget(), Qt::LeftButton, {}, ControlRect(QStyle::SC_ScrollBarSubLine).center());
        ExpectOneStep(51, 50);
        QTest::mouseClick(Bar->Widget(), Qt::LeftButton, {}, ControlRect(QStyle::SC_ScrollBarAddPage).center());
        ExpectOneStep(50, 51);
        QTest::mouseClick(Bar->Widget(), Qt::LeftButton, {}, ControlRect(QStyle::SC_ScrollBarSubPage).center());
        ExpectOneStep(51, 50);
    }
}

TEST_F(ScrollBarTest, KeysOnTheFocusedBarAreUserActions)
{
    for (const Qt::Orientation orientation : {Qt::Horizontal, Qt::Vertical}) {
        SCOPED_TRACE(orientation == Qt::Horizontal ? "horizontal" : "vertical");
        Make(orientation);
        Bar->SetMax(30);
        Bar->SetPosition(10);
        Bar->Widget()->setFocus();
        QTest::keyClick(Bar->Widget(), orientation == Qt::Horizontal ? Qt::Key_Right : Qt::Key_Down);
        ExpectOneStep(10, 11);
        QTest::keyClick(Bar->Widget(), orientation == Qt::Horizontal ? Qt::Key_Left : Qt::Key_Up);
        ExpectOneStep(11, 10);
        QTest::keyClick(Bar->Widget(), Qt::Key_PageDown);
        ExpectOneStep(10, 11);
        QTest::keyClick(Bar->Widget(), Qt::Key_PageUp);
        ExpectOneStep(11, 10);
        QTest::keyClick(Bar->Widget(), Qt::Key_End);
        ExpectOneStep(10, 30);
        QTest::keyClick(Bar->Widget(), Qt::Key_Home);
        ExpectOneStep(30, 0);
    }
}

TEST_F(ScrollBarTest, ThumbDragEndsLevelWithTheBar)
{
    Bar->SetMax(100);
    Bar->SetPosition(10);
    const QPoint grab = ControlRect(QStyle::SC_ScrollBarSlider).center();
    QTest::mousePress(Bar->Widget(), Qt::LeftButton, {}, grab);
    QTest::mouseMove(Bar->Widget(), grab + QPoint(60, 0));
    QTest::mouseRelease(Bar->Widget(), Qt::LeftButton, {}, grab + QPoint(60, 0));

    EXPECT_GT(Bar->Position(), 10);
    ASSERT_GE(Notices.size(), 2u);
    bool tracked = false;
    for (const TNotice& n : Notices) {
        if (n.Code == scTrack) {
            tracked = true;
            EXPECT_EQ(n.StoredPosition, 10) << "the first track notice comes before the store";
            break;
        }
    }
    EXPECT_TRUE(tracked);
    EXPECT_EQ(Notices.back().Code, scEndScroll);
    EXPECT_EQ(Edge, -Bar->Position());
}

TEST_F(ScrollBarTest, AValueFromAScreenReaderMovesAnEnabledBarOnly)
{
    Bar->SetMax(380);
    QAccessibleValueInterface* value = QAccessible::queryAccessibleInterface(Bar->Widget())->valueInterface();
    ASSERT_NE(value, nullptr);
    value->setCurrentValue(99999);
    EXPECT_EQ(Bar->Position(), 0);
    EXPECT_TRUE(Notices.empty());

    Bar->SetEnabled(true);
    value->setCurrentValue(120);
    ASSERT_EQ(Notices.size(), 1u);
    EXPECT_EQ(Notices[0].Code, scEndScroll);
    EXPECT_EQ(Notices[0].StoredPosition, 120);
}

TEST_F(ScrollBarTest, WheelOverTheBarIsLeftToTheParent)
{
    Bar->SetMax(100);
    Bar->SetPosition(50);
    QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QTest::mouseMove(Bar->Widget(), QPoint(5, 5));
    QApplication::sendEvent(Bar->Widget(), &wheel);
    EXPECT_EQ(Bar->Position(), 50);
    EXPECT_TRUE(Notices.empty());
    EXPECT_FALSE(wheel.isAccepted());
}

} // namespace
