#pragma once
// Exporting any table of texts (titles and rows) by the export's rules: tab
// text, comma file (a field with a comma, a double quote or a line break is
// quoted), spreadsheet (".xls") or workbook (".xlsx"), by the file name's
// ending.
#include "output/export.h"

#include <filesystem>
#include <string>
#include <vector>

namespace zorvika {

class Spreadsheet;

using TextTable = std::vector<std::vector<std::string>>;

std::string tableText(const std::vector<std::string>& titles, const TextTable& rows, ExportFormat format);

ExportOutcome writeTableExport(const std::filesystem::path& path, const std::vector<std::string>& titles,
                               const TextTable& rows, Spreadsheet& spreadsheet);

} // namespace zorvika
