// The ".xls" road through LibreOffice. Tests that convert for real need
// LibreOffice on PATH (scripts/install-deps.sh installs it); the others use
// stand-ins for the office program.
#include "components/libreoffice_spreadsheet.h"

#include "base/child_process.h"
#include "base/scratch_folder.h"
#include "cli/cli.h"
#include "components/spreadsheet_factory.h"
#include "components/xlsx_workbook.h"
#include "output/export.h"
#include "spreadsheet_support.h"
#include "xlsx_reader.h"

#include "failure_kind.h"
#include <gtest/gtest.h>

#include <sstream>

using namespace zorvika;
using namespace zorvika::test;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

SheetCells sampleSheet()
{
    SheetCells cells = {{"Module File", "Type", "P", "A", "C", "B", "P - C", "P - B", "P - C - B", "A - C", "A - B",
                         "A - C - B"},
                        {"cDlg.cls", "ClassModule", "2603", "2616", "281", "504", "2322", "2099", "1818", "2335", "2112",
                         "1831"},
                        {"..\\Shared\\ucSuperTabStripWithAVeryLongName.ctl", "UserControl", "82", "120", "12", "10",
                         "70", "72", "60", "108", "110", "98"},
                        {"forms\\\xE7\xAA\x97\xE4\xBD\x93.frm", "Form", "-1", "0", "007", "1e3", "", "", "", "", "", ""},
                        {"gone.bas", "Invalid", "", "", "", "", "", "", "", "", "", ""},
                        {"", "Total", "2685", "2736", "293", "514", "2392", "2171", "1878", "2443", "2222", "1929"}};
    return cells;
}

fs::path requireOffice()
{
    const auto office = findOfficeProgram();
    if (!office)
        ADD_FAILURE() << "LibreOffice (soffice or libreoffice) is not on PATH; scripts/install-deps.sh installs it";
    return office.value_or(fs::path());
}

// Converts an ".xls" back to ".xlsx" with LibreOffice and reads it.
std::optional<ReadSheet> readXlsBack(const fs::path& office, const fs::path& xls, std::string* error)
{
    const ScratchFolder scratch("zorvika-test-readback");
    if (!scratch.ok()) {
        if (error)
            *error = scratch.made().reason();
        return std::nullopt;
    }
    const fs::path input = scratch.path() / "in.xls";
    fs::copy_file(xls, input);
    fs::path xlsx;
    const Outcome converted = convertWithOffice(office, input, "xlsx:Calc MS Excel 2007 XML", scratch.path() / "out",
                                                scratch.path() / "profile", kOfficeTimeLimit, xlsx);
    if (!converted) {
        if (error)
            *error = converted.reason();
        return std::nullopt;
    }
    return readXlsx(xlsx, error);
}

// An office stand-in that writes `content` as the converted file, after
// taking the folder from "--outdir".
std::string fakeConverter(const std::string& content)
{
    return "while [ $# -gt 0 ]; do\n"
           "  if [ \"$1\" = --outdir ]; then out=\"$2\"; fi\n"
           "  case \"$1\" in -env:UserInstallation=*) mkdir -p \"${1#-env:UserInstallation=file://}\";; esac\n"
           "  shift\n"
           "done\n"
           "printf '" + content + "' > \"$out/sheet.xls\"";
}

} // namespace

TEST(OfficeSpreadsheet, XlsHoldsEveryCellAsTextInCourierNew9WithFittedColumns)
{
    const fs::path office = requireOffice();
    ASSERT_FALSE(office.empty());
    TempFolder dir, tmp;
    const fs::path target = dir.write("Report.XLS", "an older export");
    SheetCells cells = sampleSheet();
    {
        EnvOverride tmpdir("TMPDIR", tmp.path().string());
        LibreOfficeSpreadsheet sheet;
        ASSERT_TRUE(sheet.available());
        const Outcome written = sheet.write(target, cells);
        ASSERT_TRUE(written.ok()) << written.reason();
        EXPECT_TRUE(entries(tmp.path()).empty()) << "a temporary file or profile stayed";
    }
    EXPECT_EQ(entries(dir.path()), std::set<std::string>{"Report.XLS"});
    ASSERT_TRUE(startsWithOleSignature(readFile(target))) << "not an Excel 97 workbook";

    std::string error;
    const auto back = readXlsBack(office, target, &error);
    ASSERT_TRUE(back) << error;
    ASSERT_EQ(back->rows.size(), cells.size());
    for (std::size_t r = 0; r < cells.size(); ++r)
        for (std::size_t c = 0; c < cells[r].size(); ++c) {
            EXPECT_EQ(back->text(r, c), cells[r][c]) << "row " << r + 1 << " column " << c + 1;
            if (!cells[r][c].empty()) {
                const ReadCell& cell = back->rows[r][c];
                EXPECT_TRUE(cell.isText) << "row " << r + 1 << " column " << c + 1 << " became a number";
                EXPECT_EQ(cell.font.name, "Courier New") << "row " << r + 1 << " column " << c + 1;
                EXPECT_DOUBLE_EQ(cell.font.size, 9) << "row " << r + 1 << " column " << c + 1;
            }
        }
    // Empty cells of the sheet have the font too.
    for (std::size_t c : {0u, 9u, 10u, 11u, 100u}) {
        const ReadColumn* col = back->column(c);
        const CellFont font = col && col->font ? *col->font : back->defaultFont;
        EXPECT_EQ(font.name, "Courier New") << "column " << c;
        EXPECT_DOUBLE_EQ(font.size, 9) << "column " << c;
    }
    // The widths survive the conversion to Excel 97 and back within the
    // rounding of its units.
    const auto widths = fittedColumnWidths(cells);
    for (std::size_t c = 0; c < kFittedColumns; ++c) {
        const ReadColumn* col = back->column(c);
        ASSERT_TRUE(col && col->width) << "column " << c;
        EXPECT_NEAR(*col->width, widths[c], 1.5 / 7) << "column " << c;
    }
    EXPECT_GT(*back->column(0)->width, 44.0) << "column A fits the long path";
    for (std::size_t c : {10u, 11u}) {
        const ReadColumn* col = back->column(c);
        const double width = col && col->width ? *col->width : back->defaultColumnWidth.value_or(kStandardColumnWidth);
        EXPECT_NEAR(width, kStandardColumnWidth, 1.5 / 7) << "column " << c;
    }
}

TEST(OfficeSpreadsheet, NoOfficeProgramOnPathGivesTheExcelRoadAndKeepsTheFile)
{
    TempFolder dir, emptyBin;
    const fs::path old = dir.write("old.xls", "old workbook");
    EnvOverride path("PATH", emptyBin.path().string());
    const auto system = makeSystemSpreadsheet();
    EXPECT_FALSE(system->available());
    ModuleRow row;
    row.cells = {"a.frm", "Form", "1", "2", "0", "0", "1", "1", "1", "2", "2", "2"};
    EXPECT_EQ(test::failureKind(writeExport(old, {row}, "", {"T", "M", "O"}, *system)), ExportError::NoSpreadsheet);
    EXPECT_EQ(readFile(old), "old workbook");
    EXPECT_EQ(entries(dir.path()), std::set<std::string>{"old.xls"});
    const Outcome written = system->write(old, sampleSheet());
    EXPECT_FALSE(written.ok());
    EXPECT_NE(written.reason().find("soffice"), std::string::npos) << written.reason();
    EXPECT_EQ(readFile(old), "old workbook");
    // The workbook that needs no office program is still written.
    EXPECT_TRUE(writeExport(dir / "new.xlsx", {row}, "", {"T", "M", "O"}, *system));
}

TEST(OfficeSpreadsheet, AnOfficeProgramThatFailsLeavesTheOldFileAndNoTemporaries)
{
    TempFolder dir, bin, tmp;
    const fs::path old = dir.write("x.xls", "old workbook");
    EnvOverride tmpdir("TMPDIR", tmp.path().string());
    auto check = [&](LibreOfficeSpreadsheet& sheet, const std::string& expected) {
        const Outcome written = sheet.write(old, sampleSheet());
        EXPECT_FALSE(written.ok());
        EXPECT_NE(written.reason().find(expected), std::string::npos) << written.reason();
        EXPECT_EQ(readFile(old), "old workbook");
        EXPECT_EQ(entries(dir.path()), std::set<std::string>{"x.xls"});
        EXPECT_TRUE(entries(tmp.path()).empty()) << "a temporary file or profile stayed";
    };
    LibreOfficeSpreadsheet failing(script(bin, "soffice", "echo 'Error: source file could not be loaded'; exit 1"));
    EXPECT_TRUE(failing.available());
    check(failing, "source file could not be loaded");

    LibreOfficeSpreadsheet garbage(script(bin, "garbage", fakeConverter("not a workbook")));
    check(garbage, "no Excel 97 workbook");

    const auto start = std::chrono::steady_clock::now();
    LibreOfficeSpreadsheet hanging(script(bin, "hanging", fakeConverter("") + "\nsleep 60"), 700ms);
    check(hanging, "did not finish");
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);

    LibreOfficeSpreadsheet missing(bin / "not-there");
    EXPECT_FALSE(missing.available());
    check(missing, "cannot be started");
}

TEST(OfficeSpreadsheet, AStandInThatWritesAnExcel97FileReplacesTheOldOne)
{
    // Checks the road after the conversion without starting LibreOffice:
    // the converted file is put in place whole.
    TempFolder dir, bin, tmp;
    const fs::path old = dir.write("x.xls", "old workbook");
    EnvOverride tmpdir("TMPDIR", tmp.path().string());
    LibreOfficeSpreadsheet sheet(script(bin, "soffice", fakeConverter("\\320\\317\\021\\340\\241\\261\\032\\341rest")));
    const Outcome written = sheet.write(old, sampleSheet());
    ASSERT_TRUE(written.ok()) << written.reason();
    EXPECT_EQ(readFile(old), "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1rest");
    EXPECT_EQ(entries(dir.path()), std::set<std::string>{"x.xls"});
    EXPECT_TRUE(entries(tmp.path()).empty());
}

// The command line with the system's spreadsheet, as zorvika-cli has it.
struct CliRun {
    int status;
    std::string out, err;
};

CliRun runCount(const fs::path& programFolder, const std::string& output)
{
    const auto spreadsheet = makeSystemSpreadsheet();
    CliContext context;
    context.defaultProgramFolder = programFolder;
    context.spreadsheet = spreadsheet.get();
    std::ostringstream out, err;
    const int status = runCli({"count", corpus("SSTabEx/test project/Test.vbp"), "--output", output}, out, err, context);
    return {status, out.str(), err.str()};
}

TEST(OfficeSpreadsheet, CommandLineXlsAndXlsx)
{
    TempFolder program, dir;
    fs::copy_file(fs::path(ZORVIKA_SOURCE_DIR) / "resources" / "tips.dll", program / "tips.dll");
    const fs::path xls = dir.write("out.xls", "old workbook");
    {
        TempFolder emptyBin;
        EnvOverride path("PATH", emptyBin.path().string());
        const CliRun r = runCount(program.path(), xls.string());
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "zorvika-cli: " + xls.string() + ": the spreadsheet application cannot be started; nothing written\n");
        EXPECT_EQ(readFile(xls), "old workbook");

        // ".xlsx" needs no office program.
        const fs::path xlsx = dir / "out.xlsx";
        const CliRun x = runCount(program.path(), xlsx.string());
        ASSERT_EQ(x.status, 0) << x.err;
        std::string error;
        const auto sheet = readXlsx(xlsx, &error);
        ASSERT_TRUE(sheet) << error;
        // The same cells as the tab text on standard output, but for the
        // totals row's first cell, which is empty in a workbook.
        std::istringstream lines(x.out);
        std::string line;
        std::size_t n = 0;
        while (std::getline(lines, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            std::vector<std::string> fields;
            std::size_t start = 0;
            for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
                fields.push_back(line.substr(start, tab - start));
            fields.push_back(line.substr(start));
            if (fields[0] == " " && fields[1] == "Total")
                fields[0] = "";
            for (std::size_t c = 0; c < fields.size(); ++c)
                EXPECT_EQ(sheet->text(n, c), fields[c]) << "row " << n + 1 << " column " << c + 1;
            ++n;
        }
        EXPECT_EQ(n, 4u);
        EXPECT_EQ(sheet->rows.size(), n);
    }
    ASSERT_FALSE(requireOffice().empty());
    const CliRun r = runCount(program.path(), xls.string());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.err.empty()) << r.err;
    EXPECT_TRUE(startsWithOleSignature(readFile(xls)));
}

TEST(OfficeSpreadsheet, TheProgramItselfWritesXls)
{
    // zorvika-cli as built, with the spreadsheet its main() makes.
    ASSERT_FALSE(requireOffice().empty());
    TempFolder program, dir;
    fs::copy_file(fs::path(ZORVIKA_SOURCE_DIR) / "resources" / "tips.dll", program / "tips.dll");
    const fs::path xls = dir / "Test.xls";
    const ChildExit r = runChild(ZORVIKA_CLI_PROGRAM,
                                   {"count", corpus("SSTabEx/test project/Test.vbp"), "--output", xls.string(),
                                    "--program-folder", program.path().string()},
                                   120s, dir / "log");
    ASSERT_TRUE(r) << r.reason();
    EXPECT_EQ(*r, 0) << readFile(dir / "log");
    EXPECT_TRUE(startsWithOleSignature(readFile(xls)));
}
