#include "base/interrupt_cleanup.h"

#include "base/file_io.h"
#include "base/system_files.h"
#include "base/system_processes.h"

#include <atomic>
#include <map>

namespace zorvika {

namespace {

struct Entry {
    CleanupKind kind;
    std::filesystem::path path;
    std::intptr_t group;
};

std::mutex gLock;
std::map<std::uint64_t, Entry> gEntries; // guarded by gLock
std::uint64_t gNextId = 1;               // guarded by gLock
std::atomic<int> gDeferred{0};
std::atomic<int> gRequested{0}; // the deferred interrupt's signal; 0 before one

[[noreturn]] void cleanUpAndEnd(int signal)
{
    // Held until the end: no step of a write can begin or finish any more.
    gLock.lock();
    for (const auto& [id, entry] : gEntries)
        if (entry.kind == CleanupKind::ProcessGroup)
            endProcessGroup(entry.group);
    for (const auto& [id, entry] : gEntries) {
        if (entry.kind == CleanupKind::File)
            static_cast<void>(removeFileAt(entry.path));
        else if (entry.kind == CleanupKind::Folder)
            removeFolderTree(entry.path);
    }
    endByInterrupt(signal);
}

// Called on a thread of its own, never inside a signal handler.
void onInterrupt(int signal)
{
    int none = 0;
    if (gDeferred.load() > 0 && gRequested.compare_exchange_strong(none, signal))
        return; // noted; the run stops at its next safe point
    cleanUpAndEnd(signal);
}

void install()
{
    installInterruptHandler(onInterrupt);
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

std::uint64_t addCleanup(CleanupKind kind, std::filesystem::path path, std::intptr_t group)
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
    return gRequested.load() != 0;
}

int DeferredInterrupt::exitStatus()
{
    return 128 + gRequested.load();
}

} // namespace zorvika
