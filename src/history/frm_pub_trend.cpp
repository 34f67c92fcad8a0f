#include "history/frm_pub_trend.h"

#include "components/fitted_label.h"
#include "components/gui_font.h"
#include "components/gui_text.h"
#include "components/results_view.h"
#include "components/super_button.h"
#include "components/text_table_model.h"
#include "components/utility.h"
#include "components/window_text.h"
#include "output/table_export.h"
#include "shell/frm_pub_main.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QCursor>
#include <QLineSeries>
#include <QSignalBlocker>
#include <QStyle>
#include <QToolTip>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace zorvika {

namespace {

constexpr int kClientWidth = 10530;  // right edge of the chart and the list (90 + 10350) and 90
constexpr int kClientHeight = 7965;  // bottom of the list (4875 + 3000) and 90
constexpr int kMostAxisLabels = 12;  // more version names would run into each other

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
    makeFixedDialog(*this, clientSize());
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
        const int index = static_cast<int>(i);
        connect(line, &QLineSeries::hovered, this,
                [this, index](const QPointF& point, bool state) { showPoint(index, point.x(), state); });
        series_[i] = line;
    }
    chart_ = new QChartView(chart, this);
    chart_->setRenderHint(QPainter::Antialiasing);
    chart_->setGeometry(twipRect(90, 90, 10350, 4200));

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
        QStyle::StandardPixmap fallback;
    };
    const std::array<Place, 2> places = {{
        {7020, 1890, "document-save-as", QStyle::SP_DialogSaveButton},
        {9000, 1440, "window-close", QStyle::SP_DialogCloseButton},
    }};
    for (std::size_t i = 0; i < places.size(); ++i) {
        auto* button = new SuperButton(static_cast<int>(i), this);
        button->setFont(windowFont());
        button->setGeometry(twipRect(places[i].left, 4335, places[i].width, 405));
        button->setThemeIcon(places[i].icon, places[i].fallback);
        connect(button, &SuperButton::clickedIndex, this, &frmPubTrend::sbt_Click);
        sbt_[i] = button;
    }

    const QStringList titles = {main_.upfGetMsg(QStringLiteral("MODULE")), main_.upfGetMsg(QStringLiteral("FROM")),
                                main_.upfGetMsg(QStringLiteral("TO")), main_.upfGetMsg(QStringLiteral("DIFF")),
                                main_.upfGetMsg(QStringLiteral("CHANGE"))};
    model_ = new TextTableModel(titles, {false, true, true, true, false}, this);
    lsv_ = new ResultsView(model_, {px(3900), px(1500), px(1500), px(1350), px(1650)}, this);
    lsv_->setGeometry(twipRect(90, 4875, 10350, 3000));
    connect(lsv_, &ResultsView::columnClick, this, &frmPubTrend::lsv_ColumnClick);
}

void frmPubTrend::Form_Load()
{
    setWindowTitle(main_.upfGetMsg(QStringLiteral("TRENDTITLE")) + QStringLiteral(" - ") + qtext(project_));
    sbt_[TrendExport]->setText(main_.upfGetMsg(QStringLiteral("OUTPUT")));
    sbt_[TrendClose]->setText(main_.upfGetMsg(QStringLiteral("CW")));
    int left = px(90);
    for (std::size_t i = 0; i < 2; ++i) {
        lbl_[i]->move(left, px(4440));
        lbl_[i]->setFittedText(main_.upfGetMsg(QString::fromLatin1(i == 0 ? "FROM" : "TO")));
        left = lbl_[i]->x() + lbl_[i]->width() + px(90);
        cbb_[i]->setGeometry(left, px(4380), px(1500), px(315));
        left = cbb_[i]->x() + cbb_[i]->width() + px(180);
    }
    ApplyWindowTexts(this, main_.folder().messageTable());

    points_ = projectTrend(main_.folder(), project_, main_.messages().totalsWords(),
                           utf8(main_.upfGetMsg(QStringLiteral("TOTAL2"))));
    fillChart();

    // By default the last version is compared with the one before it.
    for (std::size_t i = 0; i < 2; ++i) {
        const QSignalBlocker block(cbb_[i]);
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
        chart->addSeries(series_[s]);
    }

    auto* versions = new QCategoryAxis(chart);
    versions->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    versions->setLabelsFont(windowFont());
    const std::size_t step = std::max<std::size_t>(1, (points_.size() + kMostAxisLabels - 1) / kMostAxisLabels);
    for (std::size_t i = 0; i < points_.size(); i += step)
        versions->append(qtext(points_[i].version), static_cast<double>(i));
    const double last = points_.empty() ? 0.0 : static_cast<double>(points_.size() - 1);
    versions->setRange(-0.5, last + 0.5);

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

void frmPubTrend::showPoint(int series, double x, bool state)
{
    if (!state) {
        QToolTip::hideText();
        return;
    }
    QToolTip::showText(QCursor::pos(), pointText(series, static_cast<int>(std::lround(x))), chart_);
}

void frmPubTrend::cbb_Click(int /*index*/)
{
    const int first = cbb_[0]->currentIndex();
    const int second = cbb_[1]->currentIndex();
    if (first < 0 || second < 0) {
        model_->setRows({});
        return;
    }
    const std::string total2 = utf8(main_.upfGetMsg(QStringLiteral("TOTAL2")));
    const Snapshot before = loadSnapshot(main_.folder(), project_, points_[static_cast<std::size_t>(first)].version, total2);
    const Snapshot after = loadSnapshot(main_.folder(), project_, points_[static_cast<std::size_t>(second)].version, total2);
    model_->setRows(comparisonCells(compareSnapshots(before, after), utf8(main_.upfGetMsg(QStringLiteral("ADDED"))),
                                    utf8(main_.upfGetMsg(QStringLiteral("REMOVED")))));
}

void frmPubTrend::lsv_ColumnClick(int header) { model_->columnClicked(header - 1); }

void frmPubTrend::sbt_Click(int index)
{
    main_.runCommand(this, [&] {
        if (index == TrendClose)
            close();
        else if (index == TrendExport)
            exportComparison();
    });
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
