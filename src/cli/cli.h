#pragma once
// The command-line program: `count` and `history`.
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace zorvika {

class Spreadsheet;

struct CliContext {
    std::filesystem::path defaultProgramFolder; // the executable's folder
    Spreadsheet* spreadsheet = nullptr; // for ".xls"; none when null
};

// Runs one command; returns the exit status (0 success, 1 failure, 2 bad
// arguments). `args` excludes the program name.
int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const CliContext& context);

} // namespace zorvika
