// Correction: the red cast taken out of the pupil pixels of each region.
#include "EyemendPicture.h"

using namespace eyemend;

namespace {

// Inside the ellipse that fills `box`, a pixel whose red is above the larger
// of green and blue by `threshold` percent of its red or more gets the mean
// of green and blue as its red: no longer red, and never brighter.
template <typename Sample>
void CorrectBox(const Picture& picture, const Box& box, std::int32_t threshold)
{
    // Twice the centre and the half-axes (the latter reaching the outer
    // edges of the box's end pixels), so that the test stays in integers.
    const std::int64_t centreX2 = std::int64_t(box.left) + box.right;
    const std::int64_t centreY2 = std::int64_t(box.top) + box.bottom;
    const std::int64_t axisX2 = box.Width();
    const std::int64_t axisY2 = box.Height();
    const std::int64_t reach = axisX2 * axisX2 * axisY2 * axisY2;
    for (std::int32_t y = box.top; y <= box.bottom; ++y) {
        const std::int64_t dy = 2 * std::int64_t(y) - centreY2;
        Sample* pixel = picture.Row<Sample>(y) + std::size_t(box.left) * 3;
        for (std::int32_t x = box.left; x <= box.right; ++x, pixel += 3) {
            const std::int64_t dx = 2 * std::int64_t(x) - centreX2;
            if (dx * dx * axisY2 * axisY2 + dy * dy * axisX2 * axisX2 > reach)
                continue;
            const std::uint32_t red = pixel[0];
            const std::uint32_t other = pixel[1] > pixel[2] ? pixel[1] : pixel[2];
            if (red <= other || std::uint64_t(red - other) * 100 < std::uint64_t(red) * std::uint32_t(threshold))
                continue;
            pixel[0] = Sample((std::uint32_t(pixel[1]) + pixel[2]) / 2);
        }
    }
}

} // namespace

ReStatus ReCorrectRegions(const ReParams* params, const ReList* list, const void* reserved1,
                          const void* reserved2, std::int32_t threshold)
{
    if (list == nullptr)
        return ReMissingArgument;
    Picture picture;
    if (const ReStatus status = OpenPicture(params, &picture))
        return status;
    if (reserved1 != nullptr || reserved2 != nullptr || threshold < 1 || threshold > 100)
        return ReInvalidParameter;
    for (const ReRegion* region = list->head; region != nullptr; region = region->next) {
        Box box{region->left, region->top, region->right, region->bottom};
        if (!picture.Clip(&box))
            continue;
        if (picture.wide)
            CorrectBox<std::uint16_t>(picture, box, threshold);
        else
            CorrectBox<std::uint8_t>(picture, box, threshold);
    }
    return ReOk;
}
