// Many inputs and what a run over them prints: folders searched for
// projects and groups, exclusions, one table over all projects, numeric
// order, the line about modules not found and the gate for CI.
#include "cli/inputs.h"
#include "cli_support.h"
#include "output/snapshot_store.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using namespace zorvika;
using namespace zorvika::test;
namespace fs = std::filesystem;

namespace {

// A tree of projects: top.vbp, lib/Lib.VBP, lib/old/old.vbp and the group
// apps/all.vbg, which names ../top.vbp and its own apps/app.vbp. Module
// "gone.bas" of app.vbp does not exist.
struct Tree {
    Tree()
    {
        dir.write("top.vbp", "Module=T; t.bas\r\nName=\"Top\"\r\n");
        dir.write("t.bas", "a = 1\r\n' note\r\n\r\nb = 2\r\n");
        dir.write("lib/Lib.VBP", "Module=L; l.bas\r\nName=\"Lib\"\r\n");
        dir.write("lib/l.bas", std::string(12, '\n'));
        dir.write("lib/old/old.vbp", "Module=O; o.bas\r\nName=\"Old\"\r\n");
        dir.write("lib/old/o.bas", "x\r\n");
        dir.write("apps/app.vbp", "Module=A; a.bas\r\nModule=G; gone.bas\r\nName=\"App, two\"\r\n");
        dir.write("apps/a.bas", "Attribute VB_Name = \"A\"\r\nSub S()\r\nIf a Then\r\nb\r\nEnd If\r\nEnd Sub\r\n");
        dir.write("apps/all.vbg", "VBGROUP 5.0\r\nStartupProject=..\\top.vbp\r\nProject=app.vbp\r\n");
        dir.write("notes.txt", "Module=X\r\n");
    }
    // The path as the system writes it (its own separator throughout).
    std::string operator/(const std::string& rel) const { return (dir / rel).make_preferred().string(); }
    TempFolder dir;
};

std::vector<std::string> jsonPaths(const std::string& out)
{
    std::vector<std::string> paths;
    for (const auto& project : nlohmann::json::parse(out))
        paths.push_back(project.at("path"));
    return paths;
}

} // namespace

TEST(ProjectInputs, FoldersGiveEveryProjectAndGroupInPathOrderEachOnce)
{
    Tree t;
    struct Case {
        const char* name;
        std::vector<std::string> operands;
        std::vector<std::string> excludes;
        std::vector<std::string> files;
    };
    const std::vector<Case> cases = {
        {"Folder", {t / ""}, {}, {t / "apps/all.vbg", t / "apps/app.vbp", t / "lib/Lib.VBP", t / "lib/old/old.vbp", t / "top.vbp"}},
        {"FileThenItsFolder", {t / "top.vbp", t / "lib"}, {}, {t / "top.vbp", t / "lib/Lib.VBP", t / "lib/old/old.vbp"}},
        {"SameFileTwoSpellings", {t / "top.vbp", t / "lib/../top.vbp"}, {}, {t / "top.vbp"}},
        {"ExcludeAFolderByName", {t / ""}, {"old"}, {t / "apps/all.vbg", t / "apps/app.vbp", t / "lib/Lib.VBP", t / "top.vbp"}},
        {"ExcludeByWholePath", {t / ""}, {"*/apps/*", "*.VBP"}, {t / "lib/old/old.vbp", t / "top.vbp"}},
        {"ExcludeAGivenFile", {t / "top.vbp", t / "lib/Lib.VBP"}, {"top.*"}, {t / "lib/Lib.VBP"}},
        {"MissingFileIsKeptToBeTold", {t / "none.vbp"}, {}, {t / "none.vbp"}},
    };
    for (const Case& c : cases) {
        const ProjectInputs inputs = findProjectInputs(c.operands, c.excludes);
        std::vector<std::string> files;
        for (const std::string& f : inputs.files)
            files.push_back(fs::path(f).lexically_normal().string());
        std::vector<std::string> expected;
        for (const std::string& f : c.files)
            expected.push_back(fs::path(f).lexically_normal().string());
        EXPECT_EQ(files, expected) << c.name;
        EXPECT_TRUE(inputs.failures.empty()) << c.name;
    }
    TempFolder empty;
    empty.write("only.txt", "");
    const ProjectInputs none = findProjectInputs({empty.path().string()}, {});
    EXPECT_TRUE(none.files.empty());
    ASSERT_EQ(none.failures.size(), 1u);
    EXPECT_NE(none.failures[0].find("no .vbp or .vbg file"), std::string::npos);
}

TEST(ProjectInputs, GlobsMatchWholeTexts)
{
    const std::vector<std::tuple<std::string, std::string, bool>> cases = {
        {"*.vbp", "a/b.vbp", true},     {"*.vbp", "a.vbpx", false},   {"a?c", "abc", true},
        {"a?c", "ac", false},           {"[a-c]x", "bx", true},       {"[!a-c]x", "bx", false},
        {"[!a-c]x", "dx", true},        {"*a*b*c", "xaxbxc", true},   {"*a*b*c", "xaxcxb", false},
        {"[x", "[x", true},             {"", "", true},               {"*", "", true},
        {std::string(30, '*') + "b", std::string(3000, 'a'), false},
    };
    for (const auto& [glob, text, matches] : cases)
        EXPECT_EQ(globMatches(glob, text), matches) << glob << " " << text.substr(0, 20);
}

// Several inputs print one block per project (tsv, csv) or one JSON array;
// with --one-table one header, a "Project" column and no empty line.
TEST(ManyInputs, BlocksOneArrayOrOneTable)
{
    Tree t;
    Cli cli;
    const CliResult json = cli.run({"count", t / "", "--exclude", "lib", "--format", "json", "--quiet"});
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(jsonPaths(json.out),
              (std::vector<std::string>{"..\\top.vbp", "app.vbp", t / "apps/app.vbp", t / "top.vbp"}))
        << "a project that a found group names is listed by itself too";

    const CliResult blocks = cli.run({"count", t / "top.vbp", t / "lib/Lib.VBP", "-q"});
    ASSERT_EQ(blocks.status, 0) << blocks.err;
    const auto b = lines(blocks.out);
    ASSERT_EQ(b.size(), 7u);
    EXPECT_EQ(b[3], "");
    EXPECT_EQ(b[4], b[0]);

    const CliResult table = cli.run({"count", t / "apps/all.vbg", "--one-table", "-f", "csv", "-q"});
    ASSERT_EQ(table.status, 0) << table.err;
    EXPECT_EQ(table.out, "Project,Module File,Type,P,A,C,B,P - C,P - B,P - C - B,A - C,A - B,A - C - B\n"
                         "Top,t.bas,Module,3,4,1,1,2,2,1,3,3,2\n"
                         "Top, ,Total,3,4,1,1,2,2,1,3,3,2\n"
                         "\"App, two\",a.bas,Module,5,6,0,0,5,5,5,6,6,6\n"
                         "\"App, two\",gone.bas,Invalid,,,,,,,,,,\n"
                         "\"App, two\", ,Total,5,6,0,0,5,5,5,6,6,6\n");

    const CliResult procedures = cli.run({"procedures", t / "apps/all.vbg", t / "top.vbp", "--one-table", "-q"});
    ASSERT_EQ(procedures.status, 0) << procedures.err;
    EXPECT_EQ(procedures.out, "Project\tModule File\tProcedure\tKind\tFirst Line\tSpan\tCode Lines\tLLOC\tStatements\t"
                              "CC\tCC2\tDepth\n"
                              "Top\tTotal\t0\t\t\t0\t0\t0\t0\t0\t0\t0\n"
                              "App, two\ta.bas\tS\tSub\t2\t5\t5\t5\t5\t2\t2\t1\n"
                              "App, two\tTotal\t1\t\t\t5\t5\t5\t5\t2\t2\t1\n"
                              "Top\tTotal\t0\t\t\t0\t0\t0\t0\t0\t0\t0\n");

    const CliResult missing = cli.run({"count", t / "top.vbp", t / "none.vbp"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.out.find("\tTotal\t3\t4\t"), std::string::npos) << "the other inputs are still counted";
    EXPECT_NE(missing.err.find("none.vbp"), std::string::npos);
}

// Figures sort as numbers; an "Invalid" row's empty cells come last in
// either direction, in count and in a stored snapshot.
TEST(NumericSort, FiguresAsNumbersAndInvalidRowsLast)
{
    TempFolder dir;
    auto code = [](int lines) {
        std::string text;
        for (int i = 0; i < lines; ++i)
            text += "x = 1\r\n";
        return text;
    };
    dir.write("nine.bas", code(9));
    dir.write("ten.bas", code(10));
    dir.write("hundred.bas", code(100));
    const auto vbp = dir.write("p.vbp", "Module=A; ten.bas\r\nModule=B; gone.bas\r\nModule=C; hundred.bas\r\n"
                                        "Module=D; nine.bas\r\nName=\"N\"\r\nMajorVer=1\r\nMinorVer=0\r\nRevisionVer=0\r\n");
    Cli cli;
    ASSERT_EQ(cli.run({"count", vbp.string(), "--save", "-q"}).status, 0);
    auto order = [](const std::string& out) {
        std::string names;
        for (const std::string& l : lines(out))
            if (!l.starts_with("Module File") && !l.starts_with(" "))
                names += l.substr(0, l.find('.')) + " ";
        return names;
    };
    for (const std::string column : {"A", "3", "P - C - B"}) {
        EXPECT_EQ(order(cli.run({"count", vbp.string(), "-s", column, "-q"}).out), "nine ten hundred gone ");
        EXPECT_EQ(order(cli.run({"count", vbp.string(), "-s", column, "-d", "-q"}).out), "hundred ten nine gone ");
        EXPECT_EQ(order(cli.run({"history", "N", "1.0.0", "-s", column, "-d"}).out), "hundred ten nine gone ");
    }
    EXPECT_EQ(order(cli.run({"history", "N", "1.0.0", "-s", "module"}).out), "gone hundred nine ten ");
    const auto json = nlohmann::json::parse(cli.run({"count", vbp.string(), "-s", "A", "-f", "json", "-q"}).out);
    EXPECT_EQ(json.at(0).at("rows").at(3).at("module"), "gone.bas");
    EXPECT_EQ(cli.run({"history", "N", "-s", "A"}).status, 2) << "a sort goes with a snapshot";
}

// The modules not found are told in one line at the run's end; --quiet
// silences it, --strict makes them a failure (told whatever --quiet says).
TEST(MissingModules, OneLineQuietAndStrict)
{
    TempFolder dir;
    dir.write("here.bas", "a\r\n");
    std::string entries;
    for (int i = 0; i < 12; ++i)
        entries += "Module=M" + std::to_string(i) + "; gone" + std::to_string(i) + ".bas\r\n";
    const auto few = dir.write("few.vbp", "Module=H; here.bas\r\nClass=X; gone.cls\r\nForm=f.frm\r\n");
    const auto many = dir.write("many.vbp", "Module=H; here.bas\r\n" + entries);
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string err;
    };
    const std::string f = few.string(), m = many.string();
    const std::string fewLine = "zorvika-cli: 2 of 3 modules not found: gone.cls, f.frm\n";
    const std::vector<Case> cases = {
        {{"count", f}, 0, fewLine},
        {{"procedures", f}, 0, fewLine},
        {{"count", f, "--quiet"}, 0, ""},
        {{"count", f, "--strict"}, 1, fewLine},
        {{"procedures", f, "-q", "--strict"}, 1, fewLine},
        {{"count", f, m, "-f", "json"}, 0,
         "zorvika-cli: 14 of 16 modules not found: gone.cls, f.frm, gone0.bas, gone1.bas, gone2.bas, gone3.bas, "
         "gone4.bas, gone5.bas, gone6.bas, gone7.bas, \u2026\n"},
        {{"count", (dir / "here.bas").string() + ".vbp"}, 1, ""},
    };
    Cli cli;
    for (const Case& c : cases) {
        const CliResult r = cli.run(c.args);
        EXPECT_EQ(r.status, c.status) << c.args.back() << ": " << r.err;
        if (!c.err.empty() || c.status == 0)
            EXPECT_EQ(r.err, c.err) << c.args.back();
    }
    dir.write("whole.vbp", "Module=H; here.bas\r\n");
    const CliResult whole = cli.run({"count", (dir / "whole.vbp").string(), "--strict"});
    EXPECT_EQ(whole.status, 0);
    EXPECT_EQ(whole.err, "");
}

// The gate prints each procedure over a limit in the compilers' form, with
// the module's path as the project gives it joined to the project's folder,
// and fails when there is one.
TEST(ProceduresGate, WarnsLikeACompilerAndFails)
{
    TempFolder dir;
    const std::string deep = "Sub Deep()\r\nIf a Then\r\nFor i = 1 To 2\r\nIf b Or c Then x\r\nNext\r\nEnd If\r\nEnd Sub\r\n";
    dir.write("src/Code.bas", "Attribute VB_Name = \"Code\"\r\n' head\r\n" + deep + "Sub Flat()\r\nx\r\nEnd Sub\r\n");
    const auto vbp = dir.write("p/p.vbp", "Module=Code; ..\\SRC\\Code.bas\r\nModule=G; gone.bas\r\n");
    // The module is found as src/Code.bas; the warning keeps the project's spelling.
    // The folder as the system writes it, joined by its own separator.
    const std::string folder = (dir / "p").string() + static_cast<char>(fs::path::preferred_separator);
    struct Case {
        std::vector<std::string> limits;
        int status;
        std::string out;
    };
    const std::vector<Case> cases = {
        {{"--max-cc", "3"}, 1, folder + "../SRC/Code.bas:3: warning: Deep: CC 4 over 3\n"},
        {{"--max-cc", "4"}, 0, ""},
        {{"--max-cc", "0", "--max-depth", "1"}, 1,
         folder + "../SRC/Code.bas:3: warning: Deep: CC 4 over 0\n" + folder
             + "../SRC/Code.bas:3: warning: Deep: depth 2 over 1\n" + folder
             + "../SRC/Code.bas:10: warning: Flat: CC 1 over 0\n"},
        {{"--max-span", "6"}, 1, folder + "../SRC/Code.bas:3: warning: Deep: span 7 over 6\n"},
    };
    Cli cli;
    for (const Case& c : cases) {
        std::vector<std::string> args = {"procedures", vbp.string(), "-q"};
        args.insert(args.end(), c.limits.begin(), c.limits.end());
        const CliResult r = cli.run(args);
        EXPECT_EQ(r.status, c.status) << c.limits.back() << ": " << r.err;
        EXPECT_EQ(r.out, c.out) << c.limits.back();
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), c.status) << r.err;
    }
}
