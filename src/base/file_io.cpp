#include "base/file_io.h"

#include "base/interrupt_cleanup.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

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

void FileHandle::reset(int fd)
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = fd;
}

FileHandle openFolder(const fs::path& path, bool noFollow)
{
    return FileHandle(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | (noFollow ? O_NOFOLLOW : 0)));
}

FileHandle openFolderAt(int parent, const std::string& name, bool noFollow)
{
    return FileHandle(::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | (noFollow ? O_NOFOLLOW : 0)));
}

FileHandle openRegularFile(const char* path, ReadStatus& status, struct stat& st)
{
    // O_NONBLOCK: opening a FIFO must not wait for a writer; it is then
    // refused by the fstat test below. It has no effect on reading a
    // regular file.
    FileHandle fd(::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!fd) {
        status = (errno == ENOENT || errno == ENOTDIR) ? ReadStatus::Missing : ReadStatus::Unreadable;
        return {};
    }
    st = {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        status = S_ISREG(st.st_mode) ? ReadStatus::Unreadable : ReadStatus::NotRegular;
        return {};
    }
    status = ReadStatus::Ok;
    return fd;
}

FileHandle openRegularFile(const fs::path& path, ReadStatus& status, std::uint64_t& size)
{
    struct stat st {};
    FileHandle fd = openRegularFile(path.c_str(), status, st);
    if (fd)
        size = st.st_size > 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
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
        ssize_t r;
        if (got < out.size()) {
            r = ::read(fd.get(), out.data() + got, out.size() - got);
        } else {
            // At the size the file had when it was opened: a small read
            // finds the end (or what it grew by) without doubling the text.
            char more[16384];
            r = ::read(fd.get(), more, sizeof more);
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
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool isReadOnlyFile(const fs::path& path)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return false;
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

static std::string randomSuffix()
{
    static thread_local std::mt19937_64 rng{std::random_device{}() ^ static_cast<unsigned long>(::getpid())};
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
        const ssize_t w = ::write(fd, p, left);
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

Outcome writeFileBetween(int tempDir, const fs::path& tempDirPath, int targetDir, const std::string& name,
                         std::string_view data, Durability durability)
{
    struct stat old {};
    const bool haveOld = ::fstatat(targetDir, name.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0;
    if (haveOld && S_ISDIR(old.st_mode))
        return systemFailure(EISDIR);
    if (durability != Durability::Scratch && haveOld && (old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return systemFailure(EACCES);

    // The temporary file is made and registered for removal on an interrupt
    // in one step, and renamed into place and dropped in another.
    auto lock = cleanupLock();
    std::string tempName;
    FileHandle fd;
    for (int attempt = 0; attempt < 16 && !fd; ++attempt) {
        tempName = std::string(kTempFilePrefix) + randomSuffix();
        fd.reset(::openat(tempDir, tempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666));
        if (!fd && errno != EEXIST)
            return systemFailure(errno);
    }
    if (!fd)
        return systemFailure(EEXIST);
    CleanupEntry entry(CleanupKind::File, (tempDirPath / tempName).string());
    lock.unlock();

    auto discard = [&](int err) {
        fd.reset();
        const auto relock = cleanupLock();
        ::unlinkat(tempDir, tempName.c_str(), 0);
        entry.dropLocked();
        return systemFailure(err);
    };
    if (!writeAllBytes(fd.get(), data))
        return discard(errno);
    // Keep the mode of a regular file that is replaced.
    if (haveOld && S_ISREG(old.st_mode))
        ::fchmod(fd.get(), old.st_mode & 07777);
    if (durability == Durability::Synced && ::fsync(fd.get()) != 0)
        return discard(errno);
    if (::close(fd.release()) != 0)
        return discard(errno);
    lock.lock();
    if (::renameat(tempDir, tempName.c_str(), targetDir, name.c_str()) != 0) {
        const int err = errno;
        ::unlinkat(tempDir, tempName.c_str(), 0);
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
    const FileHandle fd = openFolder(path);
    if (!fd || ::syncfs(fd.get()) != 0)
        return systemFailure(errno);
    return {};
}

Outcome writeFileAtomically(const fs::path& target, std::string_view data, const fs::path& tempDir,
                            Durability durability)
{
    const fs::path targetFolder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    const fs::path tempFolder = tempDir.empty() ? targetFolder : tempDir;
    const std::string name = target.filename().string();
    if (name.empty() || name == "." || name == "..")
        return systemFailure(EISDIR);
    const FileHandle targetDir = openFolder(targetFolder);
    if (!targetDir)
        return systemFailure(errno);
    const FileHandle tempDirHandle = tempDir.empty() ? FileHandle() : openFolder(tempFolder);
    if (!tempDir.empty() && !tempDirHandle)
        return systemFailure(errno);
    return writeFileBetween(tempDir.empty() ? targetDir.get() : tempDirHandle.get(), tempFolder, targetDir.get(), name,
                            data, durability);
}

// The path a chain of symbolic links ends at (the path itself when it is no
// link); a link that points nowhere yet still gives where it points.
static Outcome followLinks(fs::path path, fs::path& out)
{
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
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
        return writeAll(STDOUT_FILENO, data);
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) {
        struct stat out {};
        const bool isStandardOutput = ::fstat(STDOUT_FILENO, &out) == 0 && out.st_dev == st.st_dev
                                      && out.st_ino == st.st_ino;
        if (isStandardOutput)
            return writeAll(STDOUT_FILENO, data);
        if (S_ISDIR(st.st_mode))
            return systemFailure(EISDIR);
        if (!S_ISREG(st.st_mode)) {
            // A pipe or a device takes the bytes as they come; nothing is
            // renamed over it.
            const FileHandle fd(::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY));
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
