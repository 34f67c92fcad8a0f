#pragma once
// Work shared out over threads: the indices of a loop are handed out in
// order, each once, to whichever of its threads is free. The calling thread
// is one of them (worker 0); the others are started for the loop, and a
// thread that cannot be had leaves its share to those that run, so that
// fewer threads do the same work.
#include <cstddef>
#include <functional>
#include <memory>

namespace zorvika {

// The threads the machine runs at once (at least one).
std::size_t machineThreads();

// One step of a loop for one index, on one worker (below the loop's number
// of workers: a step may use a resource of its worker's own).
using LoopStep = std::function<void(std::size_t index, std::size_t worker)>;

class ParallelLoop {
public:
    // On up to `workers` threads (at least the calling one). `take` runs as
    // a worker takes an index, under the loop's lock and in the order of the
    // indices: where a worker takes its index's share of what the threads
    // hold in common. `work` then runs outside the lock, on several threads
    // at once. Either may be empty. The first exception either throws stops
    // the handing out of indices; `finish` throws it again.
    ParallelLoop(std::size_t workers, LoopStep take, LoopStep work);
    // Waits for the started threads (when `finish` was not reached).
    ~ParallelLoop();
    ParallelLoop(const ParallelLoop&) = delete;
    ParallelLoop& operator=(const ParallelLoop&) = delete;

    // Makes `count` more indices available; `store` first runs under the
    // loop's lock, to put what the workers will take for them. A `store`
    // that throws adds nothing and throws on.
    void add(std::size_t count, const std::function<void()>& store = {});
    // Starts the workers other than the calling thread (once).
    void start();
    // No more indices come: the calling thread works as worker 0 until
    // every index is done, waits for the others, and throws the first
    // exception a step threw.
    void finish();
    // The indices added so far.
    std::size_t size() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

// `take` and then `work` for each index below `count`, as ParallelLoop runs
// them, on at most `workers` threads and never more than there are indices.
void parallelFor(std::size_t count, std::size_t workers, const LoopStep& take, const LoopStep& work);
inline void parallelFor(std::size_t count, std::size_t workers, const LoopStep& work)
{
    parallelFor(count, workers, LoopStep(), work);
}

} // namespace zorvika
