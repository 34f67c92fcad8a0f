#include "history/frm_pub_trend.h"

#include "history/import_choice.h"
#include "history/revision_import.h"

#include "components/qt/utility.h"
#include "components/qt/window_text.h"
#include "output/table_export.h"
#include "shell/frm_pub_main.h"
#include "widgets/fitted_label.h"
#include "widgets/gui_font.h"
#include "widgets/gui_text.h"
#include "widgets/results_view.h"
#include "widgets/super_button.h"
#include "widgets/text_fit.h"
#include "widgets/text_table_model.h"
#include "widgets/window_keys.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QLineSeries>
#include <QSignalBlocker>
#include <QToolTip>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace zorvika {

namespace {

constexpr int kClientWidth = 10530;  // right edge of the chart and the list (90 + 10350) and 90
constexpr int kClientHeight = 7965;  // bottom of the list (4875 + 3000) and 90
constexpr int kLabelGap = 16;        // pixels between two version names on the axis
constexpr int kHoverRadius = 8;      // pixels around a point where the pointer rests on it

// Each line: its caption and the position of its figure among the ten totals.
struct Line {
    const char* caption;
    std::size_t total;
};
constexpr std::array<Line, 3> kLines = {{{"P - C - B", 6}, {"C", 2}, {"B", 3}}};

} // namespace

frmPubTrend::frmPubTrend(frmPubMain& main, std::string project, QWidget* parent)
    : QDialog(parent), main_(main), project_(std::move(project))
{
    buildLayout();
    Form_Load();
}

frmPubTrend::~frmPubTrend() = default;

QSize frmPubTrend::clientSize() { return QSize(px(kClientWidth), px(kClientHeight)); }

void frmPubTrend::buildLayout()
{
    // The window opens at its layout's size and may grow; the chart grows with it.
    makeFixedDialog(*this, clientSize());
    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint);
    setMinimumSize(clientSize());
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    setSizeGripEnabled(true);
    setWindowIcon(main_.windowIcon());

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
    chart_->setGeometry(twipRect(90, 90, 10350, 4200));
    chart_->setFocusPolicy(Qt::NoFocus);
    // The pointer's own position finds the point it rests on.
    chart_->viewport()->setMouseTracking(true);
    chart_->viewport()->installEventFilter(this);
    connect(chart, &QChart::plotAreaChanged, this, [this] { labelVersions(); });

    // The version boxes stand after their captions, whatever their length.
    for (std::size_t i = 0; i < 2; ++i) {
        lbl_[i] = new FittedLabel(this);
        cbb_[i] = new QComboBox(this);
        cbb_[i]->setFont(windowFont());
        cbb_[i]->setEditable(false);
        cbb_[i]->setMinimumHeight(px(315));
        const int index = static_cast<int>(i);
        connect(cbb_[i], &QComboBox::currentIndexChanged, this, [this, index] { cbb_Click(index); });
    }

    struct Place {
        int left, width;
        const char* icon;
    };
    const std::array<Place, 3> places = {{
        {7020, 1890, "export"},
        {9000, 1440, "close"},
        {6480, 450, "import"},
    }};
    for (std::size_t i = 0; i < places.size(); ++i) {
        auto* button = new SuperButton(static_cast<int>(i), this);
        button->setFont(windowFont());
        button->setGeometry(twipRect(places[i].left, 4335, places[i].width, 405));
        button->setProgramIcon(places[i].icon);
        connect(button, &SuperButton::clickedIndex, this, &frmPubTrend::sbt_Click);
        sbt_[i] = button;
    }

    QStringList titles;
    for (const std::string& title : comparisonTitles(main_.messages()))
        titles << qtext(title);
    model_ = new TextTableModel(titles, {false, true, true, true, false}, this);
    lsv_ = new ResultsView(model_, {px(3900), px(1500), px(1500), px(1350), px(1650)}, this);
    lsv_->setGeometry(twipRect(90, 4875, 10350, 3000));
    connect(lsv_, &ResultsView::columnClick, this, &frmPubTrend::lsv_ColumnClick);

    for (QComboBox* box : cbb_)
        tipWhenCut(box);
    addCommandKey(this, QKeySequence(Qt::CTRL | Qt::Key_E), [this] { sbt_Click(TrendExport); });
}

void frmPubTrend::Form_Load()
{
    setWindowTitle(main_.upfGetMsg(QStringLiteral("TRENDTITLE")) + QStringLiteral(" - ") + qtext(project_));
    sbt_[TrendExport]->setText(main_.upfGetMsg(QStringLiteral("OUTPUT")));
    sbt_[TrendClose]->setText(main_.upfGetMsg(QStringLiteral("CW")));
    sbt_[TrendImport]->setIconOnlyText(main_.upfGetMsg(QStringLiteral("TIP IMPORT")));
    int left = px(90);
    for (std::size_t i = 0; i < 2; ++i) {
        lbl_[i]->move(left, px(4440));
        lbl_[i]->setFittedText(main_.upfGetMsg(QString::fromLatin1(i == 0 ? "FROM" : "TO")));
        left = lbl_[i]->x() + lbl_[i]->width() + px(90);
        cbb_[i]->setGeometry(left, px(4380), px(1500), px(315));
        left = cbb_[i]->x() + cbb_[i]->width() + px(180);
    }
    main_.setListCommandTexts(lsv_);
    ApplyWindowTexts(this, main_.folder().messageTable());
    setReadingTabOrder(this);
    // Where each control goes when the window grows: the chart takes the
    // room, the row under it and the list keep their heights.
    anchors_ = {{chart_, chart_->geometry(), true, true, false, false},
                {lsv_, lsv_->geometry(), true, false, false, true}};
    for (QWidget* w : std::initializer_list<QWidget*>{lbl_[0], lbl_[1], cbb_[0], cbb_[1]})
        anchors_.push_back({w, w->geometry(), false, false, false, true});
    for (QWidget* w : std::initializer_list<QWidget*>{sbt_[0], sbt_[1], sbt_[2]})
        anchors_.push_back({w, w->geometry(), false, false, true, true});

    reload();
}

void frmPubTrend::reload()
{
    std::vector<std::string> unreadable;
    points_ = projectTrend(main_.folder(), project_, main_.messages().totalsWords(),
                           utf8(main_.upfGetMsg(QStringLiteral("TOTAL2"))), &unreadable);
    if (!unreadable.empty()) {
        std::string all;
        for (const std::string& why : unreadable)
            all += (all.empty() ? "" : "\n") + why;
        main_.warn(this, "NOREAD", all);
    }
    fillChart();

    // By default the last version is compared with the one before it.
    for (std::size_t i = 0; i < 2; ++i) {
        const QSignalBlocker block(cbb_[i]);
        cbb_[i]->clear();
        for (const TrendPoint& point : points_)
            cbb_[i]->addItem(qtext(point.version));
    }
    const int count = static_cast<int>(points_.size());
    {
        const QSignalBlocker block(cbb_[0]);
        cbb_[0]->setCurrentIndex(std::max(0, count - 2));
    }
    {
        const QSignalBlocker block(cbb_[1]);
        cbb_[1]->setCurrentIndex(count - 1);
    }
    cbb_Click(1);
}

void frmPubTrend::fillChart()
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
    lines->setTitleText(main_.upfGetMsg(QStringLiteral("LINES")));
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

void frmPubTrend::labelVersions()
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

std::optional<std::pair<int, int>> frmPubTrend::pointAt(const QPoint& at) const
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

QPoint frmPubTrend::pointPosition(int series, int index) const
{
    QChart* chart = chart_->chart();
    const QPointF value = series_.at(static_cast<std::size_t>(series))->at(index);
    return chart_->mapFromScene(chart->mapToScene(chart->mapToPosition(value, series_.at(static_cast<std::size_t>(series)))));
}

bool frmPubTrend::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != chart_->viewport())
        return QDialog::eventFilter(watched, event);
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
        return QDialog::eventFilter(watched, event);
    }
    if (const auto point = pointAt(at))
        QToolTip::showText(chart_->viewport()->mapToGlobal(at), pointText(point->first, point->second), chart_);
    else
        QToolTip::hideText();
    return event->type() == QEvent::ToolTip;
}

void frmPubTrend::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    const int dx = std::max(0, width() - clientSize().width());
    const int dy = std::max(0, height() - clientSize().height());
    for (const Anchor& a : anchors_) {
        QRect r = a.base;
        if (a.growsWide)
            r.setWidth(r.width() + dx);
        if (a.growsTall)
            r.setHeight(r.height() + dy);
        if (a.followsRight)
            r.moveLeft(r.left() + dx);
        if (a.followsBottom)
            r.moveTop(r.top() + dy);
        a.widget->setGeometry(r);
    }
}

QString frmPubTrend::pointText(int series, int index) const
{
    if (series < 0 || series >= static_cast<int>(kLines.size()) || index < 0
        || index >= static_cast<int>(points_.size()))
        return {};
    const TrendPoint& point = points_[static_cast<std::size_t>(index)];
    const Line& line = kLines[static_cast<std::size_t>(series)];
    return QStringLiteral("%1\n%2: %3")
        .arg(qtext(point.version), QString::fromLatin1(line.caption))
        .arg(point.totals[line.total]);
}

void frmPubTrend::cbb_Click(int /*index*/)
{
    const int first = cbb_[0]->currentIndex();
    const int second = cbb_[1]->currentIndex();
    if (first < 0 || second < 0) {
        model_->setRows({});
        return;
    }
    VersionComparison comparison =
        compareVersions(main_.folder(), main_.messages(), project_, points_[static_cast<std::size_t>(first)].version,
                        points_[static_cast<std::size_t>(second)].version);
    model_->setRows(std::move(comparison.cells));
    if (!comparison.error.empty())
        main_.warn(this, "NOREAD", comparison.error);
}

void frmPubTrend::lsv_ColumnClick(int header) { model_->columnClicked(header - 1); }

void frmPubTrend::sbt_Click(int index)
{
    main_.runCommand(this, [&] {
        if (index == TrendClose)
            close();
        else if (index == TrendExport)
            exportComparison();
        else if (index == TrendImport)
            importFromRepository();
    });
}

void frmPubTrend::importFromRepository()
{
    Utility& utility = main_.utility();
    QString fileName;
    qint16 option = 0;
    const QStringList chosen = utility.ShowOpenDialog(this, main_.upfGetMsg(QStringLiteral("IMPORTTITLE")),
                                                      main_.projectFileFilter(), fileName, option);
    if (chosen.isEmpty() || chosen.constFirst().isEmpty())
        return;
    ImportChoice choice(main_, this);
    utility.ShowModal(choice);
    if (choice.result() != QDialog::Accepted)
        return;

    const std::filesystem::path file = localPath(chosen.constFirst());
    std::string error;
    auto repository = openRepositoryFile(file, {}, &error);
    const auto revisions =
        repository ? importRevisions(*repository->repository,
                                     choice.byTags() ? std::optional<std::string>("") : std::nullopt, "HEAD",
                                     choice.byTags() ? 1 : choice.everyNth(), &error)
                   : std::nullopt;
    if (!revisions) {
        main_.warn(this, "NOREPO", error);
        return;
    }
    // The versions go into the history of the project the file names: the
    // user says yes before they go into another one than this window shows.
    if (!revisions->empty()) {
        const std::vector<std::string> targets =
            importTargetNames(*repository, file, revisions->back(), main_.folder(), main_.messages());
        QStringList others;
        for (const std::string& name : targets)
            if (name != project_)
                others << qtext(name);
        if (!others.isEmpty()
            && !utility.AskQuestion(this, main_.upfGetMsg(QStringLiteral("IMPORTOTHER"))
                                              .arg(others.join(QStringLiteral(", ")), qtext(project_))))
            return;
    }

    // A box that tells how far the import is and can stop it after the
    // revision being counted; what was stored stays.
    const int count = static_cast<int>(revisions->size());
    QProgressDialog progress(main_.upfGetMsg(QStringLiteral("IMPORTTITLE")), QString(), 0, count, this);
    progress.setWindowTitle(main_.upfGetMsg(QStringLiteral("IMPORTTITLE")));
    progress.setCancelButtonText(main_.upfGetMsg(QStringLiteral("CANCEL")));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.show();
    progress.move(mapToGlobal(rect().center()) - progress.rect().center()); // over the window, not in a corner
    QElapsedTimer clock;
    clock.start();
    std::string lastVersion;
    QStringList storedInto;
    const ImportSummary summary = importHistory(
        *repository, file, *revisions, main_.folder(), main_.messages(),
        [&](const ImportLine& line) {
            if (!line.version.empty())
                lastVersion = line.version;
            if (line.stored && !storedInto.contains(qtext(line.name)))
                storedInto << qtext(line.name);
        },
        [&](std::size_t i) {
            const qint64 left = i == 0 ? 0 : clock.elapsed() * static_cast<qint64>(revisions->size() - i)
                                                 / static_cast<qint64>(i) / 1000;
            progress.setLabelText(main_.upfGetMsg(QStringLiteral("IMPORTPROGRESS"))
                                      .arg(i + 1)
                                      .arg(count)
                                      .arg(qtext(lastVersion))
                                      .arg(left));
            progress.setValue(static_cast<int>(i));
            QCoreApplication::processEvents();
            return !progress.wasCanceled();
        });
    progress.close();
    reload();
    if (summary.stored > 0)
        emit historyChanged();
    if (!summary.error.empty())
        main_.warn(this, "NOREPO", summary.error);
    else if (summary.counted == 0 && !progress.wasCanceled())
        main_.warn(this, "NOIMPORT", file.string());
    else
        utility.ShowMessage(this,
                            main_.upfGetMsg(QStringLiteral("IMPORTDONE"))
                                .arg(summary.stored)
                                .arg(storedInto.isEmpty() ? qtext(project_) : storedInto.join(QStringLiteral(", "))),
                            MessageIcon::Information);
}

void frmPubTrend::exportComparison()
{
    const TextTable rows = model_->displayRows();
    const std::vector<std::string> titles = model_->titles();
    const std::string versions = utf8(cbb_[0]->currentText()) + "-" + utf8(cbb_[1]->currentText());
    const QString proposed = qtext(proposedFileName(project_, versions, todayText()));
    main_.exportList(this, rows.empty(), proposed, [&](const std::filesystem::path& file, Spreadsheet& sheet) {
        return writeTableExport(file, titles, rows, sheet);
    });
}

} // namespace zorvika
