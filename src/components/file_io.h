#pragma once
// Reading and writing whole files safely: only regular files are read (a
// directory, a pipe or a device never blocks a read), and a file is replaced
// by writing a temporary file beside it and renaming it over the old one, so
// that a crash or a full disk never leaves a half-written file.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <sys/stat.h>

namespace zorvika {

enum class ReadStatus { Ok, Missing, NotRegular, Unreadable };

// Opens a regular file for reading and gives its size; nothing else is
// opened, and opening never blocks on a pipe or a device. -1 with the
// reason in `status` otherwise.
int openRegularFile(const std::filesystem::path& path, ReadStatus& status, std::uint64_t& size);
// The same, giving the whole of what fstat told of the opened file.
int openRegularFile(const char* path, ReadStatus& status, struct stat& info);

// Reads the whole of a regular file into `out`.
ReadStatus readRegularFile(const std::filesystem::path& path, std::string& out);

bool isRegularFile(const std::filesystem::path& path);

// A file without any write permission bit counts as read-only: the program's
// non-forced deletions and replacements leave it in place.
bool isReadOnlyFile(const std::filesystem::path& path);

// The prefix of the temporary files written beside a target; listings of the
// program never show a name that starts with it.
inline constexpr std::string_view kTempFilePrefix = ".zorvika-tmp-";

enum class Durability { Synced, Scratch };

// Writes `data` to `target` through a temporary file in `tempDir` (the
// folder of the target when empty) and a rename. On failure the old file is
// untouched, no temporary file stays behind, and `error` (when given) holds
// the system's reason. A read-only target is not replaced. `Synced` flushes
// the new file to the disk before the rename, so that a crash leaves the
// old file or the new one; scratch files (working copies, rewritten on
// every choice) are simply truncated and written in place.
bool writeFileAtomically(const std::filesystem::path& target, std::string_view data,
                         std::string* error = nullptr,
                         const std::filesystem::path& tempDir = {},
                         Durability durability = Durability::Synced);

// "No such file or directory" and the like, for errno.
std::string systemReason(int errnoValue);

} // namespace zorvika
