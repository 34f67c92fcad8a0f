#pragma once
// The commands of the command line, one unit each: its table of options and
// the function that runs it.
#include "base/program_folder.h"
#include "cli/cli.h"
#include "cli/options.h"
#include "analysis/results.h"
#include "output/export.h"
#include "shell/selection.h"

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace zorvika {

// What every command runs with.
struct CommandRun {
    ProgramFolder folder;
    std::ostream& out;
    std::ostream& err;
    const CliContext& context;
};

// "zorvika-cli: MESSAGE" on standard error; returns the failure status 1.
int failWith(std::ostream& err, const std::string& message);
// Text made for files (CR LF) as standard output writes it (LF).
std::string withUnixLineEnds(std::string text);

// A column of the module list by its number (0 to 11), by its caption
// ("P - C - B", spaces optional, any letter case) or by the words "module"
// and "type".
std::optional<int> moduleListColumn(std::string_view text);

// Options every command takes.
OptionSpec programFolderOption();
// The options `count` and `procedures` share, in their tables' order:
// which projects and how their list is ordered and written (`--project`,
// `--sort`, `--descending`, `--format`, `--output`), and how the inputs
// are taken (`--exclude`, `--one-table`, `--quiet`, `--strict`).
// A list command's whole table: those, the command's own options before
// and after the input options, then `--program-folder` and `--language`.
std::vector<OptionSpec> listCommandOptions(std::string_view sortHelp, std::string_view outputHelp,
                                           std::vector<OptionSpec> beforeInputs, std::vector<OptionSpec> afterInputs);
OptionSpec sortOption(std::string_view help);
OptionSpec descendingOption();

// What those options ask for.
struct ListRequest {
    std::vector<std::string> files;
    std::vector<std::string> excludes;
    std::optional<std::size_t> project; // 1-based
    SortState sort;
    std::string format = "tsv";
    std::optional<std::string> output;
    bool oneTable = false;
    bool quiet = false;
    bool strict = false;
};
// The projects of FILE's selection a list takes, [first, last): the one
// `--project` names, or all. It fails, before anything is counted, when
// `--project` names one past the end or when the `--output` file is one of
// the files the list reads (`reads`, given the first project).
struct ProjectSpan {
    std::size_t first = 0;
    std::size_t last = 0;
};
Result<ProjectSpan> projectsToList(const ListRequest& request, const std::string& file, const Selection& selection,
                                   const std::function<CountInputs(std::size_t first)>& reads);
// Reads them; `column` turns a `--sort` value into a column, and nothing
// there is the usage mistake `sortMistake`.
ListRequest parseListRequest(const ParsedArgs& args, const std::function<std::optional<int>(std::string_view)>& column,
                             std::string_view sortMistake);

// The module entries a run found no file for: told at the run's end as one
// line, "N of M modules not found: first, second, …", unless `--quiet`;
// with `--strict` any of them fails the run.
class MissingModules {
public:
    void add(std::string_view module, bool missing);
    // Tells the line; returns 1 when `strict` and a module was missing, else 0.
    int report(std::ostream& err, bool quiet, bool strict) const;

private:
    std::size_t modules_ = 0;
    std::size_t missing_ = 0;
    std::vector<std::string> named_; // the first ones, as the line names them
};

OptionSpec languageOption();


// The value of "--project K" (from 1), when given.
std::optional<std::size_t> projectNumber(const ParsedArgs& args);
// An export that was not written: one line naming the file and why, status
// 1; 0 when it was written.
int exportFailure(std::ostream& err, const std::string& path, const Result<void, ExportError>& written);

// Every command's table, in the order `--help` lists them.
std::vector<const CommandSpec*> allCommands();

const CommandSpec& countCommand();
int runCountCommand(const ParsedArgs& args, const CommandRun& run);

const CommandSpec& historyCommand();
int runHistoryCommand(const ParsedArgs& args, const CommandRun& run);

const CommandSpec& proceduresCommand();
int runProceduresCommand(const ParsedArgs& args, const CommandRun& run);

const CommandSpec& importCommand();
int runImportCommand(const ParsedArgs& args, const CommandRun& run);

} // namespace zorvika
