// The worker pool and the tile cache under several threads: a job runs on
// as many threads as asked and on the caller's alone with one; a job
// started from inside a job ends; a tile asked for by two threads while it
// is being made is made once, and made again by the second when the first
// failed.
#include "kelvra/KelvraTileCache.h"
#include "kelvra/KelvraWorkers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <thread>

namespace {

class KelvraWorkersTest : public ::testing::Test {
protected:
    void TearDown() override { KelvraSetWorkerThreads(0); }
};

// The threads that ran a job whose items wait until `wanted` threads are in
// it (or a second passed).
std::set<std::thread::id> ThreadsOfJob(long wanted)
{
    std::mutex lock;
    std::set<std::thread::id> seen;
    std::atomic<long> inside{0};
    std::atomic<long> next{0};
    KelvraRunOnWorkers([&] {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        for (long item = next++; item < wanted; item = next++) {
            {
                std::lock_guard<std::mutex> guard(lock);
                seen.insert(std::this_thread::get_id());
            }
            ++inside;
            while (inside.load() < wanted && std::chrono::steady_clock::now() < until)
                std::this_thread::yield();
        }
    });
    return seen;
}

TEST_F(KelvraWorkersTest, JobRunsOnAsManyThreadsAsAskedAndOnTheCallersAloneWithOne)
{
    KelvraSetWorkerThreads(4);
    EXPECT_EQ(KelvraGetWorkerThreads(), 4);
    const std::set<std::thread::id> four = ThreadsOfJob(4);
    EXPECT_EQ(four.size(), 4u);
    EXPECT_TRUE(four.count(std::this_thread::get_id()));

    KelvraSetWorkerThreads(1);
    const std::set<std::thread::id> one = ThreadsOfJob(1);
    EXPECT_EQ(one, std::set<std::thread::id>{std::this_thread::get_id()});

    KelvraSetWorkerThreads(0);
    EXPECT_GE(KelvraGetWorkerThreads(), 1); // one per core
}

TEST_F(KelvraWorkersTest, JobStartedInsideAJobEnds)
{
    KelvraSetWorkerThreads(3);
    std::atomic<long> items{0};
    std::atomic<long> next{0};
    KelvraRunOnWorkers([&] {
        for (long outer = next++; outer < 6; outer = next++) {
            std::atomic<long> innerNext{0};
            KelvraRunOnWorkers([&] {
                for (long inner = innerNext++; inner < 10; inner = innerNext++)
                    ++items;
            });
        }
    });
    EXPECT_EQ(items.load(), 60);
}

KelvraTileLayout Layout()
{
    KelvraTileLayout layout;
    layout.width = 100;
    layout.height = 100;
    layout.format = kKelvraGrey8;
    layout.tileSize = 64;
    return layout;
}

TEST_F(KelvraWorkersTest, TileAskedForWhileBeingMadeIsMadeOnce)
{
    CKelvraTileCache cache;
    const KelvraTileLayout layout = Layout();
    std::atomic<int> made{0};
    std::atomic<bool> firstIn{false};
    auto generate = [&](IKelvraTile* tile) -> IKelvraError* {
        ++made;
        firstIn = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100)); // the second asks meanwhile
        void* pixels = nullptr;
        IKelvraError::Release(tile->Lock(&pixels));
        static_cast<std::uint8_t*>(pixels)[0] = 42;
        tile->SetComplete();
        return nullptr;
    };
    const void* first = nullptr;
    const void* second = nullptr;
    std::thread maker([&] {
        IKelvraError::Release(cache.Lock(layout, 1, 0, generate, &first, nullptr, nullptr, 0));
    });
    while (!firstIn.load())
        std::this_thread::yield();
    IKelvraError* error = cache.Lock(layout, 1, 0, generate, &second, nullptr, nullptr, 0);
    maker.join();
    EXPECT_EQ(error, nullptr);
    EXPECT_EQ(made.load(), 1);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first, second);
    EXPECT_EQ(static_cast<const std::uint8_t*>(second)[0], 42);
    EXPECT_TRUE(cache.Unlock(1, 0));
    EXPECT_TRUE(cache.Unlock(1, 0));
}

TEST_F(KelvraWorkersTest, TileWhoseMakingFailedIsMadeByTheThreadThatWaited)
{
    CKelvraTileCache cache;
    const KelvraTileLayout layout = Layout();
    std::atomic<int> calls{0};
    std::atomic<bool> firstIn{false};
    const KelvraTag tag = KelvraFourCC('T', 'e', 's', 't');
    auto generate = [&](IKelvraTile*) -> IKelvraError* {
        if (calls++ == 0) {
            firstIn = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            return KELVRA_ERROR(nullptr, tag, kKelvraWriteError);
        }
        return nullptr;
    };
    IKelvraError* firstError = nullptr;
    const void* first = nullptr;
    const void* second = nullptr;
    std::thread maker([&] { firstError = cache.Lock(layout, 0, 1, generate, &first, nullptr, nullptr, tag); });
    while (!firstIn.load())
        std::this_thread::yield();
    IKelvraError* error = cache.Lock(layout, 0, 1, generate, &second, nullptr, nullptr, tag);
    maker.join();
    ASSERT_NE(firstError, nullptr);
    EXPECT_TRUE(firstError->HasCode(kKelvraWriteError));
    IKelvraError::Release(firstError);
    EXPECT_EQ(error, nullptr);
    EXPECT_NE(second, nullptr);
    EXPECT_EQ(calls.load(), 2);
    EXPECT_TRUE(cache.Contains(0, 1));
    EXPECT_TRUE(cache.Unlock(0, 1));
}

} // namespace
