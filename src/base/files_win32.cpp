// Files on Windows: descriptors of the C library made over the system's
// handles, what a handle's file is, and the system's codes as errno values.
#include "base/shared_win32.h"
#include "base/system_files.h"

#include "base/system_failure.h"
#include "base/system_paths.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <io.h>

namespace zorvika {

namespace fs = std::filesystem;

int errnoOf(unsigned long error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_PRIVILEGE_NOT_HELD:
        return EACCES;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_DIRECTORY:
        return ENOTDIR;
    case ERROR_DIR_NOT_EMPTY:
        return ENOTEMPTY;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return ENOMEM;
    case ERROR_WRITE_PROTECT:
        return EROFS;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    case ERROR_CANT_RESOLVE_FILENAME:
        return ELOOP;
    case ERROR_BROKEN_PIPE:
    case ERROR_NO_DATA:
        return EPIPE;
    case ERROR_INVALID_HANDLE:
        return EBADF;
    default:
        return EIO;
    }
}

int lastErrno()
{
    const int e = errnoOf(::GetLastError());
    errno = e;
    return e;
}

Failure<> lastFailure() { return systemFailure(lastErrno()); }

namespace {

constexpr std::int64_t kUnixEpochIn100ns = 116444736000000000LL;

EntryInfo infoFromHandle(HANDLE h)
{
    EntryInfo info;
    const DWORD type = ::GetFileType(h);
    if (type != FILE_TYPE_DISK)
        return info; // a pipe, a console, a device: Other
    BY_HANDLE_FILE_INFORMATION data {};
    if (!::GetFileInformationByHandle(h, &data))
        return info;
    const DWORD a = data.dwFileAttributes;
    info.kind = (a & FILE_ATTRIBUTE_REPARSE_POINT) ? EntryKind::Link
                : (a & FILE_ATTRIBUTE_DIRECTORY)  ? EntryKind::Folder
                                                  : EntryKind::File;
    info.readOnly = (a & FILE_ATTRIBUTE_READONLY) != 0 && info.kind == EntryKind::File;
    info.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    info.device = data.dwVolumeSerialNumber;
    info.fileId = (static_cast<std::uint64_t>(data.nFileIndexHigh) << 32) | data.nFileIndexLow;
    const std::int64_t written = static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime);
    info.seconds = (written - kUnixEpochIn100ns) / 10000000;
    info.nanoseconds = ((written - kUnixEpochIn100ns) % 10000000) * 100;
    return info;
}

} // namespace

std::optional<EntryInfo> queryPath(const fs::path& path, bool follow)
{
    const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (follow ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    const HANDLE h = ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                   flags, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        lastErrno();
        return std::nullopt;
    }
    const EntryInfo info = infoFromHandle(h);
    ::CloseHandle(h);
    return info;
}

Result<FileHandle> descriptorOf(void* h, int flags)
{
    if (h == INVALID_HANDLE_VALUE)
        return lastFailure();
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(h), flags | _O_BINARY);
    if (fd < 0) {
        ::CloseHandle(h);
        return systemFailure(EMFILE);
    }
    return FileHandle(fd);
}

void FileHandle::reset(int fd)
{
    if (fd_ >= 0)
        ::_close(fd_);
    fd_ = fd;
}

Outcome FileHandle::close()
{
    const int fd = release();
    if (fd >= 0 && ::_close(fd) != 0)
        return systemFailure(errno);
    return {};
}

Result<FileHandle> openForReading(const fs::path& path)
{
    // Backup semantics open a folder too, which is then refused as not
    // regular, as on other systems.
    return descriptorOf(::CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr),
                        _O_RDONLY);
}

Result<FileHandle> openForReading(const char* utf8Path) { return openForReading(pathFromUtf8(utf8Path)); }

Result<FileHandle> openForWriting(const fs::path& path)
{
    return descriptorOf(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr),
                        _O_WRONLY);
}

std::optional<EntryInfo> infoOf(int fd)
{
    const auto h = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
    if (h == INVALID_HANDLE_VALUE) {
        errno = EBADF;
        return std::nullopt;
    }
    return infoFromHandle(h);
}

std::optional<EntryInfo> entryInfo(const fs::path& path) { return queryPath(path, false); }

std::optional<EntryInfo> followedInfo(const fs::path& path) { return queryPath(path, true); }

bool sameFile(const EntryInfo& a, const EntryInfo& b)
{
    return a.kind != EntryKind::Other && a.device == b.device && a.fileId == b.fileId && a.fileId != 0;
}

bool isRunnableFile(const fs::path& path)
{
    const auto info = followedInfo(path);
    return info && info->kind == EntryKind::File;
}

Result<std::size_t> readAt(int fd, char* data, std::size_t size, std::uint64_t offset)
{
    const auto h = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
    OVERLAPPED at {};
    at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    if (!::ReadFile(h, data, want, &got, &at)) {
        if (::GetLastError() == ERROR_HANDLE_EOF)
            return std::size_t{0};
        return lastFailure();
    }
    return static_cast<std::size_t>(got);
}

Result<std::size_t> readSome(int fd, char* data, std::size_t size)
{
    const int n = ::_read(fd, data, static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30)));
    if (n < 0)
        return systemFailure(errno);
    return static_cast<std::size_t>(n);
}

Result<std::size_t> writeSome(int fd, const char* data, std::size_t size)
{
    const int n = ::_write(fd, data, static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30)));
    if (n < 0)
        return systemFailure(errno);
    return static_cast<std::size_t>(n);
}

Outcome flushToDisk(int fd)
{
    if (::_commit(fd) != 0)
        return systemFailure(errno);
    return {};
}

void setPermissions(int, unsigned) {}

Outcome removeFileAt(const fs::path& path)
{
    if (!::DeleteFileW(path.c_str()))
        return lastFailure();
    return {};
}

bool isTerminal(int fd) { return ::_isatty(fd) != 0; }

int standardOutput() { return 1; }

int standardError() { return 2; }

} // namespace zorvika
