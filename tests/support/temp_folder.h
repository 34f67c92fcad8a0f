#pragma once
// A fresh folder under the system's temporary folder, removed at the end of
// the test; with helpers to write and read files in it.
#include "base/scratch_folder.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <stdexcept>

namespace zorvika::test {

// The program's own private scratch folder (removed with everything in it,
// read-only files included, also when an interrupt ends the test program).
class TempFolder : public ScratchFolder {
public:
    TempFolder() : ScratchFolder("zorvika-test")
    {
        if (!ok())
            throw std::runtime_error(made().reason());
    }

    std::filesystem::path operator/(std::string_view rel) const { return path() / std::string(rel); }

    // Writes `content` to the relative path, creating the folders on the way.
    std::filesystem::path write(std::string_view rel, std::string_view content) const
    {
        const std::filesystem::path p = path() / std::string(rel);
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << content;
        return p;
    }
};

inline std::string readFile(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::string corpus(std::string_view rel)
{
    return std::string(ZORVIKA_CORPUS_DIR) + "/" + std::string(rel);
}

} // namespace zorvika::test
