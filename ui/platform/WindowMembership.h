// Which widgets belong to a window, for the window-wide event filters.
#pragma once

class QWidget;

// True for window itself and every widget inside it. A pop-up (a drop-down's
// list) counts as part of the window whose widget opened it when
// includePopups is set; other top-level windows (dialogs, message boxes)
// never do.
bool WidgetBelongsToWindow(const QWidget* widget, const QWidget* window, bool includePopups);
