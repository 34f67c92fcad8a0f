#pragma once
// The growth of one stored project: a chart of its totals "P - C - B", "C"
// and "B" over its versions, the comparison of two versions module by
// module (sortable and exportable like the other lists), and the import of
// versions from a git repository.
#include "desktop/program_dialog.h"
#include "history/trend.h"

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QComboBox;

namespace zorvika {

class FittedLabel;
class GrowthChart;
class IconButton;
class ResultsView;
class TextTableModel;

// The chart's lines, in the order of the series.
enum GrowthLine : int { PureCodeLine = 0, CommentLine = 1, BlankLine = 2 };

class GrowthWindow : public ProgramDialog {
    Q_OBJECT
public:
    GrowthWindow(DesktopContext& context, std::string project, QWidget* parent);
    ~GrowthWindow() override;

    // The client size at which the layout shows the design: 10530 by 7965 twips.
    static QSize designSize();

    // Compares the two versions the boxes show.
    void compareChosenVersions();
    void exportComparison();
    // Asks for a project or group in a git work tree and which revisions,
    // names the project the versions go to (asking first when it is not this
    // window's), imports them with a progress box that can stop it, says how
    // many were stored and shows them.
    void importFromRepository();

    // The text shown when the pointer rests on point `index` of a line: the
    // version and the figure of every line that passes through that point.
    QString pointText(int line, int index) const;
    // The point (line, index) within a few pixels of `at` in the chart,
    // the nearest when several are.
    std::optional<std::pair<int, int>> pointAt(const QPoint& at) const;
    // Where point `index` of a line stands in the chart.
    QPoint pointPosition(int line, int index) const;

    const std::vector<TrendPoint>& points() const { return points_; }
    GrowthChart* chart() const { return chart_; }
    QComboBox* versionBox(int index) const { return versionBoxes_.at(static_cast<std::size_t>(index)); }
    FittedLabel* versionLabel(int index) const { return versionLabels_.at(static_cast<std::size_t>(index)); }
    IconButton* exportButton() const { return exportButton_; }
    IconButton* closeButton() const { return closeButton_; }
    IconButton* importButton() const { return importButton_; }
    ResultsView* comparisonView() const { return view_; }
    TextTableModel* comparison() const { return model_; }

signals:
    // An import stored versions: the history window lists them at once.
    void historyChanged();

private:
    void makeControls();
    void fillChart();
    // Reads the stored versions again and shows them.
    void reload();

    std::string project_;
    std::vector<TrendPoint> points_;
    GrowthChart* chart_ = nullptr;
    std::array<FittedLabel*, 2> versionLabels_{};
    std::array<QComboBox*, 2> versionBoxes_{};
    IconButton* exportButton_ = nullptr;
    IconButton* closeButton_ = nullptr;
    IconButton* importButton_ = nullptr;
    TextTableModel* model_ = nullptr;
    ResultsView* view_ = nullptr;
};

} // namespace zorvika
