// Hostile and conventional command lines: every numeric option's one rule,
// values taken as values whatever they look like, short options the same
// as long ones, and `COMMAND --version`.
#include "cli/commands.h"
#include "cli/options.h"
#include "cli_support.h"

#include <gtest/gtest.h>

using namespace zorvika;
using namespace zorvika::test;
namespace fs = std::filesystem;

namespace {

const std::string kTest = corpus("SSTabEx/test project/Test.vbp");

struct NumberCase {
    const char* name;
    std::vector<std::string> args; // "V" stands for the value tried
    std::string value;
    bool accepted;
};

void PrintTo(const NumberCase& c, std::ostream* os) { *os << c.name; }

class NumericOption : public ::testing::TestWithParam<NumberCase> {};

// A refused number is a usage mistake (exit 2) that names the option and
// its range; an accepted one is never cut or wrapped on the way.
TEST_P(NumericOption, TakesOnlyWholeNumbersOfItsRange)
{
    const NumberCase& c = GetParam();
    std::vector<std::string> args = c.args;
    std::replace(args.begin(), args.end(), std::string("V"), c.value);
    Cli cli;
    const CliResult r = cli.run(args);
    if (c.accepted) {
        EXPECT_NE(r.status, 2) << r.err;
        return;
    }
    EXPECT_EQ(r.status, 2);
    const auto l = lines(r.err);
    ASSERT_EQ(l.size(), 2u) << r.err;
    // The option is the argument before "V", or the one of "--name=V".
    std::string option;
    for (std::size_t i = 1; i < c.args.size(); ++i)
        if (c.args[i] == "V")
            option = c.args[i - 1];
        else if (c.args[i].ends_with("=V"))
            option = c.args[i].substr(0, c.args[i].size() - 2);
    EXPECT_TRUE(l[0].starts_with("zorvika-cli: " + option + " takes a whole number from ")) << l[0];
    EXPECT_EQ(r.out, "");
}

const std::vector<std::string> kProject = {"count", kTest, "--project", "V"};
const std::vector<std::string> kEvery = {"import", kTest, "--revisions", "HEAD", "--every", "V"};
const std::vector<std::string> kMaxCc = {"procedures", kTest, "--max-cc", "V"};
const std::vector<std::string> kMaxSpan = {"procedures", kTest, "--max-span=V"};
const std::vector<std::string> kMaxDepth = {"procedures", kTest, "--max-depth", "V"};

INSTANTIATE_TEST_SUITE_P(
    Cases, NumericOption,
    ::testing::Values(
        NumberCase{"ProjectOne", kProject, "1", true},
        NumberCase{"ProjectZero", kProject, "0", false},
        NumberCase{"ProjectNegative", kProject, "-1", false},
        NumberCase{"ProjectPlusSign", kProject, "+1", false},
        NumberCase{"ProjectSpace", kProject, " 1", false},
        NumberCase{"ProjectHex", kProject, "0x1", false},
        NumberCase{"ProjectExponent", kProject, "1e3", false},
        NumberCase{"ProjectEmpty", kProject, "", false},
        NumberCase{"ProjectArabicIndicDigit", kProject, "\xd9\xa1", false},
        NumberCase{"ProjectPast64Bits", kProject, "18446744073709551617", false},
        NumberCase{"ProjectLargest", kProject, "9223372036854775807", true},
        NumberCase{"ProjectOnePastLargest", kProject, "9223372036854775808", false},
        NumberCase{"EveryPast32Bits", kEvery, "4294967296", true},
        NumberCase{"EveryZero", kEvery, "0", false},
        NumberCase{"EveryPast64Bits", kEvery, "99999999999999999999", false},
        NumberCase{"EveryHelp", kEvery, "--help", false},
        NumberCase{"MaxCcZero", kMaxCc, "0", true},
        NumberCase{"MaxCcNegative", kMaxCc, "-5", false},
        NumberCase{"MaxCcFraction", kMaxCc, "2.5", false},
        NumberCase{"MaxSpanAfterEquals", kMaxSpan, "x", false},
        NumberCase{"MaxDepthTrailingSpace", kMaxDepth, "3 ", false}),
    [](const auto& info) { return std::string(info.param.name); });

struct ValueCase {
    const char* name;
    std::vector<std::string> args; // "OUT" stands for the output file's path
    std::string file;              // the output file's name in a fresh folder
};

void PrintTo(const ValueCase& c, std::ostream* os) { *os << c.name; }

class OptionValue : public ::testing::TestWithParam<ValueCase> {};

// What follows an option that takes a value is that value, also when it
// looks like `-h`, `--help`, `-V` or `--`: the export is written under that
// name and no help is printed.
TEST_P(OptionValue, IsTakenAsItsValueWhateverItLooksLike)
{
    const ValueCase& c = GetParam();
    TempFolder dir;
    std::vector<std::string> args = c.args;
    for (std::string& a : args)
        if (const auto at = a.find("OUT"); at != std::string::npos)
            a.replace(at, 3, (dir / c.file).string());
    Cli cli;
    const CliResult r = cli.run(args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.find("usage:"), std::string::npos) << r.out;
    ASSERT_TRUE(fs::exists(dir / c.file)) << c.file;
    EXPECT_NE(readFile(dir / c.file).find("\tTotal\t3137\t"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OptionValue,
    ::testing::Values(ValueCase{"DashH", {"count", kTest, "--output", "OUT"}, "-h"},
                      ValueCase{"DashDashHelp", {"count", kTest, "--output", "OUT"}, "--help"},
                      ValueCase{"DashV", {"count", kTest, "-o", "OUT"}, "-V"},
                      ValueCase{"DashDash", {"count", "--output", "OUT", kTest}, "--"},
                      ValueCase{"AfterEquals", {"count", kTest, "--output=OUT"}, "--version"}),
    [](const auto& info) { return std::string(info.param.name); });

// A relative value that looks like an option works too (a file "-h" in the
// current folder), and the help is not printed.
TEST(OptionValue, ARelativeDashHIsAFileName)
{
    TempFolder dir;
    const fs::path before = fs::current_path();
    fs::current_path(dir.path());
    Cli cli;
    const CliResult r = cli.run({"count", kTest, "--output", "-h"});
    fs::current_path(before);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::exists(dir / "-h"));
    EXPECT_EQ(r.out.find("usage:"), std::string::npos);
}

// The short options give what the long ones give, bundled switches too.
TEST(ShortOptions, GiveWhatTheLongOnesGive)
{
    Cli cli;
    const std::vector<std::pair<std::vector<std::string>, std::vector<std::string>>> pairs = {
        {{"count", kTest, "-f", "csv", "-s", "A", "-d", "-q"},
         {"count", kTest, "--format", "csv", "--sort", "A", "--descending", "--quiet"}},
        {{"count", kTest, "-fjson", "-dq", "-sP"}, {"count", kTest, "--format=json", "--descending", "--quiet", "--sort=P"}},
        {{"procedures", kTest, "-s", "cc", "-d"}, {"procedures", kTest, "--sort", "cc", "--descending"}},
        {{"history", "-f", "json"}, {"history", "--format", "json"}},
        {{"count", "-V"}, {"count", "--version"}},
        {{"-V"}, {"--version"}},
    };
    for (const auto& [shortForm, longForm] : pairs) {
        const CliResult a = cli.run(shortForm);
        const CliResult b = cli.run(longForm);
        EXPECT_EQ(a.status, 0) << shortForm[0] << ": " << a.err;
        EXPECT_TRUE(a.out == b.out) << shortForm[0];
        EXPECT_FALSE(a.out.empty());
    }
    // Each command prints the program's version, as the manual page says.
    for (const CommandSpec* command : allCommands()) {
        const CliResult r = cli.run({std::string(command->name), "--version"});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, std::string("zorvika-cli ") + ZORVIKA_VERSION + "\n") << command->name;
    }
    const CliResult unknown = cli.run({"count", kTest, "-Z"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("'-Z'"), std::string::npos) << unknown.err;
}

} // namespace
