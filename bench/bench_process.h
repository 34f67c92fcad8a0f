#pragma once
// Running a program of a benchmark as a whole process, its output thrown
// away: wall time, peak memory and exit status.
#include <chrono>
#include <cstdio>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

struct Measure {
    double seconds = -1; // median; -1: not measured
    long peakKiB = 0;    // the largest of the runs
    int status = 0;      // the last run's exit status
    int runs = 0;
};

// Runs a command with its output thrown away: wall time, peak memory, status.
inline Measure runOnce(const std::vector<std::string>& argv)
{
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::FILE* null = std::fopen("/dev/null", "w");
        if (null) {
            ::dup2(fileno(null), 1);
            ::dup2(fileno(null), 2);
        }
        std::vector<char*> args;
        for (const auto& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    int status = 0;
    struct rusage usage {};
    ::wait4(pid, &status, 0, &usage);
    Measure m;
    m.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    m.peakKiB = usage.ru_maxrss;
    m.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    m.runs = 1;
    return m;
}

