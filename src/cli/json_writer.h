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

struct ModuleMetrics;
struct ProcedureMetrics;

// A JSON string of the text; a text that is not valid UTF-8 is read as
// Windows-1252 first, as cells are, so the result is always valid UTF-8.
std::string jsonString(std::string_view text);
// ["a","b"]
std::string jsonStrings(const std::vector<std::string>& texts);
// A figure's text as a JSON number; an empty or other text as null.
std::string jsonFigure(std::string_view text);
// [{"module":…,"type":…,"P":…,…}, …]: the rows with the figures' captions as
// names; with `metrics` (one per row, null for an "Invalid" module) each row
// also holds its procedure figures under "procedures".
std::string jsonRows(const std::vector<ModuleRow>& rows,
                     const std::vector<const ModuleMetrics*>* metrics = nullptr);
// {"P":…,"A":…,…}: ten totals named by the figures' captions.
std::string jsonTotals(const std::array<std::int64_t, 10>& totals);

// A module's procedure figures: the procedures by kind, Declares, Events,
// LLOC, statements, total and highest CC and the longest procedure.
std::string jsonModuleMetrics(const ModuleMetrics& metrics);
// One procedure with its module's path.
std::string jsonProcedure(std::string_view module, const ProcedureMetrics& procedure);

} // namespace zorvika
