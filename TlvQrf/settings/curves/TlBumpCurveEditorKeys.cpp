// The keyboard side of the bump-curve editor: insertion on the ring,
// deletion, selection and nudges.
#include "settings/curves/TlBumpCurveEditor.h"

#include "settings/curves/TlCurveEditing.h"

#include <algorithm>

namespace {

// A new point halfway between a point and its predecessor on the ring (the
// last point, shifted by -1, precedes the first), going back pair by pair
// until the two are far enough apart. Its index, or -1 when no gap is wide
// enough or memory runs out (the list is then unchanged).
int InsertOnRing(std::vector<TlBumpPoint>& points, int current)
{
    const int count = static_cast<int>(points.size());
    for (int back = 0; back < count; ++back) {
        const int upper = ((current - back) % count + count) % count;
        const TlBumpPoint& high = points[static_cast<std::size_t>(upper)];
        TlBumpPoint low = points[static_cast<std::size_t>((upper + count - 1) % count)];
        if (upper == 0)
            low.x -= 1;
        if (high.x - low.x < TlCurveEditing::kMinGap)
            continue;
        TlBumpPoint middle{(low.x + high.x) / 2, (low.y + high.y) / 2, (low.z + high.z) / 2};
        int index = upper;
        if (middle.x < 0) {
            middle.x += 1;
            index = count;
        }
        return TlInsertPointAt(points, index, middle) ? index : -1;
    }
    return -1;
}

} // namespace

int CTlBumpCurveEditor::InsertPoint()
{
    int index = 0;
    if (m_t.points.empty()) {
        if (!TlInsertPointAt(m_t.points, 0, TlBumpPoint{0.5, 0.0, 0.5}))
            return kTlHitNone;
    } else {
        if (!HasCurrentPoint())
            return kTlHitNone;
        index = InsertOnRing(m_t.points, m_t.currentPoint);
        if (index < 0)
            return kTlHitNone;
    }
    m_t.currentPoint = index;
    ShowCurrentPoint();
    m_t.changed = 1;
    return kTlHitCurrentPoint;
}

int CTlBumpCurveEditor::DeletePoint()
{
    if (HasCurrentPoint())
        RemoveCurrentPoint();
    return kTlHitCurrentPoint;
}

int CTlBumpCurveEditor::Select(int step)
{
    if (m_t.points.empty())
        return kTlHitNone;
    m_t.currentPoint = TlSteppedIndex(m_t.currentPoint, static_cast<int>(m_t.points.size()), step);
    ShowCurrentPoint();
    return kTlHitCurrentPoint;
}

int CTlBumpCurveEditor::NudgeValue(double delta)
{
    if (!HasCurrentPoint())
        return kTlHitNone;
    TlBumpPoint& point = CurrentPoint();
    point.y = std::clamp(point.y + delta, -1.0, 1.0);
    ShowCurrentPoint();
    m_t.changed = 1;
    return kTlHitCurrentPoint;
}

int CTlBumpCurveEditor::NudgePosition(double delta)
{
    if (!HasCurrentPoint())
        return kTlHitNone;
    m_t.currentPoint = TlNudgePointX(m_t.points, m_t.currentPoint, delta);
    ShowCurrentPoint();
    m_t.changed = 1;
    return kTlHitCurrentPoint;
}

int CTlBumpCurveEditor::NudgeWidth(double delta)
{
    if (!HasCurrentPoint())
        return kTlHitNone;
    TlBumpPoint& point = CurrentPoint();
    point.z = std::clamp(point.z + delta, 0.0, 0.5);
    ShowCurrentPoint();
    m_t.changed = 1;
    return kTlHitWidth;
}

int CTlBumpCurveEditor::NudgeOffset(double delta)
{
    if (!HasCurrentPoint())
        return kTlHitNone;
    // The offset is part of the curve: its change is marked like any other.
    m_t.offset = std::clamp(m_t.offset + delta, -1.0, 1.0);
    m_t.changed = 1;
    return kTlHitOffset;
}
