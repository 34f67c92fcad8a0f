// Texts that other people wrote: message tables, project and group files in
// odd shapes and encodings.
#include "analysis/project_reader.h"
#include "base/text_codec.h"
#include "components/ini_reader.h"
#include "history/history_store.h"
#include "shell/message_table.h"
#include "shell/selection.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

using namespace zorvika;

TEST(HostileText, MessageTableWithRepeatsEqualsQuotesAndNoFinalLineEnd)
{
    test::TempFolder dir;
    dir.write("tips.dll", "[Message & Text]\r\nTITLE=First\r\nTITLE=Second\r\n"
                          "DESC=a=b=\"c\"\r\nCW=\"Close \"now\"\"\r\nHIS=\"\r\nEXIT=Last");
    const MessageTable messages(ProgramFolder{dir.path()});
    EXPECT_EQ(messages.get("TITLE"), "First");
    EXPECT_EQ(messages.get("DESC"), "a=b=\"c\"");
    EXPECT_EQ(messages.get("CW"), "Close \"now\"");
    EXPECT_EQ(messages.get("HIS"), "\"");
    EXPECT_EQ(messages.get("EXIT"), "Last");
}

TEST(HostileText, ByteOrderMarkDoesNotHideTheFirstLine)
{
    EXPECT_EQ(readIniValueFromText("\xEF\xBB\xBF[Message & Text]\r\nTITLE=x\r\n", "Message & Text", "TITLE"), "x");
    EXPECT_EQ(readGroupEntries("\xEF\xBB\xBFVBGROUP 5.0\r\nProject=a.vbp\r\n"), (std::vector<std::string>{"a.vbp"}));
    EXPECT_EQ(readModuleEntries("\xEF\xBB\xBF" "Form=a.frm\r\n"), (std::vector<std::string>{"a.frm"}));
}

TEST(HostileText, Utf16TableGivesEmptyTextsAndNoCrash)
{
    test::TempFolder dir;
    const std::u16string wide = u"\uFEFF[Message & Text]\r\nTITLE=Wide\r\n";
    dir.write("tips.dll", std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * 2));
    const MessageTable messages(ProgramFolder{dir.path()});
    EXPECT_EQ(messages.get("TITLE"), "");
}

TEST(HostileText, EveryByteValueBecomesValidUtf8)
{
    std::string all;
    for (int c = 0; c < 256; ++c)
        all += static_cast<char>(c);
    const std::string shown = toDisplayText(all);
    EXPECT_TRUE(isValidUtf8(shown));
    EXPECT_TRUE(isValidUtf8(toDisplayText("\xFF\xFE\x00\x41")));
}

TEST(HostileText, SnapshotOfGarbageShowsNoRowsAndNoTotals)
{
    std::string garbage;
    for (int i = 0; i < 5000; ++i)
        garbage += static_cast<char>((i * 7919) % 256);
    const Snapshot snap = snapshotFromText(garbage, "Total");
    for (const auto& row : snap.rows)
        for (const auto& cell : row.cells)
            EXPECT_TRUE(isValidUtf8(cell));
}
