#include "revisions/revision_tree.h"

#include "base/line_reader.h"
#include "base/platform.h"

#include <algorithm>
#include <unordered_set>

namespace zorvika {

namespace fs = std::filesystem;

namespace {

// Links one walk follows at most before it gives up, as Linux does.
constexpr int kMaxLinks = 40;
// The longest target a link of the system can hold.
constexpr std::uint64_t kMaxLinkTarget = 4095;

// The names of a path, "" and "." left out; `separators` split them.
void addComponents(std::string_view text, std::string_view separators, bool foldCase,
                   std::vector<std::pair<std::string, bool>>& reversed)
{
    // Pushed in reverse, so that the walk takes them from the back.
    std::size_t end = text.size();
    for (;;) {
        const auto slash = end == 0 ? std::string_view::npos : text.find_last_of(separators, end - 1);
        const std::size_t start = slash == std::string_view::npos ? 0 : slash + 1;
        const std::string_view part = text.substr(start, end - start);
        if (!part.empty() && part != ".")
            reversed.emplace_back(std::string(part), foldCase);
        if (slash == std::string_view::npos)
            break;
        end = slash;
    }
}

} // namespace

const ModuleScan* BlobScans::find(const std::string& id)
{
    if (const auto it = current_.find(id); it != current_.end())
        return &it->second;
    if (auto node = previous_.extract(id))
        return &current_.insert(std::move(node)).position->second;
    return nullptr;
}

void BlobScans::beginRevision()
{
    previous_ = std::move(current_);
    current_.clear();
}

RevisionTree::RevisionTree(GitRepository& repository, GitCommit commit, BlobScans& scans)
    : repository_(repository), commit_(std::move(commit)), scans_(scans)
{
}

void RevisionTree::failed(const Outcome& read)
{
    if (objectsRead_ && !read)
        objectsRead_ = read;
}

const RevisionTree::Folder* RevisionTree::folder(const std::string& treeId)
{
    static const Folder kEmpty;
    if (treeId.empty())
        return &kEmpty; // a submodule: an empty folder in a checkout
    if (const auto it = folders_.find(treeId); it != folders_.end())
        return &it->second;
    const auto entries = repository_.tree(treeId);
    if (!entries) {
        failed(Outcome::failureOf(entries));
        return nullptr;
    }
    Folder& f = folders_[treeId];
    f.entries = *entries;
    f.exact.reserve(f.entries->size());
    for (std::size_t i = 0; i < f.entries->size(); ++i) {
        const std::string& name = (*f.entries)[i].name;
        f.exact.emplace(name, i);
        auto [slot, added] = f.folded.try_emplace(lowerAsciiText(name), i);
        if (!added && name < (*f.entries)[slot->second].name)
            slot->second = i;
    }
    return &f;
}

const GitEntry* RevisionTree::lookUp(const Folder& f, const std::string& name, bool foldCase) const
{
    if (const auto it = f.exact.find(name); it != f.exact.end())
        return &(*f.entries)[it->second];
    if (!foldCase || f.folded.empty())
        return nullptr;
    const GitEntry* best = nullptr;
    if (const auto it = f.folded.find(lowerAsciiText(name)); it != f.folded.end())
        best = &(*f.entries)[it->second];
    // A name written in Windows-1252 may stand in the tree in UTF-8.
    if (const std::string alternative = windowsNameAlternative(name); !alternative.empty())
        if (const auto it = f.folded.find(lowerAsciiText(alternative)); it != f.folded.end())
            if (!best || (*f.entries)[it->second].name < best->name)
                best = &(*f.entries)[it->second];
    return best;
}

const std::string* RevisionTree::linkTarget(const std::string& blobId)
{
    if (const auto it = links_.find(blobId); it != links_.end())
        return it->second ? &*it->second : nullptr;
    // A link that cannot be read is not kept: a walk again reports it.
    const auto size = repository_.blobSize(blobId);
    if (!size) {
        failed(Outcome::failureOf(size));
        return nullptr;
    }
    std::string target;
    if (*size <= kMaxLinkTarget) {
        if (const Outcome read = repository_.blob(blobId, target); !read) {
            failed(read);
            return nullptr;
        }
    }
    auto& kept = links_[blobId];
    if (*size <= kMaxLinkTarget)
        kept = std::move(target);
    return kept ? &*kept : nullptr;
}

std::optional<RevisionTree::Located> RevisionTree::locate(std::string_view base, std::string_view text, bool foldCase)
{
    std::vector<std::pair<std::string, bool>> pending; // what is left to walk, last first
    addComponents(text, "/\\", foldCase, pending);
    addComponents(base, "/\\", false, pending);
    std::vector<std::pair<std::string, std::string>> at = {{std::string(), commit_.treeId}}; // name, tree
    int links = 0;
    std::optional<GitEntry> file;
    while (!pending.empty()) {
        const auto [part, fold] = std::move(pending.back());
        pending.pop_back();
        if (file)
            return std::nullopt; // a file stands where a folder was needed
        if (part == "..") {
            if (at.size() == 1)
                return std::nullopt; // above the root: leaves the tree
            at.pop_back();
            continue;
        }
        const Folder* here = folder(at.back().second);
        if (!here)
            return std::nullopt;
        const GitEntry* entry = lookUp(*here, part, fold);
        if (!entry)
            return std::nullopt;
        switch (entry->kind) {
        case GitEntryKind::Folder: at.emplace_back(entry->name, entry->id); break;
        case GitEntryKind::Submodule: at.emplace_back(entry->name, std::string()); break;
        case GitEntryKind::File: file = *entry; at.emplace_back(entry->name, std::string()); break;
        case GitEntryKind::Link: {
            // Its target, taken from the link's folder, stands for the link.
            const std::string* target = ++links > kMaxLinks ? nullptr : linkTarget(entry->id);
            if (!target || target->empty() || target->front() == '/')
                return std::nullopt; // a loop, a damaged link, or a target outside the tree
            addComponents(*target, "/", false, pending);
            break;
        }
        }
    }
    if (!file)
        return std::nullopt;
    Located found{std::string(), *file};
    for (std::size_t i = 1; i < at.size(); ++i)
        found.path.append("/").append(at[i].first);
    return found;
}

std::optional<fs::path> RevisionTree::resolve(const fs::path& base, std::string_view text)
{
    std::string key = utf8Of(base);
    key += '\0';
    key += text;
    if (const auto known = resolved_.find(key); known != resolved_.end())
        return known->second;
    if (text.empty() || isDriveLetterPath(text) || text.front() == '/' || text.front() == '\\')
        return std::nullopt; // an absolute path leaves the tree
    // Kept unless an object failed to read: walking again then reports it.
    const bool clean = objectsRead_.ok();
    std::optional<fs::path> file;
    if (auto found = locate(utf8Of(base), text, true)) {
        file = pathFromUtf8(found->path);
        found_.insert_or_assign(std::move(found->path), found->entry);
    }
    if (!clean || objectsRead_.ok())
        resolved_.emplace(std::move(key), file);
    return file;
}

Result<std::string, ReadError> RevisionTree::read(const fs::path& file)
{
    std::optional<GitEntry> entry;
    if (const auto it = found_.find(utf8Of(file)); it != found_.end())
        entry = it->second;
    else if (auto found = locate({}, utf8Of(file), false))
        entry = found->entry;
    if (!entry)
        return readFailure(objectsRead_ ? ReadError::Missing : ReadError::Unreadable);
    // The size is in the object's header: a blob too large is refused
    // before it is inflated, as a file is before it is read.
    const auto size = repository_.blobSize(entry->id);
    if (size && *size > kMaxWholeFileSize)
        return readFailure(ReadError::TooLarge);
    std::string out;
    const Outcome read = size ? repository_.blob(entry->id, out) : Outcome::failureOf(size);
    if (!read) {
        failed(read);
        return readFailure(ReadError::Unreadable);
    }
    return out;
}

std::unique_ptr<ModuleStream> RevisionTree::openModule(const fs::path& file)
{
    std::optional<GitEntry> entry;
    if (const auto it = found_.find(utf8Of(file)); it != found_.end())
        entry = it->second;
    else if (auto found = locate({}, utf8Of(file), false))
        entry = found->entry;
    if (!entry || entry->kind != GitEntryKind::File)
        return nullptr;
    std::string text;
    if (const Outcome read = repository_.blob(entry->id, text); !read) {
        failed(read);
        return nullptr;
    }
    return textStream(std::move(text));
}

std::optional<ModuleScan> RevisionTree::scanModule(const fs::path& base, std::string_view entry)
{
    const auto file = resolve(base, entry);
    ModuleScan result;
    if (!file || !scan(*file, result))
        return std::nullopt;
    return result;
}

void RevisionTree::prepare(const fs::path& base, const std::vector<std::string>& entries)
{
    if (entries.size() < 2)
        return;
    // Resolving here finds the same files the scans will; a tree that fails
    // to read is reported by the scans, in their order, as without this.
    // The entries are resolved here while the other threads already inflate
    // the blobs found first.
    const Outcome objectsReadBefore = objectsRead_;
    std::vector<std::string> ids;
    std::unordered_set<std::string> taken;
    std::size_t at = 0;
    auto next = [&](std::string& id) {
        while (at < entries.size()) {
            const auto file = resolve(base, entries[at++]);
            if (!file)
                continue;
            const std::string& found = found_[utf8Of(*file)].id;
            if (!scans_.find(found) && taken.insert(found).second) {
                ids.push_back(found);
                id = found;
                return true;
            }
        }
        return false;
    };
    std::vector<ModuleScan> results(entries.size());
    const std::vector<bool> read = repository_.readBlobs(
        next, [&results](std::size_t i, std::string_view bytes) { results[i] = scanModuleText(bytes); });
    // What failed while resolving ahead fails again, in its turn, below.
    objectsRead_ = objectsReadBefore;
    for (std::size_t i = 0; i < read.size() && i < ids.size(); ++i)
        if (read[i])
            scans_.add(ids[i], results[i]);
}

bool RevisionTree::scan(const fs::path& file, ModuleScan& scan)
{
    const auto it = found_.find(utf8Of(file));
    if (it == found_.end())
        return false;
    const std::string& id = it->second.id;
    if (const ModuleScan* known = scans_.find(id)) {
        scan = *known;
        return true;
    }
    if (const Outcome read = repository_.withBlob(id, [&](std::string_view bytes) { scan = scanModuleText(bytes); });
        !read) {
        failed(read);
        return false;
    }
    scans_.add(id, scan);
    return true;
}

} // namespace zorvika
