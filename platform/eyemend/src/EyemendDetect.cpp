// Detection: pupils over the whole picture, or the one nearest a point.
#include "EyemendBlobs.h"

#include <algorithm>
#include <new>

using namespace eyemend;

namespace {

// Turns the pupil blobs into regions appended to `found`, all or none.
ReStatus AppendRegions(const Picture& picture, const std::vector<const Blob*>& pupils, ReList* found)
{
    if (pupils.empty())
        return ReOkNothingFound;
    ReList made{nullptr, nullptr};
    for (const Blob* blob : pupils) {
        const Box box = PupilBox(picture, *blob);
        ReRegion* region = new (std::nothrow) ReRegion{box.left, box.top, box.right, box.bottom, nullptr, nullptr};
        if (region == nullptr) {
            ReListEmpty(&made);
            return ReOutOfMemory;
        }
        ReListInsert(&made, region);
    }
    return ReListMerge(found, &made);
}

std::int64_t SquaredDistance(const Box& box, RePoint point)
{
    const std::int64_t dx = std::max({std::int64_t(box.left) - point.x, std::int64_t(0), std::int64_t(point.x) - box.right});
    const std::int64_t dy = std::max({std::int64_t(box.top) - point.y, std::int64_t(0), std::int64_t(point.y) - box.bottom});
    return dx * dx + dy * dy;
}

// The pupil nearest `point` within `radius`, searched in a window that
// holds every pupil that could reach that far; null when there is none.
ReStatus NearestPupil(const Picture& picture, RePoint point, std::int32_t radius, std::vector<Blob>* blobs,
                      const Blob** nearest)
{
    *nearest = nullptr;
    const std::int32_t reach = radius + picture.LargestPupil() + 2;
    Box window{point.x - reach, point.y - reach, point.x + reach, point.y + reach};
    picture.Clip(&window);
    if (const ReStatus status = FindRedBlobs(picture, window, nullptr, blobs))
        return status;
    const std::int64_t limit = std::int64_t(radius) * radius;
    std::int64_t best = limit + 1;
    for (const Blob& blob : *blobs) {
        const std::int64_t distance = SquaredDistance(blob.box, point);
        if (distance < best && LooksLikePupil(picture, blob)) {
            best = distance;
            *nearest = &blob;
        }
    }
    return ReOk;
}

// The checks the point searches share: a readable picture, a point inside
// it, a radius that is not negative.
ReStatus OpenForPoint(const ReParams* params, RePoint point, std::int32_t radius, Picture* picture)
{
    if (const ReStatus status = OpenPicture(params, picture))
        return status;
    if (radius < 0 || radius > (1 << 20))
        return ReInvalidParameter;
    return picture->Contains(point) ? ReOk : ReNotFound;
}

} // namespace

ReStatus ReDetectAuto(const ReParams* params, std::uint32_t flags, ReProgress progress, long scale,
                      std::uint32_t reserved, ReList* found)
{
    if (found == nullptr)
        return ReMissingArgument;
    Picture picture;
    if (const ReStatus status = OpenPicture(params, &picture))
        return status;
    if (flags != 0 || reserved != 0)
        return ReInvalidParameter;
    const RowProgress rows(progress, scale, picture.height);
    if (rows.Stop(0, 0))
        return ReCancelled;
    std::vector<Blob> blobs;
    if (const ReStatus status = FindRedBlobs(picture, picture.Whole(), &rows, &blobs))
        return status;
    std::vector<const Blob*> pupils;
    try {
        for (const Blob& blob : blobs) {
            if (LooksLikePupil(picture, blob))
                pupils.push_back(&blob);
        }
    } catch (const std::bad_alloc&) {
        return ReOutOfMemory;
    }
    if (rows.Stop(2, picture.height))
        return ReCancelled;
    return AppendRegions(picture, pupils, found);
}

ReStatus ReDetectNearest(const ReParams* params, RePoint point, std::int32_t radius, std::uint32_t flags,
                         std::uint32_t reserved1, std::uint32_t reserved2, ReList* found)
{
    if (found == nullptr)
        return ReMissingArgument;
    if (flags != 0 || reserved1 != 0 || reserved2 != 0)
        return ReInvalidParameter;
    Picture picture;
    const ReStatus status = OpenForPoint(params, point, radius, &picture);
    if (status == ReNotFound)
        return ReOkNothingFound;
    if (status != ReOk)
        return status;
    std::vector<Blob> blobs;
    const Blob* nearest = nullptr;
    if (const ReStatus searched = NearestPupil(picture, point, radius, &blobs, &nearest))
        return searched;
    if (nearest == nullptr)
        return ReOkNothingFound;
    try {
        return AppendRegions(picture, {nearest}, found);
    } catch (const std::bad_alloc&) {
        return ReOutOfMemory;
    }
}

ReStatus ReFindRedPoint(const ReParams* params, RePoint point, std::int32_t radius)
{
    Picture picture;
    if (const ReStatus status = OpenForPoint(params, point, radius, &picture))
        return status;
    std::vector<Blob> blobs;
    const Blob* nearest = nullptr;
    if (const ReStatus status = NearestPupil(picture, point, radius, &blobs, &nearest))
        return status;
    return nearest != nullptr ? ReOk : ReNotFound;
}
