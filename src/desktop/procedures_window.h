#pragma once
// The procedures window: the procedures of one module of the counted
// project, or of all its modules, with the module's figures in two lines
// under the list; sortable by any column (figures as numbers) and exported
// like the other lists.
#include "analysis/procedure_metrics.h"
#include "desktop/program_dialog.h"

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zorvika {

class FittedLabel;
class IconButton;
class ResultsView;
class TextTableModel;

class ProceduresWindow : public ProgramDialog {
    Q_OBJECT
public:
    // Analyses the modules of the project's working-copy text (the text this
    // run counted) and shows those of the entry whose path the list shows as
    // `module`; `missing`: the list shows that module as "Invalid".
    // `inputs`: the files the count read, which no export may replace.
    ProceduresWindow(DesktopContext& context, std::string_view projectText, const std::filesystem::path& projectFolder,
                     std::string module, bool missing, std::string project, CountInputs inputs, QWidget* parent);
    ~ProceduresWindow() override;

    // The client size at which the layout shows the design: 10530 by 5355 twips.
    static QSize designSize();

    // Shows the procedures of the chosen module or, with `all`, of every module.
    void showProcedures(bool all);
    void exportProcedures();
    // True while the list holds the procedures of every module.
    bool showsAll() const { return all_; }

    IconButton* exportButton() const { return exportButton_; }
    IconButton* allButton() const { return allButton_; }
    IconButton* closeButton() const { return closeButton_; }
    FittedLabel* moduleLabel() const { return moduleLabel_; }
    // The two summary lines under the list.
    FittedLabel* summaryLabel(int index) const { return summaryLabels_.at(static_cast<std::size_t>(index)); }
    ResultsView* proceduresView() const { return view_; }
    TextTableModel* procedures() const { return model_; }

private:
    void makeControls();
    std::vector<ModuleAnalysis> shownModules() const;

    std::vector<ModuleAnalysis> modules_;
    std::string module_;
    bool missing_;
    std::string project_;
    CountInputs inputs_;
    bool all_ = false;
    FittedLabel* moduleLabel_ = nullptr;
    IconButton* exportButton_ = nullptr;
    IconButton* allButton_ = nullptr;
    IconButton* closeButton_ = nullptr;
    TextTableModel* model_ = nullptr;
    ResultsView* view_ = nullptr;
    std::array<FittedLabel*, 2> summaryLabels_{};
};

} // namespace zorvika
