// A scroll bar with the contract the window's navigation relies on.
//
// QScrollBar lowers its minimum when given a maximum below it and its range
// setters are not virtual, so TScrollBar owns a QScrollBar and is the only
// way the program changes its range and position. Widget() is for layout,
// tab order and accessibility only.
//
// - Min is 0 for good; SmallChange and LargeChange are 1 (an arrow click and
//   a trough click each move one unit); the page size is 0.
// - SetPosition and SetMax clamp the position into [Min, Max] and send no
//   Scroll notice. A position that differs from the stored one also enables
//   the bar.
// - SetMax below Min throws EInvalidOperation("Scrollbar property out of
//   range"); range and position stay as they were.
// - Every user action (arrow, trough, thumb drag and release, keys on the
//   focused bar, the context menu's moves) sends Scroll(code, newPosition)
//   BEFORE the bar stores newPosition, so Position() still holds the old value
//   inside the handler; once the action has been stored, Scroll(scEndScroll,
//   Position()) follows. A handler that reads Position() is therefore level
//   with the bar after every action. The one exception is the context menu's
//   "Scroll here", which QScrollBar stores at once: it sends only the end
//   notice.
// - The wheel never moves the bar: wheel events are passed on to the parent,
//   so the window decides what a wheel turn does.
// - A disabled bar ignores a value set from outside (a screen reader's
//   setCurrentValue): it keeps its position and sends no notice.
#pragma once

#include <QObject>
#include <QPointer>
#include <QScrollBar>

#include <cstdint>

// The Windows scroll codes (SB_LINEUP ... SB_ENDSCROLL).
enum TScrollCode : int {
    scLineUp = 0,
    scLineDown = 1,
    scPageUp = 2,
    scPageDown = 3,
    scPosition = 4,
    scTrack = 5,
    scTop = 6,
    scBottom = 7,
    scEndScroll = 8,
};

class TScrollBarControl;

class TScrollBar : public QObject {
    Q_OBJECT

public:
    TScrollBar(Qt::Orientation orientation, QWidget* parent);
    ~TScrollBar() override;

    QScrollBar* Widget() const;

    std::int32_t Min() const;
    std::int32_t Max() const;
    void SetMax(std::int32_t value);
    std::int32_t Position() const;
    void SetPosition(std::int32_t value);
    bool Enabled() const;
    void SetEnabled(bool value);

signals:
    void Scroll(int scrollCode, int scrollPos);

private:
    friend class TScrollBarControl;

    void SetParams(std::int32_t position, std::int32_t max);
    void ActionTriggered(int action);
    void SliderReleased();
    void ValueChanged();
    void UserEventDone();

    QPointer<TScrollBarControl> Bar;
    void StoreByProgram(std::int32_t max, std::int32_t position);

    std::int32_t KeptPosition = 0;
    bool SettingByProgram = false;
    bool UserActionPending = false;
    int UserEventDepth = 0;
};
