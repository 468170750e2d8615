// Shared set-up of the filter-base tests: a manager, images filled with a
// known pattern, whole-image reads and a destination that records notices.
#pragma once

#include "kelvra/KelvraData.h"
#include "kelvra/KelvraImage.h"
#include "kelvra/KelvraManager.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

struct ManagerHolder {
    ManagerHolder();
    ~ManagerHolder();
    IKelvraManager* manager = nullptr;
};

// An image whose sample at (x, y, plane) is a fixed function of the three.
IKelvraImage* MakePatternImage(IKelvraManager* manager, long width, long height, KelvraPixelFormat format);
unsigned PatternSample(long x, long y, long plane, bool wide);

// Every sample of `source`, row after row, widened to unsigned.
std::vector<unsigned> ReadAllSamples(IKelvraDataSource* source);

// Runs a whole process run of a filter or chain over `source` into
// `destination`; answers the number of steps it took.
template <typename Processor>
long RunProcess(Processor& processor, IKelvraDataSource* source, IKelvraImage* destination);

// Releases an error and fails the test when there was one.
void ExpectOk(IKelvraError* error, const char* what = "");

struct Notice {
    IKelvraDataSource* sender;
    long code;
    KelvraRect rect;
};

class RecordingDestination : public IKelvraDataDestination {
public:
    IKelvraError* KelvraNotify(IKelvraDataSource* source, long code, void* data) override;
    std::vector<Notice> notices;
};

template <typename Processor>
long RunProcess(Processor& processor, IKelvraDataSource* source, IKelvraImage* destination)
{
    IKelvraDataSource* sources[] = {source};
    void* handle = nullptr;
    ExpectOk(processor.BeginProcess(&handle, sources, 1, destination), "begin");
    long done = 0, total = 1, steps = 0;
    while (total != 0 && steps < 10000) {
        ExpectOk(processor.ExecuteProcess(handle, &done, &total), "step");
        ++steps;
    }
    ExpectOk(processor.EndProcess(handle), "end");
    return steps;
}
