#pragma once
// The command line's options, declared once per command: the parser reads
// the table, and the usage, `--help`, the manual page's option lists and the
// shell completion are made from the same table, so they cannot drift.
#include <cstdint>
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

// The whole numbers a numeric option takes, both ends included.
struct NumberRange {
    std::int64_t least = 0;
    std::int64_t most = INT64_MAX;
};

struct OptionSpec {
    std::string_view name;                // "--project"
    std::vector<std::string_view> values; // the names of its values ("K"); none for a switch
    std::string_view help;                // one line for `--help`
    std::vector<std::string_view> choices; // the only texts its value may be; any when empty
    char shortName = 0;                   // 'f' for "-f"; none when 0
    std::optional<NumberRange> number = {}; // its value is a whole number in this range
    bool repeatable = false;              // every value given is kept, not only the last one
};

struct CommandSpec {
    std::string_view name;     // "count"
    std::string_view operands; // "FILE", "[PROJECT [VERSION]]"
    std::size_t minOperands = 0;
    std::size_t maxOperands = 0;
    std::string_view summary;  // what the command does, for `--help`
    std::vector<OptionSpec> options;
};

// The options every command takes besides its table: `-h`/`--help` and
// `-V`/`--version`.
struct InfoOption {
    std::string_view name;
    char shortName;
    std::string_view help;
};
inline constexpr InfoOption kHelpOption{"--help", 'h', "print this text and exit"};
inline constexpr InfoOption kVersionOption{"--version", 'V', "print the program's name and version and exit"};

// What one command line holds after the command's name.
struct ParsedArgs {
    std::vector<std::string> operands;
    // The values of each option given; a later one replaces an earlier one,
    // except for a repeatable option, whose values are all kept in order.
    std::map<std::string, std::vector<std::string>, std::less<>> options;
    bool help = false;    // `--help` or `-h`
    bool version = false; // `--version` or `-V`

    bool has(std::string_view option) const { return options.find(option) != options.end(); }
    // The option's first value, when it was given.
    std::optional<std::string> value(std::string_view option) const;
    // Every value of the option, in the order given.
    std::vector<std::string> values(std::string_view option) const;
    // The value of a numeric option (checked against its range by the parser).
    std::optional<std::int64_t> number(std::string_view option) const;
};

// A whole number written with decimal digits alone (no sign, no space, no
// other digits), or nothing when the text is not one or is past INT64_MAX.
std::optional<std::int64_t> parseWholeNumber(std::string_view text);

// Reads the arguments after the command's name by the command's table:
// options (`--name VALUE`, `--name=VALUE`, `-x VALUE`, `-xVALUE`, switches
// bundled as `-dq`) and operands in any order, and after `--` only operands.
// The arguments an option takes are its values, whatever they look like
// (`--output -h` writes to a file called "-h"). Throws UsageError for an
// unknown option, a missing value, a value outside the choices or the
// number range, or a wrong number of operands. A `--help` or `--version`
// (as an option, not as a value) before any `--` gives `help` or `version`
// and nothing else checked.
ParsedArgs parseArguments(const CommandSpec& command, const std::vector<std::string>& args);

// "--format tsv|csv|json", "--compare V1 V2", "--save".
std::string optionForm(const OptionSpec& option);
// "zorvika-cli count FILE... [--project K] ...": the command's synopsis.
std::string synopsis(const CommandSpec& command);
// The synopsis, the summary and one line per option, each line ending in LF.
std::string helpText(const CommandSpec& command);

} // namespace zorvika
