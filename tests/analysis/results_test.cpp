#include "analysis/results.h"

#include <gtest/gtest.h>

#include <cctype>

using namespace zorvika;

namespace {

ModuleRow row(std::string path, std::string a)
{
    ModuleRow r;
    r.cells[ColModule] = std::move(path);
    r.cells[ColType] = "Form";
    r.cells[ColA] = std::move(a);
    return r;
}

std::vector<std::string> column(const std::vector<ModuleRow>& rows, int c)
{
    std::vector<std::string> out;
    for (const auto& r : rows)
        out.push_back(r.cells[c]);
    return out;
}

} // namespace

TEST(TotalsText, PartsJoinedWithNothingBetweenButTheSpaces)
{
    ProjectTotals t;
    t.tp = 82;
    t.ta = 120;
    t.tc = 12;
    t.tb = 10;
    EXPECT_EQ(totalsText(1, t, {"T", "M", "O"}), "T1 M82, 120, 12, 10, 70, 72, 60, 108, 110, 98 O");
    EXPECT_EQ(totalsText(0, {}, {"Total: ", "modules: ", "(order)"}),
              "Total: 0 modules: 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 (order)");
}

TEST(SortState, OrderFlipsOnEveryClickWhicheverColumn)
{
    SortState s;
    EXPECT_EQ(s.column, 0);
    EXPECT_FALSE(s.descending);
    s.columnClicked(3);
    EXPECT_EQ(s.column, 3);
    EXPECT_TRUE(s.descending);
    s.columnClicked(3);
    EXPECT_FALSE(s.descending);
    s.columnClicked(0);
    EXPECT_EQ(s.column, 0);
    EXPECT_TRUE(s.descending) << "another column sorts opposite to the last sort";
    s.columnClicked(12);
    EXPECT_EQ(s.column, 0) << "no such column: nothing changes";
}

TEST(RowOrder, ComparesTextsNotNumbers)
{
    const std::vector<ModuleRow> rows = {row("a.frm", "9"), row("b.bas", "10"), row("c.cls", "100"),
                                         row("d.frm", "")};
    SortState byA{ColA, false};
    EXPECT_EQ(column(sortedRows(rows, byA), ColA), (std::vector<std::string>{"", "10", "100", "9"}));
    byA.descending = true;
    EXPECT_EQ(column(sortedRows(rows, byA), ColA), (std::vector<std::string>{"9", "100", "10", ""}));
}

TEST(RowOrder, AfterACountThenOneAndTwoClicks)
{
    const std::vector<ModuleRow> rows = {row("a.frm", "30"), row("b.bas", "200"), row("c.cls", "1000")};
    SortState s;
    EXPECT_EQ(column(sortedRows(rows, s), ColModule), (std::vector<std::string>{"a.frm", "b.bas", "c.cls"}));
    s.columnClicked(ColA);
    EXPECT_EQ(column(sortedRows(rows, s), ColA), (std::vector<std::string>{"30", "200", "1000"}));
    s.columnClicked(ColA);
    EXPECT_EQ(column(sortedRows(rows, s), ColA), (std::vector<std::string>{"1000", "200", "30"}));
}

TEST(RowOrder, EqualTextsKeepTheirOrderAndCaseIsIgnored)
{
    const std::vector<ModuleRow> rows = {row("B.frm", "1"), row("a.frm", "1"), row("c.frm", "1"), row("A.frm", "2")};
    SortState s{ColA, false};
    EXPECT_EQ(column(sortedRows(rows, s), ColModule), (std::vector<std::string>{"B.frm", "a.frm", "c.frm", "A.frm"}));
    s.descending = true;
    EXPECT_EQ(column(sortedRows(rows, s), ColModule), (std::vector<std::string>{"A.frm", "B.frm", "a.frm", "c.frm"}));
    SortState byName{ColModule, false};
    EXPECT_EQ(column(sortedRows(rows, byName), ColModule),
              (std::vector<std::string>{"a.frm", "A.frm", "B.frm", "c.frm"}));
}

TEST(RowOrder, SortingInPlaceGivesTheSortedCopy)
{
    // Rows with many equal texts, in every column and both directions: the
    // in-place permutation must give exactly the stable order.
    std::vector<ModuleRow> rows(257);
    for (std::size_t i = 0; i < rows.size(); ++i)
        for (int c = 0; c < kColumnCount; ++c)
            rows[i].cells[static_cast<std::size_t>(c)] =
                std::to_string((i * 7919 + static_cast<std::size_t>(c) * 31) % (5 + static_cast<std::size_t>(c) * 3))
                + (i % 2 ? "a" : "A");
    // Which row is which, for the comparison: the row's own number.
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i].cells[ColType].append("#").append(std::to_string(i));
    for (int column = 0; column < kColumnCount; ++column)
        for (bool descending : {false, true}) {
            SortState s;
            s.column = column;
            s.descending = descending;
            std::vector<ModuleRow> inPlace = rows;
            sortRows(inPlace, s);
            const std::vector<ModuleRow> copy = sortedRows(rows, s);
            ASSERT_EQ(inPlace.size(), copy.size());
            for (std::size_t i = 0; i < copy.size(); ++i)
                ASSERT_EQ(inPlace[i].cells, copy[i].cells) << "column " << column << (descending ? " descending" : "");
        }
}

// The totals line is read back into its ten figures, in their columns,
// whatever the three words hold; a line of other words gives the same ten
// figures or none, never a caption or the row count among them.
TEST(TotalsText, ReadsBackItsTenFiguresWhateverTheWords)
{
    ProjectTotals t;
    t.tp = 14109;
    t.ta = 15000;
    t.tc = 700;
    t.tb = 191;
    const auto want = t.columns();
    const std::vector<TotalsWords> wordSets = {
        {"", "", ""},
        {"Total: ", "modules: ", "(columns P to A - C - B)"},
        {"Summe: ", "Module: ", "(Spalten P bis A - C - B)"},
        {"9", "12, 3", "4, 5"},
        {" ", " ", " "},
        {"", ", ", ", "},
        {"Total modules: ", "modules: ", ""},
        {"", "1", "2"},
        {"T", "", "O, 1, 2"},
    };
    for (const TotalsWords& words : wordSets) {
        for (std::size_t rows : {std::size_t{0}, std::size_t{9}, std::size_t{123456}}) {
            const std::string line = totalsText(rows, t, words);
            SCOPED_TRACE(line);
            const auto figures = totalsFigures(line, words);
            ASSERT_TRUE(figures);
            EXPECT_EQ(*figures, want);
            // Read under every other set of words: right, or nothing. (A
            // MODULES text that ends in a digit, or an ORDER that begins with
            // one, joins a figure in the line: only its own words read it.)
            const bool joins = (!words.modules.empty() && std::isdigit(static_cast<unsigned char>(words.modules.back())))
                               || (!words.order.empty() && std::isdigit(static_cast<unsigned char>(words.order.front())));
            for (const TotalsWords& other : joins ? std::vector<TotalsWords>{} : wordSets)
                if (const auto read = totalsFigures(line, other))
                    EXPECT_EQ(*read, want) << "read under \"" << other.total << "|" << other.modules << "|"
                                           << other.order << "\"";
        }
    }
}
