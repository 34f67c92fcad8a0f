#pragma once
// A private folder for temporary files (mode 0700, under the system's
// temporary folder), removed with everything in it when the object goes, or
// when an interrupt ends the program first.
#include "base/result.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>

namespace zorvika {

class ScratchFolder {
public:
    // `stem` begins the folder's name; `made()` tells why when it could not
    // be made (then `ok()` is false).
    explicit ScratchFolder(const std::string& stem);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    bool ok() const { return !path_.empty(); }
    const Outcome& made() const { return made_; }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
    std::uint64_t cleanup_ = 0;
    Outcome made_;
};

} // namespace zorvika
