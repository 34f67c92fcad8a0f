#include "widgets/results_model.h"

#include "widgets/gui_text.h"

namespace zorvika {

ResultsModel::ResultsModel(QObject* parent) : SortedTableModel(parent) {}

int ResultsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

std::string_view ResultsModel::cellText(std::size_t heldRow, int column) const
{
    return rows_[heldRow].cells[static_cast<std::size_t>(column)];
}

QVariant ResultsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return section <= ColType ? leadCaptions_[section] : qtext(kFigureCaptions[static_cast<std::size_t>(section - 2)]);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(alignment(section));
    return {};
}

void ResultsModel::setLeadCaptions(const QString& module, const QString& type)
{
    leadCaptions_ = {module, type};
    emit headerDataChanged(Qt::Horizontal, 0, 1);
}

void ResultsModel::clear()
{
    rows_.clear();
    reorder();
}

void ResultsModel::appendRows(std::vector<ModuleRow> rows)
{
    rows_.reserve(rows_.size() + rows.size());
    for (ModuleRow& row : rows)
        rows_.push_back(std::move(row));
    reorder();
}

std::vector<ModuleRow> ResultsModel::displayRows() const
{
    std::vector<ModuleRow> out;
    out.reserve(static_cast<std::size_t>(rowCount()));
    for (int r = 0; r < rowCount(); ++r)
        out.push_back(displayRow(r));
    return out;
}

} // namespace zorvika
