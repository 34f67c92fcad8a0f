#pragma once
// The command-line program: the commands `count`, `history`, `import` and
// `procedures`, and `--help` and `--version`.
#include "base/message_language.h"

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace zorvika {

class Spreadsheet;

struct CliContext {
    std::filesystem::path defaultProgramFolder; // the message tables and the help
    std::filesystem::path defaultDataFolder;    // the working copies and the store; empty: the same
    std::string defaultFolderProblem; // why the default folders cannot be used (no home); empty when they can
    Spreadsheet* spreadsheet = nullptr; // for ".xls"; none when null
    LocaleVariables locale = {};        // the user's language; none: English
};

// Runs one command; returns the exit status (0 success, 1 failure, 2 bad
// arguments). `args` excludes the program name.
int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const CliContext& context);

} // namespace zorvika
