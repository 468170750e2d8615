// Checks the filter tests share: a process run of a filter writes exactly
// what pulling the filter's own tiles gives, and exactly what it writes on
// one thread when made on many.
#pragma once

#include "FilterTestSupport.h"

#include "kelvra/KelvraFilter.h"
#include "kelvra/KelvraWorkers.h"

// Runs `filter` over `source` into a new image and compares geometry and
// samples with the filter's pulled output.
inline void ExpectRunMatchesPull(IKelvraManager* manager, IKelvraFilter& filter, IKelvraDataSource* source)
{
    IKelvraImage* result = nullptr;
    ExpectOk(manager->CreateImage(&result, 0));
    RunProcess(filter, source, result);
    long width = 0, height = 0, runWidth = 0, runHeight = 0;
    KelvraPixelFormat format = 0, runFormat = 0;
    ExpectOk(filter.GetSize(&width, &height));
    ExpectOk(filter.GetColorSpace(&format));
    ExpectOk(result->GetSize(&runWidth, &runHeight));
    ExpectOk(result->GetColorSpace(&runFormat));
    EXPECT_EQ(width, runWidth);
    EXPECT_EQ(height, runHeight);
    EXPECT_EQ(format, runFormat);
    EXPECT_EQ(ReadAllSamples(&filter), ReadAllSamples(result));
    result->Release();
}

// The process run of a filter or chain over `source` made on `threads`
// threads, read back whole. Leaves the default thread count in force.
template <typename Processor>
SampleGrid RunOnThreads(IKelvraManager* manager, Processor& processor, IKelvraDataSource* source, long threads)
{
    KelvraSetWorkerThreads(threads);
    IKelvraImage* result = nullptr;
    ExpectOk(manager->CreateImage(&result, 0));
    RunProcess(processor, source, result);
    KelvraSetWorkerThreads(0);
    SampleGrid grid = ReadSampleGrid(result);
    result->Release();
    return grid;
}

// A run on `threads` threads makes what a run on one makes, and something.
template <typename Processor>
void ExpectManyThreadsMakeWhatOneMakes(IKelvraManager* manager, Processor& processor, IKelvraDataSource* source,
                                       long threads = 8)
{
    const SampleGrid one = RunOnThreads(manager, processor, source, 1);
    const SampleGrid many = RunOnThreads(manager, processor, source, threads);
    EXPECT_EQ(one.width, many.width);
    EXPECT_EQ(one.height, many.height);
    EXPECT_EQ(one.planes, many.planes);
    EXPECT_FALSE(one.samples.empty());
    EXPECT_TRUE(one.samples == many.samples);
}
