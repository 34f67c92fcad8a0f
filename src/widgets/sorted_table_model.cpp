#include "widgets/sorted_table_model.h"

#include "widgets/gui_text.h"

#include <numeric>

namespace zorvika {

int SortedTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(order_.size());
}

Qt::Alignment SortedTableModel::alignment(int column) const
{
    return Qt::AlignVCenter | (rightAligned(column) ? Qt::AlignRight : Qt::AlignLeft);
}

QVariant SortedTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    // The first column (the module path) may be cut at its width: its tooltip shows it whole.
    if (role == Qt::DisplayRole || (role == Qt::ToolTipRole && index.column() == 0))
        return qtext(cellText(heldRow(index.row()), index.column()));
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(alignment(index.column()));
    return {};
}

std::vector<std::string> SortedTableModel::shownRow(int row) const
{
    std::vector<std::string> texts;
    for (int c = 0; c < columnCount(); ++c)
        texts.emplace_back(cellText(heldRow(row), c));
    return texts;
}

void SortedTableModel::columnClicked(int column)
{
    const auto c = static_cast<std::size_t>(column);
    sortBy(column, column >= 0 && c < numeric_.size() && numeric_[c]);
}

void SortedTableModel::sortAsNumbers(int column) { sortBy(column, true); }

void SortedTableModel::sortBy(int column, bool numbers)
{
    if (column < 0 || column >= columnCount())
        return;
    sort_.columnClicked(column);
    sort_.numeric = numbers;
    reorder();
    emit sortChanged(sort_.column, sort_.descending);
}

void SortedTableModel::setSortingEnabled(bool on)
{
    sorting_ = on;
    reorder();
}

void SortedTableModel::reorder()
{
    beginResetModel();
    if (sorting_) {
        const int column = sort_.column;
        const auto cellOf = [&](std::size_t i) { return cellText(i, column); };
        order_ = sort_.numeric ? sortedOrderByNumber(heldRowCount(), sort_.descending, cellOf)
                               : sortedOrderBy(heldRowCount(), sort_.descending, cellOf);
    } else {
        order_.resize(heldRowCount());
        std::iota(order_.begin(), order_.end(), std::size_t{0});
    }
    endResetModel();
}

} // namespace zorvika
