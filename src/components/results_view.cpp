#include "components/results_view.h"

#include "analysis/module_row.h"
#include "components/gui_font.h"
#include "components/sorted_table_model.h"

#include <QHeaderView>
#include <QSignalBlocker>

namespace zorvika {

std::vector<int> resultsColumnWidths()
{
    std::vector<int> widths;
    for (int hundredths : kColumnWidths)
        widths.push_back(pxFromHundredthsMm(hundredths));
    return widths;
}

ResultsView::ResultsView(SortedTableModel* model, QWidget* parent) : ResultsView(model, resultsColumnWidths(), parent)
{
}

ResultsView::ResultsView(SortedTableModel* model, const std::vector<int>& widths, QWidget* parent)
    : QTreeView(parent), list_(model)
{
    setModel(model);
    setFont(windowFont());
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSortingEnabled(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTextElideMode(Qt::ElideRight);

    QHeaderView* head = header();
    head->setStretchLastSection(false);
    head->setSectionsClickable(true);
    head->setSectionsMovable(false);
    head->setSortIndicatorShown(true);
    head->setSortIndicator(0, Qt::AscendingOrder);
    head->setFont(windowFont());
    for (std::size_t c = 0; c < widths.size(); ++c)
        head->resizeSection(static_cast<int>(c), widths[c]);

    connect(head, &QHeaderView::sectionClicked, this, [this](int section) { emit columnClick(section + 1); });
    // The header flips its own indicator on a click; the list's sort state decides what it shows.
    auto showSortState = [this] {
        const SortState& sort = list_->sortState();
        const Qt::SortOrder order = sort.descending ? Qt::DescendingOrder : Qt::AscendingOrder;
        if (header()->sortIndicatorSection() != sort.column || header()->sortIndicatorOrder() != order) {
            const QSignalBlocker block(header());
            header()->setSortIndicator(sort.column, order);
            header()->viewport()->update();
        }
    };
    connect(model, &SortedTableModel::sortChanged, this, showSortState);
    connect(head, &QHeaderView::sortIndicatorChanged, this, showSortState);
}

} // namespace zorvika
