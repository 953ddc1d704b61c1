#include "ToolBar.h"

#include <QPainter>

TToolBar::TToolBar(QWidget* parent) : QWidget(parent) {}

void TToolBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const int right = width() - 1;
    const int bottom = height() - 1;
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(0, 0, right, 0);
    painter.drawLine(0, bottom - 1, right, bottom - 1);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(0, 1, right, 1);
    painter.drawLine(0, bottom, right, bottom);
}
