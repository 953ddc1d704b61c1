#include "WheelRelay.h"

#include "WindowMembership.h"

#include <QApplication>
#include <QWheelEvent>
#include <QWidget>

TWheelRelay::TWheelRelay(QWidget* window, std::function<void(int)> wheel)
    : QObject(window), Wheel(std::move(wheel)), Window(window)
{
    qApp->installEventFilter(this);
}

TWheelRelay::~TWheelRelay()
{
    qApp->removeEventFilter(this);
}

void TWheelRelay::SetPassThrough(QWidget* widget)
{
    PassThrough = widget;
    // Qt focuses a Qt::WheelFocus widget under a turning wheel before any
    // filter sees the event, which would make every turn over the drop-down
    // a turn over the focused drop-down.
    if (widget && widget->focusPolicy() == Qt::WheelFocus)
        widget->setFocusPolicy(Qt::StrongFocus);
}

bool TWheelRelay::PassesThrough(const QWidget* receiver) const
{
    if (!PassThrough)
        return false;
    const bool underPointer = receiver == PassThrough || PassThrough->isAncestorOf(receiver);
    const QWidget* focus = QApplication::focusWidget();
    const bool focused = PassThrough->hasFocus() || (focus && PassThrough->isAncestorOf(focus));
    return underPointer && focused;
}

bool TWheelRelay::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Wheel || !watched->isWidgetType())
        return false;
    auto* receiver = static_cast<QWidget*>(watched);
    const auto* wheel = static_cast<const QWheelEvent*>(event);

    const bool handedOn = !event->spontaneous() && event == LastEvent && LastReceiver
        && receiver == LastReceiver->parentWidget() && wheel->timestamp() == LastTimestamp;
    const bool inWindow = Window && WidgetBelongsToWindow(receiver, Window, false);
    bool consume = false;
    if (inWindow && handedOn) {
        // Only a notice let through to the drop-down comes back this way; it
        // has been reported already and nothing else in the window scrolls.
        consume = true;
    } else if (inWindow) {
        const bool gestureMarker = wheel->angleDelta().isNull()
            && (wheel->phase() == Qt::ScrollBegin || wheel->phase() == Qt::ScrollEnd);
        const bool passThrough = PassesThrough(receiver);
        if (!gestureMarker && Wheel)
            Wheel(wheel->angleDelta().y());
        consume = !passThrough;
    }
    // Remembered after the callback, which may run a nested event loop.
    LastEvent = event;
    LastReceiver = receiver;
    LastTimestamp = wheel->timestamp();
    return consume;
}
