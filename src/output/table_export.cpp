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

Failure<ExportError> noRecord()
{
    return fail(ExportError::NoRecord, "the list has no rows; nothing written");
}

Result<void, ExportError> writeTableExport(const std::filesystem::path& path, const std::vector<std::string>& titles,
                                           const TextTable& rows, Spreadsheet& spreadsheet)
{
    if (rows.empty())
        return noRecord();
    const ExportFormat format = exportFormatFor(utf8Of(path));
    if (format == ExportFormat::Spreadsheet || format == ExportFormat::Xlsx) {
        // ".xls" needs the spreadsheet application; ".xlsx" is written here.
        if (format == ExportFormat::Spreadsheet && !spreadsheet.available())
            return fail(ExportError::NoSpreadsheet, "the spreadsheet application cannot be started; nothing written");
        TextTable sheet;
        sheet.reserve(rows.size() + 1);
        sheet.push_back(titles);
        sheet.insert(sheet.end(), rows.begin(), rows.end());
        const Outcome written =
            format == ExportFormat::Xlsx ? writeXlsxWorkbook(path, sheet) : spreadsheet.write(path, sheet);
        return written ? Result<void, ExportError>() : written.failure().as(ExportError::Failed);
    }
    const Outcome written = writeOutputFile(path, tableText(titles, rows, format));
    return written ? Result<void, ExportError>() : written.failure().as(ExportError::Failed);
}

} // namespace zorvika
