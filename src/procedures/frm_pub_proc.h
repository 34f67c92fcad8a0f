#pragma once
// The procedures window: the procedures of one module of the counted
// project, or of all its modules, with the module's figures in one line
// under the list; sortable by any column and exported like the other lists.
#include "analysis/procedure_metrics.h"
#include "widgets/fitted_label.h"

#include <QDialog>

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zorvika {

class frmPubMain;
class ResultsView;
class SuperButton;
class TextTableModel;

// Button indexes of the procedures window's `sbt`.
enum ProcButton : int { ProcExport = 0, ProcAll = 1, ProcClose = 2 };

class frmPubProc : public QDialog {
    Q_OBJECT
public:
    // Analyses the modules of the project's working-copy text (the text this
    // run counted) and shows those of the entry whose path the list shows as
    // `module`.
    frmPubProc(frmPubMain& main, std::string_view projectText, const std::filesystem::path& projectFolder,
               std::string module, std::string project);
    ~frmPubProc() override;

    static QSize clientSize();

    void sbt_Click(int index);
    void lsv_ColumnClick(int header);

    // True while the list holds the procedures of every module.
    bool showsAll() const { return all_; }

    SuperButton* sbt(int index) const { return sbt_.at(static_cast<std::size_t>(index)); }
    FittedLabel* lblModule() const { return lblModule_; }
    // The two summary lines under the list.
    FittedLabel* lblT(int index) const { return lblT_.at(static_cast<std::size_t>(index)); }
    ResultsView* lsv() const { return lsv_; }
    TextTableModel* procedures() const { return model_; }

private:
    void buildLayout();
    void Form_Load();
    // Shows the procedures of the chosen module or, with `all`, of every module.
    void show(bool all);
    std::vector<ModuleAnalysis> shownModules() const;
    void exportProcedures();

    frmPubMain& main_;
    std::vector<ModuleAnalysis> modules_;
    std::string module_;
    std::string project_;
    bool all_ = false;
    FittedLabel* lblModule_ = nullptr;
    std::array<SuperButton*, 3> sbt_{};
    TextTableModel* model_ = nullptr;
    ResultsView* lsv_ = nullptr;
    std::array<FittedLabel*, 2> lblT_{};
};

} // namespace zorvika
