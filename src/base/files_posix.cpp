// Files on Linux and other POSIX systems: descriptors of the C library, the
// `stat` calls, and reads and writes made again when a signal interrupts
// them.
#include "base/system_files.h"

#include "base/shared_posix.h"
#include "base/system_failure.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zorvika {

namespace fs = std::filesystem;

namespace {

Result<FileHandle> opened(int fd)
{
    if (fd < 0)
        return systemFailure(errno);
    return FileHandle(fd);
}

// The count a read or write call gave, or the system's reason; `call` is
// made again while a signal interrupts it.
template <typename Call>
Result<std::size_t> transferred(Call call)
{
    for (;;) {
        const ssize_t n = call();
        if (n >= 0)
            return static_cast<std::size_t>(n);
        if (errno != EINTR)
            return systemFailure(errno);
    }
}

} // namespace

EntryInfo infoFromStat(const struct stat& st)
{
    EntryInfo info;
    info.kind = S_ISREG(st.st_mode) ? EntryKind::File
                : S_ISDIR(st.st_mode) ? EntryKind::Folder
                : S_ISLNK(st.st_mode) ? EntryKind::Link
                                      : EntryKind::Other;
    info.readOnly = (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
    info.size = st.st_size > 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
    info.device = static_cast<std::uint64_t>(st.st_dev);
    info.fileId = static_cast<std::uint64_t>(st.st_ino);
    info.seconds = static_cast<std::int64_t>(st.st_mtim.tv_sec);
    info.nanoseconds = static_cast<std::int64_t>(st.st_mtim.tv_nsec);
    info.permissions = static_cast<unsigned>(st.st_mode & 07777);
    return info;
}

void FileHandle::reset(int fd)
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = fd;
}

Outcome FileHandle::close()
{
    const int fd = release();
    if (fd >= 0 && ::close(fd) != 0)
        return systemFailure(errno);
    return {};
}

Result<FileHandle> openForReading(const char* utf8Path)
{
    // O_NONBLOCK: opening a FIFO must not wait for a writer. It has no
    // effect on reading a regular file.
    return opened(::open(utf8Path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
}

Result<FileHandle> openForReading(const fs::path& path) { return openForReading(path.c_str()); }

Result<FileHandle> openForWriting(const fs::path& path)
{
    return opened(::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY));
}

std::optional<EntryInfo> infoOf(int fd)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return std::nullopt;
    return infoFromStat(st);
}

std::optional<EntryInfo> entryInfo(const fs::path& path)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return std::nullopt;
    return infoFromStat(st);
}

std::optional<EntryInfo> followedInfo(const fs::path& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return infoFromStat(st);
}

bool sameFile(const EntryInfo& a, const EntryInfo& b) { return a.device == b.device && a.fileId == b.fileId; }

bool isRunnableFile(const fs::path& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

Result<std::size_t> readAt(int fd, char* data, std::size_t size, std::uint64_t offset)
{
    return transferred([&] { return ::pread(fd, data, size, static_cast<off_t>(offset)); });
}

Result<std::size_t> readSome(int fd, char* data, std::size_t size)
{
    return transferred([&] { return ::read(fd, data, size); });
}

Result<std::size_t> writeSome(int fd, const char* data, std::size_t size)
{
    return transferred([&] { return ::write(fd, data, size); });
}

Outcome flushToDisk(int fd)
{
    if (::fsync(fd) != 0)
        return systemFailure(errno);
    return {};
}

void setPermissions(int fd, unsigned permissions) { ::fchmod(fd, static_cast<mode_t>(permissions)); }

Outcome removeFileAt(const fs::path& path)
{
    if (::unlink(path.c_str()) != 0)
        return systemFailure(errno);
    return {};
}

bool isTerminal(int fd) { return ::isatty(fd) == 1; }

int standardOutput() { return STDOUT_FILENO; }

int standardError() { return STDERR_FILENO; }

} // namespace zorvika
