#include "desktop/growth_window.h"

#include "base/message_keys.h"

#include "base/platform.h"
#include "desktop/import_dialog.h"
#include "revisions/revision_import.h"
#include "output/export.h"
#include "output/table_export.h"
#include "widgets/fitted_label.h"
#include "widgets/growth_chart.h"
#include "widgets/gui_font.h"
#include "widgets/gui_text.h"
#include "widgets/icon_button.h"
#include "widgets/results_view.h"
#include "widgets/text_fit.h"
#include "widgets/text_table_model.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QSignalBlocker>

#include <algorithm>
#include <deque>

namespace zorvika {

namespace {

constexpr int kDesignWidth = 10530;  // right edge of the chart and the list (90 + 10350) and 90
constexpr int kDesignHeight = 7965;  // bottom of the list (4875 + 3000) and 90

// Each line: its caption, the position of its figure among the ten totals, its colour.
struct Line {
    const char* caption;
    std::size_t total;
    QRgb color;
};
constexpr std::array<Line, 3> kLines = {{{"P - C - B", 6, 0x209fdf}, {"C", 2, 0x99ca53}, {"B", 3, 0xf6a625}}};

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
    setWindowTitle(text(keys::GrowthTitle) + QStringLiteral(" - ") + qtext(project_));

    chart_ = new GrowthChart(this);
    chart_->setFont(windowFont());
    chart_->setValueTitle(text(keys::Lines));
    // The chart takes the room the window grows by; the row under it and the list keep their heights.
    place(chart_, twipRect(90, 90, 10350, 4200), Follow::Wider | Follow::Taller);

    // The version boxes stand after their captions, whatever their length.
    int left = px(90);
    for (std::size_t i = 0; i < 2; ++i) {
        auto* label = new FittedLabel(this);
        label->setFittedText(text(i == 0 ? keys::FirstVersion : keys::SecondVersion));
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

    importButton_ = addButton(twipRect(6480, 4335, 450, 405), "import", keys::ImportTip, [this] { importFromRepository(); },
                              Follow::Right | Follow::Bottom, true);
    exportButton_ = addButton(twipRect(7020, 4335, 1890, 405), "export", keys::Export, [this] { exportComparison(); },
                              Follow::Right | Follow::Bottom);
    closeButton_ = addButton(twipRect(9000, 4335, 1440, 405), "close", keys::Close, [this] { close(); },
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
    std::vector<Failure<>> unreadable;
    points_ = projectTrend(context().folder(), project_, context().messages().totalsWords(), utf8(text(keys::TotalsLabel)),
                           &unreadable);
    if (!unreadable.empty()) {
        std::string all;
        for (const Failure<>& failure : unreadable)
            all += (all.empty() ? "" : "\n") + failure.reason;
        context().warn(this, keys::SnapshotUnreadable, all);
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
    QStringList versions;
    for (const TrendPoint& point : points_)
        versions << qtext(point.version);
    std::vector<GrowthChart::Series> lines;
    for (const Line& line : kLines) {
        GrowthChart::Series series{QString::fromLatin1(line.caption), QColor(line.color), {}};
        series.values.reserve(points_.size());
        for (const TrendPoint& point : points_)
            series.values.push_back(static_cast<double>(point.totals[line.total]));
        lines.push_back(std::move(series));
    }
    chart_->setData(std::move(versions), std::move(lines));
}

std::optional<std::pair<int, int>> GrowthWindow::pointAt(const QPoint& at) const { return chart_->pointAt(at); }

QPoint GrowthWindow::pointPosition(int line, int index) const { return chart_->pointPosition(line, index); }

QString GrowthWindow::pointText(int line, int index) const { return chart_->pointText(line, index); }

void GrowthWindow::compareChosenVersions()
{
    const int first = versionBoxes_[0]->currentIndex();
    const int second = versionBoxes_[1]->currentIndex();
    if (first < 0 || second < 0) {
        model_->setRows({});
        return;
    }
    Result<VersionComparison> comparison =
        compareVersions(context().folder(), context().messages(), project_,
                        points_[static_cast<std::size_t>(first)].version, points_[static_cast<std::size_t>(second)].version);
    if (comparison) {
        model_->setRows(std::move(comparison->cells));
    } else {
        model_->setRows({});
        context().warn(this, keys::SnapshotUnreadable, comparison.failure());
    }
}

void GrowthWindow::importFromRepository()
{
    DesktopServices& services = context().services();
    const QString chosen = services.chooseFileToOpen(this, text(keys::ImportTitle), projectFileTypes(context()));
    if (chosen.isEmpty())
        return;
    ImportDialog choice(context(), this);
    services.showModal(choice);
    if (choice.result() != QDialog::Accepted)
        return;

    const std::filesystem::path file = localPath(chosen);
    auto repository = openRepositoryFile(file, {});
    if (!repository) {
        context().warn(this, keys::ImportFailed, repository.reason());
        return;
    }
    const auto revisions = importRevisions(*repository->repository,
                                           choice.byTags() ? std::optional<std::string>("") : std::nullopt, "HEAD",
                                           choice.byTags() ? 1 : choice.everyNth());
    if (!revisions) {
        context().warn(this, keys::ImportFailed, revisions.reason());
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
            && !services.askQuestion(this, text(keys::ImportElsewhere).arg(others.join(QStringLiteral(", ")), qtext(project_))))
            return;
    }

    // A box that tells how far the import is and can stop it after the
    // revision being counted; what was stored stays.
    const int count = static_cast<int>(revisions->size());
    QProgressDialog progress(text(keys::ImportTitle), QString(), 0, count, this);
    progress.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    progress.setWindowTitle(text(keys::ImportTitle));
    progress.setCancelButtonText(text(keys::Cancel));
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
            progress.setLabelText(text(keys::ImportProgress)
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
        context().warn(this, keys::ImportFailed, summary.error);
    else if (summary.counted == 0 && !progress.wasCanceled())
        context().warn(this, keys::NotInRevisions, utf8Of(file));
    else
        services.showMessage(this,
                             text(keys::Imported)
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
