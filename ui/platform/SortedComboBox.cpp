#include "SortedComboBox.h"

#include "Errors.h"
#include "FixedHintStyle.h"

#include <QListView>

#include <QKeyEvent>

#include <algorithm>
#include <numeric>
#include <vector>

TSortedComboBox::TSortedComboBox(QWidget* parent) : QComboBox(parent)
{
    setEditable(false);
    FCollator.setCaseSensitivity(Qt::CaseInsensitive);
    // The list drops down below the box, as the older toolkit's does, rather
    // than popping up over it as a menu. A menu-like pop-up measures the
    // text of every entry each time it opens, a third of a second for 100,000
    // names; the drop-down lays out only the entries it shows, all one line
    // of the same height.
    TFixedHintStyle::Apply(this, QStyle::SH_ComboBox_Popup, 0);
    if (auto* list = qobject_cast<QListView*>(view()))
        list->setUniformItemSizes(true);
}


// The index after the last entry that sorts before or equal to text.
int TSortedComboBox::SortedPlace(const QString& text) const
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
    return low;
}

void TSortedComboBox::AddSorted(const QString& text)
{
    if (FUpdates > 0) {
        if (count() + FPending.size() >= maxCount())
            throw EOutOfResources("Unable to insert a line");
        FPending.append(text);
        return;
    }
    const int countBefore = count();
    const int selected = currentIndex();
    insertItem(SortedPlace(text), text);
    if (count() == countBefore)
        throw EOutOfResources("Unable to insert a line");
    // The list selects its first entry when it stops being empty.
    if (selected < 0)
        setCurrentIndex(-1);
}

void TSortedComboBox::BeginUpdate()
{
    ++FUpdates;
}

void TSortedComboBox::EndUpdate()
{
    if (FUpdates == 0 || --FUpdates > 0 || FPending.isEmpty())
        return;
    const QStringList pending = std::move(FPending);
    FPending.clear();

    // The stable sort keeps equal texts in the order they came.
    std::vector<qsizetype> order(static_cast<std::size_t>(pending.size()));
    std::iota(order.begin(), order.end(), qsizetype{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](qsizetype a, qsizetype b) { return FCollator.compare(pending[a], pending[b]) < 0; });

    // Each run of new texts that goes between the same two entries is
    // inserted in one call, the last run first, so that the places found in
    // the list as it was stay right.
    std::vector<std::pair<int, QStringList>> runs;
    for (const qsizetype i : order) {
        const QString& text = pending[i];
        const int place = SortedPlace(text);
        if (runs.empty() || runs.back().first != place)
            runs.emplace_back(place, QStringList());
        runs.back().second.append(text);
    }
    std::stable_sort(runs.begin(), runs.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    const int selected = currentIndex();
    for (auto run = runs.rbegin(); run != runs.rend(); ++run)
        insertItems(run->first, run->second);
    if (selected < 0)
        setCurrentIndex(-1);
}

void TSortedComboBox::keyPressEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        QComboBox::keyPressEvent(event);
        return;
    }
    event->accept();
    emit ReturnPressed();
}
