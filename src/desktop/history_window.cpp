#include "desktop/history_window.h"

#include "base/message_keys.h"

#include "base/platform.h"
#include "desktop/growth_window.h"
#include "history/history_store.h"
#include "history/trend.h"
#include "widgets/fitted_label.h"
#include "widgets/gui_font.h"
#include "widgets/gui_text.h"
#include "widgets/icon_button.h"
#include "widgets/results_model.h"
#include "widgets/results_view.h"
#include "widgets/text_fit.h"

#include <QComboBox>
#include <QSignalBlocker>

#include <algorithm>

namespace zorvika {

namespace {

constexpr int kDesignWidth = 10530;  // right edge of the list (90 + 10350) and 90
constexpr int kDesignHeight = 5115;  // bottom of the totals line (4830 + 195) and 90

QByteArray nameData(const std::string& name) { return QByteArray(name.data(), static_cast<qsizetype>(name.size())); }

std::string selectedName(const QComboBox* box)
{
    if (box->currentIndex() < 0)
        return {};
    const QByteArray raw = box->currentData().toByteArray();
    return std::string(raw.constData(), static_cast<std::size_t>(raw.size()));
}

// Why a delete was refused, under the "DEL" text; nothing more when
// something merely stays.
QString refusalText(const Result<void, DeleteError>& deleted)
{
    return deleted.kind() == DeleteError::Refused ? qtext(deleted.reason()) : QString();
}

} // namespace

HistoryWindow::HistoryWindow(DesktopContext& context, const std::string& shownProject, QWidget* parent)
    : ProgramDialog(context, parent, designSize(), Sizing::Grows)
{
    makeControls();
    listProjectsChoosing(shownProject);
}

HistoryWindow::~HistoryWindow() = default;

QSize HistoryWindow::designSize() { return QSize(px(kDesignWidth), px(kDesignHeight)); }

void HistoryWindow::makeControls()
{
    setWindowTitle(text(keys::HistoryTitle));
    projectLabel_ = new FittedLabel(this);
    versionLabel_ = new FittedLabel(this);
    projectBox_ = new QComboBox(this);
    versionBox_ = new QComboBox(this);
    for (QComboBox* box : {projectBox_, versionBox_}) {
        box->setFont(windowFont());
        box->setEditable(false);
        // Below the boxes' own height the drop-down lists would clip their text.
        box->setMinimumHeight(px(315));
        tipWhenCut(box);
    }
    connect(projectBox_, &QComboBox::currentIndexChanged, this, [this] { run([this] { listVersions(); }); });
    connect(versionBox_, &QComboBox::currentIndexChanged, this, [this] {
        relayout();
        run([this] { showSnapshot(); });
    });

    const QRect projectPlace = twipRect(690, 135, 1935, 315);
    const QRect versionPlace = twipRect(3720, 135, 855, 315);
    projectBox_->setGeometry(projectPlace);
    versionBox_->setGeometry(versionPlace);
    place(projectBox_, projectPlace);
    // The version shows whole: a long one widens its box, and the rest of the row moves over.
    place(versionBox_, versionPlace, Follow::None, [this] { return neededWidth(versionBox_); });

    exportButton_ = addButton(twipRect(5055, 90, 1890, 405), "export", keys::Export, [this] { exportSnapshot(); });
    closeButton_ = addButton(twipRect(7035, 90, 1440, 405), "close", keys::Close, [this] { close(); });
    const QRect deleteProjectPlace = twipRect(2715, 142, 300, 300);
    deleteProjectButton_ = addButton(deleteProjectPlace, "delete-project", keys::DeleteProjectTip,
                                     [this] { deleteShownProject(); }, Follow::None, true);
    deleteVersionButton_ = addButton(twipRect(4665, 142, 300, 300), "delete-version", keys::DeleteVersionTip,
                                     [this] { deleteShownVersion(); }, Follow::None, true);
    growthButton_ = addButton(twipRect(8565, 90, 1875, 405), "growth", keys::Growth, [this] { showGrowth(); });

    // A long caption may reach to the window's edge or the button before it.
    projectLabel_->move(px(90), px(195));
    projectLabel_->setFittedText(text(keys::ProjectLabel));
    projectLabel_->placeBefore(*designLayout(), projectPlace.left(), px(60));
    versionLabel_->move(px(3105), px(195));
    versionLabel_->setFittedText(text(keys::VersionBoxLabel));
    versionLabel_->placeBefore(*designLayout(), versionPlace.left(), deleteProjectPlace.right() + px(60));

    model_ = new ResultsModel(this);
    model_->setLeadCaptions(text(keys::ModuleColumn), text(keys::TypeColumn));
    view_ = new ResultsView(model_, this);
    setListCommandTexts(view_, context());
    connect(view_, &ResultsView::columnClick, this, [this](int header) { model_->columnClicked(header - 1); });
    place(view_, twipRect(90, 585, 10350, 4155), Follow::Wider | Follow::Taller);

    totalsLabel_ = new FittedLabel(this, true);
    place(totalsLabel_, QRect(px(105), px(4830), 0, 0), Follow::OwnSize | Follow::Bottom);
    totalsLabel_->setFittedText(QString());

    finishControls([this] { exportSnapshot(); });
}

std::string HistoryWindow::projectName() const { return selectedName(projectBox_); }
std::string HistoryWindow::versionName() const { return selectedName(versionBox_); }

void HistoryWindow::listProjectsChoosing(const std::string& project)
{
    {
        const QSignalBlocker block(projectBox_);
        projectBox_->clear();
        for (const std::string& name : listProjects(context().folder()))
            projectBox_->addItem(qtext(name), nameData(name));
        projectBox_->setCurrentIndex(projectBox_->count() == 0 ? -1 : std::max(0, projectBox_->findData(nameData(project))));
    }
    listVersions();
}

void HistoryWindow::listVersions()
{
    {
        const QSignalBlocker block(versionBox_);
        versionBox_->clear();
        const std::string project = projectName();
        if (!project.empty())
            for (const std::string& version : inVersionOrder(zorvika::listVersions(context().folder(), project)))
                versionBox_->addItem(qtext(version), nameData(version));
        versionBox_->setCurrentIndex(versionBox_->count() == 0 ? -1 : 0);
    }
    relayout();
    showSnapshot();
}

void HistoryWindow::showSnapshot()
{
    model_->clear();
    model_->setSortingEnabled(false);
    totalsLabel_->setFittedText(QString());
    const std::string project = projectName();
    const std::string version = versionName();
    if (!project.empty() && !version.empty()) {
        Result<Snapshot> snapshot = loadSnapshot(context().folder(), project, version, utf8(text(keys::TotalsLabel)));
        if (snapshot) {
            model_->appendRows(std::move(snapshot->rows));
            totalsLabel_->setFittedText(qtext(snapshot->totalsLabel));
        } else {
            context().warn(this, keys::SnapshotUnreadable, snapshot.failure());
        }
    }
    model_->setSortingEnabled(true);
}

void HistoryWindow::exportSnapshot()
{
    CountInputs inputs;
    if (!projectName().empty() && !versionName().empty())
        inputs.files.push_back(snapshotFile(context().folder(), projectName(), versionName()));
    context().exportResults(this, model_->displayRows(), utf8(projectBox_->currentText()),
                            utf8(versionBox_->currentText()), utf8(totalsLabel_->text()), inputs);
}

void HistoryWindow::deleteShownProject()
{
    // A whole history goes at one click: the user says yes first.
    if (projectBox_->currentIndex() >= 0 && !context().services().askQuestion(this, text(keys::AskDeleteProject)))
        return;
    if (const auto deleted = deleteProject(context().folder(), projectName()); !deleted) {
        // What stays is told, and why where the store can say it.
        context().services().showMessage(this, context().framedText(keys::NotDeleted, QString(), refusalText(deleted)),
                                         MessageIcon::Warning);
        return;
    }
    {
        const QSignalBlocker block(projectBox_);
        projectBox_->removeItem(projectBox_->currentIndex());
        projectBox_->setCurrentIndex(projectBox_->count() == 0 ? -1 : 0);
    }
    // Nothing left to show: no version of a deleted project, no totals of a deleted snapshot.
    listVersions();
}

void HistoryWindow::deleteShownVersion()
{
    if (const auto deleted = deleteVersion(context().folder(), projectName(), versionName()); !deleted) {
        context().services().showMessage(this, context().framedText(keys::NotDeleted, QString(), refusalText(deleted)),
                                         MessageIcon::Warning);
        return;
    }
    {
        const QSignalBlocker block(versionBox_);
        if (versionBox_->currentIndex() >= 0)
            versionBox_->removeItem(versionBox_->currentIndex());
        versionBox_->setCurrentIndex(versionBox_->count() == 0 ? -1 : 0);
    }
    relayout();
    showSnapshot();
}

void HistoryWindow::showGrowth()
{
    const std::string project = projectName();
    if (project.empty()) {
        context().services().showMessage(this, text(keys::NothingToExport), MessageIcon::Information);
        return;
    }
    GrowthWindow window(context(), project, this);
    connect(&window, &GrowthWindow::historyChanged, this, &HistoryWindow::relist);
    context().services().showModal(window);
}

void HistoryWindow::relist()
{
    const std::string project = projectName();
    const std::string version = versionName();
    listProjectsChoosing(project);
    const int kept = versionBox_->findData(nameData(version));
    if (kept > 0)
        versionBox_->setCurrentIndex(kept); // shows that snapshot
}

} // namespace zorvika
