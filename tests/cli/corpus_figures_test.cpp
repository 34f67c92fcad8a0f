// Totals of every project of the shared corpus, checked against the module
// files by an independent count.
#include "cli_support.h"

#include <gtest/gtest.h>

using namespace zorvika::test;

namespace {

struct Expected {
    const char* project;
    const char* totalsRow;
};

const Expected kCorpus[] = {
    {"PhotoDemon/PhotoDemon.vbp", " \tTotal\t377912\t420085\t84021\t83353\t293891\t294559\t210538\t336064\t336732\t252711"},
    {"SSTabEx/control-source/TabExCtl.vbp", " \tTotal\t14109\t15341\t686\t1765\t13423\t12344\t11658\t14655\t13576\t12890"},
    {"SSTabEx/test project/Test.vbp", " \tTotal\t3137\t4173\t289\t600\t2848\t2537\t2248\t3884\t3573\t3284"},
    {"VBCorLib/Source/CorLib/CorLib.vbp", " \tTotal\t125540\t130065\t47664\t18236\t77876\t107304\t59640\t82401\t111829\t64165"},
    {"VBCorLib/Source/CorLib/CorLib.Build.vbp", " \tTotal\t125540\t130065\t47664\t18236\t77876\t107304\t59640\t82401\t111829\t64165"},
    {"VBCorLib/Source/Fakes/Fakes.vbp", " \tTotal\t835\t1082\t7\t279\t828\t556\t549\t1075\t803\t796"},
    {"VBCorLib/Source/Tests/CorLib.Tests.vbp", " \tTotal\t48891\t51733\t2031\t11763\t46860\t37128\t35097\t49702\t39970\t37939"},
};

} // namespace

TEST(CorpusFigures, EveryProjectTotalsAndNoInvalidRow)
{
    Cli cli;
    for (const Expected& e : kCorpus) {
        SCOPED_TRACE(e.project);
        const CliResult r = cli.run({"count", corpus(e.project)});
        ASSERT_EQ(r.status, 0) << r.err;
        const auto l = lines(r.out);
        ASSERT_GE(l.size(), 2u);
        EXPECT_EQ(l.back(), e.totalsRow);
        for (const auto& line : l)
            EXPECT_EQ(line.find("\tInvalid\t"), std::string::npos) << line;
    }
}

TEST(CorpusFigures, PhotoDemonModuleWhoseCaseDiffersFromTheDisk)
{
    Cli cli;
    const CliResult r = cli.run({"count", corpus("PhotoDemon/PhotoDemon.vbp")});
    ASSERT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Forms\\Effects_LightAndShadow_BlackLight.frm\tForm\t146\t210\t30\t30\t116\t116\t86\t180\t180\t150"),
              std::string::npos);
    EXPECT_EQ(lines(r.out).size(), 541u);
}

TEST(CorpusFigures, GroupsResolveTheirEntries)
{
    Cli cli;
    const CliResult r = cli.run({"count", corpus("VBCorLib/Source/CorLib.Solution.vbg"), "--format", "json"});
    ASSERT_EQ(r.status, 0) << r.err;
    // Fakes, then the startup project Tests (in file order), then CorLib.
    const auto fakes = r.out.find("\"name\":\"Fakes\"");
    const auto tests = r.out.find("\"name\":\"CorLibTests\"");
    const auto corlib = r.out.find("\"name\":\"CorLib\"");
    ASSERT_NE(fakes, std::string::npos);
    ASSERT_NE(tests, std::string::npos) << r.out.substr(0, 400);
    ASSERT_NE(corlib, std::string::npos);
    EXPECT_LT(fakes, tests);
    EXPECT_LT(tests, corlib);
}
