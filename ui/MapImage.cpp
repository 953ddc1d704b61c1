#include "MapImage.h"

#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <cstddef>

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
    const QRect area = event->rect() & rect();
    if (FPicture.Empty() || area.isEmpty())
        return;
    emit AboutToPaint(area);
    // The rows of the part to paint, wrapped read-only: no copy, no detach,
    // and Qt converts only the pixels it shows.
    const QImage part(FPicture.ScanLine(area.top()) + 3 * static_cast<std::size_t>(area.left()), area.width(),
                      area.height(), static_cast<qsizetype>(FPicture.RowStride()), QImage::Format_BGR888);
    QPainter painter(this);
    // On a screen with more device pixels than logical ones every map pixel
    // becomes a solid block: blending neighbours would blur the map and the
    // one-pixel marker outlines.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(area.topLeft(), part);
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
