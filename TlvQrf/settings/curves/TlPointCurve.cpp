#include "settings/curves/TlPointCurve.h"

#include "settings/curves/TlBumpList.h"
#include "settings/curves/TlBumpSampling.h"
#include "settings/record/TlStateIds.h"

#include <cmath>

namespace {

// What GetModifiedFlags reports.
constexpr int kHasPoints = 3;
constexpr int kHasOffset = 0x80;

} // namespace

CTlPointCurve::CTlPointCurve(CTlLutGroup* owner, int elementId) : CTlCurveBase(owner, elementId, -1) {}

CTlPointCurve::CTlPointCurve(const CTlPointCurve& other)
    : CTlCurveBase(other),
      m_points(CopyBumpPoints(other.m_points)),
      m_offset(other.m_offset),
      m_scale(other.m_scale),
      m_editor(other.m_editor),
      m_changed(1)
{
}

CTlPointCurve::~CTlPointCurve() = default;

const TlGuid* CTlPointCurve::GetID() const
{
    return &kTlIdPointCurve;
}

int CTlPointCurve::GetCount() const
{
    return static_cast<int>(m_points.size());
}

int CTlPointCurve::GetModifiedFlags(int mask) const
{
    int flags = m_points.empty() ? 0 : kHasPoints;
    if (m_offset != 0)
        flags |= kHasOffset;
    return flags & mask;
}

int CTlPointCurve::Reset(bool, bool)
{
    std::vector<TlBumpPoint>().swap(m_points);
    m_offset = 0;
    m_currentPoint = -1;
    m_changed = 1;
    return 1;
}

bool CTlPointCurve::Compare(const CTlPointCurve& other) const
{
    return m_offset == other.m_offset && m_scale == other.m_scale && SameBumpPoints(m_points, other.m_points);
}

int CTlPointCurve::FillTable(void* table, int bytesPerEntry, int count, int levels, double start, double end,
                             int flags) const
{
    const double offset = m_offset;
    const bool circular = (flags & 1) != 0;
    return TlSampleBumpCurve(
        {table, bytesPerEntry, count, start, end}, m_points.data(), GetCount(), [&](double s, double e) {
            if (circular) {
                // The hue mapping: the input hue moved by half the curve value.
                const double hue = std::fmod(s + (e - offset) / 2 + 2, 1);
                return TlTableEntry{TlTruncateEntry(levels * hue + 0.5), hue, false};
            }
            return TlTableEntry{TlTruncateEntry(std::round(e * levels)), e, true};
        });
}
