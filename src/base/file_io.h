#pragma once
// Reading and writing whole files safely: only regular files are read (a
// directory, a pipe or a device never blocks a read), and a file is replaced
// by writing a temporary file beside it and renaming it over the old one, so
// that a crash or a full disk never leaves a half-written file.
#include "base/result.h"
#include "base/system_failure.h"
#include "base/system_files.h"
#include "base/system_folders.h"
#include "base/system_paths.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace zorvika {

// Why a whole file was not read; callers that treat a missing file as
// empty tell `Missing` from the rest.
enum class ReadError { Missing, NotRegular, Unreadable, TooLarge };

// No project file, group file, snapshot or message table comes near this
// size; a larger file (a sparse file of many GiB, say) is refused before
// any memory is taken for it.
inline constexpr std::uint64_t kMaxWholeFileSize = std::uint64_t{256} << 20;

// A read that failed for `kind`, in the words every reader shows after the
// file's name ("no such file", "not a regular file", "cannot be read", "too
// large (over 256 MiB)"): `about(path)` names the file.
Failure<ReadError> readFailure(ReadError kind);

// The whole of a regular file; a file over `limit` bytes is `TooLarge` and
// nothing is read.
Result<std::string, ReadError> readRegularFile(const std::filesystem::path& path,
                                              std::uint64_t limit = kMaxWholeFileSize);

bool isRegularFile(const std::filesystem::path& path);

// A file without any write permission bit counts as read-only: the program's
// non-forced deletions and replacements leave it in place.
bool isReadOnlyFile(const std::filesystem::path& path);

// The prefix of the temporary files written beside a target; listings of the
// program never show a name that starts with it.
inline constexpr std::string_view kTempFilePrefix = ".zorvika-tmp-";

// `Synced`: flushed to the disk before it replaces the old file. `Unsynced`:
// the same without the flush, for a run that stores many files and flushes
// them together at its end (`syncFileSystem`). `Scratch`: the program's own
// working copies, neither flushed nor kept when read-only.
enum class Durability { Synced, Unsynced, Scratch };

// Flushes everything written to the file system that holds `path`.
Outcome syncFileSystem(const std::filesystem::path& path);

// Writes `data` to `target` through a temporary file in `tempDir` (the
// folder of the target when empty) and a rename, so that a reader always
// finds the old file or the new one, whole. On failure the old file is
// untouched, no temporary file stays behind (an interrupt included), and
// the outcome holds the system's reason. `Synced` flushes the new
// file to the disk before the rename, so that a crash leaves the old file or
// the new one, and never replaces a read-only target; `Scratch` files (the
// program's own working copies) are neither flushed nor kept when read-only.
Outcome writeFileAtomically(const std::filesystem::path& target, std::string_view data,
                            const std::filesystem::path& tempDir = {}, Durability durability = Durability::Synced);

// The same between opened folders: the temporary file in `tempDir`, the
// new file renamed to `name` inside `targetDir`. Nothing is followed: a link
// at `name` is replaced, never written through.
Outcome writeFileBetween(const OpenFolder& tempDir, const OpenFolder& targetDir, const std::string& name,
                         std::string_view data, Durability durability);

// Writes the file a user named for an export: "-" is standard output; a
// pipe, a device, or the file that standard output already is (as
// "/dev/stdout"), is written straight into; a symbolic link is followed and
// its target replaced whole, beside itself; anything else is replaced whole
// as `writeFileAtomically` does.
Outcome writeOutputFile(const std::filesystem::path& target, std::string_view data);

// Removes a folder and everything in it, also files and folders left
// without write permission; links are removed, never followed.
void removeFolderTree(const std::filesystem::path& folder);

// Writes all of `data` to a descriptor.
Outcome writeAll(int fd, std::string_view data);

// A regular file opened for reading, and what the system told of it.
struct OpenedFile {
    FileHandle handle;
    EntryInfo info;
};

// Opens a regular file for reading; nothing else is opened, and opening
// never blocks on a pipe or a device.
Result<OpenedFile, ReadError> openRegularFile(const std::filesystem::path& path);
// The same for a UTF-8 path given as text.
Result<OpenedFile, ReadError> openRegularFile(const char* utf8Path);

} // namespace zorvika
