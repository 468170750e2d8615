#include "filtrix/UnsharpMaskFilter.h"

#include "UnsharpMaskBand.h"
#include "UnsharpMaskKernel.h"
#include "UnsharpMaskTile.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace {

bool IsRadius(double radius)
{
    return std::isfinite(radius) && radius > 0.0 && radius <= kUsmMaxRadius;
}

bool IsMethod(long method)
{
    return method == kUsmMaskBox || method == kUsmMaskTent || method == kUsmMaskGaussian;
}

} // namespace

CUnsharpMaskFilter::CUnsharpMaskFilter(IKelvraManager* manager) : CKelvraFilterBase(manager, 1) {}

CUnsharpMaskFilter::~CUnsharpMaskFilter() = default;

KelvraTag CUnsharpMaskFilter::GetFilterTag() const
{
    return kTag;
}

const char* CUnsharpMaskFilter::GetFilterName() const
{
    return "Unsharp Mask";
}

UsmParams CUnsharpMaskFilter::GetParams() const
{
    std::lock_guard<CKelvraLock> guard(m_lock);
    return m_params;
}

template <typename Edit>
IKelvraError* CUnsharpMaskFilter::Change(bool valid, bool notify, Edit edit)
{
    if (!valid)
        return KELVRA_ERROR(nullptr, kTag, kKelvraBadArgument);
    {
        std::lock_guard<CKelvraLock> guard(m_lock);
        UsmParams next = m_params;
        edit(next);
        if (next == m_params)
            return nullptr;
        m_params = next;
        m_plan.reset();
    }
    m_stale = true;
    return NotifyChanged(notify);
}

// Setters.

IKelvraError* CUnsharpMaskFilter::SetRadii(double radius, double secondRadius, bool notify)
{
    return Change(IsRadius(radius) && IsRadius(secondRadius), notify, [&](UsmParams& params) {
        params.radius = radius;
        params.secondRadius = secondRadius;
    });
}

IKelvraError* CUnsharpMaskFilter::SetPower(double power, bool notify)
{
    return Change(std::isfinite(power) && power >= kUsmMinPower, notify,
                  [&](UsmParams& params) { params.power = power; });
}

IKelvraError* CUnsharpMaskFilter::SetThreshold(double threshold, bool notify)
{
    return Change(std::isfinite(threshold) && threshold >= 0.0, notify,
                  [&](UsmParams& params) { params.threshold = threshold; });
}

IKelvraError* CUnsharpMaskFilter::SetAffectNoise(bool affectNoise, bool notify)
{
    return Change(true, notify, [&](UsmParams& params) { params.affectNoise = affectNoise; });
}

IKelvraError* CUnsharpMaskFilter::SetMaskMethod(long method, bool notify)
{
    return Change(IsMethod(method), notify, [&](UsmParams& params) { params.method = method; });
}

IKelvraError* CUnsharpMaskFilter::SetRange(double start, double startSoftness, double end, double endSoftness,
                                           bool notify)
{
    const UsmBand band{start, startSoftness, end, endSoftness};
    return Change(UsmBandIsValid(band), notify, [&](UsmParams& params) { params.band = band; });
}

// Getters.

IKelvraError* CUnsharpMaskFilter::GetRange(double* start, double* startSoftness, double* end,
                                           double* endSoftness) const
{
    if (!start || !startSoftness || !end || !endSoftness)
        return KELVRA_ERROR(nullptr, kTag, kKelvraMissingObject);
    const UsmBand band = GetParams().band;
    *start = band.start;
    *startSoftness = band.startSoftness;
    *end = band.end;
    *endSoftness = band.endSoftness;
    return nullptr;
}

// Change notices: an output pixel depends on the source pixels its mask reaches.

template <typename Rect>
IKelvraError* CUnsharpMaskFilter::GrowByReach(Rect* rect)
{
    if (!rect)
        return KELVRA_ERROR(nullptr, kTag, kKelvraMissingObject);
    const UsmParams params = GetParams();
    const long x = UsmKernelHalfWidth(params.method, params.radius);
    const long y = UsmKernelHalfWidth(params.method, params.secondRadius);
    rect->left -= x;
    rect->top -= y;
    rect->right += x;
    rect->bottom += y;
    long width = 0, height = 0;
    if (IKelvraError* error = GetSize(&width, &height)) {
        IKelvraError::Release(error); // without a source there is nothing to clip to
        return nullptr;
    }
    using Value = decltype(rect->left);
    rect->left = std::max(rect->left, Value(0));
    rect->top = std::max(rect->top, Value(0));
    rect->right = std::min(rect->right, Value(width));
    rect->bottom = std::min(rect->bottom, Value(height));
    return nullptr;
}

IKelvraError* CUnsharpMaskFilter::FilterRect(KelvraRect* rect)
{
    return GrowByReach(rect);
}

IKelvraError* CUnsharpMaskFilter::FilterRect(KelvraDblRect* rect)
{
    return GrowByReach(rect);
}

// Tiles.

std::shared_ptr<const UsmPlan> CUnsharpMaskFilter::CurrentPlan()
{
    std::lock_guard<CKelvraLock> guard(m_lock);
    if (!m_plan)
        m_plan = MakeUsmPlan(m_params);
    return m_plan;
}

IKelvraError* CUnsharpMaskFilter::DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info)
{
    try {
        const std::vector<IKelvraDataSource*>& sources = SourcesFor(info);
        if (sources.empty() || !sources[0])
            return KELVRA_ERROR(nullptr, kTag, kKelvraNotReady);
        return UsmFillTile(sources[0], *CurrentPlan(), tile, kTag);
    } catch (const std::bad_alloc&) {
        return KELVRA_ERROR(nullptr, kTag, kKelvraOutOfMemory);
    }
}
