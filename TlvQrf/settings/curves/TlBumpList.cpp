#include "settings/curves/TlBumpList.h"

#include <new>

std::vector<TlBumpPoint> CopyBumpPoints(const std::vector<TlBumpPoint>& source)
{
    try {
        return source;
    } catch (const std::bad_alloc&) {
        return {};
    }
}

bool SameBumpPoints(const std::vector<TlBumpPoint>& a, const std::vector<TlBumpPoint>& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].x != b[i].x || a[i].y != b[i].y || a[i].z != b[i].z)
            return false;
    }
    return true;
}

void PutBumpPoints(CTlStateWriter& writer, const TlBumpPoint* points, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        writer.Put(points[i].x);
        writer.Put(points[i].y);
        writer.Put(points[i].z);
    }
}

bool GetBumpPoints(CTlStateReader& reader, std::int64_t count, std::vector<TlBumpPoint>& points)
{
    points.clear();
    if (count == 0)
        return true; // also where the count itself was not held
    if (count < 0 || count > INT64_MAX / TlBumpListLayout::kPointSize ||
        !reader.Has(count * TlBumpListLayout::kPointSize))
        return false;
    try {
        points.resize(static_cast<std::size_t>(count));
    } catch (const std::bad_alloc&) {
        points.clear();
        reader.Skip(count * TlBumpListLayout::kPointSize);
        return true;
    }
    for (TlBumpPoint& point : points) {
        reader.Get(point.x);
        reader.Get(point.y);
        reader.Get(point.z);
    }
    return true;
}
