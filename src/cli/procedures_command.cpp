// `zorvika-cli procedures`: one row per procedure of every module.
#include "analysis/procedure_metrics.h"

#include "base/message_keys.h"
#include "analysis/procedure_table.h"
#include "base/line_reader.h"
#include "base/text_codec.h"
#include "base/platform.h"
#include "cli/commands.h"
#include "cli/inputs.h"
#include "cli/json_writer.h"
#include "components/spreadsheet.h"
#include "output/table_export.h"
#include "shell/message_table.h"
#include "shell/selection.h"
#include "analysis/project_reader.h"
#include "output/export.h"
#include "base/file_io.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace zorvika {

namespace fs = std::filesystem;

namespace {

// The words --sort takes besides the column numbers 0 to 10.
constexpr std::array<std::string_view, kProcedureColumnCount> kProcedureColumnWords = {
    "module", "name", "kind", "line", "span", "code", "lloc", "statements", "cc", "cc2", "depth"};

// The limits of the gate: a procedure over one is told as a warning.
struct Limit {
    std::string_view option; // "--max-cc"
    std::string_view figure; // "CC", as the warning names it
    std::int64_t ProcedureMetrics::*value;
};
constexpr Limit kLimits[] = {
    {"--max-cc", "CC", &ProcedureMetrics::cc},
    {"--max-span", "span", &ProcedureMetrics::span},
    {"--max-depth", "depth", &ProcedureMetrics::depth},
};

struct ProceduresOptions : ListRequest {
    std::array<std::optional<std::int64_t>, std::size(kLimits)> limits;

    bool gate() const
    {
        return std::any_of(limits.begin(), limits.end(), [](const auto& l) { return l.has_value(); });
    }
};

ProceduresOptions parseProcedures(const ParsedArgs& args)
{
    ProceduresOptions o;
    const auto column = [](std::string_view v) -> std::optional<int> {
        const auto n = parseWholeNumber(v);
        const auto word = std::find_if(kProcedureColumnWords.begin(), kProcedureColumnWords.end(),
                                       [&](std::string_view w) { return equalsNoCase(w, v); });
        if (n && *n < kProcedureColumnCount)
            return static_cast<int>(*n);
        if (word != kProcedureColumnWords.end())
            return static_cast<int>(word - kProcedureColumnWords.begin());
        return std::nullopt;
    };
    static_cast<ListRequest&>(o) = parseListRequest(args, column,
                                                    "--sort takes a column from 0 to 10 or module, name, kind, line, "
                                                    "span, code, lloc, statements, cc, cc2, depth");
    for (std::size_t i = 0; i < std::size(kLimits); ++i)
        o.limits[i] = args.number(kLimits[i].option);
    if (o.project && o.files.size() > 1)
        throw UsageError{"--project goes with one FILE"};
    if (o.gate() && (o.format == "json" || o.oneTable || (o.output && *o.output == "-")))
        throw UsageError{"--max-cc, --max-span and --max-depth print warnings in place of the list; "
                         "not with --format json, --one-table or --output -"};
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

// A path of a project file with either separator, as this system writes it.
std::string withSlashes(std::string path)
{
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

// The folder a project's module paths are joined to, as the user gave it:
// the project file's folder, for a group member the group's folder joined
// with the member's.
fs::path givenFolder(const std::string& file, const Selection& selection, std::size_t k)
{
    fs::path folder = pathFromUtf8(file).parent_path();
    if (!selection.groupFile.empty())
        folder /= pathFromUtf8(withSlashes(selection.projectPaths[k])).parent_path();
    return folder;
}

// The gate: "path:line: warning: NAME: CC 42 over 20" for each procedure
// and each limit it is over; returns how many lines were written.
std::size_t writeWarnings(std::ostream& out, const ProceduresOptions& o, const fs::path& folder,
                          const std::vector<ModuleAnalysis>& modules)
{
    std::size_t told = 0;
    for (const ModuleAnalysis& module : modules) {
        if (!module.metrics)
            continue;
        const std::string path = toDisplayText(utf8Of(folder / pathFromUtf8(withSlashes(module.module))));
        for (const ProcedureMetrics& p : module.metrics->procedures)
            for (std::size_t i = 0; i < std::size(kLimits); ++i) {
                const std::int64_t value = p.*kLimits[i].value;
                if (!o.limits[i] || value <= *o.limits[i])
                    continue;
                out << path << ':' << p.firstLine << ": warning: " << toDisplayText(p.name) << ": "
                    << kLimits[i].figure << ' ' << value << " over " << *o.limits[i] << '\n';
                ++told;
            }
    }
    return told;
}

// The rows' order: a figure column (first line to depth) by its numbers.
std::vector<std::size_t> procedureOrder(const std::vector<ModuleAnalysis>& modules, const SortState& sort,
                                        const std::string& twiceMark)
{
    const std::vector<std::string> texts = procedureColumn(modules, sort.column, twiceMark);
    if (sort.column < ProcFirstLine)
        return sortedProcedureOrder(texts, sort.descending);
    return sortedOrderByNumber(texts.size(), sort.descending,
                               [&](std::size_t i) -> std::string_view { return texts[i]; });
}

int runProcedures(const ProceduresOptions& o, const ProgramFolder& folder, std::ostream& out, std::ostream& err,
                  const CliContext& context)
{
    const ProjectInputs inputs = findProjectInputs(o.files, o.excludes);
    if (o.output && inputs.files.size() > 1)
        throw UsageError{"--output writes the list of one project; give one FILE"};
    if (o.output && !inputs.files.empty() && isGroupFileName(inputs.files.front()) && !o.project)
        throw UsageError{"--output with a group needs --project"};
    const MessageTable messages(folder);
    if (const Outcome table = messages.usable(); !table)
        return failWith(err, table.reason());
    int status = 0;
    for (const std::string& failure : inputs.failures)
        status = failWith(err, failure);

    std::vector<std::string> titles;
    for (std::string_view key : kProcedureCaptionKeys)
        titles.push_back(messages.get(key));
    const std::string twiceMark = messages.get(keys::ProcDefinedTwice);
    const std::string totalWord = messages.get(keys::ProcTotal);
    const bool json = o.format == "json";
    const bool exportToStdout = o.output && *o.output == "-";
    const ExportFormat format = o.format == "csv" ? ExportFormat::Comma : ExportFormat::Tab;
    bool opened = false;
    std::size_t warnings = 0;
    MissingModules missing;
    for (const std::string& file : inputs.files) {
        // Counting stores nothing here: the texts stay in memory.
        const Result<Selection, SelectionError> chosen =
            makeSelection(pathFromUtf8(file), folder, WorkingCopies::InMemory);
        if (!chosen) {
            status = failWith(err, chosen.reason());
            continue;
        }
        const Selection& selection = *chosen;
        const Result<ProjectSpan> span = projectsToList(o, file, selection, [&](std::size_t first) {
            return countInputs(selection, first, folder.messageTable());
        });
        if (!span)
            return failWith(err, span.reason());
        const auto [first, last] = *span;
        for (std::size_t k = first; k < last; ++k) {
            if (!selection.projectReads[k])
                err << "zorvika-cli: warning: " << selection.projectReads[k].reason() << '\n';
            const std::vector<ModuleAnalysis> modules =
                analyzeProjectText(selection.projectTexts[k], selection.projectFolders[k]);
            for (const ModuleAnalysis& module : modules)
                missing.add(module.module, module.type == kTypeInvalid);
            if (o.gate()) {
                warnings += writeWarnings(out, o, givenFolder(file, selection, k), modules);
                if (!o.output)
                    continue;
            }
            // The order from the sort column's texts alone; the rows are made
            // one at a time as they are printed, and kept only for a file.
            const std::vector<std::size_t> order = procedureOrder(modules, o.sort, twiceMark);
            const ProcedureRow totals = procedureTotalsRow(modules, totalWord);
            const std::string path = toDisplayText(selection.projectPaths[k]);
            const auto all = allProcedures(modules);
            // With the gate the warnings stand in for the list; "--output -"
            // puts the export there instead.
            if (o.gate() || exportToStdout) {
            } else if (json) {
                out << (opened ? ',' : '[') << jsonProcedures(path, modules, order, totals);
            } else {
                std::string text;
                // Room for lines of a usual length: only what is written is touched.
                text.reserve((order.size() + 2) * 128);
                ProcedureRow row;
                if (o.oneTable) {
                    // One header for all projects; each line begins with the project's name.
                    const std::string name = projectInfoFromText(selection.projectTexts[k]).name();
                    if (!opened) {
                        ProcedureRow header{"Project"};
                        header.insert(header.end(), titles.begin(), titles.end());
                        appendTableLine(text, header, format);
                    }
                    row.push_back(name);
                    for (std::size_t i : order) {
                        ProcedureRow cells;
                        fillProcedureRow(cells, *all[i].first, *all[i].second, twiceMark);
                        row.resize(1);
                        row.insert(row.end(), cells.begin(), cells.end());
                        appendTableLine(text, row, format);
                    }
                    row.resize(1);
                    row.insert(row.end(), totals.begin(), totals.end());
                    appendTableLine(text, row, format);
                } else {
                    if (opened)
                        text += "\r\n";
                    appendTableLine(text, titles, format);
                    for (std::size_t i : order) {
                        fillProcedureRow(row, *all[i].first, *all[i].second, twiceMark);
                        appendTableLine(text, row, format);
                    }
                    appendTableLine(text, totals, format);
                }
                out << withUnixLineEnds(std::move(text));
            }
            opened = true;
            if (!o.output)
                continue;
            out.flush();
            if (exportToStdout && json) {
                std::string text = "[";
                text.append(jsonProcedures(path, modules, order, totals)).append("]\r\n");
                if (const Outcome written = writeOutputFile(pathFromUtf8("-"), text); !written)
                    status = failWith(err, "standard output: " + written.reason());
                continue;
            }
            std::vector<ProcedureRow> rows = procedureRows(modules, twiceMark);
            TextTable table;
            table.reserve(rows.size() + 1);
            for (std::size_t i : order)
                table.push_back(std::move(rows[i]));
            table.push_back(totals);
            if (exportToStdout) {
                // The export of the format asked for, as a file of that ending holds it.
                if (const Outcome written = writeOutputFile(pathFromUtf8("-"), tableText(titles, table, format));
                    !written)
                    status = failWith(err, "standard output: " + written.reason());
                continue;
            }
            NoSpreadsheet none;
            Spreadsheet& sheet = context.spreadsheet ? *context.spreadsheet : none;
            if (const int failed = exportFailure(err, *o.output, writeTableExport(pathFromUtf8(*o.output), titles, table, sheet)))
                status = failed;
        }
    }
    if (json && !exportToStdout && !o.gate() && (opened || status == 0))
        out << (opened ? "]\n" : "[]\n");
    if (const int failed = missing.report(err, o.quiet, o.strict))
        status = failed;
    if (warnings > 0)
        status = failWith(err, std::to_string(warnings) + " procedure figure(s) over the limits");
    return status;
}

} // namespace

const CommandSpec& proceduresCommand()
{
    static const CommandSpec spec{
        "procedures",
        "FILE...",
        1,
        SIZE_MAX,
        "Lists every procedure of every module of projects and groups, in project order: module, name, kind,\n"
        "first line, span, code lines, LLOC, statements, CC, CC2 and depth, and a totals row. A FILE that is a\n"
        "folder stands for every project and group below it.",
        listCommandOptions(
            "order the rows by a column: 0 to 10 or module, name, kind, line, span, code, lloc, statements, cc, cc2, "
            "depth; figures as numbers",
            "also write the export file (.txt, .csv, .xls or .xlsx by its ending; - for standard output)", {},
            {
                {"--max-cc", {"N"}, "print each procedure whose CC is over N as a warning, in place of the list; exit 1 "
                                    "when there is one", {}, 0, NumberRange{0}},
                {"--max-span", {"N"}, "the same for a span over N lines", {}, 0, NumberRange{0}},
                {"--max-depth", {"N"}, "the same for a depth over N", {}, 0, NumberRange{0}},
            }),
    };
    return spec;
}

int runProceduresCommand(const ParsedArgs& args, const CommandRun& run)
{
    return runProcedures(parseProcedures(args), run.folder, run.out, run.err, run.context);
}

} // namespace zorvika
