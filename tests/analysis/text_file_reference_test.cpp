#include "text_file_reference.h"

#include "analysis/line_counter.h"
#include "analysis/module_kinds.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

using namespace zorvika;

TEST(TextFile, CountLinesFollowsTheLineRules)
{
    EXPECT_EQ(countLinesInText(""), 0);
    EXPECT_EQ(countLinesInText("a"), 1);
    EXPECT_EQ(countLinesInText("a\r\n"), 1);
    EXPECT_EQ(countLinesInText("a\r\nb\nc\rd"), 4);
    EXPECT_EQ(countLinesInText("\n\n\n"), 3);
}

TEST(TextFile, FindLineReportsFirstLineBeginningWithTextAnyCase)
{
    const std::string text = "VERSION 5.00\r\n"
                             "  Attribute VB_Exposed = True\r\n"   // not at the start
                             "' Attribute VB_Exposed\r\n"
                             "ATTRIBUTE VB_EXPOSED = False\n"
                             "Attribute VB_Exposed = True\r\n";
    EXPECT_EQ(findLineInText(text, "Attribute VB_Exposed"), 4);
    EXPECT_EQ(findLineInText("Option Explicit\r\n", "Attribute VB_Exposed"), 0);
}

TEST(TextFile, AppendAndReadLastLine)
{
    test::TempFolder dir;
    const auto file = dir / "snap";
    std::ofstream(file).close();
    ASSERT_TRUE(AppendLine(file, "one"));
    ASSERT_TRUE(AppendLine(file, "two"));
    ASSERT_TRUE(AppendLine(file, "Total: 3"));
    EXPECT_EQ(test::readFile(file), "one\r\ntwo\r\nTotal: 3\r\n");
    EXPECT_EQ(ReadLastLine(file), "Total: 3");
    EXPECT_EQ(CountLines(file), 3);
    EXPECT_EQ(ReadLastLine(dir / "missing"), "");
    EXPECT_EQ(CountLines(dir / "missing"), 0);
}

// The one-pass scanner the counting uses agrees with the plain line-by-line
// reference on every module of the corpus: line count and header line.
TEST(TextFile, TheScannerAgreesWithTheReferenceOnTheCorpus)
{
    int modules = 0;
    for (const auto& e : std::filesystem::recursive_directory_iterator(ZORVIKA_CORPUS_DIR)) {
        if (!e.is_regular_file() || !moduleKindOf(e.path().filename().string()))
            continue;
        const std::string text = test::readFile(e.path());
        const ModuleScan scan = scanModuleText(text);
        EXPECT_EQ(scan.lines, countLinesInText(text)) << e.path();
        EXPECT_EQ(scan.exposedLine, findLineInText(text, "Attribute VB_Exposed")) << e.path();
        ++modules;
    }
    EXPECT_GT(modules, 500);
}
