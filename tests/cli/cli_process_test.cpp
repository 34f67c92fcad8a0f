// The command line as its own process: what it puts on its real standard
// output, what it writes on disk, and revisions of a git repository.
#include "cli/commands.h"
#include "cli_support.h"
#include "process_run.h"

#include <gtest/gtest.h>

using namespace zorvika;
using namespace zorvika::test;
namespace fs = std::filesystem;

namespace {

const std::string kTest = corpus("SSTabEx/test project/Test.vbp");

// Runs zorvika-cli with `args`; standard output as bytes, and the status.
struct ProcessRun {
    int status;
    std::string out;
    std::string err;
};

ProcessRun runCli(std::vector<std::string> args, const TempFolder& scratch,
           const std::vector<std::pair<std::string, std::string>>& env = {})
{
    args.insert(args.begin(), kCliProgram);
    ProcessOptions options;
    options.stdoutPath = (scratch / "stdout").string();
    options.stderrPath = (scratch / "stderr").string();
    options.env = env;
    const int status = runProcess(args, options);
    return {status, readFile(scratch / "stdout"), readFile(scratch / "stderr")};
}

// Every path below `root` with its size: a picture of what was written.
std::vector<std::string> treeOf(const fs::path& root)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
        names.push_back(it->path().string() + ":" + std::to_string(it->is_regular_file() ? it->file_size() : 0));
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

// "--output -" puts the export of the format asked for on standard output,
// byte for byte what a file of that ending holds.
TEST(OutputDash, HonoursTheFormat)
{
    TempFolder dir;
    Cli cli;
    const std::string folder = cli.program.path().string();
    const std::vector<std::tuple<std::string, std::string, std::string>> cases = {
        {"count", "tsv", ".txt"},      {"count", "csv", ".csv"},      {"count", "json", ".json"},
        {"procedures", "tsv", ".txt"}, {"procedures", "csv", ".csv"},
    };
    for (const auto& [command, format, ending] : cases) {
        const std::string file = (dir / (command + ending)).string();
        ASSERT_EQ(runCli({command, kTest, "--format", format, "--output", file, "--program-folder", folder}, dir).status, 0);
        const ProcessRun r = runCli({command, kTest, "-f", format, "-o", "-", "--program-folder", folder}, dir);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_TRUE(r.out == readFile(file)) << command << " " << format;
        EXPECT_NE(r.out.find("\r\n"), std::string::npos);
    }
    const ProcessRun json = runCli({"procedures", kTest, "-f", "json", "-o", "-", "--program-folder", folder}, dir);
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_TRUE(json.out.starts_with("[{\"path\":")) << json.out.substr(0, 40);
    EXPECT_TRUE(json.out.ends_with("}]\r\n"));
}

// Counting and reading change nothing anywhere: not the program folder, not
// the data folder (not even made), not the project's folder. Only --save,
// import and history --delete write.
TEST(CountingChangesNothing, OnlyTheWritingCommandsWrite)
{
    TempFolder dir;
    Cli cli; // holds tips.dll
    fs::copy(corpus("SSTabEx"), dir / "src", fs::copy_options::recursive);
    const std::string group = (dir / "src" / "Group1.vbg").string();
    const std::string project = (dir / "src" / "test project" / "Test.vbp").string();
    const std::string programFolder = cli.program.path().string();
    struct Case {
        std::vector<std::string> args;
        bool writes;
    };
    const std::vector<Case> cases = {
        {{"count", group}, false},
        {{"count", group, "--format", "json"}, false},
        {{"count", project, "--output", "-"}, false},
        {{"count", (dir / "src").string(), "--one-table"}, false},
        {{"procedures", group}, false},
        {{"procedures", project, "--max-cc", "1"}, false},
        {{"history"}, false},
        {{"count", project, "--save"}, true},
    };
    for (const Case& c : cases) {
        {
            TempFolder home;
            std::vector<std::string> args = c.args;
            const std::vector<std::pair<std::string, std::string>> env = {{"HOME", home.path().string()},
                                                                          {"XDG_DATA_HOME", (home / "data").string()}};
            args.insert(args.begin() + 1, {"--program-folder", programFolder});
            const auto before = treeOf(dir.path());
            const auto programBefore = treeOf(programFolder);
            const auto homeBefore = treeOf(home.path());
            const ProcessRun r = runCli(args, home, env);
            EXPECT_TRUE(r.status == 0 || (c.args[0] == "procedures" && r.status == 1)) << c.args[0] << ": " << r.err;
            EXPECT_EQ(treeOf(dir.path()), before) << "the sources stay as they were";
            if (c.writes)
                continue;
            EXPECT_EQ(treeOf(programFolder), programBefore) << c.args[0] << " " << c.args.back();
            auto homeAfter = treeOf(home.path());
            std::erase_if(homeAfter, [&](const std::string& p) {
                return p.starts_with((home / "stdout").string()) || p.starts_with((home / "stderr").string());
            });
            EXPECT_EQ(homeAfter, std::vector<std::string>()) << c.args[0] << " " << c.args.back() << ": "
                                                             << (homeAfter.empty() ? "" : homeAfter.front());
        }
    }
    EXPECT_TRUE(fs::exists(cli.program / "verhis" / "SSTabExTest" / "1.0.0")) << "--save stores";
}

// `import --every N` takes N whole: past 32 bits it is still every N-th
// commit counted back from the newest, so only the newest is taken.
TEST(ImportEvery, TakesTheWholeNumber)
{
    TempFolder repo;
    auto git = [&](const std::string& args) {
        const std::string command = "git -C '" + repo.path().string() + "' " + args + " >/dev/null 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    };
    git("init -q");
    git("config user.email zorvika@test.invalid");
    git("config user.name Zorvika");
    for (int v = 0; v < 5; ++v) {
        repo.write("m.bas", std::string(static_cast<std::size_t>(v + 1), '\n'));
        repo.write("app.vbp", "Module=M; m.bas\r\nName=\"S\"\r\nMajorVer=1\r\nMinorVer=" + std::to_string(v)
                                  + "\r\nRevisionVer=0\r\n");
        git("add -A");
        git("commit -q -m revision");
    }
    const std::vector<std::pair<std::string, std::size_t>> cases = {
        {"1", 5}, {"2", 3}, {"4", 2}, {"4294967296", 1}, {"4294967297", 1}, {"9223372036854775807", 1}};
    for (const auto& [every, stored] : cases) {
        Cli cli;
        TempFolder scratch;
        const ProcessRun r = runCli({"import", (repo / "app.vbp").string(), "--revisions", "HEAD", "--every", every,
                              "--program-folder", cli.program.path().string()},
                             scratch);
        ASSERT_EQ(r.status, 0) << every << ": " << r.err;
        EXPECT_NE(r.out.find("revisions: " + std::to_string(stored) + " counted"), std::string::npos)
            << every << ": " << r.out;
        std::size_t versions = 0;
        for (const auto& e : fs::directory_iterator(cli.program / "verhis" / "S"))
            versions += e.is_regular_file() ? 1 : 0;
        EXPECT_EQ(versions, stored) << every;
    }
}

namespace {

const fs::path kBuild = fs::path(ZORVIKA_PROGRAM_DIR).parent_path();
const char* const kBashCompletion = "/usr/share/bash-completion/bash_completion";

// What the built completion offers for a command line that ends in `words`
// (the last one being completed), through bash-completion itself.
std::vector<std::string> completions(const std::vector<std::string>& words, const TempFolder& scratch)
{
    std::string array = "zorvika-cli";
    for (const std::string& w : words)
        array += " '" + w + "'";
    const std::string script = std::string("source ") + kBashCompletion + "\n"
                               "source '" + (kBuild / "completion" / "zorvika-cli").string() + "'\n"
                               "COMP_WORDS=(" + array + ")\nCOMP_CWORD=" + std::to_string(words.size()) + "\n"
                               "COMP_LINE=\"${COMP_WORDS[*]}\"\nCOMP_POINT=${#COMP_LINE}\n"
                               "_zorvika_cli\nprintf '%s\\n' \"${COMPREPLY[@]}\"\n";
    const fs::path file = scratch.write("complete.sh", script);
    ProcessOptions options;
    options.stdoutPath = (scratch / "offered").string();
    EXPECT_EQ(runProcess({"/bin/bash", file.string()}, options), 0);
    std::vector<std::string> offered = lines(readFile(scratch / "offered"));
    std::erase(offered, std::string());
    std::sort(offered.begin(), offered.end());
    return offered;
}

} // namespace

// The manual page and the completion the build made hold every command and
// every option of the tables that make --help; where bash-completion is
// installed, the completion offers exactly them.
TEST(GeneratedDocs, ManualPageAndCompletionHoldEveryCommandAndOption)
{
    const std::string man = readFile(kBuild / "man" / "zorvika-cli.1");
    const std::string completion = readFile(kBuild / "completion" / "zorvika-cli");
    ASSERT_FALSE(man.empty());
    ASSERT_FALSE(completion.empty());
    ASSERT_EQ(runProcess({"/bin/bash", "-n", (kBuild / "completion" / "zorvika-cli").string()}), 0);
    auto roff = [](std::string_view text) {
        std::string out;
        for (char c : text)
            out += c == '-' ? std::string("\\-") : std::string(1, c);
        return out;
    };
    const bool bashCompletion = fs::exists(kBashCompletion);
    TempFolder scratch;
    std::vector<std::string> commands;
    for (const CommandSpec* command : allCommands()) {
        const std::string name(command->name);
        commands.push_back(name);
        EXPECT_NE(man.find(".B zorvika\\-cli " + name + "\n"), std::string::npos) << name << " in the synopsis";
        EXPECT_NE(man.find(".SS " + name + "\n"), std::string::npos) << name << " described";
        EXPECT_NE(completion.find("        " + name + ")\n"), std::string::npos) << name << " completed";
        std::vector<std::string> options = {"--help", "-h", "--version", "-V"};
        for (const OptionSpec& option : command->options) {
            options.emplace_back(option.name);
            EXPECT_NE(man.find("[\\fB" + roff(option.name) + "\\fR"), std::string::npos) << name << " " << option.name;
            EXPECT_NE(man.find(".TP\n.B " + (option.shortName ? "\\-" + std::string(1, option.shortName) + ", " : "")
                               + roff(option.name)),
                      std::string::npos)
                << name << " " << option.name << " in the option list";
            if (option.shortName)
                options.push_back(std::string("-") + option.shortName);
        }
        // The command's own list of options in the completion.
        const std::size_t from = completion.find("        " + name + ")\n");
        const std::size_t to = completion.find("            ;;\n", from);
        const std::string own = completion.substr(from, to - from);
        const std::size_t list = own.find("compgen -W \"", own.find("$cur == -*"));
        ASSERT_NE(list, std::string::npos) << name;
        const std::string words = " " + own.substr(list + 12, own.find('"', list + 12) - list - 12) + " ";
        for (const std::string& option : options)
            EXPECT_NE(words.find(" " + option + " "), std::string::npos) << name << " " << option;
        if (bashCompletion) {
            std::sort(options.begin(), options.end());
            EXPECT_EQ(completions({name, "-"}, scratch), options) << name;
        }
    }
    if (bashCompletion) {
        commands.insert(commands.end(), {"--help", "-h", "--version", "-V"});
        std::sort(commands.begin(), commands.end());
        EXPECT_EQ(completions({""}, scratch), commands);
        EXPECT_EQ(completions({"count", "--format", ""}, scratch), (std::vector<std::string>{"csv", "json", "tsv"}));
        EXPECT_EQ(completions({"history", "-f", ""}, scratch), (std::vector<std::string>{"json", "tsv"}));
    }
}
