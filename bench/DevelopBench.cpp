// Times the full-resolution development of a 6000 x 4000 synthetic raw file
// into memory, as a save develops it before writing, on one thread and on
// every core in the same run, and reports megapixels per second of the raw
// file, the speed-up and the largest working set seen while each ran (the
// raw file and the open control included). The file is made in a temporary
// folder that goes at the end.
// Run by hand under Wine: DevelopBench [width height]
#include "BenchDevelop.h"
#include "BenchRawFile.h"
#include "filtrix/VentraChrono.h"
#include "kelvra/KelvraWorkers.h"
#include "params/TlvParamSet.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

namespace {

std::size_t WorkingSet()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    return GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters) ? counters.WorkingSetSize : 0;
}

// The largest working set while it lives, looked at every few milliseconds.
class CPeakWatch {
public:
    CPeakWatch() : m_thread([this] { Watch(); }) {}
    ~CPeakWatch() { Stop(); }
    double StopMegabytes()
    {
        Stop();
        return double(m_peak.load()) / (1024.0 * 1024.0);
    }

private:
    void Watch()
    {
        while (!m_stop.load()) {
            m_peak.store(std::max(m_peak.load(), WorkingSet()));
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    void Stop()
    {
        m_stop.store(true);
        if (m_thread.joinable())
            m_thread.join();
    }

    std::atomic<bool> m_stop{false};
    std::atomic<std::size_t> m_peak{0};
    std::thread m_thread;
};

// Seconds of one development on `threads` threads; negative when it failed.
double DevelopOn(long threads, const CDevelopEnvironment& environment, CTlvQrfControl& control,
                 double megapixels)
{
    KelvraSetWorkerThreads(threads);
    std::unique_ptr<CTlvParamSet> params(control.CreateParamSet());
    CPeakWatch peak;
    CVentraChrono chrono;
    SDevelopTimes times;
    if (!DevelopInMemory(environment.Manager(), *params, &times))
        return -1.0;
    const double seconds = chrono.Elapsed();
    std::printf("%2ld thread(s): %.2f s (chain built in %.2f s, run in %.2f s), %.1f MP/s, peak working set %.0f MB\n",
                KelvraGetWorkerThreads(), seconds, times.build, times.run, megapixels / seconds, peak.StopMegabytes());
    return seconds;
}

} // namespace

int main(int argc, char** argv)
{
    CDevelopEnvironment environment;
    SBenchRaw raw;
    if (!OpenBenchRaw(argc, argv, environment, "DevelopBench.qrf", &raw))
        return 1;
    std::printf("full-resolution development into memory of a %ld x %ld raw file (%.1f MP, 8-bit output)\n",
                raw.options.width, raw.options.height, raw.megapixels);
    CTlvQrfControl& control = *raw.opened.control;
    const double one = DevelopOn(1, environment, control, raw.megapixels);
    const double all = DevelopOn(0, environment, control, raw.megapixels);
    KelvraSetWorkerThreads(0);
    if (one < 0 || all < 0)
        return 1;
    std::printf("speed-up on every core: %.1fx\n", one / all);
    return 0;
}
