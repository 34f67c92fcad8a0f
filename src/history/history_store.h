#pragma once
// Reading the snapshot store for the history window: the stored projects
// and versions, one snapshot, and deleting a version or a whole project.
#include "analysis/module_row.h"
#include "base/result.h"
#include "output/snapshot_format.h"

#include <filesystem>
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

// The snapshot file's bytes, or why they cannot be read (naming the file).
Result<std::string> readSnapshotBytes(const ProgramFolder& folder, std::string_view project,
                                      std::string_view version);
// A snapshot read for printing: its rows as views into its own text, which
// it keeps (no copy of any cell).
class SnapshotText {
public:
    SnapshotText(std::string bytes, std::string_view total2Text);
    SnapshotText(const SnapshotText&) = delete;
    SnapshotText& operator=(const SnapshotText&) = delete;

    const std::vector<SnapshotCells>& rows() const { return rows_; }
    const std::string& totalsLabel() const { return totalsLabel_; }

private:
    std::string bytes_;
    std::string converted_;
    std::vector<SnapshotCells> rows_;
    std::string totalsLabel_;
};

// The last `maxBytes` bytes of the snapshot file (empty when it cannot be
// read); `wholeFile` tells whether that is all of it.
std::string readSnapshotTail(const ProgramFolder& folder, std::string_view project, std::string_view version,
                             std::size_t maxBytes, bool& wholeFile);
// The snapshot, or why its file cannot be read.
Result<Snapshot> loadSnapshot(const ProgramFolder& folder, std::string_view project, std::string_view version,
                              std::string_view total2Text);

// Why a delete left something at the path: the name cannot name a stored
// item at all (nothing was tried; the reason says so), or what was there
// stays (a read-only file, a link's versions); the history window then
// shows "DEL".
enum class DeleteError { Refused, Kept };

// Deleting without forcing: a read-only file stays. Nothing is deleted
// through a symbolic link: a project folder that is a link keeps its
// versions (deleting the project removes the link alone). Every name the
// listing gives can be deleted; an empty version (none chosen) deletes
// nothing and is no failure.
Result<void, DeleteError> deleteVersion(const ProgramFolder& folder, std::string_view project,
                                        std::string_view version);
Result<void, DeleteError> deleteProject(const ProgramFolder& folder, std::string_view project);

} // namespace zorvika
