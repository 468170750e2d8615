// The mouse side of the tone curve's editor: hover tests against the points
// and the level sliders, and tracking.
#include "settings/curves/TlLut.h"

#include "settings/curves/TlCurveEditing.h"
#include "settings/curves/TlLutCurve.h"
#include "settings/curves/TlLutPlot.h"

#include <algorithm>
#include <cmath>

namespace {

enum ESlider { kNoSlider = -1, kBlackSlider, kMidtoneSlider, kWhiteSlider };

// The nearest of the three input-level sliders at pixel x. On a tie of two
// neighbours the one the mouse is outside of wins; any other tie chooses
// none.
int NearestInputSlider(const double (&at)[3], double x)
{
    const double distance[3] = {std::fabs(x - at[0]), std::fabs(x - at[1]), std::fabs(x - at[2])};
    const double nearest = std::min({distance[0], distance[1], distance[2]});
    const bool ties[3] = {distance[0] == nearest, distance[1] == nearest, distance[2] == nearest};
    const int tied = ties[0] + ties[1] + ties[2];
    if (tied == 1)
        return ties[0] ? kBlackSlider : ties[1] ? kMidtoneSlider : kWhiteSlider;
    if (tied != 2 || ties[0] == ties[2])
        return kNoSlider; // all three, or black and white
    const int left = ties[0] ? kBlackSlider : kMidtoneSlider;
    if (x < at[left])
        return left;
    if (x > at[left + 1])
        return left + 1;
    return kNoSlider;
}

constexpr int kInputSliderCodes[3] = {kTlHitBlack, kTlHitMidtone, kTlHitWhite};

} // namespace

CTlLut::SCurveMouse CTlLut::LocateOnCurve(const ITlCurveEditView& view, POINT mouse) const
{
    const TlLutPlot plot(view.lutPlot);
    SCurveMouse at{plot.U(mouse), plot.V(mouse)};
    if (view.showInputLevels)
        at.u = TlLimitUnit(TlLutLevelPosition(at.u, m_live.black, m_live.white));
    if (view.showOutputLevels)
        at.v = TlLimitUnit(TlLutLevelPosition(at.v, m_live.outputLow, m_live.outputHigh));
    return at;
}

bool CTlLut::HasCurrentPoint() const
{
    return TlHasPoint(m_currentPoint, m_live.points.size());
}

bool CTlLut::HasRoomForPoint() const
{
    return m_maxPoints < 2 || GetCount() < m_maxPoints;
}

void CTlLut::ShowPoint(int index)
{
    GetPoint(index, m_editor.readoutX, m_editor.readoutY);
}

void CTlLut::MarkPointsEdited()
{
    m_live.slopesStale = 1;
    m_editor.changed = 1;
}

void CTlLut::RemoveCurrentPoint()
{
    const int index = m_currentPoint;
    m_live.points.erase(m_live.points.begin() + index);
    m_currentPoint = std::min(index, GetCount() - 1);
    ShowPoint(m_currentPoint);
    MarkPointsEdited();
}

int CTlLut::HoverPlot(const ITlCurveEditView& view, POINT mouse)
{
    const TlLutPlot plot(view.lutPlot);
    const SCurveMouse at = LocateOnCurve(view, mouse);
    const TlNearestPoint nearest = TlFindNearestPoint(m_live.points, at.u);
    m_editor.hitIndex = nearest.index;
    m_editor.readoutX = at.u;
    m_editor.readoutY = at.v;
    const double pick = view.pickRadius / plot.width;
    const int code = TlHoverCode(nearest, m_currentPoint, pick);
    if (code != kTlHitPlot && pick >= std::fabs(m_live.points[static_cast<std::size_t>(nearest.index)].y - at.v))
        ShowPoint(nearest.index);
    return code;
}

int CTlLut::HoverInputLevels(ITlCurveEditView& view, POINT mouse, int codeSoFar)
{
    const TlLutPlot plot(view.lutPlot);
    const double black = m_live.black;
    const double white = m_live.white;
    const double at[3] = {plot.SliderX(black), plot.SliderX(black + std::pow(0.5, m_live.gamma) * (white - black)),
                          plot.SliderX(white)};
    const int slider = NearestInputSlider(at, mouse.x);
    if (slider == kNoSlider)
        return codeSoFar;
    if (std::fabs(mouse.x - at[slider]) > view.GetMetrics().sliderTolerance)
        return kTlHitNone;
    if (slider == kMidtoneSlider)
        m_editor.readoutX = plot.U(mouse);
    return kInputSliderCodes[slider];
}

int CTlLut::HoverOutputLevels(ITlCurveEditView& view, POINT mouse)
{
    const TlLutPlot plot(view.lutPlot);
    const double lowY = plot.SliderY(m_live.outputLow);
    const double highY = plot.SliderY(m_live.outputHigh);
    const double toLow = std::fabs(mouse.y - lowY);
    const double toHigh = std::fabs(mouse.y - highY);
    // On a tie the low slider is the one at or below the mouse's row.
    const bool low = toLow < toHigh || (toLow == toHigh && mouse.y >= highY);
    if ((low ? toLow : toHigh) > view.GetMetrics().sliderTolerance)
        return kTlHitNone;
    return low ? kTlHitOutputLow : kTlHitOutputHigh;
}

int CTlLut::Hover(ITlCurveEditView& view, POINT mouse)
{
    int code = TlIsInside(view.lutPlot, mouse) ? HoverPlot(view, mouse) : kTlHitNone;
    if (view.showInputLevels && TlIsInside(view.inputLevelsStrip, mouse))
        code = HoverInputLevels(view, mouse, code);
    if (view.showOutputLevels && TlIsInside(view.outputLevelsStrip, mouse))
        code = HoverOutputLevels(view, mouse);
    return code;
}

bool CTlLut::InsertAtMouse(const ITlCurveEditView& view, POINT mouse)
{
    const SCurveMouse at = LocateOnCurve(view, mouse);
    const int hit = m_editor.hitIndex;
    const bool afterHit =
        !TlHasPoint(hit, m_live.points.size()) || at.u > m_live.points[static_cast<std::size_t>(hit)].x;
    const int index = afterHit ? hit + 1 : hit;
    if (!TlInsertPointAt(m_live.points, index, TlLutKnot(at.u, at.v)))
        return false;
    m_currentPoint = index;
    MarkPointsEdited();
    return true;
}

int CTlLut::MouseDown(ITlCurveEditView& view, POINT mouse)
{
    m_editor.hitCode = kTlHitNone;
    int code = Hover(view, mouse);
    if (code == kTlHitPlot) {
        if (!HasRoomForPoint() || !InsertAtMouse(view, mouse))
            return kTlHitNone;
        code = kTlHitCurrentPoint;
    } else if (code == kTlHitPoint) {
        m_currentPoint = m_editor.hitIndex;
        code = kTlHitCurrentPoint;
    }
    if (code == kTlHitNone)
        return kTlHitNone;
    m_editor.hitCode = code;
    view.BeginTrack(code);
    return Track(view, mouse);
}

int CTlLut::DragPoint(ITlCurveEditView& view, POINT mouse)
{
    // A tone curve keeps two points: pulled out of the plot, they stay.
    if (!HasCurrentPoint() || (TlIsFarOutside(view.lutPlot, mouse) && GetCount() > 2)) {
        if (HasCurrentPoint())
            RemoveCurrentPoint();
        view.EndTrack(kTlHitCurrentPoint);
        m_editor.hitCode = kTlHitNone;
        return kTlHitNone;
    }
    const SCurveMouse at = LocateOnCurve(view, mouse);
    std::vector<TlLutPoint>& points = m_live.points;
    m_currentPoint = TlDragPointTo(points, m_currentPoint, at.u);
    TlLutPoint& point = points[static_cast<std::size_t>(m_currentPoint)];
    double y = at.v;
    const double span = points.back().x - points.front().x;
    const double gamma = m_live.gamma;
    if (m_currentPoint > 0 && m_currentPoint < GetCount() - 1 && span > 0.0 && gamma > 0.0 && gamma != 1.0) {
        // Evaluation lifts inner positions by a^(1/gamma) - a: take that off
        // so the point lands under the mouse on the corrected curve.
        const double a = (point.x - points.front().x) / span;
        y -= std::pow(a, 1.0 / gamma) - a;
    }
    point.y = TlLimitUnit(y);
    ShowPoint(m_currentPoint);
    MarkPointsEdited();
    return kTlHitCurrentPoint;
}

void CTlLut::DragLevel(int code, const ITlCurveEditView& view, POINT mouse)
{
    const TlLutPlot plot(view.lutPlot);
    const double gap = plot.LevelGap();
    TlLutParams& p = m_live;
    switch (code) {
    case kTlHitBlack:
        p.black = std::max(0.0, std::min(plot.U(mouse), p.white - gap));
        m_editor.readoutX = p.black;
        m_editor.readoutY = 0.0;
        break;
    case kTlHitMidtone: {
        const double x = std::min(std::max(plot.U(mouse), p.black + plot.Pixel()), p.white - plot.Pixel());
        const double span = p.white - p.black;
        SetMidtonePosition(span > 0.0 ? (x - p.black) / span : 0.5);
        m_editor.readoutX = x;
        break;
    }
    case kTlHitWhite:
        p.white = std::min(1.0, std::max(plot.U(mouse), p.black + gap));
        m_editor.readoutX = p.white;
        m_editor.readoutY = 1.0;
        break;
    case kTlHitOutputLow:
        p.outputLow = std::max(0.0, std::min(plot.V(mouse), p.outputHigh - gap));
        m_editor.readoutY = p.outputLow;
        break;
    case kTlHitOutputHigh:
        p.outputHigh = std::min(1.0, std::max(plot.V(mouse), p.outputLow + gap));
        m_editor.readoutY = p.outputHigh;
        break;
    default:
        break;
    }
}

int CTlLut::Track(ITlCurveEditView& view, POINT mouse)
{
    const int code = m_editor.hitCode;
    switch (code) {
    case kTlHitCurrentPoint:
        if (DragPoint(view, mouse) == kTlHitNone)
            return kTlHitNone;
        break;
    case kTlHitBlack:
    case kTlHitMidtone:
    case kTlHitWhite:
    case kTlHitOutputLow:
    case kTlHitOutputHigh:
        DragLevel(code, view, mouse);
        break;
    default:
        return Hover(view, mouse);
    }
    m_editor.changed = 1;
    view.Changed(code);
    return code;
}

int CTlLut::MouseUp(ITlCurveEditView& view)
{
    const int code = m_editor.hitCode;
    if (code == kTlHitNone)
        return kTlHitNone;
    view.EndTrack(code);
    m_editor.hitCode = kTlHitNone;
    return code;
}
