#pragma once
// Reading a git repository's objects (through libgit2): commits named by a
// revision, the trees and blobs of a commit, tags and ranges of commits.
// Nothing is checked out and nothing in the work tree is read.
#include "base/result.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <vector>

namespace zorvika {

struct GitCommit {
    std::string id;     // the full object id, hexadecimal
    std::string treeId; // its root tree
    std::int64_t time = 0;  // seconds since 1970, UTC
    int offsetMinutes = 0;  // the committer's time zone
};

enum class GitEntryKind { File, Folder, Link, Submodule };

struct GitEntry {
    std::string name;
    GitEntryKind kind;
    std::string id; // blob, tree or (for a submodule) commit id
};

// Loads and starts the git library on a thread of its own, so that a
// command that is about to read a repository prepares the rest of its run
// meanwhile; the library's start (its TLS certificates among it) costs
// about as much as counting a project. Waits for that thread when it ends.
class GitLibraryStart {
public:
    GitLibraryStart();
    ~GitLibraryStart();
    GitLibraryStart(const GitLibraryStart&) = delete;
    GitLibraryStart& operator=(const GitLibraryStart&) = delete;

private:
    std::thread thread_;
};

class GitRepository {
public:
    // The repository that holds `start` (found by walking up from it), or
    // the one at `gitDir` when that is given (a bare one included). Where
    // there is none the failure's cause is `Cause::NotRepository`.
    static Result<std::unique_ptr<GitRepository>> open(const std::filesystem::path& start,
                                                       const std::filesystem::path& gitDir);
    ~GitRepository();
    GitRepository(const GitRepository&) = delete;
    GitRepository& operator=(const GitRepository&) = delete;

    // The work tree's root (empty for a bare repository).
    const std::filesystem::path& workTree() const { return workTree_; }

    Result<GitCommit> commit(std::string_view revision);
    // The entries of a tree, by name, kept while they are in use: the
    // trees read for the revision before the current one and for the
    // current one stay, so that memory follows the largest revision, not
    // the number of them.
    Result<const std::vector<GitEntry>*> tree(const std::string& id);
    // A new revision is read: trees that the revision before did not read
    // are let go (the pointers to them with them), and what the library
    // keeps of the objects it read.
    void beginRevision();
    // The size of a blob, from the object's header (nothing is inflated).
    Result<std::uint64_t> blobSize(const std::string& id);
    Outcome blob(const std::string& id, std::string& out);
    // Hands a blob's bytes to `use` without copying them.
    Outcome withBlob(const std::string& id, const std::function<void(std::string_view)>& use);
    // Hands the bytes of each blob of `ids` to `use` with its index, reading
    // (and inflating) them on one thread more than the machine has cores,
    // the calling one among them: `use` runs on the thread that read the
    // blob, on several at once. Returns which were read; one that was not (a
    // missing or damaged object) is left to `withBlob`, which says why.
    std::vector<bool> readBlobs(const std::vector<std::string>& ids,
                                const std::function<void(std::size_t, std::string_view)>& use);
    // The same, with the ids asked of `next` while the blobs are read, so
    // that finding them overlaps reading them: `next` puts the next id in
    // its argument and returns false when there is none left. It runs on
    // the calling thread only, and is not asked again once it returned
    // false or threw. A blob's index is the order in which `next` named it;
    // the result has one entry for each.
    std::vector<bool> readBlobs(const std::function<bool(std::string&)>& next,
                                const std::function<void(std::size_t, std::string_view)>& use);

    // The commits that tags matching `pattern` (a glob; empty: every tag)
    // point at, oldest first (by commit time, then by tag name). A tag of a
    // tree or a blob is left out with a line in `warnings`.
    Result<std::vector<GitCommit>> tagged(std::string_view pattern, std::vector<std::string>* warnings = nullptr);
    // The commits of "A..B" (or of everything reachable from a single
    // revision), oldest first.
    Result<std::vector<GitCommit>> range(std::string_view range);
    // The tag names that point at a commit (empty when none).
    std::vector<std::string> tagsOf(const std::string& commitId) const;

private:
    struct Handle;
    explicit GitRepository(std::unique_ptr<Handle> handle);
    std::unique_ptr<Handle> handle_;
    std::filesystem::path workTree_;
    std::unordered_map<std::string, std::vector<GitEntry>> trees_, previousTrees_;
    std::size_t revisionsBegun_ = 0;
    std::multimap<std::string, std::string> tagNames_; // commit id -> tag name, filled by `tagged`
};

} // namespace zorvika
