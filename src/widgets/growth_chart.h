#pragma once
// A line chart of figures over a row of versions, painted with QPainter:
// each series a line with a dot per version, a value axis with round ticks
// and a title, a version axis that names every k-th version so that each
// name stands whole, a legend below, and, where the pointer rests on a dot,
// a tooltip with the version and the figure of every line that meets there.
// The chart fills whatever room its place gives it.
#include <QColor>
#include <QPointF>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

namespace zorvika {

// The value axis: a tick at every `step` from 0 up to `top`.
struct ValueScale {
    double top = 0;
    double step = 0;
};

// Ticks at a round step (1, 2 or 5 times a power of ten) that shows figures
// up to `highest` with a little room above them in about `intervals`
// intervals; the axis reaches at least 10.
ValueScale valueScale(double highest, int intervals);

// How many versions apart the named ones stand: `count` versions share an
// axis `room` pixels long equally, each name takes up to `widest` pixels,
// and two names keep `gap` pixels between them. 1 names every version.
std::size_t labelStep(std::size_t count, double room, int widest, int gap);

// The position in `points` of the one nearest to `at`, if it lies within
// `radius`; the first of several at the same distance.
std::optional<std::size_t> nearestPoint(const std::vector<QPointF>& points, QPointF at, double radius);

class GrowthChart : public QWidget {
    Q_OBJECT
public:
    struct Series {
        QString name;
        QColor color;
        std::vector<double> values; // one figure per version
    };
    // A version's name as the axis shows it, and where.
    struct AxisLabel {
        QString text;
        QRect place;
    };

    explicit GrowthChart(QWidget* parent = nullptr);

    // The versions along the axis and the series drawn over them.
    void setData(QStringList versions, std::vector<Series> series);
    void setValueTitle(const QString& title);

    int seriesCount() const { return static_cast<int>(series_.size()); }
    const Series& series(int line) const { return series_.at(static_cast<std::size_t>(line)); }
    const QStringList& versions() const { return versions_; }

    // The area the lines are drawn in, in the widget's coordinates.
    QRect plotArea() const;
    ValueScale scale() const;
    // The version names the axis shows, left to right.
    std::vector<AxisLabel> versionLabels() const;
    // Where the dot of version `index` of a series stands.
    QPoint pointPosition(int line, int index) const;
    // The dot (series, version) within a few pixels of `at`, the nearest when several are.
    std::optional<std::pair<int, int>> pointAt(const QPoint& at) const;
    // The version of a dot and the figure of every series that has the same
    // figure there; empty for a dot the chart does not have.
    QString pointText(int line, int index) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    // Where everything goes at the widget's present size.
    struct Layout {
        QRect panel;
        QRect plot;
        int labelTop = 0;
        int legendTop = 0;
        ValueScale scale;
        std::size_t step = 1;
    };
    Layout layout() const;
    QPointF position(const Layout& at, std::size_t line, std::size_t index) const;
    std::vector<AxisLabel> versionLabels(const Layout& at) const;
    void showPointText(const QPoint& at);

    QStringList versions_;
    std::vector<Series> series_;
    QString valueTitle_;
};

} // namespace zorvika
