#include "widgets/results_view.h"

#include "analysis/module_row.h"
#include "output/table_export.h"
#include "widgets/gui_font.h"
#include "widgets/gui_text.h"
#include "widgets/sorted_table_model.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QSignalBlocker>
#include <QStyleOption>

#include <algorithm>
#include <array>

namespace zorvika {

namespace {

// The widths of a result list's twelve columns in hundredths of a
// millimetre; the list is 18256 wide.
constexpr std::array<int, kColumnCount> kColumnWidths = {
    3351, 2293, 1147, 1147, 1147, 1147, 1147, 1147, 1371, 1147, 1147, 1371};

// The sort mark: a small triangle in a strip of its own above the
// captions, as Windows' lists show it.
constexpr int kMarkWidth = 7;
constexpr int kMarkHeight = 4;
constexpr int kMarkStrip = kMarkHeight + 2;

// Draws a header's caption in all the room its column has and the sort
// mark above it, so that the mark covers no letter however narrow the
// column: the style's own indicator takes its room from the caption ("P -
// C - B" drawn as "- C - B").
class SortMarkStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override
    {
        const auto* header = qstyleoption_cast<const QStyleOptionHeader*>(option);
        if (element != CE_Header || header == nullptr || header->sortIndicator == QStyleOptionHeader::None) {
            QProxyStyle::drawControl(element, option, painter, widget);
            return;
        }
        QStyleOptionHeaderV2 plain;
        if (const auto* v2 = qstyleoption_cast<const QStyleOptionHeaderV2*>(option))
            plain = *v2;
        else
            static_cast<QStyleOptionHeader&>(plain) = *header;
        plain.sortIndicator = QStyleOptionHeader::None;
        // The style sets its clip region back as it found it; where there was
        // none, that is an empty one, which would hide the mark.
        const bool clipped = painter->hasClipping();
        const QRegion clip = painter->clipRegion();
        QProxyStyle::drawControl(element, &plain, painter, widget);
        if (clipped)
            painter->setClipRegion(clip);
        else
            painter->setClipping(false);
        drawMark(*header, painter);
    }

    // Every caption sits below the mark's strip, sorted or not, so that all
    // stand on one line.
    QRect subElementRect(SubElement element, const QStyleOption* option, const QWidget* widget) const override
    {
        QRect rect = QProxyStyle::subElementRect(element, option, widget);
        if (element == SE_HeaderLabel)
            rect.setTop(std::min(rect.top() + kMarkStrip, rect.bottom()));
        return rect;
    }

    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override
    {
        QSize needed = QProxyStyle::sizeFromContents(type, option, size, widget);
        if (type == CT_HeaderSection)
            needed.rheight() += kMarkStrip;
        return needed;
    }

private:
    static void drawMark(const QStyleOptionHeader& header, QPainter* painter)
    {
        const QPoint at(header.rect.center().x() - kMarkWidth / 2, header.rect.top() + 1);
        // The header shows an ascending order as SortDown.
        QPolygon triangle;
        if (header.sortIndicator == QStyleOptionHeader::SortDown)
            triangle << at << at + QPoint(kMarkWidth - 1, 0) << at + QPoint(kMarkWidth / 2, kMarkHeight - 1);
        else
            triangle << at + QPoint(0, kMarkHeight - 1) << at + QPoint(kMarkWidth - 1, kMarkHeight - 1)
                     << at + QPoint(kMarkWidth / 2, 0);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->setPen(Qt::NoPen);
        painter->setBrush(header.palette.color(QPalette::ButtonText));
        painter->drawPolygon(triangle);
        painter->restore();
    }
};

} // namespace

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
    : QTreeView(parent), list_(model), widths_(widths)
{
    setModel(model);
    setFont(windowFont());
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSortingEnabled(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTextElideMode(Qt::ElideRight);

    QHeaderView* head = header();
    // One style for every list's header, kept with the application.
    static QPointer<SortMarkStyle> sortMarkStyle;
    if (!sortMarkStyle) {
        sortMarkStyle = new SortMarkStyle();
        sortMarkStyle->setParent(QCoreApplication::instance());
    }
    head->setStyle(sortMarkStyle);
    head->setStretchLastSection(false);
    head->setSectionsClickable(true);
    head->setSectionsMovable(false);
    head->setSortIndicatorShown(true);
    head->setSortIndicator(0, Qt::AscendingOrder);
    head->setFont(windowFont());
    fitColumns();
    // A caption set later (the lead columns' from the message table) gets its room too.
    connect(model, &QAbstractItemModel::headerDataChanged, this, [this] { fitColumns(); });

    connect(head, &QHeaderView::sectionClicked, this, [this](int section) { emit columnClick(section + 1); });
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) { emit openRow(index.row()); });
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

namespace zorvika {

void ResultsView::setCommandTexts(const CommandTexts& texts) { texts_ = texts; }

QString ResultsView::selectedRowsText() const
{
    QModelIndexList selected = selectionModel() ? selectionModel()->selectedRows() : QModelIndexList();
    if (selected.isEmpty())
        return {};
    std::sort(selected.begin(), selected.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    std::vector<std::string> titles;
    for (int c = 0; c < list_->columnCount(); ++c)
        titles.push_back(utf8(list_->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString()));
    TextTable rows;
    for (const QModelIndex& index : selected)
        rows.push_back(list_->shownRow(index.row()));
    return qtext(tableText(titles, rows, ExportFormat::Tab));
}

void ResultsView::copySelectedRows() const
{
    const QString text = selectedRowsText();
    if (!text.isEmpty())
        QGuiApplication::clipboard()->setText(text);
}

QMenu* ResultsView::makeContextMenu(int column)
{
    auto* menu = new QMenu(this);
    menu->setFont(windowFont());
    auto sortBy = [this](int c) { emit columnClick(c + 1); };
    if (!texts_.open.isEmpty() && currentIndex().isValid()) {
        const int row = currentIndex().row();
        menu->addAction(texts_.open, this, [this, row] { emit openRow(row); });
        menu->addSeparator();
    }
    if (column >= 0 && column < list_->columnCount()) {
        menu->addAction(texts_.sortColumn, this, [sortBy, column] { sortBy(column); });
        if (!texts_.sortNumbers.isEmpty())
            menu->addAction(texts_.sortNumbers, this, [this, column] { list_->sortAsNumbers(column); });
    }
    QMenu* columns = menu->addMenu(texts_.sortBy);
    for (int c = 0; c < list_->columnCount(); ++c)
        columns->addAction(list_->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(), this,
                           [sortBy, c] { sortBy(c); });
    menu->addSeparator();
    QAction* copy = menu->addAction(texts_.copy, this, [this] { copySelectedRows(); });
    copy->setShortcut(QKeySequence::Copy);
    copy->setEnabled(selectionModel() && selectionModel()->hasSelection());
    return menu;
}

int ResultsView::columnWidth(int column) const
{
    const auto c = static_cast<std::size_t>(column);
    const int designed = c < widths_.size() ? widths_[c] : header()->defaultSectionSize();
    // A caption wider than its column widens it: it shows whole.
    const QString caption = list_->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    const int margin = header()->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header());
    const int needed = header()->fontMetrics().horizontalAdvance(caption) + 2 * margin + 2;
    return std::max(designed, needed);
}

void ResultsView::fitColumns()
{
    for (int c = 0; c < list_->columnCount(); ++c)
        header()->resizeSection(c, columnWidth(c) + (c == 0 ? grownBy_ : 0));
}

void ResultsView::resizeEvent(QResizeEvent* event)
{
    QTreeView::resizeEvent(event);
    if (width() <= 0)
        return;
    if (designWidth_ == 0)
        designWidth_ = width();
    grownBy_ = std::max(0, width() - designWidth_);
    header()->resizeSection(0, columnWidth(0) + grownBy_);
}

void ResultsView::contextMenuEvent(QContextMenuEvent* event)
{
    // From the mouse, the column under the pointer; from the keyboard, the current cell's.
    int column = currentIndex().isValid() ? currentIndex().column() : 0;
    QPoint at = event->globalPos();
    if (event->reason() == QContextMenuEvent::Mouse) {
        column = header()->logicalIndexAt(viewport()->mapFrom(this, event->pos()).x());
    } else if (currentIndex().isValid()) {
        at = viewport()->mapToGlobal(visualRect(currentIndex()).center());
    } else {
        at = viewport()->mapToGlobal(QPoint(0, 0));
    }
    QMenu* menu = makeContextMenu(column);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(at);
    event->accept();
}

void ResultsView::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy)) {
        copySelectedRows();
        event->accept();
        return;
    }
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && currentIndex().isValid() && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        emit openRow(currentIndex().row());
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
}

} // namespace zorvika
