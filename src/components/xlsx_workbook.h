#pragma once
// The export's workbook written with libxlsxwriter as an Office Open XML
// file (".xlsx"): a cell of a figure holds the number (so the spreadsheet
// can sum and chart it), every other cell its text; every cell is Courier New 9 pt, columns A to J are as wide as
// their longest text and the other columns keep the standard width.
#include "components/spreadsheet.h"

#include <array>
#include <filesystem>
#include <functional>
#include <optional>
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

// The number that a cell's text stands for when it is a figure as the lists
// write figures: plain decimal, a minus sign only when negative, no leading
// zero, at most 15 digits, so that the sheet shows the number as that same
// text. Any other text (a path, "1.2.0", "007", "") is no figure.
std::optional<double> figureNumber(std::string_view text);

// Whether the cells of figures hold numbers or, as the ".xls" export has
// them, their texts.
enum class SheetFigures { AsTexts, AsNumbers };

// Writes the workbook to `file`, exactly there; libxlsxwriter's own
// temporary files go to `scratchDir`.
Outcome writeWorkbookFile(const std::filesystem::path& file, const SheetCells& cells,
                          const std::filesystem::path& scratchDir, SheetFigures figures = SheetFigures::AsTexts);

// The first steps of every export of a workbook to `target`: a read-only
// target is refused, and the workbook is written as "sheet.xlsx" in a
// private temporary folder (named after `purpose`), which `finish` is
// given with the workbook's path and which goes when it returns.
Outcome withScratchWorkbook(const std::filesystem::path& target, const char* purpose, const SheetCells& cells,
                            SheetFigures figures,
                            const std::function<Outcome(const std::filesystem::path& workbook,
                                                        const std::filesystem::path& scratch)>& finish);

// Writes the workbook, figures as numbers, as `target`: built in a private temporary folder,
// then written beside the target and renamed over it, so that a file that
// was at `target` stays whole when anything fails.
Outcome writeXlsxWorkbook(const std::filesystem::path& target, const SheetCells& cells);

} // namespace zorvika
