// The system layer on Linux and other POSIX systems: paths are bytes (taken
// as UTF-8), folders are descriptors used with the `...at` calls.
#include "base/platform.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <dlfcn.h>
#include <thread>
#include <sys/wait.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zorvika {

namespace fs = std::filesystem;

fs::path pathFromUtf8(std::string_view utf8) { return fs::path(std::string(utf8)); }

std::string utf8Of(const fs::path& path) { return path.native(); }

bool systemAcceptsFileName(std::string_view) { return true; }

std::optional<std::string> narrowFolderPath(const fs::path& folder) { return folder.native(); }

void FileHandle::reset(int fd)
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = fd;
}

int FileHandle::close()
{
    const int fd = release();
    return fd >= 0 && ::close(fd) != 0 ? errno : 0;
}

namespace {

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

} // namespace

FileHandle openForReading(const char* utf8Path)
{
    // O_NONBLOCK: opening a FIFO must not wait for a writer. It has no
    // effect on reading a regular file.
    return FileHandle(::open(utf8Path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
}

FileHandle openForReading(const fs::path& path) { return openForReading(path.c_str()); }

FileHandle openForWriting(const fs::path& path)
{
    return FileHandle(::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY));
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

long long readAt(int fd, char* data, std::size_t size, std::uint64_t offset)
{
    return ::pread(fd, data, size, static_cast<off_t>(offset));
}

long long readSome(int fd, char* data, std::size_t size) { return ::read(fd, data, size); }

long long writeSome(int fd, const char* data, std::size_t size) { return ::write(fd, data, size); }

int flushToDisk(int fd) { return ::fsync(fd) == 0 ? 0 : errno; }

void setPermissions(int fd, unsigned permissions) { ::fchmod(fd, static_cast<mode_t>(permissions)); }

bool isTerminal(int fd) { return ::isatty(fd) == 1; }

int standardOutput() { return STDOUT_FILENO; }

int standardError() { return STDERR_FILENO; }

bool sameFile(const EntryInfo& a, const EntryInfo& b) { return a.device == b.device && a.fileId == b.fileId; }

OpenFolder OpenFolder::open(const fs::path& path, bool noFollow)
{
    OpenFolder folder;
    folder.fd_ = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | (noFollow ? O_NOFOLLOW : 0));
    folder.opened_ = folder.fd_ >= 0;
    folder.path_ = path;
    return folder;
}

OpenFolder OpenFolder::child(const std::string& name, bool noFollow) const
{
    OpenFolder folder;
    folder.fd_ = ::openat(fd_, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | (noFollow ? O_NOFOLLOW : 0));
    folder.opened_ = folder.fd_ >= 0;
    folder.path_ = path_ / name;
    return folder;
}

OpenFolder::~OpenFolder()
{
    if (fd_ >= 0)
        ::close(fd_);
}

OpenFolder::OpenFolder(OpenFolder&& other) noexcept
    : path_(std::move(other.path_)), opened_(other.opened_), fd_(other.fd_)
{
    other.fd_ = -1;
    other.opened_ = false;
}

OpenFolder& OpenFolder::operator=(OpenFolder&& other) noexcept
{
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        path_ = std::move(other.path_);
        opened_ = other.opened_;
        fd_ = other.fd_;
        other.fd_ = -1;
        other.opened_ = false;
    }
    return *this;
}

std::optional<EntryInfo> OpenFolder::entry(const std::string& name) const
{
    struct stat st {};
    if (::fstatat(fd_, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return std::nullopt;
    return infoFromStat(st);
}

std::vector<std::string> OpenFolder::names() const
{
    std::vector<std::string> names;
    DIR* d = ::fdopendir(::dup(fd_));
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

int OpenFolder::makeFolder(const std::string& name) const
{
    return ::mkdirat(fd_, name.c_str(), 0777) == 0 ? 0 : errno;
}

int OpenFolder::removeFile(const std::string& name) const
{
    return ::unlinkat(fd_, name.c_str(), 0) == 0 ? 0 : errno;
}

int OpenFolder::removeFolder(const std::string& name) const
{
    return ::unlinkat(fd_, name.c_str(), AT_REMOVEDIR) == 0 ? 0 : errno;
}

FileHandle OpenFolder::createNew(const std::string& name, int& error) const
{
    FileHandle fd(::openat(fd_, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666));
    error = fd ? 0 : errno;
    return fd;
}

int OpenFolder::renameTo(const std::string& name, const OpenFolder& target, const std::string& newName) const
{
    return ::renameat(fd_, name.c_str(), target.fd_, newName.c_str()) == 0 ? 0 : errno;
}

int OpenFolder::flushFileSystem() const { return ::syncfs(fd_) == 0 ? 0 : errno; }

std::optional<fs::path> makeUniqueFolder(const fs::path& prefix)
{
    std::string pattern = prefix.native() + "XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)
        return std::nullopt;
    return fs::path(pattern);
}

int removeFileAt(const fs::path& path) { return ::unlink(path.c_str()) == 0 ? 0 : errno; }

std::tm localTime(std::time_t when)
{
    std::tm local {};
    localtime_r(&when, &local);
    return local;
}

std::tm universalTime(std::time_t when)
{
    std::tm utc {};
    gmtime_r(&when, &utc);
    return utc;
}

std::optional<fs::path> executablePath()
{
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec)
        return std::nullopt;
    return exe;
}

std::string homeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir)
        return entry->pw_dir;
    return {};
}

std::optional<std::string> environmentVariable(const char* name)
{
    const char* value = std::getenv(name);
    if (!value)
        return std::nullopt;
    return std::string(value);
}

bool canWriteInto(const fs::path& folder) { return ::access(folder.c_str(), W_OK | X_OK) == 0; }

bool isRunnableFile(const fs::path& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

char pathListSeparator() { return ':'; }

std::vector<std::string> programFileNames(const std::string& name) { return {name}; }

unsigned long processNumber() { return static_cast<unsigned long>(::getpid()); }

namespace {

int gSignalPipe[2] = {-1, -1};
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

// The handler only hands the signal to the helper thread.
extern "C" void handOver(int signal)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t w = ::write(gSignalPipe[1], &byte, 1);
    errno = saved;
}

} // namespace

void installInterruptHandler(void (*onInterrupt)(int))
{
    if (::pipe2(gSignalPipe, O_CLOEXEC) != 0)
        return;
    std::thread([onInterrupt] {
        for (;;) {
            unsigned char byte = 0;
            const ssize_t r = ::read(gSignalPipe[0], &byte, 1);
            if (r == 1)
                onInterrupt(byte);
            else if (r < 0 && errno == EINTR)
                continue;
            else if (r <= 0)
                return;
        }
    }).detach();
    for (const int s : kSignals) {
        struct sigaction old {};
        if (::sigaction(s, nullptr, &old) != 0 || old.sa_handler == SIG_IGN)
            continue; // an ignored signal stays ignored
        struct sigaction action {};
        action.sa_handler = handOver;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(s, &action, nullptr);
    }
}

void endByInterrupt(int signal)
{
    std::signal(signal, SIG_DFL);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signal);
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    ::kill(::getpid(), signal);
    // Should the signal not end the program (it cannot be, but be sure).
    ::_exit(128 + signal);
}

void endProcessGroup(std::intptr_t group)
{
    const auto leader = static_cast<pid_t>(group);
    ::kill(-leader, SIGKILL);
    // Reap the group's leader (this program's child) so that nothing of
    // the group is left; give it a moment to go.
    for (int i = 0; i < 200; ++i) {
        int status = 0;
        if (::waitpid(leader, &status, WNOHANG) != 0)
            break;
        ::usleep(10000);
    }
}

void* loadLibrary(const char* name, std::string& error)
{
    // Lazy: the library's own calls are bound as they are first made, so a
    // library that pulls in many others (libgit2: Kerberos, OpenSSL) loads
    // faster; the functions the program takes are looked up at once.
    void* handle = ::dlopen(name, RTLD_LAZY | RTLD_LOCAL);
    if (!handle) {
        const char* why = ::dlerror();
        error = why ? why : "";
    }
    return handle;
}

void* librarySymbol(void* library, const char* name) { return ::dlsym(library, name); }

std::vector<std::string> startProcess(int argc, char** argv)
{
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

} // namespace zorvika
