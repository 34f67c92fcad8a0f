#pragma once
// Where the code of a module lives: its procedures, their logical lines,
// statements, complexity and nesting, read in one pass over the lines below
// the module's header (where "P" begins).
//
// The rules, in short (the help states them in full):
// - Strings run from `"` to the next `"` that is not doubled; an unclosed
//   string ends with the line. Outside strings `'` starts a comment, and so
//   does `Rem` as the first word of a statement. `#...#` holding a date or a
//   time is a literal.
// - A physical line ending in whitespace and `_` (outside strings, also in a
//   comment) goes on in the next one; the lines so joined are one logical
//   line: blank, comment, attribute, directive or code.
// - Statements of a code line: its `:`-separated segments after a leading
//   label or line number, plus one for each statement after `Then` or `Else`
//   on the same line.
// - A procedure runs from its `Sub`/`Function`/`Property` header to the
//   first `End Sub`/`End Function`/`End Property`.
#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvika {

enum class ProcedureKind : int { Sub = 0, Function, PropertyGet, PropertyLet, PropertySet };
inline constexpr int kProcedureKindCount = 5;

// "Sub", "Function", "Property Get", "Property Let", "Property Set".
std::string_view procedureKindText(ProcedureKind kind);

struct ProcedureMetrics {
    std::string name;
    ProcedureKind kind = ProcedureKind::Sub;
    std::int64_t firstLine = 0;  // physical line of the header in the file, from 1
    std::int64_t span = 0;       // physical lines from the header's first to the end's last
    std::int64_t codeLines = 0;  // lines of the span that are neither blank nor comment
    std::int64_t lloc = 0;       // logical code and directive lines
    std::int64_t statements = 0;
    std::int64_t cc = 1;         // cyclomatic complexity
    std::int64_t cc2 = 1;        // CC and the And, Or, Xor of the conditions
    std::int64_t depth = 0;      // most block constructs open at once
    bool definedTwice = false;   // another procedure of the module has the same name
};

// The figures of one module: its procedures in file order and their sums.
struct ModuleMetrics {
    std::vector<ProcedureMetrics> procedures;
    std::array<std::int64_t, kProcedureKindCount> byKind{};
    std::int64_t declares = 0;
    std::int64_t events = 0;
    std::int64_t lloc = 0;        // of the whole code part, procedures or not
    std::int64_t statements = 0;  // of the whole code part
    std::int64_t totalCc = 0;
    std::int64_t highestCc = 0;
    std::string longestName;      // the procedure of the longest span (the first of equals)
    std::int64_t longestSpan = 0;
};

// The analysis of a module's text fed in pieces, cut anywhere: the figures
// do not depend on where. A line that lies whole in a piece is analysed
// where it lies, so the memory taken is that of the longest physical line
// that runs over a piece's end, never that of the module.
class ModuleAnalyzer {
public:
    // Below a header of `headerLines` lines.
    explicit ModuleAnalyzer(std::int64_t headerLines);
    // Below the header found by the count's rule: one line for a standard
    // module, else up to the first line that begins with "Attribute
    // VB_Exposed" (none without such a line).
    static ModuleAnalyzer byHeaderRule(bool standardModule);
    ModuleAnalyzer(ModuleAnalyzer&&) noexcept;
    ModuleAnalyzer& operator=(ModuleAnalyzer&&) noexcept;
    ~ModuleAnalyzer();

    void feed(std::string_view piece);
    // The figures, once the last piece was fed.
    ModuleMetrics finish();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Analyses a module's text whose first `headerLines` lines are its header.
ModuleMetrics analyzeModuleText(std::string_view text, std::int64_t headerLines);

// Reads a regular file in pieces and analyses it below its header, found by
// the count's rule. Nothing when it cannot be read.
std::optional<ModuleMetrics> analyzeModuleFile(const std::filesystem::path& path, bool standardModule);

// One module entry of a project: its path as the list shows it, its type
// text, and its figures (none for an "Invalid" module).
struct ModuleAnalysis {
    std::string module;
    std::string type;
    std::optional<ModuleMetrics> metrics;
};

// Every module entry of the project text in the order of the project file,
// resolved against `projectFolder` as the count resolves it (in `tree`: the
// file system, or a revision of a repository).
std::vector<ModuleAnalysis> analyzeProjectText(std::string_view projectText,
                                               const std::filesystem::path& projectFolder);
class SourceTree;
std::vector<ModuleAnalysis> analyzeProjectText(std::string_view projectText,
                                               const std::filesystem::path& projectFolder, SourceTree& tree);

} // namespace zorvika
