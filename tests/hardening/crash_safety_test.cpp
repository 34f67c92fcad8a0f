// Killing the command line at random moments while it replaces a snapshot
// or an export: the file is always the old one or the new one, whole.
#include "base/file_io.h"
#include "base/program_folder.h"
#include "history/history_store.h"
#include "process_run.h"
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

const std::string kCli = test::kCliProgram;

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

int runToEnd(const std::vector<std::string>& args)
{
    return test::runProcess(args);
}

// The signals a write is cut by: a kill that nothing can catch, and the two
// that a user or a job runner sends, after which nothing may stay behind.
constexpr int kSignals[] = {SIGKILL, SIGTERM, SIGINT};

// Temporary files of writes in `folder` (not below it).
std::vector<std::string> temporaryFiles(const fs::path& folder)
{
    std::vector<std::string> found;
    for (const auto& e : fs::directory_iterator(folder))
        if (e.path().filename().string().starts_with(kTempFilePrefix))
            found.push_back(e.path().filename().string());
    return found;
}

// A SIGKILL may leave the temporary file of the write it cut (the next start
// removes it once it is old); it is taken away here so that the rounds after
// it see only what their own run left.
void removeTemporaryFiles(const fs::path& folder)
{
    for (const std::string& name : temporaryFiles(folder))
        fs::remove(folder / name);
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
        const int signal = kSignals[round % 3];
        killed += test::signalAfter(count, signal, std::chrono::microseconds(delay(rng)));
        const std::string now = test::readFile(snapshot);
        ASSERT_TRUE(now == old || now == fresh) << "round " << round << ": " << now.size() << " bytes";
        if (signal != SIGKILL) {
            ASSERT_EQ(temporaryFiles(folder.store()), std::vector<std::string>{}) << "signal " << signal;
            ASSERT_EQ(temporaryFiles(folder.workingCopies()), std::vector<std::string>{}) << "signal " << signal;
        } else {
            removeTemporaryFiles(folder.store());
            removeTemporaryFiles(folder.workingCopies());
        }
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
        const int signal = kSignals[round % 3];
        test::signalAfter(count, signal, std::chrono::microseconds(delay(rng)));
        const std::string now = test::readFile(target);
        ASSERT_TRUE(now == old || now == fresh) << "round " << round << ": " << now.size() << " bytes";
        if (signal != SIGKILL)
            ASSERT_EQ(temporaryFiles(target.parent_path()), std::vector<std::string>{}) << "signal " << signal;
        else
            removeTemporaryFiles(target.parent_path());
    }
}
