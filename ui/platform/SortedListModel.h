// The entries of TSortedComboBox, as the list model its views read.
//
// Every added text, 8-bit text in the system code page (AnsiText.h), is an
// entry, numbered from 0 in the order it came. The texts lie one after
// another in a single buffer, so an entry costs a byte per character and two
// 32-bit numbers, where QComboBox's own model keeps an item object, a variant
// and a UTF-16 copy per entry; views get the text converted when they ask. An entry becomes a row once
// ShowEntries places it; rows are only ever inserted. Views see each row's
// text in the display and edit roles and the flags of a standard item; the
// model takes no edits, insertions or removals from them.
#pragma once

#include "CollatedOrder.h"

#include <QAbstractListModel>

#include <cstdint>
#include <string_view>
#include <vector>

class TSortedListModel : public QAbstractListModel {
    Q_OBJECT

public:
    explicit TSortedListModel(QObject* parent);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Stores text as the next entry, not shown yet. Throws EOutOfResources
    // "Unable to insert a line" when the buffer cannot take it.
    void AddEntry(std::string_view text);
    std::uint32_t EntryCount() const { return static_cast<std::uint32_t>(FStarts.size() - 1); }
    // Valid until the next AddEntry.
    std::string_view Entry(std::uint32_t entry) const;
    // All the texts, and where each starts in them, followed by the end of the last.
    std::string_view Texts() const { return {FTexts.data(), FTexts.size()}; }
    const TTextStarts& Starts() const { return FStarts; }

    // The entries not shown yet are the last ones added.
    std::uint32_t HiddenCount() const { return EntryCount() - static_cast<std::uint32_t>(FRows.size()); }
    std::uint32_t RowEntry(int row) const { return FRows[static_cast<std::size_t>(row)]; }
    // Inserts rows for entries at row, in the order given.
    void ShowEntries(int row, TTextOrder entries);

private:
    std::vector<char, THugePageAllocator<char>> FTexts;
    TTextStarts FStarts{0};
    TTextOrder FRows;
};
