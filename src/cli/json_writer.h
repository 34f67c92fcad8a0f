#pragma once
// A small JSON writer for the command line's machine-readable output.
#include "analysis/module_row.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvika {

std::string jsonString(std::string_view text);
// ["a","b"]
std::string jsonStrings(const std::vector<std::string>& texts);
// A figure's text as a JSON number; an empty or other text as null.
std::string jsonFigure(std::string_view text);
// [{"module":…,"type":…,"P":…,…}, …]: the rows with the figures' captions as names.
std::string jsonRows(const std::vector<ModuleRow>& rows);
// {"P":…,"A":…,…}: ten totals named by the figures' captions.
std::string jsonTotals(const std::array<std::int64_t, 10>& totals);

} // namespace zorvika
