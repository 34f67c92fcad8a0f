// Killing the command line at random moments while it replaces a snapshot
// or an export: the file is always the old one or the new one, whole.
#include "history/history_store.h"
#include "shell/message_table.h"
#include "temp_folder.h"

#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace zorvika;
namespace fs = std::filesystem;

namespace {

const std::string kCli = std::string(ZORVIKA_PROGRAM_DIR) + "/zorvika-cli";

// A project of `n` standard modules; `extra` lines make a second state.
fs::path makeProject(const test::TempFolder& dir, int n)
{
    std::string vbp = "Type=Exe\r\nName=\"Big\"\r\nMajorVer=1\r\nMinorVer=2\r\nRevisionVer=3\r\n";
    fs::create_directories(dir / "p/m");
    for (int i = 0; i < n; ++i) {
        std::string name = "m";
        name.append(std::to_string(i)).append(".bas");
        vbp += "Module=M" + std::to_string(i) + "; m\\" + name + "\r\n";
        std::ofstream(dir / ("p/m/" + name), std::ios::binary) << "Attribute VB_Name = \"M\"\r\n' x\r\n\r\nDim a\r\n";
    }
    return dir.write("p/big.vbp", vbp);
}

pid_t start(const std::vector<std::string>& args)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::FILE* null = std::fopen("/dev/null", "w");
        ::dup2(fileno(null), 1);
        ::dup2(fileno(null), 2);
        std::vector<char*> argv;
        for (const auto& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    return pid;
}

int runToEnd(const std::vector<std::string>& args)
{
    int status = 0;
    ::waitpid(start(args), &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Runs `args` and kills it after `delay`; true when it was killed before it
// ended by itself.
bool killAfter(const std::vector<std::string>& args, std::chrono::microseconds delay)
{
    const pid_t pid = start(args);
    std::this_thread::sleep_for(delay);
    const bool killed = ::kill(pid, SIGKILL) == 0;
    int status = 0;
    ::waitpid(pid, &status, 0);
    return killed && WIFSIGNALED(status);
}

} // namespace

TEST(CrashSafety, KilledSnapshotWriteLeavesOldOrNewWhole)
{
    test::TempFolder dir;
    const fs::path project = makeProject(dir, 20000);
    const ProgramFolder folder{dir / "program"};
    fs::create_directories(folder.root);
    ensureWorkFiles(folder);
    const fs::path snapshot = folder.store() / "Big" / "1.2.3";

    // The new snapshot, by an uninterrupted run; the old one differs.
    const std::vector<std::string> count = {kCli, "count", project.string(), "--save", "--program-folder",
                                            folder.root.string()};
    const auto t0 = std::chrono::steady_clock::now();
    ASSERT_EQ(runToEnd(count), 0);
    const auto runTime = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - t0);
    const std::string fresh = test::readFile(snapshot);
    ASSERT_GT(fresh.size(), 100000u);
    const std::string old = "m0.bas:Module:1:1:0:0:1:1:1:1:1:1\r\nTotal: old\r\n";

    std::mt19937 rng(20261207);
    std::uniform_int_distribution<long> delay(0, runTime.count() * 12 / 10);
    int killed = 0, sawNew = 0;
    for (int round = 0; round < 40; ++round) {
        std::ofstream(snapshot, std::ios::binary | std::ios::trunc) << old;
        killed += killAfter(count, std::chrono::microseconds(delay(rng)));
        const std::string now = test::readFile(snapshot);
        ASSERT_TRUE(now == old || now == fresh) << "round " << round << ": " << now.size() << " bytes";
        sawNew += now == fresh;
        ASSERT_EQ(listVersions(folder, "Big"), (std::vector<std::string>{"1.2.3"}));
        ASSERT_EQ(listProjects(folder), (std::vector<std::string>{"Big"}));
    }
    EXPECT_GT(killed, 0);
    RecordProperty("killed", killed);
    RecordProperty("new", sawNew);
}

TEST(CrashSafety, KilledExportLeavesOldOrNewWhole)
{
    test::TempFolder dir;
    const fs::path project = makeProject(dir, 20000);
    const ProgramFolder folder{dir / "program"};
    fs::create_directories(folder.root);
    const fs::path target = dir / "out" / "list.csv";
    fs::create_directories(target.parent_path());
    const std::vector<std::string> count = {kCli, "count", project.string(), "--output", target.string(),
                                            "--program-folder", folder.root.string()};
    const auto t0 = std::chrono::steady_clock::now();
    ASSERT_EQ(runToEnd(count), 0);
    const auto runTime = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - t0);
    const std::string fresh = test::readFile(target);
    const std::string old = "an older export\r\n";

    std::mt19937 rng(7);
    std::uniform_int_distribution<long> delay(0, runTime.count() * 12 / 10);
    for (int round = 0; round < 30; ++round) {
        std::ofstream(target, std::ios::binary | std::ios::trunc) << old;
        killAfter(count, std::chrono::microseconds(delay(rng)));
        const std::string now = test::readFile(target);
        ASSERT_TRUE(now == old || now == fresh) << "round " << round << ": " << now.size() << " bytes";
    }
}
