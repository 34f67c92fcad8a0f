#include "cli_support.h"

#include <gtest/gtest.h>

using namespace zorvika;
using namespace zorvika::test;
namespace fs = std::filesystem;

namespace {

const std::string kGroup = corpus("SSTabEx/Group1.vbg");
const std::string kTest = corpus("SSTabEx/test project/Test.vbp");
const std::string kHeader = "Module File\tType\tP\tA\tC\tB\tP - C\tP - B\tP - C - B\tA - C\tA - B\tA - C - B";

} // namespace

TEST(CliCount, ProjectPrintsTheTabExport)
{
    Cli cli;
    const CliResult r = cli.run({"count", kTest});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, kHeader + "\n"
                     "cDlg.cls\tClassModule\t2603\t2616\t281\t504\t2322\t2099\t1818\t2335\t2112\t1831\n"
                     "frmTest.frm\tForm\t534\t1557\t8\t96\t526\t438\t430\t1549\t1461\t1453\n"
                     " \tTotal\t3137\t4173\t289\t600\t2848\t2537\t2248\t3884\t3573\t3284\n");
    EXPECT_FALSE(fs::exists(cli.program / "tempprjfiles")) << "a count that stores nothing writes nothing";
}

TEST(CliCount, SortAndDescending)
{
    Cli cli;
    auto modules = [](const std::string& out) {
        std::vector<std::string> names;
        for (const auto& l : lines(out))
            if (!l.empty() && l != kHeader && l[0] != ' ')
                names.push_back(l.substr(0, l.find('\t')));
        return names;
    };
    EXPECT_EQ(modules(cli.run({"count", kTest, "--descending"}).out),
              (std::vector<std::string>{"frmTest.frm", "cDlg.cls"}));
    // By "A" as a number: 1557 < 2616.
    EXPECT_EQ(modules(cli.run({"count", kTest, "--sort", "3"}).out),
              (std::vector<std::string>{"frmTest.frm", "cDlg.cls"}));
    // By "P - C - B" as a number: 430 < 1818 (as texts "1818" would come first).
    EXPECT_EQ(modules(cli.run({"count", kTest, "--sort", "P - C - B"}).out),
              (std::vector<std::string>{"frmTest.frm", "cDlg.cls"}));
    EXPECT_EQ(modules(cli.run({"count", kTest, "--sort", "type", "--descending"}).out),
              (std::vector<std::string>{"frmTest.frm", "cDlg.cls"}));
}

TEST(CliCount, GroupPrintsOneBlockPerProjectInGroupOrder)
{
    Cli cli;
    const CliResult r = cli.run({"count", kGroup, "--format", "csv"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto l = lines(r.out);
    // TabExCtl (9 modules) first, then the test project (2 modules).
    ASSERT_EQ(l.size(), 1u + 9 + 1 + 1 + 1 + 2 + 1);
    EXPECT_EQ(l[0], "Module File,Type,P,A,C,B,P - C,P - B,P - C - B,A - C,A - B,A - C - B");
    EXPECT_EQ(l[10], " ,Total,14109,15341,686,1765,13423,12344,11658,14655,13576,12890");
    EXPECT_EQ(l[11], "");
    EXPECT_EQ(l[15], " ,Total,3137,4173,289,600,2848,2537,2248,3884,3573,3284");

    const CliResult second = cli.run({"count", kGroup, "--project", "2"});
    ASSERT_EQ(second.status, 0);
    EXPECT_EQ(lines(second.out).size(), 4u);
    EXPECT_EQ(cli.run({"count", kGroup, "--project", "3"}).status, 1);
}

TEST(CliCount, JsonForScripts)
{
    Cli cli;
    const CliResult r = cli.run({"count", kTest, "--format", "json"});
    ASSERT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.starts_with("[{\"path\":"));
    EXPECT_NE(r.out.find("\"name\":\"SSTabExTest\""), std::string::npos);
    EXPECT_NE(r.out.find("\"version\":\"1.0.0\""), std::string::npos);
    EXPECT_NE(r.out.find("\"module\":\"frmTest.frm\",\"type\":\"Form\",\"P\":534,\"A\":1557"), std::string::npos);
    EXPECT_NE(r.out.find("\"totals\":{\"P\":3137,\"A\":4173,\"C\":289,\"B\":600,\"P - C\":2848"), std::string::npos);
}

TEST(CliCount, OutputWritesTheExportFileAndSaveStoresTheSnapshot)
{
    Cli cli;
    TempFolder out;
    const CliResult r = cli.run({"count", kTest, "--output", (out / "list.txt").string(), "--save"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(withoutCr(readFile(out / "list.txt")), r.out) << "the file holds what stdout shows";
    EXPECT_NE(readFile(out / "list.txt").find("\r\n"), std::string::npos) << "the file keeps CR LF";
    const std::string snapshot = readFile(cli.program / "verhis" / "SSTabExTest" / "1.0.0");
    EXPECT_TRUE(snapshot.starts_with("cDlg.cls:ClassModule:2603:2616:281:504:2322:2099:1818:2335:2112:1831\r\n"));
    EXPECT_TRUE(snapshot.ends_with("Total: 2 modules: 3137, 4173, 289, 600, 2848, 2537, 2248, 3884, 3573, 3284 "
                                   "(columns P to A - C - B)\r\n"));

    EXPECT_EQ(cli.run({"history"}).out, "SSTabExTest\n");
    EXPECT_EQ(cli.run({"history", "SSTabExTest"}).out, "1.0.0\n");
    EXPECT_EQ(cli.run({"history", "SSTabExTest", "1.0.0"}).out, r.out) << "the history shows what was counted";
    EXPECT_EQ(cli.run({"history", "Nope"}).status, 1);
    EXPECT_EQ(cli.run({"history", "SSTabExTest", "9.9.9"}).status, 1);
}

TEST(CliCount, ExportFailureIsReportedAndKeepsTheOldFile)
{
    Cli cli;
    TempFolder out;
    const auto target = out.write("keep.txt", "precious");
    fs::permissions(target, fs::perms::owner_read);
    const CliResult r = cli.run({"count", kTest, "--output", target.string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("keep.txt"), std::string::npos);
    EXPECT_NE(r.err.find("ermission"), std::string::npos);
    EXPECT_EQ(readFile(target), "precious");
}

TEST(CliErrors, BadArgumentsExitTwoWithOneLineAndWhereTheHelpIs)
{
    Cli cli;
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{},
                                               {"frobnicate"},
                                               {"count"},
                                               {"count", kTest, "--format", "xml"},
                                               {"count", kTest, "--sort", "12"},
                                               {"count", kTest, "--project", "0"},
                                               {"count", kTest, "--project"},
                                               {"count", kTest, kTest, "--project", "1"},
                                               {"count", kGroup, "--output", "x.txt"},
                                               {"history", "a", "b", "c"},
                                               {"procedures"},
                                               {"procedures", kTest, "--sort", "11"},
                                               {"procedures", kTest, "--sort", "P"},
                                               {"procedures", kTest, "--format", "xls"},
                                               {"procedures", kTest, "--save"},
                                               {"procedures", kTest, "--max-cc", "3", "--format", "json"},
                                               {"procedures", kGroup, "--output", "x.txt"}}) {
        const CliResult r = cli.run(args);
        EXPECT_EQ(r.status, 2) << (args.empty() ? "" : args[0]);
        const auto l = lines(r.err);
        ASSERT_EQ(l.size(), 2u) << r.err;
        EXPECT_TRUE(l[0].starts_with("zorvika-cli: ")) << l[0];
        EXPECT_EQ(l[1], args.empty() || args[0] == "frobnicate" ? "Try 'zorvika-cli --help'."
                                                                : "Try 'zorvika-cli " + args[0] + " --help'.");
        EXPECT_EQ(r.err.find("usage:"), std::string::npos) << "not the whole synopsis";
    }
}

TEST(CliErrors, UnreadableOrWrongFileExitsOneNamingIt)
{
    Cli cli;
    TempFolder dir;
    const CliResult missing = cli.run({"count", (dir / "none.vbp").string()});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("none.vbp"), std::string::npos);
    dir.write("text.vbg", "hello\r\n");
    EXPECT_EQ(cli.run({"count", (dir / "text.vbg").string()}).status, 1);
    EXPECT_EQ(missing.out, "");
}

TEST(CliCount, NothingIsWrittenOutsideTheProgramFolder)
{
    TempFolder copy;
    fs::copy(corpus("SSTabEx"), copy.path(), fs::copy_options::recursive);
    auto snapshotOf = [](const fs::path& root) {
        std::vector<std::string> names;
        for (const auto& e : fs::recursive_directory_iterator(root))
            names.push_back(e.path().string() + ":" + std::to_string(e.is_regular_file() ? fs::file_size(e) : 0));
        std::sort(names.begin(), names.end());
        return names;
    };
    const auto before = snapshotOf(copy.path());
    Cli cli;
    ASSERT_EQ(cli.run({"count", (copy / "Group1.vbg").string(), "--save"}).status, 0);
    EXPECT_EQ(snapshotOf(copy.path()), before);
}

namespace {

struct LanguageCase {
    const char* name;
    std::vector<std::string> options;
    std::string lang;       // LANG
    bool ownTable;          // the user's data folder holds an English "tips.dll"
    bool germanShipped;     // the shipped folder holds "tips.de.dll"
    int status;
    std::string totalsWord; // the stored totals line's start; empty: nothing stored
};

void PrintTo(const LanguageCase& c, std::ostream* os) { *os << c.name; }

class CliLanguage : public ::testing::TestWithParam<LanguageCase> {};

} // namespace

TEST_P(CliLanguage, AnInstalledProgramReadsTheTableOfTheUsersLanguage)
{
    const LanguageCase& c = GetParam();
    TempFolder dir;
    const fs::path resources = fs::path(ZORVIKA_SOURCE_DIR) / "resources";
    fs::create_directories(dir / "share");
    fs::copy_file(resources / "tips.dll", dir / "share" / "tips.dll");
    if (c.germanShipped)
        fs::copy_file(resources / "tips.de.dll", dir / "share" / "tips.de.dll");
    if (c.ownTable) {
        fs::create_directories(dir / "data");
        fs::copy_file(resources / "tips.dll", dir / "data" / "tips.dll");
    }
    CliContext context;
    context.defaultProgramFolder = dir / "share";
    context.defaultDataFolder = dir / "data";
    context.locale.lang = c.lang;
    std::vector<std::string> args{"count", kTest, "--save"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    std::ostringstream out, err;
    EXPECT_EQ(runCli(args, out, err, context), c.status) << err.str();
    const std::string errors = err.str();
    const fs::path snapshot = dir / "data" / "verhis" / "SSTabExTest" / "1.0.0";
    if (c.totalsWord.empty()) {
        EXPECT_FALSE(fs::exists(snapshot));
        // One line; a usage error adds the line that points to the help.
        EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), c.status == 2 ? 2 : 1) << errors;
    } else {
        EXPECT_NE(readFile(snapshot).find("\r\n" + c.totalsWord), std::string::npos) << readFile(snapshot);
    }
    EXPECT_FALSE(fs::exists(dir / "share" / "verhis"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliLanguage,
    ::testing::Values(LanguageCase{"English", {}, "en_US.UTF-8", false, true, 0, "Total: 2 modules: "},
                      LanguageCase{"GermanLocale", {}, "de_DE.UTF-8", false, true, 0, "Summe: 2 Module: "},
                      LanguageCase{"OwnTableBeatsLocale", {}, "de_DE.UTF-8", true, true, 0, "Total: 2 modules: "},
                      LanguageCase{"ChosenBeatsLocale", {"--language", "en"}, "de_DE.UTF-8", false, true, 0,
                                   "Total: 2 modules: "},
                      LanguageCase{"ChosenGerman", {"--language=de"}, "", false, true, 0, "Summe: 2 Module: "},
                      LanguageCase{"ChosenButNotShipped", {"--language", "de"}, "", false, false, 1, ""},
                      LanguageCase{"NoSuchLanguage", {"--language", "fr"}, "", false, true, 2, ""}),
    [](const auto& info) { return std::string(info.param.name); });
