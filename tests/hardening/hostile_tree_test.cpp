// Module paths that name anything but a readable regular file, and names
// that try to leave the store: each is handled in bounded time, and nothing
// is written outside the program folder.
#include "analysis/line_counter.h"
#include "base/program_folder.h"
#include "history/history_store.h"
#include "output/snapshot_store.h"
#include "program_folder.h"
#include "shell/selection.h"
#include "temp_folder.h"

#include <chrono>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace zorvika;
namespace fs = std::filesystem;

namespace {

std::string typeOf(const ProjectCount& count, std::size_t i)
{
    return count.rows.at(i).cells[ColType];
}

} // namespace

TEST(HostileTree, EverythingButARegularFileIsInvalidAndNothingBlocks)
{
    test::TempFolder dir;
    fs::create_directory(dir / "folder.frm");
    ASSERT_EQ(::mkfifo((dir / "pipe.frm").c_str(), 0644), 0);
    fs::create_symlink("loop2.frm", dir / "loop1.frm");
    fs::create_symlink("loop1.frm", dir / "loop2.frm");
    fs::create_symlink("/dev/zero", dir / "zero.frm");
    fs::create_symlink("/dev/tty", dir / "tty.frm");
    const auto start = std::chrono::steady_clock::now();
    const ProjectCount count = countProjectText("Form=folder.frm\r\nForm=pipe.frm\r\nForm=loop1.frm\r\n"
                                                "Form=zero.frm\r\nForm=tty.frm\r\nForm=/dev/null\r\n",
                                                dir.path());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    for (std::size_t i = 0; i < count.rows.size(); ++i)
        EXPECT_EQ(typeOf(count, i), "Invalid") << count.rows[i].cells[ColModule];
    EXPECT_EQ(count.totals.ta, 0);
}

TEST(HostileTree, LinkOutsideTheProjectIsFollowedLikeAnyPath)
{
    // A link is a path like any other: the project may name files outside its
    // folder ("..\shared\x.bas"), so a link that leads there is counted, and
    // nothing is written anywhere.
    test::TempFolder dir;
    dir.write("shared/x.bas", "Attribute VB_Name = \"x\"\r\nDim a\r\n");
    fs::create_directories(dir / "proj");
    fs::create_symlink(dir / "shared/x.bas", dir / "proj/link.bas");
    const ProjectCount count = countProjectText("Module=X; link.bas\r\n", dir / "proj");
    EXPECT_EQ(typeOf(count, 0), "Module");
    EXPECT_EQ(count.rows[0].cells[ColA], "2");
}

TEST(HostileTree, UnreadableFileIsInvalid)
{
    test::TempFolder dir;
    const auto file = dir.write("secret.cls", "Attribute VB_Exposed = False\r\nx\r\n");
    fs::permissions(file, fs::perms::none);
    fs::permissions(dir.path(), fs::perms::all, fs::perm_options::add);
    auto check = [&]() {
        const ProjectCount count = countProjectText("Class=S; secret.cls\r\n", dir.path());
        return typeOf(count, 0) == "Invalid";
    };
    if (::geteuid() != 0) {
        EXPECT_TRUE(check());
        return;
    }
    // Root reads every file: count as an unprivileged user in a child.
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(3);
        ::_exit(check() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 3)
        GTEST_SKIP() << "cannot drop privileges here";
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(HostileTree, BinaryModuleWithNulBytesIsCounted)
{
    test::TempFolder dir;
    dir.write("bin.frm", std::string("\0\0Attribute VB_Exposed\0\r\n\0\r\n \t\r\n'\0", 34));
    const ProjectCount count = countProjectText("Form=bin.frm\r\n", dir.path());
    EXPECT_EQ(typeOf(count, 0), "Form");
    EXPECT_EQ(count.rows[0].cells[ColA], "4");
    EXPECT_EQ(count.rows[0].cells[ColB], "1");
    EXPECT_EQ(count.rows[0].cells[ColC], "1");
    EXPECT_EQ(count.rows[0].cells[ColP], "4") << "no line begins with the header text";
}

TEST(HostileTree, ModuleOfOne200MiBLine)
{
    test::TempFolder dir;
    {
        std::ofstream out(dir / "huge.cls", std::ios::binary);
        const std::string block(1 << 20, 'x');
        for (int i = 0; i < 200; ++i)
            out << block;
    }
    const auto start = std::chrono::steady_clock::now();
    const ProjectCount count = countProjectText("Class=H; huge.cls\r\n", dir.path());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    EXPECT_EQ(count.rows[0].cells[ColA], "1");
    EXPECT_EQ(count.rows[0].cells[ColB], "0");
}

TEST(HostileTree, ProjectFileOfAMillionLines)
{
    test::TempFolder dir;
    dir.write("m.bas", "Attribute VB_Name = \"m\"\r\n");
    std::string project = "Type=Exe\r\n";
    for (int i = 0; i < 1'000'000; ++i)
        project += (i % 10 == 0) ? "Module=M; m.bas\r\n" : "Reference=*\\G{0}#1.0#0#x.tlb#X\r\n";
    const ProjectCount count = countProjectText(project, dir.path());
    EXPECT_EQ(count.rows.size(), 100'000u);
    EXPECT_EQ(count.totals.ta, 100'000);
}

TEST(HostileTree, GroupOf40000Projects)
{
    test::TempFolder dir;
    const ProgramFolder folder = test::preparedProgramFolder(dir / "program");
    dir.write("g/p/app.vbp", "Type=Exe\r\nName=\"App\"\r\n");
    std::string group = "VBGROUP 5.0\r\n";
    for (int i = 0; i < 40'000; ++i)
        group += "Project=p\\app.vbp\r\n";
    dir.write("g/big.vbg", group);
    const auto start = std::chrono::steady_clock::now();
    const auto result = makeSelection(dir / "g/big.vbg", folder);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));
    ASSERT_TRUE(result);
    EXPECT_EQ(result->size(), 40'000u);
    EXPECT_EQ(positionText(1, result->size()), "  1/40000");
    const auto last = nextStep("  39999/40000", 40'000);
    ASSERT_TRUE(last);
    EXPECT_EQ(last->index, 39'999u);
    std::size_t copies = 0;
    for (auto it = fs::directory_iterator(folder.workingCopies()); it != fs::directory_iterator(); ++it)
        ++copies;
    EXPECT_EQ(copies, 40'000u) << "one distinct working copy per project";
}

TEST(HostileTree, NamesThatTryToLeaveTheStore)
{
    test::TempFolder dir;
    const ProgramFolder folder = test::preparedProgramFolder(dir / "program");
    const std::vector<std::string> names = {"..", "a/../../x", "/tmp/evil", "..\\..\\x", "x\x01y", "x\ny",
                                            ".", "", "\x7f"};
    for (const std::string& bad : names) {
        EXPECT_FALSE(saveSnapshot(folder, bad, "1.0.0", {}, "Total"));
        EXPECT_FALSE(saveSnapshot(folder, "ok", bad, {}, "Total"));
        EXPECT_FALSE(loadSnapshot(folder, bad, "1.0.0", "Total"));
        (void)deleteVersion(folder, bad, "tips.dll");
        (void)deleteVersion(folder, "ok", bad);
        (void)deleteProject(folder, bad);
    }
    // Nothing left the program folder, and nothing in it was removed.
    std::vector<std::string> inside;
    for (const auto& e : fs::recursive_directory_iterator(dir.path()))
        inside.push_back(fs::relative(e.path(), dir.path()).string());
    std::sort(inside.begin(), inside.end());
    // (Not even a folder for "ok", whose versions named no file.)
    EXPECT_EQ(inside, (std::vector<std::string>{"program", "program/tempprjfiles", "program/tips.dll",
                                                "program/verhis"}));
}
