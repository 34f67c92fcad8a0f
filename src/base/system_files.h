#pragma once
// Files as the system has them: descriptors that close themselves, what a
// file or a link is, reading and writing bytes, flushing them to the disk.
// A call that fails gives the system's reason (see `systemFailure`).
#include "base/result.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>

namespace zorvika {

// A descriptor of the C library that is closed when it goes out of scope.
class FileHandle {
public:
    FileHandle() = default;
    explicit FileHandle(int fd) : fd_(fd) {}
    ~FileHandle() { reset(); }
    FileHandle(FileHandle&& other) noexcept : fd_(other.release()) {}
    FileHandle& operator=(FileHandle&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    int release()
    {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
    void reset(int fd = -1);
    // Closes now; a failure to close (data the disk did not take) is told.
    Outcome close();

private:
    int fd_ = -1;
};

enum class EntryKind { File, Folder, Link, Other };

// What the system tells of a file or folder, links not followed.
struct EntryInfo {
    EntryKind kind = EntryKind::Other;
    bool readOnly = false;          // no write permission for anyone
    std::uint64_t size = 0;
    // Together they tell one file from another and a changed file from an
    // unchanged one.
    std::uint64_t device = 0, fileId = 0;
    std::int64_t seconds = 0, nanoseconds = 0;
    unsigned permissions = 0;       // POSIX mode bits; 0 where there are none
};

// Opens a file for reading without waiting on a pipe or a device and
// without making a terminal the controlling one.
Result<FileHandle> openForReading(const std::filesystem::path& path);
// The same for a UTF-8 path given as text: no path object is made (the
// module scan opens thousands of files this way).
Result<FileHandle> openForReading(const char* utf8Path);
// Opens an existing file (a pipe or a device) for writing.
Result<FileHandle> openForWriting(const std::filesystem::path& path);

// What the descriptor's file is; nothing when it is no open descriptor.
std::optional<EntryInfo> infoOf(int fd);
// What `path` is, links not followed; nothing when nothing is there (or it
// cannot be looked at).
std::optional<EntryInfo> entryInfo(const std::filesystem::path& path);
// What `path` is, links followed.
std::optional<EntryInfo> followedInfo(const std::filesystem::path& path);
// Whether two descriptors or paths are one and the same file.
bool sameFile(const EntryInfo& a, const EntryInfo& b);
// Whether `path` is a regular file this process may run.
bool isRunnableFile(const std::filesystem::path& path);

// Each reads or writes at most `size` bytes and gives the count (0 at the
// end of the file); a call the system interrupted is made again.
Result<std::size_t> readAt(int fd, char* data, std::size_t size, std::uint64_t offset);
Result<std::size_t> readSome(int fd, char* data, std::size_t size);
Result<std::size_t> writeSome(int fd, const char* data, std::size_t size);

// Flushes the file's data to the disk.
Outcome flushToDisk(int fd);
// Gives the file the permission bits `permissions` (nothing where there are none).
void setPermissions(int fd, unsigned permissions);
// Removes a file by its path.
Outcome removeFileAt(const std::filesystem::path& path);

// Whether the descriptor is a terminal (a console).
bool isTerminal(int fd);
// The descriptors of standard output and standard error.
int standardOutput();
int standardError();

} // namespace zorvika
