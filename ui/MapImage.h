// ImageMap: shows a TBitmap owned elsewhere (the form's ViewBitmap) without
// copying it, at the bitmap's own size. Its coordinates are the picture's
// pixels, so mouse positions are map points.
//
// Mouse presses, moves and releases are passed on as signals with the
// position in the image's own pixels. After a press the image keeps getting
// the moves and the release while a button is held, wherever the pointer
// goes (Qt's implicit grab), with positions measured from the image's
// current place.
//
// Before it paints a part of the picture it emits AboutToPaint with that part,
// in the picture's pixels, so that the owner can finish the picture there; at
// a fractional device pixel ratio, where the picture is filtered rather than
// shown as blocks of device pixels, the part includes the pixels around it.
#pragma once

#include "Bitmap.h"

#include <QWidget>

class TMapImage : public QWidget {
    Q_OBJECT

public:
    TMapImage(const TBitmap& picture, QWidget* parent);

    // Call after the picture changed size or content: the control takes the
    // picture's size and repaints.
    void PictureChanged();
    // The picture as it stands: finished only where AboutToPaint said so.
    const TBitmap& Picture() const { return FPicture; }

signals:
    void AboutToPaint(const QRect& area);
    void MouseDown(Qt::MouseButton button, QPoint position);
    void MouseMove(Qt::MouseButtons buttons, QPoint position);
    void MouseUp(Qt::MouseButton button, QPoint position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    const TBitmap& FPicture;
};
