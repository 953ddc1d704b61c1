#include "ScrollBar.h"
#include "WheelRelay.h"

#include <QApplication>
#include <QComboBox>
#include <QScrollBar>
#include <QTest>
#include <QSpontaneKeyEvent>
#include <QWheelEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// Counts the wheel events it gets and leaves them to its parent.
class TWheelCounter : public QWidget {
public:
    explicit TWheelCounter(QWidget* parent = nullptr) : QWidget(parent) {}

    int Wheels = 0;

protected:
    void wheelEvent(QWheelEvent* e) override
    {
        ++Wheels;
        e->ignore();
    }
};

class WheelRelayTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Window = std::make_unique<TWheelCounter>();
        Window->resize(400, 300);
        Panel = new TWheelCounter(Window.get());
        Panel->setGeometry(0, 0, 200, 200);
        Nested = new TWheelCounter(Panel);
        Nested->setGeometry(10, 10, 100, 100);
        Bar = new TScrollBar(Qt::Vertical, Window.get());
        Bar->Widget()->setGeometry(210, 0, 17, 200);
        Bar->SetMax(100);
        Bar->SetPosition(50);
        QObject::connect(Bar, &TScrollBar::Scroll, [this] { ++BarNotices; });
        Combo = new QComboBox(Window.get());
        Combo->setGeometry(10, 250, 150, 22);
        Combo->addItems({"Aldmoor", "Brackwater", "Cindervale"});
        Relay = new TWheelRelay(Window.get(), [this](int delta) { Deltas.push_back(delta); });
        Relay->SetPassThrough(Combo);
        Window->show();
        QApplication::setActiveWindow(Window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(Window.get()));
    }

    // A wheel event as the window system delivers it: spontaneous, so Qt
    // hands it on to the parents when the receiver ignores it.
    static bool Turn(QWidget* receiver, QPoint angleDelta, Qt::ScrollPhase phase = Qt::NoScrollPhase)
    {
        QWheelEvent event(QPointF(5, 5), receiver->mapToGlobal(QPointF(5, 5)), QPoint(), angleDelta, Qt::NoButton,
                          Qt::NoModifier, phase, false);
        QSpontaneKeyEvent::setSpontaneous(&event);
        QApplication::instance()->notify(receiver, &event);
        return event.isAccepted();
    }

    static void Send(QWidget* receiver, int deltaY)
    {
        QWheelEvent event(QPointF(5, 5), receiver->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, deltaY),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(receiver, &event);
    }

    std::unique_ptr<TWheelCounter> Window;
    TWheelCounter* Panel = nullptr;
    TWheelCounter* Nested = nullptr;
    TScrollBar* Bar = nullptr;
    QComboBox* Combo = nullptr;
    TWheelRelay* Relay = nullptr;
    std::vector<int> Deltas;
    int BarNotices = 0;
};

TEST_F(WheelRelayTest, EveryNoticeReachesTheCallbackOnceWhereverThePointerIs)
{
    Turn(Window.get(), {0, -120});
    Turn(Panel, {0, -120});
    Turn(Nested, {0, -120});
    Turn(Bar->Widget(), {0, -120});
    Turn(Combo, {0, -120});
    Send(Nested, -120);
    Send(Bar->Widget(), -120);
    EXPECT_EQ(Deltas, std::vector<int>(7, -120));
    EXPECT_EQ(Nested->Wheels + Panel->Wheels + Window->Wheels, 0) << "the notices are consumed";
}

TEST_F(WheelRelayTest, TheScrollBarDoesNotScrollByItself)
{
    Bar->Widget()->setFocus();
    for (int i = 0; i < 3; ++i) {
        Turn(Bar->Widget(), {0, -120});
        Turn(Bar->Widget(), {0, 120});
    }
    EXPECT_EQ(Bar->Position(), 50);
    EXPECT_EQ(BarNotices, 0);
    EXPECT_EQ(Deltas.size(), 6u);
}

TEST_F(WheelRelayTest, DeltasKeepTheirSignAndSize)
{
    Turn(Nested, {0, 240});
    Turn(Nested, {0, -120});
    Turn(Nested, {0, 8});
    Turn(Nested, {120, 0});  // a sideways tilt
    EXPECT_EQ(Deltas, (std::vector<int>{240, -120, 8, 0}));
}

TEST_F(WheelRelayTest, TouchpadGestureMarkersAreNotNotices)
{
    Turn(Nested, {0, 0}, Qt::ScrollBegin);
    Turn(Nested, {0, -30}, Qt::ScrollUpdate);
    Turn(Nested, {0, 0}, Qt::ScrollEnd);
    EXPECT_EQ(Deltas, std::vector<int>{-30});
    EXPECT_EQ(Nested->Wheels + Panel->Wheels + Window->Wheels, 0);
}

TEST_F(WheelRelayTest, TheFocusedDropDownUnderThePointerKeepsItsWheel)
{
    Combo->setFocus();
    Turn(Combo, {0, -120});
    EXPECT_EQ(Deltas, std::vector<int>{-120});
    EXPECT_EQ(Combo->currentIndex(), 1);

    // Focused but not under the pointer, or under the pointer but not
    // focused: the drop-down is left alone.
    Turn(Nested, {0, -120});
    EXPECT_EQ(Combo->currentIndex(), 1);
    Bar->Widget()->setFocus();
    Turn(Combo, {0, -120});
    EXPECT_EQ(Combo->currentIndex(), 1);
    EXPECT_TRUE(Bar->Widget()->hasFocus()) << "the wheel does not move the focus to the drop-down";
    EXPECT_EQ(Deltas.size(), 3u);
}

TEST_F(WheelRelayTest, ANoticeThePassThroughWidgetDeclinesIsStillOneCall)
{
    auto* declining = new TWheelCounter(Window.get());
    declining->setGeometry(250, 0, 50, 50);
    declining->setFocusPolicy(Qt::StrongFocus);
    declining->show();
    Relay->SetPassThrough(declining);
    declining->setFocus();
    Turn(declining, {0, 120});
    Turn(declining, {0, 120});
    EXPECT_EQ(declining->Wheels, 2) << "the notice went on to the pass-through widget";
    EXPECT_EQ(Window->Wheels, 0) << "and stopped when it came back to the window";
    EXPECT_EQ(Deltas, (std::vector<int>{120, 120}));
}

TEST_F(WheelRelayTest, WheelsOfAnotherWindowAreLeftAlone)
{
    QWidget other;
    auto* otherBar = new QScrollBar(Qt::Vertical, &other);
    otherBar->setRange(0, 100);
    otherBar->setValue(50);
    other.show();
    Turn(otherBar, {0, -120});
    EXPECT_TRUE(Deltas.empty());
    EXPECT_GT(otherBar->value(), 50);
}

} // namespace
