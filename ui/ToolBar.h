// The flat tool bar: a strip whose buttons and list sit at fixed positions
// chosen by the window, with an etched edge line at its top and its bottom.
#pragma once

#include <QWidget>

class TToolBar : public QWidget {
    Q_OBJECT

public:
    explicit TToolBar(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};
