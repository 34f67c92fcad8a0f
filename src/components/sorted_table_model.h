#pragma once
// What every list of the program shares: a table of texts whose display
// order follows a sort state, changed by a click on a column header.
#include "analysis/results.h"

#include <QAbstractTableModel>

namespace zorvika {

class SortedTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    // A click on the header of `column`: that column, the order flipped.
    virtual void columnClicked(int column) = 0;
    virtual const SortState& sortState() const = 0;

signals:
    void sortChanged(int column, bool descending);
};

} // namespace zorvika
