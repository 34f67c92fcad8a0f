#pragma once
// Resolving a path that a project or group file gives, written on Windows:
// "\" and "/" both separate components, a relative path is taken against a
// base folder, and where the exact name does not exist each component is
// looked up without regard to letter case. A drive-letter path ("C:\...")
// names no file here.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zorvika {

class PathResolver {
public:
    // The existing path that `text` names, or nothing.
    std::optional<std::filesystem::path> resolve(const std::filesystem::path& base, std::string_view text);

private:
    // One folder reached by a walk of components from a base folder; what
    // a component gives from a folder is worked out once per resolver, so
    // that many entries in the same (deep, differently cased) folders cost
    // their own length and no more.
    struct Step {
        std::filesystem::path path;
        bool found = true;
        std::unordered_map<std::string, std::size_t> next; // component -> step
    };
    std::size_t startStep(const std::filesystem::path& base, bool absolute);
    std::size_t stepFrom(std::size_t from, std::string_view component);
    std::optional<std::string> nameInFolder(const std::filesystem::path& dir, std::string_view component);
    // A folder's names by their ASCII-lower-cased form; each form keeps the
    // first name in byte order and whether other names share it. Read once
    // per folder.
    struct Names {
        std::string first;
        bool shared = false;
    };
    using FolderIndex = std::unordered_map<std::string, Names>;
    const FolderIndex& folderIndex(const std::filesystem::path& dir);
    // Whether `component` exists in `dir` exactly as written, told by the
    // folder's index when it has been read already; nothing when only the
    // file system can tell.
    std::optional<bool> existsByIndex(const std::filesystem::path& dir, std::string_view component) const;

    std::vector<Step> steps_;
    std::unordered_map<std::string, std::size_t> starts_;
    // The step of a whole folder text ("Src/Forms" from a base), for the
    // entries that share it.
    std::unordered_map<std::string, std::size_t> folders_;
    std::unordered_map<std::string, FolderIndex> indexes_;
};

bool isDriveLetterPath(std::string_view text);

// How a name written in a project file matches a name in a folder when the
// exact name is not there: without regard to letter case, or — for a name
// written in Windows-1252 — its UTF-8 form without regard to case.
// `alternative` is `windowsNameAlternative(written)`.
std::string windowsNameAlternative(std::string_view written);
bool sameNameNoCase(std::string_view name, std::string_view written, std::string_view alternative);

} // namespace zorvika
