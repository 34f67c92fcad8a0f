#pragma once
// The procedures list that the command line prints and the procedures
// window shows: one row of texts per procedure, a totals row, and the
// one-line summary of a module's figures.
#include "base/message_keys.h"
#include "analysis/procedure_metrics.h"
#include "analysis/results.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace zorvika {

enum ProcedureColumn : int {
    ProcModule = 0,
    ProcName,
    ProcKind,
    ProcFirstLine,
    ProcSpan,
    ProcCodeLines,
    ProcLloc,
    ProcStatements,
    ProcCc,
    ProcCc2,
    ProcDepth,
};
inline constexpr int kProcedureColumnCount = 11;

// The message keys of the column captions, in column order.
inline constexpr std::array<std::string_view, kProcedureColumnCount> kProcedureCaptionKeys = {
    keys::ProcModuleColumn, keys::ProcNameColumn, keys::ProcKindColumn, keys::ProcLineColumn, keys::ProcSpanColumn, keys::ProcCodeColumn,
    keys::ProcLlocColumn, keys::ProcStatementsColumn, keys::ProcCcColumn, keys::ProcCc2Column, keys::ProcDepthColumn};

using ProcedureRow = std::vector<std::string>;

// One row per procedure of every module, modules in the order given and
// procedures in file order; the name of a procedure defined twice carries
// `twiceMark` behind a space. Invalid modules give no rows.
std::vector<ProcedureRow> procedureRows(const std::vector<ModuleAnalysis>& modules, std::string_view twiceMark);

// The row of one procedure of `module`, in `row`: its texts replaced, its
// storage kept (for making rows one at a time).
void fillProcedureRow(ProcedureRow& row, const std::string& module, const ProcedureMetrics& p,
                      std::string_view twiceMark);

// The texts of one column of procedureRows, without keeping the rows.
std::vector<std::string> procedureColumn(const std::vector<ModuleAnalysis>& modules, int column,
                                         std::string_view twiceMark);

// `totalWord` and the number of procedures, then the sums of span, code
// lines, LLOC, statements, CC and CC2, and the greatest depth.
ProcedureRow procedureTotalsRow(const std::vector<ModuleAnalysis>& modules, std::string_view totalWord);

// The rows ordered by the text of one column, as every list sorts: the
// positions in that order, or the rows themselves.
std::vector<std::size_t> sortedProcedureOrder(const std::vector<ProcedureRow>& rows, const SortState& sort);
std::vector<ProcedureRow> sortedProcedureRows(const std::vector<ProcedureRow>& rows, const SortState& sort);
// The same order from the texts of the sort column (procedureColumn).
std::vector<std::size_t> sortedProcedureOrder(const std::vector<std::string>& columnTexts, bool descending);

// The figures of several modules summed: procedures by kind, Declares,
// Events, LLOC, statements, CC, and the longest procedure of them all.
ModuleMetrics summedMetrics(const std::vector<ModuleAnalysis>& modules);

// The words of the summary line, from the message table.
struct SummaryWords {
    std::string declares;   // "PROCDECLARES"
    std::string events;     // "PROCEVENTS"
    std::string lloc;       // "PROCLLOC"
    std::string statements; // "PROCSTMT"
    std::string totalCc;    // "PROCCCSUM"
    std::string highestCc;  // "PROCCCMAX"
    std::string longest;    // "PROCLONGEST"
};

// Two lines: "Sub 3, Function 1, Property Get 0, Property Let 0, Property
// Set 0, Declare 2, Event 0" and "LLOC 40, Statements 52, CC total 9,
// highest CC 4, Longest Main (25)" (no longest part without procedures).
std::array<std::string, 2> summaryText(const ModuleMetrics& metrics, const SummaryWords& words);

} // namespace zorvika
