#include "history/history_store.h"

#include "cli_support.h"

#include "base/file_io.h"
#include "base/program_folder.h"
#include "output/snapshot_store.h"
#include "temp_folder.h"

#include "failure_kind.h"
#include <gtest/gtest.h>

using namespace zorvika;
namespace fs = std::filesystem;

namespace {

struct Store {
    test::TempFolder dir;
    ProgramFolder folder{dir.path()};
    Store() { ensureWorkFiles(folder); }
    fs::path put(std::string_view project, std::string_view version, std::string_view text) const
    {
        return dir.write("verhis/" + std::string(project) + "/" + std::string(version), text);
    }
};

void makeReadOnly(const fs::path& p)
{
    fs::permissions(p, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
}

} // namespace

TEST(HistoryListing, ProjectsAreFoldersAndVersionsAreFiles)
{
    Store s;
    s.put("Beta", "1.1.0", "Total: 0\r\n");
    s.put("Alpha", "1.0.0", "Total: 0\r\n");
    s.put("Alpha", "1.1.0", "Total: 0\r\n");
    s.dir.write("verhis/loose-file", "x");
    fs::create_directories(s.folder.store() / "Alpha" / "subfolder");
    s.dir.write("verhis/Alpha/" + std::string(kTempFilePrefix) + "abc", "half written");
    EXPECT_EQ(listProjects(s.folder), (std::vector<std::string>{"Alpha", "Beta"}));
    EXPECT_EQ(listVersions(s.folder, "Alpha"), (std::vector<std::string>{"1.0.0", "1.1.0"}));
    EXPECT_TRUE(listVersions(s.folder, "..").empty());
    EXPECT_TRUE(listVersions(s.folder, "").empty());
}

TEST(HistoryListing, MissingStoreListsNothing)
{
    test::TempFolder dir;
    EXPECT_TRUE(listProjects(ProgramFolder{dir.path()}).empty());
}

TEST(SnapshotLoad, RowsAndTotalsLine)
{
    Store s;
    s.put("prjDemo", "1.0.0",
          "b.frm:Form:1:2:3:4:5:6:7:8:9:10\r\n"
          "\r\n"
          "C:\\abs\\a.frm:Form:82:120:12:10:70:72:60:108:110:98\r\n"
          "Total: 2 modules: 83, 122, 15, 14, 75, 78, 67, 116, 119, 108 (order)\r\n");
    const Result<Snapshot> loaded = loadSnapshot(s.folder, "prjDemo", "1.0.0", "Total");
    ASSERT_TRUE(loaded) << loaded.reason();
    const Snapshot& snap = *loaded;
    ASSERT_EQ(snap.rows.size(), 2u);
    EXPECT_EQ(snap.rows[0].cells[0], "b.frm") << "rows in file order";
    EXPECT_EQ(snap.rows[1].cells[0], "C:\\abs\\a.frm");
    EXPECT_EQ(snap.totalsLabel, "Total: 2 modules: 83, 122, 15, 14, 75, 78, 67, 116, 119, 108 (order)");
    EXPECT_EQ(loadSnapshot(s.folder, "prjDemo", "1.0.0", "total")->totalsLabel, "") << "TOTAL2 compares by case";
    EXPECT_EQ(loadSnapshot(s.folder, "prjDemo", "1.0.0", "")->totalsLabel, "");
}

TEST(SnapshotLoad, LineEndsOfEveryKindAndOldCodePage)
{
    Store s;
    s.put("p", "1", "a.frm:Form:1:2:3:4:5:6:7:8:9:10\nM\xFC.bas:Module:1:2:3:4:5:6:7:8:9:10\rTotal:x");
    const Result<Snapshot> loaded = loadSnapshot(s.folder, "p", "1", "Total");
    ASSERT_TRUE(loaded) << loaded.reason();
    const Snapshot& snap = *loaded;
    ASSERT_EQ(snap.rows.size(), 2u);
    EXPECT_EQ(snap.rows[1].cells[0], "M\xC3\xBC.bas");
    EXPECT_EQ(snap.totalsLabel, "Total:x");
}

TEST(SnapshotLoad, UnreadableOrHostileNamesGiveNoSnapshotButTheirName)
{
    Store s;
    fs::create_directories(s.folder.store() / "p" / "dir");
    s.dir.write("secret", "a:b:c:d:e:f:g:h:i:j:k:l\r\n");
    for (const auto& [project, version] : std::vector<std::pair<std::string, std::string>>{
             {"none", "1.0.0"}, {"p", "dir"}, {"..", "secret"}}) {
        SCOPED_TRACE(project + " " + version);
        const Result<Snapshot> loaded = loadSnapshot(s.folder, project, version, "Total");
        ASSERT_FALSE(loaded);
        EXPECT_NE(loaded.reason().find(version), std::string::npos) << loaded.reason();
    }
}

TEST(HistoryDelete, VersionAndProject)
{
    Store s;
    s.put("A", "1.0.0", "Total\r\n");
    s.put("A", "1.1.0", "Total\r\n");
    EXPECT_TRUE(deleteVersion(s.folder, "A", "1.0.0"));
    EXPECT_EQ(listVersions(s.folder, "A"), (std::vector<std::string>{"1.1.0"}));
    EXPECT_TRUE(deleteVersion(s.folder, "A", "")) << "an empty version names the folder: nothing to delete";
    EXPECT_TRUE(fs::is_directory(s.folder.store() / "A"));
    EXPECT_TRUE(deleteProject(s.folder, "A"));
    EXPECT_TRUE(listProjects(s.folder).empty());
    EXPECT_TRUE(fs::is_directory(s.folder.store()));
}

TEST(HistoryDelete, ReadOnlyItemsStayAndAreReported)
{
    Store s;
    makeReadOnly(s.put("A", "1.0.0", "Total\r\n"));
    s.put("A", "2.0.0", "Total\r\n");
    EXPECT_EQ(test::failureKind(deleteVersion(s.folder, "A", "1.0.0")), DeleteError::Kept);
    EXPECT_EQ(test::failureKind(deleteProject(s.folder, "A")), DeleteError::Kept);
    EXPECT_EQ(listVersions(s.folder, "A"), (std::vector<std::string>{"1.0.0"})) << "the writable one went";
}

TEST(HistoryDelete, NeverLeavesTheStore)
{
    Store s;
    s.put("A", "1.0.0", "Total\r\n");
    EXPECT_FALSE(deleteProject(s.folder, "")) << "the store folder itself stays, so DEL shows";
    EXPECT_FALSE(deleteProject(s.folder, ".."));
    EXPECT_FALSE(deleteProject(s.folder, "A/../.."));
    EXPECT_TRUE(fs::exists(s.folder.messageTable()));
    EXPECT_TRUE(fs::exists(s.folder.store() / "A" / "1.0.0"));
    const auto above = deleteVersion(s.folder, "..", "tips.dll");
    EXPECT_EQ(test::failureKind(above), DeleteError::Refused)
        << "a name that is no stored item is refused, not taken as deleted";
    EXPECT_TRUE(fs::exists(s.folder.messageTable()));

    // A link inside a project folder is removed, never followed.
    const auto outside = s.dir.write("outside/keep.txt", "keep");
    std::error_code linkError;
    fs::create_directory_symlink(outside.parent_path(), s.folder.store() / "A" / "link", linkError);
    if (linkError)
        GTEST_SKIP() << "links cannot be made here: " << linkError.message();
    EXPECT_TRUE(deleteProject(s.folder, "A"));
    EXPECT_EQ(test::readFile(outside), "keep");
}

// Every name the history lists can be shown and deleted, also names the
// store would not make itself; a name that can be no stored item is
// refused with a reason, and the delete of the command line exits 1.
TEST(HistoryDelete, WhatIsListedCanBeShownAndDeletedAndTheRestIsRefused)
{
    test::Cli cli;
    std::vector<std::string> odd = {"-v", " 1.0"};
#ifndef _WIN32
    // Names a POSIX system holds that Windows cannot; "a\b" is one name
    // here, two there.
    odd.insert(odd.end(), {"a\\b", "caf\xe9", "1.0 ", "x:y", "CON", "a\tb"});
#endif
    const ProgramFolder folder{cli.program.path()};
    for (const std::string& version : odd) {
        SCOPED_TRACE(version);
        const fs::path file = cli.program.write("verhis/My Proj/" + version, "m.bas:Module:1:2:0:0:1:1:1:2:2:2\r\n");
        EXPECT_EQ(listVersions(folder, "My Proj"), std::vector<std::string>{version});
        const auto shown = cli.run({"history", "--", "My Proj", version});
        EXPECT_EQ(shown.status, 0) << shown.err;
        EXPECT_NE(shown.out.find("m.bas\tModule\t1\t2"), std::string::npos) << shown.out;
        const auto deleted = cli.run({"history", "--delete", "--", "My Proj", version});
        EXPECT_EQ(deleted.status, 0) << deleted.err;
        EXPECT_FALSE(fs::exists(file));
    }
#ifndef _WIN32
    const auto project = cli.program.write("verhis/a\\b/1.0.0", "x\r\n");
    EXPECT_TRUE(deleteProject(folder, "a\\b"));
    EXPECT_FALSE(fs::exists(project.parent_path()));
#endif

    const fs::path kept = cli.program.write("verhis/P/1.0.0", "x\r\n");
    for (const auto& [name, version] : std::vector<std::pair<std::string, std::string>>{
             {"..", "tips.dll"}, {"P/..", "P"}, {"P", "../P/1.0.0"}, {"P", ".."}, {"P", std::string("a\0b", 3)}}) {
        SCOPED_TRACE(name + " " + version);
        EXPECT_EQ(test::failureKind(deleteVersion(folder, name, version)), DeleteError::Refused);
    }
    EXPECT_EQ(test::failureKind(deleteProject(folder, "P/../P")), DeleteError::Refused);
    EXPECT_TRUE(fs::exists(kept));
    EXPECT_TRUE(fs::exists(folder.messageTable()));
}
