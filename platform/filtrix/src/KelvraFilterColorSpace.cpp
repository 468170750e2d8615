#include "filtrix/KelvraFilterColorSpace.h"

#include "ColorModelRows.h"
#include "FiltrixNotices.h"
#include "FiltrixSamples.h"
#include "FiltrixTileRows.h"

namespace {

bool IsSpace(long space)
{
    return space == kColorSpaceKeep || space == kColorSpaceGrey || space == kColorSpaceRGB;
}

bool IsDepth(long depth)
{
    return depth == kColorDepthKeep || depth == kColorDepth8 || depth == kColorDepth16;
}

} // namespace

CKelvraFilterColorSpace::CKelvraFilterColorSpace(IKelvraManager* manager) : CKelvraFilterBase(manager, 1) {}

KelvraTag CKelvraFilterColorSpace::GetFilterTag() const
{
    return kTag;
}

const char* CKelvraFilterColorSpace::GetFilterName() const
{
    return "Color Space";
}

void CKelvraFilterColorSpace::GetOutputColorSpace(long* space, long* depth) const
{
    std::lock_guard<CKelvraLock> guard(m_lock);
    if (space)
        *space = m_space;
    if (depth)
        *depth = m_depth;
}

IKelvraError* CKelvraFilterColorSpace::SetOutputColorSpace(long space, long depth, bool notify)
{
    if (!IsSpace(space) || !IsDepth(depth))
        return KELVRA_ERROR(nullptr, kTag, kKelvraBadArgument);
    const KelvraPixelFormat before = FiltrixCurrentFormat(*this);
    {
        std::lock_guard<CKelvraLock> guard(m_lock);
        if (space == m_space && depth == m_depth)
            return nullptr;
        m_space = space;
        m_depth = depth;
        m_stale = true;
    }
    if (IKelvraError* error = FiltrixSendFormatChange(*this, notify, before, FiltrixCurrentFormat(*this)))
        return error;
    return NotifyChanged(notify);
}

IKelvraError* CKelvraFilterColorSpace::OutputFor(KelvraPixelFormat input, KelvraPixelFormat* output) const
{
    std::lock_guard<CKelvraLock> guard(m_lock);
    *output = ColorOutputFormat(input, m_space, m_depth);
    return *output ? nullptr : KELVRA_ERROR(nullptr, kTag, kKelvraUnsupportedFormat);
}

IKelvraError* CKelvraFilterColorSpace::GetFilteredColorSpace(IKelvraDataSource* const* sources, long count,
                                                             KelvraPixelFormat* format)
{
    if (!format)
        return KELVRA_ERROR(nullptr, kTag, kKelvraMissingObject);
    IKelvraDataSource* first = sources && count > 0 ? sources[0] : nullptr;
    KelvraPixelFormat input = 0;
    if (IKelvraError* error = FiltrixSourceFormat(kTag, first, FiltrixIsSampleFormat, &input))
        return error;
    return OutputFor(input, format);
}

IKelvraError* CKelvraFilterColorSpace::DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info)
{
    IKelvraDataSource* source = nullptr;
    KelvraPixelFormat input = 0, output = 0;
    if (IKelvraError* error = FiltrixFirstSource(kTag, SourcesFor(info), FiltrixIsSampleFormat, &source, &input))
        return error;
    if (IKelvraError* error = OutputFor(input, &output))
        return error;
    return FiltrixFillTile(kTag, tile, source, output, 0, 0, [input, output](const FiltrixRowRun& run) {
        ConvertColorRun(input, output, run.source, run.target, run.count);
    });
}
