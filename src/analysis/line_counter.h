#pragma once
// Counting the lines of modules and of a whole project.
#include "analysis/module_row.h"

#include <filesystem>
#include <string_view>
#include <vector>

namespace zorvika {

// The count's line rules, shared by every reader that tells blank and
// comment lines: a line is blank when nothing but tabs and spaces is in it,
// and a comment when its first character other than a tab or space is "'".
enum class LineKind { Blank, Comment, Other };
constexpr bool isLineLeadBlank(char c) { return c == ' ' || c == '\t'; }
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
    ModuleScan scan_;
    bool inLine_ = false;   // a line has begun and has not ended yet
    bool decided_ = false;  // the line's first character other than tab or space was seen
    int prefix_ = -1;       // characters of "attribute vb_exposed" matched at the line's start; -1: none
    bool pendingCr_ = false; // the last piece ended with CR: an LF at the start of the next ends nothing
};

ModuleScan scanModuleText(std::string_view text);

// Scans a regular file in chunks through `buffer`, reading no more than the
// file's size when it was opened (a growing file cannot keep the scan
// going). Nothing but a regular file is opened for reading.
bool scanModuleFile(const std::filesystem::path& path, std::string& buffer, ModuleScan& scan);

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

// `upsCountProject`'s work: the module entries of the working copy, each
// resolved against `projectFolder`, typed and counted. A module that is not
// a readable regular file is "Invalid" and adds nothing to the totals.
ProjectCount countProject(const std::filesystem::path& workingCopy, const std::filesystem::path& projectFolder);
ProjectCount countProjectText(std::string_view projectText, const std::filesystem::path& projectFolder);

class SourceTree;
// The same, with the modules resolved and read in `tree`.
ProjectCount countProjectText(std::string_view projectText, const std::filesystem::path& projectFolder,
                              SourceTree& tree);

} // namespace zorvika
