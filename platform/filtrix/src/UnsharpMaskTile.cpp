#include "UnsharpMaskTile.h"

#include "UnsharpMaskBand.h"
#include "UnsharpMaskBlock.h"

#include <cstddef>

namespace {

// Which planes of a format are sharpened and which one holds the hue.
struct PlaneRoles {
    long sharpened; // planes 0 to sharpened - 1
    long hue;       // -1: the format has no hue plane
};

bool RolesFor(KelvraPixelFormat format, PlaneRoles* roles)
{
    switch (format) {
    case kKelvraLCh8:
    case kKelvraLCh16:
        *roles = {1, 2};
        return true;
    case kKelvraLab16:
    case kKelvraGrey8:
    case kKelvraGrey16:
        *roles = {1, -1};
        return true;
    case kKelvraRGB8:
    case kKelvraRGB16:
        *roles = {3, -1};
        return true;
    default:
        return false;
    }
}

// Replaces `plane` over `target` by its sharpened values. Only that plane
// changes, so the masks of later planes still see their source samples.
void SharpenPlane(CUsmBlock& block, long plane, long huePlane, const KelvraRect& target, const std::vector<float>& mask,
                  const UsmSampleRule& rule, const UsmBand& band)
{
    const double circle = double(block.Max()) + 1.0; // the hue after max is 0 again
    const float* blurred = mask.data();
    for (long y = target.top; y < target.bottom; ++y) {
        for (long x = target.left; x < target.right; ++x, ++blurred) {
            const double weight = huePlane < 0 ? 1.0 : UsmBandWeight(band, block.Get(x, y, huePlane) / circle);
            block.Set(x, y, plane, rule.Apply(float(block.Get(x, y, plane)), *blurred, weight));
        }
    }
}

IKelvraError* WriteTile(const CUsmBlock& block, IKelvraTile* tile, const KelvraRect& target, KelvraTag tag)
{
    KelvraRect full;
    tile->GetRect(&full);
    void* buffer = nullptr;
    if (IKelvraError* error = tile->Lock(&buffer))
        return KELVRA_WRAP(nullptr, tag, error);
    block.CopyTo(target, buffer, tile->GetRowBytes(), full);
    tile->Unlock();
    tile->SetComplete();
    return nullptr;
}

// The tile's rectangle grown by the mask's reach, inside the source.
IKelvraError* SourceArea(IKelvraDataSource* source, const UsmPlan& plan, const KelvraRect& target, KelvraRect* area)
{
    long width = 0, height = 0;
    if (IKelvraError* error = source->GetSize(&width, &height))
        return error;
    const KelvraRect reach(target.left - plan.alongX.half, target.top - plan.alongY.half,
                           target.right + plan.alongX.half, target.bottom + plan.alongY.half);
    *area = reach.Intersection(KelvraRect(0, 0, width, height));
    return nullptr;
}

} // namespace

IKelvraError* UsmFillTile(IKelvraDataSource* source, const UsmPlan& plan, IKelvraTile* tile, KelvraTag tag)
{
    KelvraRect target;
    if (!tile->GetRectToFill(&target))
        return nullptr;
    KelvraPixelFormat format = 0;
    KelvraRect area;
    IKelvraError* error = source->GetColorSpace(&format);
    if (!error)
        error = SourceArea(source, plan, target, &area);
    if (error)
        return KELVRA_WRAP(nullptr, tag, error);
    PlaneRoles roles{};
    if (!RolesFor(format, &roles))
        return KELVRA_ERROR(nullptr, tag, kKelvraUnsupportedFormat);

    CUsmBlock block(format, area);
    if (IKelvraError* readError = block.Read(source))
        return KELVRA_WRAP(nullptr, tag, readError);
    const UsmSampleRule rule(plan.params, block.Max());
    const long huePlane = plan.wholeBand ? -1 : roles.hue;
    for (long plane = 0; plane < roles.sharpened; ++plane) {
        const std::vector<float> mask = UsmBlur(block.Plane(plane), target, plan.alongX, plan.alongY);
        SharpenPlane(block, plane, huePlane, target, mask, rule, plan.params.band);
    }
    return WriteTile(block, tile, target, tag);
}
