#include "base/child_process.h"

#include "base/system_files.h"
#include "base/system_paths.h"
#include "base/system_processes.h"

namespace zorvika {

namespace fs = std::filesystem;

ChildExit timedOutChild(const fs::path& program, std::chrono::milliseconds timeLimit)
{
    return fail(RunError::TimedOut, program.filename().string() + " did not finish within "
                                       + std::to_string(timeLimit.count()) + " ms and was ended");
}

std::optional<fs::path> findProgram(const std::vector<std::string>& names, std::string_view searchPath)
{
    for (const std::string& name : names) {
        if (name.empty() || name.find('/') != std::string::npos || (kWindowsFileSystem && name.find('\\') != std::string::npos))
            continue;
        std::size_t start = 0;
        for (;;) {
            const std::size_t end = searchPath.find(pathListSeparator(), start);
            const std::string_view dir = searchPath.substr(start, end == std::string_view::npos ? end : end - start);
            for (const std::string& file : programFileNames(name)) {
                const fs::path candidate = pathFromUtf8(dir.empty() ? std::string_view(".") : dir) / pathFromUtf8(file);
                if (isRunnableFile(candidate)) {
                    std::error_code ec;
                    const fs::path absolute = fs::absolute(candidate, ec);
                    return ec ? candidate : absolute;
                }
            }
            if (end == std::string_view::npos)
                break;
            start = end + 1;
        }
    }
    return std::nullopt;
}

std::optional<fs::path> findProgramOnPath(const std::vector<std::string>& names)
{
    const std::optional<std::string> path = environmentVariable("PATH");
    if (!path)
        return std::nullopt;
    return findProgram(names, *path);
}

} // namespace zorvika
