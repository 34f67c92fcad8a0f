#include "base/interrupt_cleanup.h"

#include "base/file_io.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <map>
#include <thread>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zorvika {

namespace fs = std::filesystem;

namespace {

struct Entry {
    CleanupKind kind;
    std::string path;
    pid_t group;
};

std::mutex gLock;
std::map<std::uint64_t, Entry> gEntries; // guarded by gLock
std::uint64_t gNextId = 1;               // guarded by gLock
int gSignalPipe[2] = {-1, -1};
std::atomic<int> gDeferred{0};
std::atomic<bool> gRequested{false};
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

// The handler only hands the signal to the helper thread.
extern "C" void onInterrupt(int signal)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t w = ::write(gSignalPipe[1], &byte, 1);
    errno = saved;
}

[[noreturn]] void cleanUpAndEnd(int signal)
{
    // Held until the end: no step of a write can begin or finish any more.
    gLock.lock();
    for (const auto& [id, entry] : gEntries)
        if (entry.kind == CleanupKind::ProcessGroup)
            ::kill(-entry.group, SIGKILL);
    for (const auto& [id, entry] : gEntries) {
        if (entry.kind != CleanupKind::ProcessGroup)
            continue;
        // Reap the group's leader (this program's child) so that nothing of
        // the group is left; give it a moment to go.
        for (int i = 0; i < 200; ++i) {
            int status = 0;
            const pid_t r = ::waitpid(entry.group, &status, WNOHANG);
            if (r != 0)
                break;
            ::usleep(10000);
        }
    }
    for (const auto& [id, entry] : gEntries) {
        if (entry.kind == CleanupKind::File)
            ::unlink(entry.path.c_str());
        else if (entry.kind == CleanupKind::Folder)
            removeFolderTree(entry.path);
    }
    std::signal(signal, SIG_DFL);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signal);
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    ::kill(::getpid(), signal);
    // Should the signal not end the program (it cannot be, but be sure).
    ::_exit(128 + signal);
}

void install()
{
    if (::pipe2(gSignalPipe, O_CLOEXEC) != 0)
        return;
    std::thread([] {
        for (;;) {
            unsigned char byte = 0;
            const ssize_t r = ::read(gSignalPipe[0], &byte, 1);
            if (r == 1 && gDeferred.load() > 0 && !gRequested.exchange(true))
                continue; // noted; the run stops at its next safe point
            if (r == 1)
                cleanUpAndEnd(byte);
            if (r < 0 && errno == EINTR)
                continue;
            if (r <= 0)
                return;
        }
    }).detach();
    for (const int s : kSignals) {
        struct sigaction old {};
        if (::sigaction(s, nullptr, &old) != 0 || old.sa_handler == SIG_IGN)
            continue; // an ignored signal (a background job's SIGINT) stays ignored
        struct sigaction action {};
        action.sa_handler = onInterrupt;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(s, &action, nullptr);
    }
}

} // namespace

std::unique_lock<std::mutex> cleanupLock()
{
    // The handlers are in place before anything that needs cleaning up can
    // exist: every such thing is made while holding this lock.
    static std::once_flag installed;
    std::call_once(installed, install);
    return std::unique_lock<std::mutex>(gLock);
}

std::uint64_t addCleanup(CleanupKind kind, std::string path, pid_t group)
{
    const std::uint64_t id = gNextId++;
    gEntries.emplace(id, Entry{kind, std::move(path), group});
    return id;
}

void dropCleanup(std::uint64_t id)
{
    gEntries.erase(id);
}

CleanupEntry& CleanupEntry::operator=(CleanupEntry&& other) noexcept
{
    if (this != &other) {
        release();
        id_ = other.id_;
        other.id_ = 0;
    }
    return *this;
}

void CleanupEntry::dropLocked()
{
    if (id_ != 0)
        dropCleanup(id_);
    id_ = 0;
}

void CleanupEntry::release()
{
    if (id_ == 0)
        return;
    const auto lock = cleanupLock();
    dropLocked();
}

DeferredInterrupt::DeferredInterrupt()
{
    cleanupLock(); // the handlers are in place from here on
    gDeferred.fetch_add(1);
}

DeferredInterrupt::~DeferredInterrupt()
{
    gDeferred.fetch_sub(1);
}

bool DeferredInterrupt::requested()
{
    return gRequested.load();
}

} // namespace zorvika
