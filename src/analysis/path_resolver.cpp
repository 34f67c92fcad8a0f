#include "analysis/path_resolver.h"

#include "base/line_reader.h"
#include "base/platform.h"
#include "base/text_codec.h"

#include <algorithm>

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

namespace {

bool pathExists(const fs::path& p)
{
    return entryInfo(p).has_value();
}

// The form two names share when they are equal without regard to ASCII
// letter case.
std::string foldedName(std::string_view name)
{
    return lowerAsciiText(name);
}

} // namespace

const PathResolver::FolderIndex& PathResolver::folderIndex(const fs::path& dir)
{
    auto [it, inserted] = indexes_.try_emplace(utf8Of(dir));
    if (inserted) {
        std::error_code ec;
        for (fs::directory_iterator d(dir, ec), end; !ec && d != end; d.increment(ec)) {
            std::string name = utf8Of(d->path().filename());
            auto [slot, added] = it->second.try_emplace(foldedName(name), Names{name, false});
            if (!added) {
                slot->second.shared = true;
                if (name < slot->second.first)
                    slot->second.first = std::move(name);
            }
        }
    }
    return it->second;
}

std::optional<bool> PathResolver::existsByIndex(const fs::path& dir, std::string_view component) const
{
    const auto folder = indexes_.find(utf8Of(dir));
    if (folder == indexes_.end())
        return std::nullopt;
    const auto names = folder->second.find(foldedName(component));
    if (names == folder->second.end())
        return false;
    if (names->second.first == component)
        return true;
    if (names->second.shared)
        return std::nullopt; // another name of the same form may be the exact one
    return false;
}

std::optional<std::string> PathResolver::nameInFolder(const fs::path& dir, std::string_view component)
{
    const auto& index = folderIndex(dir);
    const std::string* best = nullptr;
    if (auto it = index.find(foldedName(component)); it != index.end())
        best = &it->second.first;
    // A name written in Windows-1252 may stand on disk in UTF-8.
    if (!isValidUtf8(component)) {
        if (auto it = index.find(foldedName(windows1252ToUtf8(component))); it != index.end())
            if (!best || it->second.first < *best)
                best = &it->second.first;
    }
    if (!best)
        return std::nullopt;
    return *best;
}

std::size_t PathResolver::startStep(const fs::path& base, bool absolute)
{
    const std::string key = absolute ? std::string("/") : utf8Of(base);
    auto [it, inserted] = starts_.try_emplace(key, steps_.size());
    if (inserted)
        steps_.push_back(Step{absolute ? fs::path("/") : base, true, {}});
    return it->second;
}

std::size_t PathResolver::stepFrom(std::size_t from, std::string_view component)
{
    if (component.empty() || component == "." || !steps_[from].found)
        return from;
    if (auto it = steps_[from].next.find(std::string(component)); it != steps_[from].next.end())
        return it->second;
    Step step;
    const fs::path& current = steps_[from].path;
    if (component == "..") {
        step.path = current / "..";
    } else {
        fs::path next = current / pathFromUtf8(component);
        // A folder already listed tells without a system call whether the
        // name is there as written.
        const std::optional<bool> listed = existsByIndex(current, component);
        if (listed ? *listed : pathExists(next)) {
            step.path = std::move(next);
        } else if (auto name = nameInFolder(current, component)) {
            step.path = current / pathFromUtf8(*name);
        } else {
            step.found = false;
        }
    }
    const std::size_t index = steps_.size();
    steps_.push_back(std::move(step));
    steps_[from].next.emplace(std::string(component), index);
    return index;
}

std::optional<fs::path> PathResolver::resolve(const fs::path& base, std::string_view text)
{
    if (text.empty() || (!kDriveLetterPaths && isDriveLetterPath(text)))
        return std::nullopt;
    std::string unixText(text);
    std::replace(unixText.begin(), unixText.end(), '\\', '/');
    const bool absolute = unixText.front() == '/' || isDriveLetterPath(unixText);
    fs::path exact = absolute ? pathFromUtf8(unixText) : base / pathFromUtf8(unixText);
    if (pathExists(exact))
        return exact;
    // Where the file system ignores letter case, the exact path was the
    // only one to try.
    if constexpr (kFileNamesIgnoreCase)
        return std::nullopt;

    // Component by component from the base: the folder part once per
    // distinct folder text, then the file's own name.
    const auto lastSlash = unixText.rfind('/');
    const std::string_view folderText = lastSlash == std::string::npos ? std::string_view()
                                                                       : std::string_view(unixText).substr(0, lastSlash);
    const std::string_view fileName = lastSlash == std::string::npos ? std::string_view(unixText)
                                                                     : std::string_view(unixText).substr(lastSlash + 1);
    std::string folderKey = absolute ? std::string("/") : utf8Of(base);
    folderKey += '\0';
    folderKey += folderText;
    std::size_t at;
    if (auto known = folders_.find(folderKey); known != folders_.end()) {
        at = known->second;
    } else {
        at = startStep(base, absolute);
        std::string_view rest = folderText;
        while (!rest.empty() && steps_[at].found) {
            const auto slash = rest.find('/');
            at = stepFrom(at, rest.substr(0, slash));
            rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
        }
        folders_.emplace(std::move(folderKey), at);
    }
    at = stepFrom(at, fileName);
    if (!steps_[at].found)
        return std::nullopt;
    return steps_[at].path;
}

} // namespace zorvika
