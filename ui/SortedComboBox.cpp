#include "SortedComboBox.h"

#include "Errors.h"

TSortedComboBox::TSortedComboBox(QWidget* parent) : QComboBox(parent)
{
    setEditable(false);
    FCollator.setCaseSensitivity(Qt::CaseInsensitive);
}

void TSortedComboBox::AddSorted(const QString& text)
{
    int low = 0;
    int high = count();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (FCollator.compare(itemText(middle), text) <= 0)
            low = middle + 1;
        else
            high = middle;
    }
    const int countBefore = count();
    const int selected = currentIndex();
    insertItem(low, text);
    if (count() == countBefore)
        throw EOutOfResources("Unable to insert a line");
    // The list selects its first entry when it stops being empty.
    if (selected < 0)
        setCurrentIndex(-1);
}
