// The system layer's promises, checked the same way on every system the
// program is built for.
#include "analysis/line_counter.h"
#include "analysis/module_row.h"
#include "base/child_process.h"
#include "base/file_io.h"
#include "base/platform.h"
#include "base/program_folder.h"
#include "output/snapshot_store.h"

#include "temp_folder.h"

#include "failure_kind.h"
#include <gtest/gtest.h>

#include <thread>

using namespace zorvika;
using namespace zorvika::test;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

TEST(Platform, ReplacingAFileGivesTheNewBytesAndLeavesNoTemporaryFile)
{
    TempFolder dir;
    const fs::path target = dir.write("snapshot", "old\r\n");
    ASSERT_TRUE(writeFileAtomically(target, "new\r\nlines\r\n"));
    ASSERT_TRUE(writeFileAtomically(target, "newer\r\n", {}, Durability::Unsynced));
    EXPECT_EQ(readFile(target), "newer\r\n"); // bytes as written: no line-end conversion
    std::size_t entries = 0;
    for (const auto& e : fs::directory_iterator(dir.path())) {
        EXPECT_FALSE(utf8Of(e.path().filename()).starts_with(kTempFilePrefix));
        ++entries;
    }
    EXPECT_EQ(entries, 1u);
}

TEST(Platform, NonAsciiNamesGoThroughUtf8BothWays)
{
    TempFolder dir;
    const std::string name = "\xce\x88\xce\xbb\xce\xbb\xce\xb7\xce\xbd\xce\xb1\xcf\x82-M\xc3\xbcller"; // Έλληνας-Müller
    const fs::path folder = dir.path() / pathFromUtf8(name);
    fs::create_directory(folder);
    ASSERT_TRUE(writeFileAtomically(folder / pathFromUtf8(name + ".bas"), "x"));
    EXPECT_EQ(utf8Of(folder.filename()), name);
    const auto opened = OpenFolder::open(folder);
    ASSERT_TRUE(opened) << opened.reason();
    const auto names = opened->names();
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0], name + ".bas");
    const auto text = readRegularFile(folder / pathFromUtf8(names[0]));
    ASSERT_TRUE(text) << text.reason();
    EXPECT_EQ(*text, "x");
}

TEST(Platform, AFolderOpenedWithoutFollowingRefusesALink)
{
    TempFolder dir;
    fs::create_directory(dir / "real");
    std::error_code ec;
    fs::create_directory_symlink(dir / "real", dir / "link", ec);
    if (ec)
        GTEST_SKIP() << "links cannot be made here: " << ec.message();
    EXPECT_TRUE(OpenFolder::open(dir / "link"));
    EXPECT_FALSE(OpenFolder::open(dir / "link", true));
    const auto opened = OpenFolder::open(dir.path());
    ASSERT_TRUE(opened) << opened.reason();
    const auto entry = opened->entry("link");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->kind, EntryKind::Link);
    // Nothing is written through a link in the store.
    const ProgramFolder folder{dir.path()};
    fs::create_directory(folder.store());
    fs::create_directory_symlink(dir / "real", folder.store() / "App", ec);
    ASSERT_FALSE(ec);
    EXPECT_EQ(test::failureKind(saveSnapshot(folder, "App", "1.0", {}, "Totals")), SaveError::Failed);
    EXPECT_TRUE(fs::is_empty(dir / "real"));
}

TEST(Platform, NamesTheSystemCannotStoreAreRefused)
{
    struct Case {
        const char* name;
        bool storableOnWindows;
    };
    const Case cases[] = {
        {"CON", false},  {"lpt1", false},      {"Com9.txt", false}, {"NUL .bas", false}, {"a:b", false},
        {"x?y", false},  {"trailing.", false}, {"space ", false},   {"<in>", false},     {"App", true},
        {"CONSOLE", true}, {"LPT10", true},    {"1.0.3", true},     {"M\xc3\xbcller", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(isStorableName(c.name), !kWindowsFileSystem || c.storableOnWindows) << c.name;
    TempFolder dir;
    const ProgramFolder folder{dir.path()};
    fs::create_directory(folder.store());
    for (const Case& c : cases) {
        if (c.storableOnWindows || !kWindowsFileSystem)
            continue;
        EXPECT_EQ(test::failureKind(saveSnapshot(folder, "App", c.name, {}, "Totals")), SaveError::BadVersion)
            << c.name;
        EXPECT_EQ(test::failureKind(saveSnapshot(folder, c.name, "1.0", {}, "Totals")), SaveError::BadName)
            << c.name;
    }
}

TEST(Platform, ATimeOutEndsTheChildAndEverythingItStarted)
{
    TempFolder dir;
    const fs::path beats = dir / "beats";
    // Long enough for two programs to start under an emulator too.
    const ChildExit r = runChild(pathFromUtf8(ZORVIKA_BEATING_CHILD), {"tree", utf8Of(beats)}, 8s);
    ASSERT_FALSE(r);
    EXPECT_EQ(r.kind(), RunError::TimedOut) << r.reason();
    // The grandchild was beating before the time ran out ...
    ASSERT_TRUE(fs::exists(beats));
    std::this_thread::sleep_for(100ms);
    const auto before = fs::file_size(beats);
    std::this_thread::sleep_for(500ms);
    // ... and beats no more.
    EXPECT_EQ(fs::file_size(beats), before);
}

TEST(Platform, AChildsExitStatusComesBack)
{
    const ChildExit r = runChild(pathFromUtf8(ZORVIKA_BEATING_CHILD), {"exit", "7"}, 20s);
    ASSERT_TRUE(r) << r.reason();
    EXPECT_EQ(*r, 7);
}

TEST(Platform, TheProgramFolderIsTheFolderOfTheRunningProgram)
{
    const std::optional<fs::path> self = executablePath();
    ASSERT_TRUE(self);
    EXPECT_TRUE(fs::equivalent(*self, fs::path(pathFromUtf8(ZORVIKA_PLATFORM_TEST))));
    // The build folder is writable, so the program folder is the program's own.
    EXPECT_TRUE(fs::equivalent(ProgramFolder::ofExecutable().root, self->parent_path()));
}

TEST(Platform, AbsoluteModulePathsAreTheSystemsOwn)
{
    TempFolder dir;
    dir.write("src/m.bas", "Attribute VB_Name = \"M\"\r\nSub A()\r\nEnd Sub\r\n");
    std::string absolute = utf8Of(dir.path() / "src" / "m.bas");
    std::string upper = absolute;
    for (char& c : upper)
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    const ProjectCount count = countProjectText("Module=M; " + absolute + "\r\nModule=N; " + upper
                                                    + "\r\nModule=O; C:\\zorvika-nowhere\\m.bas\r\n",
                                                dir.path() / "elsewhere");
    ASSERT_EQ(count.rows.size(), 3u);
    // This system's own absolute path is read as it is written ...
    EXPECT_EQ(count.rows[0].cells[ColType], "Module");
    // ... in any letter case where the system ignores case (on Windows this
    // path also starts with a drive letter).
    if constexpr (kFileNamesIgnoreCase) {
        EXPECT_EQ(count.rows[1].cells[ColType], "Module");
    }
    EXPECT_EQ(count.rows[2].cells[ColType], "Invalid");
}
