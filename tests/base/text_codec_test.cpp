#include "base/text_codec.h"

#include <gtest/gtest.h>

using namespace zorvika;

TEST(TextCodec, ValidUtf8StaysAsItIs)
{
    const std::string text = "M\xC3\xBCller \xE2\x82\xAC \xF0\x9F\x98\x80";
    EXPECT_TRUE(isValidUtf8(text));
    EXPECT_EQ(toDisplayText(text), text);
}

TEST(TextCodec, OtherBytesAreWindows1252)
{
    // "Müller €" in Windows-1252.
    EXPECT_FALSE(isValidUtf8("M\xFCller \x80"));
    EXPECT_EQ(toDisplayText("M\xFCller \x80"), "M\xC3\xBCller \xE2\x82\xAC");
    EXPECT_EQ(toDisplayText("\x93q\x94"), "\xE2\x80\x9Cq\xE2\x80\x9D");
}

TEST(TextCodec, MalformedSequencesAreNotUtf8)
{
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));          // overlong
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));      // surrogate
    EXPECT_FALSE(isValidUtf8("\xE2\x82"));          // cut short
    EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80"));  // past U+10FFFF
    EXPECT_TRUE(isValidUtf8(std::string("a\0b", 3)));
}
