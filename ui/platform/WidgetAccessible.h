// The accessible interface of a plain QWidget: the role of a window when the
// widget is one, else a client area; its children are its child widgets as Qt
// lists them (no windows, no focus frame or rubber band), less those marked
// as decoration.
#pragma once

#include <QAccessibleWidget>
#include <QList>

class TWidgetAccessible : public QAccessibleWidget {
public:
    explicit TWidgetAccessible(QWidget* widget);

    QAccessible::Role role() const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;

private:
    QList<QWidget*> Children() const;
};
