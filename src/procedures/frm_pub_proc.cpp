#include "procedures/frm_pub_proc.h"

#include "analysis/procedure_table.h"
#include "components/qt/window_text.h"
#include "output/export.h"
#include "output/table_export.h"
#include "shell/frm_pub_main.h"
#include "widgets/fitted_label.h"
#include "widgets/gui_font.h"
#include "widgets/gui_text.h"
#include "widgets/results_view.h"
#include "widgets/super_button.h"
#include "widgets/text_table_model.h"

#include <QStyle>

namespace zorvika {

namespace {

constexpr int kClientWidth = 10530;  // right edge of the list (90 + 10350) and 90
constexpr int kClientHeight = 5355;  // bottom of the second summary line (5070 + 195) and 90

// Column widths in twips; with the scroll bar they fill the list's 10350.
constexpr std::array<int, kProcedureColumnCount> kWidths = {1500, 1900, 1100, 850, 550, 950, 550, 1000, 400, 450, 650};

} // namespace

frmPubProc::frmPubProc(frmPubMain& main, std::string_view projectText, const std::filesystem::path& projectFolder,
                       std::string module, std::string project)
    : QDialog(&main), main_(main), modules_(analyzeProjectText(projectText, projectFolder)), module_(std::move(module)),
      project_(std::move(project))
{
    buildLayout();
    Form_Load();
}

frmPubProc::~frmPubProc() = default;

QSize frmPubProc::clientSize() { return QSize(px(kClientWidth), px(kClientHeight)); }

void frmPubProc::buildLayout()
{
    makeFixedDialog(*this, clientSize());
    setWindowIcon(main_.windowIcon());

    lblModule_ = new FittedLabel(this, true);
    lblModule_->move(px(90), px(195));

    struct Place {
        int left, width;
        const char* icon;
    };
    const std::array<Place, 3> places = {{
        {5055, 1890, "export"},
        {7035, 1905, "procedures"},
        {9030, 1410, "close"},
    }};
    for (std::size_t i = 0; i < places.size(); ++i) {
        auto* button = new SuperButton(static_cast<int>(i), this);
        button->setFont(windowFont());
        button->setGeometry(twipRect(places[i].left, 90, places[i].width, 405));
        button->setProgramIcon(places[i].icon);
        connect(button, &SuperButton::clickedIndex, this, &frmPubProc::sbt_Click);
        sbt_[i] = button;
    }

    QStringList titles;
    for (std::string_view key : kProcedureCaptionKeys)
        titles << main_.upfGetMsg(QString::fromLatin1(key.data(), static_cast<qsizetype>(key.size())));
    std::vector<bool> right(kProcedureColumnCount, true);
    right[ProcModule] = right[ProcName] = right[ProcKind] = false;
    model_ = new TextTableModel(titles, right, this);
    std::vector<int> widths;
    for (int w : kWidths)
        widths.push_back(px(w));
    lsv_ = new ResultsView(model_, widths, this);
    lsv_->setGeometry(twipRect(90, 585, 10350, 4155));
    connect(lsv_, &ResultsView::columnClick, this, &frmPubProc::lsv_ColumnClick);

    for (std::size_t i = 0; i < lblT_.size(); ++i) {
        lblT_[i] = new FittedLabel(this, true);
        lblT_[i]->move(px(105), px(4830 + 240 * static_cast<int>(i)));
    }
}

void frmPubProc::Form_Load()
{
    sbt_[ProcExport]->setText(main_.upfGetMsg(QStringLiteral("OUTPUT")));
    sbt_[ProcClose]->setText(main_.upfGetMsg(QStringLiteral("CW")));
    ApplyWindowTexts(this, main_.folder().messageTable());
    show(false);
}

std::vector<ModuleAnalysis> frmPubProc::shownModules() const
{
    if (all_)
        return modules_;
    // A module listed twice in the project shows once.
    for (const ModuleAnalysis& m : modules_)
        if (m.module == module_)
            return {m};
    return {};
}

void frmPubProc::show(bool all)
{
    all_ = all;
    const std::vector<ModuleAnalysis> shown = shownModules();
    const QString what = qtext(all ? project_ : module_);
    setWindowTitle(main_.upfGetMsg(QStringLiteral("PROCTITLE")) + QStringLiteral(" - ") + what);
    lblModule_->setFittedText(what);
    sbt_[ProcAll]->setText(main_.upfGetMsg(all ? QStringLiteral("PROCONE") : QStringLiteral("PROCALL")));
    model_->setRows(procedureRows(shown, utf8(main_.upfGetMsg(QStringLiteral("PROCTWICE")))));
    const SummaryWords words{utf8(main_.upfGetMsg(QStringLiteral("PROCDECLARES"))),
                             utf8(main_.upfGetMsg(QStringLiteral("PROCEVENTS"))),
                             utf8(main_.upfGetMsg(QStringLiteral("PROCLLOC"))),
                             utf8(main_.upfGetMsg(QStringLiteral("PROCSTMT"))),
                             utf8(main_.upfGetMsg(QStringLiteral("PROCCCSUM"))),
                             utf8(main_.upfGetMsg(QStringLiteral("PROCCCMAX"))),
                             utf8(main_.upfGetMsg(QStringLiteral("PROCLONGEST")))};
    const auto summary = summaryText(summedMetrics(shown), words);
    for (std::size_t i = 0; i < lblT_.size(); ++i)
        lblT_[i]->setFittedText(qtext(summary[i]));
}

void frmPubProc::lsv_ColumnClick(int header) { model_->columnClicked(header - 1); }

void frmPubProc::sbt_Click(int index)
{
    main_.runCommand(this, [&] {
        switch (index) {
        case ProcExport: exportProcedures(); break;
        case ProcAll: show(!all_); break;
        case ProcClose: close(); break;
        default: break;
        }
    });
}

void frmPubProc::exportProcedures()
{
    TextTable rows = model_->displayRows();
    const bool empty = rows.empty();
    const std::vector<ModuleAnalysis> shown = shownModules();
    rows.push_back(procedureTotalsRow(shown, utf8(main_.upfGetMsg(QStringLiteral("PROCTOTAL")))));
    const std::vector<std::string> titles = model_->titles();
    // The module's file name, without the folders of its path.
    const std::string fileName = module_.substr(module_.find_last_of("\\/") + 1);
    const QString proposed = qtext(proposedFileName(project_, all_ ? utf8(main_.upfGetMsg(QStringLiteral("PROCTITLE")))
                                                                   : fileName,
                                                    todayText()));
    main_.exportList(this, empty, proposed, [&](const std::filesystem::path& file, Spreadsheet& sheet) {
        return writeTableExport(file, titles, rows, sheet);
    });
}

} // namespace zorvika
