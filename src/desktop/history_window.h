#pragma once
// The history window: the stored projects and versions, the rows and totals
// line of the selected snapshot, their export and their deletion, and the
// growth window of the selected project.
#include "analysis/module_row.h"
#include "desktop/program_dialog.h"

#include <string>
#include <vector>

class QComboBox;

namespace zorvika {

class FittedLabel;
class IconButton;
class ResultsModel;
class ResultsView;

class HistoryWindow : public ProgramDialog {
    Q_OBJECT
public:
    // Opens on `shownProject` (the main window's) when it has snapshots,
    // else on the first stored project.
    HistoryWindow(DesktopContext& context, const std::string& shownProject, QWidget* parent);
    ~HistoryWindow() override;

    // The client size at which the layout shows the design: 10530 by 5115 twips.
    static QSize designSize();

    // The chosen project and version, as the folders name them.
    std::string projectName() const;
    std::string versionName() const;

    void exportSnapshot();
    void deleteShownProject();
    void deleteShownVersion();
    void showGrowth();
    // Lists the stored projects and versions again, keeping the ones chosen
    // where they are still stored (after an import in the growth window).
    void relist();

    QComboBox* projectBox() const { return projectBox_; }
    QComboBox* versionBox() const { return versionBox_; }
    FittedLabel* projectLabel() const { return projectLabel_; }
    FittedLabel* versionLabel() const { return versionLabel_; }
    IconButton* exportButton() const { return exportButton_; }
    IconButton* closeButton() const { return closeButton_; }
    IconButton* deleteProjectButton() const { return deleteProjectButton_; }
    IconButton* deleteVersionButton() const { return deleteVersionButton_; }
    IconButton* growthButton() const { return growthButton_; }
    FittedLabel* totalsLabel() const { return totalsLabel_; }
    ResultsView* resultsView() const { return view_; }
    ResultsModel* results() const { return model_; }

private:
    void makeControls();
    void listProjectsChoosing(const std::string& project);
    void listVersions();
    void showSnapshot();

    FittedLabel* projectLabel_ = nullptr;
    FittedLabel* versionLabel_ = nullptr;
    QComboBox* projectBox_ = nullptr;
    QComboBox* versionBox_ = nullptr;
    IconButton* exportButton_ = nullptr;
    IconButton* closeButton_ = nullptr;
    IconButton* deleteProjectButton_ = nullptr;
    IconButton* deleteVersionButton_ = nullptr;
    IconButton* growthButton_ = nullptr;
    ResultsModel* model_ = nullptr;
    ResultsView* view_ = nullptr;
    FittedLabel* totalsLabel_ = nullptr;
};

} // namespace zorvika
