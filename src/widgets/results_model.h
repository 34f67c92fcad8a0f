#pragma once
// The rows of a result list: twelve columns, the module path and type on the
// left, the ten figures on the right under their fixed captions.
#include "analysis/module_row.h"
#include "widgets/sorted_table_model.h"

#include <QStringList>

#include <vector>

namespace zorvika {

class ResultsModel : public SortedTableModel {
    Q_OBJECT
public:
    explicit ResultsModel(QObject* parent = nullptr);

    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Captions of columns 0 and 1 (the others are the fixed figure captions).
    void setLeadCaptions(const QString& module, const QString& type);

    // Removes every row; the sort state stays.
    void clear();
    // Adds rows at the end.
    void appendRows(std::vector<ModuleRow> rows);

    // The rows in the order the list shows them.
    std::vector<ModuleRow> displayRows() const;
    const ModuleRow& displayRow(int row) const { return rows_[heldRow(row)]; }

protected:
    std::size_t heldRowCount() const override { return rows_.size(); }
    std::string_view cellText(std::size_t heldRow, int column) const override;
    bool rightAligned(int column) const override { return column > ColType; }

private:
    std::vector<ModuleRow> rows_;
    QStringList leadCaptions_{QString(), QString()};
};

} // namespace zorvika
