#pragma once
// The INI lookup the program relies on for project properties and the
// message table.
//
// - A line "[name]" (spaces and tabs around it ignored) opens a section that
//   runs to the next such line; section names compare without regard to case.
// - In the named section, a line "key=value" matches when the text before its
//   first "=", without surrounding spaces and tabs, equals the key without
//   regard to case. The first matching line wins.
// - The value is the text after that first "=", without surrounding spaces
//   and tabs; one pair of enclosing double quotes is removed.
// - A missing file, section or key gives the empty string.
#include <filesystem>
#include <string>
#include <string_view>

namespace zorvika {

std::string readIniValueFromText(std::string_view text, std::string_view section, std::string_view key);

// `ReadIniValue`: reads the file afresh on every call. The result is bytes as
// the file holds them.
std::string ReadIniValue(const std::filesystem::path& file, std::string_view section, std::string_view key);

} // namespace zorvika
