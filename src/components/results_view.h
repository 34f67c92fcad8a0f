#pragma once
// The report view of a result list: twelve columns with the widths of the
// design, one line per row, a header whose clicks report the column as the
// list control does (its 1-based index) and that shows the sort direction.
#include <QTreeView>

namespace zorvika {

class ResultsModel;

class ResultsView : public QTreeView {
    Q_OBJECT
public:
    ResultsView(ResultsModel* model, QWidget* parent);
    ResultsModel* results() const { return results_; }

signals:
    // The clicked header's 1-based index among the headers.
    void columnClick(int header);

private:
    ResultsModel* results_;
};

} // namespace zorvika
