#include "shell/message_table.h"

#include "base/message_keys.h"

#include "analysis/results.h"
#include "history/history_store.h"
#include "output/export.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

using namespace zorvika;
namespace fs = std::filesystem;

namespace {

// The keys a table file holds: every "KEY=" line of its message section.
std::set<std::string> keysOfTable(const fs::path& table)
{
    std::set<std::string> found;
    std::istringstream lines(test::readFile(table));
    bool inSection = false;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.starts_with('['))
            inSection = line == "[Message & Text]";
        else if (inSection && !line.starts_with(';') && line.find('=') != std::string::npos)
            found.insert(line.substr(0, line.find('=')));
    }
    return found;
}

std::vector<fs::path> shippedTables()
{
    std::vector<fs::path> tables;
    for (const auto& e : fs::directory_iterator(fs::path(ZORVIKA_SOURCE_DIR) / "resources"))
        if (e.path().filename().string().starts_with("tips") && e.path().extension() == ".dll")
            tables.push_back(e.path());
    return tables;
}

} // namespace

TEST(WorkFiles, FirstStartCreatesFoldersAndAnEmptyTable)
{
    test::TempFolder dir;
    const ProgramFolder folder{dir.path()};
    ensureWorkFiles(folder);
    EXPECT_TRUE(fs::is_directory(folder.workingCopies()));
    EXPECT_TRUE(fs::is_directory(folder.store()));
    ASSERT_TRUE(fs::is_regular_file(folder.messageTable()));
    EXPECT_EQ(fs::file_size(folder.messageTable()), 0u);
    EXPECT_EQ(MessageTable(folder).get("TITLE"), "");
}

TEST(WorkFiles, SecondStartTouchesNothing)
{
    test::TempFolder dir;
    const ProgramFolder folder{dir.path()};
    dir.write("tips.dll", "[Message & Text]\r\nTITLE=Mine\r\n");
    dir.write("tempprjfiles/old.vbp", "kept");
    dir.write("verhis/P/1.0.0", "Total\r\n");
    ensureWorkFiles(folder);
    ensureWorkFiles(folder);
    EXPECT_EQ(test::readFile(folder.messageTable()), "[Message & Text]\r\nTITLE=Mine\r\n");
    EXPECT_EQ(test::readFile(folder.workingCopies() / "old.vbp"), "kept");
    EXPECT_EQ(test::readFile(folder.store() / "P" / "1.0.0"), "Total\r\n");
}

TEST(MessageTable, LooksUpSectionMessageAndTextOnlyAndReadsAfresh)
{
    test::TempFolder dir;
    const ProgramFolder folder{dir.path()};
    dir.write("tips.dll", "[Other]\r\nDESC=wrong\r\n[Message & Text]\r\nTITLE=ZORVIKA Counter\r\n");
    const MessageTable messages(folder);
    EXPECT_EQ(messages.get("TITLE"), "ZORVIKA Counter");
    EXPECT_EQ(messages.get("DESC"), "");
    dir.write("tips.dll", "[Message & Text]\nTITLE=Changed");
    EXPECT_EQ(messages.get("TITLE"), "Changed") << "no copy is kept in memory";
}

TEST(ShippedTables, EveryKeyHasATextAndTheTotalsLineWorks)
{
    const auto tables = shippedTables();
    ASSERT_FALSE(tables.empty());
    for (const fs::path& table : tables) {
        SCOPED_TRACE(table.string());
        test::TempFolder dir;
        fs::copy_file(table, dir / "tips.dll");
        const MessageTable messages(ProgramFolder{dir.path()});
        // Every key the program asks for has a text, and the table holds no
        // key the program never asks for (a misspelt or forgotten one).
        std::set<std::string> asked;
        for (const std::string_view key : keys::all) {
            EXPECT_FALSE(messages.get(key).empty()) << key;
            EXPECT_TRUE(asked.insert(std::string(key)).second) << "named twice: " << key;
        }
        EXPECT_EQ(keysOfTable(table), asked);
        // The totals line splits back into its ten values, and the history
        // shows it: TOTAL begins with TOTAL2 followed by ":".
        ProjectTotals t;
        t.tp = 82;
        t.ta = 120;
        t.tc = 12;
        t.tb = 10;
        const std::string line = totalsText(3, t, messages.totalsWords());
        const auto values = totalsValues(line, messages.totalsWords());
        ASSERT_TRUE(values) << line;
        EXPECT_EQ((*values)[6], "60");
        EXPECT_EQ(snapshotFromText("x\r\n" + line + "\r\n", messages.get("TOTAL2")).totalsLabel, line);
    }
}

TEST(WorkFiles, StaleTemporaryFilesOfKilledWritesAreRemoved)
{
    test::TempFolder dir;
    const ProgramFolder folder{dir.path()};
    ensureWorkFiles(folder);
    const auto stale = dir.write("verhis/.zorvika-tmp-old", "half");
    const auto fresh = dir.write("verhis/.zorvika-tmp-new", "being written");
    const auto other = dir.write("verhis/notes.txt", "kept");
    fs::last_write_time(stale, fs::file_time_type::clock::now() - std::chrono::hours(1));
    fs::last_write_time(other, fs::file_time_type::clock::now() - std::chrono::hours(1));
    ensureWorkFiles(folder);
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(fresh)) << "a write may still be going on";
    EXPECT_TRUE(fs::exists(other));
}
