// Key preview for one window: the window sees every key before the control
// that has the keyboard focus.
//
// TKeyPreview is an event filter on the application. For each key press or
// release whose receiver is the window, a widget inside it, or a pop-up
// opened by one of them (a drop-down's list), it calls KeyDown or KeyUp with
// the Windows virtual-key code (VirtualKeys.h) and lets the event go on
// unchanged, so the focused control still gets the key.
//
// - One physical key event is one call. Qt hands an ignored key event on to
//   the receiver's parents, and the filter sees each of those deliveries;
//   they are recognised as the same event object going to the parent of the
//   widget that had it last, with the same type, key and time stamp.
// - ShortcutOverride events are not key presses and are not reported.
// - Every auto-repeated press is a key-down; auto-repeated releases are not
//   key-ups.
// - Keys without a virtual-key code are not reported.
#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QWidget;

class TKeyPreview : public QObject {
    Q_OBJECT

public:
    explicit TKeyPreview(QWidget* window, std::function<void(int)> keyDown = {},
                         std::function<void(int)> keyUp = {});
    ~TKeyPreview() override;

    std::function<void(int vk)> KeyDown;
    std::function<void(int vk)> KeyUp;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> Window;
    const QEvent* LastEvent = nullptr;
    QPointer<QWidget> LastReceiver;
    int LastType = 0;
    int LastKey = 0;
    unsigned long long LastTimestamp = 0;
};
