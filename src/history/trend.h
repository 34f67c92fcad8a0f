#pragma once
// Growth over versions: the stored versions of a project in version order
// with their totals, and the comparison of two versions module by module.
#include "analysis/results.h"
#include "base/result.h"
#include "history/history_store.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvika {

class MessageTable;
struct ProgramFolder;

// Versions compare by their three dot-separated numbers, as numbers
// ("1.10.0" after "1.9.0"); a version that is not three numbers sorts after
// every one that is, by text.
bool versionLess(std::string_view a, std::string_view b);
std::vector<std::string> inVersionOrder(std::vector<std::string> versions);

struct TrendPoint {
    std::string version;
    std::array<std::int64_t, 10> totals{}; // in the order of columns 2 to 11
    bool fromTotalsLine = false;           // false: summed from the rows
};

// The base totals of rows as stored; rows without four 32-bit figures
// ("Invalid" ones, or edited beyond what a count gives) add nothing.
ProjectTotals summedTotals(const std::vector<ModuleRow>& rows);

// The ten totals of a snapshot: from its totals line when that splits into
// ten figures, else summed over its counted rows.
TrendPoint trendPointOf(std::string version, const Snapshot& snapshot, const TotalsWords& words);
// The same point read straight from a snapshot file's bytes, as the history
// window would read them.
TrendPoint trendPointOfText(std::string version, std::string_view bytes, const TotalsWords& words,
                            std::string_view total2Text);

// The point a snapshot's last bytes give: its totals line, when the tail
// holds the whole last line, that line is ASCII (so reads the same however
// the whole file decodes) and it gives ten figures; nothing otherwise, and
// then the whole file must be read. `wholeFile`: the tail is the whole file.
std::optional<TrendPoint> trendPointOfTail(std::string version, std::string_view tail, bool wholeFile,
                                           const TotalsWords& words, std::string_view total2Text);

// One point per stored version of the project, in version order. A
// snapshot that cannot be read gives no point; `unreadable` (when given)
// then holds each such failure, naming the file and why, in version order.
std::vector<TrendPoint> projectTrend(const ProgramFolder& folder, std::string_view project,
                                     const TotalsWords& words, std::string_view total2Text,
                                     std::vector<Failure<>>* unreadable = nullptr);

enum class ModuleChange { Kept, Added, Removed };

struct ComparisonRow {
    std::string module;
    std::optional<std::int64_t> before; // "P - C - B" in the first version
    std::optional<std::int64_t> after;  // in the second
    ModuleChange change = ModuleChange::Kept;
    std::int64_t difference() const { return after.value_or(0) - before.value_or(0); }
};

// Every module of either snapshot, in the order of the first and then the
// modules only the second has. A module listed more than once adds up.
std::vector<ComparisonRow> compareSnapshots(const Snapshot& before, const Snapshot& after);

// The comparison as list cells: module, first, second, difference, change
// text ("" for a module in both, else `addedText` or `removedText`).
inline constexpr int kComparisonColumns = 5;
std::vector<std::vector<std::string>> comparisonCells(const std::vector<ComparisonRow>& rows,
                                                      std::string_view addedText, std::string_view removedText);

// Two stored versions of a project compared, as the growth window and
// `history --compare` show them: the rows and their cells with the message
// table's change texts.
struct VersionComparison {
    std::vector<ComparisonRow> rows;
    std::vector<std::vector<std::string>> cells;
};
// The comparison, or why nothing could be compared (a version that is not
// stored, or a snapshot that cannot be read).
Result<VersionComparison> compareVersions(const ProgramFolder& folder, const MessageTable& messages,
                                          std::string_view project, const std::string& first,
                                          const std::string& second);
// The comparison list's column titles from the message table.
std::vector<std::string> comparisonTitles(const MessageTable& messages);

} // namespace zorvika
