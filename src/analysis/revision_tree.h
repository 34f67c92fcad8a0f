#pragma once
// The tree of one revision of a git repository as a place to count in:
// project, group and module files are read from the repository's objects.
// Paths are the tree's, written from its root "/". Module paths resolve by
// the file system's rules — either separator, the exact name first and then
// without regard to letter case, ".." within the tree — and a path that
// leaves the tree, names a submodule or a missing object names no file.
#include "analysis/source_tree.h"
#include "components/git_repository.h"

#include <map>
#include <string>
#include <unordered_map>

namespace zorvika {

// Scans of blobs by object id, kept across the revisions of one run: a
// module that did not change between two revisions is not read again.
using BlobScans = std::unordered_map<std::string, ModuleScan>;

class RevisionTree final : public SourceTree {
public:
    RevisionTree(GitRepository& repository, GitCommit commit, BlobScans& scans);

    std::optional<std::filesystem::path> resolve(const std::filesystem::path& base, std::string_view text) override;
    ReadStatus read(const std::filesystem::path& file, std::string& out) override;
    std::optional<ModuleScan> scanModule(const std::filesystem::path& base, std::string_view entry) override;
    // The blob whole, as the scan reads it (of any size).
    std::unique_ptr<ModuleStream> openModule(const std::filesystem::path& file) override;
    // Reads and scans the blobs of the entries not yet scanned, on all the
    // machine's cores; the scans that follow then find them done.
    void prepare(const std::filesystem::path& base, const std::vector<std::string>& entries) override;

    // The first object that could not be read (a corrupt or missing object
    // the tree names); empty while all could.
    const std::string& failure() const { return failure_; }
    const GitCommit& commit() const { return commit_; }

private:
    bool scan(const std::filesystem::path& file, ModuleScan& scan);
    // `resolve` without the paths already resolved.
    std::optional<std::filesystem::path> walk(const std::filesystem::path& base, std::string_view text);
    // The entry at a path of the tree (exact names, links followed).
    std::optional<GitEntry> entryAt(const std::string& path, int hops = 0);
    const std::vector<GitEntry>* folder(const std::string& treeId);
    // The entry of the tree `treeId` (whose entries are `entries`) named
    // `name`: exactly, or with `anyCase` else without regard to letter case.
    const GitEntry* named(const std::string& treeId, const std::vector<GitEntry>& entries, const std::string& name,
                          bool anyCase);

    // A tree's entries by name and by their ASCII-lower-cased name (the
    // first entry of each such form).
    struct TreeIndex {
        std::unordered_map<std::string, std::size_t> exact;
        std::unordered_map<std::string, std::size_t> folded;
    };
    std::unordered_map<std::string, TreeIndex> indexes_; // by tree id

    GitRepository& repository_;
    GitCommit commit_;
    BlobScans& scans_;
    std::map<std::string, GitEntry> found_; // resolved path -> its file entry
    // "base\0text" -> what it resolved to
    std::unordered_map<std::string, std::optional<std::filesystem::path>> resolved_;
    std::string failure_;
};

} // namespace zorvika
