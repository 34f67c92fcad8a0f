#pragma once
// The manual page's synopsis and option lists and the bash completion, made
// at build time from the commands' tables that make `--help`, so that no
// command or option is missing from one of them.
#include <string>
#include <string_view>

namespace zorvika {

// The manual page from its template: a line "@SYNOPSIS@" becomes the
// synopsis of every command, a line "@OPTIONS name@" the list of that
// command's options (with `--help` and `--version`). Throws
// std::invalid_argument for a marker that names no command.
std::string manualPage(std::string_view templateText);

// The bash completion of zorvika-cli: the commands, each one's options,
// the choices of an option that has them, folders and files where an
// option or an operand names one, and the stored names for `history`.
std::string bashCompletion();

} // namespace zorvika
