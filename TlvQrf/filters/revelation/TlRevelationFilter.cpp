#include "filters/revelation/TlRevelationFilter.h"

#include "filters/revelation/TlRevelationNotices.h"
#include "filters/revelation/TlRevelationRun.h"
#include "filters/revelation/TlWarpkitEngine.h"
#include "kelvra/KelvraManager.h"

#include <new>
#include <tuple>

struct CRevelationFilter::Target {
    IKelvraDataSource* source;
    IKelvraImage** destination;
    bool* statisticsStale;
    bool* renderStale;
    CWarpkitEngine** engine;
};

namespace {

bool IsGreyOrColour(KelvraPixelFormat format)
{
    const KelvraPixelFormat layout = format & 0x1FFFF;
    return layout == 1 || layout == 513;
}

bool EngineFormat(KelvraPixelFormat format)
{
    return format == kKelvraGrey8 || format == kKelvraGrey16 || format == kKelvraRGB8 || format == kKelvraRGB16;
}

} // namespace

CRevelationFilter::CRevelationFilter(IKelvraManager* manager) : CTlFilter(manager, 0)
{
}

CRevelationFilter::~CRevelationFilter()
{
    delete m_engine;
    if (m_cacheImage)
        m_cacheImage->Release();
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

IKelvraError* CRevelationFilter::GetFilteredColorSpace(IKelvraDataSource* const* sources, long count,
                                                       KelvraPixelFormat* format)
{
    if (IKelvraError* error = CTlFilter::GetFilteredColorSpace(sources, count, format))
        return error;
    if (EngineFormat(*format)) {
        const bool wide = m_bitsPerSample != 8;
        *format = KelvraIsGrey(*format) ? (wide ? kKelvraGrey16 : kKelvraGrey8) : (wide ? kKelvraRGB16 : kKelvraRGB8);
    }
    return nullptr;
}

IKelvraError* CRevelationFilter::CheckCache()
{
    std::lock_guard<std::recursive_mutex> guard(m_updateLock);
    if (m_stale || !m_cacheImage) {
        m_renderStale = true;
        if (!m_cacheImage) {
            m_statisticsStale = true;
            if (!GetManager())
                return TL_FILTER_ERROR(kKelvraMissingObject);
            if (IKelvraError* error = GetManager()->CreateImage(&m_cacheImage, 0))
                return TL_FILTER_WRAP(error);
        }
    }
    return CTlFilter::CheckCache();
}

IKelvraError* CRevelationFilter::AllocateProcessInfo(CKelvraProcessInfo** info)
{
    if (!info)
        return TL_FILTER_ERROR(kKelvraMissingObject);
    *info = new (std::nothrow) CRevelationRun;
    return *info ? nullptr : TL_FILTER_ERROR(kKelvraOutOfMemory);
}

CRevelationFilter::Target CRevelationFilter::TargetOf(CKelvraProcessInfo* info)
{
    if (auto* run = dynamic_cast<CRevelationRun*>(info))
        return {run->GetSource(0), &run->output, &run->statisticsStale, &run->renderStale, &run->engine};
    return {GetSource(0), &m_cacheImage, &m_statisticsStale, &m_renderStale, &m_engine};
}

IKelvraError* CRevelationFilter::EnsureEngine(Target& target)
{
    if (*target.engine)
        return nullptr;
    *target.engine = new (std::nothrow) CWarpkitEngine(GetManager(), true);
    return *target.engine ? nullptr : TL_FILTER_ERROR(kKelvraOutOfMemory);
}

template <typename Begin>
IKelvraError* CRevelationFilter::RunPass(CWarpkitEngine& engine, std::uint32_t phase, Begin begin, bool* finished)
{
    KelvraProgress record = {phase, 0, 1, 1, 1, {}};
    IKelvraError* error = NotifyWatchers(kKelvraWatchProgress, &record);
    if (!error && record.carryOn) {
        error = begin();
        record.total = 100;
        while (!error && record.carryOn && !engine.IsDone()) {
            long percent = 0;
            error = engine.Step(&percent, 100);
            record.current = std::int32_t(percent);
            if (!error)
                error = NotifyWatchers(kKelvraWatchProgress, &record);
        }
    }
    *finished = !error && record.carryOn && engine.IsDone();
    if (*finished) {
        record.current = record.total = 1;
        error = NotifyWatchers(kKelvraWatchProgress, &record);
    } else if (!engine.IsDone()) {
        IKelvraError::Release(engine.Abort()); // whatever stopped the pass is the error to report
    }
    if (!*finished)
        IKelvraError::Release(Enable(false, true));
    return error ? TL_FILTER_WRAP(error) : nullptr;
}

IKelvraError* CRevelationFilter::StatisticsStep(Target& target)
{
    if (target.statisticsStale == &m_statisticsStale) {
        if (IKelvraError* error = CheckCache())
            return error;
    }
    if (!*target.statisticsStale)
        return nullptr;
    if (IKelvraError* error = EnsureEngine(target))
        return error;
    CWarpkitEngine& engine = **target.engine;
    bool finished = false;
    IKelvraError* error = RunPass(engine, kStatisticsPhase, [&] {
        return engine.BeginStatistics(target.source, m_engineOption, m_bitsPerSample, m_kind, nullptr);
    }, &finished);
    if (finished)
        *target.statisticsStale = false;
    return error;
}

IKelvraError* CRevelationFilter::Update(CKelvraProcessInfo* info)
{
    Target target = TargetOf(info);
    if (!target.source)
        return TL_FILTER_ERROR(kKelvraNotReady);
    if (IKelvraError* error = StatisticsStep(target))
        return TL_FILTER_WRAP(error);
    if (*target.statisticsStale || !*target.renderStale)
        return nullptr; // cancelled, or nothing to render again
    if (!*target.destination) {
        if (IKelvraError* error = GetManager()->CreateImage(target.destination, 0))
            return TL_FILTER_WRAP(error);
    }
    long width = 0, height = 0;
    if (IKelvraError* error = target.source->GetSize(&width, &height))
        return TL_FILTER_WRAP(error);
    const KelvraRect whole(0, 0, width, height);
    if (IKelvraError* error = EnsureEngine(target))
        return error;
    CWarpkitEngine& engine = **target.engine;
    bool finished = false;
    IKelvraError* error = RunPass(engine, kRenderPhase, [&] {
        return engine.BeginRender(target.source, m_param0, m_param1, m_param2, *target.destination, m_engineOption,
                                  m_bitsPerSample, m_kind, true, &whole);
    }, &finished);
    if (finished)
        *target.renderStale = false;
    return error;
}

IKelvraError* CRevelationFilter::UpdateStatistics(CKelvraProcessInfo* info)
{
    std::lock_guard<std::recursive_mutex> guard(m_updateLock);
    return Update(info);
}

IKelvraError* CRevelationFilter::Worker(CKelvraProcessInfo* info)
{
    IKelvraDataSource* source = TargetOf(info).source;
    KelvraPixelFormat format = 0;
    if (!source)
        return TL_FILTER_ERROR(kKelvraNotReady);
    if (IKelvraError* error = source->GetColorSpace(&format))
        return TL_FILTER_WRAP(error);
    if (!IsGreyOrColour(format))
        return TL_FILTER_TEXT(kTlBadSourceColorSpace);
    return UpdateStatistics(info);
}

IKelvraError* CRevelationFilter::DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info)
{
    IKelvraImage* output = nullptr;
    {
        auto* run = dynamic_cast<CRevelationRun*>(info);
        CRevelationRun oneOff; // sources handed without a run of this filter's making
        if (info && !run) {
            oneOff.sources = info->sources;
            run = &oneOff;
        }
        std::unique_lock<std::mutex> runGuard;
        if (run)
            runGuard = std::unique_lock<std::mutex>(run->lock);
        std::lock_guard<std::recursive_mutex> guard(m_updateLock);
        const Target target = TargetOf(run);
        if (*target.statisticsStale || *target.renderStale || !*target.destination) {
            if (IKelvraError* error = Worker(run))
                return error;
        }
        if (*target.statisticsStale || *target.renderStale) // cancelled: the filter let go of its output
            return TL_FILTER_ERROR(kKelvraCancelled);
        output = *target.destination;
        if (run == &oneOff)
            return CopyOutput(tile, info, output);
    }
    return CopyOutput(tile, info, output);
}

IKelvraError* CRevelationFilter::CopyOutput(IKelvraTile* tile, CKelvraProcessInfo* info, IKelvraImage* output)
{
    return GenerateTarget(tile, info, CTlFormatCheck(), [&](const CTlTileTarget& target) -> IKelvraError* {
        IKelvraError* error = KelvraReadRect(output, target.toFill, target.At(target.toFill.left, target.toFill.top),
                                             target.pixels.RowBytes());
        return error ? TL_FILTER_WRAP(error) : nullptr;
    });
}

IKelvraError* CRevelationFilter::KelvraNotify(IKelvraDataSource* source, long code, void* data)
{
    const TlStalePasses stale = TlPassesStaledBy(code);
    m_statisticsStale = m_statisticsStale || stale.statistics;
    m_renderStale = m_renderStale || stale.render;
    if (stale.render)
        m_stale = true; // the whole output follows from the whole source
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
