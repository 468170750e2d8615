#include "BenchTilePull.h"

#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

const long kTile = 64;

// Every `threads`-th row of tiles from `first` on, each locked once.
void PullRows(IKelvraDataSource* source, long width, long height, long first, long threads, std::atomic<bool>* ok)
{
    for (long row = first; ok->load() && row * kTile < height; row += threads) {
        for (long column = 0; column * kTile < width; ++column) {
            const void* data = nullptr;
            KelvraRect rect;
            long rowBytes = 0;
            if (!BenchOk(source->LockTile(column, row, &data, &rect, &rowBytes), "lock") ||
                !BenchOk(source->UnlockTile(column, row), "unlock")) {
                ok->store(false);
                return;
            }
        }
    }
}

} // namespace

bool BenchOk(IKelvraError* error, const char* what)
{
    if (error) {
        const IKelvraError* cause = error->FindCause();
        std::printf("%s: error %ld\n", what, cause ? cause->GetCode() : error->GetCode());
        IKelvraError::Release(error);
    }
    return !error;
}

bool BenchPullAll(IKelvraDataSource& source, long threads)
{
    long width = 0, height = 0;
    if (!BenchOk(source.GetSize(&width, &height), "size"))
        return false;
    std::atomic<bool> ok(true);
    std::vector<std::thread> workers;
    for (long t = 0; t < threads; ++t)
        workers.emplace_back(PullRows, &source, width, height, t, threads, &ok);
    for (std::thread& worker : workers)
        worker.join();
    return ok.load();
}

long BenchCores()
{
    const unsigned cores = std::thread::hardware_concurrency();
    return cores ? long(cores) : 1;
}
