#include "analysis/revision_tree.h"

#include "base/line_reader.h"
#include "base/platform.h"

#include <algorithm>
#include <unordered_set>

namespace zorvika {

namespace fs = std::filesystem;

namespace {

std::vector<std::string> components(std::string_view text)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= text.size()) {
        const auto slash = text.find_first_of("/\\", start);
        const std::string_view part = text.substr(start, slash == std::string_view::npos ? slash : slash - start);
        if (!part.empty() && part != ".")
            parts.emplace_back(part);
        if (slash == std::string_view::npos)
            break;
        start = slash + 1;
    }
    return parts;
}

std::string joined(const std::vector<std::string>& parts)
{
    std::string path;
    for (const std::string& p : parts)
        path += "/" + p;
    return path.empty() ? std::string("/") : path;
}

} // namespace

RevisionTree::RevisionTree(GitRepository& repository, GitCommit commit, BlobScans& scans)
    : repository_(repository), commit_(std::move(commit)), scans_(scans)
{
}

const std::vector<GitEntry>* RevisionTree::folder(const std::string& treeId)
{
    std::string error;
    const auto* entries = repository_.tree(treeId, &error);
    if (!entries && failure_.empty())
        failure_ = error;
    return entries;
}

const GitEntry* RevisionTree::named(const std::string& treeId, const std::vector<GitEntry>& entries,
                                    const std::string& name, bool anyCase)
{
    // A tree's names are indexed once, the first time it is searched, so
    // that the entries of one large folder cost their number and no more.
    auto [it, inserted] = indexes_.try_emplace(treeId);
    TreeIndex& index = it->second;
    if (inserted) {
        index.exact.reserve(entries.size());
        index.folded.reserve(entries.size());
        for (std::size_t i = 0; i < entries.size(); ++i) {
            index.exact.try_emplace(entries[i].name, i);
            index.folded.try_emplace(lowerAsciiText(entries[i].name), i); // the first in tree order
        }
    }
    if (const auto exact = index.exact.find(name); exact != index.exact.end())
        return &entries[exact->second];
    if (!anyCase)
        return nullptr;
    // Without regard to letter case: the first entry in tree order whose
    // name matches the name as written or its UTF-8 form.
    std::size_t best = entries.size();
    if (const auto folded = index.folded.find(lowerAsciiText(name)); folded != index.folded.end())
        best = folded->second;
    if (const std::string alternative = windowsNameAlternative(name); !alternative.empty())
        if (const auto folded = index.folded.find(lowerAsciiText(alternative)); folded != index.folded.end())
            best = std::min(best, folded->second);
    return best < entries.size() ? &entries[best] : nullptr;
}

std::optional<fs::path> RevisionTree::resolve(const fs::path& base, std::string_view text)
{
    std::string key = utf8Of(base);
    key += '\0';
    key += text;
    if (const auto known = resolved_.find(key); known != resolved_.end())
        return known->second;
    // Kept unless a tree failed to read: walking again then reports it.
    const bool clean = failure_.empty();
    auto file = walk(base, text);
    if (!clean || failure_.empty())
        resolved_.emplace(std::move(key), file);
    return file;
}

std::optional<fs::path> RevisionTree::walk(const fs::path& base, std::string_view text)
{
    if (text.empty() || isDriveLetterPath(text) || text.front() == '/' || text.front() == '\\')
        return std::nullopt; // an absolute path leaves the tree
    std::vector<std::string> wanted = components(utf8Of(base));
    for (std::string& part : components(text))
        wanted.push_back(std::move(part));

    // Walk from the root: ".." steps back (never above the root), each name
    // matches exactly or else without regard to letter case.
    std::vector<std::string> actual;
    std::vector<std::string> trees = {commit_.treeId};
    std::optional<GitEntry> last;
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        const std::string& part = wanted[i];
        if (part == "..") {
            if (actual.empty())
                return std::nullopt;
            actual.pop_back();
            trees.pop_back();
            last.reset();
            continue;
        }
        if (trees.size() != actual.size() + 1)
            return std::nullopt; // a file stands where a folder was needed
        const auto* entries = folder(trees.back());
        if (!entries)
            return std::nullopt;
        const GitEntry* match = named(trees.back(), *entries, part, true);
        if (!match)
            return std::nullopt;
        GitEntry entry = *match;
        actual.push_back(entry.name);
        if (entry.kind == GitEntryKind::Link) {
            const auto target = entryAt(joined(actual));
            if (!target)
                return std::nullopt;
            entry.kind = target->kind;
            entry.id = target->id;
        }
        if (entry.kind == GitEntryKind::Folder)
            trees.push_back(entry.id);
        last = entry;
    }
    if (!last || last->kind != GitEntryKind::File)
        return std::nullopt;
    const std::string path = joined(actual);
    found_[path] = *last;
    return pathFromUtf8(path);
}

std::optional<GitEntry> RevisionTree::entryAt(const std::string& path, int hops)
{
    if (hops > 8)
        return std::nullopt;
    std::vector<std::string> parts = components(path);
    std::vector<std::string> done;
    std::string treeId = commit_.treeId;
    std::optional<GitEntry> entry;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (parts[i] == "..") {
            if (done.empty())
                return std::nullopt;
            done.pop_back();
            // Start again from the root with the shorter path.
            std::vector<std::string> rest(done);
            rest.insert(rest.end(), parts.begin() + static_cast<std::ptrdiff_t>(i) + 1, parts.end());
            return entryAt(joined(rest), hops);
        }
        if (entry && entry->kind != GitEntryKind::Folder)
            return std::nullopt;
        const auto* entries = folder(entry ? entry->id : treeId);
        if (!entries)
            return std::nullopt;
        const GitEntry* match = named(entry ? entry->id : treeId, *entries, parts[i], false);
        if (!match)
            return std::nullopt;
        entry = *match;
        if (entry->kind == GitEntryKind::Link) {
            // A link's blob holds its target, relative to the link's folder.
            std::string target;
            std::string error;
            if (!repository_.blob(entry->id, target, &error))
                return std::nullopt;
            std::vector<std::string> next;
            if (!target.empty() && target.front() == '/')
                return std::nullopt; // leaves the tree
            next = done;
            for (std::string& p : components(target))
                next.push_back(std::move(p));
            next.insert(next.end(), parts.begin() + static_cast<std::ptrdiff_t>(i) + 1, parts.end());
            return entryAt(joined(next), hops + 1);
        }
        done.push_back(entry->name);
    }
    return entry;
}

ReadStatus RevisionTree::read(const fs::path& file, std::string& out)
{
    out.clear();
    auto it = found_.find(utf8Of(file));
    std::optional<GitEntry> entry;
    if (it != found_.end())
        entry = it->second;
    else
        entry = entryAt(utf8Of(file));
    if (!entry)
        return ReadStatus::Missing;
    if (entry->kind != GitEntryKind::File)
        return ReadStatus::NotRegular;
    std::string error;
    if (!repository_.blob(entry->id, out, &error)) {
        if (failure_.empty())
            failure_ = error;
        return ReadStatus::Unreadable;
    }
    if (out.size() > kMaxWholeFileSize) {
        out.clear();
        return ReadStatus::TooLarge;
    }
    return ReadStatus::Ok;
}

std::unique_ptr<ModuleStream> RevisionTree::openModule(const fs::path& file)
{
    const auto it = found_.find(utf8Of(file));
    const std::optional<GitEntry> entry = it != found_.end() ? std::optional<GitEntry>(it->second) : entryAt(utf8Of(file));
    if (!entry || entry->kind != GitEntryKind::File)
        return nullptr;
    std::string text;
    std::string error;
    if (!repository_.blob(entry->id, text, &error)) {
        if (failure_.empty())
            failure_ = error;
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
    const std::string failure = failure_;
    std::vector<std::string> ids;
    std::unordered_set<std::string> taken;
    std::size_t at = 0;
    auto next = [&](std::string& id) {
        while (at < entries.size()) {
            const auto file = resolve(base, entries[at++]);
            if (!file)
                continue;
            const std::string& found = found_[file->string()].id;
            if (scans_.find(found) == scans_.end() && taken.insert(found).second) {
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
    failure_ = failure;
    for (std::size_t i = 0; i < read.size() && i < ids.size(); ++i)
        if (read[i])
            scans_.emplace(ids[i], std::move(results[i]));
}

bool RevisionTree::scan(const fs::path& file, ModuleScan& scan)
{
    const auto it = found_.find(utf8Of(file));
    if (it == found_.end())
        return false;
    const std::string& id = it->second.id;
    if (const auto known = scans_.find(id); known != scans_.end()) {
        scan = known->second;
        return true;
    }
    std::string error;
    if (!repository_.withBlob(id, [&](std::string_view bytes) { scan = scanModuleText(bytes); }, &error)) {
        if (failure_.empty())
            failure_ = error;
        return false;
    }
    scans_.emplace(id, scan);
    return true;
}

} // namespace zorvika
