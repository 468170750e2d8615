#include "settings/curves/TlBumpSampling.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// The value of pi the stored curves were tuned with.
constexpr double kPi = 3.14159265359;

// pi / z, or 0 for a bump of no width (its term vanishes).
double AngularRate(double halfWidth)
{
    return halfWidth != 0 ? kPi / halfWidth : 0.0;
}

// A raised-cosine bump of height y at phase angle `angle` (0 at its foot,
// pi at its peak).
double BumpTerm(double height, double angle)
{
    return height / 2 * (1 - std::cos(angle));
}

// Inside both bumps: each is compressed onto the overlap [o, m] so that p's
// reaches 0 at m and q's starts at o, and the two cross-fade.
double OverlapValue(const TlBumpPoint& p, const TlBumpPoint& q, double s)
{
    const double o = std::max(p.x, q.x - q.z);
    const double m = std::min(q.x, p.x + p.z);
    const double width = m - o;
    // The walk keeps x(p) <= s < x(q), so the overlap has width; only
    // unordered stored points can make it vanish, and then no term is taken.
    if (width == 0)
        return 0.0;
    const double a = p.z != 0 ? kPi * (p.z - (o - p.x)) / (p.z * width) : 0.0;
    const double b = q.z != 0 ? kPi * (q.z - (q.x - m)) / (q.z * width) : 0.0;
    return BumpTerm(p.y, a * (m - s)) + BumpTerm(q.y, b * (s - o));
}

double ValueBetween(const TlBumpPoint& p, const TlBumpPoint& q, double s)
{
    const double d = s - p.x;
    const bool insideP = d < p.z;
    const bool insideQ = q.x - s < q.z;
    if (insideP && insideQ)
        return OverlapValue(p, q, s);
    if (insideP)
        return BumpTerm(p.y, AngularRate(p.z) * (p.z - d));
    if (insideQ)
        return BumpTerm(q.y, AngularRate(q.z) * (q.z - (q.x - s)));
    return 0.0;
}

} // namespace

CTlBumpRing::CTlBumpRing(const TlBumpPoint* points, int count)
    : m_points(points), m_count(points != nullptr && count > 0 ? count : 0)
{
}

TlBumpPoint CTlBumpRing::At(int k) const
{
    if (k < 0) {
        TlBumpPoint last = m_points[m_count - 1];
        last.x -= 1;
        return last;
    }
    if (k >= m_count) {
        TlBumpPoint first = m_points[0];
        first.x += 1;
        return first;
    }
    return m_points[k];
}

double CTlBumpRing::ValueAt(double position)
{
    if (m_count == 0 || !std::isfinite(position))
        return 0.0;
    const double s = position - std::floor(position);
    if (s < m_lastPosition)
        m_next = 0; // a new turn
    m_lastPosition = s;
    // The first point one turn on ends the walk, so unordered stored points
    // cannot make it run on.
    while (m_next < m_count && s >= At(m_next).x)
        ++m_next;
    return ValueBetween(At(m_next - 1), At(m_next), s);
}

std::int64_t TlTruncateEntry(double value)
{
    if (std::isnan(value))
        return 0;
    // 2^63 is exact in a double; every double below it converts safely.
    constexpr double kLimit = 9223372036854775808.0;
    if (value >= kLimit)
        return INT64_MAX;
    if (value <= -kLimit)
        return INT64_MIN;
    return static_cast<std::int64_t>(value);
}

namespace {

template <typename T>
void StoreAt(void* table, int index, T value)
{
    std::memcpy(static_cast<unsigned char*>(table) + std::size_t(index) * sizeof(T), &value, sizeof value);
}

} // namespace

void TlStoreTableEntry(void* table, int bytesPerEntry, int index, const TlTableEntry& entry)
{
    // Unsigned arithmetic: the integer widths keep the value modulo their range.
    const auto bits = static_cast<std::uint64_t>(entry.integer);
    switch (bytesPerEntry) {
    case 1:
        StoreAt(table, index, static_cast<std::uint8_t>(bits + (entry.signedAroundMiddle ? 128u : 0u)));
        break;
    case 2:
        StoreAt(table, index, static_cast<std::uint16_t>(bits + (entry.signedAroundMiddle ? 32768u : 0u)));
        break;
    case 4:
        StoreAt(table, index, static_cast<std::uint32_t>(bits));
        break;
    case 8:
        StoreAt(table, index, entry.real);
        break;
    default:
        break;
    }
}
