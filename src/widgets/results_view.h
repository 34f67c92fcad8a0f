#pragma once
// The report view of a list: the columns at the widths given, one line per
// row, a header whose clicks report the column as the list control does
// (its 1-based index) and that shows the sort direction.
#include <QTreeView>

class QMenu;

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

    // The texts of the context menu: sort by the column under the pointer
    // (or of the current cell when the keyboard opens the menu), as texts or
    // as numbers (`sortNumbers` not empty), sort by any
    // column, copy the selected rows, and, where the list's rows open
    // something (`open` not empty), open the current row.
    struct CommandTexts {
        QString sortColumn, sortNumbers, sortBy, copy, open;
    };
    void setCommandTexts(const CommandTexts& texts);
    // The selected rows as tab text, the headers first; empty without a selection.
    QString selectedRowsText() const;
    // Puts the selected rows on the clipboard.
    void copySelectedRows() const;
    // The menu for the column at `column`, as the context menu shows it.
    QMenu* makeContextMenu(int column);

signals:
    // The clicked header's 1-based index among the headers.
    void columnClick(int header);
    // A row was opened: double-clicked, Enter pressed on it, or "open" chosen in its menu.
    void openRow(int row);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    // A list wider than its columns gives the room to its first column (the
    // module's path); at its design width each column has its own width.
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // A column's width: the one given, or what its caption needs when more.
    int columnWidth(int column) const;
    void fitColumns();

    SortedTableModel* list_;
    std::vector<int> widths_;
    int designWidth_ = 0; // the list's width when it was first laid out (the window's design size)
    int grownBy_ = 0;     // how much wider the list is now
    CommandTexts texts_;
};

// The pixel widths of the twelve columns of a results list.
std::vector<int> resultsColumnWidths();

} // namespace zorvika
