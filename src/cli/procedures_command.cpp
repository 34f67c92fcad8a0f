// `zorvika-cli procedures`: one row per procedure of every module.
#include "analysis/procedure_metrics.h"
#include "analysis/procedure_table.h"
#include "base/line_reader.h"
#include "base/text_codec.h"
#include "base/platform.h"
#include "cli/commands.h"
#include "cli/json_writer.h"
#include "components/spreadsheet.h"
#include "output/table_export.h"
#include "shell/message_table.h"
#include "shell/selection.h"

#include <algorithm>

namespace zorvika {

namespace fs = std::filesystem;

namespace {

// The words --sort takes besides the column numbers 0 to 10.
constexpr std::array<std::string_view, kProcedureColumnCount> kProcedureColumnWords = {
    "module", "name", "kind", "line", "span", "code", "lloc", "statements", "cc", "cc2", "depth"};

struct ProceduresOptions {
    std::string file;
    std::optional<std::size_t> project; // 1-based
    SortState sort;
    std::string format = "tsv";
    std::optional<std::string> output;
};

ProceduresOptions parseProcedures(const ParsedArgs& args)
{
    ProceduresOptions o;
    o.file = args.operands.front();
    o.project = projectNumber(args);
    if (const auto v = args.value("--sort")) {
        const auto n = parseFigure(*v);
        const auto word = std::find_if(kProcedureColumnWords.begin(), kProcedureColumnWords.end(),
                                       [&](std::string_view w) { return equalsNoCase(w, *v); });
        if (n && *n >= 0 && *n < kProcedureColumnCount)
            o.sort.column = static_cast<int>(*n);
        else if (word != kProcedureColumnWords.end())
            o.sort.column = static_cast<int>(word - kProcedureColumnWords.begin());
        else
            throw UsageError{"--sort takes a column from 0 to 10 or module, name, kind, line, span, code, "
                             "lloc, statements, cc, cc2, depth"};
    }
    o.sort.descending = args.has("--descending");
    o.format = args.value("--format").value_or("tsv");
    o.output = args.value("--output");
    if (o.output && o.output->empty())
        throw UsageError{"--output needs a path"};
    return o;
}

// Every procedure with its module's path, in the order of procedureRows,
// which a sorted order refers to.
std::vector<std::pair<const std::string*, const ProcedureMetrics*>> allProcedures(
    const std::vector<ModuleAnalysis>& modules)
{
    std::vector<std::pair<const std::string*, const ProcedureMetrics*>> all;
    for (const ModuleAnalysis& module : modules)
        if (module.metrics)
            for (const ProcedureMetrics& p : module.metrics->procedures)
                all.emplace_back(&module.module, &p);
    return all;
}

std::string jsonProcedures(const std::string& path, const std::vector<ModuleAnalysis>& modules,
                           const std::vector<std::size_t>& order, const ProcedureRow& totals)
{
    const auto all = allProcedures(modules);
    std::string out = "{\"path\":" + jsonString(path) + ",\"procedures\":[";
    for (std::size_t r = 0; r < order.size(); ++r)
        out.append(r ? "," : "").append(jsonProcedure(*all[order[r]].first, *all[order[r]].second));
    out += "],\"totals\":{\"procedures\":" + totals[ProcName];
    static constexpr std::pair<int, const char*> kTotals[] = {
        {ProcSpan, "span"}, {ProcCodeLines, "codeLines"}, {ProcLloc, "lloc"}, {ProcStatements, "statements"},
        {ProcCc, "cc"},     {ProcCc2, "cc2"},             {ProcDepth, "depth"}};
    for (const auto& [column, name] : kTotals)
        out += ",\"" + std::string(name) + "\":" + totals[static_cast<std::size_t>(column)];
    return out + "}}";
}

int runProcedures(const ProceduresOptions& o, const ProgramFolder& folder, std::ostream& out, std::ostream& err,
                  const CliContext& context)
{
    if (o.output && isGroupFileName(o.file) && !o.project)
        throw UsageError{"--output with a group needs --project"};
    ensureWorkFiles(folder);
    const MessageTable messages(folder);
    if (const std::string problem = messages.problem(); !problem.empty())
        return failWith(err, problem);
    const SelectionResult chosen = makeSelection(pathFromUtf8(o.file), folder);
    if (!chosen.selection)
        return failWith(err, chosen.error);
    const Selection& selection = *chosen.selection;
    if (o.project && *o.project > selection.size())
        return noSuchProject(err, o.file, selection.size(), *o.project);

    std::vector<std::string> titles;
    for (std::string_view key : kProcedureCaptionKeys)
        titles.push_back(messages.get(key));
    const std::size_t first = o.project ? *o.project - 1 : 0;
    const std::size_t last = o.project ? *o.project : selection.size();
    int status = 0;
    if (o.format == "json")
        out << '[';
    for (std::size_t k = first; k < last; ++k) {
        if (!selection.projectErrors[k].empty())
            err << "zorvika-cli: warning: " << selection.projectErrors[k] << '\n';
        const std::vector<ModuleAnalysis> modules =
            analyzeProjectText(selection.projectTexts[k], selection.projectFolders[k]);
        const std::string twiceMark = messages.get("PROCTWICE");
        // The order from the sort column's texts alone; the rows are made
        // one at a time as they are printed, and kept only for a file.
        const std::vector<std::size_t> order =
            sortedProcedureOrder(procedureColumn(modules, o.sort.column, twiceMark), o.sort.descending);
        const ProcedureRow totals = procedureTotalsRow(modules, messages.get("PROCTOTAL"));
        const std::string path = toDisplayText(selection.projectPaths[k]);
        if (o.format == "json") {
            if (k > first)
                out << ',';
            out << jsonProcedures(path, modules, order, totals);
        } else {
            if (k > first)
                out << '\n';
            const ExportFormat format = o.format == "csv" ? ExportFormat::Comma : ExportFormat::Tab;
            const auto all = allProcedures(modules);
            std::string text;
            // Room for lines of a usual length: only what is written is touched.
            text.reserve((order.size() + 2) * 128);
            appendTableLine(text, titles, format);
            ProcedureRow row;
            for (std::size_t i : order) {
                fillProcedureRow(row, *all[i].first, *all[i].second, twiceMark);
                appendTableLine(text, row, format);
            }
            appendTableLine(text, totals, format);
            out << withUnixLineEnds(std::move(text));
        }
        if (o.output) {
            std::vector<ProcedureRow> rows = procedureRows(modules, twiceMark);
            TextTable table;
            table.reserve(rows.size() + 1);
            for (std::size_t i : order)
                table.push_back(std::move(rows[i]));
            table.push_back(totals);
            out.flush();
            NoSpreadsheet none;
            Spreadsheet& sheet = context.spreadsheet ? *context.spreadsheet : none;
            if (const int failed = exportFailure(err, *o.output, writeTableExport(pathFromUtf8(*o.output), titles, table, sheet)))
                status = failed;
        }
    }
    if (o.format == "json")
        out << "]\n";
    return status;
}

} // namespace

const CommandSpec& proceduresCommand()
{
    static const CommandSpec spec{
        "procedures",
        "FILE",
        1,
        1,
        "Lists every procedure of every module of a project or group, in project order: module, name, kind,\n"
        "first line, span, code lines, LLOC, statements, CC, CC2 and depth, and a totals row.",
        {
            {"--project", {"K"}, "only the K-th project of a group (from 1)", {}},
            {"--sort", {"COLUMN"}, "order the rows by a column: 0 to 10 or module, name, kind, line, span, code, "
                                   "lloc, statements, cc, cc2, depth", {}},
            {"--descending", {}, "order the rows from the last to the first", {}},
            {"--format", {"FORMAT"}, "print tab text (the default), comma text or JSON", {"tsv", "csv", "json"}},
            {"--output", {"PATH"}, "also write the export file (.txt, .csv, .xls or .xlsx by its ending)", {}},
            programFolderOption(),
            languageOption(),
        },
    };
    return spec;
}

int runProceduresCommand(const ParsedArgs& args, const CommandRun& run)
{
    const ProceduresOptions options = parseProcedures(args);
    std::error_code ec;
    fs::create_directories(run.folder.dataRoot(), ec);
    return runProcedures(options, run.folder, run.out, run.err, run.context);
}

} // namespace zorvika
