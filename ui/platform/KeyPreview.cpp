#include "KeyPreview.h"

#include "VirtualKeys.h"
#include "WindowMembership.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

TKeyPreview::TKeyPreview(QWidget* window, std::function<void(int)> keyDown,
                         std::function<void(int)> keyUp)
    : QObject(window), KeyDown(std::move(keyDown)), KeyUp(std::move(keyUp)), Window(window)
{
    qApp->installEventFilter(this);
}

TKeyPreview::~TKeyPreview()
{
    qApp->removeEventFilter(this);
}

bool TKeyPreview::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if ((type != QEvent::KeyPress && type != QEvent::KeyRelease) || !watched->isWidgetType())
        return false;
    auto* receiver = static_cast<QWidget*>(watched);
    const auto* key = static_cast<const QKeyEvent*>(event);

    const bool handedOn = event == LastEvent && LastReceiver && receiver == LastReceiver->parentWidget()
        && type == LastType && key->key() == LastKey && key->timestamp() == LastTimestamp;
    if (!handedOn && Window && WidgetBelongsToWindow(receiver, Window, true)) {
        const int vk = VirtualKeyFromEvent(*key);
        if (vk != 0 && type == QEvent::KeyPress && KeyDown)
            KeyDown(vk);
        else if (vk != 0 && type == QEvent::KeyRelease && !key->isAutoRepeat() && KeyUp)
            KeyUp(vk);
    }
    // Remembered after the callback: a message box it shows runs a nested
    // event loop whose keys would otherwise hide this event's later deliveries.
    LastEvent = event;
    LastReceiver = receiver;
    LastType = type;
    LastKey = key->key();
    LastTimestamp = key->timestamp();
    return false;
}
