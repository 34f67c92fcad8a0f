#pragma once
// A list of text rows under fixed titles, always sorted, as every list of
// the program is.
#include "widgets/sorted_table_model.h"

#include <QStringList>

#include <string>
#include <vector>

namespace zorvika {

class TextTableModel : public SortedTableModel {
    Q_OBJECT
public:
    // `rightAligned[c]` puts column c's texts on the right (figures).
    TextTableModel(QStringList titles, std::vector<bool> rightAligned, QObject* parent = nullptr);

    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Replaces every row; rows shorter than the titles get empty cells.
    void setRows(std::vector<std::vector<std::string>> rows);

    // The rows in the order the list shows them.
    std::vector<std::vector<std::string>> displayRows() const;
    std::vector<std::string> titles() const;

protected:
    std::size_t heldRowCount() const override { return rows_.size(); }
    std::string_view cellText(std::size_t heldRow, int column) const override;
    bool rightAligned(int column) const override { return rightAligned_[static_cast<std::size_t>(column)]; }

private:
    QStringList titles_;
    std::vector<bool> rightAligned_;
    std::vector<std::vector<std::string>> rows_;
};

} // namespace zorvika
