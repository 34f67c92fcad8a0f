#include "components/results_view.h"

#include "analysis/module_row.h"
#include "components/gui_font.h"
#include "components/results_model.h"

#include <QHeaderView>
#include <QSignalBlocker>

namespace zorvika {

ResultsView::ResultsView(ResultsModel* model, QWidget* parent) : QTreeView(parent), results_(model)
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
    for (int c = 0; c < kColumnCount; ++c)
        head->resizeSection(c, pxFromHundredthsMm(kColumnWidths[static_cast<std::size_t>(c)]));

    connect(head, &QHeaderView::sectionClicked, this, [this](int section) { emit columnClick(section + 1); });
    // The header flips its own indicator on a click; the list's sort state decides what it shows.
    auto showSortState = [this] {
        const SortState& sort = results_->sortState();
        const Qt::SortOrder order = sort.descending ? Qt::DescendingOrder : Qt::AscendingOrder;
        if (header()->sortIndicatorSection() != sort.column || header()->sortIndicatorOrder() != order) {
            const QSignalBlocker block(header());
            header()->setSortIndicator(sort.column, order);
            header()->viewport()->update();
        }
    };
    connect(model, &ResultsModel::sortChanged, this, showSortState);
    connect(head, &QHeaderView::sortIndicatorChanged, this, showSortState);
}

} // namespace zorvika
