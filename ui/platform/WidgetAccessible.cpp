#include "WidgetAccessible.h"

#include "Accessibility.h"

#include <QFocusFrame>
#include <QWidget>

TWidgetAccessible::TWidgetAccessible(QWidget* widget) : QAccessibleWidget(widget)
{
}

QAccessible::Role TWidgetAccessible::role() const
{
    return widget()->isWindow() ? QAccessible::Window : QAccessible::Client;
}

QList<QWidget*> TWidgetAccessible::Children() const
{
    QList<QWidget*> children;
    for (QObject* object : widget()->children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (child && !child->isWindow() && !IsDecoration(child) && !qobject_cast<QFocusFrame*>(child) &&
            child->objectName() != QLatin1String("qt_rubberband"))
            children << child;
    }
    return children;
}

int TWidgetAccessible::childCount() const
{
    return static_cast<int>(Children().size());
}

QAccessibleInterface* TWidgetAccessible::child(int index) const
{
    const QList<QWidget*> children = Children();
    if (index < 0 || index >= children.size())
        return nullptr;
    return QAccessible::queryAccessibleInterface(children.at(index));
}

int TWidgetAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    if (!child || !child->object() || !child->object()->isWidgetType())
        return -1;
    return static_cast<int>(Children().indexOf(static_cast<QWidget*>(child->object())));
}
