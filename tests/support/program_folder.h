#pragma once
// A program folder prepared as at start-up: the folder itself, the working
// folders and an empty message table.
#include "base/program_folder.h"

#include <filesystem>

namespace zorvika::test {

inline ProgramFolder preparedProgramFolder(const std::filesystem::path& root)
{
    std::filesystem::create_directories(root);
    const ProgramFolder folder{root};
    ensureWorkFiles(folder);
    return folder;
}

} // namespace zorvika::test
