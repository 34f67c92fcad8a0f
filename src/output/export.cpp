#include "output/export.h"

#include "analysis/path_resolver.h"
#include "base/line_reader.h"
#include "base/platform.h"
#include "components/spreadsheet.h"
#include "output/table_export.h"

#include <ctime>
#include <ostream>

namespace zorvika {

const std::array<std::string_view, kColumnCount> kExportTitles = {
    "Module File", "Type", "P", "A", "C", "B", "P - C", "P - B", "P - C - B", "A - C", "A - B", "A - C - B"};

ExportFormat exportFormatFor(std::string_view path)
{
    if (path.size() >= 5 && equalsNoCase(path.substr(path.size() - 5), ".xlsx"))
        return ExportFormat::Xlsx;
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
    const std::tm local = localTime(now);
    char buf[16];
    std::strftime(buf, sizeof buf, "%Y%m%d", &local);
    return buf;
}

static std::vector<std::string> exportTitles()
{
    return {kExportTitles.begin(), kExportTitles.end()};
}

// The rows of an export: one per list row, then the totals row, whose first
// cell is `firstTotalsCell` (a space in the text files, empty in a sheet).
static std::vector<std::vector<std::string>> exportRows(const std::vector<ModuleRow>& rows,
                                                        const std::optional<std::array<std::string, 10>>& totals,
                                                        std::string_view firstTotalsCell)
{
    std::vector<std::vector<std::string>> cells;
    cells.reserve(rows.size() + 1);
    for (const ModuleRow& row : rows)
        cells.emplace_back(row.cells.begin(), row.cells.end());
    if (totals) {
        std::vector<std::string> last = {std::string(firstTotalsCell), "Total"};
        last.insert(last.end(), totals->begin(), totals->end());
        cells.push_back(std::move(last));
    }
    return cells;
}

namespace {

// The export's lines, handed to `flush` in pieces of about `piece` bytes.
const auto& cellsOf(const ModuleRow& row)
{
    return row.cells;
}

const auto& cellsOf(const std::array<std::string_view, kColumnCount>& cells)
{
    return cells;
}

template <typename Rows, typename Flush>
void exportLines(const Rows& rows, const std::vector<std::size_t>* order,
                 const std::optional<std::array<std::string, 10>>& totals, ExportFormat format, std::string& out,
                 std::size_t piece, Flush&& flush)
{
    appendTableLine(out, kExportTitles, format);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        appendTableLine(out, cellsOf(rows[order ? (*order)[i] : i]), format);
        if (out.size() >= piece)
            flush(out);
    }
    if (totals) {
        std::array<std::string_view, kColumnCount> last{" ", "Total"};
        for (std::size_t k = 0; k < totals->size(); ++k)
            last[2 + k] = (*totals)[k];
        appendTableLine(out, last, format);
    }
    flush(out);
}

} // namespace

std::string exportText(const std::vector<ModuleRow>& rows,
                       const std::optional<std::array<std::string, 10>>& totals, ExportFormat format)
{
    // Written straight from the rows: no copy of their cells.
    std::string out;
    std::size_t size = 256;
    for (const ModuleRow& row : rows)
        for (const std::string& cell : row.cells)
            size += cell.size() + 1;
    out.reserve(size + rows.size());
    exportLines(rows, nullptr, totals, format, out, static_cast<std::size_t>(-1), [](std::string&) {});
    return out;
}

namespace {

template <typename Rows>
void writeLines(std::ostream& stream, const Rows& rows,
                const std::optional<std::array<std::string, 10>>& totals, ExportFormat format,
                const std::vector<std::size_t>* order, bool lf)
{
    constexpr std::size_t kPiece = 64 * 1024;
    std::string out;
    out.reserve(kPiece + 4096);
    exportLines(rows, order, totals, format, out, kPiece, [&](std::string& text) {
        if (lf)
            toLfLineEnds(text); // pieces end after a line's end, never between its CR and LF
        stream.write(text.data(), static_cast<std::streamsize>(text.size()));
        text.clear();
    });
}

} // namespace

void writeExportText(std::ostream& stream, const std::vector<ModuleRow>& rows,
                     const std::optional<std::array<std::string, 10>>& totals, ExportFormat format,
                     const std::vector<std::size_t>* order, bool lf)
{
    writeLines(stream, rows, totals, format, order, lf);
}

void writeExportText(std::ostream& stream, const std::vector<std::array<std::string_view, kColumnCount>>& rows,
                     const std::optional<std::array<std::string, 10>>& totals, ExportFormat format,
                     const std::vector<std::size_t>* order, bool lf)
{
    writeLines(stream, rows, totals, format, order, lf);
}

std::vector<std::vector<std::string>> exportSheet(const std::vector<ModuleRow>& rows,
                                                  const std::optional<std::array<std::string, 10>>& totals)
{
    auto cells = exportRows(rows, totals, "");
    cells.insert(cells.begin(), exportTitles());
    return cells;
}

Outcome checkExportTarget(const std::filesystem::path& target, const CountInputs& inputs)
{
    const std::optional<EntryInfo> written = followedInfo(target);
    if (!written || written->kind != EntryKind::File)
        return {}; // nothing there yet, or a pipe or a device, which is written into
    auto isTarget = [&](const std::filesystem::path& file) {
        const std::optional<EntryInfo> read = followedInfo(file);
        return read && read->kind == EntryKind::File && sameFile(*read, *written);
    };
    auto refusal = [](std::string_view what, const std::filesystem::path& file) {
        return Outcome::failure("the export would replace " + std::string(what) + utf8Of(file)
                                + ", which the count reads; nothing written");
    };
    for (const std::filesystem::path& file : inputs.files)
        if (!file.empty() && isTarget(file))
            return refusal("", file);
    PathResolver resolver;
    for (const std::string& entry : inputs.moduleEntries)
        if (const auto module = resolver.resolve(inputs.moduleFolder, entry); module && isTarget(*module))
            return refusal("the module ", *module);
    return {};
}

Result<void, ExportError> writeExport(const std::filesystem::path& path, const std::vector<ModuleRow>& rows,
                                      std::string_view totalsText, const TotalsWords& words,
                                      Spreadsheet& spreadsheet)
{
    if (rows.empty())
        return noRecord();
    // Both workbooks leave column A of the totals row empty; the text files
    // put a space there.
    const ExportFormat format = exportFormatFor(utf8Of(path));
    const bool sheet = format == ExportFormat::Spreadsheet || format == ExportFormat::Xlsx;
    return writeTableExport(path, exportTitles(), exportRows(rows, totalsValues(totalsText, words), sheet ? "" : " "),
                            spreadsheet);
}

} // namespace zorvika
