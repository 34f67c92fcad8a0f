#include "cli/cli.h"

#include "base/line_reader.h"
#include "base/platform.h"
#include "cli/commands.h"
#include "analysis/module_row.h"

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

// The line after a usage mistake's own line: where the whole usage is.
std::string tryLine(const Command* command)
{
    return command ? "Try 'zorvika-cli " + std::string(command->spec().name) + " --help'."
                   : std::string("Try 'zorvika-cli --help'.");
}

std::string programHelp()
{
    std::string out = "usage: zorvika-cli COMMAND [ARGUMENTS]\n       zorvika-cli [COMMAND] --help | --version\n\n"
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
    if (!args.has("--project"))
        return std::nullopt;
    return static_cast<std::size_t>(*args.number("--project"));
}

int exportFailure(std::ostream& err, const std::string& path, const Result<void, ExportError>& written)
{
    return written ? 0 : failWith(err, path + ": " + written.reason());
}

std::optional<int> moduleListColumn(std::string_view text)
{
    if (auto n = parseWholeNumber(text))
        return *n < kColumnCount ? std::optional<int>(static_cast<int>(*n)) : std::nullopt;
    auto squeeze = [](std::string_view s) {
        std::string out;
        for (char c : s)
            if (c != ' ')
                out += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        return out;
    };
    const std::string wanted = squeeze(text);
    if (wanted == "MODULE")
        return ColModule;
    if (wanted == "TYPE")
        return ColType;
    for (std::size_t i = 0; i < kFigureCaptions.size(); ++i)
        if (squeeze(kFigureCaptions[i]) == wanted)
            return static_cast<int>(ColP + i);
    return std::nullopt;
}

OptionSpec programFolderOption()
{
    return {"--program-folder", {"DIR"}, "the folder of tips.dll, tempprjfiles and verhis", {}};
}

static OptionSpec projectOption()
{
    return {"--project", {"K"}, "only the K-th project of a group (from 1)", {}, 0, NumberRange{1}};
}

OptionSpec sortOption(std::string_view help)
{
    return {"--sort", {"COLUMN"}, help, {}, 's'};
}

OptionSpec descendingOption()
{
    return {"--descending", {}, "order the rows from the last to the first", {}, 'd'};
}

static OptionSpec formatOption()
{
    return {"--format", {"FORMAT"}, "print tab text (the default), comma text or JSON", {"tsv", "csv", "json"}, 'f'};
}

static OptionSpec outputOption(std::string_view help)
{
    return {"--output", {"PATH"}, help, {}, 'o'};
}

static OptionSpec excludeOption()
{
    return {"--exclude", {"GLOB"}, "leave out the files and folders whose path or name matches (repeatable)", {}, 0,
            std::nullopt, true};
}

static OptionSpec oneTableOption()
{
    return {"--one-table", {}, "print tab or comma text as one table with a leading Project column", {}};
}

static OptionSpec quietOption()
{
    return {"--quiet", {}, "do not tell the modules that were not found", {}, 'q'};
}

static OptionSpec strictOption()
{
    return {"--strict", {}, "fail (exit 1) when a module is not found", {}};
}

std::vector<OptionSpec> listCommandOptions(std::string_view sortHelp, std::string_view outputHelp,
                                           std::vector<OptionSpec> beforeInputs, std::vector<OptionSpec> afterInputs)
{
    std::vector<OptionSpec> options = {projectOption(), sortOption(sortHelp), descendingOption(), formatOption(),
                                       outputOption(outputHelp)};
    options.insert(options.end(), beforeInputs.begin(), beforeInputs.end());
    for (OptionSpec input : {excludeOption(), oneTableOption(), quietOption(), strictOption()})
        options.push_back(std::move(input));
    options.insert(options.end(), afterInputs.begin(), afterInputs.end());
    options.push_back(programFolderOption());
    options.push_back(languageOption());
    return options;
}

Result<ProjectSpan> projectsToList(const ListRequest& request, const std::string& file, const Selection& selection,
                                   const std::function<CountInputs(std::size_t first)>& reads)
{
    if (request.project && *request.project > selection.size())
        return fail(file + ": has " + std::to_string(selection.size()) + " project(s), not " +
                    std::to_string(*request.project));
    const ProjectSpan span =
        request.project ? ProjectSpan{*request.project - 1, *request.project} : ProjectSpan{0, selection.size()};
    // "--output -" writes to standard output, which nothing reads.
    if (request.output && *request.output != "-") {
        if (const Outcome target = checkExportTarget(pathFromUtf8(*request.output), reads(span.first)); !target)
            return fail(*request.output + ": " + target.reason());
    }
    return span;
}

ListRequest parseListRequest(const ParsedArgs& args, const std::function<std::optional<int>(std::string_view)>& column,
                             std::string_view sortMistake)
{
    ListRequest o;
    o.files = args.operands;
    o.excludes = args.values("--exclude");
    o.project = projectNumber(args);
    if (const auto c = args.value("--sort")) {
        const std::optional<int> wanted = column(*c);
        if (!wanted)
            throw UsageError{std::string(sortMistake)};
        o.sort.column = *wanted;
    }
    o.sort.descending = args.has("--descending");
    o.format = args.value("--format").value_or("tsv");
    o.output = args.value("--output");
    if (o.output && o.output->empty())
        throw UsageError{"--output needs a path"};
    o.oneTable = args.has("--one-table");
    o.quiet = args.has("--quiet");
    o.strict = args.has("--strict");
    return o;
}

void MissingModules::add(std::string_view module, bool missing)
{
    ++modules_;
    if (!missing)
        return;
    ++missing_;
    constexpr std::size_t kNamed = 10;
    if (named_.size() < kNamed)
        named_.emplace_back(module);
}

int MissingModules::report(std::ostream& err, bool quiet, bool strict) const
{
    if (missing_ == 0)
        return 0;
    // A failure is always told; a notice only when it is wanted.
    if (!quiet || strict) {
        err << "zorvika-cli: " << missing_ << " of " << modules_ << " modules not found: ";
        for (std::size_t i = 0; i < named_.size(); ++i)
            err << (i ? ", " : "") << named_[i];
        err << (named_.size() < missing_ ? ", \u2026\n" : "\n");
    }
    return strict ? 1 : 0;
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
        if (name == kVersionOption.name || name == "-V") {
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
        if (args.version) {
            out << "zorvika-cli " << ZORVIKA_VERSION << '\n';
            return 0;
        }
        ProgramFolder folder{context.defaultProgramFolder, context.defaultDataFolder};
        folder.unusable = context.defaultFolderProblem;
        if (const auto dir = args.value("--program-folder")) {
            if (dir->empty())
                throw UsageError{"--program-folder needs a folder"};
            folder = givenProgramFolder(pathFromUtf8(*dir), folder);
        }
        if (!folder.unusable.empty())
            return failWith(err, folder.unusable);
        const auto language = args.value("--language");
        folder = withMessageTable(folder, context.defaultProgramFolder,
                                  language ? languageOfOption(*language) : std::nullopt, context.locale);
        std::error_code ec;
        if (language && !fs::is_regular_file(folder.messageTable(), ec))
            return failWith(err, utf8Of(folder.messageTable()) + ": the message table of --language " + *language
                                     + " is missing");
        return command->run(args, CommandRun{folder, out, err, context});
    } catch (const UsageError& e) {
        err << "zorvika-cli: " << e.what << '\n' << tryLine(command) << '\n';
        return 2;
    } catch (const std::bad_alloc&) {
        return failWith(err, "out of memory");
    } catch (const std::exception& e) {
        return failWith(err, e.what());
    }
}

} // namespace zorvika
