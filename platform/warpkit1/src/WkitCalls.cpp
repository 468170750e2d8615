// The calls of Warpkit1: loading, engines, and the pass life cycle
// (Init, statistics image, Begin, Process slices, Complete, End or Abort).
#include "WkitEngine.h"
#include "WkitFaults.h"

#include <atomic>
#include <cstring>
#include <limits>
#include <mutex>
#include <new>

namespace {

std::mutex g_loadLock;
int g_loadCount = 0;
std::atomic<int> g_nextSerial{1};

bool IsLoaded()
{
    std::lock_guard<std::mutex> guard(g_loadLock);
    return g_loadCount > 0;
}

#define WKIT_FAULT(call, message)                                                                                  \
    do {                                                                                                           \
        int planted = 0;                                                                                           \
        if (WkitFaultFires((call), &planted, (message)))                                                           \
            return planted;                                                                                        \
    } while (0)

bool ParametersFit(const WKITParameters* parameters)
{
    return parameters && parameters->size == std::int32_t(sizeof(WKITParameters)) && parameters->version == 1 &&
           parameters->sampleBits == 16 && (parameters->inputCount == 1 || parameters->inputCount == 2) &&
           parameters->read && parameters->write && parameters->allocate && parameters->release && parameters->input;
}

void EndPass(WKITEngine& engine)
{
    WkitReleasePass(engine);
    engine.state = WkitState::Idle;
    WkitLogPass(engine.serial, engine.params.pass, false);
}

} // namespace

int WkitTake(WKITEngine& engine, WkitBuffer& buffer, std::size_t size, WKITMessage* message)
{
    WkitGive(engine, buffer);
    void* block = nullptr;
    const std::size_t asked = WkitAllocationFails() ? std::numeric_limits<std::size_t>::max() / 2 : size;
    if (WKITCallbackResult error = engine.params.allocate(&block, asked))
        return WkitCallbackFailed(message, error);
    buffer.data = block;
    buffer.size = size;
    return kWKITOk;
}

void WkitGive(WKITEngine& engine, WkitBuffer& buffer)
{
    if (buffer.data && engine.params.release)
        engine.params.release(buffer.data); // releasing cannot fail in a way the pass could mend
    buffer = WkitBuffer();
}

int WkitCallbackFailed(WKITMessage* message, WKITCallbackResult error)
{
    if (message) {
        message->callbackErrorSlot = 0; // the upper half on 32-bit targets
        message->callbackError = error;
    }
    return kWKITCallbackFailed;
}

int WkitRefuse(WKITMessage* message, const char* text)
{
    if (message) {
        std::memset(message->text, 0, sizeof message->text);
        std::strncpy(message->text, text, sizeof message->text - 1);
    }
    return kWKITMessage;
}

void WkitReleasePass(WKITEngine& engine)
{
    WkitGive(engine, engine.statisticsPlane);
    WkitGive(engine, engine.gains);
}

extern "C" int WKITLoad()
{
    WKIT_FAULT(kWKITCallLoad, nullptr);
    std::lock_guard<std::mutex> guard(g_loadLock);
    ++g_loadCount;
    return kWKITOk;
}

extern "C" int WKITUnload()
{
    std::lock_guard<std::mutex> guard(g_loadLock);
    if (g_loadCount == 0)
        return kWKITNotLoaded;
    --g_loadCount;
    return kWKITOk;
}

extern "C" WKITHandle WKITNew(int kind, int, int)
{
    int planted = 0;
    if (WkitFaultFires(kWKITCallNew, &planted, nullptr))
        return nullptr;
    if (!IsLoaded() || kind < kWKITFirstKind || kind > kWKITLastKind)
        return nullptr;
    WKITEngine* engine = new (std::nothrow) WKITEngine;
    if (!engine)
        return nullptr;
    engine->kind = kind;
    engine->serial = g_nextSerial++;
    return engine;
}

extern "C" int WKITDelete(WKITHandle handle)
{
    if (!handle)
        return kWKITBadHandle;
    if (handle->state != WkitState::Idle)
        EndPass(*handle);
    delete handle;
    return kWKITOk;
}

extern "C" int WKITTestEngineSerial(WKITHandle handle)
{
    return handle ? handle->serial : 0;
}

extern "C" int WKITInit(WKITHandle handle, const WKITParameters* parameters, WKITOutputDescription* output,
                        WKITMessage* message)
{
    WKIT_FAULT(kWKITCallInit, message);
    if (!handle)
        return kWKITBadHandle;
    if (!IsLoaded())
        return kWKITNotLoaded;
    if (handle->state != WkitState::Idle)
        return kWKITBadState;
    if (!ParametersFit(parameters) || !output)
        return kWKITBadRecord;
    WKITEngine& engine = *handle;
    engine.params = *parameters;
    engine.input = *parameters->input;
    engine.hasStatistics = false;
    int result = kWKITBadRecord;
    if (parameters->pass == kWKITStatisticsPass)
        result = WkitStatisticsInit(engine, message);
    else if (parameters->pass == kWKITRenderPass)
        result = WkitRenderInit(engine, message);
    if (result != kWKITOk)
        return result;
    *output = engine.description;
    engine.state = WkitState::Initialised;
    WkitLogPass(engine.serial, engine.params.pass, true);
    return kWKITOk;
}

extern "C" int WKITSetStatisticsImageInfo(WKITHandle handle, const WKITImageRecord* statistics)
{
    WKIT_FAULT(kWKITCallSetStatisticsImageInfo, nullptr);
    if (!handle)
        return kWKITBadHandle;
    if (handle->state != WkitState::Initialised || handle->params.pass != kWKITStatisticsPass)
        return kWKITBadState;
    if (!statistics || !statistics->context || statistics->width != handle->description.statisticsWidth ||
        statistics->height != handle->description.statisticsHeight)
        return kWKITBadRecord;
    handle->statistics = *statistics;
    handle->hasStatistics = true;
    return kWKITOk;
}

extern "C" int WKITBegin(WKITHandle handle, WKITMessage* message)
{
    WKIT_FAULT(kWKITCallBegin, message);
    if (!handle)
        return kWKITBadHandle;
    if (handle->state != WkitState::Initialised || !handle->hasStatistics)
        return kWKITBadState;
    WKITEngine& engine = *handle;
    const int result = engine.params.pass == kWKITStatisticsPass ? WkitStatisticsBegin(engine, message)
                                                                 : WkitRenderBegin(engine, message);
    if (result != kWKITOk)
        return result;
    engine.unitsDone = 0;
    engine.state = engine.unitsTotal > 0 ? WkitState::Running : WkitState::Complete;
    return kWKITOk;
}

extern "C" int WKITProcess(WKITHandle handle, int slice, int* percent, WKITMessage* message)
{
    WKIT_FAULT(kWKITCallProcess, message);
    if (!handle)
        return kWKITBadHandle;
    WKITEngine& engine = *handle;
    if (engine.state != WkitState::Running && engine.state != WkitState::Complete)
        return kWKITBadState;
    if (engine.state == WkitState::Running) {
        const int result = engine.params.pass == kWKITStatisticsPass
                               ? WkitStatisticsProcess(engine, slice > 0 ? slice : 1, message)
                               : WkitRenderProcess(engine, slice > 0 ? slice : 1, message);
        if (result != kWKITOk)
            return result;
        if (engine.unitsDone >= engine.unitsTotal)
            engine.state = WkitState::Complete;
    }
    if (percent)
        *percent = engine.unitsTotal > 0 ? int(std::int64_t(engine.unitsDone) * 100 / engine.unitsTotal) : 100;
    return kWKITOk;
}

extern "C" int WKITComplete(WKITHandle handle)
{
    return handle && handle->state == WkitState::Complete ? 1 : 0;
}

extern "C" int WKITEnd(WKITHandle handle, WKITMessage* message)
{
    WKIT_FAULT(kWKITCallEnd, message);
    if (!handle)
        return kWKITBadHandle;
    if (handle->state != WkitState::Complete)
        return kWKITBadState;
    EndPass(*handle);
    return kWKITOk;
}

extern "C" int WKITAbort(WKITHandle handle, WKITMessage* message)
{
    WKIT_FAULT(kWKITCallAbort, message);
    if (!handle)
        return kWKITBadHandle;
    if (handle->state != WkitState::Idle)
        EndPass(*handle);
    return kWKITOk;
}
