// A ring in the highlight colour around whichever of a window's controls has
// the keyboard focus, 2 px wide, just outside the control.
//
// The style draws no focus at all on a scroll bar or on a plain widget such
// as the map's panel, and only a faint one on a flat tool button. The ring is
// a child of the window, raised above the controls and masked to the ring
// itself, so it never covers or repaints what it surrounds and takes no mouse
// input. It is hidden while none of the controls has the focus, and while
// the window is not active. Screen readers do not see it.
#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

class TFocusRing : public QWidget {
    Q_OBJECT

public:
    TFocusRing(QWidget* window, const QList<QWidget*>& controls);

    static constexpr int Width = 2;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void FocusChanged(QWidget* now);

    QList<QPointer<QWidget>> FControls;
};
