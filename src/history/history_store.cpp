#include "history/history_store.h"

#include "base/file_io.h"
#include "base/program_folder.h"
#include "base/text_codec.h"
#include "output/snapshot_store.h"

#include <algorithm>
#include <array>

namespace zorvika {

namespace fs = std::filesystem;

static std::vector<std::string> listFolder(const fs::path& dir, bool folders)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = utf8Of(it->path().filename());
        if (name.starts_with(kTempFilePrefix))
            continue;
        std::error_code kindError;
        const bool isFolder = it->is_directory(kindError);
        if (folders ? isFolder : (!isFolder && it->is_regular_file(kindError)))
            names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> listProjects(const ProgramFolder& folder)
{
    return listFolder(folder.store(), true);
}

std::vector<std::string> listVersions(const ProgramFolder& folder, std::string_view project)
{
    if (!isStoredEntryName(project))
        return {};
    return listFolder(folder.store() / pathFromUtf8(project), false);
}

fs::path snapshotFile(const ProgramFolder& folder, std::string_view project, std::string_view version)
{
    return folder.store() / pathFromUtf8(project) / pathFromUtf8(version);
}

Result<std::string> readSnapshotBytes(const ProgramFolder& folder, std::string_view project,
                                      std::string_view version)
{
    const fs::path file = snapshotFile(folder, project, version);
    if (!isStoredEntryName(project) || !isStoredEntryName(version))
        return readFailure(ReadError::Missing).about(utf8Of(file)).as(Failed::Failed);
    Result<std::string, ReadError> bytes = readRegularFile(file);
    if (!bytes)
        return bytes.failure().about(utf8Of(file)).as(Failed::Failed);
    return std::move(bytes).value();
}

SnapshotText::SnapshotText(std::string bytes, std::string_view total2Text) : bytes_(std::move(bytes))
{
    const std::string_view text = decodedSnapshot(bytes_, converted_);
    std::size_t count = 0;
    scanDecodedSnapshot(text, total2Text, [&](const SnapshotCells&) { ++count; });
    rows_.reserve(count);
    totalsLabel_ = scanDecodedSnapshot(text, total2Text, [&](const SnapshotCells& cells) { rows_.push_back(cells); });
}

std::string readSnapshotTail(const ProgramFolder& folder, std::string_view project, std::string_view version,
                             std::size_t maxBytes, bool& wholeFile)
{
    wholeFile = false;
    if (!isStoredEntryName(project) || !isStoredEntryName(version))
        return {};
    const fs::path file = snapshotFile(folder, project, version);
    const Result<OpenedFile, ReadError> opened = openRegularFile(file);
    if (!opened)
        return {};
    const std::uint64_t size = opened->info.size;
    const std::uint64_t from = size > maxBytes ? size - maxBytes : 0;
    std::string tail(static_cast<std::size_t>(size - from), '\0');
    std::size_t got = 0;
    while (got < tail.size()) {
        const Result<std::size_t> r = readAt(opened->handle.get(), tail.data() + got, tail.size() - got, from + got);
        if (!r || *r == 0)
            break;
        got += *r;
    }
    if (got < tail.size())
        return {}; // shorter than it said: read it whole instead
    wholeFile = from == 0;
    return tail;
}

Result<Snapshot> loadSnapshot(const ProgramFolder& folder, std::string_view project, std::string_view version,
                              std::string_view total2Text)
{
    const Result<std::string> bytes = readSnapshotBytes(folder, project, version);
    if (!bytes)
        return Result<Snapshot>::failureOf(bytes);
    return snapshotFromText(*bytes, total2Text);
}

static bool isReadOnlyAt(const OpenFolder& folder, const std::string& name)
{
    const auto entry = folder.entry(name);
    return entry && entry->kind != EntryKind::Link && entry->readOnly;
}

namespace {

using Deletion = Result<void, DeleteError>;

Deletion refused(std::string_view name)
{
    return fail(DeleteError::Refused, "\"" + toDisplayText(name) + "\" names no item of the store; nothing is deleted");
}

// Done when nothing is left at the path.
Deletion goneUnless(bool kept)
{
    if (kept)
        return fail(DeleteError::Kept, "it stays in the store");
    return {};
}

} // namespace

Deletion deleteVersion(const ProgramFolder& folder, std::string_view project, std::string_view version)
{
    if (version.empty())
        return {}; // no version chosen: nothing to delete
    if (!isStoredEntryName(project))
        return refused(project);
    if (!isStoredEntryName(version))
        return refused(version);
    const Result<OpenFolder> openedStore = OpenFolder::open(folder.store());
    if (!openedStore)
        return goneUnless(true);
    const OpenFolder& store = *openedStore;
    const std::string projectName(project);
    const Result<OpenFolder> openedDir = store.child(projectName, true);
    if (!openedDir) {
        // A link to a folder is not followed, so its versions stay ("DEL");
        // anything else there holds no version.
        const auto entry = store.entry(projectName);
        return goneUnless(entry && (entry->kind == EntryKind::Link || entry->kind == EntryKind::Folder));
    }
    const OpenFolder& dir = *openedDir;
    const std::string name(version);
    const auto entry = dir.entry(name);
    if (!entry || entry->kind == EntryKind::Folder)
        return {};
    if (!isReadOnlyAt(dir, name))
        static_cast<void>(dir.removeFile(name)); // told by what is left
    return goneUnless(dir.entry(name).has_value());
}

// Removes what a folder holds and then the folder, never following a link
// and leaving read-only files (and so the folders that hold them) in place.
static void removeTreeNotForced(const OpenFolder& parent, const std::string& name)
{
    {
        const Result<OpenFolder> opened = parent.child(name, true);
        if (!opened)
            return;
        const OpenFolder& dir = *opened;
        for (const std::string& entryName : dir.names()) {
            const auto entry = dir.entry(entryName);
            if (!entry)
                continue;
            if (entry->kind == EntryKind::Folder)
                removeTreeNotForced(dir, entryName);
            else if (!isReadOnlyAt(dir, entryName))
                static_cast<void>(dir.removeFile(entryName));
        }
    }
    // What could not be removed stays, and the folder that holds it with it.
    static_cast<void>(parent.removeFolder(name));
}

Deletion deleteProject(const ProgramFolder& folder, std::string_view project)
{
    if (!isStoredEntryName(project))
        return refused(project); // the path would be the store folder or above it, which stays
    const Result<OpenFolder> openedStore = OpenFolder::open(folder.store());
    if (!openedStore)
        return goneUnless(true);
    const OpenFolder& store = *openedStore;
    const std::string name(project);
    const auto entry = store.entry(name);
    if (!entry)
        return {};
    if (entry->kind == EntryKind::Folder)
        removeTreeNotForced(store, name);
    else if (entry->kind == EntryKind::Link)
        static_cast<void>(store.removeFile(name)); // the link goes, never what it leads to
    return goneUnless(store.entry(name).has_value());
}

} // namespace zorvika
