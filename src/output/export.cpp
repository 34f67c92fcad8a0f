#include "output/export.h"

#include "components/file_io.h"
#include "components/line_reader.h"
#include "components/spreadsheet.h"

#include <ctime>

namespace zorvika {

const std::array<std::string_view, kColumnCount> kExportTitles = {
    "Module File", "Type", "P", "A", "C", "B", "P - C", "P - B", "P - C - B", "A - C", "A - B", "A - C - B"};

ExportFormat exportFormatFor(std::string_view path)
{
    const std::string_view tail = path.size() >= 4 ? path.substr(path.size() - 4) : path;
    if (equalsNoCase(tail, ".xls"))
        return ExportFormat::Spreadsheet;
    if (equalsNoCase(tail, ".csv"))
        return ExportFormat::Comma;
    return ExportFormat::Tab;
}

std::string proposedFileName(std::string_view firstPart, std::string_view secondPart, std::string_view date)
{
    std::string name(firstPart);
    name += '_';
    name += secondPart;
    name += '_';
    name += date;
    return name;
}

std::string todayText()
{
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    char buf[16];
    std::strftime(buf, sizeof buf, "%Y%m%d", &local);
    return buf;
}

std::optional<std::array<std::string, 10>> totalsValues(std::string_view totalsText, const TotalsWords& words)
{
    const auto at = totalsText.find(words.modules);
    if (at == std::string_view::npos)
        return std::nullopt;
    std::string_view rest = totalsText.substr(at + words.modules.size());
    rest.remove_suffix(std::min(rest.size(), words.order.size()));
    rest = trimSpaces(rest);
    std::array<std::string, 10> values;
    std::size_t count = 0;
    for (;;) {
        const auto sep = rest.find(", ");
        if (count == values.size())
            return std::nullopt;
        values[count++] = std::string(rest.substr(0, sep));
        if (sep == std::string_view::npos)
            break;
        rest.remove_prefix(sep + 2);
    }
    if (count != values.size())
        return std::nullopt;
    return values;
}

static void appendField(std::string& out, std::string_view field, ExportFormat format)
{
    if (format == ExportFormat::Comma && field.find_first_of(",\"\r\n") != std::string_view::npos) {
        out += '"';
        for (char c : field) {
            if (c == '"')
                out += '"';
            out += c;
        }
        out += '"';
        return;
    }
    out.append(field);
}

std::string exportText(const std::vector<ModuleRow>& rows,
                       const std::optional<std::array<std::string, 10>>& totals, ExportFormat format)
{
    const char sep = format == ExportFormat::Comma ? ',' : '\t';
    std::string out;
    out.reserve(64 * (rows.size() + 2));
    auto line = [&](auto begin, auto end) {
        for (auto it = begin; it != end; ++it) {
            if (it != begin)
                out += sep;
            appendField(out, *it, format);
        }
        out += "\r\n";
    };
    line(kExportTitles.begin(), kExportTitles.end());
    for (const ModuleRow& row : rows)
        line(row.cells.begin(), row.cells.end());
    if (totals) {
        std::array<std::string_view, kColumnCount> fields;
        fields[0] = " ";
        fields[1] = "Total";
        for (std::size_t k = 0; k < totals->size(); ++k)
            fields[k + 2] = (*totals)[k];
        line(fields.begin(), fields.end());
    }
    return out;
}

std::vector<std::vector<std::string>> exportSheet(const std::vector<ModuleRow>& rows,
                                                  const std::optional<std::array<std::string, 10>>& totals)
{
    std::vector<std::vector<std::string>> cells;
    cells.reserve(rows.size() + 2);
    cells.emplace_back(kExportTitles.begin(), kExportTitles.end());
    for (const ModuleRow& row : rows)
        cells.emplace_back(row.cells.begin(), row.cells.end());
    if (totals) {
        std::vector<std::string> last = {"", "Total"};
        last.insert(last.end(), totals->begin(), totals->end());
        cells.push_back(std::move(last));
    }
    return cells;
}

ExportOutcome writeExport(const std::filesystem::path& path, const std::vector<ModuleRow>& rows,
                          std::string_view totalsText, const TotalsWords& words, Spreadsheet& spreadsheet)
{
    if (rows.empty())
        return {ExportStatus::NoRecord, {}};
    const auto totals = totalsValues(totalsText, words);
    const ExportFormat format = exportFormatFor(path.native());
    ExportOutcome outcome;
    if (format == ExportFormat::Spreadsheet) {
        if (!spreadsheet.available())
            return {ExportStatus::NoSpreadsheet, {}};
        if (spreadsheet.write(path, exportSheet(rows, totals), &outcome.error))
            outcome.status = ExportStatus::Written;
        return outcome;
    }
    if (writeFileAtomically(path, exportText(rows, totals, format), &outcome.error))
        outcome.status = ExportStatus::Written;
    return outcome;
}

} // namespace zorvika
