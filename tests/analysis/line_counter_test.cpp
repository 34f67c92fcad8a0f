#include "analysis/line_counter.h"

#include "analysis/module_kinds.h"
#include "base/line_reader.h"
#include "temp_folder.h"

#include <cctype>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace zorvika;

namespace {

// A form of `total` lines whose Attribute VB_Exposed line is `exposedAt`,
// with `blank` blank and `comment` comment lines below it.
std::string makeForm(int total, int exposedAt, int blank, int comment)
{
    std::string text;
    for (int i = 1; i < exposedAt; ++i)
        text += "Begin VB.Form x" + std::to_string(i) + "\r\n";
    text += "Attribute VB_Exposed = False\r\n";
    int rest = total - exposedAt;
    for (int i = 0; i < blank; ++i, --rest)
        text += "\r\n";
    for (int i = 0; i < comment; ++i, --rest)
        text += "' note\r\n";
    for (; rest > 0; --rest)
        text += "x = 1\r\n";
    return text;
}

std::array<std::string, 10> figures(const ModuleRow& row)
{
    std::array<std::string, 10> f;
    for (int i = 0; i < 10; ++i)
        f[i] = row.cells[ColP + i];
    return f;
}

} // namespace

TEST(LineClassification, BlankCommentAndNeither)
{
    const ModuleScan scan = scanModuleText("\t\t\r\n"          // blank
                                           "   \r\n"           // blank
                                           "\t ' a word\r\n"   // comment
                                           "'\r\n"             // comment
                                           "x = 1 ' note\r\n"  // neither
                                           "Rem old style\r\n" // neither
                                           "  _\r\n"           // neither
                                           "\f\r\n"            // form feed: neither
                                           "\xC2\xA0\r\n"      // no-break space: neither
                                           " \t' last");       // comment, no line end
    EXPECT_EQ(scan.lines, 10);
    EXPECT_EQ(scan.blankLines, 2);
    EXPECT_EQ(scan.commentLines, 3);
}

TEST(LineClassification, ContinuedCommentIsOneCommentLine)
{
    const ModuleScan scan = scanModuleText("' first part _\r\n  second part\r\n");
    EXPECT_EQ(scan.commentLines, 1);
    EXPECT_EQ(scan.lines, 2);
}

TEST(LineClassification, LfAndCrOnlyFilesCountAsCrLfFiles)
{
    const std::string crlf = makeForm(30, 5, 4, 3);
    std::string lf, cr;
    for (std::size_t i = 0; i < crlf.size(); ++i) {
        if (crlf.compare(i, 2, "\r\n") == 0) {
            lf.push_back('\n');
            cr.push_back('\r');
            ++i;
        } else {
            lf.push_back(crlf[i]);
            cr.push_back(crlf[i]);
        }
    }
    const ModuleScan a = scanModuleText(crlf), b = scanModuleText(lf), c = scanModuleText(cr);
    EXPECT_EQ(a.lines, 30);
    EXPECT_EQ(a.exposedLine, 5);
    for (const ModuleScan* s : {&b, &c}) {
        EXPECT_EQ(s->lines, a.lines);
        EXPECT_EQ(s->exposedLine, a.exposedLine);
        EXPECT_EQ(s->commentLines, a.commentLines);
        EXPECT_EQ(s->blankLines, a.blankLines);
    }
}

TEST(ProjectCount, FormOf120LinesGivesTheTenFigures)
{
    test::TempFolder dir;
    dir.write("frmMain.frm", makeForm(120, 38, 10, 12));
    const ProjectCount count = countProjectText("Form=frmMain.frm\r\n", dir.path());
    ASSERT_EQ(count.rows.size(), 1u);
    EXPECT_EQ(count.rows[0].cells[ColType], "Form");
    const std::array<std::string, 10> expected = {"82", "120", "12", "10", "70", "72", "60", "108", "110", "98"};
    EXPECT_EQ(figures(count.rows[0]), expected);
    EXPECT_EQ(count.totals.tp, 82);
    EXPECT_EQ(count.totals.ta, 120);
}

TEST(ProjectCount, StandardModuleHeaderIsOneLine)
{
    test::TempFolder dir;
    std::string bas = "Attribute VB_Exposed = True\r\n"; // ignored for a standard module
    for (int i = 1; i < 50; ++i)
        bas += "Dim x" + std::to_string(i) + "\r\n";
    dir.write("modMain.bas", bas);
    const ProjectCount count = countProjectText("Module=modMain; modMain.bas\r\n", dir.path());
    EXPECT_EQ(count.rows[0].cells[ColP], "49");
    EXPECT_EQ(count.rows[0].cells[ColA], "50");
}

TEST(ProjectCount, ModuleWithoutExposedLineHasNoHeader)
{
    test::TempFolder dir;
    dir.write("notes.txt", "a\r\nb\r\n");
    const ProjectCount count = countProjectText("Form=notes.txt\r\n", dir.path());
    EXPECT_EQ(count.rows[0].cells[ColType], "OtherModule");
    EXPECT_EQ(count.rows[0].cells[ColP], "2");
}

#ifndef _WIN32 // a named pipe, and "C:\\..." as no path of the system
TEST(ProjectCount, MissingAndUnreadableModulesAreInvalidAndAddNothing)
{
    test::TempFolder dir;
    dir.write("a.frm", makeForm(10, 2, 1, 1));
    std::filesystem::create_directory(dir / "dir.frm");
    ASSERT_EQ(::mkfifo((dir / "pipe.bas").c_str(), 0644), 0);
    const ProjectCount count = countProjectText(
        "Form=a.frm\r\nForm=gone.frm\r\nForm=dir.frm\r\nModule=P; pipe.bas\r\nForm=\r\nForm=C:\\src\\a.frm\r\n"
        "Form=a.frm\r\n",
        dir.path());
    ASSERT_EQ(count.rows.size(), 7u);
    for (int i : {1, 2, 3, 4, 5}) {
        EXPECT_EQ(count.rows[i].cells[ColType], "Invalid") << i;
        for (int c = ColP; c < kColumnCount; ++c)
            EXPECT_EQ(count.rows[i].cells[c], "") << i;
    }
    EXPECT_EQ(count.rows[5].cells[ColModule], "C:\\src\\a.frm") << "the row keeps the project file's text";
    EXPECT_EQ(count.totals.ta, 20) << "a module listed twice counts twice";
    EXPECT_EQ(count.totals.tp, 16);
}
#endif

TEST(ProjectCount, EmptyModuleFileAndEmptyProject)
{
    test::TempFolder dir;
    dir.write("empty.cls", "");
    const ProjectCount count = countProjectText("Class=E; empty.cls\r\n", dir.path());
    EXPECT_EQ(count.rows[0].cells[ColA], "0");
    EXPECT_EQ(count.rows[0].cells[ColP], "0");
    EXPECT_TRUE(countProjectText("Type=Exe\r\n", dir.path()).rows.empty());
    EXPECT_TRUE(countProject(dir / "missing.vbp", dir.path()).rows.empty());
}

TEST(ProjectCount, MoreThan32767ModulesAreCountedWhole)
{
    test::TempFolder dir;
    dir.write("m.bas", "Attribute VB_Name = \"m\"\r\nDim a\r\n' c\r\n\r\n");
    std::string project;
    const int n = 40000;
    for (int i = 0; i < n; ++i)
        project += "Module=M; m.bas\r\n";
    const ProjectCount count = countProjectText(project, dir.path());
    ASSERT_EQ(count.rows.size(), static_cast<std::size_t>(n));
    EXPECT_EQ(count.rows.back().cells[ColA], "4");
    EXPECT_EQ(count.totals.ta, 4LL * n);
    EXPECT_EQ(count.totals.tc, n);
}

TEST(ProjectTotals, DoNotWrapPast32Bits)
{
    ProjectTotals totals;
    ModuleFigures big;
    big.allLines = 2'000'000'000;
    big.headerLines = 1;
    totals.add(big);
    totals.add(big);
    EXPECT_EQ(totals.ta, 4'000'000'000LL);
    EXPECT_EQ(figureText(totals.columns()[1]), "4000000000");
    EXPECT_EQ(figureText(-5), "-5");
}

TEST(CorpusFigures, SsTabExTestProjectByHand)
{
    // frmTest.frm: 1557 lines, Attribute VB_Exposed at line 1023, 8 comment and
    // 96 blank lines; cDlg.cls: 2616 lines, header to line 13.
    const auto folder = std::filesystem::path(test::corpus("SSTabEx/test project"));
    const ProjectCount count = countProjectText("Form=frmTest.frm\r\nClass=cDlg; cDlg.cls\r\n", folder);
    ASSERT_EQ(count.rows.size(), 2u);
    const std::array<std::string, 10> form = {"534", "1557", "8", "96", "526", "438", "430", "1549", "1461", "1453"};
    EXPECT_EQ(figures(count.rows[0]), form);
    const std::array<std::string, 10> cls = {"2603", "2616", "281", "504", "2322", "2099", "1818", "2335", "2112", "1831"};
    EXPECT_EQ(figures(count.rows[1]), cls);
}

TEST(LineClassification, PiecesCutAnywhereGiveTheSameScan)
{
    // Every split of a text that mixes all line ends, blank, comment and
    // header lines, fed in two pieces and byte by byte, scans as the whole.
    const std::string text = "VERSION 5.00\r\n \t\r\n' c\rAttribute VB_Name = \"x\"\n\r\n"
                             "ATTRIBUTE VB_EXPOSED = True\r  'x\n\t\r\nx = 1\r\n   ";
    const ModuleScan whole = scanModuleText(text);
    EXPECT_EQ(whole.lines, 10);
    EXPECT_EQ(whole.exposedLine, 6);
    EXPECT_EQ(whole.blankLines, 4);
    EXPECT_EQ(whole.commentLines, 2);
    auto same = [&](const ModuleScan& s) {
        return s.lines == whole.lines && s.exposedLine == whole.exposedLine && s.blankLines == whole.blankLines
            && s.commentLines == whole.commentLines;
    };
    for (std::size_t cut = 0; cut <= text.size(); ++cut) {
        ModuleScanner scanner;
        scanner.feed(std::string_view(text).substr(0, cut));
        scanner.feed(std::string_view(text).substr(cut));
        EXPECT_TRUE(same(scanner.finish())) << "cut at " << cut;
    }
    ModuleScanner bytes;
    for (char c : text)
        bytes.feed(std::string_view(&c, 1));
    EXPECT_TRUE(same(bytes.finish()));
}

TEST(ProjectCount, LongSingleLineModuleIsReadInBoundedPieces)
{
    test::TempFolder dir;
    std::string line(3 * 1024 * 1024, 'x');
    line += "\r\n' after\r\n";
    dir.write("long.cls", line);
    const ProjectCount count = countProjectText("Class=L; long.cls\r\n", dir.path());
    EXPECT_EQ(count.rows[0].cells[ColA], "2");
    EXPECT_EQ(count.rows[0].cells[ColC], "1");
}

TEST(LineClassification, AByteOrderMarkAtTheStartIsNoText)
{
    // A module saved by a Windows editor as UTF-8 begins with a mark; its
    // first line is classified as written, however the text is cut. The
    // first bytes of a mark that does not go on are text.
    struct Case {
        std::string text;
        std::int64_t lines, comments, blanks;
    };
    const std::vector<Case> cases = {
        {"\xEF\xBB\xBF' comment\r\nx = 1\r\n", 2, 1, 0},
        {"\xEF\xBB\xBF\r\n", 1, 0, 1},
        {"\xEF\xBB\xBF", 0, 0, 0},
        {"\xEF\xBB' c\r\n", 1, 0, 0},
        {"\xEF", 1, 0, 0},
        {"x\xEF\xBB\xBF\r\n", 1, 0, 0},
    };
    for (const Case& c : cases) {
        for (std::size_t cut = 0; cut <= c.text.size(); ++cut) {
            ModuleScanner scanner;
            scanner.feed(std::string_view(c.text).substr(0, cut));
            scanner.feed(std::string_view(c.text).substr(cut));
            const ModuleScan s = scanner.finish();
            EXPECT_EQ(s.lines, c.lines) << c.text << " cut at " << cut;
            EXPECT_EQ(s.commentLines, c.comments) << c.text << " cut at " << cut;
            EXPECT_EQ(s.blankLines, c.blanks) << c.text << " cut at " << cut;
        }
    }
}

// Reading only as far as the header's end finds the same header as the
// whole scan, wherever the "Attribute VB_Exposed" line stands, also across
// the pieces the reader feeds.
TEST(LineClassification, HeaderFoundWithoutReadingFurther)
{
    for (int padding : {0, 16384 - 30, 16384 - 10, 16384 + 5, 40000}) {
        for (const char* end : {"\r\n", "\n", "\r"}) {
            std::string text = "VERSION 5.00" + std::string(end);
            text += std::string(static_cast<std::size_t>(padding), 'x') + end;
            text += std::string("Attribute VB_Exposed = False") + end + "Option Explicit" + end;
            for (bool standard : {false, true})
                EXPECT_EQ(headerLinesOf(text, standard), figuresFromScan(scanModuleText(text), standard).headerLines)
                    << padding << " " << standard;
        }
    }
    EXPECT_EQ(headerLinesOf("Option Explicit\r\nSub A()\r\nEnd Sub\r\n", false), 0);
}

TEST(LineClassification, AnyTextCutAnywhereAgreesWithLineByLineReading)
{
    // The scan works on blocks of 64 bytes and pieces of any size: random
    // texts of line ends, blanks, quotes and the header key, cut at random
    // places, must give what reading them line by line gives.
    const std::string_view parts[] = {" ", "\t", "\r", "\n", "\r\n", "'", "x", "a", "A", "Attribute VB_Exposed",
                                      "ATTRIBUTE vb_exposed = 1", "Attribute VB_Ex", "  ' c", "\xC3\xA4"};
    std::uint64_t seed = 12345;
    auto next = [&] {
        seed = seed * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<std::size_t>(seed >> 33);
    };
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        const std::size_t count = next() % 120;
        for (std::size_t i = 0; i < count; ++i)
            text += parts[next() % std::size(parts)];
        std::int64_t lines = 0, blank = 0, comment = 0, exposed = 0;
        forEachLine(text, [&](std::string_view line) {
            ++lines;
            const auto firstOther = line.find_first_not_of(" \t");
            if (firstOther == std::string_view::npos)
                ++blank;
            else if (line[firstOther] == '\'')
                ++comment;
            if (exposed == 0 && startsWithNoCase(line, "attribute vb_exposed"))
                exposed = lines;
        });
        ModuleScanner scanner;
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t piece = round % 4 == 0 ? text.size() : 1 + next() % 90;
            scanner.feed(std::string_view(text).substr(at, piece));
            at += piece;
        }
        const ModuleScan scan = scanner.finish();
        ASSERT_EQ(scan.lines, lines) << "round " << round;
        ASSERT_EQ(scan.blankLines, blank) << "round " << round;
        ASSERT_EQ(scan.commentLines, comment) << "round " << round;
        ASSERT_EQ(scan.exposedLine, exposed) << "round " << round;
    }
}

// Every kind of the table is read by its entry key, typed by its extension
// and has its header counted by its rule, whatever the letter case.
TEST(ProjectCount, EveryModuleKindIsReadTypedAndCountedByItsRow)
{
    test::TempFolder dir;
    const std::string module = "VERSION 1.0 CLASS\r\nAttribute VB_Exposed = False\r\nDim a\r\n' b\r\n\r\n";
    for (const ModuleKind& kind : kModuleKinds) {
        std::string key = std::string(kind.entryKey);
        std::string extension = std::string(kind.extension);
        for (char& c : key)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        for (char& c : extension)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        const std::string file = "kind" + extension;
        dir.write(file, module);
        const std::string entry = key + (kind.nameThenPath ? "Name; " + file + "; x" : file) + "\r\n";
        const ProjectCount count = countProjectText(entry, dir.path());
        ASSERT_EQ(count.rows.size(), 1u) << kind.entryKey;
        EXPECT_EQ(count.rows[0].cells[ColModule], file);
        EXPECT_EQ(count.rows[0].cells[ColType], kind.typeText);
        EXPECT_EQ(count.rows[0].cells[ColP], kind.header == HeaderRule::OneLine ? "4" : "3") << kind.entryKey;
        EXPECT_TRUE(isModuleTypeText(count.rows[0].cells[ColType]));
    }
}
