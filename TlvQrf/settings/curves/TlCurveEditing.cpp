#include "settings/curves/TlCurveEditing.h"

bool TlIsFarOutside(const RECT& plot, POINT mouse)
{
    using TlCurveEditing::kDropMargin;
    // The plot's last pixels are right - 1 and bottom - 1.
    return mouse.x < plot.left - kDropMargin || mouse.x >= plot.right + kDropMargin ||
           mouse.y < plot.top - kDropMargin || mouse.y >= plot.bottom + kDropMargin;
}

int TlHoverCode(const TlNearestPoint& nearest, int currentPoint, double pickWidth)
{
    if (nearest.index < 0 || nearest.distance > pickWidth)
        return kTlHitPlot;
    return nearest.index == currentPoint ? kTlHitCurrentPoint : kTlHitPoint;
}

int TlSteppedIndex(int current, int count, int step)
{
    if (count <= 0)
        return -1;
    // Wide arithmetic: any current index steps without overflow.
    return static_cast<int>(std::clamp<long long>(static_cast<long long>(current) + step, 0, count - 1));
}
