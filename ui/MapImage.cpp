#include "MapImage.h"

#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <cmath>
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
    // On a screen with a whole number of device pixels to a logical one every
    // map pixel becomes a solid block: blending neighbours would only blur the
    // map and the one-pixel marker outlines. At a fractional ratio blocks
    // cannot be even (at 1.5 they alternate between one and two device
    // pixels, so that equal lines come out of two widths and names ragged),
    // and the picture is filtered instead, every line then as wide as the
    // next. The filter reads a pixel around the area, which the markers must
    // have reached too.
    const qreal ratio = devicePixelRatioF();
    const bool smooth = ratio != std::floor(ratio);
    const QRect source = smooth ? area.adjusted(-1, -1, 1, 1) & rect() : area;
    emit AboutToPaint(source);
    // The rows of the part to paint, wrapped read-only: no copy, no detach,
    // and Qt converts only the pixels it shows.
    const QImage part(FPicture.ScanLine(source.top()) + 3 * static_cast<std::size_t>(source.left()), source.width(),
                      source.height(), static_cast<qsizetype>(FPicture.RowStride()), QImage::Format_BGR888);
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    if (smooth)
        painter.setClipRect(area);
    painter.drawImage(source.topLeft(), part);
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
