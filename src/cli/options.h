#pragma once
// The command line's options, declared once per command: the parser reads
// the table, and the usage and `--help` texts are made from the same table,
// so the two cannot drift.
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvika {

// A bad command line: reported as one line on standard error, exit 2.
struct UsageError {
    std::string what;
};

struct OptionSpec {
    std::string_view name;                // "--project"
    std::vector<std::string_view> values; // the names of its values ("K"); none for a switch
    std::string_view help;                // one line for `--help`
    std::vector<std::string_view> choices; // the only texts its value may be; any when empty
};

struct CommandSpec {
    std::string_view name;     // "count"
    std::string_view operands; // "FILE", "[PROJECT [VERSION]]"
    std::size_t minOperands = 0;
    std::size_t maxOperands = 0;
    std::string_view summary;  // what the command does, for `--help`
    std::vector<OptionSpec> options;
};

// What one command line holds after the command's name.
struct ParsedArgs {
    std::vector<std::string> operands;
    // The values of each option given; a later one replaces an earlier one.
    std::map<std::string, std::vector<std::string>, std::less<>> options;
    bool help = false; // `--help` or `-h`

    bool has(std::string_view option) const { return options.find(option) != options.end(); }
    // The option's first value, when it was given.
    std::optional<std::string> value(std::string_view option) const;
};

// Reads the arguments after the command's name by the command's table:
// options (`--name VALUE` or `--name=VALUE`) and operands in any order, and
// after `--` only operands. Throws UsageError for an unknown option, a
// missing value, a value outside the choices or a wrong number of operands.
// A `--help` (or `-h`) before any `--` gives `help` and nothing else checked.
ParsedArgs parseArguments(const CommandSpec& command, const std::vector<std::string>& args);

// "zorvika-cli count FILE [--project K] ...": the command's synopsis.
std::string synopsis(const CommandSpec& command);
// The synopsis, the summary and one line per option, each line ending in LF.
std::string helpText(const CommandSpec& command);

} // namespace zorvika
