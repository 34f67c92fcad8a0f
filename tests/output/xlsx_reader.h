#pragma once
// Reads back the first worksheet of an Office Open XML workbook (".xlsx"):
// every cell's text and whether it is stored as a text, the font of each
// cell and column, and the column widths. For tests only.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace zorvika::test {

struct CellFont {
    std::string name;
    double size = 0;
};

struct ReadCell {
    bool present = false; // the cell is in the file at all
    bool isText = false;  // stored as a string, not as a number
    std::string text;
    CellFont font;
};

struct ReadColumn {
    std::size_t first = 0; // 0-based, inclusive
    std::size_t last = 0;
    // As the spreadsheet shows it, in characters of the default font's digit
    // (7 pixels): the stored width less the 5 pixels of cell padding.
    std::optional<double> width;
    std::optional<double> storedWidth; // as the file has it
    bool customWidth = false;
    std::optional<CellFont> font; // of the column's style
};

struct ReadSheet {
    std::vector<std::vector<ReadCell>> rows; // rows[0] is sheet row 1
    std::vector<ReadColumn> columns;
    std::optional<double> defaultColumnWidth; // sheetFormatPr defaultColWidth
    std::optional<double> baseColumnWidth;    // sheetFormatPr baseColWidth
    CellFont defaultFont;                     // of style 0

    // The column entry that covers column `index` (0-based), if any.
    const ReadColumn* column(std::size_t index) const;
    // The text of a cell, "" when absent.
    std::string text(std::size_t row, std::size_t col) const;
};

std::optional<ReadSheet> readXlsx(const std::filesystem::path& path, std::string* error);

} // namespace zorvika::test
