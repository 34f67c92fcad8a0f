#pragma once
// Counting the lines of modules and of a whole project.
#include "analysis/module_row.h"
#include "analysis/path_resolver.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unordered_map>
#include <vector>

namespace zorvika {

// One pass over a module's text gives all three figures the count needs:
// the number of lines, the number of the first line that begins with
// "Attribute VB_Exposed" (any case; 0 when none), and the comment and blank
// lines. A line is blank when nothing but tabs and spaces is in it, and a
// comment when its first character other than a tab or space is "'".
struct ModuleScan {
    std::int64_t lines = 0;
    std::int64_t exposedLine = 0;
    std::int64_t commentLines = 0;
    std::int64_t blankLines = 0;
};

// The same scan fed in pieces, so that a file is read in chunks of bounded
// size whatever the length of its lines; the result does not depend on
// where the pieces are cut.
class ModuleScanner {
public:
    void feed(std::string_view chunk);
    ModuleScan finish();

private:
    ModuleScan scan_;
    bool inLine_ = false;   // a line has begun and has not ended yet
    bool decided_ = false;  // the line's first character other than tab or space was seen
    int prefix_ = -1;       // characters of "attribute vb_exposed" matched at the line's start; -1: none
    bool pendingCr_ = false; // the last piece ended with CR: an LF at the start of the next ends nothing
};

ModuleScan scanModuleText(std::string_view text);

// Reads the module files of one counting run. A module path is opened as
// written first, and resolved (other separators, other letter case) only
// when that fails; each file is read in chunks through one page-aligned
// buffer, no more than its size when it was opened (a growing file cannot
// keep the scan going), and nothing but a regular file is read. A file that
// several entries name (same device, inode, size and modification time) is
// read once per run.
class ModuleReader {
public:
    ModuleReader();
    ~ModuleReader();
    ModuleReader(const ModuleReader&) = delete;
    ModuleReader& operator=(const ModuleReader&) = delete;

    // The scan of the module that `entry` names from `projectFolder`;
    // nothing when it names no readable regular file.
    std::optional<ModuleScan> scan(const std::filesystem::path& projectFolder, std::string_view entry);

private:
    std::optional<ModuleScan> scanOpened(int fd, const struct stat& info);

    struct FileKey {
        std::uint64_t device, inode, size;
        std::int64_t seconds, nanoseconds;
        bool operator==(const FileKey&) const = default;
    };
    struct FileKeyHash {
        std::size_t operator()(const FileKey& k) const;
    };
    PathResolver resolver_;
    char* buffer_ = nullptr;
    std::unordered_map<FileKey, ModuleScan, FileKeyHash> scanned_;
    std::string exactPath_;
};

// The figures of one module file: the header is one line for a standard
// module (".bas") and reaches to the "Attribute VB_Exposed" line otherwise.
ModuleFigures figuresFromScan(const ModuleScan& scan, bool standardModule);

struct ProjectCount {
    std::vector<ModuleRow> rows; // in the order of the project file
    ProjectTotals totals;
};

// `upsCountProject`'s work: the module entries of the working copy, each
// resolved against `projectFolder`, typed and counted. A module that is not
// a readable regular file is "Invalid" and adds nothing to the totals.
ProjectCount countProject(const std::filesystem::path& workingCopy, const std::filesystem::path& projectFolder);
ProjectCount countProjectText(std::string_view projectText, const std::filesystem::path& projectFolder);

} // namespace zorvika
