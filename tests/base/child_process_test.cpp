#include "base/child_process.h"

#include "stand_in_programs.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <thread>

using namespace zorvika;
using namespace zorvika::test;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// A process that is gone, or a zombie that nobody has reaped yet (the
// container's first process may not reap orphans): either way not running.
bool isRunning(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line))
        return false;
    const auto close = line.rfind(')');
    return close != std::string::npos && close + 2 < line.size() && line[close + 2] != 'Z';
}

pid_t readPid(const fs::path& file)
{
    // The script writes the file right after it starts the background job.
    for (int i = 0; i < 200; ++i) {
        std::ifstream in(file);
        long pid = 0;
        if (in >> pid && pid > 0)
            return static_cast<pid_t>(pid);
        std::this_thread::sleep_for(10ms);
    }
    return -1;
}

} // namespace

TEST(ChildProcess, GivesTheExitStatusAndKeepsTheOutput)
{
    TempFolder dir;
    const ChildExit r = runChild("/bin/sh", {"-c", "echo said-this; echo and-that >&2; exit 3"}, 10s, dir / "log");
    ASSERT_TRUE(r) << r.reason();
    EXPECT_EQ(*r, 3);
    EXPECT_EQ(readFile(dir / "log"), "said-this\nand-that\n");
}

TEST(ChildProcess, ReadsNoInput)
{
    // With input from /dev/null, `cat` ends at once instead of waiting.
    const auto start = std::chrono::steady_clock::now();
    const ChildExit r = runChild("/bin/cat", {}, 10s);
    ASSERT_TRUE(r) << r.reason();
    EXPECT_EQ(*r, 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
}

TEST(ChildProcess, AProgramThatIsNotThereIsNotStarted)
{
    TempFolder dir;
    const ChildExit r = runChild(dir / "no-such-program", {}, 10s);
    ASSERT_FALSE(r);
    EXPECT_EQ(r.kind(), RunError::NotStarted) << r.reason();
    EXPECT_NE(r.reason().find("no-such-program"), std::string::npos) << r.reason();
}

TEST(ChildProcess, TimeOutEndsTheProgramAndWhatItStarted)
{
    TempFolder dir;
    const fs::path pidFile = dir / "pid";
    const auto start = std::chrono::steady_clock::now();
    const ChildExit r = runChild("/bin/sh", {"-c", "sleep 60 & echo $! > '" + pidFile.string() + "'; wait"}, 500ms);
    const auto took = std::chrono::steady_clock::now() - start;
    ASSERT_FALSE(r);
    EXPECT_EQ(r.kind(), RunError::TimedOut) << r.reason();
    EXPECT_NE(r.reason().find("did not finish"), std::string::npos) << r.reason();
    EXPECT_GE(took, 500ms);
    EXPECT_LT(took, 5s);
    const pid_t sleeper = readPid(pidFile);
    ASSERT_GT(sleeper, 0);
    EXPECT_FALSE(isRunning(sleeper)) << "the program's own child was left running";
}

TEST(ChildProcess, WhatTheProgramLeftRunningIsEndedWithIt)
{
    TempFolder dir;
    const fs::path pidFile = dir / "pid";
    const ChildExit r = runChild("/bin/sh", {"-c", "sleep 60 & echo $! > '" + pidFile.string() + "'; exit 0"}, 10s);
    ASSERT_TRUE(r) << r.reason();
    EXPECT_EQ(*r, 0);
    const pid_t sleeper = readPid(pidFile);
    ASSERT_GT(sleeper, 0);
    EXPECT_FALSE(isRunning(sleeper));
}

TEST(ChildProcess, EndedBySignal)
{
    const ChildExit r = runChild("/bin/sh", {"-c", "kill -TERM $$"}, 10s);
    ASSERT_FALSE(r);
    EXPECT_EQ(r.kind(), RunError::Killed) << r.reason();
    EXPECT_NE(r.reason().find("signal 15"), std::string::npos) << r.reason();
}

TEST(FindProgram, FirstNameFoundInTheSearchPathAsAnExecutableFile)
{
    TempFolder a, b;
    script(b, "libreoffice", "exit 0");
    a.write("soffice", "not executable");
    fs::create_directories(a / "soffice-folder");
    const std::string path = a.path().string() + ":" + b.path().string();
    // "soffice" in `a` cannot be run, so the second name is taken.
    EXPECT_EQ(findProgram({"soffice", "libreoffice"}, path), b / "libreoffice");
    EXPECT_EQ(findProgram({"soffice-folder"}, path), std::nullopt) << "a folder is no program";
    script(b, "soffice", "exit 0");
    EXPECT_EQ(findProgram({"soffice", "libreoffice"}, path), b / "soffice") << "the first name wins";
    EXPECT_EQ(findProgram({"soffice"}, ""), std::nullopt);
    EXPECT_EQ(findProgram({"soffice"}, (a / "missing").string()), std::nullopt);
}

TEST(FindProgram, UsesThisProcessPath)
{
    TempFolder dir;
    const auto program = script(dir, "soffice", "exit 0");
    {
        EnvOverride path("PATH", dir.path().string());
        EXPECT_EQ(findProgramOnPath({"soffice", "libreoffice"}), program);
    }
    TempFolder empty;
    EnvOverride path("PATH", empty.path().string());
    EXPECT_EQ(findProgramOnPath({"soffice", "libreoffice"}), std::nullopt);
}
