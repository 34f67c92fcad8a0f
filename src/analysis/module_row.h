#pragma once
// One row of a result list: twelve texts in column order.
#include "analysis/module_kinds.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zorvika {

inline constexpr int kColumnCount = 12;

enum Column : int {
    ColModule = 0,
    ColType,
    ColP,
    ColA,
    ColC,
    ColB,
    ColPminusC,
    ColPminusB,
    ColPminusCminusB,
    ColAminusC,
    ColAminusB,
    ColAminusCminusB,
};

// Captions of the ten figure columns (2 to 11); they are not translated.
inline constexpr std::array<std::string_view, 10> kFigureCaptions = {
    "P", "A", "C", "B", "P - C", "P - B", "P - C - B", "A - C", "A - B", "A - C - B"};

struct ModuleRow {
    std::array<std::string, kColumnCount> cells;
};

// The four base figures of one module and the six differences, in the
// order of columns 2 to 11.
struct ModuleFigures {
    std::int64_t allLines = 0;
    std::int64_t headerLines = 0;
    std::int64_t commentLines = 0;
    std::int64_t blankLines = 0;

    std::int64_t partLines() const { return allLines - headerLines; }
    std::array<std::int64_t, 10> columns() const;
};

// The project totals of one run: sums of P, A, C and B over the counted
// modules. 64-bit: they never wrap.
struct ProjectTotals {
    std::int64_t tp = 0;
    std::int64_t ta = 0;
    std::int64_t tc = 0;
    std::int64_t tb = 0;

    void add(const ModuleFigures& f);
    std::array<std::int64_t, 10> columns() const;
};

// Figures shown as plain decimal text: no leading space, minus only when
// negative, no digit grouping.
std::string figureText(std::int64_t value);
// The figure a whole text holds (decimal digits, a minus sign in front only
// when negative), or nothing.
std::optional<std::int64_t> parseFigure(std::string_view text);

} // namespace zorvika
