#pragma once
// What an interrupt (SIGINT, SIGTERM, SIGHUP; Ctrl-C or closing the console
// on Windows) must not leave behind: the
// temporary files of writes in progress, scratch folders and the process
// groups of child programs.
//
// The first use of the lock installs handlers for those signals (a signal that
// is ignored, as in a background job, stays ignored). When one arrives, a
// helper thread kills the registered groups, removes the registered files and
// folders, and then ends the program by the same signal.
//
// Steps that must not be cut in two — creating a temporary file and
// registering it, renaming it into place and dropping it — run while holding
// `cleanupLock()`, which the helper thread takes before it starts; so a
// signal either comes before such a step or after it, never in its middle.
#include <cstdint>
#include <filesystem>
#include <mutex>

namespace zorvika {

enum class CleanupKind { File, Folder, ProcessGroup };

std::unique_lock<std::mutex> cleanupLock();

// Both are called with the lock held; `addCleanup` returns the id that
// `dropCleanup` takes.
// A process group is the number `runChild` registers for it (the group id
// on POSIX systems, the job object's handle on Windows).
std::uint64_t addCleanup(CleanupKind kind, std::filesystem::path path, std::intptr_t group = 0);
void dropCleanup(std::uint64_t id);

// A registration that is dropped when it goes out of scope (taking the lock).
class CleanupEntry {
public:
    CleanupEntry() = default;
    // Registers while the caller holds the lock.
    CleanupEntry(CleanupKind kind, std::filesystem::path path, std::intptr_t group = 0)
        : id_(addCleanup(kind, std::move(path), group))
    {
    }
    ~CleanupEntry() { release(); }
    CleanupEntry(CleanupEntry&& other) noexcept : id_(other.id_) { other.id_ = 0; }
    CleanupEntry& operator=(CleanupEntry&& other) noexcept;
    CleanupEntry(const CleanupEntry&) = delete;
    CleanupEntry& operator=(const CleanupEntry&) = delete;

    // Drops the registration; the caller holds the lock.
    void dropLocked();
    // Takes the lock and drops the registration.
    void release();

private:
    std::uint64_t id_ = 0;
};

// While one lives, the first interrupt does not end the program: it is
// only noted (`requested()`), so a long run can stop at a point where all it
// wrote is whole. A second interrupt ends the program as usual.
class DeferredInterrupt {
public:
    DeferredInterrupt();
    ~DeferredInterrupt();
    DeferredInterrupt(const DeferredInterrupt&) = delete;
    DeferredInterrupt& operator=(const DeferredInterrupt&) = delete;
    static bool requested();
    // The status of a run that the noted interrupt stopped: 128 + its signal's
    // number (130 for SIGINT, 143 for SIGTERM, 129 for SIGHUP), as a run that
    // the signal ended outright gives.
    static int exitStatus();
};

} // namespace zorvika
