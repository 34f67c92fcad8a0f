#include "base/file_io.h"

#include "base/interrupt_cleanup.h"

#include <cerrno>
#include <cstring>
#include <random>

namespace zorvika {

namespace fs = std::filesystem;

std::string systemReason(int errnoValue)
{
    return std::strerror(errnoValue);
}

std::string describeRead(const fs::path& path, ReadStatus status)
{
    switch (status) {
    case ReadStatus::Ok:
        return path.string();
    case ReadStatus::Missing:
        return path.string() + ": no such file";
    case ReadStatus::NotRegular:
        return path.string() + ": not a regular file";
    case ReadStatus::TooLarge:
        return path.string() + ": too large (over " + std::to_string(kMaxWholeFileSize >> 20) + " MiB)";
    case ReadStatus::Unreadable:
        break;
    }
    return path.string() + ": cannot be read";
}

// The one road of both forms of a path.
static FileHandle openedRegularFile(FileHandle fd, ReadStatus& status, EntryInfo& info)
{
    if (!fd) {
        status = (errno == ENOENT || errno == ENOTDIR) ? ReadStatus::Missing : ReadStatus::Unreadable;
        return {};
    }
    // A pipe, a device or a folder is refused here, before any read.
    const std::optional<EntryInfo> opened = infoOf(fd.get());
    if (!opened || opened->kind != EntryKind::File) {
        status = opened ? ReadStatus::NotRegular : ReadStatus::Unreadable;
        return {};
    }
    info = *opened;
    status = ReadStatus::Ok;
    return fd;
}

FileHandle openRegularFile(const fs::path& path, ReadStatus& status, EntryInfo& info)
{
    return openedRegularFile(openForReading(path), status, info);
}

FileHandle openRegularFile(const char* utf8Path, ReadStatus& status, EntryInfo& info)
{
    return openedRegularFile(openForReading(utf8Path), status, info);
}

FileHandle openRegularFile(const fs::path& path, ReadStatus& status, std::uint64_t& size)
{
    EntryInfo info;
    FileHandle fd = openRegularFile(path, status, info);
    if (fd)
        size = info.size;
    return fd;
}

ReadStatus readRegularFile(const fs::path& path, std::string& out, std::uint64_t limit)
{
    out.clear();
    ReadStatus status;
    std::uint64_t size = 0;
    const FileHandle fd = openRegularFile(path, status, size);
    if (!fd)
        return status;
    if (size > limit)
        return ReadStatus::TooLarge;
    out.resize(static_cast<std::size_t>(size));
    std::size_t got = 0;
    for (;;) {
        long long r;
        if (got < out.size()) {
            r = readSome(fd.get(), out.data() + got, out.size() - got);
        } else {
            // At the size the file had when it was opened: a small read
            // finds the end (or what it grew by) without doubling the text.
            char more[16384];
            r = readSome(fd.get(), more, sizeof more);
            if (r > 0) {
                if (got + static_cast<std::size_t>(r) > limit) {
                    out.clear();
                    return ReadStatus::TooLarge;
                }
                out.append(more, static_cast<std::size_t>(r));
            }
        }
        if (r < 0) {
            if (errno == EINTR)
                continue;
            out.clear();
            return ReadStatus::Unreadable;
        }
        if (r == 0)
            break;
        got += static_cast<std::size_t>(r);
    }
    out.resize(got);
    return ReadStatus::Ok;
}

bool isRegularFile(const fs::path& path)
{
    const auto info = followedInfo(path);
    return info && info->kind == EntryKind::File;
}

bool isReadOnlyFile(const fs::path& path)
{
    const auto info = entryInfo(path);
    return info && info->readOnly;
}

static std::string randomSuffix()
{
    static thread_local std::mt19937_64 rng{std::random_device{}() ^ processNumber()};
    static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string s;
    for (int i = 0; i < 12; ++i)
        s += digits[rng() % 36];
    return s;
}

// Writes all of `data`; false with errno set otherwise.
static bool writeAllBytes(int fd, std::string_view data)
{
    const char* p = data.data();
    std::size_t left = data.size();
    while (left > 0) {
        const long long w = writeSome(fd, p, left);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0) {
            if (w == 0)
                errno = EIO;
            return false;
        }
        p += w;
        left -= static_cast<std::size_t>(w);
    }
    return true;
}

Outcome writeAll(int fd, std::string_view data)
{
    return writeAllBytes(fd, data) ? Outcome() : systemFailure(errno);
}

Outcome systemFailure(int errnoValue) { return Outcome::failure(systemReason(errnoValue)); }

Outcome writeFileBetween(const OpenFolder& tempDir, const OpenFolder& targetDir, const std::string& name,
                         std::string_view data, Durability durability)
{
    const std::optional<EntryInfo> old = targetDir.entry(name);
    if (old && old->kind == EntryKind::Folder)
        return systemFailure(EISDIR);
    if (durability != Durability::Scratch && old && old->readOnly)
        return systemFailure(EACCES);

    // The temporary file is made and registered for removal on an interrupt
    // in one step, and renamed into place and dropped in another.
    auto lock = cleanupLock();
    std::string tempName;
    FileHandle fd;
    for (int attempt = 0; attempt < 16 && !fd; ++attempt) {
        tempName = std::string(kTempFilePrefix) + randomSuffix();
        int error = 0;
        fd = tempDir.createNew(tempName, error);
        if (!fd && error != EEXIST)
            return systemFailure(error);
    }
    if (!fd)
        return systemFailure(EEXIST);
    CleanupEntry entry(CleanupKind::File, tempDir.path() / tempName);
    lock.unlock();

    auto discard = [&](int err) {
        fd.reset();
        const auto relock = cleanupLock();
        tempDir.removeFile(tempName);
        entry.dropLocked();
        return systemFailure(err);
    };
    if (!writeAllBytes(fd.get(), data))
        return discard(errno);
    // Keep the mode of a regular file that is replaced.
    if (old && old->kind == EntryKind::File)
        setPermissions(fd.get(), old->permissions);
    // Where the whole file system cannot be flushed at the end of a run
    // (Windows), each stored file is flushed on its own.
    const bool flushNow = durability == Durability::Synced
                          || (kWindowsFileSystem && durability == Durability::Unsynced);
    if (flushNow) {
        if (const int err = flushToDisk(fd.get()); err != 0)
            return discard(err);
    }
    if (const int err = fd.close(); err != 0)
        return discard(err);
    lock.lock();
    if (const int err = tempDir.renameTo(tempName, targetDir, name); err != 0) {
        tempDir.removeFile(tempName);
        entry.dropLocked();
        return systemFailure(err);
    }
    entry.dropLocked();
    return {};
}

void removeFolderTree(const fs::path& folder)
{
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
        if (!it->is_symlink())
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(folder, ec);
}

Outcome syncFileSystem(const fs::path& path)
{
    const OpenFolder folder = OpenFolder::open(path);
    if (!folder)
        return systemFailure(errno);
    if (const int err = folder.flushFileSystem(); err != 0)
        return systemFailure(err);
    return {};
}

Outcome writeFileAtomically(const fs::path& target, std::string_view data, const fs::path& tempDir,
                            Durability durability)
{
    const fs::path targetFolder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    const fs::path tempFolder = tempDir.empty() ? targetFolder : tempDir;
    const std::string name = utf8Of(target.filename());
    if (name.empty() || name == "." || name == "..")
        return systemFailure(EISDIR);
    const OpenFolder targetDir = OpenFolder::open(targetFolder);
    if (!targetDir)
        return systemFailure(errno);
    const OpenFolder tempDirHandle = tempDir.empty() ? OpenFolder() : OpenFolder::open(tempFolder);
    if (!tempDir.empty() && !tempDirHandle)
        return systemFailure(errno);
    return writeFileBetween(tempDir.empty() ? targetDir : tempDirHandle, targetDir, name, data, durability);
}

// The path a chain of symbolic links ends at (the path itself when it is no
// link); a link that points nowhere yet still gives where it points.
static Outcome followLinks(fs::path path, fs::path& out)
{
    for (int hops = 0; hops < 40; ++hops) {
        const auto info = entryInfo(path);
        if (!info || info->kind != EntryKind::Link) {
            out = path;
            return {};
        }
        std::error_code ec;
        const fs::path next = fs::read_symlink(path, ec);
        if (ec)
            return systemFailure(ec.value());
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return systemFailure(ELOOP);
}

Outcome writeOutputFile(const fs::path& target, std::string_view data)
{
    if (target == "-")
        return writeAll(standardOutput(), data);
    if (const auto info = followedInfo(target)) {
        const auto out = infoOf(standardOutput());
        if (out && sameFile(*out, *info))
            return writeAll(standardOutput(), data);
        if (info->kind == EntryKind::Folder)
            return systemFailure(EISDIR);
        if (info->kind != EntryKind::File) {
            // A pipe or a device takes the bytes as they come; nothing is
            // renamed over it.
            const FileHandle fd = openForWriting(target);
            if (!fd)
                return systemFailure(errno);
            return writeAll(fd.get(), data);
        }
    }
    fs::path real;
    if (Outcome followed = followLinks(target, real); !followed)
        return followed;
    return writeFileAtomically(real, data);
}

} // namespace zorvika
