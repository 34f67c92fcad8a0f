#include "history/trend.h"

#include "base/message_keys.h"

#include "analysis/totals_line.h"
#include "base/program_folder.h"
#include "shell/message_table.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <map>

namespace zorvika {

namespace {

std::optional<std::array<std::uint64_t, 3>> versionNumbers(std::string_view v)
{
    std::array<std::uint64_t, 3> n{};
    for (int i = 0; i < 3; ++i) {
        const auto dot = v.find('.');
        const std::string_view part = i < 2 ? v.substr(0, dot) : v;
        if (part.empty() || (i < 2 && dot == std::string_view::npos))
            return std::nullopt;
        const auto res = std::from_chars(part.data(), part.data() + part.size(), n[i]);
        if (res.ec != std::errc() || res.ptr != part.data() + part.size())
            return std::nullopt;
        if (i < 2)
            v.remove_prefix(dot + 1);
    }
    return n;
}

} // namespace

bool versionLess(std::string_view a, std::string_view b)
{
    const auto x = versionNumbers(a);
    const auto y = versionNumbers(b);
    if (x && y)
        return *x != *y ? *x < *y : a < b;
    if (x || y)
        return x.has_value();
    return a < b;
}

std::vector<std::string> inVersionOrder(std::vector<std::string> versions)
{
    std::sort(versions.begin(), versions.end(), [](const std::string& a, const std::string& b) { return versionLess(a, b); });
    return versions;
}

namespace {

// A stored line figure that a count can give: a module of billions of lines
// counts as it is, while a figure beyond 2^53 (more lines than any disk
// holds, and more than the chart's numbers keep exactly) is an edit and
// adds nothing.
constexpr std::int64_t kLargestStoredFigure = std::int64_t{1} << 53;
// Sums stay within this bound, so that no sum over a snapshot, however long
// or however edited, and no difference of three sums can overflow.
constexpr std::int64_t kLargestSum = std::int64_t{1} << 61;

std::optional<std::int64_t> rowFigure(std::string_view text)
{
    const auto f = parseFigure(text);
    if (!f || *f < -kLargestStoredFigure || *f > kLargestStoredFigure)
        return std::nullopt;
    return f;
}

// `sum` plus `f`, when the result stays within the bound of sums.
std::optional<std::int64_t> boundedSum(std::int64_t sum, std::int64_t f)
{
    const std::int64_t total = sum + f; // both within 2^61: no overflow here
    if (total < -kLargestSum || total > kLargestSum)
        return std::nullopt;
    return total;
}

// Adds one row's base figures; an "Invalid" row (no figures) adds nothing.
void addRow(ProjectTotals& totals, std::string_view p, std::string_view a, std::string_view c, std::string_view b)
{
    const auto fp = rowFigure(p);
    const auto fa = rowFigure(a);
    const auto fc = rowFigure(c);
    const auto fb = rowFigure(b);
    if (!fp || !fa || !fc || !fb)
        return;
    const auto tp = boundedSum(totals.tp, *fp);
    const auto ta = boundedSum(totals.ta, *fa);
    const auto tc = boundedSum(totals.tc, *fc);
    const auto tb = boundedSum(totals.tb, *fb);
    if (!tp || !ta || !tc || !tb)
        return;
    totals.tp = *tp;
    totals.ta = *ta;
    totals.tc = *tc;
    totals.tb = *tb;
}

TrendPoint pointOf(std::string version, std::string_view totalsLine, const ProjectTotals& summed,
                   const TotalsWords& words)
{
    TrendPoint point;
    point.version = std::move(version);
    if (const auto totals = totalsFigures(totalsLine, words)) {
        point.totals = *totals;
        point.fromTotalsLine = true;
    } else {
        point.totals = summed.columns();
    }
    return point;
}

} // namespace

ProjectTotals summedTotals(const std::vector<ModuleRow>& rows)
{
    ProjectTotals summed;
    for (const ModuleRow& row : rows)
        addRow(summed, row.cells[ColP], row.cells[ColA], row.cells[ColC], row.cells[ColB]);
    return summed;
}

TrendPoint trendPointOf(std::string version, const Snapshot& snapshot, const TotalsWords& words)
{
    return pointOf(std::move(version), snapshot.totalsLabel, summedTotals(snapshot.rows), words);
}

TrendPoint trendPointOfText(std::string version, std::string_view bytes, const TotalsWords& words,
                            std::string_view total2Text)
{
    // Summed as the lines go by, without building rows: a trend reads hundreds of snapshots.
    ProjectTotals summed;
    const std::string totalsLabel = scanSnapshot(bytes, total2Text, [&](const SnapshotCells& cells) {
        addRow(summed, cells[ColP], cells[ColA], cells[ColC], cells[ColB]);
    });
    return pointOf(std::move(version), totalsLabel, summed, words);
}

std::optional<TrendPoint> trendPointOfTail(std::string version, std::string_view tail, bool wholeFile,
                                           const TotalsWords& words, std::string_view total2Text)
{
    // The last line as the line reader gives it: the text's final line end
    // does not start another line.
    std::string_view rest = tail;
    if (rest.ends_with("\r\n"))
        rest.remove_suffix(2);
    else if (rest.ends_with('\r') || rest.ends_with('\n'))
        rest.remove_suffix(1);
    const auto lineEnd = rest.find_last_of("\r\n");
    if (lineEnd == std::string_view::npos && !wholeFile)
        return std::nullopt; // the line may begin before the tail
    const std::string_view last = lineEnd == std::string_view::npos ? rest : rest.substr(lineEnd + 1);
    // An ASCII line reads the same whichever way the whole file decodes.
    for (char c : last)
        if (static_cast<unsigned char>(c) >= 0x80)
            return std::nullopt;
    if (last.empty() || last.substr(0, last.find(':')) != total2Text)
        return std::nullopt;
    const auto totals = totalsFigures(last, words);
    if (!totals)
        return std::nullopt;
    TrendPoint point;
    point.version = std::move(version);
    point.totals = *totals;
    point.fromTotalsLine = true;
    return point;
}

std::vector<TrendPoint> projectTrend(const ProgramFolder& folder, std::string_view project,
                                     const TotalsWords& words, std::string_view total2Text,
                                     std::vector<Failure<>>* unreadable)
{
    // Most snapshots end with their totals line: its few bytes give the
    // point. Only a snapshot without one (or whose last line needs the
    // whole file's decoding) is read whole and summed.
    constexpr std::size_t kTailBytes = 4096;
    std::vector<TrendPoint> points;
    for (std::string& version : inVersionOrder(listVersions(folder, project))) {
        bool wholeFile = false;
        const std::string tail = readSnapshotTail(folder, project, version, kTailBytes, wholeFile);
        if (auto point = trendPointOfTail(version, tail, wholeFile, words, total2Text)) {
            points.push_back(std::move(*point));
            continue;
        }
        const Result<std::string> bytes = readSnapshotBytes(folder, project, version);
        if (!bytes) {
            // No point rather than a point of zeros that the snapshot does not hold.
            if (unreadable)
                unreadable->push_back(bytes.failure());
            continue;
        }
        points.push_back(trendPointOfText(std::move(version), *bytes, words, total2Text));
    }
    return points;
}

std::vector<ComparisonRow> compareSnapshots(const Snapshot& before, const Snapshot& after)
{
    std::vector<ComparisonRow> rows;
    std::map<std::string, std::size_t> index;
    auto add = [](std::optional<std::int64_t>& sum, const ModuleRow& row) {
        if (const auto f = rowFigure(row.cells[ColPminusCminusB]))
            if (const auto total = boundedSum(sum.value_or(0), *f))
                sum = *total;
    };
    for (const ModuleRow& row : before.rows) {
        auto [it, inserted] = index.try_emplace(row.cells[ColModule], rows.size());
        if (inserted) {
            rows.push_back({row.cells[ColModule], std::nullopt, std::nullopt, ModuleChange::Removed});
        }
        add(rows[it->second].before, row);
    }
    for (const ModuleRow& row : after.rows) {
        auto [it, inserted] = index.try_emplace(row.cells[ColModule], rows.size());
        if (inserted)
            rows.push_back({row.cells[ColModule], std::nullopt, std::nullopt, ModuleChange::Added});
        else if (rows[it->second].change == ModuleChange::Removed)
            rows[it->second].change = ModuleChange::Kept;
        add(rows[it->second].after, row);
    }
    return rows;
}

std::vector<std::vector<std::string>> comparisonCells(const std::vector<ComparisonRow>& rows,
                                                      std::string_view addedText, std::string_view removedText)
{
    std::vector<std::vector<std::string>> cells;
    cells.reserve(rows.size());
    for (const ComparisonRow& r : rows) {
        std::string change;
        if (r.change == ModuleChange::Added)
            change = addedText;
        else if (r.change == ModuleChange::Removed)
            change = removedText;
        cells.push_back({r.module, r.before ? figureText(*r.before) : std::string(),
                         r.after ? figureText(*r.after) : std::string(), figureText(r.difference()), change});
    }
    return cells;
}

Result<VersionComparison> compareVersions(const ProgramFolder& folder, const MessageTable& messages,
                                          std::string_view project, const std::string& first,
                                          const std::string& second)
{
    const std::vector<std::string> versions = listVersions(folder, project);
    for (const std::string& v : {first, second})
        if (std::find(versions.begin(), versions.end(), v) == versions.end())
            return fail(std::string(project) + " " + v + ": no such version in the history");
    const std::string total2 = messages.get(keys::TotalsLabel);
    const Result<Snapshot> older = loadSnapshot(folder, project, first, total2);
    const Result<Snapshot> newer = loadSnapshot(folder, project, second, total2);
    for (const Result<Snapshot>* s : {&older, &newer})
        if (!*s)
            return Result<VersionComparison>::failureOf(*s);
    VersionComparison comparison;
    comparison.rows = compareSnapshots(*older, *newer);
    comparison.cells = comparisonCells(comparison.rows, messages.get(keys::Added), messages.get(keys::Removed));
    return comparison;
}

std::vector<std::string> comparisonTitles(const MessageTable& messages)
{
    return {messages.get(keys::ModuleColumn), messages.get(keys::FirstVersion), messages.get(keys::SecondVersion), messages.get(keys::Difference),
            messages.get(keys::Change)};
}

} // namespace zorvika
