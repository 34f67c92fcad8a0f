#pragma once
// The growth of one stored project: a chart of its totals "P - C - B", "C"
// and "B" over its versions, and the comparison of two versions module by
// module, sortable and exportable like the other lists.
#include "history/trend.h"
#include "widgets/fitted_label.h"

#include <QDialog>

#include <array>
#include <optional>
#include <utility>
#include <string>
#include <vector>

class QCategoryAxis;
class QChartView;
class QComboBox;
class QLineSeries;

namespace zorvika {

class frmPubMain;
class ResultsView;
class SuperButton;
class TextTableModel;

// Button indexes of the trend window's `sbt`.
enum TrendButton : int { TrendExport = 0, TrendClose = 1, TrendImport = 2 };

// The chart's lines, in the order of the series.
enum TrendSeries : int { SeriesPureCode = 0, SeriesComments = 1, SeriesBlanks = 2 };

class frmPubTrend : public QDialog {
    Q_OBJECT
public:
    frmPubTrend(frmPubMain& main, std::string project, QWidget* parent);
    ~frmPubTrend() override;

    static QSize clientSize();

    void sbt_Click(int index);
    // Either version box changed: compare the two versions again.
    void cbb_Click(int index);
    void lsv_ColumnClick(int header);

    // The text shown when the pointer rests on point `index` of a series.
    QString pointText(int series, int index) const;
    // The point (series, index) within a few pixels of `at` in the chart
    // view's viewport, the nearest when several are.
    std::optional<std::pair<int, int>> pointAt(const QPoint& at) const;
    // Where point `index` of a series stands in the chart view's viewport.
    QPoint pointPosition(int series, int index) const;

    const std::vector<TrendPoint>& points() const { return points_; }
    QLineSeries* series(int index) const { return series_.at(static_cast<std::size_t>(index)); }
    QChartView* chart() const { return chart_; }
    QComboBox* cbb(int index) const { return cbb_.at(static_cast<std::size_t>(index)); }
    FittedLabel* lbl(int index) const { return lbl_.at(static_cast<std::size_t>(index)); }
    SuperButton* sbt(int index) const { return sbt_.at(static_cast<std::size_t>(index)); }
    ResultsView* lsv() const { return lsv_; }
    TextTableModel* comparison() const { return model_; }

signals:
    // An import stored versions: the history window lists them at once.
    void historyChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // A control's place at the layout's size and how it follows a larger window.
    struct Anchor {
        QWidget* widget;
        QRect base;
        bool growsWide, growsTall, followsRight, followsBottom;
    };

    void buildLayout();
    void Form_Load();
    void fillChart();
    // Reads the stored versions again and shows them.
    void reload();
    // Asks for a project or group in a git work tree and which revisions,
    // imports them with a progress box that can stop it, and shows the
    // stored versions.
    void importFromRepository();
    // Names as many versions on the axis as it shows whole.
    void labelVersions();
    void exportComparison();

    frmPubMain& main_;
    std::string project_;
    std::vector<TrendPoint> points_;
    std::vector<Anchor> anchors_;
    QChartView* chart_ = nullptr;
    QCategoryAxis* versions_ = nullptr;
    std::size_t versionStep_ = 0;
    std::array<QLineSeries*, 3> series_{};
    std::array<FittedLabel*, 2> lbl_{};
    std::array<QComboBox*, 2> cbb_{};
    std::array<SuperButton*, 3> sbt_{};
    TextTableModel* model_ = nullptr;
    ResultsView* lsv_ = nullptr;
};

} // namespace zorvika
