#include "SortedListModel.h"

#include "AnsiText.h"
#include "Errors.h"

#include <limits>
#include <utility>

TSortedListModel::TSortedListModel(QObject* parent) : QAbstractListModel(parent)
{
}

int TSortedListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(FRows.size());
}

QVariant TSortedListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return AnsiToQString(Entry(RowEntry(index.row())));
}

Qt::ItemFlags TSortedListModel::flags(const QModelIndex&) const
{
    // A QStandardItem's, which screen readers have been told all along.
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable | Qt::ItemIsDragEnabled |
           Qt::ItemIsDropEnabled;
}

void TSortedListModel::AddEntry(std::string_view text)
{
    constexpr std::uint32_t Limit = std::numeric_limits<std::uint32_t>::max();
    if (EntryCount() == Limit || text.size() > Limit - FTexts.size())
        throw EOutOfResources("Unable to insert a line");
    FTexts.insert(FTexts.end(), text.begin(), text.end());
    FStarts.push_back(static_cast<std::uint32_t>(FTexts.size()));
}

std::string_view TSortedListModel::Entry(std::uint32_t entry) const
{
    return Texts().substr(FStarts[entry], FStarts[entry + 1] - FStarts[entry]);
}

void TSortedListModel::ShowEntries(int row, TTextOrder entries)
{
    if (entries.empty())
        return;
    beginInsertRows(QModelIndex(), row, row + static_cast<int>(entries.size()) - 1);
    if (FRows.empty())
        FRows = std::move(entries);
    else
        FRows.insert(FRows.begin() + row, entries.begin(), entries.end());
    ReleaseUnusedCapacity(FTexts);
    endInsertRows();
}
