#include "desktop/procedures_window.h"

#include "base/message_keys.h"

#include "analysis/procedure_table.h"
#include "output/export.h"
#include "output/table_export.h"
#include "widgets/fitted_label.h"
#include "widgets/gui_font.h"
#include "widgets/gui_text.h"
#include "widgets/icon_button.h"
#include "widgets/results_view.h"
#include "widgets/text_table_model.h"

namespace zorvika {

namespace {

constexpr int kDesignWidth = 10530;  // right edge of the list (90 + 10350) and 90
constexpr int kDesignHeight = 5355;  // bottom of the second summary line (5070 + 195) and 90

// Column widths in twips; with the scroll bar they fill the list's 10350.
constexpr std::array<int, kProcedureColumnCount> kWidths = {1500, 1900, 1100, 850, 550, 950, 550, 1000, 400, 450, 650};

} // namespace

ProceduresWindow::ProceduresWindow(DesktopContext& context, std::string_view projectText,
                                   const std::filesystem::path& projectFolder, std::string module, bool missing,
                                   std::string project, CountInputs inputs, QWidget* parent)
    : ProgramDialog(context, parent, designSize(), Sizing::Grows),
      modules_(analyzeProjectText(projectText, projectFolder)),
      module_(std::move(module)),
      missing_(missing),
      project_(std::move(project)),
      inputs_(std::move(inputs))
{
    makeControls();
    showProcedures(false);
}

ProceduresWindow::~ProceduresWindow() = default;

QSize ProceduresWindow::designSize() { return QSize(px(kDesignWidth), px(kDesignHeight)); }

void ProceduresWindow::makeControls()
{
    moduleLabel_ = new FittedLabel(this, true);
    place(moduleLabel_, QRect(px(90), px(195), 0, 0), Follow::OwnSize);

    exportButton_ = addButton(twipRect(5055, 90, 1890, 405), "export", keys::Export, [this] { exportProcedures(); },
                              Follow::Right);
    allButton_ = addButton(twipRect(7035, 90, 1905, 405), "procedures", keys::AllProcedures, [this] { showProcedures(!all_); },
                           Follow::Right);
    closeButton_ = addButton(twipRect(9030, 90, 1410, 405), "close", keys::Close, [this] { close(); }, Follow::Right);

    QStringList titles;
    for (std::string_view key : kProcedureCaptionKeys)
        titles << text(key);
    std::vector<bool> right(kProcedureColumnCount, true);
    right[ProcModule] = right[ProcName] = right[ProcKind] = false;
    model_ = new TextTableModel(titles, right, this);
    // Every column but the module, the name and the kind holds a figure.
    model_->setNumericColumns(right);
    std::vector<int> widths;
    for (int w : kWidths)
        widths.push_back(px(w));
    view_ = new ResultsView(model_, widths, this);
    setListCommandTexts(view_, context());
    connect(view_, &ResultsView::columnClick, this, [this](int header) { model_->columnClicked(header - 1); });
    place(view_, twipRect(90, 585, 10350, 4155), Follow::Wider | Follow::Taller);

    for (std::size_t i = 0; i < summaryLabels_.size(); ++i) {
        summaryLabels_[i] = new FittedLabel(this, true);
        place(summaryLabels_[i], QRect(px(105), px(4830 + 240 * static_cast<int>(i)), 0, 0),
              Follow::OwnSize | Follow::Bottom);
    }
    finishControls([this] { exportProcedures(); });
}

std::vector<ModuleAnalysis> ProceduresWindow::shownModules() const
{
    if (all_)
        return modules_;
    // A module listed twice in the project shows once.
    for (const ModuleAnalysis& m : modules_)
        if (m.module == module_)
            return {m};
    return {};
}

void ProceduresWindow::showProcedures(bool all)
{
    all_ = all;
    const std::vector<ModuleAnalysis> shown = shownModules();
    const QString what = qtext(all ? project_ : module_);
    setWindowTitle(text(keys::ProceduresTitle) + QStringLiteral(" - ") + what);
    moduleLabel_->setFittedText(what);
    allButton_->setText(text(all ? keys::ThisModule : keys::AllProcedures));
    model_->setRows(procedureRows(shown, utf8(text(keys::ProcDefinedTwice))));
    if (!all && missing_) {
        // A module file that is not there has no procedures to show: say so, not a list of zeros.
        summaryLabels_[0]->setFittedText(context().framedText(keys::ModuleMissing, QString()) + QLatin1Char(' ') + what);
        summaryLabels_[1]->setFittedText(QString());
        return;
    }
    const SummaryWords words{utf8(text(keys::ProcDeclares)), utf8(text(keys::ProcEvents)), utf8(text(keys::ProcLlocColumn)),
                             utf8(text(keys::ProcStatementsColumn)),     utf8(text(keys::ProcCcTotal)),  utf8(text(keys::ProcCcHighest)),
                             utf8(text(keys::ProcLongest))};
    const auto summary = summaryText(summedMetrics(shown), words);
    for (std::size_t i = 0; i < summaryLabels_.size(); ++i)
        summaryLabels_[i]->setFittedText(qtext(summary[i]));
}

void ProceduresWindow::exportProcedures()
{
    TextTable rows = model_->displayRows();
    const bool empty = rows.empty();
    const std::vector<ModuleAnalysis> shown = shownModules();
    rows.push_back(procedureTotalsRow(shown, utf8(text(keys::ProcTotal))));
    const std::vector<std::string> titles = model_->titles();
    // The module's file name, without the folders of its path.
    const std::string fileName = module_.substr(module_.find_last_of("\\/") + 1);
    const QString proposed =
        qtext(proposedFileName(project_, all_ ? utf8(text(keys::ProceduresTitle)) : fileName, todayText()));
    context().exportList(
        this, empty, proposed,
        [&](const std::filesystem::path& file, Spreadsheet& sheet) { return writeTableExport(file, titles, rows, sheet); },
        inputs_);
}

} // namespace zorvika
