// Helpers for the curve-editing tests: a curve editor's view that records
// its notifications, with plots of round sizes, and the pixel under a
// normalised position.
#pragma once

#include "settings/curves/TlCurveEditView.h"

#include <cmath>
#include <string>
#include <vector>

namespace curve_edit_test {

// The bump plots: 200 x 200 pixels, so u = x / 200 and the height is
// (99 - y) / 100. The offset strip lies right of the plot, the width strip
// below it, the toggle button below and right of both. The tone-curve plot
// is 101 x 101 pixels (100 steps), so u = x / 100 and v = (100 - y) / 100,
// with the input-level strip below it and the output-level strip right of it.
class CRecordingView : public ITlCurveEditView {
public:
    CRecordingView()
    {
        pointCurvePlot = {0, 0, 200, 200};
        linearCurvePlot = {0, 0, 200, 200};
        offsetHandleStrip = {200, 0, 220, 200};
        widthHandleStrip = {0, 200, 200, 220};
        toggleButton = {220, 220, 240, 240};
        lutPlot = {0, 0, 101, 101};
        inputLevelsStrip = {0, 110, 101, 120};
        outputLevelsStrip = {110, 0, 120, 101};
        pickRadius = 4;
        curveVerticalStep = 0.125;
        curveHorizontalStep = 0.0625;
        lutVerticalStep = 0.125;
        lutHorizontalStep = 0.0625;
    }

    TlCurveEditMetrics GetMetrics() override { return metrics; }
    void BeginTrack(int code) override { calls.push_back("begin " + std::to_string(code)); }
    void Changed(int code) override { calls.push_back("changed " + std::to_string(code)); }
    void EndTrack(int code) override { calls.push_back("end " + std::to_string(code)); }

    TlCurveEditMetrics metrics{3, 2};
    std::vector<std::string> calls;
};

// The pixel of a bump plot at position u and plot height h (-1..1).
inline POINT BumpAt(double u, double h)
{
    return {std::lround(u * 200), 99 - std::lround(h * 100)};
}

// The pixel of the tone-curve plot at input u and output v (0..1).
inline POINT LutAt(double u, double v)
{
    return {std::lround(u * 100), 100 - std::lround(v * 100)};
}

} // namespace curve_edit_test
