#pragma once
// The history window: the stored projects and versions, the rows and totals
// line of the selected snapshot, their export and their deletion.
#include "analysis/module_row.h"
#include "widgets/fitted_label.h"

#include <QDialog>

#include <array>
#include <string>
#include <vector>

class QComboBox;

namespace zorvika {

class frmPubMain;
class ResultsModel;
class ResultsView;
class SuperButton;

// Button indexes of the history window's `sbt`.
enum HistoryButton : int { HisExport = 0, HisClose = 1, HisDeleteProject = 2, HisDeleteVersion = 3, HisTrend = 4 };

class frmPubHis : public QDialog {
    Q_OBJECT
public:
    explicit frmPubHis(frmPubMain& main);
    ~frmPubHis() override;

    // The client size that the layout gives: 10530 by 5115 twips.
    static QSize clientSize();

    void sbt_Click(int index);
    // The selection of box `index` changed: 0 lists the project's versions, 1 loads the snapshot.
    void cbb_Click(int index);

    // What the export reads from this window.
    std::vector<ModuleRow> displayRows() const;
    QString projectText() const;
    QString versionText() const;
    QString totalsText() const;

    QComboBox* cbb(int index) const { return cbb_.at(static_cast<std::size_t>(index)); }
    SuperButton* sbt(int index) const { return sbt_.at(static_cast<std::size_t>(index)); }
    FittedLabel* lbl(int index) const { return lbl_.at(static_cast<std::size_t>(index)); }
    FittedLabel* lblT() const { return lblT_; }
    ResultsView* lsv() const { return lsv_; }
    ResultsModel* results() const { return model_; }

private:
    void buildLayout();
    void Form_Load();
    void lsv_ColumnClick(int header);
    void selectFirst(int index);
    // The name of the selected entry as the folder listing gave it.
    std::string selectedName(int index) const;
    void dispatch(int index);
    void openTrend();
    // Lists the stored projects and versions again, keeping the ones chosen
    // where they are still stored (after an import in the growth window).
    void relist();

    frmPubMain& main_;
    std::array<FittedLabel*, 2> lbl_{};
    std::array<QComboBox*, 2> cbb_{};
    std::array<SuperButton*, 5> sbt_{};
    ResultsModel* model_ = nullptr;
    ResultsView* lsv_ = nullptr;
    FittedLabel* lblT_ = nullptr;
};

} // namespace zorvika
