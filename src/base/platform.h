#pragma once
// What the program needs from the operating system, in one place: files and
// folders without following links, replacing a file by a rename, flushing,
// the local time, the program's own path, terminals and the console's
// character set. One implementation serves POSIX systems, another Windows;
// the build chooses one. Everything else in the program is written against
// this interface and never calls the system itself.
//
// Texts are UTF-8 everywhere inside the program; paths are converted only
// here. Errors are errno values on both systems (Windows' own codes are
// translated), so that `systemReason` words them alike.
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvika {

#ifdef _WIN32
inline constexpr bool kWindowsFileSystem = true;
#else
inline constexpr bool kWindowsFileSystem = false;
#endif

// Whether the file system finds a name whatever its letter case (Windows):
// then a path written in another case needs no search of its own.
inline constexpr bool kFileNamesIgnoreCase = kWindowsFileSystem;
// Whether "C:\..." is an absolute path of this system.
inline constexpr bool kDriveLetterPaths = kWindowsFileSystem;

// A path from UTF-8 text, and the UTF-8 text of a path.
std::filesystem::path pathFromUtf8(std::string_view utf8);
std::string utf8Of(const std::filesystem::path& path);

// The path of an existing folder as a library that opens files with the C
// library's narrow calls needs it (on Windows, those read the ANSI page: an
// ASCII path, or the folder's short name); nothing when there is none.
std::optional<std::string> narrowFolderPath(const std::filesystem::path& folder);

// Whether the system can store `name` as one file or folder name (beyond
// the program's own rules): Windows refuses device names such as "CON" or
// "LPT1" (with any extension), the characters <>:"|?* and a trailing dot
// or space.
bool systemAcceptsFileName(std::string_view name);

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
    // Closes now, giving errno's value when closing failed (0 otherwise).
    int close();

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
// without making a terminal the controlling one; -1 and errno otherwise.
FileHandle openForReading(const std::filesystem::path& path);
// The same for a UTF-8 path given as text: no path object is made (the
// module scan opens thousands of files this way).
FileHandle openForReading(const char* utf8Path);
// What the descriptor's file is.
std::optional<EntryInfo> infoOf(int fd);
// What `path` is, links not followed; nothing (and errno) when it is not there.
std::optional<EntryInfo> entryInfo(const std::filesystem::path& path);
// What `path` is, links followed.
std::optional<EntryInfo> followedInfo(const std::filesystem::path& path);
// Reads at most `size` bytes at `offset`; the count read, or -1 and errno.
long long readAt(int fd, char* data, std::size_t size, std::uint64_t offset);
// Reads at most `size` bytes; the count read, or -1 and errno.
long long readSome(int fd, char* data, std::size_t size);
// Writes at most `size` bytes; the count written, or -1 and errno.
long long writeSome(int fd, const char* data, std::size_t size);
// Opens an existing file (a pipe or a device) for writing; -1 and errno otherwise.
FileHandle openForWriting(const std::filesystem::path& path);
// Flushes the file's data to the disk; errno's value, or 0.
int flushToDisk(int fd);
// Gives the file the permission bits `permissions` (nothing where there are none).
void setPermissions(int fd, unsigned permissions);
// Whether the descriptor is a terminal (a console).
bool isTerminal(int fd);
// The descriptors of standard output and standard error.
int standardOutput();
int standardError();
// Whether two descriptors or paths are one and the same file.
bool sameFile(const EntryInfo& a, const EntryInfo& b);

// A folder opened once, so that names inside it are found, made, replaced
// and removed without going through its path again and without following a
// link at the name. (On Windows, which has no such calls, it keeps the path
// and refuses reparse points on the way in.)
class OpenFolder {
public:
    OpenFolder() = default;
    // `noFollow` refuses a link as the last name; errno tells why not.
    static OpenFolder open(const std::filesystem::path& path, bool noFollow = false);
    OpenFolder child(const std::string& name, bool noFollow) const;
    ~OpenFolder();
    OpenFolder(OpenFolder&& other) noexcept;
    OpenFolder& operator=(OpenFolder&& other) noexcept;
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;

    explicit operator bool() const { return opened_; }
    const std::filesystem::path& path() const { return path_; }

    // What `name` is inside the folder, a link not followed; nothing (and errno).
    std::optional<EntryInfo> entry(const std::string& name) const;
    // The names inside the folder ("." and ".." left out).
    std::vector<std::string> names() const;
    // Each gives errno's value, or 0.
    int makeFolder(const std::string& name) const;
    int removeFile(const std::string& name) const;
    int removeFolder(const std::string& name) const;
    // Creates `name` for writing; it must not exist yet (nor be a link).
    FileHandle createNew(const std::string& name, int& error) const;
    // Renames `name` to `newName` in `target`, replacing a file that is
    // there already; errno's value, or 0.
    int renameTo(const std::string& name, const OpenFolder& target, const std::string& newName) const;
    // Flushes everything written to the file system that holds the folder.
    int flushFileSystem() const;

private:
    std::filesystem::path path_;
    bool opened_ = false;
    int fd_ = -1; // POSIX only
};

// Makes a new folder of a unique name "<prefix>XXXXXX" (the X replaced);
// its path, or nothing and errno.
std::optional<std::filesystem::path> makeUniqueFolder(const std::filesystem::path& prefix);
// Removes a file by its path; errno's value, or 0.
int removeFileAt(const std::filesystem::path& path);

// The local time of `when`, and the time in UTC.
std::tm localTime(std::time_t when);
std::tm universalTime(std::time_t when);
// The path of the running program's executable; nothing when not known.
std::optional<std::filesystem::path> executablePath();
// The user's home folder (empty when not known) and an environment variable
// as UTF-8 (nothing when unset).
std::string homeFolder();
std::optional<std::string> environmentVariable(const char* name);
// Whether this process may write into (and make files in) `folder`.
bool canWriteInto(const std::filesystem::path& folder);
// Whether `path` is a regular file this process may run.
bool isRunnableFile(const std::filesystem::path& path);
// The separator of a PATH-style list, and the names a program's file may
// have for a name given without its extension.
char pathListSeparator();
std::vector<std::string> programFileNames(const std::string& name);
// A number that differs between processes running at the same time.
unsigned long processNumber();

// Calls `onInterrupt` with the signal's number, on a thread of its own, when
// the user interrupts the program (SIGINT, SIGTERM, SIGHUP; Ctrl-C, Ctrl-
// Break or closing the console on Windows). A signal this process ignores
// (a background job's SIGINT) stays ignored.
void installInterruptHandler(void (*onInterrupt)(int));
// Ends the program as the interrupt `signal` would have.
[[noreturn]] void endByInterrupt(int signal);
// Ends every process of a child's group (see `runChild`) and waits a moment
// for its leader to be gone.
void endProcessGroup(std::intptr_t group);

// A shared library loaded by its file name; nothing and the reason otherwise.
void* loadLibrary(const char* name, std::string& error);
void* librarySymbol(void* library, const char* name);

// Prepares the process: standard output written as bytes (no line-end
// conversion), the console showing UTF-8. Gives the command-line arguments
// as UTF-8 (on Windows read from the system as wide characters; `argv`
// elsewhere).
std::vector<std::string> startProcess(int argc, char** argv);

} // namespace zorvika
