#include "output/export.h"

#include "components/spreadsheet.h"
#include "temp_folder.h"

#include "failure_kind.h"
#include <gtest/gtest.h>

using namespace zorvika;

namespace {

const TotalsWords kWords{"Total: ", "modules: ", "(P, A, C, B, P - C, P - B, P - C - B, A - C, A - B, A - C - B)"};
const std::string kTotals = "Total: 2 modules: 82, 120, 12, 10, 70, 72, 60, 108, 110, 98 "
                            "(P, A, C, B, P - C, P - B, P - C - B, A - C, A - B, A - C - B)";

ModuleRow counted(std::string path)
{
    ModuleRow r;
    r.cells = {path, "Form", "82", "120", "12", "10", "70", "72", "60", "108", "110", "98"};
    return r;
}

ModuleRow invalid(std::string path)
{
    ModuleRow r;
    r.cells[ColModule] = std::move(path);
    r.cells[ColType] = "Invalid";
    return r;
}

// Records what the export hands to the spreadsheet application.
class RecordingSpreadsheet final : public Spreadsheet {
public:
    bool canStart = true;
    SheetCells written;
    bool available() override { return canStart; }
    Outcome write(const std::filesystem::path&, const SheetCells& cells) override
    {
        written = cells;
        return {};
    }
};

} // namespace

TEST(ExportFormat, ChosenByTheLowerCasedEnding)
{
    EXPECT_EQ(exportFormatFor("a.csv"), ExportFormat::Comma);
    EXPECT_EQ(exportFormatFor("a.CSV"), ExportFormat::Comma);
    EXPECT_EQ(exportFormatFor("a.Csv"), ExportFormat::Comma);
    EXPECT_EQ(exportFormatFor("a.XLS"), ExportFormat::Spreadsheet);
    EXPECT_EQ(exportFormatFor("a.txt"), ExportFormat::Tab);
    EXPECT_EQ(exportFormatFor("a.dat"), ExportFormat::Tab);
    EXPECT_EQ(exportFormatFor("noending"), ExportFormat::Tab);
    EXPECT_EQ(exportFormatFor("csv"), ExportFormat::Tab);
}

TEST(ExportName, ProjectVersionAndDate)
{
    EXPECT_EQ(proposedFileName("prjDemo", "1.4.0", "20240305"), "prjDemo_1.4.0_20240305");
    const std::string today = todayText();
    ASSERT_EQ(today.size(), 8u);
    EXPECT_TRUE(today.starts_with("20"));
}

TEST(TotalsValues, SplitIntoTenOrNothing)
{
    const auto values = totalsValues(kTotals, kWords);
    ASSERT_TRUE(values);
    EXPECT_EQ((*values)[0], "82");
    EXPECT_EQ((*values)[9], "98");
    EXPECT_FALSE(totalsValues("", kWords)) << "a history view without totals";
    EXPECT_FALSE(totalsValues("Total: 2 modules: 1, 2, 3 (x)", kWords));
    EXPECT_FALSE(totalsValues("no modules word here", {"", "MODS", ""}));
    // Eleven values are not ten.
    EXPECT_FALSE(totalsValues("T1 M1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11 O", {"T", "M", "O"}));
    EXPECT_TRUE(totalsValues("T1 M1, 2, 3, 4, 5, 6, 7, 8, 9, 10 O", {"T", "M", "O"}));
}

TEST(TextExport, TabFileLayout)
{
    const std::string text = exportText({counted("a.frm"), invalid("gone.frm")}, totalsValues(kTotals, kWords),
                                        ExportFormat::Tab);
    EXPECT_EQ(text,
              "Module File\tType\tP\tA\tC\tB\tP - C\tP - B\tP - C - B\tA - C\tA - B\tA - C - B\r\n"
              "a.frm\tForm\t82\t120\t12\t10\t70\t72\t60\t108\t110\t98\r\n"
              "gone.frm\tInvalid\t\t\t\t\t\t\t\t\t\t\r\n"
              " \tTotal\t82\t120\t12\t10\t70\t72\t60\t108\t110\t98\r\n");
}

TEST(TextExport, CommaFileQuotesOnlyWhatNeedsIt)
{
    ModuleRow odd = counted("a,b \"c\".frm");
    const std::string text = exportText({odd, counted("plain.frm")}, std::nullopt, ExportFormat::Comma);
    EXPECT_EQ(text,
              "Module File,Type,P,A,C,B,P - C,P - B,P - C - B,A - C,A - B,A - C - B\r\n"
              "\"a,b \"\"c\"\".frm\",Form,82,120,12,10,70,72,60,108,110,98\r\n"
              "plain.frm,Form,82,120,12,10,70,72,60,108,110,98\r\n");
    // Tab files keep every field as it is.
    EXPECT_NE(exportText({odd}, std::nullopt, ExportFormat::Tab).find("a,b \"c\".frm\tForm"), std::string::npos);
}

TEST(WriteExport, EmptyListWritesNothing)
{
    test::TempFolder dir;
    RecordingSpreadsheet sheet;
    EXPECT_EQ(test::failureKind(writeExport(dir / "x.txt", {}, kTotals, kWords, sheet)), ExportError::NoRecord);
    EXPECT_FALSE(std::filesystem::exists(dir / "x.txt"));
}

TEST(WriteExport, ReplacesAnExistingFileWhole)
{
    test::TempFolder dir;
    const auto target = dir.write("list.CSV", "old,content\r\nmore\r\nand more\r\n");
    RecordingSpreadsheet sheet;
    ASSERT_TRUE(writeExport(target, {counted("a.frm")}, kTotals, kWords, sheet));
    EXPECT_EQ(test::readFile(target),
              "Module File,Type,P,A,C,B,P - C,P - B,P - C - B,A - C,A - B,A - C - B\r\n"
              "a.frm,Form,82,120,12,10,70,72,60,108,110,98\r\n"
              " ,Total,82,120,12,10,70,72,60,108,110,98\r\n");
}

TEST(WriteExport, FailureKeepsTheOldFileAndGivesTheReason)
{
    test::TempFolder dir;
    RecordingSpreadsheet sheet;
    const auto missingFolder = writeExport(dir / "no/such/folder/x.txt", {counted("a.frm")}, kTotals, kWords, sheet);
    EXPECT_EQ(test::failureKind(missingFolder), ExportError::Failed);
    EXPECT_EQ(missingFolder.reason(), "No such file or directory");

    const auto target = dir.write("keep.txt", "precious");
    std::filesystem::permissions(target, std::filesystem::perms::owner_read);
    const auto readOnly = writeExport(target, {counted("a.frm")}, kTotals, kWords, sheet);
    EXPECT_EQ(test::failureKind(readOnly), ExportError::Failed);
    EXPECT_EQ(test::readFile(target), "precious");
}

TEST(WriteExport, SpreadsheetGetsTitlesRowsAndTotalsRow)
{
    test::TempFolder dir;
    RecordingSpreadsheet sheet;
    ASSERT_TRUE(writeExport(dir / "x.xls", {counted("a.frm"), invalid("b.bas")}, kTotals, kWords, sheet));
    ASSERT_EQ(sheet.written.size(), 4u);
    EXPECT_EQ(sheet.written[0][0], "Module File");
    EXPECT_EQ(sheet.written[2][1], "Invalid");
    EXPECT_EQ(sheet.written[3][0], "") << "the totals row has column A empty";
    EXPECT_EQ(sheet.written[3][1], "Total");
    EXPECT_EQ(sheet.written[3][11], "98");

    sheet.canStart = false;
    const auto old = dir.write("old.xls", "old workbook");
    EXPECT_EQ(test::failureKind(writeExport(old, {counted("a.frm")}, kTotals, kWords, sheet)),
              ExportError::NoSpreadsheet);
    EXPECT_EQ(test::readFile(old), "old workbook");
}
