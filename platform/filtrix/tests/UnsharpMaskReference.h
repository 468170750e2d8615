// What the unsharp-mask filter must make of a whole picture, computed the
// slow, direct way: a two-dimensional sum over an edge-clamped picture in
// double precision, with the band and the sample rule written out again
// from their documented definitions.
#pragma once

#include "UnsharpMaskTestSupport.h"

#include <algorithm>
#include <cmath>

namespace usmref {

// Normalised taps from -half to +half.
inline std::vector<double> Kernel(long method, double radius)
{
    long half = std::max(1L, long(std::ceil(3.0 * radius)));
    std::function<double(long)> tap = [radius](long i) { return std::exp(-0.5 * double(i * i) / (radius * radius)); };
    if (method == kUsmMaskBox) {
        half = std::max(1L, std::lround(radius));
        tap = [](long) { return 1.0; };
    } else if (method == kUsmMaskTent) {
        half = std::max(1L, std::lround(2.0 * radius));
        tap = [half](long i) { return double(half + 1 - std::labs(i)); };
    }
    std::vector<double> taps;
    for (long i = -half; i <= half; ++i)
        taps.push_back(tap(i));
    double sum = 0.0;
    for (double t : taps)
        sum += t;
    for (double& t : taps)
        t /= sum;
    return taps;
}

// A trapezoid on the straight line, tried at the hue and one turn either side.
inline double BandWeight(const UsmBand& band, double hue)
{
    const double end = band.end >= band.start ? band.end : band.end + 1.0;
    if (end - band.start >= 1.0)
        return 1.0;
    double best = 0.0;
    for (double h : {hue - 1.0, hue, hue + 1.0}) {
        if (h >= band.start && h <= end)
            return 1.0;
        if (h < band.start && band.startSoftness > 0.0)
            best = std::max(best, 1.0 - (band.start - h) / band.startSoftness);
        if (h > end && band.endSoftness > 0.0)
            best = std::max(best, 1.0 - (h - end) / band.endSoftness);
    }
    return best;
}

struct Roles {
    long sharpened; // planes 0 to sharpened - 1
    long hue;       // -1 when none
};

inline Roles RolesOf(KelvraPixelFormat format)
{
    if (format == kKelvraLCh8 || format == kKelvraLCh16)
        return {1, 2};
    return {format == kKelvraRGB8 || format == kKelvraRGB16 ? 3L : 1L, -1};
}

inline double Mask(const Picture& in, long x, long y, long plane, const std::vector<double>& kx,
                   const std::vector<double>& ky)
{
    const long hx = long(kx.size() / 2), hy = long(ky.size() / 2);
    double sum = 0.0;
    for (long j = -hy; j <= hy; ++j) {
        const long sy = std::min(std::max(y + j, 0L), in.height - 1);
        for (long i = -hx; i <= hx; ++i) {
            const long sx = std::min(std::max(x + i, 0L), in.width - 1);
            sum += ky[std::size_t(j + hy)] * kx[std::size_t(i + hx)] * in.At(sx, sy, plane);
        }
    }
    return sum;
}

} // namespace usmref

inline Picture Reference(const Picture& in, const UsmParams& params, std::vector<int>* tolerance)
{
    const usmref::Roles roles = usmref::RolesOf(in.format);
    const std::vector<double> kx = usmref::Kernel(params.method, params.radius);
    const std::vector<double> ky = usmref::Kernel(params.method, params.secondRadius);
    const double scale = in.Max() / 255.0, threshold = params.threshold * scale, noise = 2.0 * scale;
    Picture out = in;
    tolerance->assign(in.samples.size(), 0);
    for (long y = 0; y < in.height; ++y) {
        for (long x = 0; x < in.width; ++x) {
            const double hue = roles.hue < 0 ? 0.0 : in.At(x, y, roles.hue) / (in.Max() + 1.0);
            const double band = roles.hue < 0 ? 1.0 : usmref::BandWeight(params.band, hue);
            for (long plane = 0; plane < roles.sharpened; ++plane) {
                const double value = in.At(x, y, plane);
                const double d = value - usmref::Mask(in, x, y, plane, kx, ky);
                const bool nearThreshold = threshold > 0.0 && std::fabs(std::fabs(d) - threshold) < 1e-3;
                (*tolerance)[in.Index(x, y, plane)] = nearThreshold ? -1 : 1;
                if (std::fabs(d) < threshold)
                    continue;
                const double gain = params.power * band * (params.affectNoise ? 1.0 : d * d / (d * d + noise * noise));
                const double result = std::floor(value + gain * d + 0.5);
                out.samples[in.Index(x, y, plane)] = unsigned(std::min(std::max(result, 0.0), double(in.Max())));
            }
        }
    }
    return out;
}

// Fails the test where `actual` leaves `expected` by more than the tolerance.
inline void ExpectMatches(const Picture& expected, const std::vector<int>& tolerance, const Picture& actual)
{
    ASSERT_EQ(expected.samples.size(), actual.samples.size());
    long misses = 0;
    for (std::size_t i = 0; i < expected.samples.size(); ++i) {
        const long gap = std::labs(long(expected.samples[i]) - long(actual.samples[i]));
        if (tolerance[i] >= 0 && gap > tolerance[i] && ++misses <= 5) {
            const long pixel = long(i) / expected.Planes();
            ADD_FAILURE() << "pixel (" << pixel % expected.width << ", " << pixel / expected.width << ") plane "
                          << long(i) % expected.Planes() << ": expected " << expected.samples[i] << ", got "
                          << actual.samples[i];
        }
    }
    EXPECT_EQ(0, misses);
}
