#include "history/history_store.h"

#include "base/file_io.h"
#include "base/line_reader.h"
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

std::optional<SnapshotCells> snapshotLineCells(std::string_view line)
{
    // The last eleven pieces are found from the end; whatever lies before
    // them is the path, which may hold colons itself. Nothing is kept per
    // colon, so a line of millions of colons costs no memory.
    SnapshotCells cells;
    std::size_t end = line.size();
    for (std::size_t k = kColumnCount - 1; k >= 1; --k) {
        const auto colon = end == 0 ? std::string_view::npos : line.rfind(':', end - 1);
        if (colon == std::string_view::npos)
            return std::nullopt;
        cells[k] = line.substr(colon + 1, end - colon - 1);
        end = colon;
    }
    cells[0] = line.substr(0, end);
    if (cells[0].find(':') != std::string_view::npos) {
        // More than twelve pieces: only a type text and ten figures (ten
        // empty ones for "Invalid") make the last eleven a row.
        if (!isModuleTypeText(cells[1]))
            return std::nullopt;
        const bool invalid = cells[1] == "Invalid";
        for (std::size_t k = 2; k < kColumnCount; ++k)
            if (invalid ? !cells[k].empty() : !parseFigure(cells[k]))
                return std::nullopt;
    }
    return cells;
}

static ModuleRow rowOf(const SnapshotCells& cells)
{
    ModuleRow row;
    for (std::size_t k = 0; k < kColumnCount; ++k)
        row.cells[k] = std::string(cells[k]);
    return row;
}

std::optional<ModuleRow> parseSnapshotLine(std::string_view line)
{
    const auto cells = snapshotLineCells(line);
    if (!cells)
        return std::nullopt;
    return rowOf(*cells);
}

namespace {

// A snapshot's text as the program reads it: valid UTF-8 as it is (no
// copy), anything else converted from Windows-1252 into `converted`.
std::string_view decodedSnapshot(std::string_view bytes, std::string& converted)
{
    bytes = withoutUtf8Bom(bytes); // a snapshot saved again by a Windows editor
    if (isValidUtf8(bytes))
        return bytes;
    converted = windows1252ToUtf8(bytes);
    return converted;
}

template <typename OnRow>
std::string scanDecoded(std::string_view text, std::string_view total2Text, OnRow&& onRow)
{
    std::string_view last;
    forEachLine(text, [&](std::string_view line) {
        last = line;
        if (const auto cells = snapshotLineCells(line))
            onRow(*cells);
    });
    if (last.substr(0, last.find(':')) == total2Text)
        return std::string(last);
    return {};
}

} // namespace

std::string scanSnapshot(std::string_view bytes, std::string_view total2Text,
                         const std::function<void(const SnapshotCells&)>& onRow)
{
    std::string converted;
    return scanDecoded(decodedSnapshot(bytes, converted), total2Text, onRow);
}

Snapshot snapshotFromText(std::string_view bytes, std::string_view total2Text)
{
    std::string converted;
    const std::string_view text = decodedSnapshot(bytes, converted);
    Snapshot snapshot;
    // Counted first, so that the rows take exactly their room.
    std::size_t count = 0;
    scanDecoded(text, total2Text, [&](const SnapshotCells&) { ++count; });
    snapshot.rows.reserve(count);
    snapshot.totalsLabel = scanDecoded(text, total2Text,
                                       [&](const SnapshotCells& cells) { snapshot.rows.push_back(rowOf(cells)); });
    return snapshot;
}

fs::path snapshotFile(const ProgramFolder& folder, std::string_view project, std::string_view version)
{
    return folder.store() / pathFromUtf8(project) / pathFromUtf8(version);
}

std::string readSnapshotBytes(const ProgramFolder& folder, std::string_view project, std::string_view version,
                              std::string* error)
{
    const fs::path file = snapshotFile(folder, project, version);
    if (!isStoredEntryName(project) || !isStoredEntryName(version)) {
        if (error)
            *error = readFailure(ReadKind::Missing).about(file.string()).reason;
        return {};
    }
    Result<std::string, ReadKind> bytes = readRegularFile(file);
    if (!bytes) {
        if (error)
            *error = bytes.failure().about(file.string()).reason;
        return {};
    }
    return std::move(*bytes);
}

SnapshotText::SnapshotText(const ProgramFolder& folder, std::string_view project, std::string_view version,
                           std::string_view total2Text)
    : bytes_(readSnapshotBytes(folder, project, version, &error_))
{
    const std::string_view text = decodedSnapshot(bytes_, converted_);
    std::size_t count = 0;
    scanDecoded(text, total2Text, [&](const SnapshotCells&) { ++count; });
    rows_.reserve(count);
    totalsLabel_ = scanDecoded(text, total2Text, [&](const SnapshotCells& cells) { rows_.push_back(cells); });
}

std::string readSnapshotTail(const ProgramFolder& folder, std::string_view project, std::string_view version,
                             std::size_t maxBytes, bool& wholeFile)
{
    wholeFile = false;
    if (!isStoredEntryName(project) || !isStoredEntryName(version))
        return {};
    const fs::path file = snapshotFile(folder, project, version);
    const Result<OpenedFile, ReadKind> opened = openRegularFile(file);
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

Snapshot loadSnapshot(const ProgramFolder& folder, std::string_view project, std::string_view version,
                      std::string_view total2Text)
{
    std::string error;
    const std::string bytes = readSnapshotBytes(folder, project, version, &error);
    if (!error.empty()) {
        Snapshot failed;
        failed.error = std::move(error);
        return failed;
    }
    return snapshotFromText(bytes, total2Text);
}

static bool isReadOnlyAt(const OpenFolder& folder, const std::string& name)
{
    const auto entry = folder.entry(name);
    return entry && entry->kind != EntryKind::Link && entry->readOnly;
}

namespace {

DeleteResult refused(std::string_view name)
{
    return {false, "\"" + toDisplayText(name) + "\" names no item of the store; nothing is deleted"};
}

} // namespace

DeleteResult deleteVersion(const ProgramFolder& folder, std::string_view project, std::string_view version)
{
    if (version.empty())
        return {true, {}}; // no version chosen: nothing to delete
    if (!isStoredEntryName(project))
        return refused(project);
    if (!isStoredEntryName(version))
        return refused(version);
    const Result<OpenFolder> openedStore = OpenFolder::open(folder.store());
    if (!openedStore)
        return {false, {}};
    const OpenFolder& store = *openedStore;
    const std::string projectName(project);
    const Result<OpenFolder> openedDir = store.child(projectName, true);
    if (!openedDir) {
        // A link to a folder is not followed, so its versions stay ("DEL");
        // anything else there holds no version.
        const auto entry = store.entry(projectName);
        if (!entry)
            return {true, {}};
        return {entry->kind != EntryKind::Link && entry->kind != EntryKind::Folder, {}};
    }
    const OpenFolder& dir = *openedDir;
    const std::string name(version);
    const auto entry = dir.entry(name);
    if (!entry || entry->kind == EntryKind::Folder)
        return {true, {}};
    if (!isReadOnlyAt(dir, name))
        static_cast<void>(dir.removeFile(name)); // told by what is left
    return {!dir.entry(name), {}};
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

DeleteResult deleteProject(const ProgramFolder& folder, std::string_view project)
{
    if (!isStoredEntryName(project))
        return refused(project); // the path would be the store folder or above it, which stays
    const Result<OpenFolder> openedStore = OpenFolder::open(folder.store());
    if (!openedStore)
        return {false, {}};
    const OpenFolder& store = *openedStore;
    const std::string name(project);
    const auto entry = store.entry(name);
    if (!entry)
        return {true, {}};
    if (entry->kind == EntryKind::Folder)
        removeTreeNotForced(store, name);
    else if (entry->kind == EntryKind::Link)
        static_cast<void>(store.removeFile(name)); // the link goes, never what it leads to
    return {!store.entry(name), {}};
}

} // namespace zorvika
