// The settings of the unsharp-mask filter, as plain values: what its setters
// store and what one tile's work is planned from.
#pragma once

// Shapes of the blurred mask that the image is compared with. Each is
// separable, applied along x with the first radius and along y with the
// second.
enum : long {
    kUsmMaskBox = 1,      // mean over a window of half-width round(radius), at least 1
    kUsmMaskTent = 2,     // triangle of half-width round(2 x radius), at least 1
    kUsmMaskGaussian = 3, // Gaussian with sigma = radius, cut at 3 sigma
};

// Radii above this would make a tile read a very large neighbourhood.
constexpr double kUsmMaxRadius = 100.0;
// Below -1 the filter would do more than blur: it would invert detail.
constexpr double kUsmMinPower = -1.0;

// A band on the circular hue range [0, 1): full effect from start to end
// (going up, wrapping through 0 when end < start), fading linearly to none
// over startSoftness below start and endSoftness above end. From 0 to 1
// the band covers every hue.
struct UsmBand {
    double start = 0.0;
    double startSoftness = 0.0;
    double end = 1.0;
    double endSoftness = 0.0;

    bool operator==(const UsmBand& o) const
    {
        return start == o.start && startSoftness == o.startSoftness && end == o.end && endSoftness == o.endSoftness;
    }
};

struct UsmParams {
    double radius = 1.0;       // along x, in pixels
    double secondRadius = 1.0; // along y: callers pass radius / pixel aspect
    double power = 1.0;        // share of the difference to the mask added back (1.0 = 100 %)
    double threshold = 0.0;    // eight-bit levels; smaller differences stay untouched
    long method = kUsmMaskGaussian;
    bool affectNoise = true;   // false: differences near the noise floor are damped
    UsmBand band;

    bool operator==(const UsmParams& o) const
    {
        return radius == o.radius && secondRadius == o.secondRadius && power == o.power &&
               threshold == o.threshold && method == o.method && affectNoise == o.affectNoise && band == o.band;
    }
    bool operator!=(const UsmParams& o) const { return !(*this == o); }
};
