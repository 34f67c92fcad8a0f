// The system layer on Windows: paths are UTF-16 for the system and UTF-8
// inside the program; descriptors are the C library's, made over the
// system's handles; there are no `...at` calls, so an opened folder keeps its
// path and refuses reparse points (links, junctions) where links are not to
// be followed.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include "base/platform.h"

#include "base/text_codec.h"

#include <windows.h>
#include <shellapi.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <io.h>
#include <random>

namespace zorvika {

namespace fs = std::filesystem;

namespace {

// errno's value for the system's last error.
int errnoOf(DWORD error)
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

std::wstring wideOf(std::string_view utf8)
{
    if (utf8.empty())
        return {};
    const int n = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()),
                                        nullptr, 0);
    if (n <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}

std::string utf8OfWide(std::wstring_view wide)
{
    if (wide.empty())
        return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                        nullptr);
    if (n <= 0)
        return {};
    std::string text(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), n, nullptr, nullptr);
    return text;
}

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

// What `path` is; `follow` false looks at a link itself.
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

// A descriptor of the C library over `h`, or -1 (and `h` closed).
FileHandle descriptorOf(HANDLE h, int flags)
{
    if (h == INVALID_HANDLE_VALUE) {
        lastErrno();
        return {};
    }
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(h), flags | _O_BINARY);
    if (fd < 0) {
        ::CloseHandle(h);
        errno = EMFILE;
    }
    return FileHandle(fd);
}


} // namespace

fs::path pathFromUtf8(std::string_view utf8)
{
    // A name that is not UTF-8 comes from a Windows-1252 text (a VB6
    // project file): it is read in that page.
    if (!isValidUtf8(utf8))
        return fs::path(wideOf(windows1252ToUtf8(utf8)));
    return fs::path(wideOf(utf8));
}

std::string utf8Of(const fs::path& path) { return utf8OfWide(path.native()); }

std::optional<std::string> narrowFolderPath(const fs::path& folder)
{
    auto ascii = [](const std::wstring& w) {
        for (const wchar_t c : w)
            if (c == 0 || c > 0x7E)
                return false;
        return true;
    };
    std::wstring wide = folder.native();
    if (!ascii(wide)) {
        const DWORD n = ::GetShortPathNameW(folder.c_str(), nullptr, 0);
        if (n == 0)
            return std::nullopt;
        wide.assign(n, L'\0');
        wide.resize(::GetShortPathNameW(folder.c_str(), wide.data(), n));
        if (wide.empty() || !ascii(wide))
            return std::nullopt;
    }
    return utf8OfWide(wide);
}

bool systemAcceptsFileName(std::string_view name)
{
    if (name.empty() || name.back() == '.' || name.back() == ' ')
        return false;
    for (const char c : name)
        if (c == '<' || c == '>' || c == ':' || c == '"' || c == '|' || c == '?' || c == '*')
            return false;
    // Device names stay devices with any extension ("CON.txt", "lpt1.bas").
    std::string stem(name.substr(0, name.find('.')));
    while (!stem.empty() && stem.back() == ' ')
        stem.pop_back();
    for (char& c : stem)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL" || stem == "CONIN$" || stem == "CONOUT$")
        return false;
    if (stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) && stem[3] >= '0' && stem[3] <= '9')
        return false;
    return true;
}

void FileHandle::reset(int fd)
{
    if (fd_ >= 0)
        ::_close(fd_);
    fd_ = fd;
}

int FileHandle::close()
{
    const int fd = release();
    return fd >= 0 && ::_close(fd) != 0 ? errno : 0;
}

FileHandle openForReading(const fs::path& path)
{
    // Backup semantics open a folder too, which is then refused as not
    // regular, as on other systems.
    return descriptorOf(::CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr),
                        _O_RDONLY);
}

FileHandle openForReading(const char* utf8Path) { return openForReading(pathFromUtf8(utf8Path)); }

FileHandle openForWriting(const fs::path& path)
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

long long readAt(int fd, char* data, std::size_t size, std::uint64_t offset)
{
    const auto h = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
    OVERLAPPED at {};
    at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    if (!::ReadFile(h, data, want, &got, &at)) {
        if (::GetLastError() == ERROR_HANDLE_EOF)
            return 0;
        lastErrno();
        return -1;
    }
    return got;
}

long long readSome(int fd, char* data, std::size_t size)
{
    return ::_read(fd, data, static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30)));
}

long long writeSome(int fd, const char* data, std::size_t size)
{
    return ::_write(fd, data, static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30)));
}

int flushToDisk(int fd) { return ::_commit(fd) == 0 ? 0 : errno; }

void setPermissions(int, unsigned) {}

bool isTerminal(int fd) { return ::_isatty(fd) != 0; }

int standardOutput() { return 1; }

int standardError() { return 2; }

bool sameFile(const EntryInfo& a, const EntryInfo& b)
{
    return a.kind != EntryKind::Other && a.device == b.device && a.fileId == b.fileId && a.fileId != 0;
}

OpenFolder OpenFolder::open(const fs::path& path, bool noFollow)
{
    OpenFolder folder;
    folder.path_ = path;
    const DWORD a = ::GetFileAttributesW(path.c_str());
    if (a == INVALID_FILE_ATTRIBUTES) {
        lastErrno();
    } else if (noFollow && (a & FILE_ATTRIBUTE_REPARSE_POINT)) {
        errno = ELOOP;
    } else if (!(a & FILE_ATTRIBUTE_DIRECTORY)) {
        errno = ENOTDIR;
    } else {
        folder.opened_ = true;
    }
    return folder;
}

OpenFolder OpenFolder::child(const std::string& name, bool noFollow) const
{
    return open(path_ / pathFromUtf8(name), noFollow);
}

OpenFolder::~OpenFolder() = default;

OpenFolder::OpenFolder(OpenFolder&& other) noexcept : path_(std::move(other.path_)), opened_(other.opened_)
{
    other.opened_ = false;
}

OpenFolder& OpenFolder::operator=(OpenFolder&& other) noexcept
{
    if (this != &other) {
        path_ = std::move(other.path_);
        opened_ = other.opened_;
        other.opened_ = false;
    }
    return *this;
}

std::optional<EntryInfo> OpenFolder::entry(const std::string& name) const
{
    return queryPath(path_ / pathFromUtf8(name), false);
}

std::vector<std::string> OpenFolder::names() const
{
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(path_, ec), end; !ec && it != end; it.increment(ec))
        names.push_back(utf8Of(it->path().filename()));
    return names;
}

int OpenFolder::makeFolder(const std::string& name) const
{
    return ::CreateDirectoryW((path_ / pathFromUtf8(name)).c_str(), nullptr) ? 0 : lastErrno();
}

int OpenFolder::removeFile(const std::string& name) const
{
    const fs::path file = path_ / pathFromUtf8(name);
    // A link to a folder is removed as a folder; what it leads to stays.
    const DWORD a = ::GetFileAttributesW(file.c_str());
    if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) && (a & FILE_ATTRIBUTE_REPARSE_POINT))
        return ::RemoveDirectoryW(file.c_str()) ? 0 : lastErrno();
    return ::DeleteFileW(file.c_str()) ? 0 : lastErrno();
}

int OpenFolder::removeFolder(const std::string& name) const
{
    return ::RemoveDirectoryW((path_ / pathFromUtf8(name)).c_str()) ? 0 : lastErrno();
}

FileHandle OpenFolder::createNew(const std::string& name, int& error) const
{
    // CREATE_NEW fails on anything already there, a link included.
    FileHandle fd = descriptorOf(::CreateFileW((path_ / pathFromUtf8(name)).c_str(), GENERIC_WRITE,
                                               FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                               FILE_ATTRIBUTE_NORMAL, nullptr),
                                 _O_WRONLY);
    error = fd ? 0 : errno;
    return fd;
}

int OpenFolder::renameTo(const std::string& name, const OpenFolder& target, const std::string& newName) const
{
    // The C library's rename fails over an existing file; MoveFileEx
    // replaces it in one step.
    const fs::path from = path_ / pathFromUtf8(name);
    const fs::path to = target.path_ / pathFromUtf8(newName);
    if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return 0;
    const DWORD error = ::GetLastError();
    // A read-only file there is replaced only where the caller allowed it
    // (it checked before); the system refuses it otherwise.
    const DWORD a = ::GetFileAttributesW(to.c_str());
    if (error == ERROR_ACCESS_DENIED && a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY)
        && !(a & FILE_ATTRIBUTE_DIRECTORY) && ::SetFileAttributesW(to.c_str(), a & ~FILE_ATTRIBUTE_READONLY)) {
        if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return 0;
        const int again = lastErrno();
        ::SetFileAttributesW(to.c_str(), a);
        return again;
    }
    return errno = errnoOf(error);
}

int OpenFolder::flushFileSystem() const
{
    // Flushing a whole volume needs an administrator; every stored file is
    // flushed on its own instead (see `writeFileBetween`).
    return 0;
}

std::optional<fs::path> makeUniqueFolder(const fs::path& prefix)
{
    static thread_local std::mt19937_64 rng{std::random_device{}() ^ ::GetCurrentProcessId()};
    static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    for (int attempt = 0; attempt < 64; ++attempt) {
        std::string suffix;
        for (int i = 0; i < 6; ++i)
            suffix += digits[rng() % 36];
        fs::path candidate = prefix;
        candidate += pathFromUtf8(suffix);
        if (::CreateDirectoryW(candidate.c_str(), nullptr))
            return candidate;
        if (lastErrno() != EEXIST)
            return std::nullopt;
    }
    errno = EEXIST;
    return std::nullopt;
}

int removeFileAt(const fs::path& path) { return ::DeleteFileW(path.c_str()) ? 0 : lastErrno(); }

std::tm localTime(std::time_t when)
{
    std::tm local {};
    ::localtime_s(&local, &when);
    return local;
}

std::tm universalTime(std::time_t when)
{
    std::tm utc {};
    ::gmtime_s(&utc, &when);
    return utc;
}

std::optional<fs::path> executablePath()
{
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0)
            return std::nullopt;
        if (n < buffer.size()) {
            buffer.resize(n);
            return fs::path(buffer);
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::optional<std::string> environmentVariable(const char* name)
{
    const std::wstring wideName = wideOf(name);
    const DWORD n = ::GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    if (n == 0)
        return std::nullopt;
    std::wstring value(n, L'\0');
    const DWORD got = ::GetEnvironmentVariableW(wideName.c_str(), value.data(), n);
    value.resize(got);
    return utf8OfWide(value);
}

std::string homeFolder() { return environmentVariable("USERPROFILE").value_or(std::string()); }

bool canWriteInto(const fs::path& folder)
{
    // Permissions are lists of rights here: the one sure test is to try.
    const fs::path probe = folder / (L".zorvika-tmp-probe-" + std::to_wstring(::GetCurrentProcessId()));
    const HANDLE h = ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                   FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    ::CloseHandle(h);
    return true;
}

bool isRunnableFile(const fs::path& path)
{
    const auto info = followedInfo(path);
    return info && info->kind == EntryKind::File;
}

char pathListSeparator() { return ';'; }

std::vector<std::string> programFileNames(const std::string& name)
{
    if (name.find('.') != std::string::npos)
        return {name};
    return {name + ".exe", name};
}

unsigned long processNumber() { return ::GetCurrentProcessId(); }

namespace {

void (*gOnInterrupt)(int) = nullptr;

BOOL WINAPI onConsoleEvent(DWORD event)
{
    // Called on a thread of its own; the program ends there or goes on.
    if (!gOnInterrupt)
        return FALSE;
    const int signal = event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT ? 2 : event == CTRL_CLOSE_EVENT ? 1 : 15;
    gOnInterrupt(signal);
    return TRUE;
}

} // namespace

void installInterruptHandler(void (*onInterrupt)(int))
{
    gOnInterrupt = onInterrupt;
    ::SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

void endByInterrupt(int signal)
{
    // The status Windows gives a program that Ctrl-C ended.
    ::ExitProcess(signal == 2 ? 0xC000013AU : static_cast<UINT>(128 + signal));
}

void endProcessGroup(std::intptr_t group)
{
    const auto job = reinterpret_cast<HANDLE>(group);
    ::TerminateJobObject(job, 1);
    for (int i = 0; i < 200; ++i) {
        JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting {};
        if (!::QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &accounting, sizeof accounting,
                                         nullptr)
            || accounting.ActiveProcesses == 0)
            break;
        ::Sleep(10);
    }
}

void* loadLibrary(const char* name, std::string& error)
{
    HMODULE library = ::LoadLibraryW(pathFromUtf8(name).c_str());
    if (!library) {
        const DWORD code = ::GetLastError();
        wchar_t* text = nullptr;
        ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
        error = text ? utf8OfWide(text) : "error " + std::to_string(code);
        while (!error.empty() && (error.back() == '\n' || error.back() == '\r' || error.back() == ' '))
            error.pop_back();
        if (text)
            ::LocalFree(text);
    }
    return reinterpret_cast<void*>(library);
}

void* librarySymbol(void* library, const char* name)
{
    return reinterpret_cast<void*>(::GetProcAddress(reinterpret_cast<HMODULE>(library), name));
}

std::vector<std::string> startProcess(int, char**)
{
    // Bytes go out as written: in text mode every "\r\n" would become
    // "\r\r\n".
    ::_setmode(1, _O_BINARY);
    // The console shows the UTF-8 the program writes; the page it had comes
    // back when the program ends.
    static const UINT consolePage = ::GetConsoleOutputCP();
    if (consolePage != 0 && consolePage != CP_UTF8 && ::SetConsoleOutputCP(CP_UTF8))
        std::atexit([] { ::SetConsoleOutputCP(consolePage); });
    // The arguments as the system has them: the narrow ones are in the
    // ANSI page, which cannot hold every name.
    std::vector<std::string> args;
    int count = 0;
    if (wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count)) {
        for (int i = 1; i < count; ++i)
            args.push_back(utf8OfWide(wide[i]));
        ::LocalFree(wide);
    }
    return args;
}

} // namespace zorvika
