// The entries of TSortedComboBox, as the list model its views read.
//
// Every added text is an entry, numbered from 0 in the order it came. The
// texts lie one after another in a single buffer of UTF-16 units, so an entry
// costs its text and two 32-bit numbers, where QComboBox's own model keeps an
// item object and a variant per entry. An entry becomes a row once
// ShowEntries places it; rows are only ever inserted. Views see each row's
// text in the display and edit roles and the flags of a standard item; the
// model takes no edits, insertions or removals from them.
#pragma once

#include "CollatedOrder.h"

#include <QAbstractListModel>
#include <QStringView>

#include <cstdint>
#include <vector>

class TSortedListModel : public QAbstractListModel {
    Q_OBJECT

public:
    explicit TSortedListModel(QObject* parent);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Makes room for the next entry, of `length` units, not shown yet, and
    // gives where its text goes. Throws EOutOfResources "Unable to insert a
    // line" when the buffer cannot take it.
    char16_t* AddEntry(std::size_t length);
    std::uint32_t EntryCount() const { return static_cast<std::uint32_t>(FStarts.size() - 1); }
    // Valid until the next AddEntry.
    QStringView Entry(std::uint32_t entry) const;
    // All the texts, and where each starts in them, followed by the end of the last.
    QStringView Texts() const { return QStringView(FTexts.data(), static_cast<qsizetype>(FTexts.size())); }
    const TTextStarts& Starts() const { return FStarts; }

    // The entries not shown yet are the last ones added.
    std::uint32_t HiddenCount() const { return EntryCount() - static_cast<std::uint32_t>(FRows.size()); }
    std::uint32_t RowEntry(int row) const { return FRows[static_cast<std::size_t>(row)]; }
    // Inserts rows for entries at row, in the order given.
    void ShowEntries(int row, TTextOrder entries);

private:
    std::vector<char16_t, THugePageAllocator<char16_t>> FTexts;
    TTextStarts FStarts{0};
    TTextOrder FRows;
};
