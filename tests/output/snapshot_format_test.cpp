#include "output/snapshot_format.h"

#include <gtest/gtest.h>

using namespace zorvika;

namespace {

// A counted row of `type` whose P is `p`, or an "Invalid" row (no figures).
ModuleRow row(std::string path, std::string type = "Form", std::string p = "82")
{
    ModuleRow r;
    if (type == "Invalid")
        r.cells[ColType] = std::move(type);
    else
        r.cells = {"", std::move(type), std::move(p), "120", "12", "10", "70", "72", "60", "108", "110", "98"};
    r.cells[ColModule] = std::move(path);
    return r;
}

} // namespace

TEST(SnapshotFormat, LinesAreTheTwelveCellsJoinedByColons)
{
    EXPECT_EQ(snapshotLine(row("a.frm")), "a.frm:Form:82:120:12:10:70:72:60:108:110:98");
    EXPECT_EQ(snapshotLine(row("gone.frm", "Invalid")), "gone.frm:Invalid::::::::::");
    EXPECT_EQ(snapshotText({row("a.frm"), row("b.bas", "Invalid")}, "Total: 2"),
              "a.frm:Form:82:120:12:10:70:72:60:108:110:98\r\nb.bas:Invalid::::::::::\r\nTotal: 2\r\n");
}

TEST(SnapshotFormat, ExactlyTwelvePiecesMakeARow)
{
    auto row = parseSnapshotLine("a.frm:Form:82:120:12:10:70:72:60:108:110:98");
    ASSERT_TRUE(row);
    EXPECT_EQ(row->cells[0], "a.frm");
    EXPECT_EQ(row->cells[11], "98");
    auto empties = parseSnapshotLine(":::::::::::");
    ASSERT_TRUE(empties) << "eleven colons give a row of twelve empty cells";
    EXPECT_EQ(empties->cells[0], "");
    EXPECT_FALSE(parseSnapshotLine(""));
    EXPECT_FALSE(parseSnapshotLine("::::::::::")) << "ten colons";
    EXPECT_FALSE(parseSnapshotLine("Total: 2 modules: 1, 2"));
}

TEST(SnapshotFormat, DriveLetterPathsAreKept)
{
    auto row = parseSnapshotLine("C:\\src\\Form1.frm:Form:82:120:12:10:70:72:60:108:110:98");
    ASSERT_TRUE(row);
    EXPECT_EQ(row->cells[0], "C:\\src\\Form1.frm");
    EXPECT_EQ(row->cells[1], "Form");
    EXPECT_EQ(row->cells[2], "82");
    auto invalid = parseSnapshotLine("a:b:c.frm:Invalid::::::::::");
    ASSERT_TRUE(invalid);
    EXPECT_EQ(invalid->cells[0], "a:b:c.frm");
    EXPECT_EQ(invalid->cells[1], "Invalid");
    EXPECT_EQ(invalid->cells[2], "");
    // Thirteen pieces that are not a type and ten figures stay skipped.
    EXPECT_FALSE(parseSnapshotLine("C:x:Form:82:120:12:10:70:72:60:108:110:9x"));
    EXPECT_FALSE(parseSnapshotLine("C:x:Nonsense:82:120:12:10:70:72:60:108:110:98"));
    EXPECT_FALSE(parseSnapshotLine("C:x:Invalid:1:::::::::"));
    EXPECT_TRUE(parseSnapshotLine("C:x:Form:-1:120:12:10:70:72:60:108:110:98"));
}

// What a count stores is what the history reads back: every row in its
// order, whatever its path holds, and the totals line as the label when it
// begins with TOTAL2.
TEST(SnapshotFormat, WhatIsWrittenReadsBackTheSame)
{
    struct Case {
        const char* what;
        std::vector<ModuleRow> rows;
        std::string totals;
        std::string label; // as TOTAL2 "Total" finds it
    } const cases[] = {
        {"no rows", {}, "Total: 0 modules", "Total: 0 modules"},
        {"plain rows", {row("a.frm"), row("b\\c.frm", "Module", "-1")}, "Total: 2", "Total: 2"},
        {"paths with colons", {row("C:\\src\\a:b.frm", "ClassModule"), row("D:\\x:y.bas", "Invalid")}, "Total: 2",
         "Total: 2"},
        {"a path of UTF-8 letters", {row("M\xC3\xBCller.frm")}, "Total: 1", "Total: 1"},
        {"a totals line of other words", {row("a.frm")}, "Summe: 1", ""},
        {"an empty totals line", {row("gone.frm", "Invalid")}, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Snapshot back = snapshotFromText(snapshotText(c.rows, c.totals), "Total");
        ASSERT_EQ(back.rows.size(), c.rows.size());
        for (std::size_t i = 0; i < c.rows.size(); ++i)
            EXPECT_EQ(back.rows[i].cells, c.rows[i].cells) << "row " << i;
        EXPECT_EQ(back.totalsLabel, c.label);
    }
}
