#pragma once
// Running a program of the build as its own process: its output captured in
// files, or standard output sent somewhere else (a full device, nowhere).
#include "temp_folder.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace zorvika::test {

inline const std::string kCliProgram = std::string(ZORVIKA_PROGRAM_DIR) + "/zorvika-cli";

struct ProcessOptions {
    std::string stdoutPath;      // where standard output goes ("" : /dev/null)
    std::string stderrPath;      // where standard error goes ("" : /dev/null)
    bool closeStdout = false;    // start with standard output closed
    std::vector<std::pair<std::string, std::string>> env; // set in the child
};

// Starts the program; the child starts with SIGINT, SIGTERM and SIGHUP at
// their default, whatever the test runner set.
inline pid_t startProcess(const std::vector<std::string>& args, const ProcessOptions& options = {})
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::signal(SIGINT, SIG_DFL);
        std::signal(SIGTERM, SIG_DFL);
        std::signal(SIGHUP, SIG_DFL);
        auto redirect = [](const std::string& path, int fd) {
            const int f = ::open(path.empty() ? "/dev/null" : path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(f, fd);
            ::close(f);
        };
        redirect(options.stdoutPath, 1);
        redirect(options.stderrPath, 2);
        if (options.closeStdout)
            ::close(1);
        for (const auto& [name, value] : options.env)
            ::setenv(name.c_str(), value.c_str(), 1);
        std::vector<char*> argv;
        for (const auto& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    return pid;
}

// The exit status, or 128 + the signal that ended it.
inline int waitForProcess(pid_t pid)
{
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

inline int runProcess(const std::vector<std::string>& args, const ProcessOptions& options = {})
{
    return waitForProcess(startProcess(args, options));
}

// Sends `signal` after `delay`; true when the signal ended the process.
inline bool signalAfter(const std::vector<std::string>& args, int signal, std::chrono::microseconds delay,
                        const ProcessOptions& options = {})
{
    const pid_t pid = startProcess(args, options);
    std::this_thread::sleep_for(delay);
    const bool sent = ::kill(pid, signal) == 0;
    return sent && waitForProcess(pid) == 128 + signal;
}

} // namespace zorvika::test
