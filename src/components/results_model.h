#pragma once
// The rows of a result list for a view: the rows in the order they were
// added, the sort state, and the display order that follows from both. Cells
// are turned into Qt strings only when the view asks for a visible one, so a
// list of tens of thousands of rows shows at once.
#include "analysis/module_row.h"
#include "components/sorted_table_model.h"

#include <QStringList>

#include <vector>

namespace zorvika {

class ResultsModel : public SortedTableModel {
    Q_OBJECT
public:
    explicit ResultsModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Captions of columns 0 and 1 (the others are the fixed figure captions).
    void setLeadCaptions(const QString& module, const QString& type);

    // Removes every row; the sort state stays.
    void clear();
    // While sorting is off the rows show in the order they were added.
    void setSortingEnabled(bool on);
    bool sortingEnabled() const { return sorting_; }
    // Adds rows at the end.
    void appendRows(std::vector<ModuleRow> rows);

    // A click on the header of `column` (0 to 11): that column, the order flipped.
    void columnClicked(int column) override;
    const SortState& sortState() const override { return sort_; }

    // The rows in the order the list shows them.
    std::vector<ModuleRow> displayRows() const;
    const ModuleRow& displayRow(int row) const;

private:
    void reorder();

    std::vector<ModuleRow> rows_;
    std::vector<std::size_t> order_;
    SortState sort_;
    bool sorting_ = false;
    QStringList leadCaptions_{QString(), QString()};
};

} // namespace zorvika
