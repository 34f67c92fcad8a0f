#pragma once
// A list of text rows under fixed titles, sorted by the text of one column
// as every list of the program is; cells become Qt strings only when shown.
#include "components/sorted_table_model.h"

#include <QStringList>

#include <string>
#include <vector>

namespace zorvika {

class TextTableModel : public SortedTableModel {
    Q_OBJECT
public:
    // `rightAligned[c]` puts column c's texts on the right (figures).
    TextTableModel(QStringList titles, std::vector<bool> rightAligned, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Replaces every row; rows shorter than the titles get empty cells.
    void setRows(std::vector<std::vector<std::string>> rows);
    void columnClicked(int column) override;
    const SortState& sortState() const override { return sort_; }

    // The rows in the order the list shows them.
    std::vector<std::vector<std::string>> displayRows() const;
    std::vector<std::string> titles() const;

private:
    void reorder();

    QStringList titles_;
    std::vector<bool> rightAligned_;
    std::vector<std::vector<std::string>> rows_;
    std::vector<std::size_t> order_;
    SortState sort_;
};

} // namespace zorvika
