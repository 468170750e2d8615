#include "filters/resolution/TlResolutionFilter.h"

CResolutionFilter::CResolutionFilter(IKelvraManager* manager) : CTlFilter(manager)
{
    m_bypass = true;
}

IKelvraError* CResolutionFilter::SetResolution(double dpi, bool notify)
{
    return ApplyResolution(m_resolution, dpi, notify);
}

IKelvraError* CResolutionFilter::GetResolution(double* dpi)
{
    if (!dpi)
        return TL_FILTER_ERROR(kKelvraMissingObject);
    IKelvraDataSource* source = GetSource(0);
    if (m_enabled || !source) {
        *dpi = m_resolution;
        return nullptr;
    }
    return TL_FILTER_WRAP(source->GetResolution(dpi));
}

IKelvraError* CResolutionFilter::GetFilteredResolution(IKelvraDataSource* const* sources, long count, double* dpi)
{
    if (!dpi)
        return TL_FILTER_ERROR(kKelvraMissingObject);
    if (m_enabled || count <= 0) {
        *dpi = m_resolution;
        return nullptr;
    }
    if (!sources || !sources[0])
        return TL_FILTER_ERROR(kKelvraNotReady);
    return TL_FILTER_WRAP(sources[0]->GetResolution(dpi));
}

IKelvraError* CResolutionFilter::Enable(bool enabled, bool notify)
{
    if (enabled == m_enabled)
        return nullptr;
    m_enabled = enabled;
    m_stale = true;
    IKelvraDataSource* source = GetSource(0);
    if (!notify || !source)
        return nullptr;
    double sourceDpi = 0.0;
    if (IKelvraError* error = source->GetResolution(&sourceDpi))
        return TL_FILTER_WRAP(error);
    KelvraResolutionChange change = enabled ? KelvraResolutionChange{sourceDpi, m_resolution}
                                            : KelvraResolutionChange{m_resolution, sourceDpi};
    return TL_FILTER_WRAP(KelvraSendDataNotification(this, kKelvraNotifyResolution, &change));
}

IKelvraError* CResolutionFilter::KelvraNotify(IKelvraDataSource* source, long code, void* data)
{
    if (code == kKelvraNotifyResolution && m_enabled)
        return nullptr;
    return CTlFilter::KelvraNotify(source, code, data);
}

IKelvraError* CResolutionFilter::DoGenerateTile(IKelvraTile*, CKelvraProcessInfo*)
{
    return nullptr;
}
