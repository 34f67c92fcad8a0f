#include "widgets/text_table_model.h"

#include "widgets/gui_text.h"

namespace zorvika {

TextTableModel::TextTableModel(QStringList titles, std::vector<bool> rightAligned, QObject* parent)
    : SortedTableModel(parent), titles_(std::move(titles)), rightAligned_(std::move(rightAligned))
{
    rightAligned_.resize(static_cast<std::size_t>(titles_.size()), false);
    setSortingEnabled(true);
}

int TextTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(titles_.size());
}

std::string_view TextTableModel::cellText(std::size_t heldRow, int column) const
{
    return rows_[heldRow][static_cast<std::size_t>(column)];
}

QVariant TextTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    if (role == Qt::DisplayRole)
        return titles_[section];
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(alignment(section));
    return {};
}

void TextTableModel::setRows(std::vector<std::vector<std::string>> rows)
{
    for (auto& row : rows)
        row.resize(static_cast<std::size_t>(titles_.size()));
    rows_ = std::move(rows);
    reorder();
}

std::vector<std::vector<std::string>> TextTableModel::displayRows() const
{
    std::vector<std::vector<std::string>> out;
    out.reserve(static_cast<std::size_t>(rowCount()));
    for (int r = 0; r < rowCount(); ++r)
        out.push_back(rows_[heldRow(r)]);
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
