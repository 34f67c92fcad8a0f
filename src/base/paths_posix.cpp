// How paths are written on Linux and other POSIX systems: they are bytes,
// taken as UTF-8, and every name but "/" and NUL can be stored.
#include "base/system_paths.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace zorvika {

namespace fs = std::filesystem;

fs::path pathFromUtf8(std::string_view utf8) { return fs::path(std::string(utf8)); }

std::string utf8Of(const fs::path& path) { return path.native(); }

bool systemAcceptsFileName(std::string_view) { return true; }

std::optional<std::string> narrowFolderPath(const fs::path& folder) { return folder.native(); }

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

} // namespace zorvika
