#pragma once
// Where a count reads its files: the file system, or the tree of one
// revision of a repository. The selection and the counting take the same
// road through either, so a revision counts exactly as its checkout would.
#include "analysis/line_counter.h"
#include "analysis/module_stream.h"
#include "analysis/path_resolver.h"
#include "base/file_io.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvika {

class SourceTree {
public:
    virtual ~SourceTree() = default;
    // The file that `text` (a path as a project or group file writes it)
    // names, relative to the folder `base`; nothing when there is none.
    virtual std::optional<std::filesystem::path> resolve(const std::filesystem::path& base, std::string_view text) = 0;
    // The whole text of a project or group file.
    virtual Result<std::string, ReadError> read(const std::filesystem::path& file) = 0;
    // The scan of the module that `entry` names from `base`; nothing when it
    // names no readable file.
    virtual std::optional<ModuleScan> scanModule(const std::filesystem::path& base, std::string_view entry) = 0;
    // A module file (as `resolve` named it) opened for reading in pieces;
    // nothing when it is no readable file.
    virtual std::unique_ptr<ModuleStream> openModule(const std::filesystem::path& file) = 0;
    // A count of this many modules is about to begin.
    virtual void expect(std::size_t /*modules*/) {}
    // The count will scan these entries of a project in the folder `base`,
    // in this order: a tree may read them ahead, all at once.
    virtual void prepare(const std::filesystem::path& /*base*/, const std::vector<std::string>& /*entries*/) {}
};

class FileSystemTree final : public SourceTree {
public:
    std::optional<std::filesystem::path> resolve(const std::filesystem::path& base, std::string_view text) override
    {
        return resolver_.resolve(base, text);
    }
    Result<std::string, ReadError> read(const std::filesystem::path& file) override { return readRegularFile(file); }
    std::unique_ptr<ModuleStream> openModule(const std::filesystem::path& file) override
    {
        return openFileStream(file);
    }
    // The exact path first, each folder indexed once, each distinct file
    // read once per run.
    std::optional<ModuleScan> scanModule(const std::filesystem::path& base, std::string_view entry) override
    {
        return modules_.scan(base, entry);
    }
    void expect(std::size_t modules) override { modules_.expect(modules); }

private:
    PathResolver resolver_;
    ModuleReader modules_;
};

} // namespace zorvika
