#pragma once
// The export's workbook written with libxlsxwriter as an Office Open XML
// file (".xlsx"): every cell holds its text as a text (a figure stays the
// text "82"), every cell is Courier New 9 pt, columns A to J are as wide as
// their longest text and the other columns keep the standard width.
#include "components/spreadsheet.h"

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

namespace zorvika {

inline constexpr const char* kSheetFontName = "Courier New";
inline constexpr double kSheetFontSize = 9;
// Columns A to J are fitted to their contents.
inline constexpr std::size_t kFittedColumns = 10;
// The standard column width, in the sheet's character units.
inline constexpr double kStandardColumnWidth = 8.43;
// The widest column a sheet can have.
inline constexpr double kMaxColumnWidth = 255;

// The number of character cells that `text` (UTF-8) takes in a monospaced
// font: wide East Asian characters take two, combining marks none.
std::size_t displayColumns(std::string_view text);

// The column width, in the sheet's character units, that shows `text` whole
// in Courier New 9 pt.
double fittedWidth(std::string_view text);

// The widths of columns A to J: each fits the widest text in its column.
std::array<double, kFittedColumns> fittedColumnWidths(const SheetCells& cells);

// Writes the workbook to `file`, exactly there; libxlsxwriter's own
// temporary files go to `scratchDir`.
bool writeWorkbookFile(const std::filesystem::path& file, const SheetCells& cells,
                       const std::filesystem::path& scratchDir, std::string* error);

// Writes the workbook as `target`: built in a private temporary folder,
// then written beside the target and renamed over it, so that a file that
// was at `target` stays whole when anything fails.
bool writeXlsxWorkbook(const std::filesystem::path& target, const SheetCells& cells, std::string* error);

} // namespace zorvika
