// Folders on Linux and other POSIX systems: an opened folder is a
// descriptor, used with the `...at` calls so that no name is looked up
// through a path twice.
#include "base/system_folders.h"

#include "base/shared_posix.h"
#include "base/system_failure.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zorvika {

namespace fs = std::filesystem;

namespace {

// Nothing when `rc` is a call's success (0), the system's reason otherwise.
Outcome doneOr(int rc)
{
    if (rc != 0)
        return systemFailure(errno);
    return {};
}

} // namespace

Result<OpenFolder> OpenFolder::open(const fs::path& path, bool noFollow)
{
    OpenFolder folder;
    folder.fd_ = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | (noFollow ? O_NOFOLLOW : 0));
    if (folder.fd_ < 0)
        return systemFailure(errno);
    folder.path_ = path;
    return folder;
}

Result<OpenFolder> OpenFolder::child(const std::string& name, bool noFollow) const
{
    OpenFolder folder;
    folder.fd_ = ::openat(fd_, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | (noFollow ? O_NOFOLLOW : 0));
    if (folder.fd_ < 0)
        return systemFailure(errno);
    folder.path_ = path_ / name;
    return folder;
}

OpenFolder::~OpenFolder()
{
    if (fd_ >= 0)
        ::close(fd_);
}

OpenFolder::OpenFolder(OpenFolder&& other) noexcept : path_(std::move(other.path_)), fd_(other.fd_)
{
    other.fd_ = -1;
}

OpenFolder& OpenFolder::operator=(OpenFolder&& other) noexcept
{
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        path_ = std::move(other.path_);
        fd_ = other.fd_;
        other.fd_ = -1;
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

Result<void, MakeError> OpenFolder::makeFolder(const std::string& name) const
{
    if (::mkdirat(fd_, name.c_str(), 0777) == 0)
        return {};
    const int error = errno;
    return systemFailure(error).as(error == EEXIST ? MakeError::Exists : MakeError::Failed);
}

Outcome OpenFolder::removeFile(const std::string& name) const { return doneOr(::unlinkat(fd_, name.c_str(), 0)); }

Outcome OpenFolder::removeFolder(const std::string& name) const
{
    return doneOr(::unlinkat(fd_, name.c_str(), AT_REMOVEDIR));
}

Result<FileHandle, MakeError> OpenFolder::createNew(const std::string& name) const
{
    const int fd = ::openat(fd_, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd >= 0)
        return FileHandle(fd);
    const int error = errno;
    return systemFailure(error).as(error == EEXIST ? MakeError::Exists : MakeError::Failed);
}

Outcome OpenFolder::renameTo(const std::string& name, const OpenFolder& target, const std::string& newName) const
{
    return doneOr(::renameat(fd_, name.c_str(), target.fd_, newName.c_str()));
}

Outcome OpenFolder::flushFileSystem() const { return doneOr(::syncfs(fd_)); }

Result<fs::path> makeUniqueFolder(const fs::path& prefix)
{
    std::string pattern = prefix.native() + "XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)
        return systemFailure(errno);
    return fs::path(pattern);
}

bool canWriteInto(const fs::path& folder) { return ::access(folder.c_str(), W_OK | X_OK) == 0; }

} // namespace zorvika
