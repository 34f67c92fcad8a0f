#pragma once
// A snapshot's text, in both directions: one line per row (the twelve cells
// joined by ":") and the totals line last, each ending with CR LF; and the
// same text read back, as the history, the trend and the comparison read it.
#include "analysis/module_row.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvika {

// One row as its line holds it (no line end).
std::string snapshotLine(const ModuleRow& row);
// Every row's line, then the totals line, each ending with CR LF.
std::string snapshotText(const std::vector<ModuleRow>& rows, std::string_view totalsText);

// The twelve cells of a row line, as views into the line.
using SnapshotCells = std::array<std::string_view, kColumnCount>;
// One line of a snapshot as a row: a line of exactly twelve pieces (split at
// every ":"); or a line of more pieces whose last eleven are a type text and
// ten figures (ten empty ones for "Invalid"), the path being the first
// pieces joined again with ":". Nothing for any other line.
std::optional<SnapshotCells> snapshotLineCells(std::string_view line);
std::optional<ModuleRow> parseSnapshotLine(std::string_view line);

struct Snapshot {
    std::vector<ModuleRow> rows; // in file order
    std::string totalsLabel;     // the last line when it begins with TOTAL2 and ":", else empty
};

// A snapshot's bytes as text: valid UTF-8 as it is (no copy; less a UTF-8
// byte-order mark), anything else converted from Windows-1252 into
// `converted`, which the text then points into.
std::string_view decodedSnapshot(std::string_view bytes, std::string& converted);
// Every row line of a decoded text to `onRow` in file order (the cells are
// views into `text`); returns the totals label (the last line when it
// begins with TOTAL2 and ":", else empty).
std::string scanDecodedSnapshot(std::string_view text, std::string_view total2Text,
                                const std::function<void(const SnapshotCells&)>& onRow);
// The same from a snapshot file's bytes.
std::string scanSnapshot(std::string_view bytes, std::string_view total2Text,
                         const std::function<void(const SnapshotCells&)>& onRow);
Snapshot snapshotFromText(std::string_view bytes, std::string_view total2Text);

} // namespace zorvika
