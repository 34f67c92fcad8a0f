// The one loop that the procedure analysis and the blob reader share: every
// index worked once, taken in order, on no more workers than asked or than
// there are indices; indices added while it runs; the calling thread alone
// when no other can be had; the first failure thrown to the caller.
#include "base/parallel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace zorvika {
namespace {

TEST(ParallelLoop, WorksEveryIndexOnceTakingThemInOrder)
{
    struct Case {
        std::size_t count, workers;
    } const cases[] = {{0, 4}, {1, 4}, {3, 8}, {1000, 1}, {1000, 3}, {5000, 9}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.count << " indices on " << c.workers << " workers");
        std::vector<std::atomic<int>> worked(c.count);
        std::vector<std::size_t> takenOrder;
        std::mutex workersLock;
        std::set<std::size_t> workersSeen;
        std::set<std::thread::id> threadsSeen;
        parallelFor(
            c.count, c.workers, [&](std::size_t i, std::size_t) { takenOrder.push_back(i); },
            [&](std::size_t i, std::size_t worker) {
                ++worked[i];
                const std::lock_guard<std::mutex> hold(workersLock);
                workersSeen.insert(worker);
                threadsSeen.insert(std::this_thread::get_id());
            });
        for (std::size_t i = 0; i < c.count; ++i)
            ASSERT_EQ(worked[i].load(), 1) << "index " << i;
        ASSERT_EQ(takenOrder.size(), c.count);
        for (std::size_t i = 0; i < takenOrder.size(); ++i)
            ASSERT_EQ(takenOrder[i], i);
        const std::size_t most = std::min(c.count, c.workers);
        EXPECT_LE(threadsSeen.size(), most);
        for (std::size_t worker : workersSeen)
            EXPECT_LT(worker, most);
    }
}

// Indices added while the workers run, each with its item stored under the
// loop's lock and taken there by the worker that takes the index.
TEST(ParallelLoop, IndicesAddedWhileItRunsAreEachWorkedWithTheirItem)
{
    for (const bool started : {true, false}) {
        SCOPED_TRACE(started ? "other workers started" : "the calling thread alone");
        const std::size_t workers = 4;
        std::deque<std::string> items;
        std::vector<const std::string*> taken(workers);
        std::vector<std::string> seen(2000);
        std::set<std::thread::id> threads;
        std::mutex threadsLock;
        ParallelLoop loop(
            workers, [&](std::size_t i, std::size_t worker) { taken[worker] = &items[i]; },
            [&](std::size_t i, std::size_t worker) {
                seen[i] = *taken[worker];
                const std::lock_guard<std::mutex> hold(threadsLock);
                threads.insert(std::this_thread::get_id());
            });
        // Never started, the loop is where a loop stands when no thread can
        // be had: the calling thread does the whole work in `finish`.
        if (started)
            loop.start();
        for (std::size_t i = 0; i < seen.size(); ++i)
            loop.add(1, [&] { items.push_back("item " + std::to_string(i)); });
        loop.finish();
        EXPECT_EQ(loop.size(), seen.size());
        for (std::size_t i = 0; i < seen.size(); ++i)
            ASSERT_EQ(seen[i], "item " + std::to_string(i));
        if (!started) {
            EXPECT_EQ(threads, std::set<std::thread::id>{std::this_thread::get_id()});
        }
    }
}

TEST(ParallelLoop, TheFirstFailureStopsTheHandingOutAndReachesTheCaller)
{
    for (const bool inTake : {true, false}) {
        SCOPED_TRACE(inTake ? "thrown while taking" : "thrown while working");
        std::atomic<std::size_t> worked{0};
        auto step = [&](std::size_t i, std::size_t) {
            if (i == 10)
                throw std::runtime_error("index 10 failed");
        };
        try {
            parallelFor(
                100000, 4, inTake ? LoopStep(step) : LoopStep(),
                [&](std::size_t i, std::size_t w) {
                    if (!inTake)
                        step(i, w);
                    ++worked;
                });
            ADD_FAILURE() << "nothing was thrown";
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()), "index 10 failed");
        }
        // The other workers end with the index they hold: far from all are worked.
        EXPECT_LT(worked.load(), 100000u);
    }
}

TEST(ParallelLoop, AStoreThatThrowsAddsNothing)
{
    ParallelLoop loop(2, {}, {});
    loop.add(1);
    EXPECT_THROW(loop.add(1, [] { throw std::bad_alloc(); }), std::bad_alloc);
    EXPECT_EQ(loop.size(), 1u);
    loop.finish();
}

} // namespace
} // namespace zorvika
