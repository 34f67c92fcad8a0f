#include "desktop/growth_window.h"

#include "base/platform.h"
#include "desktop/import_dialog.h"
#include "revisions/revision_import.h"
#include "output/export.h"
#include "output/table_export.h"
#include "widgets/fitted_label.h"
#include "widgets/gui_font.h"
#include "widgets/gui_text.h"
#include "widgets/icon_button.h"
#include "widgets/results_view.h"
#include "widgets/text_fit.h"
#include "widgets/text_table_model.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHelpEvent>
#include <QLineSeries>
#include <QMouseEvent>
#include <QProgressDialog>
#include <QSignalBlocker>
#include <QToolTip>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <deque>

namespace zorvika {

namespace {

constexpr int kDesignWidth = 10530;  // right edge of the chart and the list (90 + 10350) and 90
constexpr int kDesignHeight = 7965;  // bottom of the list (4875 + 3000) and 90
constexpr int kLabelGap = 16;        // pixels between two version names on the axis
constexpr int kHoverRadius = 8;      // pixels around a point where the pointer rests on it

// Each line: its caption and the position of its figure among the ten totals.
struct Line {
    const char* caption;
    std::size_t total;
};
constexpr std::array<Line, 3> kLines = {{{"P - C - B", 6}, {"C", 2}, {"B", 3}}};

// How long the rest of an import takes, from the time the last revisions
// took (the first ones read every blob; later ones reuse most of them).
class TimeLeft {
public:
    void revisionDone(qint64 milliseconds)
    {
        recent_.push_back(milliseconds);
        if (recent_.size() > 5)
            recent_.pop_front();
    }
    // Whole seconds, rounded up: never "0 s" while revisions remain.
    qint64 seconds(std::size_t remaining) const
    {
        if (recent_.empty() || remaining == 0)
            return 0;
        qint64 sum = 0;
        for (qint64 t : recent_)
            sum += t;
        const qint64 total = sum * static_cast<qint64>(remaining) / static_cast<qint64>(recent_.size());
        return std::max<qint64>(1, (total + 999) / 1000);
    }

private:
    std::deque<qint64> recent_;
};

} // namespace

GrowthWindow::GrowthWindow(DesktopContext& context, std::string project, QWidget* parent)
    : ProgramDialog(context, parent, designSize(), Sizing::Grows), project_(std::move(project))
{
    makeControls();
    reload();
}

GrowthWindow::~GrowthWindow() = default;

QSize GrowthWindow::designSize() { return QSize(px(kDesignWidth), px(kDesignHeight)); }

void GrowthWindow::makeControls()
{
    setWindowTitle(text("TRENDTITLE") + QStringLiteral(" - ") + qtext(project_));

    auto* chart = new QChart();
    chart->setFont(windowFont());
    chart->setTitleFont(windowFont(true));
    chart->legend()->setFont(windowFont());
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->setBackgroundRoundness(0);
    for (std::size_t i = 0; i < kLines.size(); ++i) {
        auto* line = new QLineSeries(chart);
        line->setName(QString::fromLatin1(kLines[i].caption));
        line->setPointsVisible(true);
        series_[i] = line;
    }
    chart_ = new QChartView(chart, this);
    chart_->setRenderHint(QPainter::Antialiasing);
    chart_->setFocusPolicy(Qt::NoFocus);
    // The pointer's own position finds the point it rests on.
    chart_->viewport()->setMouseTracking(true);
    chart_->viewport()->installEventFilter(this);
    connect(chart, &QChart::plotAreaChanged, this, [this] { labelVersions(); });
    // The chart takes the room the window grows by; the row under it and the list keep their heights.
    place(chart_, twipRect(90, 90, 10350, 4200), Follow::Wider | Follow::Taller);

    // The version boxes stand after their captions, whatever their length.
    int left = px(90);
    for (std::size_t i = 0; i < 2; ++i) {
        auto* label = new FittedLabel(this);
        label->setFittedText(text(i == 0 ? "FROM" : "TO"));
        place(label, QRect(left, px(4440), 0, 0), Follow::OwnSize | Follow::Bottom);
        left += label->width() + px(90);
        auto* box = new QComboBox(this);
        box->setFont(windowFont());
        box->setEditable(false);
        box->setMinimumHeight(px(315));
        tipWhenCut(box);
        place(box, QRect(left, px(4380), px(1500), px(315)), Follow::Bottom,
              [box] { return neededWidth(box); });
        left += px(1500) + px(180);
        connect(box, &QComboBox::currentIndexChanged, this, [this] {
            relayout();
            run([this] { compareChosenVersions(); });
        });
        versionLabels_[i] = label;
        versionBoxes_[i] = box;
    }

    importButton_ = addButton(twipRect(6480, 4335, 450, 405), "import", "TIP IMPORT", [this] { importFromRepository(); },
                              Follow::Right | Follow::Bottom, true);
    exportButton_ = addButton(twipRect(7020, 4335, 1890, 405), "export", "OUTPUT", [this] { exportComparison(); },
                              Follow::Right | Follow::Bottom);
    closeButton_ = addButton(twipRect(9000, 4335, 1440, 405), "close", "CW", [this] { close(); },
                             Follow::Right | Follow::Bottom);

    QStringList titles;
    for (const std::string& title : comparisonTitles(context().messages()))
        titles << qtext(title);
    model_ = new TextTableModel(titles, {false, true, true, true, false}, this);
    view_ = new ResultsView(model_, {px(3900), px(1500), px(1500), px(1350), px(1650)}, this);
    setListCommandTexts(view_, context());
    connect(view_, &ResultsView::columnClick, this, [this](int header) { model_->columnClicked(header - 1); });
    place(view_, twipRect(90, 4875, 10350, 3000), Follow::Wider | Follow::Bottom);

    finishControls([this] { exportComparison(); });
}

void GrowthWindow::reload()
{
    std::vector<std::string> unreadable;
    points_ = projectTrend(context().folder(), project_, context().messages().totalsWords(), utf8(text("TOTAL2")),
                           &unreadable);
    if (!unreadable.empty()) {
        std::string all;
        for (const std::string& why : unreadable)
            all += (all.empty() ? "" : "\n") + why;
        context().warn(this, "NOREAD", all);
    }
    fillChart();

    // By default the last version is compared with the one before it.
    const int count = static_cast<int>(points_.size());
    for (std::size_t i = 0; i < 2; ++i) {
        const QSignalBlocker block(versionBoxes_[i]);
        versionBoxes_[i]->clear();
        for (const TrendPoint& point : points_)
            versionBoxes_[i]->addItem(qtext(point.version));
        versionBoxes_[i]->setCurrentIndex(i == 0 ? std::max(0, count - 2) : count - 1);
    }
    relayout();
    compareChosenVersions();
}

void GrowthWindow::fillChart()
{
    QChart* chart = chart_->chart();
    // Shown again after an import: the axes are made anew for the new points.
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
    versions_ = nullptr;
    versionStep_ = 0;
    double highest = 0;
    for (std::size_t s = 0; s < kLines.size(); ++s) {
        QList<QPointF> values;
        values.reserve(static_cast<qsizetype>(points_.size()));
        for (std::size_t i = 0; i < points_.size(); ++i) {
            const auto figure = static_cast<double>(points_[i].totals[kLines[s].total]);
            values.append(QPointF(static_cast<double>(i), figure));
            highest = std::max(highest, figure);
        }
        series_[s]->replace(values);
        if (!series_[s]->chart())
            chart->addSeries(series_[s]);
    }

    auto* versions = new QCategoryAxis(chart);
    versions->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    versions->setLabelsFont(windowFont());
    versions_ = versions;
    labelVersions();

    auto* lines = new QValueAxis(chart);
    lines->setTitleText(text("LINES"));
    lines->setTitleFont(windowFont());
    lines->setLabelsFont(windowFont());
    lines->setLabelFormat(QStringLiteral("%.0f"));
    lines->setRange(0, std::max(10.0, highest * 1.05));
    lines->applyNiceNumbers();

    chart->addAxis(versions, Qt::AlignBottom);
    chart->addAxis(lines, Qt::AlignLeft);
    for (QLineSeries* line : series_) {
        line->attachAxis(versions);
        line->attachAxis(lines);
    }
}

void GrowthWindow::labelVersions()
{
    if (!versions_)
        return;
    // Every step-th version is named, as many as the axis shows whole.
    const QFontMetrics metrics(windowFont());
    int widest = 1;
    for (const TrendPoint& point : points_)
        widest = std::max(widest, metrics.horizontalAdvance(qtext(point.version)));
    const std::size_t count = std::max<std::size_t>(1, points_.size());
    const double room = std::max(1.0, chart_->chart()->plotArea().width());
    // The axis gives each of its labels an equal share of its width.
    const auto fitting = std::max<std::size_t>(1, static_cast<std::size_t>(room / (widest + kLabelGap)));
    std::size_t step = 1;
    while ((count + step - 1) / step + 1 > fitting && step < count)
        ++step;
    if (step == versionStep_ && versions_->count() > 0)
        return;
    versionStep_ = step;
    for (const QString& label : versions_->categoriesLabels())
        versions_->remove(label);
    for (std::size_t i = 0; i < points_.size(); i += step)
        versions_->append(qtext(points_[i].version), static_cast<double>(i));
    const double last = points_.empty() ? 0.0 : static_cast<double>(points_.size() - 1);
    versions_->setRange(-0.5, last + 0.5);
}

std::optional<std::pair<int, int>> GrowthWindow::pointAt(const QPoint& at) const
{
    QChart* chart = chart_->chart();
    std::optional<std::pair<int, int>> nearest;
    double best = kHoverRadius * kHoverRadius + 1;
    for (std::size_t s = 0; s < series_.size(); ++s) {
        const QList<QPointF> values = series_[s]->points();
        for (qsizetype i = 0; i < values.size(); ++i) {
            const QPointF shown = chart_->mapFromScene(chart->mapToScene(chart->mapToPosition(values[i], series_[s])));
            const double dx = shown.x() - at.x();
            const double dy = shown.y() - at.y();
            if (dx * dx + dy * dy < best) {
                best = dx * dx + dy * dy;
                nearest = std::make_pair(static_cast<int>(s), static_cast<int>(i));
            }
        }
    }
    return nearest;
}

QPoint GrowthWindow::pointPosition(int line, int index) const
{
    QChart* chart = chart_->chart();
    QLineSeries* series = series_.at(static_cast<std::size_t>(line));
    return chart_->mapFromScene(chart->mapToScene(chart->mapToPosition(series->at(index), series)));
}

bool GrowthWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != chart_->viewport())
        return ProgramDialog::eventFilter(watched, event);
    // A move shows the point under the pointer at once; the rest that
    // follows (the tooltip event, which the chart's scene would answer by
    // hiding every tooltip) shows the same point.
    QPoint at;
    if (event->type() == QEvent::MouseMove)
        at = static_cast<QMouseEvent*>(event)->position().toPoint();
    else if (event->type() == QEvent::ToolTip)
        at = static_cast<QHelpEvent*>(event)->pos();
    else {
        if (event->type() == QEvent::Leave)
            QToolTip::hideText();
        return ProgramDialog::eventFilter(watched, event);
    }
    if (const auto point = pointAt(at))
        QToolTip::showText(chart_->viewport()->mapToGlobal(at), pointText(point->first, point->second), chart_);
    else
        QToolTip::hideText();
    return event->type() == QEvent::ToolTip;
}

QString GrowthWindow::pointText(int line, int index) const
{
    if (line < 0 || line >= static_cast<int>(kLines.size()) || index < 0 || index >= static_cast<int>(points_.size()))
        return {};
    const TrendPoint& point = points_[static_cast<std::size_t>(index)];
    const std::int64_t figure = point.totals[kLines[static_cast<std::size_t>(line)].total];
    QString shown = qtext(point.version);
    // Lines that meet at the point are all named there.
    for (const Line& each : kLines)
        if (point.totals[each.total] == figure)
            shown += QStringLiteral("\n%1: %2").arg(QString::fromLatin1(each.caption)).arg(figure);
    return shown;
}

void GrowthWindow::compareChosenVersions()
{
    const int first = versionBoxes_[0]->currentIndex();
    const int second = versionBoxes_[1]->currentIndex();
    if (first < 0 || second < 0) {
        model_->setRows({});
        return;
    }
    VersionComparison comparison =
        compareVersions(context().folder(), context().messages(), project_,
                        points_[static_cast<std::size_t>(first)].version, points_[static_cast<std::size_t>(second)].version);
    model_->setRows(std::move(comparison.cells));
    if (!comparison.error.empty())
        context().warn(this, "NOREAD", comparison.error);
}

void GrowthWindow::importFromRepository()
{
    DesktopServices& services = context().services();
    const QString chosen = services.chooseFileToOpen(this, text("IMPORTTITLE"), projectFileTypes(context()));
    if (chosen.isEmpty())
        return;
    ImportDialog choice(context(), this);
    services.showModal(choice);
    if (choice.result() != QDialog::Accepted)
        return;

    const std::filesystem::path file = localPath(chosen);
    auto repository = openRepositoryFile(file, {});
    if (!repository) {
        context().warn(this, "NOREPO", repository.reason());
        return;
    }
    const auto revisions = importRevisions(*repository->repository,
                                           choice.byTags() ? std::optional<std::string>("") : std::nullopt, "HEAD",
                                           choice.byTags() ? 1 : choice.everyNth());
    if (!revisions) {
        context().warn(this, "NOREPO", revisions.reason());
        return;
    }
    // The versions go into the history of the project the file names: the
    // user says yes before they go into another one than this window shows.
    if (!revisions->empty()) {
        const std::vector<std::string> targets =
            importTargetNames(*repository, file, revisions->back(), context().folder(), context().messages());
        QStringList others;
        for (const std::string& name : targets)
            if (name != project_)
                others << qtext(name);
        if (!others.isEmpty()
            && !services.askQuestion(this, text("IMPORTOTHER").arg(others.join(QStringLiteral(", ")), qtext(project_))))
            return;
    }

    // A box that tells how far the import is and can stop it after the
    // revision being counted; what was stored stays.
    const int count = static_cast<int>(revisions->size());
    QProgressDialog progress(text("IMPORTTITLE"), QString(), 0, count, this);
    progress.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    progress.setWindowTitle(text("IMPORTTITLE"));
    progress.setCancelButtonText(text("CANCEL"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.show();
    progress.move(mapToGlobal(rect().center()) - progress.rect().center()); // over the window, not in a corner
    QElapsedTimer clock;
    clock.start();
    TimeLeft left;
    std::string lastVersion;
    QStringList storedInto;
    const ImportSummary summary = importHistory(
        *repository, file, *revisions, context().folder(), context().messages(),
        [&](const ImportLine& line) {
            if (!line.version.empty())
                lastVersion = line.version;
            if (line.stored && !storedInto.contains(qtext(line.name)))
                storedInto << qtext(line.name);
        },
        [&](std::size_t i) {
            if (i > 0)
                left.revisionDone(clock.restart());
            progress.setLabelText(text("IMPORTPROGRESS")
                                      .arg(i + 1)
                                      .arg(count)
                                      .arg(qtext(lastVersion))
                                      .arg(left.seconds(revisions->size() - i)));
            progress.setValue(static_cast<int>(i));
            QCoreApplication::processEvents();
            return !progress.wasCanceled();
        });
    progress.close();
    reload();
    if (summary.stored > 0)
        emit historyChanged();
    if (!summary.error.empty())
        context().warn(this, "NOREPO", summary.error);
    else if (summary.counted == 0 && !progress.wasCanceled())
        context().warn(this, "NOIMPORT", utf8Of(file));
    else
        services.showMessage(this,
                             text("IMPORTDONE")
                                 .arg(summary.stored)
                                 .arg(storedInto.isEmpty() ? qtext(project_) : storedInto.join(QStringLiteral(", "))),
                             MessageIcon::Information);
}

void GrowthWindow::exportComparison()
{
    const TextTable rows = model_->displayRows();
    const std::vector<std::string> titles = model_->titles();
    const std::string versions = utf8(versionBoxes_[0]->currentText()) + "-" + utf8(versionBoxes_[1]->currentText());
    const QString proposed = qtext(proposedFileName(project_, versions, todayText()));
    CountInputs inputs;
    for (const QComboBox* box : versionBoxes_)
        if (box->currentIndex() >= 0)
            inputs.files.push_back(snapshotFile(context().folder(), project_, points_[static_cast<std::size_t>(box->currentIndex())].version));
    context().exportList(
        this, rows.empty(), proposed,
        [&](const std::filesystem::path& file, Spreadsheet& sheet) { return writeTableExport(file, titles, rows, sheet); },
        inputs);
}

} // namespace zorvika
