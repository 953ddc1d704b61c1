#include "MapImage.h"

#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <cstddef>
#include <cstdint>

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
    // Qt draws 24-bit blue-green-red pixels by a slow generic conversion, and
    // 32-bit ones by a plain copy. The part to paint is converted here: each
    // pixel keeps its three bytes and gains a fourth, opaque one.
    QImage part(area.size(), QImage::Format_RGB32);
    for (int y = 0; y < area.height(); ++y) {
        const std::uint8_t* s = FPicture.ScanLine(area.top() + y) + 3 * static_cast<std::size_t>(area.left());
        auto* d = reinterpret_cast<QRgb*>(part.scanLine(y));
        for (int x = 0; x < area.width(); ++x, s += 3)
            d[x] = qRgb(s[2], s[1], s[0]);
    }
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
