// The whole-image Revelation stage. Its settings and the bookkeeping of
// which engine pass must run again are complete; until the engine is
// connected the filter passes its source through unchanged.
#pragma once

#include "filters/frame/TlFilter.h"

class CRevelationFilter : public CTlFilter {
public:
    // The engine kind, sample depth and parameters it starts with.
    static constexpr long kDefaultKind = 11;
    static constexpr long kDefaultBitsPerSample = 16;

    explicit CRevelationFilter(IKelvraManager* manager);

    KelvraTag GetFilterTag() const override { return TlFilterId("rev "); }
    const char* GetFilterName() const override { return "Revelation"; }
    IKelvraError* DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info) override;

    // A change makes both passes stale.
    IKelvraError* SetDataFormat(long kind, long bitsPerSample, bool engineOption, bool notify);
    // A change makes only the rendering pass stale.
    IKelvraError* SetParameters(long param0, long param1, long param2, bool notify);
    // Runs whatever pass is stale; null `info` outside a process run.
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

    // Source changes: which passes they make stale; a resolution change
    // reaches downstream as a change of every pixel.
    IKelvraError* KelvraNotify(IKelvraDataSource* source, long code, void* data) override;

private:
    long m_param0 = 127;
    long m_param1 = 190;
    long m_param2 = 127;
    long m_kind = kDefaultKind;
    long m_bitsPerSample = kDefaultBitsPerSample;
    bool m_engineOption = false;
    bool m_statisticsStale = true;
    bool m_renderStale = true;
};
