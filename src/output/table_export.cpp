#include "output/table_export.h"

#include "components/file_io.h"
#include "components/spreadsheet.h"
#include "components/xlsx_workbook.h"

namespace zorvika {

namespace {

void appendLine(std::string& out, const std::vector<std::string>& fields, ExportFormat format)
{
    const char sep = format == ExportFormat::Comma ? ',' : '\t';
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += sep;
        const std::string& field = fields[i];
        if (format == ExportFormat::Comma && field.find_first_of(",\"\r\n") != std::string::npos) {
            out += '"';
            for (char c : field) {
                if (c == '"')
                    out += '"';
                out += c;
            }
            out += '"';
        } else {
            out += field;
        }
    }
    out += "\r\n";
}

} // namespace

std::string tableText(const std::vector<std::string>& titles, const TextTable& rows, ExportFormat format)
{
    std::string out;
    appendLine(out, titles, format);
    for (const auto& row : rows)
        appendLine(out, row, format);
    return out;
}

ExportOutcome writeTableExport(const std::filesystem::path& path, const std::vector<std::string>& titles,
                               const TextTable& rows, Spreadsheet& spreadsheet)
{
    if (rows.empty())
        return {ExportStatus::NoRecord, {}};
    const ExportFormat format = exportFormatFor(path.native());
    ExportOutcome outcome;
    if (format == ExportFormat::Spreadsheet || format == ExportFormat::Xlsx) {
        // ".xls" needs the spreadsheet application; ".xlsx" is written here.
        if (format == ExportFormat::Spreadsheet && !spreadsheet.available())
            return {ExportStatus::NoSpreadsheet, {}};
        TextTable sheet;
        sheet.reserve(rows.size() + 1);
        sheet.push_back(titles);
        sheet.insert(sheet.end(), rows.begin(), rows.end());
        const bool written = format == ExportFormat::Xlsx ? writeXlsxWorkbook(path, sheet, &outcome.error)
                                                          : spreadsheet.write(path, sheet, &outcome.error);
        if (written)
            outcome.status = ExportStatus::Written;
        return outcome;
    }
    if (writeOutputFile(path, tableText(titles, rows, format), &outcome.error))
        outcome.status = ExportStatus::Written;
    return outcome;
}

} // namespace zorvika
