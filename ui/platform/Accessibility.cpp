#include "Accessibility.h"

#include "ComboBoxAccessible.h"
#include "ScrollBarAccessible.h"
#include "WidgetAccessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAbstractSlider>
#include <QWidget>

namespace {

const char* const DecorationProperty = "kelderwynDecoration";
const char* const PercentProperty = "kelderwynValueInPercent";

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
    if (className == QLatin1String("TAnnouncement"))
        return new QAccessibleWidget(widget, QAccessible::Notification);
    if (className == QLatin1String("QScrollBar") && widget->property(PercentProperty).toBool())
        return new TScrollBarAccessible(widget);
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

void ReportValueInPercent(QAbstractSlider* slider)
{
    slider->setProperty(PercentProperty, true);
    // Qt made the slider's interface at its first event, while it was set
    // up; the next query makes the new one.
    if (QAccessibleInterface* made = QAccessible::queryAccessibleInterface(slider))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

bool IsDecoration(const QWidget* widget)
{
    return widget->property(DecorationProperty).toBool();
}
