#include "output/snapshot_store.h"
#include "base/platform.h"

#include "base/program_folder.h"
#include "temp_folder.h"

#include "failure_kind.h"
#include <gtest/gtest.h>

using namespace zorvika;
namespace fs = std::filesystem;

namespace {

ModuleRow counted(std::string path, std::string p)
{
    ModuleRow r;
    r.cells = {path, "Form", p, "120", "12", "10", "70", "72", "60", "108", "110", "98"};
    return r;
}

struct Store {
    test::TempFolder dir;
    ProgramFolder folder{dir.path()};
    Store() { ensureWorkFiles(folder); }
    fs::path file(std::string_view name, std::string_view version) const
    {
        return folder.store() / std::string(name) / std::string(version);
    }
    std::vector<std::string> filesIn(const fs::path& p) const
    {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(p))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

} // namespace

TEST(SnapshotStore, SecondRunReplacesTheFirstWhole)
{
    Store s;
    ASSERT_TRUE(
        saveSnapshot(s.folder, "prjDemo", "1.0.0", {counted("a.frm", "82"), counted("b.frm", "1")}, "Total: 2"));
    ASSERT_TRUE(saveSnapshot(s.folder, "prjDemo", "1.0.0", {counted("c.frm", "5")}, "Total: 1"));
    EXPECT_EQ(test::readFile(s.file("prjDemo", "1.0.0")), "c.frm:Form:5:120:12:10:70:72:60:108:110:98\r\nTotal: 1\r\n");
    EXPECT_EQ(s.filesIn(s.folder.store()), (std::vector<std::string>{"prjDemo"})) << "no temporary file stays";
}

TEST(SnapshotStore, OtherVersionsAndProjectsStandBeside)
{
    Store s;
    ASSERT_TRUE(saveSnapshot(s.folder, "prjDemo", "1.0.0", {}, "Total: 0"));
    ASSERT_TRUE(saveSnapshot(s.folder, "prjDemo", "1.1.0", {}, "Total: 0"));
    ASSERT_TRUE(saveSnapshot(s.folder, "Other", "2.0.0", {}, "Total: 0"));
    EXPECT_EQ(s.filesIn(s.folder.store() / "prjDemo"), (std::vector<std::string>{"1.0.0", "1.1.0"}));
    EXPECT_EQ(test::readFile(s.file("prjDemo", "1.0.0")), "Total: 0\r\n") << "no modules: the totals line alone";
    EXPECT_TRUE(fs::exists(s.file("Other", "2.0.0")));
}

TEST(SnapshotStore, NamesThatCannotBeOneFolderOrFileStoreNothing)
{
    Store s;
    for (const char* bad : {"", ".", "..", "a/../../x", "..\\x", "/etc", "tab\there", "nl\nx"})
        EXPECT_EQ(test::failureKind(saveSnapshot(s.folder, bad, "1.0.0", {}, "Total")), SaveError::BadName) << bad;
    EXPECT_TRUE(s.filesIn(s.folder.store()).empty());
    EXPECT_TRUE(s.filesIn(s.dir.path()) == (std::vector<std::string>{"tempprjfiles", "tips.dll", "verhis"}));

    // The version ".." names no file: nothing is made, not even the
    // project folder (the history would list a project without versions).
    EXPECT_EQ(test::failureKind(saveSnapshot(s.folder, "prjDemo", "..", {}, "Total")), SaveError::BadVersion);
    EXPECT_FALSE(fs::exists(s.folder.store() / "prjDemo"));
    EXPECT_EQ(test::failureKind(saveSnapshot(s.folder, "prjDemo", "1/2", {}, "Total")), SaveError::BadVersion);
    EXPECT_TRUE(s.filesIn(s.folder.store()).empty());
    EXPECT_EQ(isStorableName("\"quoted\""), !kWindowsFileSystem) << "Windows keeps quotes out of names";
}

TEST(SnapshotStore, WithoutTheStoreFolderNothingIsStored)
{
    test::TempFolder dir;
    const ProgramFolder folder{dir.path()};
    EXPECT_EQ(test::failureKind(saveSnapshot(folder, "prjDemo", "1.0.0", {}, "Total")), SaveError::NoStore);
    EXPECT_FALSE(fs::exists(folder.store()));
}

TEST(SnapshotStore, ReadOnlySnapshotIsLeftAsItIs)
{
    Store s;
    ASSERT_TRUE(saveSnapshot(s.folder, "prjDemo", "1.0.0", {}, "Total: old"));
    fs::permissions(s.file("prjDemo", "1.0.0"), fs::perms::owner_read | fs::perms::group_read);
    EXPECT_EQ(test::failureKind(saveSnapshot(s.folder, "prjDemo", "1.0.0", {}, "Total: new")), SaveError::ReadOnly);
    EXPECT_EQ(test::readFile(s.file("prjDemo", "1.0.0")), "Total: old\r\n");
}

TEST(SnapshotStore, MoreThan32767RowsAreStoredWhole)
{
    Store s;
    std::vector<ModuleRow> rows(40000, counted("m.bas", "3"));
    ASSERT_TRUE(saveSnapshot(s.folder, "big", "1.0.0", rows, "Total: 40000"));
    const std::string text = test::readFile(s.file("big", "1.0.0"));
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 40001);
}
