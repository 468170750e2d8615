#include "settings/curves/TlLinearCurve.h"

#include "settings/curves/TlBumpList.h"
#include "settings/curves/TlBumpSampling.h"
#include "settings/record/TlStateIds.h"

#include <algorithm>
#include <cmath>

namespace {

// What GetModifiedFlags reports.
constexpr int kHasPoints = 3;
constexpr int kHasOffset = 0x80;

} // namespace

CTlLinearCurve::CTlLinearCurve(CTlLutGroup* owner, int elementId) : CTlCurveBase(owner, elementId, -1) {}

CTlLinearCurve::CTlLinearCurve(const CTlLinearCurve& other)
    : CTlCurveBase(other),
      m_first(CopyBumpPoints(other.m_first)),
      m_mode(other.m_mode),
      m_second(CopyBumpPoints(other.m_second)),
      m_firstOffset(other.m_firstOffset),
      m_secondOffset(other.m_secondOffset),
      m_multiplier(other.m_multiplier),
      m_editor(other.m_editor),
      m_changed(1)
{
}

CTlLinearCurve::~CTlLinearCurve() = default;

const TlGuid* CTlLinearCurve::GetID() const
{
    return &kTlIdLinearCurve;
}

int CTlLinearCurve::GetCount() const
{
    return static_cast<int>(m_first.size());
}

int CTlLinearCurve::GetModifiedFlags(int mask) const
{
    int flags = m_first.empty() ? 0 : kHasPoints;
    if (m_firstOffset != 0)
        flags |= kHasOffset;
    return flags & mask;
}

int CTlLinearCurve::Reset(bool, bool second)
{
    std::vector<TlBumpPoint>().swap(m_first);
    if (second) {
        std::vector<TlBumpPoint>().swap(m_second);
        m_firstOffset = 0;
        m_secondOffset = 0;
    }
    (EditsFirstList() ? m_firstOffset : m_secondOffset) = 0;
    m_currentPoint = -1;
    m_changed = 1;
    return 1;
}

bool CTlLinearCurve::Compare(const CTlLinearCurve& other) const
{
    return m_firstOffset == other.m_firstOffset && m_multiplier == other.m_multiplier &&
           SameBumpPoints(m_first, other.m_first);
}

int CTlLinearCurve::SampleList(void* table, int bytesPerEntry, int count, int levels, double start, double end,
                               int flags, const TlBumpPoint* points, int pointCount, double offset) const
{
    const bool centred = (flags & 1) != 0;
    const double zoom = EditsFirstList() ? m_multiplier : 1;
    return TlSampleBumpCurve({table, bytesPerEntry, count, start, end}, points, pointCount, [&](double, double e) {
        if (centred) {
            // -1..1 onto 0..levels, the middle meaning no change; the top
            // stays one level short of `levels`.
            double k = offset + e + 1;
            k = std::min(k, 2 - 1.0 / levels);
            k = std::max(k, 0.0);
            return TlTableEntry{TlTruncateEntry(levels * k / 2), k, false};
        }
        const double v = std::round((offset + e) * levels);
        return TlTableEntry{TlTruncateEntry(zoom * v), e, true};
    });
}

int CTlLinearCurve::GetTable(int which, void* table, int bytesPerEntry, int count, int levels, int flags) const
{
    const double offset = which != 0 ? m_firstOffset : m_secondOffset;
    const std::vector<TlBumpPoint>& list = which == m_mode ? m_first : m_second;
    return SampleList(table, bytesPerEntry, count, levels, 0.0, 1.0, flags | 1, list.data(),
                      static_cast<int>(list.size()), offset);
}

void CTlLinearCurve::CopyCalibrationFrom(const CTlLinearCurve& source)
{
    m_second = CopyBumpPoints(source.CalibrationList());
    m_secondOffset = source.m_secondOffset;
    m_changed = 1;
}
