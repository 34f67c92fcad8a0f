#include "output/snapshot_format.h"

#include "analysis/module_kinds.h"
#include "base/line_reader.h"
#include "base/text_codec.h"

namespace zorvika {

std::string snapshotLine(const ModuleRow& row)
{
    std::string line;
    for (std::size_t i = 0; i < row.cells.size(); ++i) {
        if (i > 0)
            line += ':';
        line += row.cells[i];
    }
    return line;
}

std::string snapshotText(const std::vector<ModuleRow>& rows, std::string_view totalsText)
{
    std::string text;
    text.reserve(rows.size() * 64 + totalsText.size() + 2);
    for (const ModuleRow& row : rows) {
        text += snapshotLine(row);
        text += "\r\n";
    }
    text.append(totalsText);
    text += "\r\n";
    return text;
}

std::optional<SnapshotCells> snapshotLineCells(std::string_view line)
{
    // The last eleven pieces are found from the end; whatever lies before
    // them is the path, which may hold colons itself. Nothing is kept per
    // colon, so a line of millions of colons costs no memory.
    SnapshotCells cells;
    std::size_t end = line.size();
    for (std::size_t k = kColumnCount - 1; k >= 1; --k) {
        const auto colon = end == 0 ? std::string_view::npos : line.rfind(':', end - 1);
        if (colon == std::string_view::npos)
            return std::nullopt;
        cells[k] = line.substr(colon + 1, end - colon - 1);
        end = colon;
    }
    cells[0] = line.substr(0, end);
    if (cells[0].find(':') != std::string_view::npos) {
        // More than twelve pieces: only a type text and ten figures (ten
        // empty ones for "Invalid") make the last eleven a row.
        if (!isModuleTypeText(cells[1]))
            return std::nullopt;
        const bool invalid = cells[1] == "Invalid";
        for (std::size_t k = 2; k < kColumnCount; ++k)
            if (invalid ? !cells[k].empty() : !parseFigure(cells[k]))
                return std::nullopt;
    }
    return cells;
}

static ModuleRow rowOf(const SnapshotCells& cells)
{
    ModuleRow row;
    for (std::size_t k = 0; k < kColumnCount; ++k)
        row.cells[k] = std::string(cells[k]);
    return row;
}

std::optional<ModuleRow> parseSnapshotLine(std::string_view line)
{
    const auto cells = snapshotLineCells(line);
    if (!cells)
        return std::nullopt;
    return rowOf(*cells);
}

std::string_view decodedSnapshot(std::string_view bytes, std::string& converted)
{
    bytes = withoutUtf8Bom(bytes); // a snapshot saved again by a Windows editor
    if (isValidUtf8(bytes))
        return bytes;
    converted = windows1252ToUtf8(bytes);
    return converted;
}

namespace {

template <typename OnRow>
std::string scanDecoded(std::string_view text, std::string_view total2Text, OnRow&& onRow)
{
    std::string_view last;
    forEachLine(text, [&](std::string_view line) {
        last = line;
        if (const auto cells = snapshotLineCells(line))
            onRow(*cells);
    });
    if (last.substr(0, last.find(':')) == total2Text)
        return std::string(last);
    return {};
}

} // namespace

std::string scanDecodedSnapshot(std::string_view text, std::string_view total2Text,
                                const std::function<void(const SnapshotCells&)>& onRow)
{
    return scanDecoded(text, total2Text, onRow);
}

std::string scanSnapshot(std::string_view bytes, std::string_view total2Text,
                         const std::function<void(const SnapshotCells&)>& onRow)
{
    std::string converted;
    return scanDecoded(decodedSnapshot(bytes, converted), total2Text, onRow);
}

Snapshot snapshotFromText(std::string_view bytes, std::string_view total2Text)
{
    std::string converted;
    const std::string_view text = decodedSnapshot(bytes, converted);
    Snapshot snapshot;
    // Counted first, so that the rows take exactly their room.
    std::size_t count = 0;
    scanDecoded(text, total2Text, [&](const SnapshotCells&) { ++count; });
    snapshot.rows.reserve(count);
    snapshot.totalsLabel = scanDecoded(text, total2Text,
                                       [&](const SnapshotCells& cells) { snapshot.rows.push_back(rowOf(cells)); });
    return snapshot;
}

} // namespace zorvika
