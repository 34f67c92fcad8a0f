#pragma once
// What every list of the program shares: rows of texts whose display order
// follows a sort state, the sort column's texts compared as texts, the order
// flipped by every click on a column header. Cells become Qt strings only
// when the view asks for a visible one, so tens of thousands of rows show at
// once. A derived list holds the rows and says what a cell holds.
#include "analysis/results.h"

#include <QAbstractTableModel>

#include <string>
#include <string_view>
#include <vector>

namespace zorvika {

class SortedTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // The texts of the row shown at `row`, one per column.
    std::vector<std::string> shownRow(int row) const;

    // A click on the header of `column`: that column, the order flipped.
    void columnClicked(int column);
    const SortState& sortState() const { return sort_; }
    // While sorting is off the rows show in the order they were added.
    void setSortingEnabled(bool on);
    bool sortingEnabled() const { return sorting_; }

signals:
    void sortChanged(int column, bool descending);

protected:
    // The rows as held, in the order they were added.
    virtual std::size_t heldRowCount() const = 0;
    virtual std::string_view cellText(std::size_t heldRow, int column) const = 0;
    virtual bool rightAligned(int column) const = 0;
    Qt::Alignment alignment(int column) const;

    // The held row shown at `row`.
    std::size_t heldRow(int row) const { return order_.at(static_cast<std::size_t>(row)); }
    // Orders the held rows anew (after they changed) and tells the view.
    void reorder();

private:
    std::vector<std::size_t> order_;
    SortState sort_;
    bool sorting_ = false;
};

} // namespace zorvika
