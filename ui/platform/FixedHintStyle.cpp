#include "FixedHintStyle.h"

#include <QWidget>

TFixedHintStyle::TFixedHintStyle(StyleHint hint, int value) : FHint(hint), FValue(value)
{
}

int TFixedHintStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                               QStyleHintReturn* returnData) const
{
    if (hint == FHint)
        return FValue;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

void TFixedHintStyle::Apply(QWidget* control, StyleHint hint, int value)
{
    auto* style = new TFixedHintStyle(hint, value);
    style->setParent(control);
    control->setStyle(style);
}
