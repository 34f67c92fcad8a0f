// The command line over odd message tables, odd names in the store, export
// targets that are its own inputs and a program folder without a home.
#include "base/program_folder.h"
#include "base/text_codec.h"
#include "cli_support.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>

using namespace zorvika;
using namespace zorvika::test;
namespace fs = std::filesystem;

namespace {

const std::string kTest = corpus("SSTabEx/test project/Test.vbp");
const std::string kTotalsRow = " \tTotal\t3137\t4173\t289\t600\t2848\t2537\t2248\t3884\t3573\t3284";
const std::string kTrendLine = "1.0.0\t3137\t4173\t289\t600\t2848\t2537\t2248\t3884\t3573\t3284";

std::string lastLine(const std::string& text)
{
    const auto all = lines(text);
    return all.empty() ? std::string() : all.back();
}

} // namespace

// Whatever the table's totals words are (none at all, digits, ", ", spaces),
// the totals row of the list, of the export file, of the stored snapshot
// and of the trend keeps its ten figures in their columns, and the
// comparison keeps its five columns.
TEST(CliTotals, EveryTableKeepsTheTenFiguresInTheirColumns)
{
    struct Case {
        const char* name;
        std::string table;
        bool historyShowsTotals; // TOTAL begins with TOTAL2 and ":"
    };
    const std::vector<Case> cases = {
        {"empty table", "", false},
        {"digits and commas",
         "[Message & Text]\r\nTOTAL=\"Total: 9\"\r\nTOTAL2=Total\r\nMODULES=\"12, 3\"\r\nORDER=\"4, 5\"\r\n", true},
        {"spaces only", "[Message & Text]\r\nTOTAL=\"Total: \"\r\nTOTAL2=Total\r\nMODULES=\" \"\r\nORDER=\" \"\r\n", true},
        {"no MODULES", "[Message & Text]\r\nTOTAL=\"Total:\"\r\nTOTAL2=Total\r\nORDER=x\r\n", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Cli cli;
        cli.program.write("tips.dll", c.table);
        const CliResult counted = cli.run({"count", kTest, "--save", "--output", (cli.program / "list.txt").string()});
        ASSERT_EQ(counted.status, 0) << counted.err;
        EXPECT_EQ(lastLine(counted.out), kTotalsRow);
        EXPECT_EQ(lastLine(readFile(cli.program / "list.txt")), kTotalsRow);

        const CliResult shown = cli.run({"history", "SSTabExTest", "1.0.0"});
        ASSERT_EQ(shown.status, 0) << shown.err;
        EXPECT_EQ(lastLine(shown.out) == kTotalsRow, c.historyShowsTotals) << shown.out;
        EXPECT_EQ(cli.run({"history", "SSTabExTest", "--trend"}).out, kTrendLine + "\n");

        const CliResult compared = cli.run({"history", "SSTabExTest", "--compare", "1.0.0", "1.0.0"});
        ASSERT_EQ(compared.status, 0) << compared.err;
        const auto rows = lines(compared.out);
        ASSERT_EQ(rows.size(), 3u) << "the header and the two modules";
        for (const std::string& row : rows)
            EXPECT_EQ(std::count(row.begin(), row.end(), '\t'), 4) << row;
    }
}

#ifndef _WIN32 // names there are UTF-16, never other bytes
// Names in the store that are not UTF-8 come out of every JSON document
// decoded as cells are: each document is valid UTF-8.
TEST(CliJson, NamesFromTheStoreAreValidUtf8)
{
    Cli cli;
    const std::string project = "caf\xe9";
    const std::string version = "1.\xe9";
    cli.program.write("verhis/" + project + "/" + version,
                      "m\xe9.bas:Module:1:2:0:0:1:1:1:2:2:2\r\nTotal: 1 modules: 1, 2, 0, 0, 1, 1, 1, 2, 2, 2 "
                      "(columns P to A - C - B)\r\n");
    const std::vector<std::vector<std::string>> commands = {
        {"history"},
        {"history", project},
        {"history", project, version},
        {"history", project, "--trend"},
        {"history", project, "--compare", version, version},
    };
    for (std::vector<std::string> args : commands) {
        args.insert(args.end(), {"--format", "json"});
        SCOPED_TRACE(args.size() > 1 ? args[1] : args[0]);
        const CliResult r = cli.run(args);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_TRUE(isValidUtf8(r.out)) << r.out;
        bool parsed = false;
        EXPECT_NO_THROW(parsed = !nlohmann::json::parse(r.out).is_discarded()) << r.out;
        EXPECT_TRUE(parsed);
        EXPECT_NE(r.out.find("\xc3\xa9"), std::string::npos) << "the name, decoded";
    }
}
#endif

// An export is never written over a file the count reads: the project or
// group file, a module (also named in another letter case), the message
// table, each also through a link, a hard link or another spelling.
TEST(CliExport, ATargetThatIsAnInputIsRefusedAndKept)
{
    Cli cli;
    TempFolder dir;
    const fs::path project = dir.write("p/P.vbp", "Type=Exe\r\nName=\"P\"\r\nModule=M; m.bas\r\nModule=N; SUB\\N.BAS\r\n");
    dir.write("p/m.bas", "Attribute VB_Name = \"M\"\r\nDim a\r\n");
    dir.write("p/sub/n.bas", "Attribute VB_Name = \"N\"\r\nDim b\r\n");
    const fs::path group = dir.write("g/G.vbg", "VBGROUP 5.0\r\nStartupProject=..\\p\\P.vbp\r\n");
    std::error_code linkError, hardLinkError;
    fs::create_symlink(project, dir / "link.txt", linkError); // not everywhere on Windows
    fs::create_hard_link(project, dir / "hard.txt", hardLinkError);

    struct Case {
        std::string file;   // what is counted
        std::string target; // the export's path
    };
    const std::vector<Case> refused = {
        {project.string(), project.string()},
        {project.string(), (dir / "p/sub/../P.vbp").string()},
        {project.string(), (linkError ? project : dir / "link.txt").string()},
        {project.string(), (hardLinkError ? project : dir / "hard.txt").string()},
        {project.string(), (dir / "p/m.bas").string()},
        {project.string(), (dir / "p/sub/n.bas").string()},
        {project.string(), (cli.program / "tips.dll").string()},
        {group.string(), group.string()},
        {group.string(), (dir / "p/m.bas").string()},
    };
    for (const std::string command : {"count", "procedures"}) {
        for (const Case& c : refused) {
            SCOPED_TRACE(command + (" " + c.target));
            const fs::path kept = fs::canonical(c.target);
            const std::string before = readFile(kept);
            const CliResult r = cli.run({command, c.file, "--project", "1", "--output", c.target});
            EXPECT_EQ(r.status, 1);
            EXPECT_EQ(lines(r.err).size(), 1u) << r.err;
            EXPECT_NE(r.err.find("nothing written"), std::string::npos) << r.err;
            EXPECT_EQ(readFile(kept), before);
        }
        // A project past the group's end is refused before anything is written.
        const fs::path past = dir / (command + std::string("-past.txt"));
        const CliResult r = cli.run({command, group.string(), "--project", "2", "--output", past.string()});
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("has 1 project(s), not 2"), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(past));
        // Neither a new file nor an unrelated old one is an input.
        const fs::path fresh = dir / (command + std::string(".txt"));
        EXPECT_EQ(cli.run({command, project.string(), "--output", fresh.string()}).status, 0);
        EXPECT_EQ(cli.run({command, project.string(), "--output", fresh.string()}).status, 0);
    }
}

// An installed program without a home folder (no XDG_DATA_HOME, no HOME,
// no password entry) has no data folder: it refuses every command with one
// line and makes nothing, least of all below the current folder; a folder
// given with --program-folder, or a program beside its own writable
// folder, needs no home.
TEST(CliProgramFolder, WithoutAHomeEveryCommandRefusesUnlessAFolderIsGiven)
{
    TempFolder dir;
    dir.write("usr/share/zorvika/tips.dll", "[Message & Text]\n");
    fs::create_directories(dir / "usr/bin");
    fs::create_directories(dir / "copy");
    for (const std::string home : {"", "relative/home"}) {
        EXPECT_FALSE(programFolderFor(dir / "usr/bin", "", home).unusable.empty()) << home;
        EXPECT_TRUE(programFolderFor(dir / "copy", "", home).unusable.empty()) << home;
    }
    const ProgramFolder installed = programFolderFor(dir / "usr/bin", "", "");
    CliContext context;
    context.defaultProgramFolder = installed.root;
    context.defaultDataFolder = installed.data;
    context.defaultFolderProblem = installed.unusable;
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"count", kTest}, {"history"}, {"procedures", kTest}}) {
        SCOPED_TRACE(args[0]);
        std::ostringstream out, err;
        EXPECT_EQ(runCli(args, out, err, context), 1);
        EXPECT_EQ(err.str(), "zorvika-cli: " + context.defaultFolderProblem + "\n");
        std::vector<std::string> given = args;
        given.insert(given.end(), {"--program-folder", (dir / "given").string()});
        std::ostringstream out2, err2;
        EXPECT_EQ(runCli(given, out2, err2, context), 0) << err2.str();
    }
    EXPECT_FALSE(fs::exists(".local"));
    EXPECT_FALSE(fs::exists(dir / "usr/share/zorvika/verhis"));
}
