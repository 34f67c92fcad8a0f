#pragma once
// The commands of the command line, one unit each: its table of options and
// the function that runs it.
#include "base/program_folder.h"
#include "cli/cli.h"
#include "cli/options.h"
#include "output/export.h"

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

// Options every command takes.
OptionSpec programFolderOption();
OptionSpec languageOption();

// The value of "--project K" (from 1), when given.
std::optional<std::size_t> projectNumber(const ParsedArgs& args);
// A project number past the selection's end: one line, status 1.
int noSuchProject(std::ostream& err, const std::string& file, std::size_t projects, std::size_t wanted);
// An export that was not written: one line naming the file and why, status
// 1; 0 when it was written.
int exportFailure(std::ostream& err, const std::string& path, const ExportOutcome& outcome);

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
