// Procedure metrics: every file under tests/data/procedures states its
// expected figures on its first line and one test runs over the folder; then
// the line ends, hostile lengths, project entries, and real corpus modules.
#include "analysis/line_counter.h"
#include "analysis/path_resolver.h"
#include "analysis/procedure_metrics.h"
#include "analysis/procedure_table.h"
#include "analysis/project_reader.h"
#include "base/line_reader.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <regex>
#include <sstream>

using namespace zorvika;
namespace fs = std::filesystem;

namespace {

// "key=value" words of one part of the first line.
struct Expected {
    std::string name;
    std::map<std::string, std::string> values;
    bool twice = false;
};

// "' module words ; Name words ; Name words".
std::vector<Expected> parseExpectation(std::string_view firstLine)
{
    std::vector<Expected> parts;
    std::string text(firstLine.substr(1));
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(" ; ", start);
        if (end == std::string::npos)
            end = text.size();
        std::istringstream words(text.substr(start, end - start));
        Expected part;
        std::string word;
        bool first = true;
        while (words >> word) {
            const auto eq = word.find('=');
            if (eq != std::string::npos)
                part.values[word.substr(0, eq)] = word.substr(eq + 1);
            else if (word == "twice")
                part.twice = true;
            else if (first && !parts.empty())
                part.name = word;
            else
                ADD_FAILURE() << "stray word " << word;
            first = false;
        }
        parts.push_back(part);
        start = end + 3;
    }
    return parts;
}

std::string value(const Expected& e, const std::string& key)
{
    const auto it = e.values.find(key);
    if (it == e.values.end()) {
        ADD_FAILURE() << "the first line gives no " << key << " for " << (e.name.empty() ? "the module" : e.name);
        return {};
    }
    return it->second;
}

std::vector<fs::path> fixtureFiles()
{
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(fs::path(ZORVIKA_SOURCE_DIR) / "tests/data/procedures"))
        files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

class ProcedureFixture : public ::testing::TestWithParam<fs::path> {};

constexpr std::string_view kKindWords[] = {"Sub", "Function", "Get", "Let", "Set"};

// Every figure of a module in one text, for comparing two analyses.
std::string allFigures(const ModuleMetrics& m)
{
    std::ostringstream out;
    out << m.declares << ' ' << m.events << ' ' << m.lloc << ' ' << m.statements << ' ' << m.totalCc << ' '
        << m.highestCc << ' ' << m.longestName << '/' << m.longestSpan << '\n';
    for (const ProcedureMetrics& p : m.procedures)
        out << p.name << ' ' << static_cast<int>(p.kind) << ' ' << p.firstLine << ' ' << p.span << ' ' << p.codeLines
            << ' ' << p.lloc << ' ' << p.statements << ' ' << p.cc << ' ' << p.cc2 << ' ' << p.depth << ' '
            << p.definedTwice << '\n';
    return out.str();
}

// The module's text in a buffer of exactly its size, so that a scan that
// reads past the text's end is a fault the sanitizer builds report.
ModuleMetrics analyzeExactly(std::string_view text, std::int64_t headerLines)
{
    const auto buffer = std::make_unique<char[]>(std::max<std::size_t>(text.size(), 1));
    std::copy(text.begin(), text.end(), buffer.get());
    return analyzeModuleText(std::string_view(buffer.get(), text.size()), headerLines);
}

} // namespace

TEST_P(ProcedureFixture, FiguresAsTheFirstLineStates)
{
    const fs::path file = GetParam();
    const std::string text = test::readFile(file);
    const std::vector<Expected> parts = parseExpectation(splitLines(text).at(0));
    const auto metrics = analyzeModuleFile(file, isStandardModulePath(file.string()));
    ASSERT_TRUE(metrics);
    const ModuleMetrics& m = *metrics;

    const Expected& module = parts.front();
    for (std::size_t k = 0; k < std::size(kKindWords); ++k) {
        std::string key(kKindWords[k]);
        for (char& c : key)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        EXPECT_EQ(figureText(m.byKind[k]), value(module, key)) << key;
    }
    EXPECT_EQ(figureText(m.declares), value(module, "declares"));
    EXPECT_EQ(figureText(m.events), value(module, "events"));
    EXPECT_EQ(figureText(m.lloc), value(module, "lloc"));
    EXPECT_EQ(figureText(m.statements), value(module, "statements"));
    EXPECT_EQ(figureText(m.totalCc), value(module, "cc"));
    EXPECT_EQ(figureText(m.highestCc), value(module, "maxcc"));
    EXPECT_EQ(m.longestName + "/" + figureText(m.longestSpan), value(module, "longest"));

    ASSERT_EQ(m.procedures.size(), parts.size() - 1);
    for (std::size_t i = 0; i < m.procedures.size(); ++i) {
        const ProcedureMetrics& p = m.procedures[i];
        const Expected& e = parts[i + 1];
        SCOPED_TRACE(e.name);
        EXPECT_EQ(p.name, e.name);
        EXPECT_EQ(kKindWords[static_cast<std::size_t>(p.kind)], value(e, "kind"));
        EXPECT_EQ(figureText(p.firstLine), value(e, "line"));
        EXPECT_EQ(figureText(p.span), value(e, "span"));
        EXPECT_EQ(figureText(p.codeLines), value(e, "code"));
        EXPECT_EQ(figureText(p.lloc), value(e, "lloc"));
        EXPECT_EQ(figureText(p.statements), value(e, "statements"));
        EXPECT_EQ(figureText(p.cc), value(e, "cc"));
        EXPECT_EQ(figureText(p.cc2), value(e, "cc2"));
        EXPECT_EQ(figureText(p.depth), value(e, "depth"));
        EXPECT_EQ(p.definedTwice, e.twice);
    }
}

INSTANTIATE_TEST_SUITE_P(Files, ProcedureFixture, ::testing::ValuesIn(fixtureFiles()),
                         [](const auto& info) {
                             std::string name = info.param.filename().string();
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

// Every fixture gives the same figures with CR LF, LF or CR line ends.
TEST(ProcedureMetrics, LineEndsChangeNothing)
{
    for (const fs::path& file : fixtureFiles()) {
        const std::string text = test::readFile(file);
        const std::vector<std::string_view> lines = splitLines(text);
        const std::int64_t header =
            figuresFromScan(scanModuleText(text), isStandardModulePath(file.string())).headerLines;
        std::vector<ModuleMetrics> results;
        for (std::string_view end : {"\r\n", "\n", "\r"}) {
            std::string joined;
            for (std::string_view line : lines)
                joined.append(line).append(end);
            results.push_back(analyzeModuleText(joined, header));
        }
        for (std::size_t k = 1; k < results.size(); ++k) {
            SCOPED_TRACE(file.filename().string() + " line end " + std::to_string(k));
            EXPECT_EQ(results[k].statements, results[0].statements);
            EXPECT_EQ(results[k].lloc, results[0].lloc);
            ASSERT_EQ(results[k].procedures.size(), results[0].procedures.size());
            for (std::size_t i = 0; i < results[0].procedures.size(); ++i) {
                EXPECT_EQ(results[k].procedures[i].span, results[0].procedures[i].span);
                EXPECT_EQ(results[k].procedures[i].codeLines, results[0].procedures[i].codeLines);
            }
        }
    }
}

// The lines are scanned many bytes at a time: every fixture gives the same
// figures whatever its lines' indent (so wherever their words, strings and
// ends fall against those steps), and with or without the last line's end,
// which puts its last byte at the very end of the text.
TEST(ProcedureMetrics, IndentAndTheTextsEndChangeNothing)
{
    for (const fs::path& file : fixtureFiles()) {
        const std::string text = test::readFile(file);
        const std::vector<std::string_view> lines = splitLines(text);
        const std::int64_t header =
            figuresFromScan(scanModuleText(text), isStandardModulePath(file.string())).headerLines;
        const std::string expected = allFigures(analyzeModuleText(text, header));
        for (std::size_t indent = 0; indent <= 40; ++indent) {
            for (bool lastEnd : {true, false}) {
                std::string shifted;
                for (std::size_t i = 0; i < lines.size(); ++i) {
                    shifted.append(indent, i % 3 == 2 ? '\t' : ' ').append(lines[i]);
                    if (lastEnd || i + 1 < lines.size())
                        shifted.append("\r\n");
                }
                SCOPED_TRACE(file.filename().string() + " indent " + std::to_string(indent)
                             + (lastEnd ? "" : " no last line end"));
                EXPECT_EQ(allFigures(analyzeExactly(shifted, header)), expected);
            }
        }
    }
}

// Names, strings, comments and `:` of every length up to and past the steps
// of the scan, each line ending at the text's end too: the statements and
// the procedure's name come out whole.
TEST(ProcedureMetrics, WordsAndStringsOfAnyLengthAreReadWhole)
{
    struct Case {
        const char* what;
        std::string (*line)(const std::string& word);
        std::int64_t statements; // of the line
    };
    const Case cases[] = {
        {"a plain call", [](const std::string& w) { return w + " 1, 2"; }, 1},
        {"an assignment of a string", [](const std::string& w) { return "x = \"" + w + "\"\"\" & y"; }, 1},
        {"a colon inside a string", [](const std::string& w) { return "x = \"" + w + ":\" & y"; }, 1},
        {"an unclosed string", [](const std::string& w) { return "x = \"" + w + ": '"; }, 1},
        {"a comment behind", [](const std::string& w) { return "x = 1 ' " + w + ": \""; }, 1},
        {"two statements", [](const std::string& w) { return w + " = 1: y = \"" + w + "\""; }, 2},
        {"a single-line If", [](const std::string& w) { return "If " + w + " Then " + w + " = 1"; }, 2},
    };
    for (const Case& c : cases) {
        for (std::size_t length = 1; length <= 70; ++length) {
            // Letters of both cases, `_`, digits and a two-byte letter.
            std::string word = "n";
            for (std::size_t i = 1; word.size() < length; ++i)
                word += i % 5 == 4 ? std::string("\xC3\xA9") : std::string(1, "aZ_9"[i % 5]);
            for (bool lastEnd : {true, false}) {
                const std::string text = "Attribute VB_Name = \"M\"\r\nSub " + word + "()\r\n" + c.line(word)
                                         + "\r\nEnd Sub" + (lastEnd ? "\r\n" : "");
                SCOPED_TRACE(std::string(c.what) + ", length " + std::to_string(length));
                const ModuleMetrics m = analyzeExactly(text, 1);
                ASSERT_EQ(m.procedures.size(), 1u);
                EXPECT_EQ(m.procedures[0].name, word);
                EXPECT_EQ(m.procedures[0].statements, c.statements + 2); // and the header and its End
                EXPECT_EQ(m.procedures[0].span, 3);
            }
        }
    }
}

// A logical line of any length keeps its exact statements and bounded memory.
TEST(ProcedureMetrics, VeryLongLinesAreCountedExactly)
{
    constexpr int kStatements = 300000;
    std::string text = "Attribute VB_Name = \"Long\"\nSub Long()\n";
    for (int i = 0; i < kStatements; ++i)
        text += "x = 1: ";
    text += "If a Then\nEnd If\nEnd Sub\n";
    const ModuleMetrics m = analyzeModuleText(text, 1);
    ASSERT_EQ(m.procedures.size(), 1u);
    // The header, the statements, the block If, its End If and the End Sub.
    EXPECT_EQ(m.procedures[0].statements, kStatements + 4);
    EXPECT_EQ(m.procedures[0].depth, 1);
    EXPECT_EQ(m.procedures[0].span, 4);
}

// The figures of a module come only from below its header; a module whose
// file cannot be read gives none, and one without procedures an empty list.
TEST(ProcedureMetrics, ProjectEntriesInvalidAndEmptyModules)
{
    test::TempFolder folder;
    folder.write("Main.bas", "Sub Hidden()\r\nEnd Sub\r\nSub Shown()\r\nEnd Sub\r\n");
    folder.write("Plain.bas", "Attribute VB_Name = \"Plain\"\r\nOption Explicit\r\n");
    folder.write("Form1.frm", "VERSION 5.00\r\nBegin VB.Form Form1\r\n   Caption = \"Sub Fake()\"\r\nEnd\r\n"
                              "Attribute VB_Exposed = False\r\nPrivate Sub Form_Load()\r\nEnd Sub\r\n");
    fs::create_directories(folder / "Dir.cls");
    const std::string project = "Module=Main; Main.bas\r\nModule=Plain; PLAIN.BAS\r\nForm=Form1.frm\r\n"
                                "Class=Gone; Gone.cls\r\nClass=Dir; Dir.cls\r\n";
    const std::vector<ModuleAnalysis> modules = analyzeProjectText(project, folder.path());
    ASSERT_EQ(modules.size(), 5u);
    ASSERT_TRUE(modules[0].metrics);
    // The first line of a standard module is its header.
    ASSERT_EQ(modules[0].metrics->procedures.size(), 1u);
    EXPECT_EQ(modules[0].metrics->procedures[0].name, "Shown");
    EXPECT_EQ(modules[0].metrics->procedures[0].firstLine, 3);
    ASSERT_TRUE(modules[1].metrics);
    EXPECT_EQ(modules[1].type, "Module");
    EXPECT_TRUE(modules[1].metrics->procedures.empty());
    ASSERT_TRUE(modules[2].metrics);
    ASSERT_EQ(modules[2].metrics->procedures.size(), 1u);
    EXPECT_EQ(modules[2].metrics->procedures[0].name, "Form_Load");
    for (std::size_t i : {3u, 4u}) {
        EXPECT_EQ(modules[i].type, kTypeInvalid);
        EXPECT_FALSE(modules[i].metrics);
    }
    const std::vector<ProcedureRow> rows = procedureRows(modules, "(twice)");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][ProcModule], "Main.bas");
    EXPECT_EQ(rows[1][ProcModule], "Form1.frm");
    const ProcedureRow totals = procedureTotalsRow(modules, "Total");
    EXPECT_EQ(totals[ProcName], "2");
    EXPECT_EQ(totals[ProcSpan], "4");
}

// The header of a class ends at its "Attribute VB_Exposed" line wherever
// that line falls, also across the first KiB that are looked at first.
TEST(ProcedureMetrics, AClassHeaderEndsAtItsExposedLineAtAnyOffset)
{
    test::TempFolder folder;
    const std::string key = "Attribute VB_Exposed = False\r\n";
    for (std::size_t at = 4096 - key.size() - 4; at <= 4096 + 4; ++at) {
        // Header lines that would be a procedure below the header.
        std::string text = "VERSION 1.0 CLASS\r\n";
        while (text.size() + 21 + 3 <= at)
            text += "Sub Fake()\r\nEnd Sub\r\n";
        text.append(at - text.size() - 2, 'x').append("\r\n");
        ASSERT_EQ(text.size(), at);
        text += key;
        const std::int64_t header = std::count(text.begin(), text.end(), '\n');
        text += "Sub Real()\r\nEnd Sub\r\n";
        SCOPED_TRACE("exposed line at byte " + std::to_string(at));
        const auto m = analyzeModuleFile(folder.write("C.cls", text), false);
        ASSERT_TRUE(m);
        ASSERT_EQ(m->procedures.size(), 1u);
        EXPECT_EQ(m->procedures[0].name, "Real");
        EXPECT_EQ(m->procedures[0].firstLine, header + 1);
    }
}

// The modules of a project are analysed side by side; each keeps its place
// in the project's order, whatever file (or none) its entry names.
TEST(ProcedureMetrics, ManyModulesKeepTheProjectsOrder)
{
    test::TempFolder folder;
    std::string project;
    constexpr int kModules = 120;
    for (int k = 0; k < kModules; ++k) {
        const std::string name = std::string("M").append(std::to_string(k));
        if (k % 7 == 3) {
            project += "Module=" + name + "; " + name + ".bas\r\n"; // no such file
            continue;
        }
        std::string text = "Attribute VB_Name = \"" + name + "\"\r\n";
        for (int p = 0; p <= k % 5; ++p)
            text += "Sub " + name + "_" + std::to_string(p) + "()\r\nIf a Then b\r\nEnd Sub\r\n";
        folder.write(name + ".bas", text);
        project += "Module=" + name + "; " + name + ".bas\r\n";
        if (k % 11 == 0)
            project += "Module=" + name + "; " + name + ".bas\r\n"; // the same file again
    }
    const std::vector<std::string> entries = readModuleEntries(project);
    const std::vector<ModuleAnalysis> modules = analyzeProjectText(project, folder.path());
    ASSERT_EQ(modules.size(), entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE(entries[i]);
        EXPECT_EQ(modules[i].module, entries[i]);
        const auto alone = analyzeModuleFile(folder / entries[i], true);
        ASSERT_EQ(modules[i].metrics.has_value(), alone.has_value());
        EXPECT_EQ(modules[i].type, alone ? "Module" : kTypeInvalid);
        if (alone) {
            EXPECT_EQ(allFigures(*modules[i].metrics), allFigures(*alone));
        }
    }
    // The command line takes one column's texts without the rows: the same
    // texts, row for row, invalid modules left out alike.
    const std::vector<ProcedureRow> rows = procedureRows(modules, "(twice)");
    ASSERT_FALSE(rows.empty());
    for (int column = 0; column < kProcedureColumnCount; ++column) {
        const std::vector<std::string> texts = procedureColumn(modules, column, "(twice)");
        ASSERT_EQ(texts.size(), rows.size());
        for (std::size_t r = 0; r < rows.size(); ++r)
            EXPECT_EQ(texts[r], rows[r][static_cast<std::size_t>(column)]) << "column " << column << " row " << r;
    }
}

// Sorting the list takes the rows of one text that stand together as one:
// the order is the one of sorting every row, by any column, either way.
TEST(ProcedureMetrics, SortingKeepsTheOrderOfSortingEveryRow)
{
    std::vector<ProcedureRow> rows;
    const char* modules[] = {"b.bas", "b.bas", "b.bas", "A.bas", "a.bas", "c.bas", "a.bas", "a.bas", "b.bas"};
    for (std::size_t i = 0; i < std::size(modules); ++i) {
        ProcedureRow row(kProcedureColumnCount);
        row[ProcModule] = modules[i];
        row[ProcName] = i % 3 ? "Same" : "Other" + std::to_string(i);
        row[ProcKind] = i < 4 ? "Sub" : "Function";
        for (int c = ProcFirstLine; c < kProcedureColumnCount; ++c)
            row[static_cast<std::size_t>(c)] = figureText(static_cast<std::int64_t>((i * (c + 3)) % 4 * 5));
        rows.push_back(row);
    }
    for (int column = 0; column < kProcedureColumnCount; ++column) {
        for (bool descending : {false, true}) {
            SCOPED_TRACE("column " + std::to_string(column) + (descending ? " descending" : ""));
            const std::vector<std::size_t> everyRow = sortedOrderBy(
                rows.size(), descending,
                [&](std::size_t i) -> std::string_view { return rows[i][static_cast<std::size_t>(column)]; });
            EXPECT_EQ(sortedProcedureOrder(rows, SortState{column, descending}), everyRow);
            std::vector<std::string> texts;
            for (const ProcedureRow& row : rows)
                texts.push_back(row[static_cast<std::size_t>(column)]);
            EXPECT_EQ(sortedProcedureOrder(texts, descending), everyRow);
        }
    }
}

// On real modules of the corpus: the procedures follow each other without
// overlapping, below the header, and there are as many as there are lines
// that hold an End Sub, End Function or End Property statement.
TEST(ProcedureMetrics, CorpusProceduresMatchTheirEndLines)
{
    // An End statement before any string or comment of its line: at its
    // start, or after a ":" (a procedure on one line).
    const std::regex endLine(R"(^([^'"]*[\s:])?End\s+(Sub|Function|Property)\b.*)", std::regex::icase);
    std::size_t modulesSeen = 0;
    for (const char* project : {"PhotoDemon/PhotoDemon.vbp", "SSTabEx/control-source/TabExCtl.vbp", "VBCorLib/Source/CorLib/CorLib.vbp"}) {
        const fs::path vbp = test::corpus(project);
        if (!fs::exists(vbp))
            GTEST_SKIP() << "no corpus at " << vbp;
        const std::string projectText = test::readFile(vbp);
        const std::vector<std::string> entries = readModuleEntries(projectText);
        const std::vector<ModuleAnalysis> modules = analyzeProjectText(projectText, vbp.parent_path());
        ASSERT_EQ(modules.size(), entries.size());
        PathResolver resolver;
        for (std::size_t i = 0; i < modules.size(); ++i) {
            if (!modules[i].metrics)
                continue;
            ++modulesSeen;
            SCOPED_TRACE(modules[i].module);
            const auto resolved = resolver.resolve(vbp.parent_path(), entries[i]);
            ASSERT_TRUE(resolved);
            const std::string text = test::readFile(*resolved);
            const std::int64_t header =
                figuresFromScan(scanModuleText(text), isStandardModulePath(entries[i])).headerLines;
            std::size_t ends = 0;
            std::int64_t number = 0;
            forEachLine(text, [&](std::string_view line) {
                if (++number > header && std::regex_match(line.begin(), line.end(), endLine))
                    ++ends;
            });
            const auto& procedures = modules[i].metrics->procedures;
            EXPECT_EQ(procedures.size(), ends);
            std::int64_t after = header;
            for (const ProcedureMetrics& p : procedures) {
                EXPECT_GT(p.firstLine, after) << p.name;
                EXPECT_LE(p.codeLines, p.span) << p.name;
                EXPECT_GE(p.cc, 1) << p.name;
                EXPECT_GE(p.cc2, p.cc) << p.name;
                after = p.firstLine + p.span - 1;
            }
            EXPECT_LE(after, number);
        }
    }
    EXPECT_GT(modulesSeen, 100u);
}

namespace {

// The text fed in pieces of `size` bytes, below a header of `header` lines.
std::string figuresInPieces(std::string_view text, std::size_t size, ModuleAnalyzer analyzer)
{
    for (std::size_t at = 0; at < text.size(); at += size)
        analyzer.feed(text.substr(at, size));
    return allFigures(analyzer.finish());
}

} // namespace

// A module read in pieces gives the figures of the whole text wherever the
// pieces are cut: inside a CR LF, a word, a string, a continuation or the
// "Attribute VB_Exposed" line that ends a class's header. Over every
// fixture (with each kind of line end) and the modules of a corpus project.
TEST(ProcedureMetrics, PiecesOfAnySizeGiveTheFiguresOfTheWholeText)
{
    struct Module {
        std::string name;
        std::string text;
        bool standard;
    };
    std::vector<Module> modules;
    for (const fs::path& file : fixtureFiles()) {
        const std::string text = test::readFile(file);
        const bool standard = isStandardModulePath(file.string());
        modules.push_back({file.filename().string(), text, standard});
        for (std::string_view end : {"\n", "\r"}) {
            std::string joined;
            for (std::string_view line : splitLines(text))
                joined.append(line).append(end);
            modules.push_back({file.filename().string() + (end == "\n" ? " LF" : " CR"), joined, standard});
        }
    }
    // A class whose header is long, and one without an "Attribute VB_Exposed" line.
    std::string longHeader = "VERSION 1.0 CLASS\r\n";
    for (int i = 0; i < 300; ++i)
        longHeader += "Sub InHeader" + std::to_string(i) + "()\r\nEnd Sub\r\n";
    const std::string body = "Sub Real()\r\nIf a Then b: c\r\nEnd Sub\r\n";
    modules.push_back({"long header", longHeader + "Attribute VB_Exposed = False\r\n" + body, false});
    modules.push_back({"no exposed line", longHeader + body, false});
    // Line ends of every kind mixed: a lone CR inside a piece, then a line
    // that the next piece's first byte, an LF, ends (that LF is no CR's).
    std::string mixed = "Attribute VB_Name = \"M\"\r\n";
    for (int i = 0; i < 40; ++i)
        mixed += "Sub P" + std::to_string(i) + "()\rx = " + std::string(static_cast<std::size_t>(i % 7), 'y')
                 + "\n\rEnd Sub\n\r\n";
    modules.push_back({"mixed line ends", mixed, true});
    const fs::path project = test::corpus("SSTabEx/control-source/TabExCtl.vbp");
    if (fs::exists(project)) {
        const std::string projectText = test::readFile(project);
        PathResolver resolver;
        for (const std::string& entry : readModuleEntries(projectText))
            if (const auto file = resolver.resolve(project.parent_path(), entry))
                modules.push_back({entry, test::readFile(*file), isStandardModulePath(entry)});
    }
    ASSERT_GT(modules.size(), 3 * fixtureFiles().size());
    for (const Module& m : modules) {
        const std::int64_t header = headerLinesOf(m.text, m.standard);
        const std::string whole = allFigures(analyzeModuleText(m.text, header));
        // The corpus modules are long: the smallest pieces only for the small texts.
        std::vector<std::size_t> sizes = {7, 64, 4095, 65536};
        if (m.text.size() < 40000)
            sizes.insert(sizes.end(), {1, 2, 3, 5, 13});
        for (std::size_t size : sizes) {
            SCOPED_TRACE(m.name + ", pieces of " + std::to_string(size));
            EXPECT_EQ(figuresInPieces(m.text, size, ModuleAnalyzer(header)), whole);
            EXPECT_EQ(figuresInPieces(m.text, size, ModuleAnalyzer::byHeaderRule(m.standard)), whole);
        }
    }
}
