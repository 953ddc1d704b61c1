#include "SortedComboBox.h"

#include "AnsiText.h"
#include "CollatedOrder.h"
#include "Errors.h"
#include "FixedHintStyle.h"
#include "SortedListModel.h"

#include <QKeyEvent>
#include <QListView>

#include <cstdint>
#include <utility>
#include <vector>

TSortedComboBox::TSortedComboBox(QWidget* parent) : QComboBox(parent), FEntries(new TSortedListModel(this))
{
    setEditable(false);
    setModel(FEntries);
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

// The row after the last entry that sorts before or equal to text.
int TSortedComboBox::SortedPlace(std::string_view text) const
{
    const QString unicode = AnsiToQString(text);
    int low = 0;
    int high = count();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (FCollator.compare(AnsiToQString(FEntries->Entry(FEntries->RowEntry(middle))), unicode) <= 0)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

void TSortedComboBox::AddSorted(std::string_view text)
{
    if (std::int64_t{count()} + FEntries->HiddenCount() >= maxCount())
        throw EOutOfResources("Unable to insert a line");
    FEntries->AddEntry(text);
    if (FUpdates == 0)
        ShowAdded();
}

void TSortedComboBox::BeginUpdate()
{
    ++FUpdates;
}

void TSortedComboBox::EndUpdate()
{
    if (FUpdates > 0 && --FUpdates == 0)
        ShowAdded();
}

void TSortedComboBox::ShowAdded()
{
    if (FEntries->HiddenCount() == 0)
        return;
    const std::uint32_t shown = static_cast<std::uint32_t>(count());
    const int selected = currentIndex();
    if (FEntries->HiddenCount() == 1) {
        FEntries->ShowEntries(SortedPlace(FEntries->Entry(shown)), {shown});
    } else if (shown == 0) {
        FEntries->ShowEntries(0, CollatedOrder(FCollator, FEntries->Texts(), FEntries->Starts()));
    } else {
        // The entries shown so far are in the order of all of them, so the
        // order of all tells where each new one goes. Each run of new entries
        // that goes between the same two rows is inserted in one call, the
        // last run first, so that the places counted in the list as it was
        // stay right.
        std::vector<std::pair<int, TTextOrder>> runs;
        int before = 0;
        for (const std::uint32_t entry : CollatedOrder(FCollator, FEntries->Texts(), FEntries->Starts())) {
            if (entry < shown) {
                ++before;
                continue;
            }
            if (runs.empty() || runs.back().first != before)
                runs.emplace_back(before, TTextOrder());
            runs.back().second.push_back(entry);
        }
        for (auto run = runs.rbegin(); run != runs.rend(); ++run)
            FEntries->ShowEntries(run->first, std::move(run->second));
    }
    // The list selects its first entry when it stops being empty.
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
