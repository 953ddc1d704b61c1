#include "ScrollBarAccessible.h"

#include "Panning.h"

#include <QAbstractSlider>

TScrollBarAccessible::TScrollBarAccessible(QWidget* widget) : QAccessibleWidget(widget, QAccessible::ScrollBar)
{
}

QAbstractSlider* TScrollBarAccessible::Slider() const
{
    return static_cast<QAbstractSlider*>(widget());
}

void* TScrollBarAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::ValueInterface)
        return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString TScrollBarAccessible::text(QAccessible::Text type) const
{
    if (type == QAccessible::Value)
        return QString::number(currentValue().toInt());
    return QAccessibleWidget::text(type);
}

QVariant TScrollBarAccessible::currentValue() const
{
    return PercentAcross(Slider()->value(), Slider()->maximum());
}

void TScrollBarAccessible::setCurrentValue(const QVariant& value)
{
    Slider()->setValue(PositionAtPercent(value.toDouble(), Slider()->maximum()));
}

QVariant TScrollBarAccessible::maximumValue() const
{
    return 100;
}

QVariant TScrollBarAccessible::minimumValue() const
{
    return 0;
}

QVariant TScrollBarAccessible::minimumStepSize() const
{
    return 1;
}
