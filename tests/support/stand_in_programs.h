#pragma once
// Helpers of tests that run other programs: environment overrides, folder
// listings, stand-in programs written as shell scripts.
#include "temp_folder.h"

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <set>
#include <string>

namespace zorvika::test {

// Sets an environment variable for the life of the object, then puts the
// old value back.
class EnvOverride {
public:
    EnvOverride(std::string name, const std::string& value) : name_(std::move(name))
    {
        if (const char* old = std::getenv(name_.c_str()))
            old_ = old;
        ::setenv(name_.c_str(), value.c_str(), 1);
    }
    ~EnvOverride()
    {
        if (old_)
            ::setenv(name_.c_str(), old_->c_str(), 1);
        else
            ::unsetenv(name_.c_str());
    }
    EnvOverride(const EnvOverride&) = delete;
    EnvOverride& operator=(const EnvOverride&) = delete;

private:
    std::string name_;
    std::optional<std::string> old_;
};

// The names in a folder (not recursive).
inline std::set<std::string> entries(const std::filesystem::path& dir)
{
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        names.insert(e.path().filename().string());
    return names;
}

// An executable shell script at `dir`/`name`.
inline std::filesystem::path script(const TempFolder& dir, const std::string& name, const std::string& body)
{
    const auto path = dir.write(name, "#!/bin/sh\n" + body + "\n");
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    return path;
}

} // namespace zorvika::test
