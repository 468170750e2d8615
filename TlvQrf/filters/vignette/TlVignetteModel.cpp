#include "filters/vignette/TlVignetteModel.h"

#include "filters/vignette/TlVignetteCircles.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace {

// The shortfall of a field height that no light reaches: beyond what a
// code holds, so that its code saturates.
constexpr double kNoLight = 1e9;

const TlPupils kDefaultPupils = {{38.0, 47.6, 28.4}, {0.0, 23.8, 14.200000000000001}, 1.0};

// The pupils projected onto the plane of pupil 1, with centre heights per
// unit of field height.
std::vector<CTlCircle> ProjectedPupils(const TlPupils& pupils, double fNumber)
{
    const double* l = pupils.distance;
    const double n = std::max(pupils.minFNumber, fNumber);
    const double r0 = std::fabs(l[0] / n * 0.5);
    std::vector<CTlCircle> circles(3);
    circles[0].id = -1;
    circles[0].y = (l[0] - l[1]) / l[0];
    circles[0].radius = std::fabs(r0 * l[1] / l[0]);
    circles[1].id = -2;
    circles[1].radius = std::fabs(pupils.radius[1]);
    circles[2].id = -3;
    circles[2].y = (l[2] - l[1]) / l[2];
    circles[2].radius = std::fabs(pupils.radius[2] * l[1] / l[2]);
    return circles;
}

auto Key(const CTlCircle& c)
{
    return std::make_tuple(c.radius, c.x, c.y);
}

// The pupils seen from field height h, sorted, without repeats.
std::vector<CTlCircle> PupilsAt(std::vector<CTlCircle> circles, double h)
{
    for (CTlCircle& circle : circles)
        circle.y *= h;
    std::sort(circles.begin(), circles.end(), [](const CTlCircle& a, const CTlCircle& b) { return Key(a) < Key(b); });
    circles.erase(std::unique(circles.begin(), circles.end(),
                              [](const CTlCircle& a, const CTlCircle& b) { return Key(a) == Key(b); }),
                  circles.end());
    return circles;
}

CTlCirclePair PairOf(const CTlCircle& a, const CTlCircle& b)
{
    CTlCirclePair pair;
    pair.a = a;
    pair.b = b;
    IntersectCircles(pair);
    return pair;
}

// The light reaching field height h: the common area of the pupils, each
// ring of it weighted by the cos^4 level of its distance from the point
// straight above h (level s of 256 within the disc of that level).
double LightAt(const std::vector<CTlCircle>& projected, double h, double l1)
{
    std::vector<CTlCircle> circles = PupilsAt(projected, h);
    const std::size_t n = circles.size();
    std::vector<CTlCirclePair> pairs;
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = i + 1; j < n; ++j)
            pairs.push_back(PairOf(circles[i], circles[j]));

    double reach = HUGE_VAL;
    for (const CTlCircle& c : circles)
        reach = std::min(reach, std::fabs(h - c.y) + c.radius);
    const double l1Squared = l1 * l1;
    const double l1Fourth = l1Squared * l1Squared;
    const double outer = l1Squared + reach * reach;
    // Level 0 would be a disc without bound; its ring carries no light worth
    // counting, so the sweep stops at level 1.
    const int lowest = std::max(1, int(256.0 * l1Fourth / (outer * outer)));

    CTlCircle disc;
    disc.y = h;
    circles.push_back(disc);
    const std::size_t firstDiscPair = pairs.size();
    for (std::size_t i = 0; i < n; ++i)
        pairs.push_back(PairOf(circles[i], disc));

    double light = 0.0;
    double previous = 0.0;
    for (int s = 255; s >= lowest; --s) {
        CTlCircle& level = circles.back();
        level.id = s;
        level.radius = std::sqrt(std::sqrt(l1Fourth * 256.0 / s) - l1Squared);
        for (std::size_t i = 0; i < n; ++i) {
            CTlCirclePair& pair = pairs[firstDiscPair + i];
            pair.a = circles[i];
            pair.b = level;
            IntersectCircles(pair);
        }
        const double area = TlCommonDiscArea(circles, pairs);
        light += (area - previous) * (s + 0.5) / 256.0;
        previous = area;
    }
    return light;
}

double Log2(double x)
{
    static const double kLn2 = std::log(2.0);
    return std::log(x) / kLn2;
}

} // namespace

TlPupils TlPupilsFromLensData(const std::uint8_t* lensData)
{
    if (lensData == nullptr)
        return kDefaultPupils;
    TlPupils pupils{};
    for (int i = 0; i < 3; ++i) {
        const int position = static_cast<std::int8_t>(lensData[2 * i]);
        const int aperture = lensData[2 * i + 1];
        if (position == 0)
            return kDefaultPupils;
        pupils.distance[i] = 2000.0 / position;
        if (i == 0)
            pupils.minFNumber = std::pow(2.0, aperture / 24.0);
        else
            pupils.radius[i] = std::fabs(pupils.distance[i] * 0.5 / std::pow(2.0, (aperture - 48) / 24.0));
    }
    return pupils;
}

TlShortfalls TlLightShortfalls(const TlPupils& pupils, double fNumber, double sensorDiagonal)
{
    const std::vector<CTlCircle> projected = ProjectedPupils(pupils, fNumber);
    std::array<double, kTlFieldSteps + 1> light{};
    for (int k = 0; k <= kTlFieldSteps; ++k)
        light[std::size_t(k)] = LightAt(projected, k * sensorDiagonal * 0.025, pupils.distance[1]);
    TlShortfalls shortfalls{};
    for (int k = 1; k <= kTlFieldSteps; ++k) {
        const double here = light[std::size_t(k)];
        // No light at all: the code saturates; no light at the centre either:
        // nothing to correct towards.
        shortfalls[std::size_t(k)] = here > 0.0 ? light[0] / here - 1.0 : light[0] > 0.0 ? kNoLight : 0.0;
    }
    return shortfalls;
}

std::uint16_t TlGainCode(double shortfall)
{
    // A field height brighter than the centre is not darkened.
    const double v = std::isnan(shortfall) ? 0.0 : std::max(shortfall, 0.0);
    // Rounding in the logarithm must not push a half below exponent 0.
    const double exponent = std::max(0.0, std::floor(Log2(std::max(v, 0.5))) + 1.0);
    if (exponent >= 16.0)
        return 0xFFFF;
    const int e = int(exponent);
    if (e == 0)
        return std::uint16_t(v * 4096.0);
    return std::uint16_t((e << 12) | int(v * std::ldexp(1.0, 13 - e) - 4096.0));
}

std::uint64_t TlGainTerm(std::uint16_t code, std::uint32_t value)
{
    const int e = code >> 12;
    const std::uint64_t mantissa = e > 0 ? ((code & 0xFFFu) | 0x1000u) : (code & 0xFFFu);
    const std::uint64_t product = mantissa * value;
    const int shift = e > 0 ? 13 - e : 12;
    const std::uint64_t term = shift >= 0 ? product >> shift : product << -shift;
    return std::min<std::uint64_t>(term, 65535);
}

std::vector<std::uint16_t> TlRadialCodes(const TlShortfalls& shortfalls, long width, long height, double aspectScale)
{
    const double h = aspectScale * double(height);
    const long half = long(std::sqrt(double(width) * double(width) + h * h)) / 2;
    const long count = 4 * half + 1;
    std::vector<std::uint16_t> codes(std::size_t(count), 0);
    for (long i = 0; i < count; ++i) {
        const double t = double(i) * kTlFieldSteps / double(count);
        const int j = int(t);
        const double v =
            shortfalls[std::size_t(j)] + (shortfalls[std::size_t(j) + 1] - shortfalls[std::size_t(j)]) * (t - j);
        codes[std::size_t(i)] = TlGainCode(v);
    }
    return codes;
}
