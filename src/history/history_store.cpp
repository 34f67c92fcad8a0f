#include "history/history_store.h"

#include "base/file_io.h"
#include "base/line_reader.h"
#include "base/program_folder.h"
#include "base/text_codec.h"
#include "output/snapshot_store.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zorvika {

namespace fs = std::filesystem;

static std::vector<std::string> listFolder(const fs::path& dir, bool folders)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
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
    if (!isStorableName(project))
        return {};
    return listFolder(folder.store() / std::string(project), false);
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

std::string readSnapshotBytes(const ProgramFolder& folder, std::string_view project, std::string_view version,
                              std::string* error)
{
    const fs::path file = folder.store() / std::string(project) / std::string(version);
    if (!isStorableName(project) || !isStorableName(version)) {
        if (error)
            *error = describeRead(file, ReadStatus::Missing);
        return {};
    }
    std::string bytes;
    const ReadStatus status = readRegularFile(file, bytes);
    if (status != ReadStatus::Ok) {
        if (error)
            *error = describeRead(file, status);
        return {};
    }
    return bytes;
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
    if (!isStorableName(project) || !isStorableName(version))
        return {};
    const fs::path file = folder.store() / std::string(project) / std::string(version);
    ReadStatus status;
    std::uint64_t size = 0;
    const FileHandle fd = openRegularFile(file, status, size);
    if (!fd)
        return {};
    const std::uint64_t from = size > maxBytes ? size - maxBytes : 0;
    std::string tail(static_cast<std::size_t>(size - from), '\0');
    std::size_t got = 0;
    while (got < tail.size()) {
        const ssize_t r = ::pread(fd.get(), tail.data() + got, tail.size() - got, static_cast<off_t>(from + got));
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            break;
        got += static_cast<std::size_t>(r);
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

static bool existsAt(int folder, const char* name)
{
    struct stat st {};
    return ::fstatat(folder, name, &st, AT_SYMLINK_NOFOLLOW) == 0;
}

static bool isReadOnlyAt(int folder, const char* name)
{
    struct stat st {};
    return ::fstatat(folder, name, &st, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISLNK(st.st_mode)
           && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

bool deleteVersion(const ProgramFolder& folder, std::string_view project, std::string_view version)
{
    if (!isStorableName(project) || !isStorableName(version))
        return true; // the path names a folder, not a file: nothing to delete
    const FileHandle store = openFolder(folder.store());
    if (!store)
        return false;
    const std::string projectName(project);
    const FileHandle dir = openFolderAt(store.get(), projectName, true);
    if (!dir) {
        // A link to a folder is not followed, so its versions stay ("DEL");
        // anything else there holds no version.
        struct stat st {};
        if (::fstatat(store.get(), projectName.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            return true;
        return !S_ISLNK(st.st_mode) && !S_ISDIR(st.st_mode);
    }
    const std::string name(version);
    struct stat st {};
    if (::fstatat(dir.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return true;
    if (S_ISDIR(st.st_mode))
        return true;
    if (!isReadOnlyAt(dir.get(), name.c_str()))
        ::unlinkat(dir.get(), name.c_str(), 0);
    return !existsAt(dir.get(), name.c_str());
}

// The names in a folder opened as a descriptor (the descriptor stays open).
static std::vector<std::string> namesIn(int folder)
{
    std::vector<std::string> names;
    DIR* d = ::fdopendir(::dup(folder));
    if (!d)
        return names;
    while (const dirent* e = ::readdir(d)) {
        const std::string_view name = e->d_name;
        if (name != "." && name != "..")
            names.emplace_back(name);
    }
    ::closedir(d);
    return names;
}

// Removes what a folder holds and then the folder, never following a link
// and leaving read-only files (and so the folders that hold them) in place.
static void removeTreeNotForced(int parent, const std::string& name)
{
    {
        const FileHandle dir = openFolderAt(parent, name, true);
        if (!dir)
            return;
        for (const std::string& entry : namesIn(dir.get())) {
            struct stat st {};
            if (::fstatat(dir.get(), entry.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
                continue;
            if (S_ISDIR(st.st_mode))
                removeTreeNotForced(dir.get(), entry);
            else if (!isReadOnlyAt(dir.get(), entry.c_str()))
                ::unlinkat(dir.get(), entry.c_str(), 0);
        }
    }
    ::unlinkat(parent, name.c_str(), AT_REMOVEDIR);
}

bool deleteProject(const ProgramFolder& folder, std::string_view project)
{
    if (!isStorableName(project))
        return false; // the tested path is the store folder or above it, which stays
    const FileHandle store = openFolder(folder.store());
    if (!store)
        return false;
    const std::string name(project);
    struct stat st {};
    if (::fstatat(store.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return true;
    if (S_ISDIR(st.st_mode))
        removeTreeNotForced(store.get(), name);
    else if (S_ISLNK(st.st_mode))
        ::unlinkat(store.get(), name.c_str(), 0); // the link goes, never what it leads to
    return !existsAt(store.get(), name.c_str());
}

} // namespace zorvika
