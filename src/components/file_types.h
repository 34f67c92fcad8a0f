#pragma once
// File names and the file types of a save dialog: a type is an extension
// such as ".csv"; a name keeps everything before the extension it ends with,
// dots and all ("PhotoDemon_2026.1.249_20261208" has no extension of a type).
#include <string>
#include <string_view>
#include <vector>

namespace zorvika {

// The extension of a filter pattern ("*.csv" gives ".csv"); empty for a
// pattern that names no single extension ("*", "*.*", "*.vbp *.vbg").
std::string patternExtension(std::string_view pattern);

// `name` for the type `extension`: the known extension it ends with (any
// letter case, the longest that matches) swapped for `extension`, or
// `extension` added when it ends with none. An empty `extension` (every
// file) leaves the name as it is.
std::string nameForType(std::string_view name, std::string_view extension, const std::vector<std::string>& known);

// `name` as it is when it ends with a known extension, else with `extension` added.
std::string nameWithType(std::string_view name, std::string_view extension, const std::vector<std::string>& known);

} // namespace zorvika
