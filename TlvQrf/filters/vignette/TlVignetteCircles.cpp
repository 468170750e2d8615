#include "filters/vignette/TlVignetteCircles.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kHalfPi = kPi / 2.0;

double Wrapped(double angle)
{
    return std::fmod(angle + 3.0 * kPi, 2.0 * kPi) - kPi;
}

// Rounding may put the cosine of an angle just outside [-1, 1].
double SafeAcos(double cosine)
{
    return std::acos(std::clamp(cosine, -1.0, 1.0));
}

void SetPoint1(CTlCirclePair& pair, double x, double y)
{
    pair.x1 = pair.x2 = x;
    pair.y1 = pair.y2 = y;
}

// One touching point: `from`'s centre moved `length` along `angle`; both
// circles see it at the angles given.
void Touch(CTlCirclePair& pair, const CTlCircle& from, double length, double angle, double angleA, double angleB)
{
    SetPoint1(pair, from.x + length * std::cos(angle), from.y + length * std::sin(angle));
    pair.a.angle1 = pair.a.angle2 = Wrapped(angleA);
    pair.b.angle1 = pair.b.angle2 = Wrapped(angleB);
}

void Cross(CTlCirclePair& pair, double ra, double rb)
{
    const double d = pair.distance;
    const double theta = pair.direction;
    const double alpha = SafeAcos((ra * ra + d * d - rb * rb) / (2.0 * ra * d));
    const double beta = SafeAcos((d * d + rb * rb - ra * ra) / (2.0 * rb * d));
    pair.a.angle1 = Wrapped(theta + alpha);
    pair.a.angle2 = Wrapped(theta - alpha);
    pair.b.angle1 = Wrapped(-(theta + beta));
    pair.b.angle2 = Wrapped(beta - theta);
    pair.x1 = pair.a.x + ra * std::cos(pair.a.angle1);
    pair.y1 = pair.a.y + ra * std::sin(pair.a.angle1);
    pair.x2 = pair.a.x + ra * std::cos(pair.a.angle2);
    pair.y2 = pair.a.y + ra * std::sin(pair.a.angle2);
}

// The angle, on `circle`, of the meeting point right of the axis.
double RightAngle(const CTlCircle& circle)
{
    return circle.angle2 >= -kHalfPi && circle.angle2 <= kHalfPi ? circle.angle2 : circle.angle1;
}

bool Meets(const CTlCirclePair& pair)
{
    return pair.status != kTlSameCircle && pair.status != kTlApart && pair.status != kTlFirstInsideSecond &&
           pair.status != kTlSecondInsideFirst;
}

// The area of `radius`'s disc above the horizontal chord through the point
// at polar angle `angle`.
double CapArea(double radius, double angle)
{
    const double alpha = 2.0 * (kHalfPi - angle);
    return radius * radius / 2.0 * (alpha - std::sin(alpha));
}

std::size_t TopCircle(const std::vector<CTlCircle>& circles)
{
    std::size_t top = 0;
    for (std::size_t i = 1; i < circles.size(); ++i) {
        const double edge = circles[i].y + circles[i].radius;
        const double best = circles[top].y + circles[top].radius;
        if (edge < best || (edge == best && circles[i].y > circles[top].y))
            top = i;
    }
    return top;
}

std::size_t BottomCircle(const std::vector<CTlCircle>& circles)
{
    std::size_t bottom = 0;
    for (std::size_t i = 1; i < circles.size(); ++i) {
        const double edge = circles[i].y - circles[i].radius;
        const double best = circles[bottom].y - circles[bottom].radius;
        if (edge > best || (edge == best && circles[i].y < circles[bottom].y))
            bottom = i;
    }
    return bottom;
}

struct Step {
    double exitAngle;
    double height;
    int next; // id of the next circle; the walk ends when none is found
    double entryAngle;
    bool found;
};

// The highest meeting point of the current circle below `height`, not
// below `bottom`, where the walk down its right-hand side leaves it.
Step NextStep(const std::vector<CTlCirclePair>& pairs, int current, double height, double bottom)
{
    Step step{-kHalfPi, bottom, 0, kHalfPi, false};
    for (std::size_t p = pairs.size(); p-- > 0;) {
        const CTlCirclePair& pair = pairs[p];
        if (!Meets(pair) || (pair.a.id != current && pair.b.id != current))
            continue;
        const bool onA = pair.a.id == current;
        const CTlCircle& self = onA ? pair.a : pair.b;
        const CTlCircle& other = onA ? pair.b : pair.a;
        const double y = pair.y1;
        if (y >= height || y < step.height)
            continue;
        const double otherAngle = RightAngle(other);
        if (y > step.height || otherAngle < step.entryAngle) {
            step = Step{RightAngle(self), y, other.id, otherAngle, true};
        }
    }
    return step;
}

const CTlCircle* CircleWithId(const std::vector<CTlCircle>& circles, int id)
{
    for (const CTlCircle& circle : circles)
        if (circle.id == id)
            return &circle;
    return nullptr;
}

} // namespace

void IntersectCircles(CTlCirclePair& pair)
{
    const double ra = std::fabs(pair.a.radius);
    const double rb = std::fabs(pair.b.radius);
    const double dx = pair.b.x - pair.a.x;
    const double dy = pair.b.y - pair.a.y;
    pair.distance = std::sqrt(dx * dx + dy * dy);
    pair.direction = std::atan2(dy, dx);
    const double d = pair.distance;
    const double theta = pair.direction;
    if (ra == rb && d == 0.0)
        pair.status = kTlSameCircle;
    else if (d > ra + rb)
        pair.status = kTlApart;
    else if (rb > d + ra)
        pair.status = kTlFirstInsideSecond;
    else if (ra > d + rb)
        pair.status = kTlSecondInsideFirst;
    else if (d == ra + rb) {
        pair.status = kTlTouchingOutside;
        Touch(pair, pair.a, ra, theta, theta, theta + kPi);
    } else if (rb == d + ra) {
        pair.status = kTlFirstTouchingInside;
        Touch(pair, pair.b, rb, theta + kPi, theta + kPi, theta + kPi);
    } else if (ra == d + rb) {
        pair.status = kTlSecondTouchingInside;
        Touch(pair, pair.a, ra, theta, theta, theta);
    } else {
        pair.status = kTlCrossing;
        Cross(pair, ra, rb);
    }
}

double TlCommonDiscArea(const std::vector<CTlCircle>& circles, const std::vector<CTlCirclePair>& pairs)
{
    if (circles.empty())
        return 0.0;
    const CTlCircle& top = circles[TopCircle(circles)];
    const CTlCircle& lowest = circles[BottomCircle(circles)];
    if (&top == &lowest)
        return kPi * top.radius * top.radius;
    const double topHeight = top.y + top.radius;
    const double bottom = lowest.y - lowest.radius;
    if (topHeight <= bottom)
        return 0.0;

    // Down the right-hand half of the boundary: each circle contributes the
    // band between the chords where the walk enters and leaves it.
    double area = 0.0;
    const CTlCircle* current = &top;
    double entryAngle = kHalfPi;
    double height = topHeight;
    // Each step goes strictly lower; the bound only guards against a
    // malformed set of pairs.
    for (std::size_t steps = 0; current && steps <= pairs.size(); ++steps) {
        const Step step = NextStep(pairs, current->id, height, bottom);
        area += CapArea(current->radius, step.exitAngle) - CapArea(current->radius, entryAngle);
        if (!step.found || step.height <= bottom)
            break;
        current = CircleWithId(circles, step.next);
        entryAngle = step.entryAngle;
        height = step.height;
    }
    return area;
}

double TlCommonDiscArea(const std::vector<CTlCircle>& circles)
{
    std::vector<CTlCirclePair> pairs;
    for (std::size_t i = 0; i < circles.size(); ++i)
        for (std::size_t j = i + 1; j < circles.size(); ++j) {
            CTlCirclePair pair;
            pair.a = circles[i];
            pair.b = circles[j];
            IntersectCircles(pair);
            pairs.push_back(pair);
        }
    return TlCommonDiscArea(circles, pairs);
}
