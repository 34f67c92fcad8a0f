#include "cli/cli.h"

#include "analysis/results.h"
#include "cli/json_writer.h"
#include "components/line_reader.h"
#include "components/spreadsheet.h"
#include "history/history_store.h"
#include "history/trend.h"
#include "output/export.h"
#include "output/snapshot_store.h"
#include "output/table_export.h"
#include "shell/message_table.h"
#include "shell/project_run.h"
#include "shell/selection.h"

#include <algorithm>
#include <optional>

namespace zorvika {

namespace fs = std::filesystem;

namespace {

constexpr const char* kUsage =
    "usage: zorvika-cli count FILE [--project K] [--sort COLUMN] [--descending] [--format tsv|csv|json] "
    "[--output PATH] [--save] [--program-folder DIR] | zorvika-cli history [PROJECT [VERSION | --trend | "
    "--compare V1 V2]] [--program-folder DIR]";

struct UsageError {
    std::string what;
};

struct CountOptions {
    std::string file;
    std::optional<std::size_t> project; // 1-based
    SortState sort;
    std::string format = "tsv";
    std::optional<std::string> output;
    bool save = false;
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

// Takes "--program-folder DIR" out of the arguments.
fs::path takeProgramFolder(std::vector<std::string>& args, const CliContext& context)
{
    fs::path folder = context.defaultProgramFolder;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] != "--program-folder")
            continue;
        if (i + 1 >= args.size() || args[i + 1].empty())
            throw UsageError{"--program-folder needs a folder"};
        folder = args[i + 1];
        args.erase(args.begin() + static_cast<std::ptrdiff_t>(i), args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
        --i;
    }
    return folder;
}

CountOptions parseCount(const std::vector<std::string>& args)
{
    CountOptions o;
    bool haveFile = false;
    std::optional<int> column;
    bool descending = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size())
                throw UsageError{a + " needs a value"};
            return args[++i];
        };
        if (a == "--project") {
            const auto k = parseFigure(value());
            if (!k || *k < 1)
                throw UsageError{"--project takes a number from 1"};
            o.project = static_cast<std::size_t>(*k);
        } else if (a == "--sort") {
            column = parseColumn(value());
            if (!column)
                throw UsageError{"--sort takes a column from 0 to 11 or its caption"};
        } else if (a == "--descending") {
            descending = true;
        } else if (a == "--format") {
            o.format = value();
            if (o.format != "tsv" && o.format != "csv" && o.format != "json")
                throw UsageError{"--format takes tsv, csv or json"};
        } else if (a == "--output") {
            o.output = value();
            if (o.output->empty())
                throw UsageError{"--output needs a path"};
        } else if (a == "--save") {
            o.save = true;
        } else if (a.starts_with("--") || haveFile) {
            throw UsageError{"unexpected argument " + a};
        } else {
            o.file = a;
            haveFile = true;
        }
    }
    if (!haveFile)
        throw UsageError{"count needs a FILE"};
    o.sort.column = column.value_or(ColModule);
    o.sort.descending = descending;
    return o;
}

void writeJsonProject(std::ostream& out, const std::string& path, const ProjectRun& run,
                      const std::vector<ModuleRow>& rows)
{
    static constexpr const char* kProps[8] = {"name", "version", "productName", "description",
                                              "comments", "company", "copyright", "trademarks"};
    out << "{\"path\":" << jsonString(path) << ",\"properties\":{";
    for (int i = 0; i < 8; ++i)
        out << (i ? "," : "") << '"' << kProps[i] << "\":" << jsonString(run.info.values[i]);
    out << "},\"rows\":[";
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const ModuleRow& row = rows[r];
        out << (r ? "," : "") << "{\"module\":" << jsonString(row.cells[ColModule])
            << ",\"type\":" << jsonString(row.cells[ColType]);
        for (std::size_t k = 0; k < kFigureCaptions.size(); ++k) {
            const std::string& cell = row.cells[ColP + k];
            out << ",\"" << kFigureCaptions[k] << "\":" << (cell.empty() ? "null" : cell);
        }
        out << '}';
    }
    out << "],\"totals\":{";
    const auto totals = run.totals.columns();
    for (std::size_t k = 0; k < totals.size(); ++k)
        out << (k ? "," : "") << '"' << kFigureCaptions[k] << "\":" << totals[k];
    out << "},\"totalsText\":" << jsonString(run.totalsText) << '}';
}

int failWith(std::ostream& err, const std::string& message)
{
    err << "zorvika-cli: " << message << '\n';
    return 1;
}

int runCount(const CountOptions& o, const ProgramFolder& folder, std::ostream& out, std::ostream& err,
             const CliContext& context)
{
    const bool group = isGroupFileName(o.file);
    if (o.output && group && !o.project)
        throw UsageError{"--output with a group needs --project"};
    ensureWorkFiles(folder);
    const MessageTable messages(folder);
    const SelectionResult chosen = makeSelection(o.file, folder);
    if (!chosen.selection)
        return failWith(err, chosen.error);
    const Selection& selection = *chosen.selection;
    if (o.project && *o.project > selection.size())
        return failWith(err, o.file + ": has " + std::to_string(selection.size()) + " project(s), not "
                                 + std::to_string(*o.project));

    const std::size_t first = o.project ? *o.project - 1 : 0;
    const std::size_t last = o.project ? *o.project : selection.size();
    const TotalsWords words = messages.totalsWords();
    int status = 0;
    if (o.format == "json")
        out << '[';
    for (std::size_t k = first; k < last; ++k) {
        ProjectRun run = runProject(selection, k, messages);
        sortRows(run.rows, o.sort);
        const std::vector<ModuleRow>& rows = run.rows;
        if (o.save)
            saveSnapshot(folder, run.info.name(), run.info.version(), rows, run.totalsText);
        if (o.format == "json") {
            if (k > first)
                out << ',';
            writeJsonProject(out, selection.projectPaths[k], run, rows);
        } else {
            if (k > first)
                out << "\r\n";
            writeExportText(out, rows, totalsValues(run.totalsText, words),
                            o.format == "csv" ? ExportFormat::Comma : ExportFormat::Tab);
        }
        if (o.output) {
            NoSpreadsheet none;
            Spreadsheet& sheet = context.spreadsheet ? *context.spreadsheet : none;
            const ExportOutcome outcome = writeExport(*o.output, rows, run.totalsText, words, sheet);
            if (outcome.status == ExportStatus::NoRecord)
                status = failWith(err, *o.output + ": the list has no rows; nothing written");
            else if (outcome.status == ExportStatus::NoSpreadsheet)
                status = failWith(err, *o.output + ": the spreadsheet application cannot be started; nothing written");
            else if (outcome.status == ExportStatus::Failed)
                status = failWith(err, *o.output + ": " + outcome.error);
        }
    }
    if (o.format == "json")
        out << "]\n";
    return status;
}

// `history PROJECT --trend`: one line per version, version and ten totals.
int printTrend(const std::string& project, const ProgramFolder& folder, const MessageTable& messages,
               std::ostream& out)
{
    for (const TrendPoint& point : projectTrend(folder, project, messages.totalsWords(), messages.get("TOTAL2"))) {
        out << point.version;
        for (std::int64_t v : point.totals)
            out << '\t' << v;
        out << "\r\n";
    }
    return 0;
}

// `history PROJECT --compare V1 V2`: the comparison list as tab text.
int printComparison(const std::string& project, const std::string& first, const std::string& second,
                    const ProgramFolder& folder, const MessageTable& messages, std::ostream& out,
                    std::ostream& err)
{
    const std::vector<std::string> versions = listVersions(folder, project);
    for (const std::string& v : {first, second})
        if (std::find(versions.begin(), versions.end(), v) == versions.end())
            return failWith(err, project + " " + v + ": no such version in the history");
    const std::string total2 = messages.get("TOTAL2");
    const auto rows = compareSnapshots(loadSnapshot(folder, project, first, total2),
                                       loadSnapshot(folder, project, second, total2));
    const std::vector<std::string> titles = {messages.get("MODULE"), messages.get("FROM"), messages.get("TO"),
                                             messages.get("DIFF"), messages.get("CHANGE")};
    out << tableText(titles, comparisonCells(rows, messages.get("ADDED"), messages.get("REMOVED")), ExportFormat::Tab);
    return 0;
}

int runHistory(std::vector<std::string> args, const ProgramFolder& folder, std::ostream& out, std::ostream& err)
{
    bool trend = false;
    std::optional<std::pair<std::string, std::string>> compare;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--trend") {
            trend = true;
            args.erase(args.begin() + static_cast<std::ptrdiff_t>(i--));
        } else if (args[i] == "--compare") {
            if (i + 2 >= args.size())
                throw UsageError{"--compare needs two versions"};
            compare.emplace(args[i + 1], args[i + 2]);
            args.erase(args.begin() + static_cast<std::ptrdiff_t>(i), args.begin() + static_cast<std::ptrdiff_t>(i) + 3);
            --i;
        } else if (args[i].starts_with("--")) {
            throw UsageError{"unexpected argument " + args[i]};
        }
    }
    if (args.size() > 2)
        throw UsageError{"history takes at most a PROJECT and a VERSION"};
    if ((trend || compare) && args.size() != 1)
        throw UsageError{"--trend and --compare take one PROJECT and no VERSION"};
    if (trend && compare)
        throw UsageError{"--trend and --compare cannot go together"};
    ensureWorkFiles(folder);
    const MessageTable messages(folder);
    if (args.empty()) {
        for (const std::string& p : listProjects(folder))
            out << p << '\n';
        return 0;
    }
    const std::vector<std::string> projects = listProjects(folder);
    if (std::find(projects.begin(), projects.end(), args[0]) == projects.end())
        return failWith(err, args[0] + ": no such project in the history");
    if (trend)
        return printTrend(args[0], folder, messages, out);
    if (compare)
        return printComparison(args[0], compare->first, compare->second, folder, messages, out, err);
    const std::vector<std::string> versions = listVersions(folder, args[0]);
    if (args.size() == 1) {
        for (const std::string& v : versions)
            out << v << '\n';
        return 0;
    }
    if (std::find(versions.begin(), versions.end(), args[1]) == versions.end())
        return failWith(err, args[0] + " " + args[1] + ": no such version in the history");
    const SnapshotText snapshot(folder, args[0], args[1], messages.get("TOTAL2"));
    // The history window shows a loaded snapshot on column 0 ascending.
    const auto& rows = snapshot.rows();
    const std::vector<std::size_t> order = sortedOrderBy(
        rows.size(), false, [&](std::size_t i) -> std::string_view { return rows[i][ColModule]; });
    writeExportText(out, rows, totalsValues(snapshot.totalsLabel(), messages.totalsWords()), ExportFormat::Tab,
                    &order);
    return 0;
}

} // namespace

int runCli(const std::vector<std::string>& argsIn, std::ostream& out, std::ostream& err, const CliContext& context)
{
    std::vector<std::string> args = argsIn;
    try {
        if (args.empty())
            throw UsageError{"no command"};
        const std::string command = args.front();
        args.erase(args.begin());
        const ProgramFolder folder{takeProgramFolder(args, context)};
        if (command == "count") {
            const CountOptions options = parseCount(args);
            std::error_code ec;
            fs::create_directories(folder.root, ec);
            return runCount(options, folder, out, err, context);
        }
        if (command == "history") {
            std::error_code ec;
            fs::create_directories(folder.root, ec);
            return runHistory(args, folder, out, err);
        }
        throw UsageError{"unknown command " + command};
    } catch (const UsageError& e) {
        err << "zorvika-cli: " << e.what << "; " << kUsage << '\n';
        return 2;
    }
}

} // namespace zorvika
