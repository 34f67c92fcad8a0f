#include "history/trend.h"

#include "output/export.h"
#include "shell/message_table.h"

#include <algorithm>
#include <charconv>
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

TrendPoint trendPointOf(std::string version, const Snapshot& snapshot, const TotalsWords& words)
{
    TrendPoint point;
    point.version = std::move(version);
    if (const auto values = totalsValues(snapshot.totalsLabel, words)) {
        bool all = true;
        for (std::size_t k = 0; k < values->size() && all; ++k) {
            const auto f = parseFigure((*values)[k]);
            all = f.has_value();
            if (all)
                point.totals[k] = *f;
        }
        if (all) {
            point.fromTotalsLine = true;
            return point;
        }
    }
    ProjectTotals totals;
    for (const ModuleRow& row : snapshot.rows) {
        const auto p = parseFigure(row.cells[ColP]);
        const auto a = parseFigure(row.cells[ColA]);
        const auto c = parseFigure(row.cells[ColC]);
        const auto b = parseFigure(row.cells[ColB]);
        if (!p || !a || !c || !b)
            continue; // an "Invalid" row adds nothing
        totals.tp += *p;
        totals.ta += *a;
        totals.tc += *c;
        totals.tb += *b;
    }
    point.totals = totals.columns();
    return point;
}

std::vector<TrendPoint> projectTrend(const ProgramFolder& folder, std::string_view project,
                                     const TotalsWords& words, std::string_view total2Text)
{
    std::vector<TrendPoint> points;
    for (std::string& version : inVersionOrder(listVersions(folder, project))) {
        const Snapshot snapshot = loadSnapshot(folder, project, version, total2Text);
        points.push_back(trendPointOf(std::move(version), snapshot, words));
    }
    return points;
}

std::vector<ComparisonRow> compareSnapshots(const Snapshot& before, const Snapshot& after)
{
    std::vector<ComparisonRow> rows;
    std::map<std::string, std::size_t> index;
    auto add = [](std::optional<std::int64_t>& sum, const ModuleRow& row) {
        const auto f = parseFigure(row.cells[ColPminusCminusB]);
        if (f)
            sum = sum.value_or(0) + *f;
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

} // namespace zorvika
