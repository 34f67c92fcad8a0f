// `zorvika-cli history`: the stored projects, versions and snapshots, the
// trend and the comparison of two versions, and deleting from the store.
#include "cli/commands.h"

#include "base/message_keys.h"
#include "cli/json_writer.h"
#include "history/history_store.h"
#include "history/trend.h"
#include "output/export.h"
#include "output/table_export.h"
#include "shell/message_table.h"

#include <algorithm>
#include <optional>

namespace zorvika {

namespace fs = std::filesystem;

namespace {

bool contains(const std::vector<std::string>& items, const std::string& item)
{
    return std::find(items.begin(), items.end(), item) != items.end();
}

std::string jsonOptionalFigure(const std::optional<std::int64_t>& figure)
{
    return figure ? figureText(*figure) : "null";
}

// The stored projects or one project's versions: one per line, or a JSON array.
int printNames(const std::vector<std::string>& names, std::ostream& out, bool json)
{
    if (json)
        out << jsonStrings(names) << '\n';
    else
        for (const std::string& name : names)
            out << name << '\n';
    return 0;
}

// `history PROJECT VERSION`: the snapshot as the history window shows it.
int printSnapshot(const std::string& project, const std::string& version, const ProgramFolder& folder,
                  const MessageTable& messages, std::ostream& out, std::ostream& err, bool json, const SortState& sort)
{
    if (!json) {
        // Printed from views into the snapshot's own text, as the history
        // window shows it (on column 0 ascending unless --sort says otherwise).
        Result<std::string> bytes = readSnapshotBytes(folder, project, version);
        if (!bytes)
            return failWith(err, bytes.reason());
        const SnapshotText snapshot(std::move(bytes).value(), messages.get(keys::TotalsLabel));
        const auto& rows = snapshot.rows();
        const auto column = static_cast<std::size_t>(sort.column);
        auto cell = [&](std::size_t i) -> std::string_view { return rows[i][column]; };
        const std::vector<std::size_t> order = sort.column >= ColP
                                                   ? sortedOrderByNumber(rows.size(), sort.descending, cell)
                                                   : sortedOrderBy(rows.size(), sort.descending, cell);
        writeExportText(out, rows, totalsValues(snapshot.totalsLabel(), messages.totalsWords()), ExportFormat::Tab,
                        &order, true);
        return 0;
    }
    const Result<Snapshot> loaded = loadSnapshot(folder, project, version, messages.get(keys::TotalsLabel));
    if (!loaded)
        return failWith(err, loaded.reason());
    const Snapshot& snapshot = *loaded;
    const std::vector<ModuleRow> rows = sortedRows(snapshot.rows, sort);
    const auto totals = totalsValues(snapshot.totalsLabel, messages.totalsWords());
    out << "{\"project\":" << jsonString(project) << ",\"version\":" << jsonString(version)
        << ",\"rows\":" << jsonRows(rows) << ",\"totals\":";
    if (totals) {
        out << '{';
        for (std::size_t k = 0; k < totals->size(); ++k)
            out << (k ? ",\"" : "\"") << kFigureCaptions[k] << "\":" << jsonFigure((*totals)[k]);
        out << '}';
    } else {
        out << "null";
    }
    out << ",\"totalsText\":" << jsonString(snapshot.totalsLabel) << "}\n";
    return 0;
}

// `history PROJECT --trend`: one line per version, version and ten totals.
int printTrend(const std::string& project, const ProgramFolder& folder, const MessageTable& messages,
               std::ostream& out, std::ostream& err, bool json)
{
    std::vector<Failure<>> unreadable;
    const auto points = projectTrend(folder, project, messages.totalsWords(), messages.get(keys::TotalsLabel), &unreadable);
    // The versions that could be read are printed; each that could not is a failure.
    int status = 0;
    for (const Failure<>& failure : unreadable)
        status = failWith(err, failure.reason);
    if (json) {
        out << '[';
        for (std::size_t i = 0; i < points.size(); ++i)
            out << (i ? "," : "") << "{\"version\":" << jsonString(points[i].version)
                << ",\"totals\":" << jsonTotals(points[i].totals)
                << ",\"fromTotalsLine\":" << (points[i].fromTotalsLine ? "true" : "false") << '}';
        out << "]\n";
        return status;
    }
    for (const TrendPoint& point : points) {
        out << point.version;
        for (std::int64_t v : point.totals)
            out << '\t' << v;
        out << '\n';
    }
    return status;
}

// `history PROJECT --compare V1 V2`: the comparison list as tab text.
int printComparison(const std::string& project, const std::string& first, const std::string& second,
                    const ProgramFolder& folder, const MessageTable& messages, std::ostream& out,
                    std::ostream& err, bool json)
{
    const Result<VersionComparison> comparison = compareVersions(folder, messages, project, first, second);
    if (!comparison)
        return failWith(err, comparison.reason());
    const std::vector<ComparisonRow>& rows = comparison->rows;
    if (json) {
        out << '[';
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const ComparisonRow& row = rows[i];
            const char* change = row.change == ModuleChange::Added     ? "added"
                                 : row.change == ModuleChange::Removed ? "removed"
                                                                       : "kept";
            out << (i ? "," : "") << "{\"module\":" << jsonString(row.module)
                << ",\"first\":" << jsonOptionalFigure(row.before) << ",\"second\":" << jsonOptionalFigure(row.after)
                << ",\"difference\":" << row.difference() << ",\"change\":\"" << change << "\"}";
        }
        out << "]\n";
        return 0;
    }
    out << withUnixLineEnds(tableText(comparisonTitles(messages), comparison->cells, ExportFormat::Tab));
    return 0;
}

// `history PROJECT [VERSION] --delete`: as the history window's bin buttons
// delete, never forcing; what stays is reported.
int deleteFromHistory(const std::vector<std::string>& names, const ProgramFolder& folder,
                      const MessageTable& messages, std::ostream& err)
{
    const Result<void, DeleteError> deleted = names.size() == 1 ? deleteProject(folder, names[0])
                                                                : deleteVersion(folder, names[0], names[1]);
    if (deleted)
        return 0;
    // What stays is told in the table's words; a name that names no item in the store's.
    const std::string what = names[0] + (names.size() == 1 ? "" : " " + names[1]);
    return failWith(err,
                    what + ": " + (deleted.kind() == DeleteError::Refused ? deleted.reason() : messages.get(keys::NotDeleted)));
}

int runHistory(const std::vector<std::string>& args, bool trend,
               const std::optional<std::pair<std::string, std::string>>& compare, bool remove, bool json,
               const std::optional<SortState>& sort, const ProgramFolder& folder, std::ostream& out, std::ostream& err)
{
    if (sort && args.size() != 2)
        throw UsageError{"--sort and --descending go with a PROJECT and a VERSION"};
    if ((trend || compare) && args.size() != 1)
        throw UsageError{"--trend and --compare take one PROJECT and no VERSION"};
    if (trend && compare)
        throw UsageError{"--trend and --compare cannot go together"};
    if (remove && (args.empty() || trend || compare))
        throw UsageError{"--delete takes a PROJECT or a PROJECT and a VERSION"};
    // Only deleting writes; listing and printing leave the data folder as it is.
    if (remove)
        ensureWorkFiles(folder);
    const MessageTable messages(folder);
    if (const Outcome table = messages.usable(); !table)
        return failWith(err, table.reason());
    const std::vector<std::string> projects = listProjects(folder);
    if (args.empty())
        return printNames(projects, out, json);
    if (!contains(projects, args[0]))
        return failWith(err, args[0] + ": no such project in the history");
    if (trend)
        return printTrend(args[0], folder, messages, out, err, json);
    if (compare)
        return printComparison(args[0], compare->first, compare->second, folder, messages, out, err, json);
    const std::vector<std::string> versions = listVersions(folder, args[0]);
    if (args.size() == 2 && !contains(versions, args[1]))
        return failWith(err, args[0] + " " + args[1] + ": no such version in the history");
    if (remove)
        return deleteFromHistory(args, folder, messages, err);
    if (args.size() == 1)
        return printNames(versions, out, json);
    return printSnapshot(args[0], args[1], folder, messages, out, err, json, sort.value_or(SortState{}));
}

} // namespace

const CommandSpec& historyCommand()
{
    static const CommandSpec spec{
        "history",
        "[PROJECT [VERSION]]",
        0,
        2,
        "Lists the stored projects, the versions of one project, or prints one snapshot as the history window "
        "shows it.",
        {
            {"--trend", {}, "print one line per stored version of PROJECT: the version and its ten totals", {}},
            {"--compare", {"V1", "V2"}, "print every module of two versions of PROJECT with its P - C - B in each", {}},
            {"--delete", {}, "delete the stored VERSION of PROJECT, or the whole PROJECT (read-only ones stay)", {}},
            {"--format", {"FORMAT"}, "print tab text (the default) or JSON", {"tsv", "json"}, 'f'},
            sortOption("order a snapshot's rows by a column: 0 to 11 or its caption; figures as numbers"),
            descendingOption(),
            programFolderOption(),
            languageOption(),
        },
    };
    return spec;
}

int runHistoryCommand(const ParsedArgs& args, const CommandRun& run)
{
    std::optional<std::pair<std::string, std::string>> compare;
    if (const auto it = args.options.find("--compare"); it != args.options.end())
        compare.emplace(it->second[0], it->second[1]);
    std::optional<SortState> sort;
    if (args.has("--sort") || args.has("--descending")) {
        sort.emplace();
        if (const auto c = args.value("--sort")) {
            const auto column = moduleListColumn(*c);
            if (!column)
                throw UsageError{"--sort takes a column from 0 to 11 or its caption"};
            sort->column = *column;
        }
        sort->descending = args.has("--descending");
        sort->numeric = true;
    }
    if (args.has("--delete")) {
        std::error_code ec;
        fs::create_directories(run.folder.dataRoot(), ec);
    }
    return runHistory(args.operands, args.has("--trend"), compare, args.has("--delete"),
                      args.value("--format") == "json", sort, run.folder, run.out, run.err);
}

} // namespace zorvika
