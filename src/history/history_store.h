#pragma once
// Reading the snapshot store for the history window: the stored projects
// and versions, one snapshot, and deleting a version or a whole project.
#include "analysis/module_row.h"

#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvika {

struct ProgramFolder;

// The folders directly inside "verhis", by name.
std::vector<std::string> listProjects(const ProgramFolder& folder);
// The files directly inside a project folder, by name; temporary files of
// an interrupted write are never listed.
std::vector<std::string> listVersions(const ProgramFolder& folder, std::string_view project);
// Where the snapshot of a project's version is stored ("verhis/<name>/<version>").
std::filesystem::path snapshotFile(const ProgramFolder& folder, std::string_view project, std::string_view version);

// One line of a snapshot file as a row: a line of exactly twelve pieces
// (split at every ":"); or a line of more pieces whose last eleven are a
// type text and ten figures (ten empty ones for "Invalid"), the path being
// the first pieces joined again with ":". Nothing for any other line.
std::optional<ModuleRow> parseSnapshotLine(std::string_view line);
// The same twelve cells as views into the line.
using SnapshotCells = std::array<std::string_view, kColumnCount>;
std::optional<SnapshotCells> snapshotLineCells(std::string_view line);

struct Snapshot {
    std::vector<ModuleRow> rows; // in file order
    std::string totalsLabel; // the last line when it begins with TOTAL2 and ":", else empty
    std::string error; // why the file could not be read (then nothing else is set)
};

// Reads a snapshot file's bytes as the history window does: every row line
// to `onRow` in file order; returns the totals label (the last line when it
// begins with TOTAL2 and ":", else empty).
std::string scanSnapshot(std::string_view bytes, std::string_view total2Text,
                         const std::function<void(const SnapshotCells&)>& onRow);
Snapshot snapshotFromText(std::string_view bytes, std::string_view total2Text);
// The snapshot file's bytes (empty when it cannot be read; then `error`,
// when given, names the file and the reason).
std::string readSnapshotBytes(const ProgramFolder& folder, std::string_view project, std::string_view version,
                              std::string* error = nullptr);
// A snapshot read for printing: its rows as views into its own text, which
// it keeps (no copy of any cell).
class SnapshotText {
public:
    SnapshotText(const ProgramFolder& folder, std::string_view project, std::string_view version,
                 std::string_view total2Text);
    SnapshotText(const SnapshotText&) = delete;
    SnapshotText& operator=(const SnapshotText&) = delete;

    const std::vector<SnapshotCells>& rows() const { return rows_; }
    const std::string& totalsLabel() const { return totalsLabel_; }
    // Why the file could not be read (then there are no rows); empty when it was.
    const std::string& error() const { return error_; }

private:
    std::string error_;
    std::string bytes_;
    std::string converted_;
    std::vector<SnapshotCells> rows_;
    std::string totalsLabel_;
};

// The last `maxBytes` bytes of the snapshot file (empty when it cannot be
// read); `wholeFile` tells whether that is all of it.
std::string readSnapshotTail(const ProgramFolder& folder, std::string_view project, std::string_view version,
                             std::size_t maxBytes, bool& wholeFile);
Snapshot loadSnapshot(const ProgramFolder& folder, std::string_view project, std::string_view version,
                      std::string_view total2Text);

// What a delete left: `gone` when nothing is left at the path; otherwise
// the history window shows "DEL", or `refusal` where the name cannot name a
// stored item at all (then nothing was tried).
struct DeleteResult {
    bool gone = false;
    std::string refusal;
    explicit operator bool() const { return gone; }
};

// Deleting without forcing: a read-only file stays. Nothing is deleted
// through a symbolic link: a project folder that is a link keeps its
// versions (deleting the project removes the link alone). Every name the
// listing gives can be deleted; an empty version (none chosen) deletes
// nothing and is no failure.
DeleteResult deleteVersion(const ProgramFolder& folder, std::string_view project, std::string_view version);
DeleteResult deleteProject(const ProgramFolder& folder, std::string_view project);

} // namespace zorvika
