#include "FocusRing.h"

#include "Accessibility.h"

#include <QApplication>
#include <QPainter>
#include <QRegion>

TFocusRing::TFocusRing(QWidget* window, const QList<QWidget*>& controls) : QWidget(window)
{
    for (QWidget* control : controls)
        FControls << control;
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    MarkAsDecoration(this);
    hide();
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { FocusChanged(now); });
}

void TFocusRing::FocusChanged(QWidget* now)
{
    if (!now || !FControls.contains(now)) {
        hide();
        return;
    }
    const QRect inner(now->mapTo(parentWidget(), QPoint(0, 0)), now->size());
    const QRect outer = inner.adjusted(-Width, -Width, Width, Width);
    setGeometry(outer);
    setMask(QRegion(rect()) - QRegion(inner.translated(-outer.topLeft())));
    raise();
    show();
    update();
}

void TFocusRing::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Highlight));
}
