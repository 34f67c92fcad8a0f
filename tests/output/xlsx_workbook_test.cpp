#include "components/xlsx_workbook.h"

#include "components/spreadsheet.h"
#include "output/export.h"
#include "output/table_export.h"
#include "spreadsheet_support.h"
#include "xlsx_reader.h"

#include "failure_kind.h"
#include <gtest/gtest.h>

using namespace zorvika;
using namespace zorvika::test;
namespace fs = std::filesystem;

namespace {

const TotalsWords kWords{"Total: ", "modules: ", " (order)"};
const std::string kTotals = "Total: 3 modules: 3219, 5777, 301, 610, 2918, 2609, 2308, 5476, 5167, 4866 (order)";
const std::string kLongPath = "..\\..\\Shared Sources\\Controls\\ucSuperTabStripWithAVeryLongName.ctl";
const std::string kWidePath = "\xE7\xAA\x97\xE4\xBD\x93\\\xE4\xB8\xBB\xE7\xAA\x97\xE4\xBD\x93.frm"; // 窗体\主窗体.frm

ModuleRow row(std::vector<std::string> cells)
{
    ModuleRow r;
    for (std::size_t i = 0; i < cells.size(); ++i)
        r.cells[i] = cells[i];
    return r;
}

std::vector<ModuleRow> sampleRows()
{
    return {row({"cDlg.cls", "ClassModule", "2603", "2616", "281", "504", "2322", "2099", "1818", "2335", "2112", "1831"}),
            row({kLongPath, "UserControl", "82", "120", "12", "10", "70", "72", "60", "108", "110", "98"}),
            row({kWidePath, "Form", "534", "1557", "8", "96", "526", "438", "430", "1549", "1461", "1453"}),
            row({"gone.bas", "Invalid"})};
}

// Every cell as the export hands it over, row by row, against what was read:
// a figure is a number the spreadsheet can sum, any other text a text.
void expectSameCells(const SheetCells& want, const ReadSheet& got)
{
    ASSERT_EQ(got.rows.size(), want.size());
    for (std::size_t r = 0; r < want.size(); ++r)
        for (std::size_t c = 0; c < want[r].size(); ++c) {
            EXPECT_EQ(got.text(r, c), want[r][c]) << "row " << r + 1 << " column " << c + 1;
            if (!want[r][c].empty()) {
                ASSERT_LT(c, got.rows[r].size());
                EXPECT_EQ(got.rows[r][c].isText, !figureNumber(want[r][c]).has_value())
                    << "row " << r + 1 << " column " << c + 1 << ": " << want[r][c];
            }
        }
}

void expectCourier9(const CellFont& font, const std::string& where)
{
    EXPECT_EQ(font.name, "Courier New") << where;
    EXPECT_DOUBLE_EQ(font.size, 9) << where;
}

} // namespace

TEST(XlsxFormat, ChosenByTheLowerCasedLastFiveCharacters)
{
    EXPECT_EQ(exportFormatFor("a.xlsx"), ExportFormat::Xlsx);
    EXPECT_EQ(exportFormatFor("a.XLSX"), ExportFormat::Xlsx);
    EXPECT_EQ(exportFormatFor("dir.x/a.XlSx"), ExportFormat::Xlsx);
    EXPECT_EQ(exportFormatFor(".xlsx"), ExportFormat::Xlsx);
    EXPECT_EQ(exportFormatFor("a.xls"), ExportFormat::Spreadsheet);
    EXPECT_EQ(exportFormatFor("a.xlsm"), ExportFormat::Tab);
    EXPECT_EQ(exportFormatFor("a.xlsx.txt"), ExportFormat::Tab);
    EXPECT_EQ(exportFormatFor("a.xlsxx"), ExportFormat::Tab);
    EXPECT_EQ(exportFormatFor("xlsx"), ExportFormat::Tab);
    EXPECT_EQ(exportFormatFor("a_xlsx"), ExportFormat::Tab);
}

TEST(ColumnWidth, CountsCharacterCellsNotBytes)
{
    EXPECT_EQ(displayColumns(""), 0u);
    EXPECT_EQ(displayColumns("Module File"), 11u);
    EXPECT_EQ(displayColumns("caf\xC3\xA9"), 4u);           // é is one
    EXPECT_EQ(displayColumns("e\xCC\x81"), 1u);             // e + combining acute
    EXPECT_EQ(displayColumns(kWidePath), 2u * 5 + 1 + 4);   // five wide, "\" and ".frm"
    EXPECT_EQ(displayColumns("\xF0\x9F\x98\x80"), 1u);      // a four-byte character
    EXPECT_EQ(displayColumns("\xFF\xFE"), 2u);              // stray bytes count one each
}

TEST(ColumnWidth, FitsTheTextAndGrowsWithIt)
{
    for (std::size_t n : {1u, 5u, 11u, 40u, 200u}) {
        const double w = fittedWidth(std::string(n, 'x'));
        EXPECT_GE(w, static_cast<double>(n)) << n << " characters need at least as many units";
        EXPECT_LE(w, static_cast<double>(n) * 1.1 + 2) << n << " characters: too wide";
    }
    EXPECT_LT(fittedWidth("P"), kStandardColumnWidth);
    EXPECT_DOUBLE_EQ(fittedWidth(std::string(1000, 'x')), kMaxColumnWidth);

    const SheetCells cells = {{"Module File", "Type", "P"}, {"a.frm", "ClassModule", "2603"}, {"", "Total"}};
    const auto widths = fittedColumnWidths(cells);
    EXPECT_DOUBLE_EQ(widths[0], fittedWidth("Module File"));
    EXPECT_DOUBLE_EQ(widths[1], fittedWidth("ClassModule"));
    EXPECT_DOUBLE_EQ(widths[2], fittedWidth("2603"));
    EXPECT_DOUBLE_EQ(widths[3], fittedWidth(""));
}

TEST(XlsxExport, WritesFiguresAsNumbersAndTextsAsTextsInCourierNew9WithFittedColumns)
{
    TempFolder dir;
    const fs::path target = dir / "prj_1.0_20240305.xlsx";
    NoSpreadsheet none; // no office program is needed
    const auto rows = sampleRows();
    const auto written = writeExport(target, rows, kTotals, kWords, none);
    ASSERT_TRUE(written) << written.reason();

    std::string error;
    const auto sheet = readXlsx(target, &error);
    ASSERT_TRUE(sheet) << error;
    const SheetCells want = exportSheet(rows, totalsValues(kTotals, kWords));
    ASSERT_EQ(want.size(), rows.size() + 2);
    expectSameCells(want, *sheet);
    EXPECT_EQ(sheet->text(0, 0), "Module File");
    EXPECT_EQ(sheet->text(0, 11), "A - C - B");
    EXPECT_EQ(sheet->text(5, 0), "") << "the totals row has column A empty";
    EXPECT_EQ(sheet->text(5, 1), "Total");
    EXPECT_EQ(sheet->text(5, 11), "4866");
    EXPECT_EQ(sheet->text(2, 2), "82");
    EXPECT_FALSE(sheet->rows[2][2].isText) << "the figure 82 is a number";
    EXPECT_TRUE(sheet->rows[2][0].isText);
    EXPECT_TRUE(sheet->rows[5][1].isText) << "\"Total\"";

    for (std::size_t r = 0; r < sheet->rows.size(); ++r)
        for (std::size_t c = 0; c < sheet->rows[r].size(); ++c)
            if (sheet->rows[r][c].present)
                expectCourier9(sheet->rows[r][c].font, "cell " + std::to_string(r + 1) + "," + std::to_string(c + 1));

    // Every column carries the font, so that empty cells have it as well.
    for (std::size_t c : {0u, 9u, 10u, 11u, 200u, 16383u}) {
        const ReadColumn* col = sheet->column(c);
        ASSERT_NE(col, nullptr) << "column " << c;
        ASSERT_TRUE(col->font) << "column " << c;
        expectCourier9(*col->font, "column " + std::to_string(c));
    }

    const auto widths = fittedColumnWidths(want);
    for (std::size_t c = 0; c < kFittedColumns; ++c) {
        const ReadColumn* col = sheet->column(c);
        ASSERT_NE(col, nullptr);
        ASSERT_TRUE(col->width);
        EXPECT_NEAR(*col->width, widths[c], 1.0 / 7) << "column " << c << ": more than a pixel off";
    }
    // Fitted to the longest text of each column, not a fixed width.
    EXPECT_GE(*sheet->column(0)->width, static_cast<double>(kLongPath.size()));
    EXPECT_LT(*sheet->column(0)->width, kLongPath.size() * 1.1 + 2);
    EXPECT_GE(*sheet->column(1)->width, 11.0) << "\"ClassModule\", \"UserControl\"";
    EXPECT_LT(*sheet->column(1)->width, 14.0);
    EXPECT_LT(*sheet->column(2)->width, kStandardColumnWidth) << "\"2603\" is narrower than the standard";
    // K and L keep the standard width.
    for (std::size_t c : {10u, 11u}) {
        const ReadColumn* col = sheet->column(c);
        EXPECT_FALSE(col->customWidth) << "column " << c;
        if (col->width) {
            EXPECT_NEAR(*col->width, kStandardColumnWidth, 1.0 / 7) << "column " << c;
        }
    }
    EXPECT_EQ(entries(dir.path()), std::set<std::string>{target.filename().string()}) << "a temporary file stayed";
}

// Only a text that reads back as the same number is one; everything else
// keeps its exact text.
TEST(XlsxFigures, OnlyPlainDecimalFiguresBecomeNumbers)
{
    const struct {
        const char* text;
        std::optional<double> number;
    } cases[] = {{"82", 82},          {"0", 0},       {"-3", -3},          {"999999999999999", 999999999999999.0},
                 {"1000000000000000", {}}, {"007", {}}, {"-0", {}},          {"", {}},
                 {"-", {}},           {"+5", {}},     {" 5", {}},          {"1.2.0", {}},
                 {"1e3", {}},         {"12a", {}},    {"Class1.cls", {}}};
    for (const auto& c : cases)
        EXPECT_EQ(figureNumber(c.text), c.number) << '"' << c.text << '"';
}

TEST(XlsxExport, NoTotalsRowWithoutTenTotals)
{
    TempFolder dir;
    NoSpreadsheet none;
    ASSERT_TRUE(writeExport(dir / "x.XLSX", sampleRows(), "", kWords, none));
    const auto sheet = readXlsx(dir / "x.XLSX", nullptr);
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->rows.size(), 1 + sampleRows().size());
    EXPECT_EQ(sheet->text(4, 0), "gone.bas");
}

TEST(XlsxExport, ReplacesAnExistingFileAndLeavesNoScratchFiles)
{
    TempFolder dir, tmp;
    EnvOverride tmpdir("TMPDIR", tmp.path().string());
    const fs::path target = dir.write("x.xlsx", "old");
    NoSpreadsheet none;
    ASSERT_TRUE(writeExport(target, sampleRows(), kTotals, kWords, none));
    EXPECT_EQ(readFile(target).substr(0, 2), "PK");
    EXPECT_EQ(entries(dir.path()), std::set<std::string>{"x.xlsx"});
    EXPECT_TRUE(entries(tmp.path()).empty()) << "the private folder was not removed";
}

TEST(XlsxExport, FailureKeepsTheOldFileWhole)
{
    TempFolder dir, tmp;
    EnvOverride tmpdir("TMPDIR", tmp.path().string());
    const fs::path target = dir.write("x.xlsx", "precious");
    NoSpreadsheet none;
    // A cell longer than a sheet allows fails half-way through the build.
    auto rows = sampleRows();
    rows[1].cells[0] = std::string(40000, 'x');
    const auto tooLong = writeExport(target, rows, kTotals, kWords, none);
    EXPECT_EQ(test::failureKind(tooLong), ExportError::Failed);
    EXPECT_NE(tooLong.reason().find("row 3, column 1"), std::string::npos) << tooLong.reason();
    EXPECT_EQ(readFile(target), "precious");
    EXPECT_EQ(entries(dir.path()), std::set<std::string>{"x.xlsx"});
    EXPECT_TRUE(entries(tmp.path()).empty());

    // A read-only file is not replaced; a missing folder gives the reason.
    fs::permissions(target, fs::perms::owner_read);
    const auto readOnly = writeExport(target, sampleRows(), kTotals, kWords, none);
    EXPECT_EQ(test::failureKind(readOnly), ExportError::Failed);
    EXPECT_FALSE(readOnly.reason().empty());
    EXPECT_EQ(readFile(target), "precious");
    const auto noFolder = writeExport(dir / "no/such/x.xlsx", sampleRows(), kTotals, kWords, none);
    EXPECT_EQ(test::failureKind(noFolder), ExportError::Failed);
    EXPECT_FALSE(noFolder.reason().empty());
    EXPECT_TRUE(entries(tmp.path()).empty());
}

TEST(XlsxExport, TableExportWritesAWorkbookToo)
{
    TempFolder dir;
    NoSpreadsheet none;
    const std::vector<std::string> titles = {"Version", "P"};
    const TextTable rows = {{"1.0.0", "82"}, {"1.1.0", "97"}};
    ASSERT_TRUE(writeTableExport(dir / "t.xlsx", titles, rows, none));
    const auto sheet = readXlsx(dir / "t.xlsx", nullptr);
    ASSERT_TRUE(sheet);
    expectSameCells({titles, rows[0], rows[1]}, *sheet);
    // ".xls" still needs the spreadsheet application.
    EXPECT_EQ(test::failureKind(writeTableExport(dir / "t.xls", titles, rows, none)), ExportError::NoSpreadsheet);
    EXPECT_FALSE(fs::exists(dir / "t.xls"));
}
