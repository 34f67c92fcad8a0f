#pragma once
// The totals line under a result list, in both directions: built from a
// run's totals, and read back from a label or a snapshot's last line.
#include "analysis/module_row.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zorvika {

// The three message texts that frame the totals line.
struct TotalsWords {
    std::string total;   // "TOTAL"
    std::string modules; // "MODULES"
    std::string order;   // "ORDER"
};

// TOTAL, the row count, a space, MODULES, the ten totals joined by ", ", a
// space, ORDER.
std::string totalsText(std::size_t rowCount, const ProjectTotals& totals, const TotalsWords& words);

// The ten totals values of a totals text. A text of exactly the form that
// `totalsText` gives with these words is read by that form, whatever the
// words hold (empty, digits, ", "); any other text (one stored under other
// words) by the text after the first occurrence of MODULES, less as many
// characters at the end as ORDER has, without surrounding spaces, when
// neither cut falls inside a figure. Split at ", "; nothing unless there are
// exactly ten and each is a figure.
std::optional<std::array<std::string, 10>> totalsValues(std::string_view totalsText, const TotalsWords& words);

// The ten figures of a totals line, when it has all ten and each is a figure.
std::optional<std::array<std::int64_t, 10>> totalsFigures(std::string_view line, const TotalsWords& words);

} // namespace zorvika
