#include "cli/cli.h"

#include "base/line_reader.h"
#include "base/platform.h"
#include "cli/commands.h"

#include <functional>

namespace zorvika {

namespace fs = std::filesystem;

namespace {

struct Command {
    const CommandSpec& (*spec)();
    int (*run)(const ParsedArgs&, const CommandRun&);
};

// Every command, in the order `--help` lists them.
constexpr Command kCommands[] = {
    {countCommand, runCountCommand},
    {historyCommand, runHistoryCommand},
    {proceduresCommand, runProceduresCommand},
    {importCommand, runImportCommand},
};

const Command* findCommand(std::string_view name)
{
    for (const Command& command : kCommands)
        if (command.spec().name == name)
            return &command;
    return nullptr;
}

// The synopsis of one command, or of all of them.
std::string usageLine(const Command* command)
{
    if (command)
        return "usage: " + synopsis(command->spec());
    std::string out = "usage:";
    for (std::size_t i = 0; i < std::size(kCommands); ++i)
        out += (i ? " | " : " ") + synopsis(kCommands[i].spec());
    return out;
}

std::string programHelp()
{
    std::string out = "usage: zorvika-cli COMMAND [ARGUMENTS]\n       zorvika-cli --help | --version\n\n"
                      "ZORVIKA measures Visual Basic 6 code.\n\ncommands:\n";
    for (const Command& command : kCommands)
        out += "  " + synopsis(command.spec()) + "\n";
    out += "\n\"zorvika-cli COMMAND --help\" describes a command's options.\n";
    return out;
}

} // namespace

std::vector<const CommandSpec*> allCommands()
{
    std::vector<const CommandSpec*> specs;
    for (const Command& command : kCommands)
        specs.push_back(&command.spec());
    return specs;
}

int failWith(std::ostream& err, const std::string& message)
{
    err << "zorvika-cli: " << message << '\n';
    return 1;
}

std::string withUnixLineEnds(std::string text)
{
    toLfLineEnds(text);
    return text;
}

std::optional<std::size_t> projectNumber(const ParsedArgs& args)
{
    const auto k = args.value("--project");
    if (!k)
        return std::nullopt;
    const auto n = parseFigure(*k);
    if (!n || *n < 1)
        throw UsageError{"--project takes a number from 1"};
    return static_cast<std::size_t>(*n);
}

int noSuchProject(std::ostream& err, const std::string& file, std::size_t projects, std::size_t wanted)
{
    return failWith(err, file + ": has " + std::to_string(projects) + " project(s), not " + std::to_string(wanted));
}

int exportFailure(std::ostream& err, const std::string& path, const ExportOutcome& outcome)
{
    switch (outcome.status) {
    case ExportStatus::Written:
        return 0;
    case ExportStatus::NoRecord:
        return failWith(err, path + ": the list has no rows; nothing written");
    case ExportStatus::NoSpreadsheet:
        return failWith(err, path + ": the spreadsheet application cannot be started; nothing written");
    case ExportStatus::Failed:
        break;
    }
    return failWith(err, path + ": " + outcome.error);
}

OptionSpec programFolderOption()
{
    return {"--program-folder", {"DIR"}, "the folder of tips.dll, tempprjfiles and verhis", {}};
}

OptionSpec languageOption()
{
    return {"--language", {"LANGUAGE"}, "read the shipped message table of this language (en or de)", {"en", "de"}};
}

int runCli(const std::vector<std::string>& argsIn, std::ostream& out, std::ostream& err, const CliContext& context)
{
    const Command* command = nullptr;
    try {
        if (argsIn.empty())
            throw UsageError{"no command"};
        const std::string& name = argsIn.front();
        if (name == "--help" || name == "-h") {
            out << programHelp();
            return 0;
        }
        if (name == "--version") {
            out << "zorvika-cli " << ZORVIKA_VERSION << '\n';
            return 0;
        }
        command = findCommand(name);
        if (!command)
            throw UsageError{"unknown command " + name};
        const ParsedArgs args = parseArguments(command->spec(), {argsIn.begin() + 1, argsIn.end()});
        if (args.help) {
            out << helpText(command->spec());
            return 0;
        }
        ProgramFolder folder{context.defaultProgramFolder, context.defaultDataFolder};
        if (const auto dir = args.value("--program-folder")) {
            if (dir->empty())
                throw UsageError{"--program-folder needs a folder"};
            folder = ProgramFolder{pathFromUtf8(*dir)};
        }
        const auto language = args.value("--language");
        folder = withMessageTable(folder, context.defaultProgramFolder,
                                  language ? languageOfOption(*language) : std::nullopt, context.locale);
        std::error_code ec;
        if (language && !fs::is_regular_file(folder.messageTable(), ec))
            return failWith(err, utf8Of(folder.messageTable()) + ": the message table of --language " + *language
                                     + " is missing");
        return command->run(args, CommandRun{folder, out, err, context});
    } catch (const UsageError& e) {
        err << "zorvika-cli: " << e.what << "; " << usageLine(command) << '\n';
        return 2;
    } catch (const std::bad_alloc&) {
        return failWith(err, "out of memory");
    } catch (const std::exception& e) {
        return failWith(err, e.what());
    }
}

} // namespace zorvika
