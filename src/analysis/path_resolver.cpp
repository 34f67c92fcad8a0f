#include "analysis/path_resolver.h"

#include "components/line_reader.h"
#include "components/text_codec.h"

#include <algorithm>
#include <sys/stat.h>

namespace zorvika {

namespace fs = std::filesystem;

bool isDriveLetterPath(std::string_view text)
{
    return text.size() >= 2 && text[1] == ':'
        && ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z'));
}

std::string windowsNameAlternative(std::string_view written)
{
    // A name written in Windows-1252 may stand on disk (or in a tree) in UTF-8.
    return isValidUtf8(written) ? std::string() : windows1252ToUtf8(written);
}

bool sameNameNoCase(std::string_view name, std::string_view written, std::string_view alternative)
{
    return equalsNoCase(name, written) || (!alternative.empty() && equalsNoCase(name, alternative));
}

static bool pathExists(const fs::path& p)
{
    struct stat st {};
    return ::lstat(p.c_str(), &st) == 0;
}

const std::vector<std::string>& PathResolver::listing(const fs::path& dir)
{
    auto [it, inserted] = listings_.try_emplace(dir.native());
    if (inserted) {
        std::error_code ec;
        for (fs::directory_iterator d(dir, ec), end; !ec && d != end; d.increment(ec))
            it->second.push_back(d->path().filename().native());
        std::sort(it->second.begin(), it->second.end());
    }
    return it->second;
}

std::optional<fs::path> PathResolver::resolve(const fs::path& base, std::string_view text)
{
    if (text.empty() || isDriveLetterPath(text))
        return std::nullopt;
    std::string unixText(text);
    std::replace(unixText.begin(), unixText.end(), '\\', '/');
    const bool absolute = unixText.front() == '/';
    fs::path exact = absolute ? fs::path(unixText) : base / unixText;
    if (pathExists(exact))
        return exact;

    fs::path current = absolute ? fs::path("/") : base;
    std::string_view rest(unixText);
    while (!rest.empty()) {
        const auto slash = rest.find('/');
        const std::string_view comp = rest.substr(0, slash);
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
        if (comp.empty() || comp == ".")
            continue;
        if (comp == "..") {
            current /= "..";
            continue;
        }
        fs::path next = current / std::string(comp);
        if (pathExists(next)) {
            current = std::move(next);
            continue;
        }
        const std::string alternative = windowsNameAlternative(comp);
        const auto& names = listing(current);
        auto match = std::find_if(names.begin(), names.end(), [&](const std::string& name) {
            return sameNameNoCase(name, comp, alternative);
        });
        if (match == names.end())
            return std::nullopt;
        current /= *match;
    }
    return current;
}

} // namespace zorvika
