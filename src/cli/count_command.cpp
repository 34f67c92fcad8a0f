// `zorvika-cli count`: counts a project or the projects of a group.
#include "analysis/procedure_metrics.h"
#include "analysis/results.h"
#include "base/file_io.h"
#include "base/line_reader.h"
#include "base/text_codec.h"
#include "base/platform.h"
#include "cli/commands.h"
#include "cli/inputs.h"
#include "cli/json_writer.h"
#include "components/spreadsheet.h"
#include "revisions/revision_import.h"
#include "output/export.h"
#include "output/snapshot_store.h"
#include "output/table_export.h"
#include "shell/message_table.h"
#include "shell/project_run.h"
#include "shell/selection.h"

#include <algorithm>
#include <cstdint>
#include <optional>

namespace zorvika {

namespace fs = std::filesystem;

namespace {

struct CountOptions : ListRequest {
    bool save = false;
    std::optional<std::string> revision; // count the file as it was at this git revision
    std::string gitDir;
};

CountOptions parseCount(const ParsedArgs& args)
{
    CountOptions o;
    static_cast<ListRequest&>(o) =
        parseListRequest(args, moduleListColumn, "--sort takes a column from 0 to 11 or its caption");
    o.save = args.has("--save");
    o.revision = args.value("--revision");
    o.gitDir = args.value("--git-dir").value_or("");
    o.sort.numeric = true;
    if (o.project && o.files.size() > 1)
        throw UsageError{"--project goes with one FILE"};
    if (o.revision && o.files.size() > 1)
        throw UsageError{"--revision goes with one FILE"};
    if (!o.revision && !o.gitDir.empty())
        throw UsageError{"--git-dir goes with --revision"};
    return o;
}

// `metrics[r]` belongs to `rows[r]`.
std::string jsonProject(const std::string& path, const ProjectRun& run, const std::vector<ModuleRow>& rows,
                        const std::vector<const ModuleMetrics*>& metrics)
{
    static constexpr const char* kProps[8] = {"name", "version", "productName", "description",
                                              "comments", "company", "copyright", "trademarks"};
    std::string out = "{\"path\":" + jsonString(path) + ",\"properties\":{";
    for (int i = 0; i < 8; ++i)
        out += (i ? ",\"" : "\"") + std::string(kProps[i]) + "\":" + jsonString(run.info.values[i]);
    out += "},\"rows\":" + jsonRows(rows, &metrics) + ",\"totals\":" + jsonTotals(run.totals.columns())
           + ",\"totalsText\":" + jsonString(run.totalsText) + '}';
    return out;
}

bool isJsonFileName(std::string_view path)
{
    return path.size() >= 5 && startsWithNoCase(path.substr(path.size() - 5), ".json");
}

// Counts, prints, stores and exports each selected project. A snapshot or an
// export that cannot be written is a failure (exit 1, one line each); a
// group member that cannot be read gets one warning line and is counted as
// empty, as the window shows it, but nothing of it is stored.
// The procedure figures of each row in the order the rows are listed; the
// analysis must be of the same module entries as the rows.
std::vector<const ModuleMetrics*> metricsInRowOrder(const std::vector<ModuleRow>& rows, const SortState& sort,
                                                    const std::vector<ModuleAnalysis>& analysis)
{
    std::vector<const ModuleMetrics*> out;
    for (std::size_t i : sortedOrder(rows, sort)) {
        const bool same = i < analysis.size() && analysis[i].module == rows[i].cells[ColModule];
        out.push_back(same && analysis[i].metrics ? &*analysis[i].metrics : nullptr);
    }
    return out;
}

// One project's rows as lines of one table: its name first in each line,
// the totals row too.
void writeTableRows(std::ostream& out, std::string_view project, const std::vector<ModuleRow>& rows,
                    const std::optional<std::array<std::string, 10>>& totals, ExportFormat format)
{
    constexpr std::size_t kPiece = 64 * 1024;
    std::string text;
    std::array<std::string_view, kColumnCount + 1> line;
    line[0] = project;
    auto flush = [&] {
        toLfLineEnds(text);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        text.clear();
    };
    for (const ModuleRow& row : rows) {
        std::copy(row.cells.begin(), row.cells.end(), line.begin() + 1);
        appendTableLine(text, line, format);
        if (text.size() >= kPiece)
            flush();
    }
    if (totals) {
        line[1] = " ";
        line[2] = "Total";
        std::copy(totals->begin(), totals->end(), line.begin() + 3);
        appendTableLine(text, line, format);
    }
    flush();
}

// Counts, prints, stores and exports each selected project of each input. A
// file that cannot be read, a snapshot or an export that cannot be written
// is a failure (exit 1, one line each), and the other inputs are still
// counted; a group member that cannot be read gets one warning line and is
// counted as empty, as the window shows it, but nothing of it is stored.
// Without --save nothing is written: the selection keeps its texts in memory.
int runCount(const CountOptions& o, const ProgramFolder& folder, std::ostream& out, std::ostream& err,
             const CliContext& context)
{
    const ProjectInputs inputs = o.revision ? ProjectInputs{o.files, {}} : findProjectInputs(o.files, o.excludes);
    if (o.output && inputs.files.size() > 1)
        throw UsageError{"--output writes the list of one project; give one FILE"};
    if (o.output && !inputs.files.empty() && isGroupFileName(inputs.files.front()) && !o.project)
        throw UsageError{"--output with a group needs --project"};
    // The git library starts while the program folder is made ready.
    std::optional<GitLibraryStart> gitStart;
    if (o.revision)
        gitStart.emplace();
    if (o.save) {
        std::error_code ec;
        fs::create_directories(folder.dataRoot(), ec);
        ensureWorkFiles(folder);
    }
    const MessageTable messages(folder);
    if (const Outcome table = messages.usable(); !table)
        return failWith(err, table.reason());
    const WorkingCopies copies = o.save ? WorkingCopies::Write : WorkingCopies::InMemory;

    int status = 0;
    for (const std::string& failure : inputs.failures)
        status = failWith(err, failure);
    const TotalsWords words = messages.totalsWords();
    // "--output -" puts the export file on standard output instead of the list.
    const bool exportToStdout = o.output && *o.output == "-";
    const bool json = o.format == "json";
    const ExportFormat textFormat = o.format == "csv" ? ExportFormat::Comma : ExportFormat::Tab;
    bool opened = false; // the JSON array's "[", or the first block, printed
    MissingModules missing;
    for (const std::string& file : inputs.files) {
        // The file system, or the tree of a revision of the file's repository.
        FileSystemTree files;
        std::optional<RepositoryFile> repository;
        std::optional<GitCommit> commit;
        BlobScans scans;
        std::optional<RevisionTree> revision;
        if (o.revision) {
            auto opened = openRepositoryFile(pathFromUtf8(file), pathFromUtf8(o.gitDir));
            if (!opened)
                return failWith(err, opened.reason());
            repository = std::move(opened).value();
            auto named = repository->repository->commit(*o.revision);
            if (!named)
                return failWith(err, named.reason());
            commit = std::move(named).value();
            revision.emplace(*repository->repository, *commit, scans);
        }
        SourceTree& tree = revision ? static_cast<SourceTree&>(*revision) : files;
        const Result<Selection, SelectionError> chosen =
            revision ? makeSelection(pathFromUtf8(file), repository->treePath, folder, tree, copies)
                     : makeSelection(pathFromUtf8(file), folder, copies);
        if (!chosen) {
            status = failWith(err, !revision                      ? chosen.reason()
                                   : revision->objectsRead()     ? *o.revision + ": " + chosen.reason()
                                                                 : *o.revision + ": " + revision->objectsRead().reason());
            continue;
        }
        const Selection& selection = *chosen;
        // A revision's files come from the repository, but FILE and the
        // table stand on the disk.
        const Result<ProjectSpan> span = projectsToList(o, file, selection, [&](std::size_t first) {
            return revision ? CountInputs{{pathFromUtf8(file), folder.messageTable()}, {}, {}}
                            : countInputs(selection, first, folder.messageTable());
        });
        if (!span)
            return failWith(err, span.reason());
        const auto [first, last] = *span;
        for (std::size_t k = first; k < last; ++k) {
            ProjectRun run = runProject(selection, k, messages, tree);
            if (revision && !revision->objectsRead())
                return failWith(err, *o.revision + ": " + revision->objectsRead().reason());
            if (!run.readable)
                err << "zorvika-cli: warning: " << run.readable.reason() << '\n';
            for (const ModuleRow& row : run.rows)
                missing.add(row.cells[ColModule], row.cells[ColType] == kTypeInvalid);
            const std::string path = toDisplayText(selection.projectPaths[k]);
            // The procedure figures go into JSON only; read from the same text and
            // tree as the rows, and matched to them before the rows are sorted.
            const bool withMetrics = json || (o.output && isJsonFileName(*o.output));
            const std::vector<ModuleAnalysis> analysis =
                withMetrics ? analyzeProjectText(selection.projectTexts[k], selection.projectFolders[k], tree)
                            : std::vector<ModuleAnalysis>();
            const std::vector<const ModuleMetrics*> metrics =
                withMetrics ? metricsInRowOrder(run.rows, o.sort, analysis) : std::vector<const ModuleMetrics*>();
            sortRows(run.rows, o.sort);
            const std::vector<ModuleRow>& rows = run.rows;
            if (o.save && run.readable) {
                if (const auto saved = saveSnapshot(folder, run.info.name(), run.info.version(), rows, run.totalsText);
                    !saved)
                    status = failWith(err, saved.reason());
            }
            const auto totals = totalsValues(run.totalsText, words);
            if (!exportToStdout && json) {
                out << (opened ? ',' : '[') << jsonProject(path, run, rows, metrics);
            } else if (!exportToStdout && o.oneTable) {
                if (!opened) {
                    std::string header;
                    appendFieldText(header, "Project", textFormat);
                    for (std::string_view title : kExportTitles)
                        appendFieldText(header.append(1, textFormat == ExportFormat::Comma ? ',' : '\t'), title,
                                        textFormat);
                    out << header << '\n';
                }
                writeTableRows(out, run.info.name(), rows, totals, textFormat);
            } else if (!exportToStdout) {
                if (opened)
                    out << '\n';
                writeExportText(out, rows, totals, textFormat, nullptr, true);
            }
            opened = true;
            if (!o.output)
                continue;
            out.flush(); // what was printed goes first, should the export go to standard output too
            const bool jsonFile = exportToStdout ? json : isJsonFileName(*o.output);
            if (jsonFile) {
                std::string text = "[";
                text.append(jsonProject(path, run, rows, metrics)).append("]\r\n");
                if (const Outcome written = writeOutputFile(pathFromUtf8(*o.output), text); !written)
                    status = failWith(err, *o.output + ": " + written.reason());
                continue;
            }
            if (exportToStdout) {
                // The export file of the format asked for, as a file of that ending holds it.
                if (rows.empty())
                    status = exportFailure(err, *o.output, noRecord());
                else if (const Outcome written = writeOutputFile(pathFromUtf8("-"), exportText(rows, totals, textFormat));
                         !written)
                    status = failWith(err, "standard output: " + written.reason());
                continue;
            }
            NoSpreadsheet none;
            Spreadsheet& sheet = context.spreadsheet ? *context.spreadsheet : none;
            if (const int failed = exportFailure(err, *o.output, writeExport(pathFromUtf8(*o.output), rows, run.totalsText, words, sheet)))
                status = failed;
        }
    }
    if (json && !exportToStdout && (opened || status == 0))
        out << (opened ? "]\n" : "[]\n");
    if (const int failed = missing.report(err, o.quiet, o.strict))
        status = failed;
    return status;
}

} // namespace

const CommandSpec& countCommand()
{
    static const CommandSpec spec{
        "count",
        "FILE...",
        1,
        SIZE_MAX,
        "Counts projects (.vbp) and each project of groups (.vbg) as the main window does and prints each one's\n"
        "list: the header, one line per module and the totals row. A FILE that is a folder stands for every\n"
        "project and group below it.",
        listCommandOptions(
            "order the rows by a column: 0 to 11 or its caption (module, type, P, ...); figures as numbers",
            "also write the export file (.txt, .csv, .xls, .xlsx or .json by its ending; - for standard output)",
            {
                {"--save", {}, "store the snapshot under verhis/<name>/<version>", {}},
                {"--revision", {"REV"}, "count FILE as it was at this git revision, read from the repository's objects",
                 {}},
                {"--git-dir", {"DIR"}, "the repository to read (default: the one that holds FILE)", {}},
            },
            {}),
    };
    return spec;
}

int runCountCommand(const ParsedArgs& args, const CommandRun& run)
{
    return runCount(parseCount(args), run.folder, run.out, run.err, run.context);
}

} // namespace zorvika
