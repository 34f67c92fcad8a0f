#pragma once
// Choosing a project or a group: the group's entries, the working copies,
// the position text of the progress box and the previous/next arithmetic.
#include "base/result.h"
#include "output/export.h"

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
    std::vector<std::string> projectFiles; // working-copy paths (the project's own path when none is written)
    std::vector<std::string> projectPaths; // as the selection gave them
    std::vector<std::filesystem::path> projectFolders; // where module paths resolve
    // The text written to each working copy, kept by this run: counting reads
    // it from here, so another run that rewrites a working copy of the same
    // name cannot change what this run counts.
    std::vector<std::string> projectTexts;
    // Whether each project file could be read, and why not (a project that
    // cannot be read counts as empty).
    std::vector<Outcome> projectReads;
    std::string groupFile; // full path, or empty for a single project
    // The file each project was read from in the selection's tree; empty
    // where none was found.
    std::vector<std::filesystem::path> projectSources;

    std::size_t size() const { return projectFiles.size(); }
    bool empty() const { return projectFiles.empty(); }
};

// Why a chosen file gives no selection, for the windows' message texts.
enum class SelectionError { Missing, NotRegular, Unreadable, TooLarge, NotGroup, NotProject, CopyNotWritten };

// Whether a selection writes its working copies into "tempprjfiles": the
// windows and a count that is stored do; a count that stores nothing keeps
// the texts in memory only and writes nothing.
enum class WorkingCopies { Write, InMemory };

// Reads the chosen file (a group or a project) and writes one working copy
// per project: "[Info]", CR LF, the project file's text unchanged (less a
// byte-order mark), CR LF, under "tempprjfiles". Each copy is written whole
// beside its name and renamed over it, so a run at the same moment finds an
// old copy or a new one, never a part. Two projects with the same file name
// get distinct working copies; a project that cannot be read gets a working
// copy with no other project's text. A copy that cannot be written is no
// selection: the failure names it and says why. Every failure's reason
// names the file.
Result<Selection, SelectionError> makeSelection(const std::filesystem::path& chosen, const ProgramFolder& folder,
                                                WorkingCopies copies = WorkingCopies::Write);

class SourceTree;
// The same, reading the chosen file (`chosen` as the user named it, at
// `chosenPath` in `tree`), the group's projects and later their modules
// from `tree`.
Result<Selection, SelectionError> makeSelection(const std::filesystem::path& chosen,
                                                const std::filesystem::path& chosenPath, const ProgramFolder& folder,
                                                SourceTree& tree, WorkingCopies copies = WorkingCopies::Write);

// The files of the disk that counting project `index` of a selection made
// on the file system reads: the group file, the project file, its modules
// and the message table `messageTable`.
CountInputs countInputs(const Selection& selection, std::size_t index, const std::filesystem::path& messageTable);

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
