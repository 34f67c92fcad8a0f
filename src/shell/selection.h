#pragma once
// Choosing a project or a group: the group's entries, the working copies,
// the position text of the progress box and the previous/next arithmetic.
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvika {

struct ProgramFolder;

// A name whose last four characters, lower-cased, are ".vbg" is a group;
// every other name is a single project.
bool isGroupFileName(std::string_view path);

// The project entries of a group file, in file order: a line beginning with
// "vbgroup" (any case) is skipped; "startupproject=" and "project=" lines
// give the rest of the line, unchanged; any other line takes a position with
// an empty entry.
std::vector<std::string> readGroupEntries(std::string_view groupText);

// True when the text looks like a group file: a "vbgroup" header or at least
// one project line, and no NUL byte.
bool looksLikeGroupText(std::string_view text);
// True when the text looks like a project file: no NUL byte and at least one
// line of the form key=value.
bool looksLikeProjectText(std::string_view text);

// The current selection of the main window.
struct Selection {
    std::vector<std::string> projectFiles; // working-copy paths
    std::vector<std::string> projectPaths; // as the selection gave them
    std::vector<std::filesystem::path> projectFolders; // where module paths resolve
    std::string groupFile; // full path, or empty for a single project

    std::size_t size() const { return projectFiles.size(); }
    bool empty() const { return projectFiles.empty(); }
};

// Why a chosen file gives no selection, for the windows' message texts.
enum class SelectionProblem { None, Missing, NotRegular, Unreadable, NotGroup, NotProject };

struct SelectionResult {
    std::optional<Selection> selection;
    std::string error; // names the file and the reason when there is no selection
    SelectionProblem problem = SelectionProblem::None;
};

// Reads the chosen file (a group or a project) and writes one working copy
// per project: "[Info]", CR LF, the project file's text unchanged, CR LF,
// under "tempprjfiles". Two projects with the same file name get distinct
// working copies; a project that cannot be read gets a working copy with no
// other project's text.
SelectionResult makeSelection(const std::filesystem::path& chosen, const ProgramFolder& folder);

// The working-copy text of a project file's text.
std::string workingCopyText(std::string_view projectText);

// The progress box: two spaces, the position counted from 1, "/", the count.
std::string positionText(std::size_t position, std::size_t count);

struct Step {
    std::size_t index; // the position (from 0) to count
    std::string progressText; // the progress text after counting
};

// The project that previous and next reach from the progress text, or
// nothing when there is none to reach.
std::optional<Step> previousStep(std::string_view progressText);
std::optional<Step> nextStep(std::string_view progressText, std::size_t projectCount);

} // namespace zorvika
