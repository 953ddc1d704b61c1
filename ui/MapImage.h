// ImageMap: shows a TBitmap owned elsewhere (the form's ViewBitmap) without
// copying it, at the bitmap's own size. Its coordinates are the picture's
// pixels, so mouse positions are map points.
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

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const TBitmap& FPicture;
};
