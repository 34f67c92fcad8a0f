#pragma once
// Counting a project or group as it was at revisions of its git repository,
// and filling the snapshot store with one run per revision (an import).
#include "revisions/revision_tree.h"
#include "revisions/git_repository.h"
#include "shell/project_run.h"
#include "shell/selection.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zorvika {

class MessageTable;
struct ProgramFolder;

// A project or group file inside a repository: the repository (found by
// walking up from the file's folder, or at `gitDir`) and the file's path in
// its trees.
struct RepositoryFile {
    std::unique_ptr<GitRepository> repository;
    std::filesystem::path treePath; // from the tree's root, "/sub/app.vbp"
};
// Where there is no repository the failure's cause is `Cause::NotRepository`.
Result<RepositoryFile> openRepositoryFile(const std::filesystem::path& file, const std::filesystem::path& gitDir);

// One revision counted: every project of the selection, or why not.
struct RevisionRun {
    GitCommit commit;
    std::optional<Selection> selection;
    std::vector<ProjectRun> projects;
    bool absent = false;  // the file is not in this revision (no error)
    std::string error;    // the selection failed, or an object could not be read
};

// Counts `file` (its name as the user gave it) at `commit`. Blob scans are
// shared through `scans`, so an unchanged module is read once per run.
RevisionRun countRevision(RepositoryFile& file, const std::filesystem::path& userName, const GitCommit& commit,
                          const ProgramFolder& folder, const MessageTable& messages, BlobScans& scans);

// The revisions an import takes, oldest first: the tagged commits (tags
// matching `pattern`), or the commits of a range "A..B" (or of all history
// up to one revision), every `every`-th of them counted back from the newest
// so that the newest is always among them. A tag of a tree or a blob is
// left out with a line in `warnings`.
Result<std::vector<GitCommit>> importRevisions(GitRepository& repository, std::optional<std::string> tagPattern,
                                               const std::string& range, std::uint64_t every,
                                               std::vector<std::string>* warnings = nullptr);

// The names of the projects that an import of `file` stores into, as its
// newest revision (`newest`) names them: what the windows show before they
// store into another project's history. Empty when the file is not in that
// revision or cannot be counted there (the import itself then says why).
std::vector<std::string> importTargetNames(RepositoryFile& file, const std::filesystem::path& userName,
                                           const GitCommit& newest, const ProgramFolder& folder,
                                           const MessageTable& messages);

// "2024-05-01 10:22:03 +0200" in the committer's own time zone.
std::string commitDateText(const GitCommit& commit);

struct ImportLine {
    GitCommit commit;
    std::string name, version;
    std::int64_t pureCode = 0; // the totals' "P - C - B"
    bool stored = false;
    std::string skipped; // why nothing was stored for it ("project file absent", "unstorable name")
};

struct ImportSummary {
    int counted = 0, stored = 0, absent = 0, unstorable = 0;
    std::string error; // a revision that failed: the import stopped there
};

// Counts `file` at each of `revisions` in order and stores each project's
// run as "count --save" would. `onLine` hears of every project counted (or
// revision skipped) as it goes; `keepGoing`, asked before each revision,
// stops the import when it returns false (what was stored stays). What was
// stored is flushed to the disk before the import returns, also when it
// stopped on an error.
ImportSummary importHistory(RepositoryFile& file, const std::filesystem::path& userName,
                            const std::vector<GitCommit>& revisions, const ProgramFolder& folder,
                            const MessageTable& messages, const std::function<void(const ImportLine&)>& onLine,
                            const std::function<bool(std::size_t index)>& keepGoing = {});

} // namespace zorvika
