#include "filters/fisheye/TlFisheyeFilter.h"

#include "settings/lens/TlLensInformation.h"

namespace {

// The re-projection of pixels and the mapping of points and rectangles are
// not written yet. Until they are, the filter passes its input through and
// maps nothing; DoGenerateTile and the mapping overrides are where they go.
constexpr bool kReprojectionWritten = false;

// A lens object that only the lens model cache still refers to is released.
constexpr int kCacheOnlyCount = 1;

} // namespace

CFisheyeFilter::CFisheyeFilter(IKelvraManager* manager) : CTlFilter(manager)
{
    m_bypass = !kReprojectionWritten;
    CTlLensInformation::SetKeepCount(kCacheOnlyCount);
}

CFisheyeFilter::~CFisheyeFilter()
{
    DropLens();
}

KelvraTag CFisheyeFilter::GetFilterTag() const
{
    return TlFilterId("FEye");
}

const char* CFisheyeFilter::GetFilterName() const
{
    return "Fisheye Test Filter";
}

bool CFisheyeFilter::HasLensModel() const
{
    return m_inverseCurve1 != nullptr && m_inverseCurve2 != nullptr;
}

void CFisheyeFilter::DropLens()
{
    // The curves live in the lens object, which may go with the reference.
    m_inverseCurve1 = m_inverseCurve2 = m_forwardCurve1 = m_forwardCurve2 = nullptr;
    m_lensInformation.Reset();
}

void CFisheyeFilter::TakeCurves()
{
    const CTlLensInformation* lens = m_lensInformation.Get();
    if (lens)
        lens->GetLensData(&m_inverseCurve1, &m_inverseCurve2, &m_forwardCurve1, &m_forwardCurve2);
}

IKelvraError* CFisheyeFilter::SetFillMode(std::uint8_t fillMode, bool notify)
{
    if (fillMode == m_fillMode)
        return nullptr;
    m_fillMode = fillMode;
    m_stale = true;
    return AnnounceWholeOutput(notify);
}

IKelvraError* CFisheyeFilter::SetFillColor(int index, bool notify)
{
    if (index == m_fillColorIndex)
        return nullptr;
    if (index < 0 || index >= kFillColorCount)
        return TL_FILTER_ERROR(kKelvraMissingObject);
    m_fillColorIndex = index;
    m_stale = true;
    return AnnounceWholeOutput(notify);
}

IKelvraError* CFisheyeFilter::AnnounceWholeOutput(bool notify)
{
    if (!WillNotify(notify))
        return nullptr;
    long width = 0, height = 0;
    if (IKelvraError* error = GetSize(&width, &height))
        return TL_FILTER_WRAP(error);
    return NotifyChanged(notify, KelvraRect(0, 0, width, height));
}

IKelvraError* CFisheyeFilter::DoGenerateTile(IKelvraTile*, CKelvraProcessInfo*)
{
    // The re-projection comes with its own change; until then the filter
    // always passes through (see kReprojectionWritten) and is never asked
    // for tiles.
    return TL_FILTER_ERROR(kKelvraNotReady);
}
