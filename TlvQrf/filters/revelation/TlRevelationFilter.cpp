#include "filters/revelation/TlRevelationFilter.h"

#include "filters/revelation/TlRevelationNotices.h"

#include <tuple>

CRevelationFilter::CRevelationFilter(IKelvraManager* manager) : CTlFilter(manager, 0)
{
    m_bypass = true; // no engine yet: the source passes through
}

IKelvraError* CRevelationFilter::SetDataFormat(long kind, long bitsPerSample, bool engineOption, bool notify)
{
    auto bothStale = [this] {
        m_statisticsStale = true;
        m_renderStale = true;
    };
    return ApplySetting(std::tie(m_kind, m_bitsPerSample, m_engineOption),
                        std::make_tuple(kind, bitsPerSample, engineOption), notify, bothStale);
}

IKelvraError* CRevelationFilter::SetParameters(long param0, long param1, long param2, bool notify)
{
    auto renderStale = [this] { m_renderStale = true; };
    return ApplySetting(std::tie(m_param0, m_param1, m_param2), std::make_tuple(param0, param1, param2), notify,
                        renderStale);
}

IKelvraError* CRevelationFilter::UpdateStatistics(CKelvraProcessInfo*)
{
    return nullptr; // no engine to run; the stale passes wait for it
}

IKelvraError* CRevelationFilter::DoGenerateTile(IKelvraTile*, CKelvraProcessInfo*)
{
    return nullptr; // never asked while the filter passes through
}

IKelvraError* CRevelationFilter::KelvraNotify(IKelvraDataSource* source, long code, void* data)
{
    const TlStalePasses stale = TlPassesStaledBy(code);
    m_statisticsStale = m_statisticsStale || stale.statistics;
    m_renderStale = m_renderStale || stale.render;
    if (code != kKelvraNotifyResolution)
        return CTlFilter::KelvraNotify(source, code, data);
    long width = 0, height = 0;
    if (!source)
        return TL_FILTER_ERROR(kKelvraMissingObject);
    if (IKelvraError* error = source->GetSize(&width, &height))
        return TL_FILTER_WRAP(error);
    KelvraRect all(0, 0, width, height);
    return TL_FILTER_WRAP(KelvraSendDataNotification(this, kKelvraNotifyData, &all));
}
