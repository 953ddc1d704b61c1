#include "Accessibility.h"

#include "ComboBoxAccessible.h"
#include "WidgetAccessible.h"

#include <QAccessible>
#include <QWidget>

namespace {

const char* const DecorationProperty = "kelderwynDecoration";

// Qt asks the factories for each class of an object, the most derived first,
// and the factory installed last first: "QWidget" reaches this one only for
// widgets that no Qt class above QWidget describes.
QAccessibleInterface* AccessibleFactory(const QString& className, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (className == QLatin1String("TSortedComboBox"))
        return new TComboBoxAccessible(widget);
    if (className == QLatin1String("QWidget"))
        return new TWidgetAccessible(widget);
    return nullptr;
}

} // namespace

void InstallAccessibility()
{
    static const bool installed = (QAccessible::installFactory(AccessibleFactory), true);
    Q_UNUSED(installed);
}

void MarkAsDecoration(QWidget* widget)
{
    widget->setProperty(DecorationProperty, true);
}

bool IsDecoration(const QWidget* widget)
{
    return widget->property(DecorationProperty).toBool();
}
