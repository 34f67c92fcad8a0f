#include "widgets/growth_chart.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace zorvika {

namespace {

constexpr int kBorder = 6;        // the window's colour around the white panel
constexpr int kPadding = 8;       // inside the panel, around what it shows
constexpr int kGap = 6;           // between a label and what it names
constexpr int kTickLength = 4;    // the version axis's marks below the lines
constexpr int kLabelGap = 16;     // pixels between two version names on the axis
constexpr int kHoverRadius = 8;   // pixels around a dot where the pointer rests on it
constexpr int kIntervals = 4;     // the value axis asks for at least about so many steps,
constexpr int kTickSpacing = 60;  // or for one step per so many pixels of its height
constexpr int kMarkerSize = 10;   // a legend entry's square
constexpr int kLegendGap = 16;    // between two legend entries
constexpr double kDotRadius = 3.5;

const QColor kPanel(Qt::white);
const QColor kGrid(0xe2, 0xe2, 0xe2);
const QColor kAxis(0x8c, 0x8c, 0x8c);

QString figureText(double figure) { return QString::number(figure, 'f', 0); }

// The ticks of a scale, from 0 up.
std::vector<double> ticks(const ValueScale& scale)
{
    std::vector<double> out;
    const auto count = static_cast<int>(std::lround(scale.top / scale.step));
    for (int k = 0; k <= count; ++k)
        out.push_back(k * scale.step);
    return out;
}

} // namespace

ValueScale valueScale(double highest, int intervals)
{
    // A twentieth above the highest figure keeps its dot off the panel's top.
    const double wanted = std::max(10.0, highest * 1.05);
    const double raw = wanted / std::max(1, intervals);
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    const double fraction = raw / magnitude;
    const double round = fraction <= 1 ? 1 : fraction <= 2 ? 2 : fraction <= 5 ? 5 : 10;
    const double step = round * magnitude;
    // A top that is a whole number of steps already stays, whatever the rounding of the division.
    return {std::ceil(wanted / step - 1e-9) * step, step};
}

std::size_t labelStep(std::size_t count, double room, int widest, int gap)
{
    if (count <= 1)
        return 1;
    const double share = room / static_cast<double>(count);
    if (share <= 0)
        return count;
    const double needed = std::ceil((widest + gap) / share - 1e-9);
    return std::clamp<std::size_t>(static_cast<std::size_t>(std::max(1.0, needed)), 1, count);
}

std::optional<std::size_t> nearestPoint(const std::vector<QPointF>& points, QPointF at, double radius)
{
    std::optional<std::size_t> nearest;
    double best = radius * radius;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const double dx = points[i].x() - at.x();
        const double dy = points[i].y() - at.y();
        const double distance = dx * dx + dy * dy;
        if (distance < best || (!nearest && distance == best)) {
            best = distance;
            nearest = i;
        }
    }
    return nearest;
}

GrowthChart::GrowthChart(QWidget* parent) : QWidget(parent)
{
    // The pointer's own position finds the dot it rests on.
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void GrowthChart::setData(QStringList versions, std::vector<Series> series)
{
    versions_ = std::move(versions);
    series_ = std::move(series);
    update();
}

void GrowthChart::setValueTitle(const QString& title)
{
    valueTitle_ = title;
    update();
}

GrowthChart::Layout GrowthChart::layout() const
{
    const QFontMetrics metrics = fontMetrics();
    Layout at;
    at.panel = rect().adjusted(kBorder, kBorder, -kBorder, -kBorder);

    const int inner = at.panel.bottom() + 1 - kPadding;
    at.legendTop = inner - metrics.height();
    at.labelTop = at.legendTop - 2 * kGap - metrics.height();
    const int top = at.panel.top() + kPadding + metrics.height() / 2; // the top tick's label fits above
    const int bottom = at.labelTop - kTickLength - 2;

    // A taller chart shows more ticks, so that the grid stays as dense.
    double highest = 0;
    for (const Series& line : series_)
        for (double figure : line.values)
            highest = std::max(highest, figure);
    at.scale = valueScale(highest, std::max(kIntervals, (bottom - top) / kTickSpacing));
    int tickWidth = 0;
    for (double tick : ticks(at.scale))
        tickWidth = std::max(tickWidth, metrics.horizontalAdvance(figureText(tick)));
    const int axisWidth = (valueTitle_.isEmpty() ? 0 : metrics.height() + kGap) + tickWidth + kGap;
    int widest = 1;
    for (const QString& version : versions_)
        widest = std::max(widest, metrics.horizontalAdvance(version));

    // The first and the last name are centred on their dots: the plot stays
    // far enough from the panel's sides for half a name to fit beside it.
    const int left = at.panel.left() + kPadding;
    const int right = at.panel.right() + 1 - kPadding;
    const double count = std::max<double>(1, static_cast<double>(versions_.size()));
    const double roughShare = (right - left - axisWidth - widest / 2.0) / count;
    const int overhang = std::max(0, static_cast<int>(std::ceil((widest - roughShare) / 2)));
    const int plotLeft = left + std::max(axisWidth, overhang);
    const int plotRight = right - overhang;
    at.plot = QRect(plotLeft, top, std::max(1, plotRight - plotLeft), std::max(1, bottom - top));
    at.step = labelStep(versions_.size(), at.plot.width(), widest, kLabelGap);
    return at;
}

QPointF GrowthChart::position(const Layout& at, std::size_t line, std::size_t index) const
{
    const double count = std::max<double>(1, static_cast<double>(versions_.size()));
    const double x = at.plot.left() + (static_cast<double>(index) + 0.5) * at.plot.width() / count;
    const double figure = series_[line].values[index];
    const double y = at.plot.top() + at.plot.height() * (1.0 - figure / at.scale.top);
    return {x, y};
}

std::vector<GrowthChart::AxisLabel> GrowthChart::versionLabels(const Layout& at) const
{
    const QFontMetrics metrics = fontMetrics();
    const double count = std::max<double>(1, static_cast<double>(versions_.size()));
    std::vector<AxisLabel> labels;
    for (std::size_t i = 0; i < static_cast<std::size_t>(versions_.size()); i += at.step) {
        const QString& text = versions_[static_cast<qsizetype>(i)];
        const int width = metrics.horizontalAdvance(text);
        const double centre = at.plot.left() + (static_cast<double>(i) + 0.5) * at.plot.width() / count;
        labels.push_back({text, QRect(static_cast<int>(std::lround(centre - width / 2.0)), at.labelTop, width,
                                      metrics.height())});
    }
    return labels;
}

QRect GrowthChart::plotArea() const { return layout().plot; }

ValueScale GrowthChart::scale() const { return layout().scale; }

std::vector<GrowthChart::AxisLabel> GrowthChart::versionLabels() const { return versionLabels(layout()); }

QPoint GrowthChart::pointPosition(int line, int index) const
{
    return position(layout(), static_cast<std::size_t>(line), static_cast<std::size_t>(index)).toPoint();
}

std::optional<std::pair<int, int>> GrowthChart::pointAt(const QPoint& at) const
{
    const Layout shown = layout();
    std::vector<QPointF> dots;
    std::vector<std::pair<int, int>> owners;
    for (std::size_t s = 0; s < series_.size(); ++s)
        for (std::size_t i = 0; i < series_[s].values.size() && i < static_cast<std::size_t>(versions_.size()); ++i) {
            dots.push_back(position(shown, s, i));
            owners.emplace_back(static_cast<int>(s), static_cast<int>(i));
        }
    if (const auto nearest = nearestPoint(dots, at, kHoverRadius))
        return owners[*nearest];
    return std::nullopt;
}

QString GrowthChart::pointText(int line, int index) const
{
    if (line < 0 || line >= seriesCount() || index < 0 || index >= versions_.size()
        || static_cast<std::size_t>(index) >= series(line).values.size())
        return {};
    const auto at = static_cast<std::size_t>(index);
    const double figure = series(line).values[at];
    QString shown = versions_[index];
    // Lines that meet at the dot are all named there.
    for (const Series& each : series_)
        if (at < each.values.size() && each.values[at] == figure)
            shown += QStringLiteral("\n%1: %2").arg(each.name, figureText(figure));
    return shown;
}

void GrowthChart::paintEvent(QPaintEvent*)
{
    const Layout at = layout();
    const QFontMetrics metrics = fontMetrics();
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    painter.fillRect(at.panel, kPanel);
    const QColor ink = palette().color(QPalette::WindowText);
    const std::vector<AxisLabel> labels = versionLabels(at);

    // The grid: a line at every tick and at every named version.
    painter.setPen(kGrid);
    const std::vector<double> values = ticks(at.scale);
    for (double tick : values) {
        const int y = static_cast<int>(std::lround(at.plot.top() + at.plot.height() * (1.0 - tick / at.scale.top)));
        painter.drawLine(at.plot.left(), y, at.plot.right(), y);
    }
    for (const AxisLabel& label : labels) {
        const int x = label.place.center().x();
        painter.drawLine(x, at.plot.top(), x, at.plot.bottom());
    }

    // The axes, their marks and names.
    painter.setPen(kAxis);
    painter.drawLine(at.plot.bottomLeft(), at.plot.bottomRight());
    painter.drawLine(at.plot.topLeft(), at.plot.bottomLeft());
    for (const AxisLabel& label : labels) {
        const int x = label.place.center().x();
        painter.drawLine(x, at.plot.bottom(), x, at.plot.bottom() + kTickLength);
    }
    painter.setPen(ink);
    for (double tick : values) {
        const int y = static_cast<int>(std::lround(at.plot.top() + at.plot.height() * (1.0 - tick / at.scale.top)));
        const QRect place(at.panel.left(), y - metrics.height() / 2, at.plot.left() - kGap - at.panel.left(),
                          metrics.height());
        painter.drawText(place, Qt::AlignRight | Qt::AlignVCenter, figureText(tick));
    }
    for (const AxisLabel& label : labels)
        painter.drawText(label.place, Qt::AlignCenter, label.text);
    if (!valueTitle_.isEmpty()) {
        painter.save();
        painter.translate(at.panel.left() + kPadding, at.plot.center().y());
        painter.rotate(-90);
        painter.drawText(QRect(-at.plot.height() / 2, 0, at.plot.height(), metrics.height()), Qt::AlignCenter,
                         valueTitle_);
        painter.restore();
    }

    // The lines and their dots.
    painter.setRenderHint(QPainter::Antialiasing);
    const std::size_t count = static_cast<std::size_t>(versions_.size());
    for (std::size_t s = 0; s < series_.size(); ++s) {
        const std::size_t shown = std::min(count, series_[s].values.size());
        QPainterPath path;
        for (std::size_t i = 0; i < shown; ++i) {
            if (i == 0)
                path.moveTo(position(at, s, i));
            else
                path.lineTo(position(at, s, i));
        }
        painter.setPen(QPen(series_[s].color, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(path);
        painter.setPen(QPen(series_[s].color.darker(115), 1));
        painter.setBrush(series_[s].color);
        for (std::size_t i = 0; i < shown; ++i)
            painter.drawEllipse(position(at, s, i), kDotRadius, kDotRadius);
    }
    painter.setRenderHint(QPainter::Antialiasing, false);

    // The legend, centred below the version names.
    int width = 0;
    for (const Series& line : series_)
        width += kMarkerSize + kGap / 2 + metrics.horizontalAdvance(line.name);
    width += kLegendGap * std::max(0, seriesCount() - 1);
    int x = at.panel.center().x() - width / 2;
    const int middle = at.legendTop + metrics.height() / 2;
    for (const Series& line : series_) {
        const QRect marker(x, middle - kMarkerSize / 2, kMarkerSize, kMarkerSize);
        painter.fillRect(marker, line.color);
        painter.setPen(line.color.darker(130));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(marker.adjusted(0, 0, -1, -1));
        x += kMarkerSize + kGap / 2;
        const int nameWidth = metrics.horizontalAdvance(line.name);
        painter.setPen(ink);
        painter.drawText(QRect(x, at.legendTop, nameWidth, metrics.height()), Qt::AlignLeft | Qt::AlignVCenter,
                         line.name);
        x += nameWidth + kLegendGap;
    }
}

void GrowthChart::showPointText(const QPoint& at)
{
    if (const auto point = pointAt(at))
        QToolTip::showText(mapToGlobal(at), pointText(point->first, point->second), this);
    else
        QToolTip::hideText();
}

void GrowthChart::mouseMoveEvent(QMouseEvent* event)
{
    // A move shows the dot under the pointer at once.
    showPointText(event->position().toPoint());
    QWidget::mouseMoveEvent(event);
}

void GrowthChart::leaveEvent(QEvent* event)
{
    QToolTip::hideText();
    QWidget::leaveEvent(event);
}

bool GrowthChart::event(QEvent* event)
{
    // Resting there shows the same dot; away from every dot nothing shows.
    if (event->type() == QEvent::ToolTip) {
        showPointText(static_cast<QHelpEvent*>(event)->pos());
        return true;
    }
    return QWidget::event(event);
}

} // namespace zorvika
