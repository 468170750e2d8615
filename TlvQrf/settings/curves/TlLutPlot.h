// The tone curve's square plot in pixels, as its editor measures it: inputs
// across, outputs upwards, both 0..1 over the plot's width less one pixel.
#pragma once

#include "settings/curves/TlCurveEditView.h"

#include <algorithm>
#include <cmath>

struct TlLutPlot {
    explicit TlLutPlot(const RECT& plot)
        // A plot of one or two pixels still divides, and still leaves black
        // and white their gap inside 0..1.
        : rect(plot), width(std::max<double>(plot.right - plot.left - 1.0, 2.0))
    {
    }

    double U(POINT mouse) const { return std::clamp((mouse.x - rect.left) / width, 0.0, 1.0); }
    double V(POINT mouse) const { return std::clamp((rect.bottom - mouse.y - 1) / width, 0.0, 1.0); }
    // The least distance between black and white, and between output low
    // and high: two pixels.
    double LevelGap() const { return 2 / width; }
    double Pixel() const { return 1 / width; }
    // Where the input-level and output-level sliders are drawn.
    double SliderX(double level) const { return rect.left + std::trunc(width * level + 0.5); }
    double SliderY(double level) const
    {
        return rect.bottom - std::trunc((rect.bottom - rect.top - 1) * level + 0.5) - 1;
    }

    RECT rect;
    double width;
};
