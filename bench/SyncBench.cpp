// Cost of entering and leaving a Tl::CSyncCritical: alone, and with two
// threads contending for it. Run by hand: SyncBench.exe [iterations]
#include "infra/TlSync.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

struct Contention {
    Tl::CSyncCritical lock{"bench", -1};
    long iterations = 0;
    long counter = 0;
};

double Seconds(const LARGE_INTEGER& start, const LARGE_INTEGER& end)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
}

DWORD WINAPI EnterLeaveLoop(LPVOID parameter)
{
    auto* shared = static_cast<Contention*>(parameter);
    for (long i = 0; i < shared->iterations; ++i) {
        Tl::CSyncLock guard(shared->lock);
        shared->counter = shared->counter + 1;
    }
    return 0;
}

void Report(const char* what, double seconds, long operations)
{
    std::printf("%-28s %10ld ops %9.3f ms %8.1f ns/op\n", what, operations, seconds * 1e3,
                seconds * 1e9 / double(operations));
}

void Uncontended(long iterations)
{
    Contention shared;
    shared.iterations = iterations;
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    EnterLeaveLoop(&shared);
    QueryPerformanceCounter(&end);
    Report("uncontended Enter/Leave", Seconds(start, end), iterations);
}

bool TwoThreads(long iterations)
{
    Contention shared;
    shared.iterations = iterations;
    HANDLE threads[2] = {};
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    for (HANDLE& thread : threads) {
        thread = CreateThread(nullptr, 0, EnterLeaveLoop, &shared, 0, nullptr);
        if (!thread)
            return false;
    }
    WaitForMultipleObjects(2, threads, TRUE, INFINITE);
    QueryPerformanceCounter(&end);
    for (HANDLE thread : threads)
        CloseHandle(thread);
    Report("two threads contending", Seconds(start, end), 2 * iterations);
    return shared.counter == 2 * iterations;
}

} // namespace

int main(int argc, char** argv)
{
    const long iterations = argc > 1 ? std::atol(argv[1]) : 5000000;
    if (iterations <= 0) {
        std::fprintf(stderr, "usage: SyncBench [iterations]\n");
        return 2;
    }
    std::printf("processors %lu, retry count %d\n", Tl::CSyncBase::GetProcessorCount(),
                Tl::CSyncCritical().GetRetryCount());
    Uncontended(iterations);
    if (!TwoThreads(iterations)) {
        std::fprintf(stderr, "contended count was wrong\n");
        return 1;
    }
    return 0;
}
