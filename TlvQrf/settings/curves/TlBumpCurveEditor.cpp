// The mouse side of the bump-curve editor: hover tests and tracking.
#include "settings/curves/TlBumpCurveEditor.h"

#include "settings/curves/TlCurveEditing.h"

#include <algorithm>
#include <cmath>

namespace {

// The plot's pixel frame: heights are measured from the middle row,
// positive upwards, in half-heights.
struct SBumpPlot {
    explicit SBumpPlot(const RECT& rect)
        : width(TlPixelDivisor(rect.right - rect.left)),
          half((rect.bottom - rect.top) / 2),
          centre((rect.top + rect.bottom + 1) / 2)
    {
    }

    double RawHeight(POINT mouse) const { return (centre - mouse.y - 1) / TlPixelDivisor(half); }

    double width;
    int half;
    int centre;
};

double AutoWidth(double height)
{
    return std::min(std::fabs(height) / 2, 0.5);
}

} // namespace

int TlEffectiveZoom(int zoom, int steps)
{
    return std::clamp(zoom, 1, steps);
}

CTlBumpCurveEditor::SMouse CTlBumpCurveEditor::Locate(const RECT& plot, POINT mouse) const
{
    const SBumpPlot frame(plot);
    SMouse at;
    at.u = std::clamp((mouse.x - plot.left) / frame.width, 0.0, 1.0);
    at.v = std::clamp(frame.RawHeight(mouse) * m_t.plotRange, -1.0, 1.0);
    at.value = at.v * m_t.valueScale - (m_t.shiftByOffset ? m_t.offset : 0.0);
    return at;
}

// Where a curve value is drawn, in half-heights of the plot.
double CTlBumpCurveEditor::PlotHeightOf(double value) const
{
    return (value + (m_t.shiftByOffset ? m_t.offset : 0.0)) / m_t.valueScale / m_t.plotRange;
}

double CTlBumpCurveEditor::OffsetLineY(const RECT& plot) const
{
    const SBumpPlot frame(plot);
    const double zoom = std::round(1 / m_t.plotRange);
    const double lift = zoom * std::round(m_t.offset * frame.half / m_t.valueScale);
    return frame.centre - lift - 1;
}

bool CTlBumpCurveEditor::HasCurrentPoint() const
{
    return TlHasPoint(m_t.currentPoint, m_t.points.size());
}

void CTlBumpCurveEditor::ShowCurrentPoint()
{
    if (HasCurrentPoint())
        m_t.state.readout = CurrentPoint();
}

int CTlBumpCurveEditor::HoverPlot(ITlCurveEditView& view, POINT mouse)
{
    const RECT& plot = view.*m_t.plot;
    const SBumpPlot frame(plot);
    const SMouse at = Locate(plot, mouse);
    const TlNearestPoint nearest = TlFindNearestPoint(m_t.points, at.u);
    m_t.state.hitIndex = nearest.index;
    m_t.state.readout = {at.u, at.value, 0.0};
    const int code = TlHoverCode(nearest, m_t.currentPoint, view.pickRadius / frame.width);
    if (code != kTlHitPlot) {
        // Compared where both are drawn, whatever the zoom and offset.
        const TlBumpPoint& point = m_t.points[static_cast<std::size_t>(nearest.index)];
        if (view.pickRadius / TlPixelDivisor(frame.half) >= std::fabs(PlotHeightOf(point.y) - frame.RawHeight(mouse)))
            m_t.state.readout = point;
    }
    return code;
}

int CTlBumpCurveEditor::Hover(ITlCurveEditView& view, POINT mouse)
{
    const RECT& plot = view.*m_t.plot;
    int code = TlIsInside(plot, mouse) ? HoverPlot(view, mouse) : kTlHitNone;
    const TlCurveEditMetrics metrics = view.GetMetrics();
    if (TlIsInside(view.offsetHandleStrip, mouse) &&
        std::fabs(mouse.y - OffsetLineY(plot)) <= metrics.offsetHandleTolerance)
        code = kTlHitOffset;
    if (TlIsInside(view.widthHandleStrip, mouse) && HasCurrentPoint()) {
        const double handleX = plot.left + std::trunc(2.0 * ((plot.right - plot.left) / 2) * CurrentPoint().z);
        if (std::fabs(mouse.x - handleX) <= metrics.sliderTolerance) {
            code = kTlHitWidth;
            ShowCurrentPoint();
        }
    }
    if (TlIsInside(view.toggleButton, mouse))
        code = kTlHitToggle;
    return code;
}

bool CTlBumpCurveEditor::InsertAtMouse(ITlCurveEditView& view, POINT mouse)
{
    const SMouse at = Locate(view.*m_t.plot, mouse);
    const int hit = m_t.state.hitIndex;
    const bool afterHit = !TlHasPoint(hit, m_t.points.size()) || at.u > m_t.points[static_cast<std::size_t>(hit)].x;
    const int index = afterHit ? hit + 1 : hit;
    if (!TlInsertPointAt(m_t.points, index, TlBumpPoint{at.u, at.value, AutoWidth(at.value)}))
        return false;
    m_t.currentPoint = index;
    m_t.state.autoWidth = 1;
    m_t.changed = 1;
    return true;
}

int CTlBumpCurveEditor::MouseDown(ITlCurveEditView& view, POINT mouse)
{
    m_t.state.hitCode = kTlHitNone;
    int code = Hover(view, mouse);
    if (code == kTlHitNone)
        return kTlHitNone;
    m_t.state.autoWidth = 0;
    if (code == kTlHitPlot) {
        if (!InsertAtMouse(view, mouse))
            return kTlHitNone;
        code = kTlHitCurrentPoint;
    } else if (code == kTlHitPoint) {
        m_t.currentPoint = m_t.state.hitIndex;
        code = kTlHitCurrentPoint;
    }
    m_t.state.hitCode = code;
    view.BeginTrack(code);
    return Track(view, mouse);
}

void CTlBumpCurveEditor::RemoveCurrentPoint()
{
    const int index = m_t.currentPoint;
    m_t.points.erase(m_t.points.begin() + index);
    m_t.currentPoint = std::min(index, static_cast<int>(m_t.points.size()) - 1);
    if (m_t.points.empty()) {
        std::vector<TlBumpPoint>().swap(m_t.points);
        m_t.state.readout = {-1.0, 0.0, -1.0};
    } else {
        ShowCurrentPoint();
    }
    m_t.changed = 1;
}

int CTlBumpCurveEditor::DragPoint(ITlCurveEditView& view, POINT mouse)
{
    const RECT& plot = view.*m_t.plot;
    if (!HasCurrentPoint() || TlIsFarOutside(plot, mouse)) {
        // Pulled out of the plot: the point goes and tracking ends.
        if (HasCurrentPoint())
            RemoveCurrentPoint();
        m_t.state.autoWidth = 0;
        view.EndTrack(kTlHitCurrentPoint);
        m_t.state.hitCode = kTlHitNone;
        return kTlHitNone;
    }
    const SMouse at = Locate(plot, mouse);
    m_t.currentPoint = TlDragPointTo(m_t.points, m_t.currentPoint, at.u);
    TlBumpPoint& point = CurrentPoint();
    point.y = at.value;
    if (m_t.state.autoWidth)
        point.z = AutoWidth(m_t.widthFromPlot ? at.v : at.value);
    m_t.state.readout = point;
    return kTlHitCurrentPoint;
}

void CTlBumpCurveEditor::DragOffset(ITlCurveEditView& view, POINT mouse)
{
    const RECT& plot = view.*m_t.plot;
    if (m_t.offsetInPlotOnly && (mouse.y < plot.top || mouse.y >= plot.bottom))
        return;
    m_t.offset = Locate(plot, mouse).v * m_t.valueScale;
    m_t.state.readout.y = m_t.offset;
}

void CTlBumpCurveEditor::DragWidth(ITlCurveEditView& view, POINT mouse)
{
    if (!HasCurrentPoint())
        return;
    CurrentPoint().z = std::min(Locate(view.*m_t.plot, mouse).u, 0.5);
    ShowCurrentPoint();
}

int CTlBumpCurveEditor::Track(ITlCurveEditView& view, POINT mouse)
{
    const int code = m_t.state.hitCode;
    switch (code) {
    case kTlHitCurrentPoint:
        if (DragPoint(view, mouse) == kTlHitNone)
            return kTlHitNone;
        break;
    case kTlHitOffset:
        DragOffset(view, mouse);
        break;
    case kTlHitWidth:
        DragWidth(view, mouse);
        break;
    case kTlHitToggle:
        m_t.state.toggleArmed = TlIsInside(view.toggleButton, mouse) ? 1 : 0;
        break;
    default:
        return Hover(view, mouse);
    }
    m_t.changed = 1;
    view.Changed(code);
    return code;
}

int CTlBumpCurveEditor::MouseUp(ITlCurveEditView& view)
{
    const int code = m_t.state.hitCode;
    if (code == kTlHitNone)
        return kTlHitNone;
    if (code == kTlHitToggle && m_t.state.toggleArmed) {
        m_t.zoom = TlEffectiveZoom(m_t.zoom, m_t.zoomSteps) % m_t.zoomSteps + 1;
        m_t.changed = 1;
    }
    m_t.state.toggleArmed = 0;
    m_t.state.autoWidth = 0;
    view.EndTrack(code);
    m_t.state.hitCode = kTlHitNone;
    return code;
}
