// The progress of a save as one percentage, although several stages do the
// work: the dust analysis reports through OnSaveProgress, and one long filter
// of the full-resolution chain through notifications to the global filter
// watcher. Each pending stage stands for a weight (percent of the whole);
// a finished stage's weight moves into the base.
#pragma once

#include <cstdint>

class IKelvraFilter;

// What the progress state needs of the object that runs a save: the
// running job's progress monitor.
class ITlSaveProgressSink {
public:
    // Starts a new count of `total` steps from `position`; clears a request
    // to stop.
    virtual void Reset(long position, long total) = 0;
    // Something changed that the monitor's owner may want to show.
    virtual void Notify() = 0;
    // Reports `position` of `range`; true when the save is to stop.
    virtual bool Progress(long position, long range) = 0;
    // False while a filter phase that reports by itself runs.
    virtual void SetEnabled(bool enabled) = 0;

protected:
    ~ITlSaveProgressSink() = default;
};

struct TlSaveProgressState {
    ITlSaveProgressSink* sink = nullptr;
    int base = 0;                    // percent done by earlier stages
    int weights[3] = {20, 20, 20};   // percent each pending stage stands for
    IKelvraFilter* watchedFilter = nullptr;
};

// The stage kinds a report names; the filter's notifications use kind 1.
enum TlSaveStageKind {
    kTlStageSecondWeight = 0,
    kTlStageThirdWeight = 1,
    kTlStageFirstWeight = 2,
};

// Report types of OnSaveProgress.
enum TlSaveReportType {
    kTlReportWithinStage = 1,
    kTlReportStageDone = 2,
};

// The process-wide state; a save sets its own and restores the previous one
// afterwards (Exchange answers the state held before).
TlSaveProgressState GetSaveProgressState();
TlSaveProgressState ExchangeSaveProgressState(const TlSaveProgressState& state);
void SetWatchedFilter(IKelvraFilter* filter);
void SetSaveProgressBase(int base);

// The dust analysis' progress callback. True means go on.
bool OnSaveProgress(int reportType, signed char percent, int stageKind);

// Phase record of the watched filter's notifications (code 1).
struct TlFilterPhase {
    std::uint32_t phase; // four characters: 'Norm', '\0Rev', ...
    std::int32_t step;
    std::int32_t total;
};
static_assert(sizeof(TlFilterPhase) == 12, "three 32-bit words");

// Turns a notification of the watched filter into progress (anything else
// is ignored). Called by the global filter watcher.
void ReportFilterPhase(IKelvraFilter* filter, long code, const TlFilterPhase* phase);
