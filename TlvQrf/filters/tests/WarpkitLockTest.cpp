// The process-wide pass lock of the Warpkit1 wrapper: whatever fails once
// the lock is taken, the engine ends idle and the lock is free, so that the
// next pass in the process (on the save thread too) runs instead of hanging.
// Each check looks at the lock from another thread with a try-enter.
#include "RevelationTestSupport.h"

#include "filters/revelation/TlRevelationFilter.h"

#include <functional>

using namespace pixel_test;
using namespace revelation_test;

namespace {

enum class Where { Statistics, Render };

struct FaultCase {
    const char* name;
    Where where;
    std::function<void()> plant; // planted just before the pass starts
    long side = 600;             // the source's side: 2400 gives the rendering two bands
};

// Begins and steps one pass; the first error, if any.
IKelvraError* RunPass(CWarpkitEngine& engine, Where where, IKelvraDataSource* source, IKelvraImage* destination)
{
    IKelvraError* error = where == Where::Statistics
                              ? engine.BeginStatistics(source, false, 16, 11, nullptr)
                              : engine.BeginRender(source, 80, 190, 80, destination, false, 16, 11, true, nullptr);
    return error ? error : StepToEnd(engine);
}

// A whole run of both passes on a thread of its own.
bool WholeRunOnAnotherThread(IKelvraManager* manager, IKelvraDataSource* source)
{
    bool ok = false;
    std::thread other([&] {
        IKelvraImage* destination = MakeBlankImage(manager, 1, 1, kKelvraRGB16);
        CWarpkitEngine engine(manager, true);
        IKelvraError* error = RunBothPasses(engine, source, destination, 80, 190, 80);
        ok = error == nullptr;
        IKelvraError::Release(error);
        destination->Release();
    });
    other.join();
    return ok;
}

TEST(WarpkitLockTest, EveryFailureAfterTakingTheLockLeavesItFreeAndTheEngineIdle)
{
    const auto call = [](WKITCall which, int skip, int result) {
        return [=] { WKITTestFailCall(which, skip, result, "refused"); };
    };
    const FaultCase cases[] = {
        {"statistics init", Where::Statistics, call(kWKITCallInit, 0, kWKITMessage)},
        {"statistics image info", Where::Statistics, call(kWKITCallSetStatisticsImageInfo, 0, -4)},
        {"statistics begin", Where::Statistics, call(kWKITCallBegin, 0, -7)},
        {"statistics process", Where::Statistics, call(kWKITCallProcess, 1, -9)},
        {"statistics end", Where::Statistics, call(kWKITCallEnd, 0, -9)},
        {"statistics callback", Where::Statistics, [] { WKITTestFailAllocation(1); }},
        {"band init", Where::Render, call(kWKITCallInit, 0, -4)},
        {"band begin", Where::Render, call(kWKITCallBegin, 0, kWKITMessage)},
        {"band process", Where::Render, call(kWKITCallProcess, 2, -9)},
        {"band callback", Where::Render, [] { WKITTestFailAllocation(0); }},
        {"second band init", Where::Render, call(kWKITCallInit, 1, -4), 2400},
        {"second band begin", Where::Render, call(kWKITCallBegin, 1, -7), 2400},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.name);
        FaultScope faults;
        ManagerHolder holder;
        IKelvraImage* source = MakePatternImage(holder.manager, c.side, c.side, kKelvraGrey16);
        IKelvraImage* destination = MakeBlankImage(holder.manager, 1, 1, kKelvraGrey16);
        {
            CWarpkitEngine engine(holder.manager, true);
            if (c.where == Where::Render)
                ExpectOk(RunPass(engine, Where::Statistics, source, destination), "statistics first");
            c.plant();
            IKelvraError* error = RunPass(engine, c.where, source, destination);
            EXPECT_NE(nullptr, error);
            IKelvraError::Release(error);
            EXPECT_TRUE(engine.IsDone());
            ExpectError(engine.Abort(), 1001, KelvraFourCC('W', 'K', 'I', 'T')); // nothing left to abort
            ASSERT_TRUE(WholeThingIsFree());
            EXPECT_TRUE(WholeRunOnAnotherThread(holder.manager, source));
            // The engine that failed runs again too.
            ExpectOk(RunBothPasses(engine, source, destination, 80, 190, 80), "again");
        }
        EXPECT_TRUE(WholeThingIsFree());
        destination->Release();
        source->Release();
    }
}

TEST(WarpkitLockTest, AbortEndsThePassEvenWhenTheEngineRefusesToStop)
{
    for (bool refuse : {false, true}) {
        SCOPED_TRACE(refuse);
        FaultScope faults;
        ManagerHolder holder;
        IKelvraImage* source = MakePatternImage(holder.manager, 200, 200, kKelvraRGB8);
        CWarpkitEngine engine(holder.manager, true);
        ExpectOk(engine.BeginStatistics(source, false, 8, 11, nullptr));
        if (refuse)
            WKITTestFailCall(kWKITCallAbort, 0, -9, nullptr);
        IKelvraError* error = engine.Abort();
        EXPECT_EQ(refuse, error != nullptr);
        IKelvraError::Release(error);
        EXPECT_TRUE(engine.IsDone());
        EXPECT_EQ(nullptr, engine.GetStatisticsImage()); // an aborted measurement is not kept
        ASSERT_TRUE(WholeThingIsFree());
        EXPECT_TRUE(WholeRunOnAnotherThread(holder.manager, source));
        IKelvraImage* destination = MakeBlankImage(holder.manager, 1, 1, kKelvraRGB8);
        ExpectOk(RunBothPasses(engine, source, destination, 80, 190, 80, 8), "again");
        destination->Release();
        source->Release();
    }
}

// Passes of filters on two threads: every start is followed by the end of
// the same pass before anything else starts.
TEST(WarpkitLockTest, FiltersOnTwoThreadsRunTheirPassesOneAfterTheOther)
{
    FaultScope faults;
    ManagerHolder holder;
    FilterRig<CRevelationFilter> first(MakePatternImage(holder.manager, 700, 500, kKelvraRGB16), holder);
    FilterRig<CRevelationFilter> second(MakePatternImage(holder.manager, 500, 700, kKelvraRGB16), holder);
    std::atomic<bool> go{false};
    long failures = 0;
    std::mutex failuresLock;
    auto update = [&](CRevelationFilter& filter) {
        while (!go.load()) {
        }
        for (int round = 0; round < 3; ++round) {
            ExpectOk(filter.SetParameters(40 + round, 190, 60, false));
            ExpectOk(filter.SetDataFormat(11, round % 2 ? 16 : 12, false, false));
            IKelvraError* error = filter.UpdateStatistics(nullptr);
            std::lock_guard<std::mutex> guard(failuresLock);
            failures += error ? 1 : 0;
            IKelvraError::Release(error);
        }
    };
    std::thread a(update, std::ref(first.filter)), b(update, std::ref(second.filter));
    go.store(true);
    a.join();
    b.join();
    EXPECT_EQ(0, failures);
    const std::vector<WKITPassEvent> log = FaultScope::TakePassLog();
    ASSERT_EQ(std::size_t(2 * 2 * 2 * 3), log.size()); // per filter and round: two passes, each started and ended
    for (std::size_t i = 0; i + 1 < log.size(); i += 2) {
        EXPECT_EQ(1, log[i].started) << i;
        EXPECT_EQ(0, log[i + 1].started) << i;
        EXPECT_EQ(log[i].engine, log[i + 1].engine) << i;
        EXPECT_EQ(log[i].pass, log[i + 1].pass) << i;
    }
}

} // namespace
