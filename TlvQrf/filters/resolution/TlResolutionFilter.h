// Passes pixels through and, while enabled, reports a stored resolution in
// place of its source's, so that a saved image carries the resolution chosen
// for it.
#pragma once

#include "filters/frame/TlFilter.h"

class CResolutionFilter : public CTlFilter {
public:
    explicit CResolutionFilter(IKelvraManager* manager);

    KelvraTag GetFilterTag() const override { return TlFilterId("reso"); }
    const char* GetFilterName() const override { return "Resolution Filter"; }

    // Dots per inch; announced downstream as (old, new) while enabled.
    IKelvraError* SetResolution(double dpi, bool notify);
    double GetStoredResolution() const { return m_resolution; }

    IKelvraError* GetResolution(double* dpi) override;
    IKelvraError* GetFilteredResolution(IKelvraDataSource* const* sources, long count, double* dpi) override;
    // Switching the filter swaps which resolution is reported, and says so.
    IKelvraError* Enable(bool enabled, bool notify) override;
    // An upstream resolution change means nothing downstream while enabled.
    IKelvraError* KelvraNotify(IKelvraDataSource* source, long code, void* data) override;
    // Never asked: the filter is always bypassed.
    IKelvraError* DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info) override;

private:
    double m_resolution = 0.0;
};
