// The running program on Linux and other POSIX systems: `argv` as it is,
// the environment, the C library's time zone, and interrupts handed from a
// signal handler to a thread of their own through a pipe.
#include "base/system_processes.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace zorvika {

std::vector<std::string> startProcess(int argc, char** argv)
{
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

std::optional<std::string> environmentVariable(const char* name)
{
    const char* value = std::getenv(name);
    if (!value)
        return std::nullopt;
    return std::string(value);
}

char pathListSeparator() { return ':'; }

std::vector<std::string> programFileNames(const std::string& name) { return {name}; }

std::tm localTime(std::time_t when)
{
    std::tm local {};
    localtime_r(&when, &local);
    return local;
}

std::tm universalTime(std::time_t when)
{
    std::tm utc {};
    gmtime_r(&when, &utc);
    return utc;
}

unsigned long processNumber() { return static_cast<unsigned long>(::getpid()); }

namespace {

int gSignalPipe[2] = {-1, -1};
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

// The handler only hands the signal to the helper thread.
extern "C" void handOver(int signal)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t w = ::write(gSignalPipe[1], &byte, 1);
    errno = saved;
}

} // namespace

void installInterruptHandler(void (*onInterrupt)(int))
{
    if (::pipe2(gSignalPipe, O_CLOEXEC) != 0)
        return;
    std::thread([onInterrupt] {
        for (;;) {
            unsigned char byte = 0;
            const ssize_t r = ::read(gSignalPipe[0], &byte, 1);
            if (r == 1)
                onInterrupt(byte);
            else if (r < 0 && errno == EINTR)
                continue;
            else if (r <= 0)
                return;
        }
    }).detach();
    for (const int s : kSignals) {
        struct sigaction old {};
        if (::sigaction(s, nullptr, &old) != 0 || old.sa_handler == SIG_IGN)
            continue; // an ignored signal stays ignored
        struct sigaction action {};
        action.sa_handler = handOver;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(s, &action, nullptr);
    }
}

void endByInterrupt(int signal)
{
    std::signal(signal, SIG_DFL);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signal);
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    ::kill(::getpid(), signal);
    // Should the signal not end the program (it cannot be, but be sure).
    ::_exit(128 + signal);
}

void endProcessGroup(std::intptr_t group)
{
    const auto leader = static_cast<pid_t>(group);
    ::kill(-leader, SIGKILL);
    // Reap the group's leader (this program's child) so that nothing of
    // the group is left; give it a moment to go.
    for (int i = 0; i < 200; ++i) {
        int status = 0;
        if (::waitpid(leader, &status, WNOHANG) != 0)
            break;
        ::usleep(10000);
    }
}

} // namespace zorvika
