// Hands every wheel notice over one window to a single callback.
//
// TWheelRelay is an event filter on the application. A wheel event whose
// receiver is the window or a widget inside it calls Wheel once with the
// vertical angle delta (positive: turned away from the user; 0 for a purely
// sideways tilt), whichever control has the focus and whichever is under the
// pointer. The event is then consumed, so no control (a scroll bar in
// particular) scrolls by itself.
//
// - One notice is one call. Qt hands an ignored wheel event on to the
//   receiver's parents; only its first delivery counts. That is the
//   spontaneous one for events from the window system; for events sent by
//   the program, a delivery of the same event object to the parent of the
//   widget that had it last is a hand-on.
// - The pass-through widget (the location drop-down) keeps its own wheel
//   behaviour while it has the keyboard focus and is under the pointer: the
//   callback still runs (the window decides to leave the map alone while the
//   drop-down has the focus) and the event then goes on to the drop-down
//   instead of being consumed. With the drop-down focused but the pointer
//   elsewhere, the event is consumed as usual, so the wheel never changes
//   the selection unseen. SetPassThrough lowers the widget's focus policy
//   from Qt::WheelFocus to Qt::StrongFocus: the wheel itself must not hand it
//   the focus. Other controls of the window should not use Qt::WheelFocus
//   either.
// - The begin and end markers of a touchpad gesture carry no rotation and
//   are not notices: they are consumed without a call.
// - Events over a pop-up (the drop-down's open list) are not the window's
//   and are left alone.
#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QWidget;

class TWheelRelay : public QObject {
    Q_OBJECT

public:
    explicit TWheelRelay(QWidget* window, std::function<void(int)> wheel = {});
    ~TWheelRelay() override;

    void SetPassThrough(QWidget* widget);

    std::function<void(int wheelDelta)> Wheel;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool PassesThrough(const QWidget* receiver) const;

    QPointer<QWidget> Window;
    QPointer<QWidget> PassThrough;
    const QEvent* LastEvent = nullptr;
    QPointer<QWidget> LastReceiver;
    unsigned long long LastTimestamp = 0;
};
