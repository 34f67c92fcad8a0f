#include "components/text_table_model.h"

#include "components/gui_text.h"

namespace zorvika {

TextTableModel::TextTableModel(QStringList titles, std::vector<bool> rightAligned, QObject* parent)
    : SortedTableModel(parent), titles_(std::move(titles)), rightAligned_(std::move(rightAligned))
{
    rightAligned_.resize(static_cast<std::size_t>(titles_.size()), false);
}

int TextTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(order_.size());
}

int TextTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(titles_.size());
}

QVariant TextTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const auto column = static_cast<std::size_t>(index.column());
    if (role == Qt::DisplayRole || (role == Qt::ToolTipRole && column == 0))
        return qtext(rows_[order_[static_cast<std::size_t>(index.row())]][column]);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignVCenter | (rightAligned_[column] ? Qt::AlignRight : Qt::AlignLeft));
    return {};
}

QVariant TextTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    if (role == Qt::DisplayRole)
        return titles_[section];
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignVCenter
                                   | (rightAligned_[static_cast<std::size_t>(section)] ? Qt::AlignRight : Qt::AlignLeft));
    return {};
}

void TextTableModel::setRows(std::vector<std::vector<std::string>> rows)
{
    for (auto& row : rows)
        row.resize(static_cast<std::size_t>(titles_.size()));
    rows_ = std::move(rows);
    reorder();
}

void TextTableModel::columnClicked(int column)
{
    if (column < 0 || column >= columnCount())
        return;
    sort_.columnClicked(column);
    reorder();
    emit sortChanged(sort_.column, sort_.descending);
}

void TextTableModel::reorder()
{
    beginResetModel();
    const auto column = static_cast<std::size_t>(sort_.column);
    order_ = sortedOrderBy(rows_.size(), sort_.descending,
                           [&](std::size_t i) -> std::string_view { return rows_[i][column]; });
    endResetModel();
}

std::vector<std::vector<std::string>> TextTableModel::displayRows() const
{
    std::vector<std::vector<std::string>> out;
    out.reserve(order_.size());
    for (std::size_t i : order_)
        out.push_back(rows_[i]);
    return out;
}

std::vector<std::string> TextTableModel::titles() const
{
    std::vector<std::string> out;
    for (const QString& t : titles_)
        out.push_back(utf8(t));
    return out;
}

} // namespace zorvika
