#include "WindowKeys.h"

#include "WindowMembership.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include <initializer_list>
#include <utility>

TWindowKeys::TWindowKeys(QWidget* window, QWidget* map, const QList<QWidget*>& tabStops)
    : QObject(window), FWindow(window), FMap(map)
{
    for (QWidget* stop : tabStops)
        FTabStops << stop;
    qApp->installEventFilter(this);
}

TWindowKeys::~TWindowKeys()
{
    qApp->removeEventFilter(this);
}

bool TWindowKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType() || !FWindow)
        return false;
    auto* receiver = static_cast<QWidget*>(watched);
    if (!WidgetBelongsToWindow(receiver, FWindow, true))
        return false;
    const bool inPopup = !WidgetBelongsToWindow(receiver, FWindow, false);
    // Acted on at its first delivery and consumed there, so that the
    // deliveries of an ignored key to the parents never repeat an action.
    return KeyPressed(*static_cast<const QKeyEvent*>(event), inPopup);
}

bool TWindowKeys::KeyPressed(const QKeyEvent& key, bool inPopup)
{
    if (key.modifiers() & (Qt::AltModifier | Qt::MetaModifier))
        return false;
    if (ZoomOrClose(key))
        return true;
    if (inPopup)
        return false;
    const bool control = key.modifiers() & Qt::ControlModifier;
    if ((key.key() == Qt::Key_Tab || key.key() == Qt::Key_Backtab) && !control) {
        MoveFocus(key.key() == Qt::Key_Tab && !(key.modifiers() & Qt::ShiftModifier));
        return true;
    }
    if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) {
        auto* button = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
        if (button && FTabStops.contains(button)) {
            button->click();
            return true;
        }
    }
    return PanMap(key);
}

bool TWindowKeys::ZoomOrClose(const QKeyEvent& key)
{
    if (!(key.modifiers() & Qt::ControlModifier))
        return false;
    const bool keypad = key.modifiers() & Qt::KeypadModifier;
    switch (key.key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        if (keypad)
            return false;
        emit ZoomIn();
        return true;
    case Qt::Key_Minus:
        if (keypad)
            return false;
        emit ZoomOut();
        return true;
    case Qt::Key_0:
        emit ActualSize();
        return true;
    case Qt::Key_Q:
    case Qt::Key_W:
        emit CloseRequested();
        return true;
    default:
        return false;
    }
}

bool TWindowKeys::PanMap(const QKeyEvent& key)
{
    if (!FMap || !FMap->hasFocus())
        return false;
    const bool sideways = key.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier);
    const Qt::Orientation pages = sideways ? Qt::Horizontal : Qt::Vertical;
    switch (key.key()) {
    case Qt::Key_Left: emit Pan(Qt::Horizontal, TPanKey::LineBack); return true;
    case Qt::Key_Right: emit Pan(Qt::Horizontal, TPanKey::LineForward); return true;
    case Qt::Key_Up: emit Pan(Qt::Vertical, TPanKey::LineBack); return true;
    case Qt::Key_Down: emit Pan(Qt::Vertical, TPanKey::LineForward); return true;
    case Qt::Key_PageUp: emit Pan(pages, TPanKey::PageBack); return true;
    case Qt::Key_PageDown: emit Pan(pages, TPanKey::PageForward); return true;
    case Qt::Key_Home: emit Pan(pages, TPanKey::First); return true;
    case Qt::Key_End: emit Pan(pages, TPanKey::Last); return true;
    default: return false;
    }
}

void TWindowKeys::MoveFocus(bool forward)
{
    const qsizetype count = FTabStops.size();
    qsizetype at = FTabStops.indexOf(QApplication::focusWidget());
    if (at < 0)
        at = forward ? count - 1 : 0;
    for (qsizetype step = 1; step <= count; ++step) {
        QWidget* stop = FTabStops.at(((forward ? at + step : at - step) % count + count) % count);
        if (stop && stop->isEnabled() && stop->isVisible()) {
            stop->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
    }
}

QString TWindowKeys::Help()
{
    const auto rows = [](const char* heading, std::initializer_list<std::pair<const char*, const char*>> keys) {
        QString table = QStringLiteral("<tr><td colspan=\"2\"><b>%1</b></td></tr>").arg(QLatin1String(heading));
        for (const auto& [key, action] : keys)
            table += QStringLiteral("<tr><td>%1&nbsp;&nbsp;</td><td>%2</td></tr>").arg(key, action);
        return table;
    };
    return QStringLiteral("<table>") +
           rows("Original keys", {{"Keypad + / Keypad -", "zoom in / out"},
                                  {"Shift with the wheel", "scroll left and right"},
                                  {"Tab", "between the list and the scroll bars"},
                                  {"Arrows, Page Up/Down, Home, End", "move the focused scroll bar"},
                                  {"Escape", "close the open list"}}) +
           rows("Added for the keyboard and screen readers",
                {{"Ctrl++ (or Ctrl+=) / Ctrl+-", "zoom in / out"},
                 {"Ctrl+0", "Actual Size: the whole map"},
                 {"Tab, Shift+Tab", "every control in turn, the buttons and the map too"},
                 {"Space or Return", "press the focused button"},
                 {"Return in the closed list", "Go"},
                 {"Arrows on the map", "move a tenth of the view"},
                 {"Page Up/Down on the map", "move nearly a view up / down"},
                 {"Home/End on the map", "go to the top / bottom edge"},
                 {"Shift or Ctrl with those", "Page Up/Down and Home/End go left / right"},
                 {"Ctrl+Q, Ctrl+W", "close the window"}}) +
           QStringLiteral("</table>");
}
