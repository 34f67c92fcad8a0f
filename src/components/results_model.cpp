#include "components/results_model.h"

#include "components/gui_text.h"

#include <numeric>

namespace zorvika {

ResultsModel::ResultsModel(QObject* parent) : SortedTableModel(parent) {}

int ResultsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(order_.size());
}

int ResultsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QVariant ResultsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= static_cast<int>(order_.size()) || index.column() >= kColumnCount)
        return {};
    if (role == Qt::DisplayRole || (role == Qt::ToolTipRole && index.column() == ColModule))
        return qtext(rows_[order_[static_cast<std::size_t>(index.row())]].cells[static_cast<std::size_t>(index.column())]);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignVCenter | (index.column() <= ColType ? Qt::AlignLeft : Qt::AlignRight));
    return {};
}

QVariant ResultsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return section <= ColType ? leadCaptions_[section] : qtext(kFigureCaptions[static_cast<std::size_t>(section - 2)]);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignVCenter | (section <= ColType ? Qt::AlignLeft : Qt::AlignRight));
    return {};
}

void ResultsModel::setLeadCaptions(const QString& module, const QString& type)
{
    leadCaptions_ = {module, type};
    emit headerDataChanged(Qt::Horizontal, 0, 1);
}

void ResultsModel::clear()
{
    beginResetModel();
    rows_.clear();
    order_.clear();
    endResetModel();
}

void ResultsModel::setSortingEnabled(bool on)
{
    sorting_ = on;
    reorder();
}

void ResultsModel::appendRows(std::vector<ModuleRow> rows)
{
    beginResetModel();
    rows_.reserve(rows_.size() + rows.size());
    for (ModuleRow& row : rows)
        rows_.push_back(std::move(row));
    order_.resize(rows_.size());
    std::iota(order_.begin(), order_.end(), std::size_t{0});
    if (sorting_)
        order_ = sortedOrder(rows_, sort_);
    endResetModel();
}

void ResultsModel::columnClicked(int column)
{
    if (column < 0 || column >= kColumnCount)
        return;
    sort_.columnClicked(column);
    reorder();
    emit sortChanged(sort_.column, sort_.descending);
}

void ResultsModel::reorder()
{
    beginResetModel();
    if (sorting_) {
        order_ = sortedOrder(rows_, sort_);
    } else {
        order_.resize(rows_.size());
        std::iota(order_.begin(), order_.end(), std::size_t{0});
    }
    endResetModel();
}

std::vector<ModuleRow> ResultsModel::displayRows() const
{
    std::vector<ModuleRow> out;
    out.reserve(order_.size());
    for (std::size_t i : order_)
        out.push_back(rows_[i]);
    return out;
}

const ModuleRow& ResultsModel::displayRow(int row) const { return rows_[order_.at(static_cast<std::size_t>(row))]; }

} // namespace zorvika
