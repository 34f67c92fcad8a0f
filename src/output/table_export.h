#pragma once
// Exporting any table of texts (titles and rows) by the export's rules: tab
// text, comma file (a field with a comma, a double quote or a line break is
// quoted), spreadsheet (".xls") or workbook (".xlsx"), by the file name's
// ending.
#include "output/export.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zorvika {

class Spreadsheet;

using TextTable = std::vector<std::vector<std::string>>;

// One field as the line holds it: quoted in a comma file when it holds a
// comma, a double quote or a line break.
void appendFieldText(std::string& out, std::string_view field, ExportFormat format);

// One line of the table: the fields joined by the format's separator, CR LF.
template <typename Fields>
void appendTableLine(std::string& out, const Fields& fields, ExportFormat format)
{
    const char sep = format == ExportFormat::Comma ? ',' : '\t';
    bool first = true;
    for (const auto& field : fields) {
        if (!first)
            out += sep;
        first = false;
        appendFieldText(out, field, format);
    }
    out += "\r\n";
}

std::string tableText(const std::vector<std::string>& titles, const TextTable& rows, ExportFormat format);

Result<void, ExportError> writeTableExport(const std::filesystem::path& path, const std::vector<std::string>& titles,
                                           const TextTable& rows, Spreadsheet& spreadsheet);

// The failure of an export of no rows.
Failure<ExportError> noRecord();

} // namespace zorvika
