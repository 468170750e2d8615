#include "KelvraTurnGeometry.h"

#include <cmath>

namespace {

const double kPi = 3.14159265358979323846;
// An angle this close to a multiple of 90 degrees is that multiple.
const double kQuarterTolerance = 1e-9;
// A bounding box side this little over a whole number is that number.
const double kSideTolerance = 1e-6;

long BoxSide(double extent)
{
    const double side = std::ceil(extent - kSideTolerance);
    return side < 1 ? 1 : long(side);
}

} // namespace

double KelvraNormalizedAngle(double degrees)
{
    double angle = std::fmod(degrees, 360.0);
    if (angle < 0)
        angle += 360.0;
    return angle >= 360.0 || angle == 0 ? 0.0 : angle; // no -0 and no 360 from rounding
}

KelvraTurn KelvraTurnOf(bool flip, double degrees)
{
    static const double kQuarterCosine[4] = {1, 0, -1, 0};
    static const double kQuarterSine[4] = {0, 1, 0, -1};
    KelvraTurn turn;
    turn.flip = flip;
    const double quarters = KelvraNormalizedAngle(degrees) / 90.0;
    const double nearest = std::round(quarters);
    turn.quarter = std::fabs(quarters - nearest) < kQuarterTolerance;
    if (turn.quarter) {
        const int index = int(nearest) % 4;
        turn.cosine = kQuarterCosine[index];
        turn.sine = kQuarterSine[index];
    } else {
        turn.cosine = std::cos(quarters * kPi / 2);
        turn.sine = std::sin(quarters * kPi / 2);
    }
    return turn;
}

// x' = c (m(x) - W/2) - s (y - H/2) + W'/2, y' = s (m(x) - W/2) + c (y - H/2) + H'/2,
// with m(x) = W - x when mirrored, else x.
void KelvraTurnOutput(const KelvraTurn& turn, long sourceWidth, long sourceHeight, long* width, long* height,
                      CKelvraGeometryFilter::CMapping* mapping)
{
    const double c = turn.cosine, s = turn.sine;
    const double w = double(sourceWidth), h = double(sourceHeight);
    const bool empty = sourceWidth < 1 || sourceHeight < 1;
    *width = empty ? 0 : BoxSide(w * std::fabs(c) + h * std::fabs(s));
    *height = empty ? 0 : BoxSide(w * std::fabs(s) + h * std::fabs(c));
    const double mirror = turn.flip ? -1.0 : 1.0;
    const double shift = (turn.flip ? w : 0.0) - w / 2; // m(x) - W/2 = mirror x + shift
    mapping->xx = c * mirror;
    mapping->xy = -s;
    mapping->x0 = c * shift + s * h / 2 + double(*width) / 2;
    mapping->yx = s * mirror;
    mapping->yy = c;
    mapping->y0 = s * shift - c * h / 2 + double(*height) / 2;
}
