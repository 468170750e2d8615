#include "settings/curves/TlLut.h"

#include "settings/curves/TlCurveElements.h"
#include "settings/curves/TlLutCurve.h"
#include "settings/curves/TlLutGroup.h"
#include "settings/record/TlStateIds.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace {

// Everything of a parameter block but its points.
void CopyLevels(const TlLutParams& from, TlLutParams& to)
{
    to.black = from.black;
    to.gamma = from.gamma;
    to.white = from.white;
    to.outputLow = from.outputLow;
    to.outputHigh = from.outputHigh;
    to.slopesStale = from.slopesStale;
    to.brightness = from.brightness;
}

} // namespace

CTlLut::CTlLut(CTlLutGroup* owner, int elementId, const TlLutColour& colour1, const TlLutColour& colour2,
               const TlLutColour& colour3)
    : CTlCurveBase(owner, elementId, 0), m_colours{colour1, colour2, colour3}
{
    // Room for the two points every tone curve keeps, so Reset never
    // allocates.
    m_live.points.reserve(2);
    Reset(false, true);
    m_live.brightness = 0.0;
    Snapshot();
}

CTlLut::CTlLut(const CTlLut& other)
    : CTlCurveBase(other),
      m_colours{other.m_colours[0], other.m_colours[1], other.m_colours[2]},
      m_live(other.m_live),
      m_maxPoints(other.m_maxPoints),
      m_editor(other.m_editor),
      m_snapshot(other.m_snapshot),
      m_sampleKind(other.m_sampleKind),
      m_gammaMin(other.m_gammaMin),
      m_gammaMax(other.m_gammaMax)
{
    m_currentPoint = 0;
    m_editor.hitCode = kTlHitNone;
    // The display tables are not worth failing the copy for.
    try {
        m_histogram = other.m_histogram;
    } catch (const std::bad_alloc&) {
        std::vector<std::uint32_t>().swap(m_histogram);
    }
    try {
        m_samples = other.m_samples;
    } catch (const std::bad_alloc&) {
        std::vector<double>().swap(m_samples);
    }
}

CTlLut::~CTlLut() = default;

const TlGuid* CTlLut::GetID() const
{
    return &kTlIdLut;
}

int CTlLut::GetCount() const
{
    return static_cast<int>(m_live.points.size());
}

int CTlLut::GetModifiedFlags(int mask) const
{
    int flags = 0;
    if (!TlIsIdentityPair(m_live.points))
        flags |= 0x03;
    if (m_live.gamma != 1.0)
        flags |= 0x20;
    if (m_live.brightness != 0.0) {
        flags |= 0x01;
    } else {
        const CTlLut* master = TlMasterLutOf(m_owner);
        if ((master != nullptr && master->m_live.brightness != 0.0) ||
            (m_owner != nullptr && m_owner->GetContrast() != 0.0))
            flags |= 0x01;
    }
    if (m_live.black != 0.0)
        flags |= 0x10;
    if (m_live.white != 1.0)
        flags |= 0x40;
    if (m_live.outputLow != 0.0)
        flags |= 0x400;
    if (m_live.outputHigh != 1.0)
        flags |= 0x800;
    return flags & mask;
}

int CTlLut::Reset(bool first, bool /*second*/)
{
    m_live.black = 0.0;
    m_live.gamma = std::clamp(1.0, m_gammaMin, m_gammaMax);
    m_live.white = 1.0;
    m_live.outputLow = 0.0;
    m_live.outputHigh = 1.0;
    // A tone curve always keeps two points, whatever the second argument:
    // evaluation and editing rely on them.
    try {
        TlSetIdentityPair(m_live.points);
    } catch (const std::bad_alloc&) {
        // Not reached: the constructor and every load leave room for two.
    }
    m_live.slopesStale = 0;
    if (first)
        m_live.brightness = 0.0;
    m_currentPoint = 0;
    return 1;
}

void CTlLut::Snapshot()
{
    std::vector<TlLutPoint> points;
    try {
        points = m_live.points;
    } catch (const std::bad_alloc&) {
        // The snapshot then evaluates as the identity curve.
    }
    CopyLevels(m_live, m_snapshot);
    m_snapshot.points.swap(points);
}

void CTlLut::GetPoint(int index, double& x, double& y) const
{
    if (index < 0 || index >= GetCount())
        return;
    x = m_live.points[static_cast<std::size_t>(index)].x;
    y = m_live.points[static_cast<std::size_t>(index)].y;
}

int CTlLut::AddPoint(double x, double y)
{
    std::vector<TlLutPoint>& points = m_live.points;
    if (m_maxPoints >= 2 && GetCount() >= m_maxPoints)
        return 0;
    m_live.slopesStale = 1;
    // Points stay inside the unit square, as the editor keeps them.
    const double position = TlLimitUnit(TlLutLevelPosition(x, m_live.black, m_live.white));
    const double value = TlLimitUnit(y);
    const auto at = std::find_if(points.begin(), points.end(),
                                 [position](const TlLutPoint& point) { return point.x >= position; });
    const int index = static_cast<int>(at - points.begin());
    if (at != points.end() && at->x == position) {
        at->y = value;
    } else {
        try {
            points.reserve(points.size() + 1);
        } catch (const std::bad_alloc&) {
            return -1;
        }
        points.insert(points.begin() + index, TlLutKnot(position, value));
    }
    m_editor.changed = 1;
    return index;
}

void CTlLut::SetMaxPoints(int count)
{
    m_maxPoints = count;
}

bool CTlLut::Compare(const CTlLut& other) const
{
    const TlLutParams& a = m_live;
    const TlLutParams& b = other.m_live;
    if (a.black != b.black || a.gamma != b.gamma || a.white != b.white || a.outputLow != b.outputLow ||
        a.outputHigh != b.outputHigh || a.points.size() != b.points.size() || a.brightness != b.brightness)
        return false;
    for (std::size_t i = 0; i < a.points.size(); ++i) {
        if (a.points[i].x != b.points[i].x || a.points[i].y != b.points[i].y)
            return false;
    }
    return true;
}

void CTlLut::ClearPoints()
{
    m_live.points.clear();
    m_live.slopesStale = 1;
    m_editor.changed = 1;
}

void CTlLut::SetInputLevels(double black, double white)
{
    m_live.black = black;
    m_live.white = white;
    m_editor.changed = 1;
}

void CTlLut::SetOutputLevels(double low, double high)
{
    m_live.outputLow = low;
    m_live.outputHigh = high;
    m_editor.changed = 1;
}

bool CTlLut::SetClampedParam(double gamma)
{
    // NaN is no gamma at all: it becomes the neutral 1.
    const double limited = std::isnan(gamma) ? 1.0 : std::clamp(gamma, m_gammaMin, m_gammaMax);
    m_live.gamma = limited;
    m_editor.changed = 1;
    return !(limited == gamma);
}

bool CTlLut::SetMidtonePosition(double position)
{
    // The slider at (or, for bad input, before) the black end has no
    // logarithm; it gives the neutral gamma.
    const double gamma = position > 0.0 ? std::log(position) / std::log(0.5) : 1.0;
    return SetClampedParam(gamma);
}

void CTlLut::SetHistogram(const std::uint32_t* bins, int count)
{
    if (bins == nullptr || count <= 0) {
        std::vector<std::uint32_t>().swap(m_histogram);
        return;
    }
    try {
        m_histogram.assign(bins, bins + count);
    } catch (const std::bad_alloc&) {
        std::vector<std::uint32_t>().swap(m_histogram);
    }
}
