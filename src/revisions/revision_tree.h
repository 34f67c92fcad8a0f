#pragma once
// The tree of one revision of a git repository as a place to count in:
// project, group and module files are read from the repository's objects.
// Paths are the tree's, written from its root "/". Module paths resolve by
// the file system's rules — either separator, the exact name first and then
// without regard to letter case, ".." within the tree — and a path that
// leaves the tree, names a submodule or a missing object names no file.
#include "analysis/source_tree.h"
#include "revisions/git_repository.h"

#include <string>
#include <unordered_map>

namespace zorvika {

// Scans of blobs by object id, kept across the revisions of one run: a
// module that did not change since the revision before is not read again.
// Only the scans of that revision and of the current one stay, so that an
// import's memory follows its largest revision, not the number of them.
class BlobScans {
public:
    // The scan of a blob, if the current revision or the one before made it.
    const ModuleScan* find(const std::string& id);
    void add(const std::string& id, const ModuleScan& scan) { current_.emplace(id, scan); }
    // A new revision is counted: the scans the one before did not use go.
    void beginRevision();

private:
    std::unordered_map<std::string, ModuleScan> current_, previous_;
};

class RevisionTree final : public SourceTree {
public:
    RevisionTree(GitRepository& repository, GitCommit commit, BlobScans& scans);

    std::optional<std::filesystem::path> resolve(const std::filesystem::path& base, std::string_view text) override;
    Result<std::string, ReadError> read(const std::filesystem::path& file) override;
    std::optional<ModuleScan> scanModule(const std::filesystem::path& base, std::string_view entry) override;
    // The blob whole, as the scan reads it (of any size).
    std::unique_ptr<ModuleStream> openModule(const std::filesystem::path& file) override;
    // Reads and scans the blobs of the entries not yet scanned, on all the
    // machine's cores; the scans that follow then find them done.
    void prepare(const std::filesystem::path& base, const std::vector<std::string>& entries) override;

    // Nothing while every object could be read, else the first that could
    // not (a corrupt or missing object the tree names).
    const Outcome& objectsRead() const { return objectsRead_; }
    const GitCommit& commit() const { return commit_; }

private:
    // A file of the tree and where it stands (links followed).
    struct Located {
        std::string path;
        GitEntry entry;
    };
    // One folder's entries, indexed by name and by name without regard to
    // letter case (each form keeping the first name in byte order).
    struct Folder {
        const std::vector<GitEntry>* entries = nullptr;
        std::unordered_map<std::string_view, std::size_t> exact;
        std::unordered_map<std::string, std::size_t> folded;
    };
    bool scan(const std::filesystem::path& file, ModuleScan& scan);
    // The file that `text` names from the folder `base` (both tree paths):
    // walked from the root as the file system walks a checkout, a link
    // replaced by its target where it stands and ".." stepping back from
    // where that led. The names of `text` match exactly or else without
    // regard to letter case (when `foldCase`); those of `base` and of link
    // targets match exactly. A path that leaves the tree, more than 40
    // links on one walk, a folder or a submodule at the end give nothing.
    std::optional<Located> locate(std::string_view base, std::string_view text, bool foldCase);
    const Folder* folder(const std::string& treeId);
    const GitEntry* lookUp(const Folder& folder, const std::string& name, bool foldCase) const;
    // A link's target (its blob); nothing when the blob cannot be read or
    // holds more than a system's link can.
    const std::string* linkTarget(const std::string& blobId);
    void failed(const Outcome& read);

    GitRepository& repository_;
    GitCommit commit_;
    BlobScans& scans_;
    std::unordered_map<std::string, GitEntry> found_; // resolved path -> its file entry
    // "base\0text" -> what it resolved to
    std::unordered_map<std::string, std::optional<std::filesystem::path>> resolved_;
    std::unordered_map<std::string, Folder> folders_;
    std::unordered_map<std::string, std::optional<std::string>> links_;
    Outcome objectsRead_;
};

} // namespace zorvika
