// Folders on Windows, which has no `...at` calls: an opened folder keeps its
// path and refuses reparse points (links, junctions) where links are not to
// be followed.
#include "base/shared_win32.h"
#include "base/system_folders.h"

#include "base/system_failure.h"
#include "base/system_paths.h"

#include <cerrno>
#include <fcntl.h>
#include <random>

namespace zorvika {

namespace fs = std::filesystem;

Result<OpenFolder> OpenFolder::open(const fs::path& path, bool noFollow)
{
    const DWORD a = ::GetFileAttributesW(path.c_str());
    if (a == INVALID_FILE_ATTRIBUTES)
        return lastFailure();
    if (noFollow && (a & FILE_ATTRIBUTE_REPARSE_POINT))
        return systemFailure(ELOOP);
    if (!(a & FILE_ATTRIBUTE_DIRECTORY))
        return systemFailure(ENOTDIR);
    OpenFolder folder;
    folder.path_ = path;
    return folder;
}

Result<OpenFolder> OpenFolder::child(const std::string& name, bool noFollow) const
{
    return open(path_ / pathFromUtf8(name), noFollow);
}

OpenFolder::~OpenFolder() = default;

OpenFolder::OpenFolder(OpenFolder&& other) noexcept : path_(std::move(other.path_)) {}

OpenFolder& OpenFolder::operator=(OpenFolder&& other) noexcept
{
    if (this != &other)
        path_ = std::move(other.path_);
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

Result<void, MakeError> OpenFolder::makeFolder(const std::string& name) const
{
    if (::CreateDirectoryW((path_ / pathFromUtf8(name)).c_str(), nullptr))
        return {};
    const int error = lastErrno();
    return systemFailure(error).as(error == EEXIST ? MakeError::Exists : MakeError::Failed);
}

Outcome OpenFolder::removeFile(const std::string& name) const
{
    const fs::path file = path_ / pathFromUtf8(name);
    // A link to a folder is removed as a folder; what it leads to stays.
    const DWORD a = ::GetFileAttributesW(file.c_str());
    const bool linkToFolder =
        a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) && (a & FILE_ATTRIBUTE_REPARSE_POINT);
    if (!(linkToFolder ? ::RemoveDirectoryW(file.c_str()) : ::DeleteFileW(file.c_str())))
        return lastFailure();
    return {};
}

Outcome OpenFolder::removeFolder(const std::string& name) const
{
    if (!::RemoveDirectoryW((path_ / pathFromUtf8(name)).c_str()))
        return lastFailure();
    return {};
}

Result<FileHandle, MakeError> OpenFolder::createNew(const std::string& name) const
{
    // CREATE_NEW fails on anything already there, a link included.
    Result<FileHandle> fd = descriptorOf(::CreateFileW((path_ / pathFromUtf8(name)).c_str(), GENERIC_WRITE,
                                                       FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                                       FILE_ATTRIBUTE_NORMAL, nullptr),
                                         _O_WRONLY);
    if (!fd)
        return fd.failure().as(errno == EEXIST ? MakeError::Exists : MakeError::Failed);
    return std::move(fd).value();
}

Outcome OpenFolder::renameTo(const std::string& name, const OpenFolder& target, const std::string& newName) const
{
    // The C library's rename fails over an existing file; MoveFileEx
    // replaces it in one step.
    const fs::path from = path_ / pathFromUtf8(name);
    const fs::path to = target.path_ / pathFromUtf8(newName);
    if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return {};
    const DWORD error = ::GetLastError();
    // A read-only file there is replaced only where the caller allowed it
    // (it checked before); the system refuses it otherwise.
    const DWORD a = ::GetFileAttributesW(to.c_str());
    if (error == ERROR_ACCESS_DENIED && a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY)
        && !(a & FILE_ATTRIBUTE_DIRECTORY) && ::SetFileAttributesW(to.c_str(), a & ~FILE_ATTRIBUTE_READONLY)) {
        if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return {};
        const Failure<> again = lastFailure();
        ::SetFileAttributesW(to.c_str(), a);
        return again;
    }
    return systemFailure(errnoOf(error));
}

Outcome OpenFolder::flushFileSystem() const
{
    // Flushing a whole volume needs an administrator; every stored file is
    // flushed on its own instead (see `writeFileBetween`).
    return {};
}

Result<fs::path> makeUniqueFolder(const fs::path& prefix)
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
        if (const int error = lastErrno(); error != EEXIST)
            return systemFailure(error);
    }
    return systemFailure(EEXIST);
}

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

} // namespace zorvika
