// A drop-down list that offers only its own entries and keeps them sorted:
// each added text, 8-bit text in the system code page as the older toolkit's
// list took it (AnsiText.h), goes to its sorted place in a stable,
// case-insensitive, locale-aware order of the text as Unicode. Equal texts stay separate entries, a new one after the
// equal ones already there. Adding never changes what is selected.
//
// Between BeginUpdate and EndUpdate the added texts are only collected;
// EndUpdate puts them all at their sorted places at once, with the same
// result as adding them one by one. A load of many names then costs a
// collation key per name and one sort instead of moving the list's entries
// once per name.
//
// The entries live in a TSortedListModel and come only from AddSorted:
// QComboBox's own functions that add, change or remove items do nothing.
//
// Return or Enter on the closed list sends ReturnPressed; in the open list
// they only choose the highlighted entry, as before.
#pragma once

#include <QCollator>
#include <QComboBox>

#include <string_view>

class TSortedListModel;

class TSortedComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit TSortedComboBox(QWidget* parent);

    // Throws EOutOfResources "Unable to insert a line" when the list refuses
    // the entry (it is full).
    void AddSorted(std::string_view text);

    void BeginUpdate();
    void EndUpdate();

signals:
    void ReturnPressed();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    int SortedPlace(std::string_view text) const;
    // Puts the entries added since the last call at their sorted places.
    void ShowAdded();

    QCollator FCollator;
    TSortedListModel* FEntries;
    int FUpdates = 0;
};

// Keeps an update of the list open for its lifetime.
class TSortedComboBoxUpdate {
public:
    explicit TSortedComboBoxUpdate(TSortedComboBox& box) : FBox(box) { FBox.BeginUpdate(); }
    ~TSortedComboBoxUpdate() { FBox.EndUpdate(); }
    TSortedComboBoxUpdate(const TSortedComboBoxUpdate&) = delete;
    TSortedComboBoxUpdate& operator=(const TSortedComboBoxUpdate&) = delete;

private:
    TSortedComboBox& FBox;
};
