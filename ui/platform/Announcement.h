// A message that a screen reader speaks at once, whichever control has the
// focus.
//
// Qt 6.4 has no announcement event, and what it tells AT-SPI of a changed name
// or description carries no text, so Orca says nothing for either; a value or
// text change is spoken only for the focused control. What Orca does speak
// for any object of the window is a notification that appears: TAnnouncement
// is an empty widget that reports the role of a notification, named by the
// message, and Announce shows it (AT-SPI "showing") and hides it again at
// once, so that it never lingers in what a screen reader finds.
#pragma once

#include <QWidget>

class TAnnouncement : public QWidget {
    Q_OBJECT

public:
    explicit TAnnouncement(QWidget* parent);

    // Also when the text is the one said last.
    void Announce(const QString& text);

signals:
    void Announced(const QString& text);
};
