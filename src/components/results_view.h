#pragma once
// The report view of a list: the columns at the widths given, one line per
// row, a header whose clicks report the column as the list control does
// (its 1-based index) and that shows the sort direction.
#include <QTreeView>

#include <vector>

namespace zorvika {

class SortedTableModel;

class ResultsView : public QTreeView {
    Q_OBJECT
public:
    // A results list: twelve columns at the widths of the design.
    ResultsView(SortedTableModel* model, QWidget* parent);
    // Any list: one width in pixels per column.
    ResultsView(SortedTableModel* model, const std::vector<int>& widths, QWidget* parent);
    SortedTableModel* list() const { return list_; }

signals:
    // The clicked header's 1-based index among the headers.
    void columnClick(int header);

private:
    SortedTableModel* list_;
};

// The pixel widths of the twelve columns of a results list.
std::vector<int> resultsColumnWidths();

} // namespace zorvika
