// `zorvika-cli procedures` and the procedure figures of `count --format json`.
#include "cli_support.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace zorvika;
using namespace zorvika::test;
namespace fs = std::filesystem;

namespace {

const std::string kHeader =
    "Module File\tProcedure\tKind\tFirst Line\tSpan\tCode Lines\tLLOC\tStatements\tCC\tCC2\tDepth";

std::string fixture(const std::string& name)
{
    return readFile(fs::path(ZORVIKA_SOURCE_DIR) / "tests/data/procedures" / name);
}

// A project of two fixture modules (Sub Check and Function One; the two
// Pick and Sub Other) and a module that does not exist.
class ProceduresCli : public ::testing::Test {
protected:
    TempFolder sources;
    Cli cli;
    std::string vbp;

    void SetUp() override
    {
        sources.write("src/Checks.bas", fixture("continued_if.bas"));
        sources.write("src/Twice.bas", fixture("defined_twice.bas"));
        vbp = sources.write("p.vbp", "Type=Exe\r\nModule=Checks; src\\Checks.bas\r\nModule=Twice; SRC\\twice.bas\r\n"
                                     "Class=Gone; Gone.cls\r\nName=\"Figures\"\r\n")
                  .string();
    }
};

} // namespace

TEST_F(ProceduresCli, OneRowPerProcedureInProjectOrderAndATotalsRow)
{
    const CliResult r = cli.run({"procedures", vbp});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, kHeader + "\n"
                     "src\\Checks.bas\tOne\tFunction\t2\t1\t1\t1\t3\t1\t1\t0\n"
                     "src\\Checks.bas\tCheck\tSub\t4\t9\t9\t7\t10\t4\t6\t1\n"
                     "SRC\\twice.bas\tPick (defined twice)\tFunction\t4\t3\t3\t3\t3\t1\t1\t0\n"
                     "SRC\\twice.bas\tPick (defined twice)\tFunction\t8\t3\t3\t3\t5\t2\t2\t0\n"
                     "SRC\\twice.bas\tOther\tSub\t13\t5\t5\t5\t3\t1\t1\t0\n"
                     "Total\t5\t\t\t21\t21\t19\t24\t9\t11\t1\n");
}

TEST_F(ProceduresCli, SortByNumberOrWordAndTheTotalsRowStaysLast)
{
    const CliResult byWord = cli.run({"procedures", vbp, "--sort", "statements", "--descending"});
    const CliResult byNumber = cli.run({"procedures", vbp, "--sort", "7", "--descending"});
    ASSERT_EQ(byWord.status, 0) << byWord.err;
    EXPECT_EQ(byWord.out, byNumber.out);
    std::vector<std::string> names;
    for (const std::string& line : lines(byWord.out))
        names.push_back(line.substr(line.find('\t') + 1, line.find('\t', line.find('\t') + 1) - line.find('\t') - 1));
    // Statements as numbers, descending: 10, 5, 3, 3, 3; equal numbers keep their order.
    EXPECT_EQ(names, (std::vector<std::string>{"Procedure", "Check", "Pick (defined twice)", "One",
                                               "Pick (defined twice)", "Other", "5"}));
}

TEST_F(ProceduresCli, CommaFileJsonAndOutputFile)
{
    const CliResult csv = cli.run({"procedures", vbp, "--format", "csv"});
    ASSERT_EQ(csv.status, 0);
    EXPECT_EQ(lines(csv.out).at(2), "src\\Checks.bas,Check,Sub,4,9,9,7,10,4,6,1");

    const CliResult json = cli.run({"procedures", vbp, "--format", "json"});
    ASSERT_EQ(json.status, 0);
    EXPECT_NE(json.out.find("{\"module\":\"src\\\\Checks.bas\",\"name\":\"Check\",\"kind\":\"Sub\",\"firstLine\":4,"
                            "\"span\":9,\"codeLines\":9,\"lloc\":7,\"statements\":10,\"cc\":4,\"cc2\":6,\"depth\":1,"
                            "\"definedTwice\":false}"),
              std::string::npos)
        << json.out;
    EXPECT_NE(json.out.find("\"name\":\"Pick\",\"kind\":\"Function\",\"firstLine\":8"), std::string::npos);
    EXPECT_NE(json.out.find("\"totals\":{\"procedures\":5,\"span\":21,\"codeLines\":21,\"lloc\":19,\"statements\":24,"
                            "\"cc\":9,\"cc2\":11,\"depth\":1}"),
              std::string::npos);

    TempFolder out;
    const CliResult written = cli.run({"procedures", vbp, "--output", (out / "procs.txt").string()});
    ASSERT_EQ(written.status, 0) << written.err;
    // The file has CR LF line ends; standard output LF.
    std::string file = readFile(out / "procs.txt");
    EXPECT_NE(file.find("\r\n"), std::string::npos);
    file.erase(std::remove(file.begin(), file.end(), '\r'), file.end());
    EXPECT_EQ(file, written.out);
    const auto target = out.write("keep.csv", "precious");
    fs::permissions(target, fs::perms::owner_read);
    const CliResult refused = cli.run({"procedures", vbp, "--output", target.string()});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("keep.csv"), std::string::npos);
    EXPECT_EQ(readFile(target), "precious");
}

TEST_F(ProceduresCli, ModulesWithoutProceduresGiveOnlyTheTotalsRow)
{
    sources.write("Empty.bas", fixture("no_procedures.bas"));
    const auto only = sources.write("e.vbp", "Module=Empty; Empty.bas\r\nForm=Missing.frm\r\n");
    const CliResult r = cli.run({"procedures", only.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, kHeader + "\nTotal\t0\t\t\t0\t0\t0\t0\t0\t0\t0\n");
}

TEST_F(ProceduresCli, GroupGivesOneBlockPerProject)
{
    sources.write("second/Events.cls", fixture("events.cls"));
    sources.write("second/s.vbp", "Class=Events; Events.cls\r\n");
    const auto vbg = sources.write("g.vbg", "VBGROUP 5.0\r\nStartupProject=p.vbp\r\nProject=second\\s.vbp\r\n");
    const CliResult r = cli.run({"procedures", vbg.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto l = lines(r.out);
    ASSERT_EQ(l.size(), 7u + 1 + 4);
    EXPECT_EQ(l[7], "");
    EXPECT_EQ(l[9], "Events.cls\tRaise\tSub\t13\t4\t4\t4\t6\t2\t2\t0");
    const CliResult second = cli.run({"procedures", vbg.string(), "--project", "2"});
    EXPECT_EQ(lines(second.out).size(), 4u);
}

// The count's JSON gives each module its procedure figures; its tab and
// comma layouts do not change.
TEST_F(ProceduresCli, CountJsonCarriesTheModuleFigures)
{
    const CliResult r = cli.run({"count", vbp, "--format", "json", "--sort", "module", "--descending"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"module\":\"src\\\\Checks.bas\",\"type\":\"Module\",\"P\":11,"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"A - C - B\":10,\"procedures\":{\"sub\":1,\"function\":1,\"propertyGet\":0,"
                         "\"propertyLet\":0,\"propertySet\":0,\"declares\":0,\"events\":0,\"lloc\":8,"
                         "\"statements\":13,\"totalCc\":5,\"highestCc\":4,\"longest\":{\"name\":\"Check\",\"span\":9}}}"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\"lloc\":15,\"statements\":11,\"totalCc\":4,\"highestCc\":2,"
                         "\"longest\":{\"name\":\"Other\",\"span\":5}}"),
              std::string::npos);
    EXPECT_NE(r.out.find("\"module\":\"Gone.cls\",\"type\":\"Invalid\""), std::string::npos);
    EXPECT_NE(r.out.find("\"A - C - B\":null,\"procedures\":null}"), std::string::npos);

    const CliResult tsv = cli.run({"count", vbp});
    EXPECT_EQ(tsv.out.find("procedures"), std::string::npos);
    EXPECT_EQ(lines(tsv.out).at(2), "src\\Checks.bas\tModule\t11\t12\t1\t1\t10\t10\t9\t11\t11\t10");
}
