// The accessible interface of a scroll bar that moves a view across a larger
// picture, where the pixel position means nothing to a listener: its value is
// how far across the bar stands, in whole percent from 0 to 100, and a value
// set from outside moves the bar to that percent of its range. Its name,
// description, role and state are the widget's, as for any scroll bar.
#pragma once

#include <QAccessibleWidget>

class QAbstractSlider;

class TScrollBarAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit TScrollBarAccessible(QWidget* widget);

    void* interface_cast(QAccessible::InterfaceType type) override;
    QString text(QAccessible::Text type) const override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant& value) override;
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override;

private:
    QAbstractSlider* Slider() const;
};
