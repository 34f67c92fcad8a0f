#include "shell/selection.h"

#include "analysis/module_row.h"
#include "analysis/project_reader.h"
#include "analysis/source_tree.h"
#include "base/file_io.h"
#include "base/line_reader.h"
#include "base/platform.h"
#include "base/program_folder.h"

#include <map>
#include <set>

namespace zorvika {

namespace fs = std::filesystem;

bool isGroupFileName(std::string_view path)
{
    return path.size() >= 4 && equalsNoCase(path.substr(path.size() - 4), ".vbg");
}

std::vector<std::string> readGroupEntries(std::string_view groupText)
{
    std::vector<std::string> entries;
    forEachLine(withoutUtf8Bom(groupText), [&](std::string_view line) {
        if (startsWithNoCase(line, "vbgroup"))
            return;
        if (startsWithNoCase(line, "startupproject="))
            entries.emplace_back(line.substr(15));
        else if (startsWithNoCase(line, "project="))
            entries.emplace_back(line.substr(8));
        else
            entries.emplace_back();
    });
    return entries;
}

bool looksLikeGroupText(std::string_view text)
{
    if (text.find('\0') != std::string_view::npos)
        return false;
    bool found = false;
    forEachLine(withoutUtf8Bom(text), [&](std::string_view line) {
        if (startsWithNoCase(line, "vbgroup") || startsWithNoCase(line, "startupproject=")
            || startsWithNoCase(line, "project="))
            found = true;
    });
    return found;
}

bool looksLikeProjectText(std::string_view text)
{
    if (text.find('\0') != std::string_view::npos)
        return false;
    bool found = false;
    forEachLine(text, [&](std::string_view line) {
        const auto eq = line.find('=');
        if (eq != std::string_view::npos && eq > 0 && line[0] != ' ' && line[0] != '\t' && line[0] != '[')
            found = true;
    });
    return found;
}

std::string workingCopyText(std::string_view projectText)
{
    std::string text = "[Info]\r\n";
    text.append(withoutUtf8Bom(projectText));
    text += "\r\n";
    return text;
}

// The file name part of a path as a Windows project file writes it.
static std::string fileNamePart(std::string_view path)
{
    const auto cut = path.find_last_of("/\\");
    std::string name(cut == std::string_view::npos ? path : path.substr(cut + 1));
    for (char& c : name)
        if (c == '\0')
            c = '_';
    if (name.empty() || name == "." || name == ".." || name.starts_with(kTempFilePrefix))
        name = "project";
    // Leave room for a "~n" under the file system's 255-byte limit: shorten
    // the stem of a longer name, keeping its extension and whole UTF-8
    // characters.
    constexpr std::size_t kLongest = 200;
    if (name.size() > kLongest) {
        const auto dot = name.rfind('.');
        const std::string ext = dot != std::string::npos && name.size() - dot <= 16 ? name.substr(dot) : "";
        std::size_t cut = kLongest - ext.size();
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
            --cut;
        name = name.substr(0, cut) + ext;
    }
    return name;
}

// A working-copy name not yet used by this selection: "name" for the first
// project of that file name, "name~2", "name~3" and so on, before the
// extension, for later ones.
class WorkingCopyNames {
public:
    std::string take(const std::string& name)
    {
        if (used_.insert(name).second)
            return name;
        const auto dot = name.rfind('.');
        const bool hasExt = dot != std::string::npos && dot != 0;
        const std::string stem = hasExt ? name.substr(0, dot) : name;
        const std::string ext = hasExt ? name.substr(dot) : std::string();
        int& n = next_.try_emplace(name, 2).first->second;
        for (;; ++n) {
            std::string candidate = stem + "~" + std::to_string(n) + ext;
            if (used_.insert(candidate).second)
                return candidate;
        }
    }

private:
    std::set<std::string> used_;
    std::map<std::string, int> next_;
};

CountInputs countInputs(const Selection& selection, std::size_t index, const fs::path& messageTable)
{
    CountInputs inputs;
    inputs.files = {pathFromUtf8(selection.groupFile), messageTable};
    if (index >= selection.size())
        return inputs;
    inputs.files.push_back(selection.projectSources[index]);
    inputs.moduleFolder = selection.projectFolders[index];
    inputs.moduleEntries = readModuleEntries(selection.projectTexts[index]);
    return inputs;
}

Result<Selection, SelectionError> makeSelection(const fs::path& chosen, const ProgramFolder& folder,
                                                WorkingCopies copies)
{
    std::error_code ec;
    FileSystemTree tree;
    return makeSelection(chosen, fs::absolute(chosen, ec), folder, tree, copies);
}

Result<Selection, SelectionError> makeSelection(const fs::path& chosen, const fs::path& chosenAbs,
                                                const ProgramFolder& folder, SourceTree& tree, WorkingCopies copies)
{
    Result<std::string, ReadError> read = tree.read(chosenAbs);
    if (!read) {
        const SelectionError kind = read.kind() == ReadError::Missing      ? SelectionError::Missing
                                    : read.kind() == ReadError::NotRegular ? SelectionError::NotRegular
                                    : read.kind() == ReadError::TooLarge   ? SelectionError::TooLarge
                                                                          : SelectionError::Unreadable;
        return read.failure().about(utf8Of(chosen)).as(kind);
    }
    std::string text = std::move(*read);

    Selection sel;
    std::vector<std::optional<fs::path>> sources;
    if (isGroupFileName(utf8Of(chosen))) {
        if (!looksLikeGroupText(text))
            return fail(SelectionError::NotGroup, chosen.string() + ": not a project group file");
        sel.groupFile = chosenAbs.lexically_normal().string();
        const fs::path groupFolder = chosenAbs.parent_path();
        for (std::string& entry : readGroupEntries(text)) {
            auto resolved = tree.resolve(groupFolder, entry);
            sel.projectFolders.push_back(resolved ? resolved->parent_path() : groupFolder);
            sources.push_back(std::move(resolved));
            sel.projectPaths.push_back(entry);
            sel.projectFiles.push_back(std::move(entry));
        }
    } else {
        if (!looksLikeProjectText(text))
            return fail(SelectionError::NotProject, chosen.string() + ": not a project file");
        sel.projectPaths.push_back(chosen.string());
        sel.projectFiles.push_back(chosen.string());
        sel.projectFolders.push_back(chosenAbs.parent_path());
        sources.emplace_back(chosenAbs);
    }

    WorkingCopyNames names;
    sel.projectTexts.resize(sel.size());
    sel.projectReads.resize(sel.size());
    for (std::size_t i = 0; i < sel.size(); ++i) {
        std::string projectText;
        if (i == 0 && sel.groupFile.empty()) {
            projectText = std::move(text); // the chosen project, read above
        } else if (!sources[i]) {
            sel.projectReads[i] =
                sel.projectPaths[i].empty()
                    ? Outcome::failure("a line of the group names no project")
                    : Outcome(readFailure(ReadError::Missing).about(sel.projectPaths[i]).as(Failed::Failed));
        } else if (auto projectRead = tree.read(*sources[i]); projectRead) {
            projectText = std::move(*projectRead);
        } else {
            sel.projectReads[i] = projectRead.failure().about(sel.projectPaths[i]).as(Failed::Failed);
            projectText.clear();
        }
        std::string copyText = workingCopyText(projectText);
        if (copies == WorkingCopies::InMemory) {
            // Counted from this text alone; the project's own path names it.
            sel.projectTexts[i] = std::move(copyText);
            continue;
        }
        const fs::path copy = folder.workingCopies() / pathFromUtf8(names.take(fileNamePart(sel.projectFiles[i])));
        if (const Outcome written = writeFileAtomically(copy, copyText, {}, Durability::Scratch); !written)
            return written.failure().as(SelectionError::CopyNotWritten).about(utf8Of(copy));
        sel.projectFiles[i] = copy.string();
        sel.projectTexts[i] = std::move(copyText);
    }
    for (std::optional<fs::path>& source : sources)
        sel.projectSources.push_back(source ? std::move(*source) : fs::path());
    return sel;
}

std::string positionText(std::size_t position, std::size_t count)
{
    return "  " + std::to_string(position) + "/" + std::to_string(count);
}

static std::optional<long long> parsePosition(std::string_view text)
{
    const auto slash = text.find('/');
    if (slash == std::string_view::npos)
        return std::nullopt;
    return parseFigure(trimSpaces(text.substr(0, slash)));
}

static bool nothingToStep(std::string_view text)
{
    const std::string_view t = trimSpaces(text);
    return t == "0/0" || t == "1/1";
}

static std::string afterSlash(std::string_view text)
{
    return std::string(text.substr(text.find('/') + 1));
}

std::optional<Step> previousStep(std::string_view progressText)
{
    if (nothingToStep(progressText))
        return std::nullopt;
    const auto p = parsePosition(progressText);
    if (!p || *p - 1 < 1)
        return std::nullopt;
    const long long target = *p - 1;
    return Step{static_cast<std::size_t>(target - 1), "  " + std::to_string(target) + "/" + afterSlash(progressText)};
}

std::optional<Step> nextStep(std::string_view progressText, std::size_t projectCount)
{
    if (nothingToStep(progressText))
        return std::nullopt;
    const auto p = parsePosition(progressText);
    if (!p || *p < 0 || static_cast<unsigned long long>(*p) + 1 > projectCount)
        return std::nullopt;
    return Step{static_cast<std::size_t>(*p), "  " + std::to_string(*p + 1) + "/" + afterSlash(progressText)};
}

} // namespace zorvika
