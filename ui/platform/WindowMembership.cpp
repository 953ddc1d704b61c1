#include "WindowMembership.h"

#include <QWidget>

bool WidgetBelongsToWindow(const QWidget* widget, const QWidget* window, bool includePopups)
{
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        if (w == window)
            return true;
        if (w->isWindow() && !(includePopups && w->windowType() == Qt::Popup))
            return false;
    }
    return false;
}
