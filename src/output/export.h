#pragma once
// Exporting a result list: the tab-separated text, the comma-separated file
// and the spreadsheet, chosen by the file name's ending.
#include "analysis/module_row.h"
#include "analysis/results.h"
#include "base/result.h"

#include <array>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvika {

class Spreadsheet;

// Titles of the twelve export columns (fixed, not translated).
extern const std::array<std::string_view, kColumnCount> kExportTitles;

enum class ExportFormat { Tab, Comma, Spreadsheet, Xlsx };

// By the lower-cased ending: ".xlsx" (last five characters) the workbook
// written directly; then by the last four: ".xls" spreadsheet, ".csv" comma,
// anything else tab.
ExportFormat exportFormatFor(std::string_view path);

// first & "_" & second & "_" & date ("YYYYMMDD").
std::string proposedFileName(std::string_view firstPart, std::string_view secondPart, std::string_view date);
// Today's local date as "YYYYMMDD".
std::string todayText();

// The lines of a text export, each ending with CR LF: the titles, one line
// per row, and the totals row when there are totals values. The comma file
// quotes a field that holds a comma, a double quote or a line break.
std::string exportText(const std::vector<ModuleRow>& rows,
                       const std::optional<std::array<std::string, 10>>& totals, ExportFormat format);

// The same lines written to `stream` piece by piece, never held whole; the
// rows in `order` (positions into `rows`) when it is given; with LF line
// ends instead of CR LF when `lf` (standard output).
void writeExportText(std::ostream& stream, const std::vector<ModuleRow>& rows,
                     const std::optional<std::array<std::string, 10>>& totals, ExportFormat format,
                     const std::vector<std::size_t>* order = nullptr, bool lf = false);
void writeExportText(std::ostream& stream, const std::vector<std::array<std::string_view, kColumnCount>>& rows,
                     const std::optional<std::array<std::string, 10>>& totals, ExportFormat format,
                     const std::vector<std::size_t>* order = nullptr, bool lf = false);

// The cells of the spreadsheet: titles, rows, totals row (first cell empty).
std::vector<std::vector<std::string>> exportSheet(const std::vector<ModuleRow>& rows,
                                                  const std::optional<std::array<std::string, 10>>& totals);

// The files of the disk that a count read, so that no export is written
// over one of them.
struct CountInputs {
    std::vector<std::filesystem::path> files; // read whole: the group and project files, the message table
    std::filesystem::path moduleFolder;       // where the module entries resolve
    std::vector<std::string> moduleEntries;   // the module paths as the project file writes them
};

// Whether `target` may take an export: not when it is one of `inputs` (a
// module as the count resolves it), compared by the file's identity, so
// also through a link, a hard link or another spelling; a target that does
// not exist yet is no input. A window shows the reason in a warning box;
// the command line prints it and exits 1.
Outcome checkExportTarget(const std::filesystem::path& target, const CountInputs& inputs);

// Why an export was not written: the list has no rows, ".xls" without the
// spreadsheet application, or the system's (or the workbook's) reason.
enum class ExportError { NoRecord, NoSpreadsheet, Failed };

// Writes the export file for `path` (after the save dialog). An existing file
// there is replaced only when the new one is whole. ".xls" needs the
// spreadsheet application; ".xlsx" is written without it.
Result<void, ExportError> writeExport(const std::filesystem::path& path, const std::vector<ModuleRow>& rows,
                                      std::string_view totalsText, const TotalsWords& words,
                                      Spreadsheet& spreadsheet);

} // namespace zorvika
