#pragma once
// Folders as the system has them: a folder opened once, in which names are
// found, made, replaced and removed without following a link; unique new
// folders; whether this process may write into one.
#include "base/result.h"
#include "base/system_files.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace zorvika {

// Why a new file or folder was not made: `Exists` when something of that
// name is there already, which a caller may take as it is or try another
// name for.
enum class MakeError { Exists, Failed };

// A folder opened once, so that names inside it are found, made, replaced
// and removed without going through its path again and without following a
// link at the name. (On Windows, which has no such calls, it keeps the path
// and refuses reparse points on the way in.)
class OpenFolder {
public:
    OpenFolder() = default;
    // `noFollow` refuses a link as the last name.
    static Result<OpenFolder> open(const std::filesystem::path& path, bool noFollow = false);
    Result<OpenFolder> child(const std::string& name, bool noFollow) const;
    ~OpenFolder();
    OpenFolder(OpenFolder&& other) noexcept;
    OpenFolder& operator=(OpenFolder&& other) noexcept;
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

    // What `name` is inside the folder, a link not followed; nothing when
    // nothing is there.
    std::optional<EntryInfo> entry(const std::string& name) const;
    // The names inside the folder ("." and ".." left out).
    std::vector<std::string> names() const;
    Result<void, MakeError> makeFolder(const std::string& name) const;
    Outcome removeFile(const std::string& name) const;
    Outcome removeFolder(const std::string& name) const;
    // Creates `name` for writing; it must not exist yet (nor be a link).
    Result<FileHandle, MakeError> createNew(const std::string& name) const;
    // Renames `name` to `newName` in `target`, replacing a file that is
    // there already.
    Outcome renameTo(const std::string& name, const OpenFolder& target, const std::string& newName) const;
    // Flushes everything written to the file system that holds the folder.
    Outcome flushFileSystem() const;

private:
    std::filesystem::path path_;
    int fd_ = -1; // POSIX only
};

// Makes a new folder of a unique name "<prefix>XXXXXX" (the X replaced);
// its path.
Result<std::filesystem::path> makeUniqueFolder(const std::filesystem::path& prefix);
// Whether this process may write into (and make files in) `folder`.
bool canWriteInto(const std::filesystem::path& folder);

} // namespace zorvika
