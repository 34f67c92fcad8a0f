#pragma once
// What every list of the program shares: rows of texts whose display order
// follows a sort state, the sort column's texts compared as texts (or, for
// a list's figure columns and on request, as numbers), the order flipped by
// every click on a column header. Cells become Qt strings only
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

    // A click on the header of `column`: that column, the order flipped;
    // by the numbers for a column the list sorts numerically, else by texts.
    void columnClicked(int column);
    // The same click, the column's cells compared as numbers (cells that
    // hold none last in either direction).
    void sortAsNumbers(int column);
    // The columns whose header clicks compare numbers.
    void setNumericColumns(std::vector<bool> numeric) { numeric_ = std::move(numeric); }
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
    void sortBy(int column, bool numbers);

    std::vector<bool> numeric_;
    std::vector<std::size_t> order_;
    SortState sort_;
    bool sorting_ = false;
};

} // namespace zorvika
