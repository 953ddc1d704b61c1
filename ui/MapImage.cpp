#include "MapImage.h"

#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

TMapImage::TMapImage(const TBitmap& picture, QWidget* parent) : QWidget(parent), FPicture(picture)
{
    setCursor(Qt::PointingHandCursor);
}

void TMapImage::PictureChanged()
{
    resize(FPicture.Width(), FPicture.Height());
    update();
}

void TMapImage::paintEvent(QPaintEvent* event)
{
    if (FPicture.Empty())
        return;
    // The const constructor wraps the rows read-only: no copy, no detach.
    const QImage image(FPicture.Bits(), FPicture.Width(), FPicture.Height(),
                       static_cast<qsizetype>(FPicture.RowStride()), QImage::Format_BGR888);
    QPainter painter(this);
    // On a screen with more device pixels than logical ones every map pixel
    // becomes a solid block: blending neighbours would blur the map and the
    // one-pixel marker outlines.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(event->rect(), image, event->rect());
}

void TMapImage::mousePressEvent(QMouseEvent* event)
{
    emit MouseDown(event->button(), event->position().toPoint());
}

void TMapImage::mouseMoveEvent(QMouseEvent* event)
{
    emit MouseMove(event->buttons(), event->position().toPoint());
}

void TMapImage::mouseReleaseEvent(QMouseEvent* event)
{
    emit MouseUp(event->button(), event->position().toPoint());
}
