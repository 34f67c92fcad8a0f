#include "cli/inputs.h"

#include "base/line_reader.h"
#include "base/platform.h"

#include <algorithm>
#include <filesystem>
#include <set>

namespace zorvika {

namespace fs = std::filesystem;

namespace {

// One bracket expression at `pattern[p]` (just after '['): whether `c` is
// in it, and where the pattern goes on; no end bracket makes the '[' an
// ordinary character.
bool inSet(std::string_view pattern, std::size_t& p, char c, bool& matched)
{
    std::size_t q = p;
    const bool negated = q < pattern.size() && (pattern[q] == '!' || pattern[q] == '^');
    if (negated)
        ++q;
    bool found = false;
    bool first = true;
    while (q < pattern.size() && (pattern[q] != ']' || first)) {
        first = false;
        const char low = pattern[q];
        if (q + 2 < pattern.size() && pattern[q + 1] == '-' && pattern[q + 2] != ']') {
            found = found || (low <= c && c <= pattern[q + 2]);
            q += 3;
        } else {
            found = found || low == c;
            ++q;
        }
    }
    if (q >= pattern.size())
        return false;
    p = q + 1;
    matched = found != negated;
    return true;
}

bool hasProjectEnding(std::string_view name)
{
    return name.size() >= 4
           && (equalsNoCase(name.substr(name.size() - 4), ".vbp") || equalsNoCase(name.substr(name.size() - 4), ".vbg"));
}

// Adds the project and group files below `root` to `found`; folders are
// kept on a list, not on the call stack, so any depth is searched.
void search(const fs::path& root, const std::vector<std::string>& excludes, std::vector<fs::path>& found,
            std::vector<std::string>& failures)
{
    std::vector<fs::path> folders{root};
    while (!folders.empty()) {
        const fs::path folder = std::move(folders.back());
        folders.pop_back();
        std::error_code ec;
        fs::directory_iterator it(folder, ec), end;
        for (; !ec && it != end; it.increment(ec)) {
            const fs::path& path = it->path();
            if (isExcluded(path, excludes))
                continue;
            std::error_code kindError;
            if (fs::is_directory(it->symlink_status(kindError)))
                folders.push_back(path);
            else if (hasProjectEnding(utf8Of(path.filename())) && fs::is_regular_file(fs::status(path, kindError)))
                found.push_back(path);
        }
        if (ec)
            failures.push_back(utf8Of(folder) + ": cannot be searched: " + ec.message());
    }
}

} // namespace

bool globMatches(std::string_view pattern, std::string_view text)
{
    // The usual walk with one point to go back to: the last '*' seen, and
    // where in the text it began to match.
    std::size_t p = 0, t = 0;
    std::size_t starP = std::string_view::npos, starT = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = ++p;
            starT = t;
            continue;
        }
        if (p < pattern.size()) {
            std::size_t next = p + 1;
            bool matched = false;
            if (pattern[p] == '[') {
                if (!inSet(pattern, next, text[t], matched))
                    matched = text[t] == '[';
            } else {
                matched = pattern[p] == '?' || pattern[p] == text[t];
            }
            if (matched) {
                p = next;
                ++t;
                continue;
            }
        }
        if (starP == std::string_view::npos)
            return false;
        p = starP;
        t = ++starT;
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

bool isExcluded(const fs::path& path, const std::vector<std::string>& excludes)
{
    if (excludes.empty())
        return false;
    // A pattern's folders are parted by "/" on every system.
    std::string whole = utf8Of(path);
    if constexpr (fs::path::preferred_separator != '/')
        std::replace(whole.begin(), whole.end(), static_cast<char>(fs::path::preferred_separator), '/');
    const std::string last = utf8Of(path.filename());
    return std::any_of(excludes.begin(), excludes.end(), [&](const std::string& glob) {
        return globMatches(glob, whole) || globMatches(glob, last);
    });
}

ProjectInputs findProjectInputs(const std::vector<std::string>& operands, const std::vector<std::string>& excludes)
{
    ProjectInputs inputs;
    std::set<fs::path> seen;
    auto add = [&](const fs::path& file) {
        std::error_code ec;
        const fs::path same = fs::weakly_canonical(fs::absolute(file, ec), ec);
        if (seen.insert(ec ? file : same).second)
            inputs.files.push_back(utf8Of(file));
    };
    for (const std::string& operand : operands) {
        const fs::path path = pathFromUtf8(operand);
        std::error_code ec;
        if (!fs::is_directory(path, ec)) {
            if (!isExcluded(path, excludes))
                add(path);
            continue;
        }
        std::vector<fs::path> found;
        const std::size_t failed = inputs.failures.size();
        search(path, excludes, found, inputs.failures);
        if (found.empty() && inputs.failures.size() == failed)
            inputs.failures.push_back(operand + ": no .vbp or .vbg file below this folder");
        std::sort(found.begin(), found.end());
        for (const fs::path& file : found)
            add(file);
    }
    return inputs;
}

} // namespace zorvika
