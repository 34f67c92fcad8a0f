#include "base/parallel.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace zorvika {

std::size_t machineThreads()
{
    return std::max(1u, std::thread::hardware_concurrency());
}

struct ParallelLoop::State {
    std::size_t workers;
    LoopStep take, work;
    std::mutex lock;
    std::condition_variable added;
    std::size_t available = 0; // indices added, under `lock`
    std::size_t taken = 0;     // indices handed out, under `lock`
    bool closed = false;       // no more indices come, under `lock`
    std::exception_ptr failure; // the first exception of a step, under `lock`
    std::vector<std::thread> helpers;
    bool started = false;

    void fail()
    {
        const std::lock_guard<std::mutex> hold(lock);
        if (!failure)
            failure = std::current_exception();
    }

    // A worker's share: the next free index, until none is left or a step failed.
    void run(std::size_t worker)
    {
        for (;;) {
            std::size_t index = 0;
            {
                std::unique_lock<std::mutex> hold(lock);
                added.wait(hold, [&] { return taken < available || closed || failure; });
                if (failure || taken == available)
                    return;
                index = taken++;
                if (take) {
                    try {
                        take(index, worker);
                    } catch (...) {
                        if (!failure)
                            failure = std::current_exception();
                        return;
                    }
                }
            }
            if (work) {
                try {
                    work(index, worker);
                } catch (...) {
                    fail();
                    return;
                }
            }
        }
    }

    void close()
    {
        {
            const std::lock_guard<std::mutex> hold(lock);
            closed = true;
        }
        added.notify_all();
    }

    void join()
    {
        for (std::thread& helper : helpers)
            helper.join();
        helpers.clear();
    }
};

ParallelLoop::ParallelLoop(std::size_t workers, LoopStep take, LoopStep work)
    : state_(std::make_unique<State>())
{
    state_->workers = std::max<std::size_t>(workers, 1);
    state_->take = std::move(take);
    state_->work = std::move(work);
}

ParallelLoop::~ParallelLoop()
{
    state_->close();
    state_->join();
}

void ParallelLoop::add(std::size_t count, const std::function<void()>& store)
{
    {
        const std::lock_guard<std::mutex> hold(state_->lock);
        if (store)
            store();
        state_->available += count;
    }
    if (count == 1)
        state_->added.notify_one();
    else if (count > 1)
        state_->added.notify_all();
}

void ParallelLoop::start()
{
    if (state_->started)
        return;
    state_->started = true;
    state_->helpers.reserve(state_->workers - 1);
    for (std::size_t worker = 1; worker < state_->workers; ++worker) {
        try {
            state_->helpers.emplace_back([state = state_.get(), worker] { state->run(worker); });
        } catch (const std::system_error&) {
            break; // no more threads to be had: fewer workers do the same work
        }
    }
}

void ParallelLoop::finish()
{
    state_->close();
    state_->run(0);
    state_->join();
    if (state_->failure)
        std::rethrow_exception(state_->failure);
}

std::size_t ParallelLoop::size() const
{
    const std::lock_guard<std::mutex> hold(state_->lock);
    return state_->available;
}

void parallelFor(std::size_t count, std::size_t workers, const LoopStep& take, const LoopStep& work)
{
    if (count == 0)
        return;
    ParallelLoop loop(std::min(count, workers), take, work);
    loop.add(count);
    loop.start();
    loop.finish();
}

} // namespace zorvika
