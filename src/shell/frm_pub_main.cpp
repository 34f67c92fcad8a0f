#include "shell/frm_pub_main.h"

#include "about/frm_pub_about.h"
#include "about/logos.h"
#include "analysis/line_counter.h"
#include "analysis/project_reader.h"
#include "components/qt/utility.h"
#include "components/qt/window_text.h"
#include "components/spreadsheet_factory.h"
#include "history/frm_pub_his.h"
#include "output/export.h"
#include "output/snapshot_store.h"
#include "procedures/frm_pub_proc.h"
#include "shell/help_window.h"
#include "shell/links.h"
#include "widgets/busy_box.h"
#include "widgets/fitted_label.h"
#include "widgets/gui_font.h"
#include "widgets/gui_text.h"
#include "widgets/results_model.h"
#include "widgets/results_view.h"
#include "widgets/super_button.h"
#include "widgets/text_fit.h"
#include "widgets/window_keys.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QScopedValueRollback>

namespace zorvika {

namespace {

constexpr int kClientWidth = 10515;  // right edge of the list (75 + 10350) and 90
constexpr int kClientHeight = 8685;  // bottom of the picture buttons (8295 + 300) and 90

// The eight property boxes inside the frame: box left, top, width; label left.
struct PropertyPlace {
    const char* key;
    int left, top, width, labelLeft;
};
constexpr std::array<PropertyPlace, 8> kProperties = {{
    {"NAME", 1440, 270, 3120, 945},
    {"VER", 5265, 270, 540, 4650},
    {"PRODUCT", 6990, 270, 3270, 5895},
    {"DESCRIPTION", 1440, 660, 8820, 555},
    {"COMM", 1440, 1050, 8820, 600},
    {"COMP", 1440, 1440, 8820, 225},
    {"COPY", 1440, 1830, 8820, 225},
    {"MARK", 1440, 2220, 8820, 90},
}};

struct ButtonPlace {
    int index, left, top, width, height;
    const char* icon;
    const char* tipKey; // the tooltip and accessible name of a button without caption
};
constexpr std::array<ButtonPlace, 12> kButtons = {{
    {BtnChoose, 90, 570, 2010, 405, "open", nullptr},
    {BtnHistory, 2190, 570, 1905, 405, "history", nullptr},
    {BtnExport, 4185, 570, 1890, 405, "export", nullptr},
    {BtnExit, 6150, 570, 1335, 405, "exit", nullptr},
    {BtnPrevious, 1980, 1065, 195, 195, nullptr, nullptr},
    {BtnNext, 2640, 1065, 195, 195, nullptr, nullptr},
    {BtnHelp, 90, 8295, 300, 300, "help", "TIP HELP"},
    {BtnForum, 480, 8295, 300, 300, "forum", "TIP FORUM"},
    {BtnHome, 870, 8295, 300, 300, "home", "TIP HOME"},
    {BtnMail, 1260, 8295, 300, 300, "mail", "TIP MAIL"},
    {BtnVersionCheck, 1650, 8295, 300, 300, "update", "TIP UPDATE"},
    {BtnAbout, 2040, 8295, 300, 300, "about", "TIP ABOUT"},
}};

// Projects and groups together first, then the two types on their own.
QString openFilter(const QString& bothTypes)
{
    return joinFilter({bothTypes, QStringLiteral("*.vbp *.vbg"), QStringLiteral("VB Project (*.vbp)"),
                       QStringLiteral("*.vbp"), QStringLiteral("VB Project Group (*.vbg)"), QStringLiteral("*.vbg")});
}

// The message key that says why a chosen file gives no selection.
const char* selectionProblemKey(SelectionProblem problem)
{
    switch (problem) {
    case SelectionProblem::Missing: return "OPEN MISSING";
    case SelectionProblem::NotRegular: return "OPEN NOTFILE";
    case SelectionProblem::Unreadable: return "OPEN FAIL";
    case SelectionProblem::TooLarge: return "OPEN LARGE";
    case SelectionProblem::CopyNotWritten: return "NOCOPY";
    case SelectionProblem::NotGroup: return "NOT GROUP";
    case SelectionProblem::NotProject: return "NOT PROJECT";
    case SelectionProblem::None: break;
    }
    return "NO PROJECTS";
}

// Shows the wait cursor while a command runs inside its click.
struct BusyCursor {
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

frmPubMain::frmPubMain(ProgramFolder folder, Utility& utility, SpreadsheetMaker spreadsheets, QWidget* parent)
    : QWidget(parent),
      folder_(std::move(folder)),
      messages_(folder_),
      utility_(utility),
      spreadsheets_(spreadsheets ? std::move(spreadsheets) : SpreadsheetMaker(makeSystemSpreadsheet))
{
    buildLayout();
    Form_Load();
}

frmPubMain::~frmPubMain() = default;

HelpWindow* frmPubMain::helpWindow() const { return help_.data(); }

QSize frmPubMain::clientSize() { return QSize(px(kClientWidth), px(kClientHeight)); }

void frmPubMain::buildLayout()
{
    setFont(windowFont());
    setWindowIcon(productIcon());
    // The layout never changes, and neither does the window's client size.
    setFixedSize(clientSize());

    lblDesc_ = new FittedLabel(this);
    lblDesc_->move(px(90), px(90));

    for (const ButtonPlace& b : kButtons) {
        auto* button = new SuperButton(b.index, this);
        button->setGeometry(twipRect(b.left, b.top, b.width, b.height));
        const bool arrow = b.index == BtnPrevious || b.index == BtnNext;
        button->setFont(windowFont(arrow));
        if (b.icon)
            button->setProgramIcon(b.icon);
        if (arrow) {
            button->setText(b.index == BtnPrevious ? QStringLiteral("<") : QStringLiteral(">"));
            button->setStyleSheet(QStringLiteral("padding: 0px;"));
        }
        connect(button, &SuperButton::clickedIndex, this, &frmPubMain::sbt_Click);
        sbt_[static_cast<std::size_t>(b.index)] = button;
    }

    fra_ = new QGroupBox(this);
    fra_->setFont(windowFont(true));
    fra_->setGeometry(twipRect(75, 1065, 10350, 2610));
    fra_->lower();

    txtCount_ = new QLineEdit(fra_);
    txtCount_->setFont(windowFont(true));
    txtCount_->setFrame(false);
    txtCount_->setReadOnly(true);
    txtCount_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    txtCount_->setTextMargins(0, 0, 0, 0);
    txtCount_->setGeometry(twipRect(2100, 0, 645, 195));
    txtCount_->setFocusPolicy(Qt::NoFocus);

    for (std::size_t i = 0; i < kProperties.size(); ++i) {
        const PropertyPlace& p = kProperties[i];
        auto* label = new FittedLabel(fra_);
        label->move(px(p.labelLeft), px(p.top + 60));
        propertyLabels_[i] = label;
        auto* box = new QLineEdit(fra_);
        box->setFont(windowFont());
        box->setReadOnly(true);
        box->setGeometry(twipRect(p.left, p.top, p.width, 300));
        box->installEventFilter(this);
        txt_[i] = box;
    }
    // The arrows stand on the frame's top edge, over the progress box's neighbours.
    sbt_[BtnPrevious]->raise();
    sbt_[BtnNext]->raise();

    model_ = new ResultsModel(this);
    lsv_ = new ResultsView(model_, this);
    lsv_->setGeometry(twipRect(75, 3765, 10350, 4155));
    connect(lsv_, &ResultsView::columnClick, this, &frmPubMain::lsv_ColumnClick);
    connect(lsv_, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { runCommand(this, [&] { openProcedures(index.row()); }); });

    lblT_ = new FittedLabel(this, true);
    lblT_->move(px(75), px(8010));

    lblComment_ = new FittedLabel(this, true);
    lblComment_->move(px(2430), px(8355));

    for (QLineEdit* box : txt_)
        tipWhenCut(box);
    addCommandKey(this, QKeySequence::HelpContents, [this] { sbt_Click(BtnHelp); });
    addCommandKey(this, QKeySequence::Open, [this] { sbt_Click(BtnChoose); });
    addCommandKey(this, QKeySequence(Qt::CTRL | Qt::Key_E), [this] { sbt_Click(BtnExport); });
    addCommandKey(this, QKeySequence(Qt::CTRL | Qt::Key_H), [this] { sbt_Click(BtnHistory); });
    setReadingTabOrder(this);
}

void frmPubMain::Form_Load()
{
    ensureWorkFiles(folder_);
    setWindowTitle(upfGetMsg(QStringLiteral("TITLE")));
    lblDesc_->setFittedText(upfGetMsg(QStringLiteral("DESC")));
    sbt_[BtnChoose]->setText(upfGetMsg(QStringLiteral("CHOOSE")));
    sbt_[BtnHistory]->setText(upfGetMsg(QStringLiteral("VERSION")));
    sbt_[BtnExport]->setText(upfGetMsg(QStringLiteral("OUTPUT")));
    sbt_[BtnExit]->setText(upfGetMsg(QStringLiteral("EXIT")));
    fra_->setTitle(upfGetMsg(QStringLiteral("PROJECT")));
    for (std::size_t i = 0; i < kProperties.size(); ++i) {
        propertyLabels_[i]->setFittedText(upfGetMsg(QString::fromLatin1(kProperties[i].key)));
        // A long caption takes the room it needs to the left of its box, up
        // to the frame's edge or the box before it in the row; the boxes stay.
        const bool firstInRow = kProperties[i].left == kProperties[0].left;
        const int leftmost = firstInRow ? px(60) : txt_[i - 1]->geometry().right() + px(60);
        propertyLabels_[i]->keepBefore(txt_[i], leftmost);
    }
    lblComment_->setFittedText(upfGetMsg(QStringLiteral("PROMPT")));
    for (const ButtonPlace& b : kButtons) {
        if (b.tipKey)
            sbt_[static_cast<std::size_t>(b.index)]->setIconOnlyText(upfGetMsg(QString::fromLatin1(b.tipKey)));
    }
    model_->setLeadCaptions(upfGetMsg(QStringLiteral("MODULE")), upfGetMsg(QStringLiteral("TYPE")));
    setListCommandTexts(lsv_);
    txtCount_->setText(qtext(positionText(0, 0)));
    lblT_->setFittedText(QString());
    ApplyWindowTexts(this, folder_.messageTable());
}

void frmPubMain::Form_Unload()
{
    ensureWorkFiles(folder_);
    if (help_)
        help_->close();
}

void frmPubMain::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
}

bool frmPubMain::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn) {
        for (std::size_t i = 0; i < txt_.size(); ++i) {
            if (watched == txt_[i])
                txt_GotFocus(static_cast<int>(i));
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmPubMain::txt_GotFocus(int index)
{
    QLineEdit* box = txt(index);
    box->setSelection(0, static_cast<int>(box->text().size()));
}

QString frmPubMain::upfGetMsg(const QString& astrKeyName) const
{
    return qtext(messages_.get(utf8(astrKeyName)));
}

QString frmPubMain::framedMsg(const char* key, const QString& subject, const QString& reason) const
{
    QString text = upfGetMsg(QString::fromLatin1(key));
    for (const QString& part : {subject, reason}) {
        if (!part.isEmpty())
            text += QLatin1Char('\n') + part;
    }
    return text;
}

void frmPubMain::setListCommandTexts(ResultsView* view) const
{
    view->setCommandTexts(upfGetMsg(QStringLiteral("SORT COLUMN")), upfGetMsg(QStringLiteral("SORT BY")),
                          upfGetMsg(QStringLiteral("COPY ROWS")));
}

void frmPubMain::openLink(QWidget* owner, const QString& target)
{
    if (utility_.OpenDocument(target, kMaximised) >= 1)
        return;
    const bool mail = target.startsWith(QLatin1String("mailto:"));
    utility_.ShowMessage(owner, upfGetMsg(QString::fromLatin1(mail ? "NO MAILER" : "NO BROWSER")), MessageIcon::Warning);
}

SuperButton* frmPubMain::sbt(int index) const
{
    if (index < 0 || index >= static_cast<int>(sbt_.size()))
        return nullptr;
    return sbt_[static_cast<std::size_t>(index)];
}

void frmPubMain::runCommand(QWidget* owner, const std::function<void()>& command)
{
    // A command that fails ends there, told in a warning; the windows and the stored snapshots stay.
    try {
        command();
    } catch (const std::exception& e) {
        utility_.ShowMessage(owner, framedMsg("FAILED", QString(), qtext(e.what())), MessageIcon::Warning);
    }
}

void frmPubMain::sbt_Click(int index)
{
    runCommand(this, [&] { dispatch(index); });
}

void frmPubMain::dispatch(int index)
{
    switch (index) {
    case BtnChoose: choose(); break;
    case BtnHistory: openHistory(); break;
    case BtnHelp: openHelp(); break;
    case BtnForum: openLink(this, links::kForum); break;
    case BtnHome: openLink(this, links::kProductHome); break;
    case BtnMail: openLink(this, links::kSupportMail); break;
    case BtnExport: upsOutput(QStringLiteral("M")); break;
    case BtnVersionCheck: openLink(this, links::kVersionCheck); break;
    case BtnAbout: openAbout(); break;
    case BtnPrevious: previous(); break;
    case BtnNext: next(); break;
    case BtnExit: close(); break;
    default: break;
    }
}

void frmPubMain::lsv_ColumnClick(int header) { model_->columnClicked(header - 1); }

QString frmPubMain::projectFileFilter() const
{
    return openFilter(upfGetMsg(QStringLiteral("ALL TYPES")));
}

void frmPubMain::choose()
{
    QString fileName;
    qint16 option = 0;
    const QStringList chosen = utility_.ShowOpenDialog(this, QStringLiteral("Choose VB Project/Group"),
                                                       projectFileFilter(), fileName,
                                                       option);
    if (chosen.isEmpty() || chosen.constFirst().isEmpty())
        return;
    chooseFile(chosen.constFirst());
}

void frmPubMain::chooseFile(const QString& fileName)
{
    BusyCursor busy;
    SelectionResult result = makeSelection(localPath(fileName), folder_);
    if (!result.selection || result.selection->empty()) {
        // The earlier selection and its results stay; the user learns why nothing changed.
        // A working copy that could not be written says why: the system's reason.
        const bool copyFailed = result.problem == SelectionProblem::CopyNotWritten;
        utility_.ShowMessage(this,
                             framedMsg(selectionProblemKey(result.problem), fileName,
                                       copyFailed ? qtext(result.error) : QString()),
                             MessageIcon::Warning);
        return;
    }
    selection_ = std::move(*result.selection);
    txtCount_->setText(qtext(positionText(1, selection_.size())));
    countProjectAt(0);
}

void frmPubMain::previous() { stepTo(previousStep(utf8(txtCount_->text()))); }

void frmPubMain::next() { stepTo(nextStep(utf8(txtCount_->text()), selection_.size())); }

void frmPubMain::stepTo(const std::optional<Step>& step)
{
    if (!step || step->index >= selection_.size())
        return;
    BusyCursor busy;
    countProjectAt(step->index);
    txtCount_->setText(qtext(step->progressText));
}

void frmPubMain::countProjectAt(std::size_t k)
{
    if (k >= selection_.size())
        return;
    // The same road as the command line: one reading of this run's own
    // working-copy text gives the properties and the rows.
    shownProject_ = k;
    ProjectRun run = runProject(selection_, k, messages_);
    upsShowProjectInfo(run.info);
    upsCountProject(run);
    if (!run.unreadable.empty()) {
        // Nothing of this project could be read: nothing to store.
        warn(this, "NOPROJECT", run.unreadable);
        return;
    }
    upsSaveSnapshot();
}

void frmPubMain::warn(QWidget* owner, const char* key, const std::string& detail)
{
    utility_.ShowMessage(owner, framedMsg(key, QString(), qtext(detail)), MessageIcon::Warning);
}

void frmPubMain::upsShowProjectInfo(const ProjectInfo& info)
{
    for (QLineEdit* box : txt_)
        box->clear();
    for (std::size_t i = 0; i < txt_.size(); ++i) {
        txt_[i]->setText(qtext(info.values[i]));
        txt_[i]->setCursorPosition(0);
    }
}

void frmPubMain::upsCountProject(ProjectRun& run)
{
    model_->clear();
    model_->setSortingEnabled(false);
    model_->appendRows(std::move(run.rows));
    lblT_->setFittedText(qtext(run.totalsText));
    model_->setSortingEnabled(true);
}

void frmPubMain::upsSaveSnapshot()
{
    std::string reason;
    if (saveSnapshot(folder_, utf8(txt_[0]->text()), utf8(txt_[1]->text()), model_->displayRows(),
                     utf8(lblT_->text()), &reason)
        != SaveStatus::Stored)
        warn(this, "NOSAVE", reason);
}

void frmPubMain::upsOutput(const QString& astrWindow)
{
    std::vector<ModuleRow> rows;
    QString first;
    QString second;
    QString totals;
    if (astrWindow == QLatin1String("M")) {
        rows = model_->displayRows();
        first = txt_[0]->text();
        second = txt_[1]->text();
        totals = lblT_->text();
    } else if (astrWindow == QLatin1String("H") && history_) {
        rows = history_->displayRows();
        first = history_->projectText();
        second = history_->versionText();
        totals = history_->totalsText();
    }
    const QString proposed = qtext(proposedFileName(utf8(first), utf8(second), todayText()));
    exportList(this, rows.empty(), proposed, [&](const std::filesystem::path& file, Spreadsheet& sheet) {
        return writeExport(file, rows, utf8(totals), messages_.totalsWords(), sheet);
    });
}

void frmPubMain::exportList(QWidget* owner, bool empty, const QString& proposed, const ListWriter& write)
{
    if (empty) {
        utility_.ShowMessage(owner, upfGetMsg(QStringLiteral("NO RECORD")), MessageIcon::Information);
        return;
    }
    const QString filter = joinFilter({upfGetMsg(QStringLiteral("TEXT")), QStringLiteral("*.txt"),
                                       upfGetMsg(QStringLiteral("CSV")), QStringLiteral("*.csv"),
                                       upfGetMsg(QStringLiteral("XLS")), QStringLiteral("*.xls"),
                                       upfGetMsg(QStringLiteral("XLSX")), QStringLiteral("*.xlsx"),
                                       upfGetMsg(QStringLiteral("ALL")), QStringLiteral("*.*")});
    const QString path =
        utility_.ShowSaveDialog(owner, upfGetMsg(QStringLiteral("EXPORT")), proposed, filter, 0, QStringLiteral("txt"));
    if (path.isEmpty())
        return;

    ExportOutcome outcome;
    {
        BusyCursor busy;
        std::unique_ptr<Spreadsheet> sheet = spreadsheets_ ? spreadsheets_() : nullptr;
        NoSpreadsheet none;
        const std::filesystem::path file = localPath(path);
        const ExportFormat format = exportFormatFor(file.native());
        if (format == ExportFormat::Spreadsheet || format == ExportFormat::Xlsx) {
            // A spreadsheet takes seconds (the spreadsheet application starts):
            // a small modal box says so while the windows keep painting.
            outcome = runBusy(owner, upfGetMsg(QStringLiteral("WRITING")),
                              [&] { return write(file, sheet ? *sheet : none); });
        } else {
            outcome = write(file, sheet ? *sheet : none);
        }
    }
    switch (outcome.status) {
    case ExportStatus::Written:
        utility_.ShowMessage(owner, upfGetMsg(QStringLiteral("EXPORT SUCC")), MessageIcon::Information);
        break;
    case ExportStatus::NoRecord:
        utility_.ShowMessage(owner, upfGetMsg(QStringLiteral("NO RECORD")), MessageIcon::Information);
        break;
    case ExportStatus::NoSpreadsheet:
        utility_.ShowMessage(owner, upfGetMsg(QStringLiteral("EXCEL")), MessageIcon::None);
        break;
    case ExportStatus::Failed:
        // The file and the system's reason, never a success that did not happen.
        utility_.ShowMessage(owner, framedMsg("EXPORT FAIL", path, qtext(outcome.error)), MessageIcon::Warning);
        break;
    }
}

void frmPubMain::openHelp()
{
    const QString title = QString::fromLatin1(kHelpTitle);
    if (utility_.FindWindowByTitle(title) >= 1) {
        // The help is open already: bring it forward instead of opening a second one.
        if (QWidget* open = findTopLevelWindow(title)) {
            if (open->isMinimized())
                open->showNormal();
            open->raise();
            open->activateWindow();
        }
        return;
    }
    auto* window = new HelpWindow(folder_.help(), this);
    help_ = window;
    window->show();
}

void frmPubMain::openHistory()
{
    frmPubHis window(*this);
    // The main window knows the open history window only while it is open.
    const QScopedValueRollback<frmPubHis*> open(history_, &window);
    utility_.ShowModal(window);
}

void frmPubMain::openProcedures(int row)
{
    if (row < 0 || row >= model_->rowCount() || shownProject_ >= selection_.size())
        return;
    frmPubProc window(*this, selection_.projectTexts[shownProject_], selection_.projectFolders[shownProject_],
                      model_->displayRow(row).cells[ColModule], utf8(txt_[0]->text()));
    utility_.ShowModal(window);
}

void frmPubMain::openAbout()
{
    frmPubAbout window(*this);
    utility_.ShowModal(window);
}

} // namespace zorvika
