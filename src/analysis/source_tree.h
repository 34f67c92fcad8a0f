#pragma once
// Where a count reads its files: the file system, or the tree of one
// revision of a repository. The selection and the counting take the same
// road through either, so a revision counts exactly as its checkout would.
#include "analysis/line_counter.h"
#include "analysis/path_resolver.h"
#include "components/file_io.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace zorvika {

class SourceTree {
public:
    virtual ~SourceTree() = default;
    // The file that `text` (a path as a project or group file writes it)
    // names, relative to the folder `base`; nothing when there is none.
    virtual std::optional<std::filesystem::path> resolve(const std::filesystem::path& base, std::string_view text) = 0;
    // The whole text of a project or group file.
    virtual ReadStatus read(const std::filesystem::path& file, std::string& out) = 0;
    // One pass over a module file; false when it is no readable file.
    virtual bool scan(const std::filesystem::path& file, ModuleScan& scan) = 0;
};

class FileSystemTree final : public SourceTree {
public:
    std::optional<std::filesystem::path> resolve(const std::filesystem::path& base, std::string_view text) override
    {
        return resolver_.resolve(base, text);
    }
    ReadStatus read(const std::filesystem::path& file, std::string& out) override { return readRegularFile(file, out); }
    bool scan(const std::filesystem::path& file, ModuleScan& scan) override
    {
        return scanModuleFile(file, buffer_, scan);
    }

private:
    PathResolver resolver_;
    std::string buffer_;
};

} // namespace zorvika
