#pragma once
// Resolving a path that a project or group file gives, written on Windows:
// "\" and "/" both separate components, a relative path is taken against a
// base folder, and where the exact name does not exist each component is
// looked up without regard to letter case. A drive-letter path ("C:\...")
// names no file here.
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvika {

class PathResolver {
public:
    // The existing path that `text` names, or nothing.
    std::optional<std::filesystem::path> resolve(const std::filesystem::path& base, std::string_view text);

private:
    const std::vector<std::string>& listing(const std::filesystem::path& dir);
    // Directory listings, kept for the life of the resolver (one counting run).
    std::map<std::string, std::vector<std::string>> listings_;
};

bool isDriveLetterPath(std::string_view text);

// How a name written in a project file matches a name in a folder when the
// exact name is not there: without regard to letter case, or — for a name
// written in Windows-1252 — its UTF-8 form without regard to case.
// `alternative` is `windowsNameAlternative(written)`.
std::string windowsNameAlternative(std::string_view written);
bool sameNameNoCase(std::string_view name, std::string_view written, std::string_view alternative);

} // namespace zorvika
