#pragma once
// A small JSON writer for the command line's machine-readable output.
#include <string>
#include <string_view>

namespace zorvika {

struct ModuleMetrics;
struct ProcedureMetrics;

std::string jsonString(std::string_view text);

// A module's procedure figures: the procedures by kind, Declares, Events,
// LLOC, statements, total and highest CC and the longest procedure.
std::string jsonModuleMetrics(const ModuleMetrics& metrics);
// One procedure with its module's path.
std::string jsonProcedure(std::string_view module, const ProcedureMetrics& procedure);

} // namespace zorvika
