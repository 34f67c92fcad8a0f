#include "base/file_io.h"

#include "base/interrupt_cleanup.h"
#include "base/system_paths.h"
#include "base/system_processes.h"

#include <cerrno>
#include <random>

namespace zorvika {

namespace fs = std::filesystem;

Failure<ReadError> readFailure(ReadError kind)
{
    switch (kind) {
    case ReadError::Missing:
        return fail(Cause::NoSuchFile, "no such file").as(kind);
    case ReadError::NotRegular:
        return fail(Cause::NotRegularFile, "not a regular file").as(kind);
    case ReadError::TooLarge:
        return fail(kind, "too large (over " + std::to_string(kMaxWholeFileSize >> 20) + " MiB)");
    case ReadError::Unreadable:
        break;
    }
    return fail(ReadError::Unreadable, "cannot be read");
}

// A file that cannot be read because of `why`: a refused permission stays
// its cause.
static Failure<ReadError> unreadable(const Failure<>& why)
{
    Failure<ReadError> failure = readFailure(ReadError::Unreadable);
    if (why.cause == Cause::PermissionDenied) {
        failure.cause = why.cause;
        failure.causeAt = 0;
    }
    return failure;
}

// The one road of both forms of a path.
static Result<OpenedFile, ReadError> openedRegularFile(Result<FileHandle> fd)
{
    if (!fd)
        return fd.failure().cause == Cause::NoSuchFile ? readFailure(ReadError::Missing) : unreadable(fd.failure());
    // A pipe, a device or a folder is refused here, before any read.
    const std::optional<EntryInfo> opened = infoOf(fd->get());
    if (!opened || opened->kind != EntryKind::File)
        return readFailure(opened ? ReadError::NotRegular : ReadError::Unreadable);
    return OpenedFile{std::move(*fd), *opened};
}

Result<OpenedFile, ReadError> openRegularFile(const fs::path& path) { return openedRegularFile(openForReading(path)); }

Result<OpenedFile, ReadError> openRegularFile(const char* utf8Path)
{
    return openedRegularFile(openForReading(utf8Path));
}

Result<std::string, ReadError> readRegularFile(const fs::path& path, std::uint64_t limit)
{
    const Result<OpenedFile, ReadError> opened = openRegularFile(path);
    if (!opened)
        return opened.failure();
    if (opened->info.size > limit)
        return readFailure(ReadError::TooLarge);
    const int fd = opened->handle.get();
    std::string out(static_cast<std::size_t>(opened->info.size), '\0');
    std::size_t got = 0;
    for (;;) {
        std::size_t n = 0;
        if (got < out.size()) {
            const Result<std::size_t> r = readSome(fd, out.data() + got, out.size() - got);
            if (!r)
                return unreadable(r.failure());
            n = *r;
        } else {
            // At the size the file had when it was opened: a small read
            // finds the end (or what it grew by) without doubling the text.
            char more[16384];
            const Result<std::size_t> r = readSome(fd, more, sizeof more);
            if (!r)
                return unreadable(r.failure());
            n = *r;
            if (got + n > limit)
                return readFailure(ReadError::TooLarge);
            out.append(more, n);
        }
        if (n == 0)
            break;
        got += n;
    }
    out.resize(got);
    return out;
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

Outcome writeAll(int fd, std::string_view data)
{
    const char* p = data.data();
    std::size_t left = data.size();
    while (left > 0) {
        const Result<std::size_t> w = writeSome(fd, p, left);
        if (!w)
            return w.failure();
        if (*w == 0)
            return systemFailure(EIO);
        p += *w;
        left -= *w;
    }
    return {};
}

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
        Result<FileHandle, MakeError> made = tempDir.createNew(tempName);
        if (made)
            fd = std::move(*made);
        else if (made.kind() != MakeError::Exists)
            return made.failure().as(Failed::Failed);
    }
    if (!fd)
        return systemFailure(EEXIST);
    CleanupEntry entry(CleanupKind::File, tempDir.path() / tempName);
    lock.unlock();

    auto discard = [&](const Outcome& failed) {
        fd.reset();
        const auto relock = cleanupLock();
        static_cast<void>(tempDir.removeFile(tempName));
        entry.dropLocked();
        return failed;
    };
    if (const Outcome written = writeAll(fd.get(), data); !written)
        return discard(written);
    // Keep the mode of a regular file that is replaced.
    if (old && old->kind == EntryKind::File)
        setPermissions(fd.get(), old->permissions);
    // Where the whole file system cannot be flushed at the end of a run
    // (Windows), each stored file is flushed on its own.
    const bool flushNow = durability == Durability::Synced
                          || (kWindowsFileSystem && durability == Durability::Unsynced);
    if (flushNow) {
        if (const Outcome flushed = flushToDisk(fd.get()); !flushed)
            return discard(flushed);
    }
    if (const Outcome closed = fd.close(); !closed)
        return discard(closed);
    lock.lock();
    if (const Outcome renamed = tempDir.renameTo(tempName, targetDir, name); !renamed) {
        static_cast<void>(tempDir.removeFile(tempName));
        entry.dropLocked();
        return renamed;
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
    const Result<OpenFolder> folder = OpenFolder::open(path);
    if (!folder)
        return folder.failure();
    return folder->flushFileSystem();
}

Outcome writeFileAtomically(const fs::path& target, std::string_view data, const fs::path& tempDir,
                            Durability durability)
{
    const fs::path targetFolder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    const fs::path tempFolder = tempDir.empty() ? targetFolder : tempDir;
    const std::string name = utf8Of(target.filename());
    if (name.empty() || name == "." || name == "..")
        return systemFailure(EISDIR);
    const Result<OpenFolder> targetDir = OpenFolder::open(targetFolder);
    if (!targetDir)
        return targetDir.failure();
    if (tempDir.empty())
        return writeFileBetween(*targetDir, *targetDir, name, data, durability);
    const Result<OpenFolder> tempDirHandle = OpenFolder::open(tempFolder);
    if (!tempDirHandle)
        return tempDirHandle.failure();
    return writeFileBetween(*tempDirHandle, *targetDir, name, data, durability);
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
            const Result<FileHandle> fd = openForWriting(target);
            if (!fd)
                return fd.failure();
            return writeAll(fd->get(), data);
        }
    }
    fs::path real;
    if (Outcome followed = followLinks(target, real); !followed)
        return followed;
    return writeFileAtomically(real, data);
}

} // namespace zorvika
