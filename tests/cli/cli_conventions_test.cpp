// The command line's conventions: help and version on standard output, LF
// line ends, `--` ending the options, JSON for every output, and deleting
// from the store.
#include "cli/commands.h"
#include "cli/options.h"
#include "cli_support.h"
#include "history/history_store.h"
#include "output/snapshot_store.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using namespace zorvika;
using namespace zorvika::test;
namespace fs = std::filesystem;

namespace {

const std::string kTest = corpus("SSTabEx/test project/Test.vbp");

// A program folder whose store holds SSTabExTest 1.0.0 (counted, with its
// totals line), P 1.9.0 and 1.10.0, and a project named "--trend".
struct Store {
    Store()
    {
        ensureWorkFiles(folder);
        EXPECT_EQ(cli.run({"count", kTest, "--save"}).status, 0);
        EXPECT_TRUE(
            saveSnapshot(folder, "P", "1.10.0", {formRow("a.frm", 20, 30, 4, 5), formRow("b.frm", 1, 1, 0, 0)}, ""));
        EXPECT_TRUE(saveSnapshot(folder, "P", "1.9.0", {formRow("a.frm", 10, 20, 2, 3)}, ""));
        EXPECT_TRUE(saveSnapshot(folder, "--trend", "1.0.0", {formRow("t.frm", 1, 1, 0, 0)}, ""));
    }
    Cli cli;
    ProgramFolder folder{cli.program.path()};
};

struct OutputCase {
    const char* name;
    std::vector<std::string> args;
    int status;
    // Text output: a piece it holds. JSON output: pointer and value pairs.
    std::string holds;
    std::vector<std::pair<std::string, nlohmann::json>> json = {};
};

void PrintTo(const OutputCase& c, std::ostream* os) { *os << c.name; }

class CliOutput : public ::testing::TestWithParam<OutputCase> {};

TEST_P(CliOutput, GoesToStandardOutputWithLfLineEnds)
{
    const OutputCase& c = GetParam();
    Store store;
    const CliResult r = store.cli.run(c.args);
    ASSERT_EQ(r.status, c.status) << r.err;
    EXPECT_EQ(r.out.find('\r'), std::string::npos) << "standard output uses LF line ends";
    if (c.status != 0)
        return;
    EXPECT_EQ(r.err, "");
    ASSERT_TRUE(r.out.ends_with('\n'));
    if (c.json.empty()) {
        EXPECT_NE(r.out.find(c.holds), std::string::npos) << r.out;
        return;
    }
    const nlohmann::json parsed = nlohmann::json::parse(r.out); // throws on anything but one JSON text
    for (const auto& [pointer, value] : c.json)
        EXPECT_EQ(parsed.at(nlohmann::json::json_pointer(pointer)), value) << pointer;
}

const std::string kVersionLine = std::string("zorvika-cli ") + ZORVIKA_VERSION + "\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, CliOutput,
    ::testing::Values(
        OutputCase{"Help", {"--help"}, 0, "zorvika-cli history [PROJECT [VERSION]]"},
        OutputCase{"CountHelp", {"count", "--help"}, 0, "--format tsv|csv|json"},
        OutputCase{"HistoryHelpBeforeBadOperands", {"history", "a", "b", "c", "-h"}, 0, "--compare V1 V2"},
        OutputCase{"HelpBeforeABadValue", {"count", "--format", "xml", "--help"}, 0, "usage: zorvika-cli count FILE"},
        OutputCase{"Version", {"--version"}, 0, kVersionLine},
        OutputCase{"CountTab", {"count", kTest}, 0, "\n \tTotal\t3137\t4173\t289\t600\t2848"},
        OutputCase{"CountCsv", {"count", kTest, "--format", "csv"}, 0, "\n ,Total,3137,4173,289,600,2848"},
        OutputCase{"Snapshot", {"history", "SSTabExTest", "1.0.0"}, 0, "\nfrmTest.frm\tForm\t534\t1557\t8\t96\t"},
        OutputCase{"Trend", {"history", "P", "--trend"}, 0, "\n1.10.0\t21\t31\t4\t5\t17\t"},
        OutputCase{"Compare", {"history", "P", "--compare", "1.9.0", "1.10.0"}, 0, "\nb.frm\t\t1\t1\t"},
        OutputCase{"DashDashEndsTheOptions", {"history", "--", "--trend"}, 0, "1.0.0\n"},
        OutputCase{"OptionAfterDashDashIsAnOperand", {"history", "--", "P", "--trend"}, 1, ""},
        OutputCase{"CountJson", {"count", kTest, "--format=json"}, 0, "",
                   {{"/0/properties/name", "SSTabExTest"}, {"/0/totals/P - C - B", 2248}}},
        OutputCase{"ProjectsJson", {"history", "--format", "json"}, 0, "",
                   {{"", {"--trend", "P", "SSTabExTest"}}}},
        OutputCase{"VersionsJson", {"history", "P", "--format", "json"}, 0, "", {{"", {"1.10.0", "1.9.0"}}}},
        OutputCase{"SnapshotJson", {"history", "SSTabExTest", "1.0.0", "--format", "json"}, 0, "",
                   {{"/rows/1/module", "frmTest.frm"}, {"/rows/1/P - C - B", 430}, {"/totals/A", 4173},
                    {"/version", "1.0.0"}}},
        OutputCase{"SnapshotWithoutTotalsLineJson", {"history", "P", "1.9.0", "--format", "json"}, 0, "",
                   {{"/totals", nullptr}, {"/rows/0/A - C - B", 15}}},
        OutputCase{"TrendJson", {"history", "P", "--trend", "--format", "json"}, 0, "",
                   {{"/1/version", "1.10.0"}, {"/1/totals/P", 21}, {"/1/fromTotalsLine", false}}},
        OutputCase{"CompareJson", {"history", "P", "--compare", "1.9.0", "1.10.0", "--format", "json"}, 0, "",
                   {{"/0/difference", 6}, {"/0/change", "kept"}, {"/1/first", nullptr}, {"/1/second", 1},
                    {"/1/change", "added"}}}),
    [](const auto& info) { return std::string(info.param.name); });

struct DeleteCase {
    const char* name;
    std::vector<std::string> args;
    bool readOnly19; // P 1.9.0 made read-only first
    int status;
    std::vector<std::string> versionsLeft; // of P
};

void PrintTo(const DeleteCase& c, std::ostream* os) { *os << c.name; }

class CliDelete : public ::testing::TestWithParam<DeleteCase> {};

TEST_P(CliDelete, FollowsTheHistoryWindowsRules)
{
    const DeleteCase& c = GetParam();
    Store store;
    if (c.readOnly19)
        fs::permissions(store.folder.store() / "P" / "1.9.0", fs::perms::owner_read);
    const CliResult r = store.cli.run(c.args);
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_EQ(r.out, "");
    // A failure is one line; a usage mistake one line and where the help is.
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), c.status) << r.err;
    if (c.status == 1 && c.readOnly19) {
        EXPECT_NE(r.err.find("read-only"), std::string::npos) << "the history window's message: " << r.err;
    }
    EXPECT_EQ(listVersions(store.folder, "P"), c.versionsLeft);
    const auto projects = listProjects(store.folder);
    EXPECT_EQ(std::count(projects.begin(), projects.end(), "P"), c.versionsLeft.empty() ? 0 : 1);
    EXPECT_EQ(listVersions(store.folder, "SSTabExTest").size(), 1u) << "other projects stay";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliDelete,
    ::testing::Values(DeleteCase{"Version", {"history", "P", "1.9.0", "--delete"}, false, 0, {"1.10.0"}},
                      DeleteCase{"Project", {"history", "--delete", "P"}, false, 0, {}},
                      DeleteCase{"ReadOnlyVersionStays", {"history", "P", "1.9.0", "--delete"}, true, 1,
                                 {"1.10.0", "1.9.0"}},
                      DeleteCase{"ProjectKeepsItsReadOnlyVersion", {"history", "P", "--delete"}, true, 1, {"1.9.0"}},
                      DeleteCase{"NoSuchVersion", {"history", "P", "9.9.9", "--delete"}, false, 1,
                                 {"1.10.0", "1.9.0"}},
                      DeleteCase{"NoSuchProject", {"history", "Q", "--delete"}, false, 1, {"1.10.0", "1.9.0"}},
                      DeleteCase{"NeedsAProject", {"history", "--delete"}, false, 2, {"1.10.0", "1.9.0"}},
                      DeleteCase{"NotWithTrend", {"history", "P", "--trend", "--delete"}, false, 2,
                                 {"1.10.0", "1.9.0"}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace

// Every option of every command's table is both in its help and accepted by
// its parser, with the values the help names.
TEST(CliOptions, HelpAndParserComeFromOneTable)
{
    for (const CommandSpec* command : allCommands()) {
        const std::string help = helpText(*command);
        for (const OptionSpec& option : command->options) {
            std::vector<std::string> args(command->minOperands, "operand");
            args.emplace_back(option.name);
            for (std::size_t i = 0; i < option.values.size(); ++i)
                args.emplace_back(option.choices.empty() ? (option.number ? "7" : "value")
                                                         : std::string(option.choices.back()));
            const ParsedArgs parsed = parseArguments(*command, args);
            EXPECT_EQ(parsed.options.at(std::string(option.name)).size(), option.values.size()) << option.name;
            if (option.shortName) {
                args[command->minOperands] = std::string("-") + option.shortName;
                EXPECT_EQ(parseArguments(*command, args).options, parsed.options) << option.name;
            }
            std::string helpLine = "\n  ", synopsisItem = "[";
            helpLine += option.shortName ? std::string("-") + option.shortName + ", " : std::string("    ");
            helpLine += option.name;
            synopsisItem += option.name;
            EXPECT_NE(help.find(helpLine), std::string::npos) << option.name;
            EXPECT_NE(synopsis(*command).find(synopsisItem), std::string::npos) << option.name;
        }
    }
}

TEST(CliCount, OutputJsonWritesWhatStandardOutputShowsWithCrLf)
{
    Cli cli;
    TempFolder out;
    const CliResult r = cli.run({"count", kTest, "--format", "json", "--output", (out / "list.JSON").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string file = readFile(out / "list.JSON");
    EXPECT_TRUE(file.ends_with("]\r\n"));
    EXPECT_EQ(withoutCr(file), r.out);
}
