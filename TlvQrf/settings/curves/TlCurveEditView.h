// What the curve elements need of the curve editor that drives them: where
// the plots, strips and handles are drawn, the key-press steps, and three
// notifications. Drawing stays with the editor; the elements only do the
// geometry, in normalised units.
#pragma once

#include <windows.h>

// What a hit test found, what is being tracked, and what an edit changed.
enum : int {
    kTlHitNone = 0,
    kTlHitPlot = 1,          // inside the plot, away from any point
    kTlHitPoint = 2,         // near a point that is not the current one
    kTlHitCurrentPoint = 4,  // near the current point; tracking: moving it
    kTlHitBlack = 16,        // black-point slider (tone curves)
    kTlHitMidtone = 32,      // midtone slider (tone curves)
    kTlHitWhite = 64,        // white-point slider (tone curves)
    kTlHitOffset = 128,      // offset handle (bump curves)
    kTlHitWidth = 256,       // width handle (bump curves)
    kTlHitToggle = 512,      // zoom toggle button (bump curves)
    kTlHitOutputLow = 1024,  // output-low slider (tone curves)
    kTlHitOutputHigh = 2048, // output-high slider (tone curves)
};

// Tolerances in pixels.
struct TlCurveEditMetrics {
    int sliderTolerance;       // sliders and the width handle
    int offsetHandleTolerance;
};

// Rectangles are in pixels; a point is inside when left <= x < right and
// top <= y < bottom.
class ITlCurveEditView {
public:
    RECT lutPlot{};
    RECT inputLevelsStrip{};
    RECT outputLevelsStrip{};
    RECT pointCurvePlot{};
    RECT linearCurvePlot{};
    RECT offsetHandleStrip{};
    RECT widthHandleStrip{};
    RECT toggleButton{};
    int pickRadius = 0;
    unsigned char showInputLevels = 0;
    unsigned char showOutputLevels = 0;
    // Normalised units per key press.
    double lutVerticalStep = 0;
    double lutHorizontalStep = 0;
    double curveVerticalStep = 0;
    double curveHorizontalStep = 0;

    virtual TlCurveEditMetrics GetMetrics() = 0;
    virtual void BeginTrack(int code) = 0;
    virtual void Changed(int code) = 0;
    virtual void EndTrack(int code) = 0;

protected:
    ~ITlCurveEditView() = default;
};

inline bool TlIsInside(const RECT& rect, const POINT& point)
{
    return rect.left <= point.x && point.x < rect.right && rect.top <= point.y && point.y < rect.bottom;
}
