// `zorvika-cli count`: counts a project or the projects of a group.
#include "analysis/procedure_metrics.h"
#include "analysis/results.h"
#include "base/file_io.h"
#include "base/line_reader.h"
#include "base/text_codec.h"
#include "base/platform.h"
#include "cli/commands.h"
#include "cli/json_writer.h"
#include "components/spreadsheet.h"
#include "history/revision_import.h"
#include "output/export.h"
#include "output/snapshot_store.h"
#include "shell/message_table.h"
#include "shell/project_run.h"
#include "shell/selection.h"

#include <optional>

namespace zorvika {

namespace fs = std::filesystem;

namespace {

struct CountOptions {
    std::string file;
    std::optional<std::size_t> project; // 1-based
    SortState sort;
    std::string format = "tsv";
    std::optional<std::string> output;
    bool save = false;
    std::optional<std::string> revision; // count the file as it was at this git revision
    std::string gitDir;
};

// A column by its number (0 to 11), by its caption ("P - C - B", spaces
// optional) or by the words "module" and "type".
std::optional<int> parseColumn(std::string_view text)
{
    if (auto n = parseFigure(text))
        return (*n >= 0 && *n < kColumnCount) ? std::optional<int>(static_cast<int>(*n)) : std::nullopt;
    auto squeeze = [](std::string_view s) {
        std::string out;
        for (char c : s)
            if (c != ' ')
                out += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        return out;
    };
    const std::string wanted = squeeze(text);
    if (wanted == "MODULE")
        return ColModule;
    if (wanted == "TYPE")
        return ColType;
    for (std::size_t i = 0; i < kFigureCaptions.size(); ++i)
        if (squeeze(kFigureCaptions[i]) == wanted)
            return static_cast<int>(ColP + i);
    return std::nullopt;
}

CountOptions parseCount(const ParsedArgs& args)
{
    CountOptions o;
    o.file = args.operands.front();
    o.project = projectNumber(args);
    std::optional<int> column;
    if (const auto c = args.value("--sort")) {
        column = parseColumn(*c);
        if (!column)
            throw UsageError{"--sort takes a column from 0 to 11 or its caption"};
    }
    o.format = args.value("--format").value_or("tsv");
    o.output = args.value("--output");
    if (o.output && o.output->empty())
        throw UsageError{"--output needs a path"};
    o.save = args.has("--save");
    o.revision = args.value("--revision");
    o.gitDir = args.value("--git-dir").value_or("");
    o.sort.column = column.value_or(ColModule);
    o.sort.descending = args.has("--descending");
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

int runCount(const CountOptions& o, const ProgramFolder& folder, std::ostream& out, std::ostream& err,
             const CliContext& context)
{
    const bool group = isGroupFileName(o.file);
    if (o.output && group && !o.project)
        throw UsageError{"--output with a group needs --project"};
    if (!o.revision && !o.gitDir.empty())
        throw UsageError{"--git-dir goes with --revision"};
    // The git library starts while the program folder is made ready.
    std::optional<GitLibraryStart> gitStart;
    if (o.revision)
        gitStart.emplace();
    ensureWorkFiles(folder);
    const MessageTable messages(folder);
    if (const std::string problem = messages.problem(); !problem.empty())
        return failWith(err, problem);

    // The file system, or the tree of a revision of the file's repository.
    FileSystemTree files;
    std::optional<RepositoryFile> repository;
    std::optional<GitCommit> commit;
    BlobScans scans;
    std::optional<RevisionTree> revision;
    if (o.revision) {
        std::string error;
        repository = openRepositoryFile(pathFromUtf8(o.file), pathFromUtf8(o.gitDir), &error);
        if (repository)
            commit = repository->repository->commit(*o.revision, &error);
        if (!commit)
            return failWith(err, error);
        revision.emplace(*repository->repository, *commit, scans);
    }
    SourceTree& tree = revision ? static_cast<SourceTree&>(*revision) : files;
    const SelectionResult chosen = revision ? makeSelection(pathFromUtf8(o.file), repository->treePath, folder, tree)
                                            : makeSelection(pathFromUtf8(o.file), folder);
    if (!chosen.selection)
        return failWith(err, revision ? *o.revision + ": " + chosen.error : chosen.error);
    const Selection& selection = *chosen.selection;
    if (o.project && *o.project > selection.size())
        return noSuchProject(err, o.file, selection.size(), *o.project);

    const std::size_t first = o.project ? *o.project - 1 : 0;
    const std::size_t last = o.project ? *o.project : selection.size();
    const TotalsWords words = messages.totalsWords();
    // "--output -" puts the export file on standard output instead of the list.
    const bool exportToStdout = o.output && *o.output == "-";
    int status = 0;
    if (o.format == "json" && !exportToStdout)
        out << '[';
    for (std::size_t k = first; k < last; ++k) {
        ProjectRun run = runProject(selection, k, messages, tree);
        if (revision && !revision->failure().empty())
            return failWith(err, *o.revision + ": " + revision->failure());
        if (!run.unreadable.empty())
            err << "zorvika-cli: warning: " << run.unreadable << '\n';
        const std::string path = toDisplayText(selection.projectPaths[k]);
        // The procedure figures go into JSON only; read from the same text and
        // tree as the rows, and matched to them before the rows are sorted.
        const bool json = o.format == "json" || (o.output && isJsonFileName(*o.output));
        const std::vector<ModuleAnalysis> analysis =
            json ? analyzeProjectText(selection.projectTexts[k], selection.projectFolders[k], tree)
                 : std::vector<ModuleAnalysis>();
        const std::vector<const ModuleMetrics*> metrics =
            json ? metricsInRowOrder(run.rows, o.sort, analysis) : std::vector<const ModuleMetrics*>();
        sortRows(run.rows, o.sort);
        const std::vector<ModuleRow>& rows = run.rows;
        if (o.save && run.unreadable.empty()) {
            std::string reason;
            if (saveSnapshot(folder, run.info.name(), run.info.version(), rows, run.totalsText, &reason)
                != SaveStatus::Stored)
                status = failWith(err, reason);
        }
        if (!exportToStdout && o.format == "json") {
            if (k > first)
                out << ',';
            out << jsonProject(path, run, rows, metrics);
        } else if (!exportToStdout) {
            if (k > first)
                out << '\n';
            writeExportText(out, rows, totalsValues(run.totalsText, words),
                            o.format == "csv" ? ExportFormat::Comma : ExportFormat::Tab, nullptr, true);
        }
        if (!o.output)
            continue;
        out.flush(); // what was printed goes first, should the export go to standard output too
        if (isJsonFileName(*o.output)) {
            std::string json = "[";
            json.append(jsonProject(path, run, rows, metrics)).append("]\r\n");
            if (const Outcome written = writeOutputFile(pathFromUtf8(*o.output), json); !written)
                status = failWith(err, *o.output + ": " + written.reason());
            continue;
        }
        NoSpreadsheet none;
        Spreadsheet& sheet = context.spreadsheet ? *context.spreadsheet : none;
        if (const int failed = exportFailure(err, *o.output, writeExport(pathFromUtf8(*o.output), rows, run.totalsText, words, sheet)))
            status = failed;
    }
    if (o.format == "json" && !exportToStdout)
        out << "]\n";
    return status;
}

} // namespace

const CommandSpec& countCommand()
{
    static const CommandSpec spec{
        "count",
        "FILE",
        1,
        1,
        "Counts a project (.vbp) or each project of a group (.vbg) as the main window does and prints "
        "each one's list:\nthe header, one line per module and the totals row.",
        {
            {"--project", {"K"}, "count only the K-th project of a group (from 1)", {}},
            {"--sort", {"COLUMN"}, "order the rows by a column: 0 to 11 or its caption (module, type, P, ...)", {}},
            {"--descending", {}, "order the rows from the last to the first", {}},
            {"--format", {"FORMAT"}, "print tab text (the default), comma text or JSON", {"tsv", "csv", "json"}},
            {"--output", {"PATH"}, "also write the export file (.txt, .csv, .xls, .xlsx or .json by its ending)", {}},
            {"--save", {}, "store the snapshot under verhis/<name>/<version>", {}},
            {"--revision", {"REV"}, "count FILE as it was at this git revision, read from the repository's objects",
             {}},
            {"--git-dir", {"DIR"}, "the repository to read (default: the one that holds FILE)", {}},
            programFolderOption(),
            languageOption(),
        },
    };
    return spec;
}

int runCountCommand(const ParsedArgs& args, const CommandRun& run)
{
    const CountOptions options = parseCount(args);
    std::error_code ec;
    fs::create_directories(run.folder.dataRoot(), ec);
    return runCount(options, run.folder, run.out, run.err, run.context);
}

} // namespace zorvika
