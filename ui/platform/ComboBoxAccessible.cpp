#include "ComboBoxAccessible.h"

#include <QAbstractItemView>
#include <QComboBox>

TComboBoxAccessible::TComboBoxAccessible(QWidget* widget) : QAccessibleWidget(widget, QAccessible::ComboBox)
{
}

QComboBox* TComboBoxAccessible::ComboBox() const
{
    return static_cast<QComboBox*>(widget());
}

void* TComboBoxAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString TComboBoxAccessible::text(QAccessible::Text type) const
{
    if (type == QAccessible::Value)
        return ComboBox()->currentText();
    return QAccessibleWidget::text(type);
}

int TComboBoxAccessible::childCount() const
{
    return ComboBox()->view() ? 1 : 0;
}

QAccessibleInterface* TComboBoxAccessible::child(int index) const
{
    return index == 0 && ComboBox()->view() ? QAccessible::queryAccessibleInterface(ComboBox()->view()) : nullptr;
}

int TComboBoxAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    return child && ComboBox()->view() && child->object() == ComboBox()->view() ? 0 : -1;
}

QAccessibleInterface* TComboBoxAccessible::childAt(int, int) const
{
    return nullptr;
}

QStringList TComboBoxAccessible::actionNames() const
{
    return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
}

void TComboBoxAccessible::doAction(const QString& actionName)
{
    if (actionName != showMenuAction() && actionName != pressAction()) {
        QAccessibleWidget::doAction(actionName);
        return;
    }
    if (ComboBox()->view()->isVisible())
        ComboBox()->hidePopup();
    else
        ComboBox()->showPopup();
}

QString TComboBoxAccessible::text(int startOffset, int endOffset) const
{
    const QString chosen = ComboBox()->currentText();
    if (startOffset < 0 || endOffset < startOffset || endOffset > chosen.size())
        return {};
    return chosen.mid(startOffset, endOffset - startOffset);
}

int TComboBoxAccessible::characterCount() const
{
    return static_cast<int>(ComboBox()->currentText().size());
}

void TComboBoxAccessible::selection(int, int* startOffset, int* endOffset) const
{
    *startOffset = 0;
    *endOffset = 0;
}

int TComboBoxAccessible::selectionCount() const
{
    return 0;
}

void TComboBoxAccessible::addSelection(int, int) {}

void TComboBoxAccessible::removeSelection(int) {}

void TComboBoxAccessible::setSelection(int, int, int) {}

int TComboBoxAccessible::cursorPosition() const
{
    return 0;
}

void TComboBoxAccessible::setCursorPosition(int) {}

QRect TComboBoxAccessible::characterRect(int) const
{
    return {};
}

int TComboBoxAccessible::offsetAtPoint(const QPoint&) const
{
    return -1;
}

void TComboBoxAccessible::scrollToSubstring(int, int) {}

QString TComboBoxAccessible::attributes(int offset, int* startOffset, int* endOffset) const
{
    *startOffset = offset;
    *endOffset = offset;
    return {};
}
