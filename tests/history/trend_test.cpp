#include "history/trend.h"

#include "base/file_io.h"
#include "base/program_folder.h"
#include "cli_support.h"
#include "output/snapshot_store.h"

#include <gtest/gtest.h>

using namespace zorvika;
namespace fs = std::filesystem;

namespace {

const TotalsWords kWords{"Total: ", "modules: ", "(order)"};

ModuleRow row(std::string path, int p, int a, int c, int b)
{
    return test::formRow(std::move(path), p, a, c, b);
}

ModuleRow invalid(std::string path)
{
    ModuleRow r;
    r.cells[ColModule] = std::move(path);
    r.cells[ColType] = "Invalid";
    return r;
}

} // namespace

TEST(VersionOrder, ThreeNumbersAsNumbersOthersAfterByText)
{
    EXPECT_TRUE(versionLess("1.9.0", "1.10.0"));
    EXPECT_FALSE(versionLess("1.10.0", "1.9.0"));
    EXPECT_TRUE(versionLess("2.0.0", "10.0.0"));
    EXPECT_TRUE(versionLess("1.0.99", "1.1.0"));
    EXPECT_EQ(inVersionOrder({"..", "1.10.0", "beta", "1.9.0", "1.2", "0.0.1", "1.9.x"}),
              (std::vector<std::string>{"0.0.1", "1.9.0", "1.10.0", "..", "1.2", "1.9.x", "beta"}));
    EXPECT_TRUE(versionLess("1.01.0", "1.1.0")) << "equal numbers fall back to the text";
}

TEST(TrendPoints, FromTheTotalsLineOrSummedFromTheRows)
{
    Snapshot withTotals;
    withTotals.rows = {row("a.frm", 1, 1, 0, 0)};
    withTotals.totalsLabel = "Total: 1 modules: 82, 120, 12, 10, 70, 72, 60, 108, 110, 98 (order)";
    const TrendPoint a = trendPointOf("1.0.0", withTotals, kWords);
    EXPECT_TRUE(a.fromTotalsLine);
    EXPECT_EQ(a.totals[6], 60);

    Snapshot noTotals;
    noTotals.rows = {row("a.frm", 82, 120, 12, 10), invalid("gone.frm"), row("b.bas", 9, 10, 1, 2)};
    const TrendPoint b = trendPointOf("1.1.0", noTotals, kWords);
    EXPECT_FALSE(b.fromTotalsLine);
    const std::array<std::int64_t, 10> expected = {91, 130, 13, 12, 78, 79, 66, 117, 118, 105};
    EXPECT_EQ(b.totals, expected);

    // A totals line in another language's words does not split: rows count.
    noTotals.totalsLabel = "Summe: 3 Module: 1, 2, 3, 4, 5, 6, 7, 8, 9, 10 (Reihenfolge)";
    EXPECT_FALSE(trendPointOf("x", noTotals, kWords).fromTotalsLine);
}

TEST(TrendPoints, ReadStraightFromTheFileAsTheHistoryWindowReadsIt)
{
    // The one-pass reader and the rows the history window shows must agree,
    // whatever the file holds.
    const std::vector<std::string> files = {
        "a.frm:Form:82:120:12:10:70:72:60:108:110:98\r\nTotal: 1 modules: 82, 120, 12, 10, 70, 72, 60, 108, 110, 98 "
        "(order)\r\n",
        "a.frm:Form:5:6:1:1:4:4:3:5:5:4\r\nC:\\src\\b.bas:Module:2:3:0:1:2:1:1:3:2:2\r\n"
        "gone.frm:Invalid::::::::::\r\n::::::::::\r\nbad:line\r\n",
        "a.frm:Form:5:6:1:1:4:4:3:5:5:4\nb.frm:Form:1:1:0:0:1:1:1:1:1:1\n",          // LF line ends
        "\xe4.frm:Form:5:6:1:1:4:4:3:5:5:4\rTotal: broken\r",                        // Windows-1252, CR only
        "a.frm:Form:9:9:0:0:9:9:9:9:9:9\r\nTotal: 1 modules: 1, 2 (order)\r\n", // totals that do not split
        "",
    };
    for (const std::string& bytes : files) {
        const TrendPoint direct = trendPointOfText("v", bytes, kWords, "Total");
        const TrendPoint viaRows = trendPointOf("v", snapshotFromText(bytes, "Total"), kWords);
        EXPECT_EQ(direct.totals, viaRows.totals) << bytes;
        EXPECT_EQ(direct.fromTotalsLine, viaRows.fromTotalsLine) << bytes;
    }
    EXPECT_TRUE(trendPointOfText("v", files[0], kWords, "Total").fromTotalsLine);
    EXPECT_EQ(trendPointOfText("v", files[1], kWords, "Total").totals[ColP - 2], 7) << "the drive-colon row counts";
    EXPECT_EQ(trendPointOfText("v", files[4], kWords, "Total").totals[ColP - 2], 9);
}

TEST(TrendPoints, FiguresBeyondThirtyTwoBitsAreNotAddedUp)
{
    // An edited snapshot with figures no count can give: summing them must not overflow.
    const std::string huge = "9223372036854775807";
    const std::string line = "a.frm:Form:" + huge + ":" + huge + ":" + huge + ":" + huge + ":1:1:1:1:1:1\r\n";
    const TrendPoint p = trendPointOfText("v", line + line + "b.frm:Form:5:6:1:1:4:4:3:5:5:4\r\n", kWords, "Total");
    EXPECT_EQ(p.totals[0], 5);
    EXPECT_EQ(p.totals[6], 3);

    const Snapshot before = snapshotFromText("a.frm:Form:1:1:1:1:1:1:" + huge + ":1:1:1\r\n", "Total");
    const Snapshot after = snapshotFromText("a.frm:Form:1:1:1:1:1:1:-" + huge + ":1:1:1\r\n", "Total");
    const auto rows = compareSnapshots(before, after);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_FALSE(rows[0].before.has_value());
    EXPECT_EQ(rows[0].difference(), 0);
}

TEST(TrendPoints, OnePerStoredVersionInVersionOrder)
{
    test::TempFolder dir;
    const ProgramFolder folder{dir.path()};
    ensureWorkFiles(folder);
    for (const char* v : {"1.10.0", "1.9.0", "1.2.0"})
        ASSERT_TRUE(saveSnapshot(folder, "P", v, {row("a.frm", std::atoi(v + 2) * 10, 1, 0, 0)}, ""));
    const auto points = projectTrend(folder, "P", kWords, "Total");
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(points[0].version, "1.2.0");
    EXPECT_EQ(points[1].version, "1.9.0");
    EXPECT_EQ(points[2].version, "1.10.0");
    EXPECT_EQ(points[2].totals[0], 100);
}

TEST(Comparison, AddedRemovedKeptAndRepeatedModules)
{
    Snapshot first, second;
    first.rows = {row("a.frm", 10, 10, 0, 0), row("gone.bas", 5, 5, 0, 0), row("twice.cls", 1, 1, 0, 0),
                  row("twice.cls", 2, 2, 0, 0), invalid("broken.frm")};
    second.rows = {row("new.frm", 7, 7, 0, 0), row("a.frm", 12, 14, 1, 1), row("broken.frm", 3, 3, 0, 0),
                   row("twice.cls", 3, 3, 0, 0)};
    const auto rows = compareSnapshots(first, second);
    const auto cells = comparisonCells(rows, "added", "removed");
    EXPECT_EQ(cells, (std::vector<std::vector<std::string>>{{"a.frm", "10", "10", "0", ""},
                                                            {"gone.bas", "5", "", "-5", "removed"},
                                                            {"twice.cls", "3", "3", "0", ""},
                                                            {"broken.frm", "", "3", "3", ""},
                                                            {"new.frm", "", "7", "7", "added"}}));
}

TEST(CliTrend, TrendAndCompareLines)
{
    test::Cli cli;
    const ProgramFolder folder{cli.program.path()};
    ensureWorkFiles(folder);
    ASSERT_TRUE(saveSnapshot(folder, "P", "1.10.0", {row("a.frm", 20, 30, 4, 5), row("b.frm", 1, 1, 0, 0)}, ""));
    ASSERT_TRUE(saveSnapshot(folder, "P", "1.9.0", {row("a.frm", 10, 20, 2, 3)}, ""));
    const test::CliResult trend = cli.run({"history", "P", "--trend"});
    ASSERT_EQ(trend.status, 0) << trend.err;
    EXPECT_EQ(trend.out, "1.9.0\t10\t20\t2\t3\t8\t7\t5\t18\t17\t15\n"
                         "1.10.0\t21\t31\t4\t5\t17\t16\t12\t27\t26\t22\n");
    const test::CliResult compare = cli.run({"history", "P", "--compare", "1.9.0", "1.10.0"});
    ASSERT_EQ(compare.status, 0) << compare.err;
    EXPECT_EQ(compare.out, "Module\tFirst Version\tSecond Version\tDifference\tChange\n"
                           "a.frm\t5\t11\t6\t\n"
                           "b.frm\t\t1\t1\tadded\n");
    EXPECT_EQ(cli.run({"history", "P", "--compare", "1.9.0", "9.9.9"}).status, 1);
    EXPECT_EQ(cli.run({"history", "P", "--compare", "1.9.0"}).status, 2);
    EXPECT_EQ(cli.run({"history", "--trend"}).status, 2);
}

TEST(TrendPoints, TheFileEndGivesTheSamePointAsTheWholeReading)
{
    // projectTrend reads a snapshot's end when that is enough; every kind
    // of file must give what reading it whole gives.
    const std::string rows = "a.frm:Form:9:10:1:2:8:7:6:9:8:7\r\nb.bas:Module:5:6:1:1:4:4:3:5:5:4\r\n";
    const std::string totals = "Total: 2 modules: 14, 16, 2, 3, 12, 11, 9, 14, 13, 11 (order)";
    const std::string lastInvalid = rows + "Total: 2 modules: 1, 2 (order)";
    const std::string files[] = {
        rows + totals + "\r\n",
        rows + totals,                                           // no final line end
        rows + totals + "\n",
        rows + totals + "\r",
        rows + totals + "\r\n\r\n",                              // an empty last line: summed
        rows + totals + "\n\r",
        rows,                                                    // no totals line
        lastInvalid + "\r\n",                                    // totals that do not split
        "z\xE9.frm:Form:1:1:0:0:1:1:1:1:1:1\r\n" + totals + "\r\n", // Windows-1252 elsewhere, ASCII end
        rows + totals + " \xC3\xA9\r\n",                        // a non-ASCII last line
        rows + "Total: 2 modules: " + std::string(5000, ' ') + "14, 16, 2, 3, 12, 11, 9, 14, 13, 11 (order)\r\n",
        std::string(5000, 'x') + totals + "\r\n",               // one line longer than the end read
        totals,                                                  // the whole file is the totals line
        "",
        "\r\n",
    };
    test::TempFolder dir;
    const ProgramFolder folder{dir.path()};
    ensureWorkFiles(folder);
    fs::create_directories(folder.store() / "P");
    std::vector<TrendPoint> expected;
    for (std::size_t i = 0; i < std::size(files); ++i) {
        const std::string version = "1.0." + std::to_string(i);
        ASSERT_TRUE(writeFileAtomically(folder.store() / "P" / version, files[i]).ok());
        expected.push_back(trendPointOfText(version, files[i], kWords, "Total"));
    }
    const auto points = projectTrend(folder, "P", kWords, "Total");
    ASSERT_EQ(points.size(), expected.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        EXPECT_EQ(points[i].version, expected[i].version);
        EXPECT_EQ(points[i].totals, expected[i].totals) << "file " << i;
        EXPECT_EQ(points[i].fromTotalsLine, expected[i].fromTotalsLine) << "file " << i;
    }
    EXPECT_TRUE(expected[0].fromTotalsLine);
    EXPECT_FALSE(expected[4].fromTotalsLine);
    EXPECT_EQ(expected[4].totals[0], 14) << "summed from the rows";
}

TEST(TrendPoints, RowsOfMoreThanThirtyTwoBitsOfLinesAddUp)
{
    // A module of more than 2^31 lines, counted correctly, is in the sums.
    const TrendPoint p = trendPointOfText(
        "v", "a.bas:Module:3000000000:3000000001:0:0:3000000000:3000000000:3000000000:3000000001:3000000001:"
             "3000000001\r\nb.frm:Form:5:6:1:1:4:4:3:5:5:4\r\n",
        kWords, "Total");
    EXPECT_EQ(p.totals[0], 3000000005);
    EXPECT_EQ(p.totals[1], 3000000007);
    EXPECT_EQ(p.totals[6], 3000000003);
}
