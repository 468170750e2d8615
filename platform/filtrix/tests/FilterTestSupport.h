// Shared set-up of the filter-base tests: a manager, images filled with a
// known pattern, whole-image reads and a destination that records notices.
#pragma once

#include "kelvra/KelvraData.h"
#include "kelvra/KelvraFilter.h"
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
// An image of any format (bitmaps too) whose pixels are all zero.
IKelvraImage* MakeBlankImage(IKelvraManager* manager, long width, long height, KelvraPixelFormat format);

// Every sample of `source`, row after row, widened to unsigned.
std::vector<unsigned> ReadAllSamples(IKelvraDataSource* source);

// Every sample of a source with its geometry, for references that index
// pixels.
struct SampleGrid {
    long width = 0;
    long height = 0;
    long planes = 0;
    std::vector<unsigned> samples;
    unsigned At(long x, long y, long plane) const
    {
        return samples[std::size_t((y * width + x) * planes + plane)];
    }
};
SampleGrid ReadSampleGrid(IKelvraDataSource* source);

// Runs a whole process run of a filter or chain over `source` into
// `destination`; answers the number of steps it took.
template <typename Processor>
long RunProcess(Processor& processor, IKelvraDataSource* source, IKelvraImage* destination);

// Releases an error and fails the test when there was one.
void ExpectOk(IKelvraError* error, const char* what = "");
// Fails unless there is an error carrying `code` whose outermost error
// carries `tag`; releases it.
void ExpectError(IKelvraError* error, long code, KelvraTag tag);

// Takes pixels (i, i % rows) for i < count through `filter`'s integer point
// mapping and back (from the output first when `fromOutput`) and fails
// unless each comes back to itself.
void ExpectPixelsComeBack(IKelvraFilter& filter, bool fromOutput, long count, long rows);

// A test with a manager and pattern images that are released at its end.
class PatternImageTest : public ::testing::Test {
protected:
    IKelvraManager* Manager() { return m_holder.manager; }
    IKelvraImage* Image(long width, long height, KelvraPixelFormat format = kKelvraRGB8);
    void TearDown() override;

private:
    ManagerHolder m_holder;
    std::vector<IKelvraImage*> m_images;
};

struct Notice {
    IKelvraDataSource* sender;
    long code;
    KelvraRect rect;        // code 0
    KelvraSizeChange size;  // code 1
};

// Fails unless `notice` is a size change from the old size to the new one.
void ExpectSizeChange(const Notice& notice, long oldWidth, long oldHeight, long newWidth, long newHeight);

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
