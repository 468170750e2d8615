#include "frame/TlSaveProgress.h"

#include <mutex>

namespace {

constexpr std::uint32_t kPhaseNorm = 0x4E6F726D; // "Norm"
constexpr std::uint32_t kPhaseRev = 0x00526576;  // "Rev"

// Written by the save on the worker thread and by start-up and tests on the
// host's thread.
std::mutex g_lock;
TlSaveProgressState g_state;

int* WeightOf(TlSaveProgressState& state, int stageKind)
{
    switch (stageKind) {
    case kTlStageSecondWeight: return &state.weights[1];
    case kTlStageThirdWeight: return &state.weights[2];
    case kTlStageFirstWeight: return &state.weights[0];
    default: return nullptr;
    }
}

long Figure(int percent, int weight, int base)
{
    return long(percent * weight * 0.01 + base);
}

void MoveWeightIntoBase(TlSaveProgressState& state, int* weight)
{
    state.base += *weight;
    *weight = 0;
}

struct PhaseRange {
    long start;
    long span;
};

PhaseRange RangeOf(std::uint32_t phase)
{
    if (phase == kPhaseNorm)
        return {0, 25};
    if (phase == kPhaseRev)
        return {25, 75};
    return {0, 100};
}

} // namespace

TlSaveProgressState GetSaveProgressState()
{
    const std::lock_guard<std::mutex> guard(g_lock);
    return g_state;
}

TlSaveProgressState ExchangeSaveProgressState(const TlSaveProgressState& state)
{
    const std::lock_guard<std::mutex> guard(g_lock);
    const TlSaveProgressState previous = g_state;
    g_state = state;
    return previous;
}

void SetWatchedFilter(IKelvraFilter* filter)
{
    const std::lock_guard<std::mutex> guard(g_lock);
    g_state.watchedFilter = filter;
}

void SetSaveProgressBase(int base)
{
    const std::lock_guard<std::mutex> guard(g_lock);
    g_state.base = base;
}

bool OnSaveProgress(int reportType, signed char percent, int stageKind)
{
    ITlSaveProgressSink* sink = nullptr;
    long figure = 0;
    {
        const std::lock_guard<std::mutex> guard(g_lock);
        int* weight = WeightOf(g_state, stageKind);
        if (reportType == kTlReportStageDone) {
            if (weight)
                MoveWeightIntoBase(g_state, weight);
            return true;
        }
        if (reportType != kTlReportWithinStage)
            return true;
        sink = g_state.sink;
        figure = Figure(percent, weight ? *weight : 0, g_state.base);
    }
    // The sink is called outside the lock: it may run the host's code.
    return sink ? !sink->Progress(figure, 100) : true;
}

void ReportFilterPhase(IKelvraFilter* filter, long code, const TlFilterPhase* phase)
{
    ITlSaveProgressSink* sink = nullptr;
    enum { kNothing, kDisable, kEnable, kProgress } action = kNothing;
    long figure = 0;
    {
        const std::lock_guard<std::mutex> guard(g_lock);
        if (code != 1 || !phase || !filter || filter != g_state.watchedFilter)
            return;
        sink = g_state.sink;
        if (phase->step == 0 && phase->total == 1) {
            action = kDisable;
        } else if (phase->step == 1 && phase->total == 1) {
            action = kEnable;
            if (phase->phase == kPhaseRev)
                MoveWeightIntoBase(g_state, &g_state.weights[2]);
        } else if (phase->total != 0) {
            const PhaseRange range = RangeOf(phase->phase);
            // 64-bit product: a step count read from the filter cannot overflow it.
            const long long scaled = range.start + (long long)range.span * phase->step / phase->total;
            const signed char percent = static_cast<signed char>(scaled);
            figure = Figure(percent, g_state.weights[2], g_state.base);
            action = kProgress;
        }
    }
    if (!sink)
        return;
    switch (action) {
    case kDisable: sink->SetEnabled(false); break;
    case kEnable: sink->SetEnabled(true); break;
    case kProgress: sink->Progress(figure, 100); break; // the answer is not used here
    case kNothing: break;
    }
}
