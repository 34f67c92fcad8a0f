// Where a program finds its files: beside itself in a writable folder that
// is no install, else in the install's share folder (or beside itself) and
// the user's data folder.
#include "shell/message_table.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

using namespace zorvika;
namespace fs = std::filesystem;

namespace {

struct LayoutCase {
    const char* name;
    std::vector<std::string> files; // made below the temporary folder
    std::string executableFolder;
    std::string xdgDataHome; // "@" stands for the temporary folder
    std::string expectedRoot;
    std::string expectedData; // empty: beside the program
};

void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.name; }

class ProgramFolderLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(ProgramFolderLayout, FollowsWhereTheProgramLies)
{
    const LayoutCase& c = GetParam();
    test::TempFolder dir;
    for (const std::string& file : c.files)
        dir.write(file, "[Message & Text]\n");
    fs::create_directories(dir / c.executableFolder);
    auto at = [&](const std::string& rel) { return rel.empty() ? fs::path() : (dir / rel).lexically_normal(); };
    const std::string xdg = c.xdgDataHome.starts_with('@') ? (dir / c.xdgDataHome.substr(1)).string() : c.xdgDataHome;
    const ProgramFolder folder = programFolderFor(dir / c.executableFolder, xdg, (dir / "home").string());
    EXPECT_EQ(folder.root.lexically_normal(), at(c.expectedRoot));
    EXPECT_EQ(folder.data.lexically_normal(), at(c.expectedData));
    EXPECT_EQ(folder.store().lexically_normal(), at(c.expectedData.empty() ? c.expectedRoot : c.expectedData) / "verhis");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProgramFolderLayout,
    ::testing::Values(
        LayoutCase{"BuildFolder", {"build/bin/tips.dll"}, "build/bin", "@xdg", "build/bin", ""},
        LayoutCase{"UnpackedCopyNamedBin", {"copy/bin/tips.dll"}, "copy/bin", "@xdg", "copy/bin", ""},
        LayoutCase{"ShareFolderWithoutTable", {"usr/share/zorvika/help/index.html"}, "usr/bin", "@xdg", "usr/bin", ""},
        LayoutCase{"Installed", {"usr/share/zorvika/tips.dll"}, "usr/bin", "@xdg", "usr/share/zorvika", "xdg/zorvika"},
        LayoutCase{"InstalledWithoutXdg", {"opt/z/share/zorvika/tips.dll"}, "opt/z/bin", "", "opt/z/share/zorvika",
                   "home/.local/share/zorvika"},
        LayoutCase{"RelativeXdgIsIgnored", {"usr/share/zorvika/tips.dll"}, "usr/bin", "rel", "usr/share/zorvika",
                   "home/.local/share/zorvika"},
        // What the Windows setup program installs: one writable folder with
        // the tables beside the programs and the file it writes.
        LayoutCase{"InstalledBySetup", {"Programs/ZORVIKA/tips.dll", "Programs/ZORVIKA/installed.txt"},
                   "Programs/ZORVIKA", "@xdg", "Programs/ZORVIKA", "xdg/zorvika"},
        LayoutCase{"SetupMarkerOfAnotherFolder", {"copy/installed.txt", "copy/bin/tips.dll", "copy/bin/x/installed.txt"},
                   "copy/bin", "@xdg", "copy/bin", ""}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace

TEST(ProgramFolder, InstalledWorkFilesGoToTheDataFolderOnly)
{
    test::TempFolder dir;
    dir.write("usr/share/zorvika/tips.dll", "[Message & Text]\nTITLE=T\n");
    fs::create_directories(dir / "usr/bin");
    const ProgramFolder folder = programFolderFor(dir / "usr/bin", (dir / "xdg").string(), "/nonexistent");
    ensureWorkFiles(folder);
    EXPECT_TRUE(fs::is_directory(dir / "xdg/zorvika/verhis"));
    EXPECT_TRUE(fs::is_directory(dir / "xdg/zorvika/tempprjfiles"));
    EXPECT_FALSE(fs::exists(dir / "usr/share/zorvika/verhis"));
    EXPECT_FALSE(fs::exists(dir / "usr/bin/verhis"));
    EXPECT_EQ(MessageTable(folder).get("TITLE"), "T");
}

#ifndef _WIN32 // permission bits
TEST(ProgramFolder, AFolderTheUserCannotWriteKeepsTheDataInTheUsersFolder)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root can write to every folder";
    test::TempFolder dir;
    fs::create_directories(dir / "opt/zorvika");
    fs::permissions(dir / "opt/zorvika", fs::perms::owner_read | fs::perms::owner_exec);
    const ProgramFolder folder = programFolderFor(dir / "opt/zorvika", (dir / "xdg").string(), "/nonexistent");
    EXPECT_EQ(folder.root, dir / "opt/zorvika");
    EXPECT_EQ(folder.data, dir / "xdg/zorvika");
}
#endif

// A folder given with --program-folder: an installed program reads its
// shipped table where that folder has none (and makes no empty one there);
// a program that is not installed makes the empty table, as on a first start.
TEST(ProgramFolder, AGivenFolderWithoutTableReadsTheShippedOneOnlyWhenInstalled)
{
    struct Case {
        const char* name;
        bool installed;
        bool givenHasTable;
        const char* title; // what the table gives
        bool emptyTableMade;
    };
    for (const Case c : {Case{"installed, no table", true, false, "Shipped", false},
                         Case{"installed, own table", true, true, "Mine", false},
                         Case{"not installed, no table", false, false, "", true},
                         Case{"not installed, own table", false, true, "Mine", false}}) {
        SCOPED_TRACE(c.name);
        test::TempFolder dir;
        dir.write("usr/share/zorvika/tips.dll", "[Message & Text]\nTITLE=Shipped\n");
        fs::create_directories(dir / "usr/bin");
        fs::create_directories(dir / "build/bin");
        const ProgramFolder own = programFolderFor(dir / (c.installed ? "usr/bin" : "build/bin"),
                                                   (dir / "xdg").string(), "/nonexistent");
        ASSERT_EQ(own.data.empty(), !c.installed);
        fs::create_directories(dir / "new");
        if (c.givenHasTable)
            dir.write("new/tips.dll", "[Message & Text]\nTITLE=Mine\n");
        const ProgramFolder given = givenProgramFolder(dir / "new", own);
        ensureWorkFiles(given);
        EXPECT_EQ(MessageTable(given).get("TITLE"), c.title);
        EXPECT_TRUE(fs::is_directory(dir / "new/verhis"));
        EXPECT_EQ(fs::exists(dir / "new/tips.dll"), c.givenHasTable || c.emptyTableMade);
        EXPECT_EQ(test::readFile(dir / "usr/share/zorvika/tips.dll"), "[Message & Text]\nTITLE=Shipped\n");
    }
}
