#include "output/table_export.h"

#include "base/file_io.h"
#include "components/spreadsheet.h"
#include "components/xlsx_workbook.h"

namespace zorvika {

void appendFieldText(std::string& out, std::string_view field, ExportFormat format)
{
    if (format == ExportFormat::Comma && field.find_first_of(",\"\r\n") != std::string_view::npos) {
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

std::string tableText(const std::vector<std::string>& titles, const TextTable& rows, ExportFormat format)
{
    std::string out;
    appendTableLine(out, titles, format);
    for (const auto& row : rows)
        appendTableLine(out, row, format);
    return out;
}

ExportOutcome writeTableExport(const std::filesystem::path& path, const std::vector<std::string>& titles,
                               const TextTable& rows, Spreadsheet& spreadsheet)
{
    if (rows.empty())
        return {ExportStatus::NoRecord, {}};
    const ExportFormat format = exportFormatFor(utf8Of(path));
    if (format == ExportFormat::Spreadsheet || format == ExportFormat::Xlsx) {
        // ".xls" needs the spreadsheet application; ".xlsx" is written here.
        if (format == ExportFormat::Spreadsheet && !spreadsheet.available())
            return {ExportStatus::NoSpreadsheet, {}};
        TextTable sheet;
        sheet.reserve(rows.size() + 1);
        sheet.push_back(titles);
        sheet.insert(sheet.end(), rows.begin(), rows.end());
        const Outcome written =
            format == ExportFormat::Xlsx ? writeXlsxWorkbook(path, sheet) : spreadsheet.write(path, sheet);
        return written ? ExportOutcome{ExportStatus::Written, {}} : ExportOutcome{ExportStatus::Failed, written.reason()};
    }
    const Outcome written = writeOutputFile(path, tableText(titles, rows, format));
    return written ? ExportOutcome{ExportStatus::Written, {}} : ExportOutcome{ExportStatus::Failed, written.reason()};
}

} // namespace zorvika
