// A filter plug-in for the tests: blends every sample towards its inverse by
// the amount of its parameter block, which it makes through the handle
// procedures when the host has none. It logs every call of its entry, and a
// test can make one selector fail.
#include "TlTestPluginParameters.h"
#include "psplugin/PsFilter.h"

#include <atomic>
#include <cstring>

namespace {

constexpr int kLogCapacity = 8192;
std::atomic<int> g_logCount{0};
int g_log[kLogCapacity];
std::atomic<int> g_failSelector{-1};
std::atomic<int> g_failResult{0};

void Log(int event)
{
    const int at = g_logCount.fetch_add(1);
    if (at < kLogCapacity)
        g_log[at] = event;
}

TlTestPluginParameters* LockParameters(PsFilterRecord* record)
{
    if (record->parameters == nullptr)
        return nullptr;
    return static_cast<TlTestPluginParameters*>(record->handleProcs->lockProc(record->parameters, 0));
}

PsResult MakeParameters(PsFilterRecord* record)
{
    if (record->parameters != nullptr)
        return kPsNoError;
    record->parameters = record->handleProcs->newProc(sizeof(TlTestPluginParameters));
    TlTestPluginParameters* parameters = LockParameters(record);
    if (parameters == nullptr)
        return kPsOutOfMemory;
    std::memset(parameters, 0, sizeof *parameters);
    parameters->magic = kTlTestPluginMagic;
    parameters->amount = kTlTestPluginDefaultAmount;
    parameters->inputRate = 1;
    record->handleProcs->unlockProc(record->parameters);
    return kPsNoError;
}

// A copy of the block; the defaults when it is not one of ours.
TlTestPluginParameters ReadParameters(PsFilterRecord* record)
{
    TlTestPluginParameters copy{kTlTestPluginMagic, kTlTestPluginDefaultAmount, kPsLayoutInterleaved, 1, 0, 0, {}, 0};
    const TlTestPluginParameters* parameters = LockParameters(record);
    if (parameters != nullptr && record->handleProcs->getSizeProc(record->parameters) >= std::int32_t(sizeof copy) &&
        parameters->magic == kTlTestPluginMagic)
        copy = *parameters;
    if (record->parameters != nullptr)
        record->handleProcs->unlockProc(record->parameters);
    if (copy.inputRate == 0)
        copy.inputRate = 1;
    return copy;
}

std::uint32_t ReadSample(const unsigned char* at, int bytes)
{
    if (bytes == 1)
        return *at;
    std::uint16_t value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

void WriteSample(unsigned char* at, int bytes, std::uint32_t value)
{
    if (bytes == 1) {
        *at = static_cast<unsigned char>(value);
        return;
    }
    const std::uint16_t sample = static_cast<std::uint16_t>(value);
    std::memcpy(at, &sample, sizeof sample);
}

// Filters the delivered input (at the record's input rate) into the output
// rectangle.
void Filter(const PsFilterRecord* record, const TlTestPluginParameters& parameters)
{
    const int rate = record->inputRate >> 16 > 0 ? record->inputRate >> 16 : 1;
    const int bytes = record->depth / 8;
    const int planes = record->planes;
    const std::uint32_t maximum = record->depth == 16 ? 65535 : 255;
    const PsRect& out = record->outRect;
    const PsRect& in = record->inRect;
    const std::int64_t planeBytes =
        std::int64_t(record->filterRect.bottom - record->filterRect.top) * record->outRowBytes;
    const auto* input = static_cast<const unsigned char*>(record->inData);
    auto* output = static_cast<unsigned char*>(record->outData);
    for (int y = out.top; y < out.bottom; ++y) {
        const unsigned char* inRow = input + std::int64_t(y / rate - in.top) * record->inRowBytes;
        for (int x = out.left; x < out.right; ++x) {
            const unsigned char* inPixel = inRow + std::int64_t(x / rate - in.left) * planes * bytes;
            for (int plane = 0; plane < planes; ++plane) {
                const std::uint32_t value =
                    TlTestPluginFilter(ReadSample(inPixel + plane * bytes, bytes), maximum, parameters.amount);
                const std::int64_t row = std::int64_t(y - out.top) * record->outRowBytes;
                const std::int64_t at = record->wantLayout == kPsLayoutPlanar
                                            ? plane * planeBytes + row + std::int64_t(x - out.left) * bytes
                                            : row + (std::int64_t(x - out.left) * planes + plane) * bytes;
                WriteSample(output + at, bytes, value);
            }
        }
    }
}

// Selector 12: asks for the whole filter rectangle at its own input rate.
PsResult Run(PsFilterRecord* record, const TlTestPluginParameters& parameters)
{
    const int rate = parameters.inputRate;
    const PsRect& filter = record->filterRect;
    record->inputRate = rate << 16;
    record->inRect = {filter.top / rate, filter.left / rate, (filter.bottom + rate - 1) / rate,
                      (filter.right + rate - 1) / rate};
    if (parameters.askTooWide != 0)
        record->inRect.right = 0x7FFFFFF0;
    record->outRect = filter;
    record->inLoPlane = record->outLoPlane = 0;
    record->inHiPlane = record->outHiPlane = static_cast<std::int16_t>(record->planes - 1);
    const PsResult result = record->advanceState();
    if (result != kPsNoError)
        return result;
    Filter(record, parameters);
    return kPsNoError;
}

PsResult Finish(PsFilterRecord* record)
{
    TlTestPluginParameters* parameters = LockParameters(record);
    if (parameters != nullptr && parameters->countFinishes != 0)
        ++parameters->finishes;
    if (record->parameters != nullptr)
        record->handleProcs->unlockProc(record->parameters);
    return kPsNoError;
}

PsResult Answer(std::int16_t selector, void* record)
{
    if (selector == g_failSelector.load())
        return static_cast<PsResult>(g_failResult.load());
    auto* filter = static_cast<PsFilterRecord*>(record);
    switch (selector) {
    case kPsSelectorParameters:
        return MakeParameters(filter);
    case kPsSelectorPrepare:
        filter->wantLayout = ReadParameters(filter).layout;
        return kPsNoError;
    case kPsSelectorRun:
        return Run(filter, ReadParameters(filter));
    case kPsSelectorContinueDelivered:
        Filter(filter, ReadParameters(filter));
        return kPsNoError;
    case kPsSelectorFinish:
        return Finish(filter);
    default:
        return kPsNoError;
    }
}

} // namespace

extern "C" {

void PS_API ENTRYPOINT(std::int16_t selector, void* record, std::intptr_t* /*data*/, PsResult* result)
{
    Log(selector);
    *result = Answer(selector, record);
    Log(kTlTestPluginExit + selector);
}

// Copies up to `capacity` logged events into `events`; answers how many
// there are.
int PS_API TlTestPluginLog(int* events, int capacity)
{
    const int count = g_logCount.load() < kLogCapacity ? g_logCount.load() : kLogCapacity;
    for (int i = 0; i < count && i < capacity; ++i)
        events[i] = g_log[i];
    return count;
}

// Clears the log and the failing selector.
void PS_API TlTestPluginReset()
{
    g_logCount = 0;
    g_failSelector = -1;
}

// Makes `selector` answer `result` without doing anything else.
void PS_API TlTestPluginFail(int selector, int result)
{
    g_failResult = result;
    g_failSelector = selector;
}
}
