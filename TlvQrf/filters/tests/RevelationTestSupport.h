// What the tests of the Warpkit1 wrapper and the Revelation filter share:
// faults planted for one test, a look at the process-wide pass lock from
// another thread (a test that finds it held fails instead of hanging), the
// engine's pass log and a watcher that records progress records.
#pragma once

#include "PixelFilterTestSupport.h"

#include "filters/revelation/TlWarpkitEngine.h"
#include "filters/revelation/TlWarpkitLibrary.h"
#include "warpkit1/Warpkit1Testing.h"

#include <thread>
#include <vector>

namespace revelation_test {

// Faults planted in a test never reach the next one; the pass log starts empty.
struct FaultScope {
    FaultScope()
    {
        WKITTestClearFaults();
        TakePassLog();
    }
    ~FaultScope() { WKITTestClearFaults(); }

    static std::vector<WKITPassEvent> TakePassLog()
    {
        std::vector<WKITPassEvent> events(256);
        events.resize(std::size_t(WKITTestTakePassLog(events.data(), int(events.size()))));
        return events;
    }
};

// True when another thread can enter "WKITLibWholeThing" at once.
inline bool WholeThingIsFree()
{
    bool entered = false;
    std::thread other([&] {
        entered = TlWarpkitWholeThingLock().TryEnter();
        if (entered)
            TlWarpkitWholeThingLock().Leave();
    });
    other.join();
    return entered;
}

// Drives a started pass to its end; the percentages it reported.
inline IKelvraError* StepToEnd(CWarpkitEngine& engine, std::vector<long>* percents = nullptr)
{
    while (!engine.IsDone()) {
        long percent = -1;
        if (IKelvraError* error = engine.Step(&percent, 100))
            return error;
        if (percents)
            percents->push_back(percent);
    }
    return nullptr;
}

// Both passes over the whole of `source` into `destination`.
inline IKelvraError* RunBothPasses(CWarpkitEngine& engine, IKelvraDataSource* source, IKelvraImage* destination,
                                   long p0, long p1, long p2, long bits = 16)
{
    IKelvraError* error = engine.BeginStatistics(source, false, bits, 11, nullptr);
    if (!error)
        error = StepToEnd(engine);
    if (!error)
        error = engine.BeginRender(source, p0, p1, p2, destination, false, bits, 11, true, nullptr);
    return error ? error : StepToEnd(engine);
}

struct ProgressRecord {
    std::uint32_t phase;
    std::int32_t current;
    std::int32_t total;
};

// Records the progress records a filter sends; clears the record's carry-on
// byte once `cancelPhase` reaches `cancelAt`.
class ProgressLog : public CKelvraFilterWatcher {
public:
    int OnNotify(IKelvraFilter*, long code, void* data) override
    {
        if (code != kKelvraWatchProgress || !data)
            return 0;
        auto* record = static_cast<KelvraProgress*>(data);
        records.push_back({record->phase, record->current, record->total});
        if (record->phase == cancelPhase && record->current >= cancelAt)
            record->carryOn = 0;
        return 0;
    }
    std::vector<ProgressRecord> records;
    std::uint32_t cancelPhase = 0;
    std::int32_t cancelAt = 0;
};

} // namespace revelation_test
