#pragma once
// Counting the lines of modules and of a whole project.
#include "analysis/module_row.h"
#include "analysis/path_resolver.h"
#include "base/byte_scan.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvika {

class FileHandle;
struct EntryInfo;

// The count's line rules, shared by every reader that tells blank and
// comment lines: a line is blank when nothing but tabs and spaces is in it,
// and a comment when its first character other than a tab or space is "'".
enum class LineKind { Blank, Comment, Other };
constexpr bool isLineLeadBlank(char c) { return isBlankByte(c); }
// The kind of a line whose first character other than tab or space is `first`.
constexpr LineKind lineKindOf(char first) { return first == '\'' ? LineKind::Comment : LineKind::Other; }

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
    // A UTF-8 byte-order mark at the very start of the text is skipped.
    void feed(std::string_view chunk);
    ModuleScan finish();
    // The "Attribute VB_Exposed" line found so far (0: none yet): a reader
    // that needs only the header may stop feeding once it is known.
    std::int64_t exposedLineSoFar() const { return scan_.exposedLine; }

private:
    void feedText(std::string_view chunk);
    int bomSeen_ = 0;       // bytes of a byte-order mark matched at the start; -1 once decided
    // The text is taken 64 bytes at a time as bit masks (one bit a byte):
    // line ends, blanks, quotes and line starts; a line's first character
    // other than tab or space is found for all its lines at once by adding
    // the line starts into the runs of blanks.
    void block(const char* p, const char* chunkEnd, std::size_t length, std::uint64_t cr, std::uint64_t lf,
               std::uint64_t blanks, std::uint64_t quotes, std::uint64_t letterA);
    // Matches "attribute vb_exposed" from `p` on, `matched` characters
    // being matched already; a piece that ends inside the key leaves
    // `pendingPrefix_` for the next piece.
    void matchExposed(const char* p, const char* end, int matched, std::int64_t line);

    ModuleScan scan_;
    std::int64_t ended_ = 0;     // lines ended by CR, LF or CR LF so far
    bool any_ = false;           // a byte was seen
    bool startNext_ = true;      // the next byte begins a line
    bool undecided_ = false;     // the open line has shown nothing but tabs and spaces
    bool lastCr_ = false;        // the last byte was CR: an LF next ends nothing
    int pendingPrefix_ = -1;     // characters of the key matched up to the end of the last piece
    std::int64_t pendingLine_ = 0;
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

    // Room for the files of this many entries, taken at once.
    void expect(std::size_t entries);

    // The scan of the module that `entry` names from `projectFolder`;
    // nothing when it names no readable regular file.
    std::optional<ModuleScan> scan(const std::filesystem::path& projectFolder, std::string_view entry);

private:
    std::optional<ModuleScan> scanOpened(const FileHandle& fd, const EntryInfo& info);

    struct FileKey {
        std::uint64_t device, inode, size;
        std::int64_t seconds, nanoseconds;
        bool operator==(const FileKey&) const = default;
    };
    struct Scanned {
        FileKey key;
        ModuleScan scan;
    };
    static std::size_t hashOf(const FileKey& k);
    const ModuleScan* find(const FileKey& key) const;
    void remember(const FileKey& key, const ModuleScan& scan);

    PathResolver resolver_;
    char* buffer_ = nullptr;
    // The files read in this run, and an open-addressed table of their
    // positions (plus one; 0 is a free slot), kept at most half full: a run
    // of 100,000 modules keeps 8 MB for it.
    std::vector<Scanned> scanned_;
    std::vector<std::uint32_t> slots_;
    std::string exactPath_;
};

// The figures of one module file: the header is one line for a standard
// module (".bas") and reaches to the "Attribute VB_Exposed" line otherwise.
ModuleFigures figuresFromScan(const ModuleScan& scan, bool standardModule);

// The number of header lines of a module's text, by the same rule, read no
// further than the header's end.
std::int64_t headerLinesOf(std::string_view text, bool standardModule);

struct ProjectCount {
    std::vector<ModuleRow> rows; // in the order of the project file
    ProjectTotals totals;
};

// The module entries of the working copy, each
// resolved against `projectFolder`, typed and counted. A module that is not
// a readable regular file is "Invalid" and adds nothing to the totals.
ProjectCount countProject(const std::filesystem::path& workingCopy, const std::filesystem::path& projectFolder);
ProjectCount countProjectText(std::string_view projectText, const std::filesystem::path& projectFolder);

class SourceTree;
// The same, with the modules resolved and read in `tree`.
ProjectCount countProjectText(std::string_view projectText, const std::filesystem::path& projectFolder,
                              SourceTree& tree);

} // namespace zorvika
