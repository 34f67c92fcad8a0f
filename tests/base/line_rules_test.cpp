#include "base/line_reader.h"

#include <gtest/gtest.h>

using namespace zorvika;

TEST(LineRules, EveryKindOfLineEndEndsALine)
{
    const auto lines = splitLines("a\r\nb\rc\nd");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "a");
    EXPECT_EQ(lines[1], "b");
    EXPECT_EQ(lines[2], "c");
    EXPECT_EQ(lines[3], "d");
}

TEST(LineRules, LastLineEndStartsNoLineAndEmptyTextHasNone)
{
    EXPECT_EQ(splitLines("x\r\n").size(), 1u);
    EXPECT_EQ(splitLines("x\n").size(), 1u);
    EXPECT_EQ(splitLines("").size(), 0u);
    // An LF CR pair is two line ends, so an empty line stands between them.
    const auto lines = splitLines("a\n\rb");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], "");
    // Blank lines in the middle are lines of their own.
    EXPECT_EQ(splitLines("\r\n\r\n").size(), 2u);
}

TEST(LineRules, PrefixAndTrimHelpers)
{
    EXPECT_TRUE(startsWithNoCase("FORM=x", "form="));
    EXPECT_FALSE(startsWithNoCase(" form=x", "form="));
    EXPECT_FALSE(startsWithNoCase("for", "form="));
    EXPECT_EQ(trimSpaces("  a b \t "), "a b \t");
    EXPECT_EQ(trimBlanks(" \t a b \t "), "a b");
}
