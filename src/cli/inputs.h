#pragma once
// The files `count` and `procedures` read: the FILEs given, each folder
// among them searched for every project and group below it, less what an
// exclusion names.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zorvika {

struct ProjectInputs {
    std::vector<std::string> files;    // in the order given; a folder's finds in path order
    std::vector<std::string> failures; // one line each: a folder that could not be searched, or held nothing
};

// Every operand that is a folder stands for the `.vbp` and `.vbg` files
// below it (any letter case; folder links are not entered, so no loop can
// form), in path order; any other operand is a file, as given. A file named
// twice (also through a link or another spelling of its path) is kept the
// first time only. A path that an exclusion matches is left out, and a
// folder it matches is not searched.
ProjectInputs findProjectInputs(const std::vector<std::string>& operands, const std::vector<std::string>& excludes);

// Whether a glob matches a whole text: `*` any run of characters (`/`
// included), `?` one character, `[abc]`, `[a-z]` and `[!a-z]` one of a set
// (or not of it); every other character itself.
bool globMatches(std::string_view pattern, std::string_view text);

// Whether an exclusion matches a path: the whole path, or its last part.
bool isExcluded(const std::filesystem::path& path, const std::vector<std::string>& excludes);

} // namespace zorvika
