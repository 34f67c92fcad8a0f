#include "components/ini_reader.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

using namespace zorvika;

TEST(ReadIniValue, OnlyTheNamedSectionIsSearched)
{
    const std::string text = "TITLE=before any section\r\n"
                             "[Other]\r\nTITLE=other\r\n"
                             "[Message & Text]\r\nTITLE=Counter\r\n"
                             "[Later]\r\nDESC=later\r\n";
    EXPECT_EQ(readIniValueFromText(text, "Message & Text", "TITLE"), "Counter");
    EXPECT_EQ(readIniValueFromText(text, "Message & Text", "DESC"), "");
    EXPECT_EQ(readIniValueFromText(text, "Missing", "TITLE"), "");
}

TEST(ReadIniValue, ValueRules)
{
    const std::string text = "[Info]\n"
                             "Name=\"prjDemo\"\n"
                             "Description=\"a \"quoted\" word\"\n"
                             "Formula = a=b \n"
                             "Empty=\n"
                             "Lone=\"\n"
                             "Name=second\n"
                             "  Spaced  =  value  \n";
    EXPECT_EQ(readIniValueFromText(text, "Info", "Name"), "prjDemo") << "first key wins, one pair of quotes removed";
    EXPECT_EQ(readIniValueFromText(text, "Info", "Description"), "a \"quoted\" word");
    EXPECT_EQ(readIniValueFromText(text, "Info", "Formula"), "a=b") << "the value runs from the first '='";
    EXPECT_EQ(readIniValueFromText(text, "Info", "Empty"), "");
    EXPECT_EQ(readIniValueFromText(text, "Info", "Lone"), "\"") << "a single quote is no pair";
    EXPECT_EQ(readIniValueFromText(text, "info", "spaced"), "value") << "names compare without regard to case";
}

TEST(ReadIniValue, LineEndsAndMissingFinalLineEnd)
{
    EXPECT_EQ(readIniValueFromText("[S]\rA=1\rB=2", "S", "B"), "2");
    EXPECT_EQ(readIniValueFromText("[S]\nA=1\nB=2", "S", "A"), "1");
}

TEST(ReadIniValue, MissingOrUnreadableFileGivesEmptyText)
{
    test::TempFolder dir;
    EXPECT_EQ(ReadIniValue(dir / "none.ini", "S", "K"), "");
    std::filesystem::create_directory(dir / "folder.ini");
    EXPECT_EQ(ReadIniValue(dir / "folder.ini", "S", "K"), "");
    const auto file = dir.write("t.ini", "[Message & Text]\r\nTITLE=ZORVIKA\r\n");
    EXPECT_EQ(ReadIniValue(file, "Message & Text", "TITLE"), "ZORVIKA");
}
