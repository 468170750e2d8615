// The curve editor's logic for both bump curves (the hue curve and the
// chroma-by-hue curve): hover tests against points and handles, tracking,
// insertion on the ring, deletion and key nudges. The two curves differ only
// in how their plot maps onto values and in their zoom, which the target
// describes.
#pragma once

#include "settings/curves/TlBumpPoint.h"
#include "settings/curves/TlCurveEditView.h"

#include <cstdint>
#include <vector>

// One bump curve as its editor sees it: its data and its plot.
struct TlBumpEditTarget {
    std::vector<TlBumpPoint>& points;
    int& currentPoint;
    TlBumpEditorState& state;
    std::uint8_t& changed;
    double& offset;    // the offset of the edited curve
    int& zoom;         // the vertical zoom the toggle button cycles
    int zoomSteps;     // the zoom runs 1..zoomSteps
    RECT ITlCurveEditView::*plot;
    double plotRange;  // the normalised value at the plot's top edge
    double valueScale; // curve value per normalised value
    bool shiftByOffset;    // curve values are drawn around the offset
    bool widthFromPlot;    // auto half-width from the plot height, not the value
    bool offsetInPlotOnly; // the offset follows the mouse only level with the plot
};

// The zoom as the editor uses it: inside 1..steps whatever was stored.
int TlEffectiveZoom(int zoom, int steps);

class CTlBumpCurveEditor {
public:
    explicit CTlBumpCurveEditor(const TlBumpEditTarget& target) : m_t(target) {}

    int Track(ITlCurveEditView& view, POINT mouse);
    int MouseDown(ITlCurveEditView& view, POINT mouse);
    int MouseUp(ITlCurveEditView& view);
    int InsertPoint();
    int DeletePoint();
    int Select(int step);
    int NudgeValue(double delta);
    int NudgePosition(double delta);
    int NudgeWidth(double delta);
    int NudgeOffset(double delta);

private:
    // Where the mouse is in the plot: u across, v the normalised height
    // (both limited) and the curve value a point there would get.
    struct SMouse {
        double u;
        double v;
        double value;
    };
    SMouse Locate(const RECT& plot, POINT mouse) const;
    double PlotHeightOf(double value) const;
    double OffsetLineY(const RECT& plot) const;

    int Hover(ITlCurveEditView& view, POINT mouse);
    int HoverPlot(ITlCurveEditView& view, POINT mouse);
    bool InsertAtMouse(ITlCurveEditView& view, POINT mouse);
    int DragPoint(ITlCurveEditView& view, POINT mouse);
    void DragOffset(ITlCurveEditView& view, POINT mouse);
    void DragWidth(ITlCurveEditView& view, POINT mouse);
    void RemoveCurrentPoint();
    bool HasCurrentPoint() const;
    TlBumpPoint& CurrentPoint() { return m_t.points[static_cast<std::size_t>(m_t.currentPoint)]; }
    void ShowCurrentPoint();

    TlBumpEditTarget m_t;
};
