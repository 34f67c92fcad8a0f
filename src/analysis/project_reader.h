#pragma once
// Reading a project file (through its working copy): the module entries,
// the type of a module by its path, and the eight descriptive properties.
#include "analysis/module_kinds.h"

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zorvika {

// One module path per module entry, in file order, as the project file gives
// it (bytes), without spaces at its ends. The entry keys are the module
// kinds' (analysis/module_kinds.h): most take the rest of the line;
// "module=" and "class=" the text between the first and second ";" (no row
// when the line holds no ";"). Keys must stand at the very start of a line.
std::vector<std::string> readModuleEntries(std::string_view projectText);

// The eight boxes: name, version, product name, description, comments,
// company, copyright, trademarks; display texts (UTF-8).
struct ProjectInfo {
    std::array<std::string, 8> values;
    const std::string& name() const { return values[0]; }
    const std::string& version() const { return values[1]; }
};

ProjectInfo projectInfoFromText(std::string_view workingCopyText);
// The eight properties, read from section "Info" of the working copy.
ProjectInfo readProjectInfo(const std::filesystem::path& workingCopy);

} // namespace zorvika
