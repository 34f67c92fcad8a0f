#include "components/file_types.h"

#include "base/line_reader.h"

namespace zorvika {

std::string patternExtension(std::string_view pattern)
{
    if (pattern.size() < 3 || pattern.substr(0, 2) != "*.")
        return {};
    const std::string_view extension = pattern.substr(1);
    if (extension.find_first_of("*? ", 1) != std::string_view::npos)
        return {};
    return std::string(extension);
}

// The length of the longest known extension that `name` ends with, 0 for none.
static std::size_t knownEnding(std::string_view name, const std::vector<std::string>& known)
{
    std::size_t longest = 0;
    for (const std::string& extension : known) {
        if (extension.size() > longest && extension.size() < name.size()
            && equalsNoCase(name.substr(name.size() - extension.size()), extension))
            longest = extension.size();
    }
    return longest;
}

std::string nameForType(std::string_view name, std::string_view extension, const std::vector<std::string>& known)
{
    if (extension.empty())
        return std::string(name);
    std::string result(name.substr(0, name.size() - knownEnding(name, known)));
    result += extension;
    return result;
}

std::string nameWithType(std::string_view name, std::string_view extension, const std::vector<std::string>& known)
{
    if (knownEnding(name, known) > 0)
        return std::string(name);
    return std::string(name) + std::string(extension);
}

} // namespace zorvika
