// The accessible interface of a drop-down list (TSortedComboBox) as the older
// toolkit gave it: the name stays the list's accessible name ("Location")
// whatever is chosen, where Qt on Linux names a combo box by its chosen entry;
// the chosen entry, or the empty text, is its value and its read-only text.
// Its one child is the list of entries; its actions open and close that list
// and, as for any control that takes the focus, give it the focus.
#pragma once

#include <QAccessibleWidget>

class QComboBox;

class TComboBoxAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit TComboBoxAccessible(QWidget* widget);

    void* interface_cast(QAccessible::InterfaceType type) override;
    QString text(QAccessible::Text type) const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;

    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;

    // The chosen entry, read-only: no selections and the cursor at 0.
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

private:
    QComboBox* ComboBox() const;
};
