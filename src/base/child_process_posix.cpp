// Running a child program on POSIX systems: posix_spawn into a process
// group of its own, which a time-out kills whole.
#include "base/child_process.h"

#include "base/file_io.h"
#include "base/interrupt_cleanup.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace zorvika {

namespace fs = std::filesystem;

namespace {

void pause(std::chrono::milliseconds span)
{
    timespec ts {};
    ts.tv_sec = static_cast<time_t>(span.count() / 1000);
    ts.tv_nsec = static_cast<long>(span.count() % 1000) * 1000000L;
    while (::nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

// True once the child has ended; it stays a zombie (WNOWAIT), so its process
// id, and with it the id of its group, cannot be taken by another process
// while the group is still signalled.
bool hasEnded(pid_t pid)
{
    for (;;) {
        siginfo_t info {};
        if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0)
            return info.si_pid == pid;
        if (errno != EINTR)
            return true; // not our child any more: nothing to wait for
    }
}

int reap(pid_t pid)
{
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return status;
}

// True while a process of `group` is still running. A zombie does not count:
// it holds no files, and where nothing reaps orphans it stays for good.
bool groupIsRunning(pid_t group)
{
    if (::kill(-group, 0) != 0)
        return false;
    std::error_code ec;
    fs::directory_iterator it("/proc", ec);
    if (ec)
        return true; // no process table to look at: take the group as running
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec)
            return true;
        const std::string name = it->path().filename().string();
        if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const Result<std::string, ReadError> read = readRegularFile(it->path() / "stat");
        if (!read)
            continue;
        const std::string& stat = *read;
        // "pid (command) state ppid pgrp ...": the command may hold spaces
        // and parentheses, so the fields are counted after the last ')'.
        const auto close = stat.rfind(')');
        if (close == std::string::npos)
            continue;
        char state = 0;
        long ppid = 0, pgrp = 0;
        if (std::sscanf(stat.c_str() + close + 1, " %c %ld %ld", &state, &ppid, &pgrp) == 3 && pgrp == group
            && state != 'Z' && state != 'X')
            return true;
    }
    return false;
}

// Waits a short while for the members of a killed group to be gone, so that
// files they held are no longer in use when the caller removes them.
void awaitGroupGone(pid_t group)
{
    for (int i = 0; i < 200 && groupIsRunning(group); ++i)
        pause(std::chrono::milliseconds(10));
}

struct SpawnSetup {
    posix_spawn_file_actions_t actions {};
    posix_spawnattr_t attr {};
    bool haveActions = false;
    bool haveAttr = false;
    ~SpawnSetup()
    {
        if (haveActions)
            posix_spawn_file_actions_destroy(&actions);
        if (haveAttr)
            posix_spawnattr_destroy(&attr);
    }
};

} // namespace

ChildExit runChild(const fs::path& program, const std::vector<std::string>& args,
                   std::chrono::milliseconds timeLimit, const fs::path& logFile)
{
    SpawnSetup setup;
    if (posix_spawn_file_actions_init(&setup.actions) != 0 || posix_spawnattr_init(&setup.attr) != 0)
        return fail(RunError::NotStarted, "cannot prepare a process");
    setup.haveActions = setup.haveAttr = true;
    const std::string log = logFile.empty() ? std::string("/dev/null") : logFile.string();
    posix_spawn_file_actions_addopen(&setup.actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&setup.actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    posix_spawn_file_actions_adddup2(&setup.actions, 1, 2);

    // A group of its own, so that a time-out ends every process it started;
    // no blocked or ignored signals inherited from this program.
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    sigdelset(&all, SIGKILL);
    sigdelset(&all, SIGSTOP);
    posix_spawnattr_setflags(&setup.attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    posix_spawnattr_setpgroup(&setup.attr, 0);
    posix_spawnattr_setsigmask(&setup.attr, &none);
    posix_spawnattr_setsigdefault(&setup.attr, &all);

    std::vector<std::string> argStore;
    argStore.reserve(args.size() + 1);
    argStore.push_back(program.string());
    argStore.insert(argStore.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : argStore)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    pid_t pid = -1;
    // Started and registered in one step: an interrupt from here on ends the
    // whole group too.
    auto lock = cleanupLock();
    const int rc = posix_spawn(&pid, program.c_str(), &setup.actions, &setup.attr, argv.data(), environ);
    if (rc != 0)
        return systemFailure(rc).about(utf8Of(program)).as(RunError::NotStarted);
    CleanupEntry group(CleanupKind::ProcessGroup, {}, pid);
    lock.unlock();

    const auto deadline = std::chrono::steady_clock::now() + timeLimit;
    bool ended = hasEnded(pid);
    while (!ended && std::chrono::steady_clock::now() < deadline) {
        pause(std::chrono::milliseconds(5));
        ended = hasEnded(pid);
    }
    // The child is a zombie or still running: either way its group id is
    // still its own, so this reaches only what it started.
    ::kill(-pid, SIGKILL);
    const int status = reap(pid);
    awaitGroupGone(pid);
    group.release();
    if (!ended)
        return timedOutChild(program, timeLimit);
    if (status >= 0 && WIFEXITED(status))
        return WEXITSTATUS(status);
    return fail(RunError::Killed,
                program.filename().string()
                    + (status >= 0 && WIFSIGNALED(status) ? " was ended by signal " + std::to_string(WTERMSIG(status))
                                                           : std::string(" ended abnormally")));
}

} // namespace zorvika
