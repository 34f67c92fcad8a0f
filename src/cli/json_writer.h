#pragma once
// A small JSON writer for the command line's machine-readable output.
#include <string>
#include <string_view>

namespace zorvika {

std::string jsonString(std::string_view text);

} // namespace zorvika
