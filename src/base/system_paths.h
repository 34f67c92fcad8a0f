#pragma once
// How the system names files, and where it keeps the program and the user:
// paths to and from UTF-8 text, the names it cannot store, the program's
// own file and the user's home folder. Texts are UTF-8 everywhere inside
// the program; paths are converted only here.
//
// This header also says, once, which system the program is built for.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

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
// Whether the desktop is Windows', whose users expect its own file dialogs.
inline constexpr bool kWindowsDesktop = kWindowsFileSystem;

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

// The path of the running program's executable; nothing when not known.
std::optional<std::filesystem::path> executablePath();
// The user's home folder; empty when not known.
std::string homeFolder();

} // namespace zorvika
