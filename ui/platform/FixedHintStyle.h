// TFixedHintStyle: the application's style with one style hint fixed to a
// value of our own, for the controls whose older-toolkit behaviour needs it.
#pragma once

#include <QProxyStyle>

class TFixedHintStyle : public QProxyStyle {
public:
    TFixedHintStyle(StyleHint hint, int value);

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override;

    // Gives `control` such a style, owned by the control.
    static void Apply(QWidget* control, StyleHint hint, int value);

private:
    StyleHint FHint;
    int FValue;
};
