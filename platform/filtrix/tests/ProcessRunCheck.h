// A check the standard-filter tests share: a process run of a filter writes
// exactly what pulling the filter's own tiles gives.
#pragma once

#include "FilterTestSupport.h"

#include "kelvra/KelvraFilter.h"

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
