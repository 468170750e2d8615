// The whole-image Revelation stage. The Warpkit1 engine computes its output
// in two passes over the source, a statistics pass and a rendering pass,
// into the filter's cache image (during a process run, into the run's own
// image); tiles are cut from that image. Each pass reports progress records
// ('Norm', then 'Rev') to the watchers, any of whom may cancel it; a pass
// that fails or is cancelled leaves the filter disabled.
#pragma once

#include "filters/frame/TlFilter.h"

#include <mutex>

class CWarpkitEngine;

class CRevelationFilter : public CTlFilter {
public:
    // The engine kind, sample depth and parameters it starts with.
    static constexpr long kDefaultKind = 11;
    static constexpr long kDefaultBitsPerSample = 16;
    // Tags of the two passes' progress records.
    static constexpr std::uint32_t kStatisticsPhase = 0x4E6F726D; // 'Norm'
    static constexpr std::uint32_t kRenderPhase = 0x00526576;     // 'Rev'

    explicit CRevelationFilter(IKelvraManager* manager);
    ~CRevelationFilter() override;

    KelvraTag GetFilterTag() const override { return TlFilterId("rev "); }
    const char* GetFilterName() const override { return "Revelation"; }
    IKelvraError* DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info) override;
    // A new or stale output renders again; without a cache image the
    // statistics are measured again too.
    IKelvraError* CheckCache() override;
    IKelvraError* AllocateProcessInfo(CKelvraProcessInfo** info) override;
    // Grey or colour at the sample depth the engine is given.
    IKelvraError* GetFilteredColorSpace(IKelvraDataSource* const* sources, long count,
                                        KelvraPixelFormat* format) override;

    // A change makes both passes stale.
    IKelvraError* SetDataFormat(long kind, long bitsPerSample, bool engineOption, bool notify);
    // A change makes only the rendering pass stale.
    IKelvraError* SetParameters(long param0, long param1, long param2, bool notify);
    // Runs whatever pass is stale; null `info` outside a process run. Blocks
    // the caller until both passes have ended.
    IKelvraError* UpdateStatistics(CKelvraProcessInfo* info);

    // An engine pass must run again.
    bool IsStale() const { return m_statisticsStale || m_renderStale; }
    bool IsStatisticsStale() const { return m_statisticsStale; }
    bool IsRenderStale() const { return m_renderStale; }
    long GetParam0() const { return m_param0; }
    long GetParam1() const { return m_param1; }
    long GetParam2() const { return m_param2; }
    long GetKind() const { return m_kind; }
    long GetBitsPerSample() const { return m_bitsPerSample; }
    bool GetEngineOption() const { return m_engineOption; }
    IKelvraImage* GetCacheImage() const { return m_cacheImage; }

    // Source changes: which passes they make stale; a resolution change
    // reaches downstream as a change of every pixel.
    IKelvraError* KelvraNotify(IKelvraDataSource* source, long code, void* data) override;

private:
    // What one update works on: the filter's own or a run's.
    struct Target;
    Target TargetOf(CKelvraProcessInfo* info);

    // Checks the source, then runs whichever passes are stale.
    IKelvraError* Worker(CKelvraProcessInfo* info);
    IKelvraError* Update(CKelvraProcessInfo* info);
    IKelvraError* StatisticsStep(Target& target);
    IKelvraError* EnsureEngine(Target& target);
    // Cuts the tile from the finished output.
    IKelvraError* CopyOutput(IKelvraTile* tile, CKelvraProcessInfo* info, IKelvraImage* output);
    // One engine pass with its progress records; `begin` starts it. False
    // in `finished` when it failed or was cancelled: the filter is then
    // disabled.
    template <typename Begin>
    IKelvraError* RunPass(CWarpkitEngine& engine, std::uint32_t phase, Begin begin, bool* finished);

    long m_param0 = 127;
    long m_param1 = 190;
    long m_param2 = 127;
    long m_kind = kDefaultKind;
    long m_bitsPerSample = kDefaultBitsPerSample;
    bool m_engineOption = false;
    bool m_statisticsStale = true;
    bool m_renderStale = true;
    CWarpkitEngine* m_engine = nullptr; // owned; made on first use
    IKelvraImage* m_cacheImage = nullptr;
    // One update at a time: tiles may be pulled on several threads.
    std::recursive_mutex m_updateLock;
};
