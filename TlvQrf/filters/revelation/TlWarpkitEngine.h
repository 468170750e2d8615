// One Warpkit1 engine run for the Revelation filter: the statistics pass
// over a source into a 16-bit grey statistics image, then the rendering
// pass, band by band, into a destination image, each driven by Step with
// progress in percent. A pass holds the process-wide "WKITLibWholeThing"
// from the engine's start until it ends, fails or is aborted; whatever
// happens, the lock is left exactly once and the engine goes back to idle.
#pragma once

#include "filters/revelation/TlWarpkitBandPlan.h"
#include "filters/revelation/TlWarpkitCallbacks.h"
#include "kelvra/KelvraManager.h"

class CWarpkitEngine {
public:
    CWarpkitEngine(IKelvraManager* manager, bool streaming);
    virtual ~CWarpkitEngine();
    CWarpkitEngine(const CWarpkitEngine&) = delete;
    CWarpkitEngine& operator=(const CWarpkitEngine&) = delete;

    // Makes sure an engine of `kind` exists (loading the library for the
    // process's first engine).
    IKelvraError* Open(long kind);
    // `region` null: the whole source. A second source, when given, adds a
    // grey plane of the source's size and depth.
    IKelvraError* BeginStatistics(IKelvraDataSource* source, bool flag, long bitsPerSample, long kind,
                                  const KelvraRect* region, IKelvraDataSource* secondSource = nullptr);
    // p0 and p2 are the shadow and highlight strengths, p1 the pivot.
    IKelvraError* BeginRender(IKelvraDataSource* source, long p0, long p1, long p2, IKelvraImage* destination,
                              bool flag, long bitsPerSample, long kind, bool streamingFlag, const KelvraRect* region);
    // One slice of the running pass; `percentDone` of the whole pass. A
    // failure ends the pass.
    IKelvraError* Step(long* percentDone, long slice);
    bool IsDone() const { return !m_running; }
    IKelvraError* Abort();
    // Ends a running pass, deletes the engine and lets go of the images.
    IKelvraError* Close();

    IKelvraImage* GetStatisticsImage() const { return m_statisticsImage; }
    IKelvraImage* GetWorkImage() const { return m_workImage; }
    bool IsStatisticsPass() const { return m_statisticsPass; }
    const TlWarpkitBandPlan& GetBandPlan() const { return m_bands; }
    long GetBandIndex() const { return m_bandIndex; }

private:
    // What both passes refuse before anything else; then reads the source.
    IKelvraError* CheckPass(bool inputsPresent, IKelvraDataSource* source, long bitsPerSample, long kind);
    IKelvraError* ReadSource(IKelvraDataSource* source, long codeLine);
    IKelvraError* CheckSecondSource(IKelvraDataSource* second) const;
    IKelvraError* ChooseRegion(const KelvraRect* region, long minimum);
    IKelvraError* PrepareDestination(IKelvraImage* destination, long bitsPerSample, bool streamingFlag);
    IKelvraError* EnsureImage(IKelvraImage** image);
    void FillParameters(long pass);
    IKelvraError* StartStatistics();
    IKelvraError* StartBand();
    IKelvraError* FinishSlice();
    // Ends the running pass after `error`: the engine aborted, the lock
    // left, nothing running. Returns `error`.
    IKelvraError* FailPass(IKelvraError* error);
    void TakeWholeThing();
    void LeaveWholeThing();
    void ReleaseImage(IKelvraImage** image);

    IKelvraManager* m_manager;
    bool m_streaming;
    long m_kind = 0;
    WKITHandle m_handle = nullptr;
    IKelvraImage* m_workImage = nullptr;
    IKelvraImage* m_statisticsImage = nullptr;
    bool m_running = false;
    bool m_statisticsPass = false;
    bool m_holdsWholeThing = false;
    IKelvraDataSource* m_source = nullptr;
    IKelvraDataSource* m_secondSource = nullptr;
    IKelvraImage* m_destination = nullptr;
    long m_width = 0;
    long m_height = 0;
    long m_lastRow = 0;
    long m_bitsPerSample = 0;
    bool m_isColor = false;
    double m_resolution = 0;
    bool m_flag = false;
    long m_values[3] = {};
    KelvraRect m_region;
    KelvraRect m_statisticsRegion;
    TlWarpkitBandPlan m_bands;
    long m_bandIndex = 0;
    long m_outputOffsetX = 0; // where the region starts in a destination of the region's size
    long m_outputOffsetY = 0;

    TlWarpkitImage m_sourceContext;
    TlWarpkitImage m_statisticsContext;
    TlWarpkitImage m_destinationContext;
    TlWarpkitImage m_workContext;
    WKITImageRecord m_inputRecord{};
    WKITImageRecord m_statisticsRecord{};
    WKITImageRecord m_outputRecord{};
    WKITImageRecord m_workRecord{};
    WKITParameters m_parameters{};
    WKITMessage m_message{};
};
