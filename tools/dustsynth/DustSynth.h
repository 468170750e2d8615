// Synthetic dust data for tests and benchmarks: a reference shot of an even
// surface with dark blots of known place and depth, stored as a reference
// record, and pictures on which the same blots fall on a smooth gradient.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace dust_synth {

struct Blot {
    double x;
    double y;
    double radius;       // pixels to where the shadow fades out
    double transmission; // light let through at the centre (0..1)
};

struct Scene {
    long width = 0;
    long height = 0;
    std::vector<Blot> blots;
};

// A scene of `count` blots on a grid, alternately deep and shallow,
// `spacing` pixels apart and away from the edges.
Scene GridScene(long width, long height, long spacing, double radius);

// The share of light that reaches pixel (x, y): 1 away from blots, the
// blot's transmission at its centre, rising smoothly to 1 at its radius.
double Transmission(const Scene& scene, long x, long y);

// The transmission of every pixel, row after row (each blot painted only
// over its own square, so large scenes stay quick).
std::vector<float> TransmissionPlane(const Scene& scene);

// The reference's pixels (8-bit grey, row after row): `level` times the
// transmission.
std::vector<std::uint8_t> ReferencePixels(const Scene& scene, unsigned level);

// The stored reference record of those pixels.
struct ReferenceValues {
    std::uint32_t curveId = 1025;
    std::uint32_t lens = 50;
    std::uint32_t aperture = 84;
    unsigned level = 128; // the level of clean areas: the analysis reads 124 and up as no dust
};
std::vector<unsigned char> ReferenceRecord(const Scene& scene, const ReferenceValues& values);

// The record of a grid of blots (45 pixels apart, radius 2.5) over
// width x height, as a camera of `curveId` took it with the given lens value
// and aperture code.
std::vector<unsigned char> GridReferenceRecord(long width, long height, std::uint32_t curveId, std::uint32_t lens,
                                               std::uint32_t aperture);

// A smooth gradient in linear light (0..1) across the picture.
double Gradient(const Scene& scene, long x, long y);

// RGB samples (row after row, three per pixel) of the gradient, darkened by
// the blots when `withBlots`; `encode` takes a linear value (0..1) to a
// sample value, and the channels are the value scaled by 1, 0.9 and 0.8.
std::vector<unsigned> PictureSamples(const Scene& scene, bool withBlots, const std::function<unsigned(double)>& encode);

// A raw mosaic (12-bit samples, one per pixel) of the scene, `border`
// pixels larger on every side: the light of each sample is the gradient's
// (and the blots') at the scene pixel `border` up and left of it, taken by
// the colour the 2 x 2 pattern gives there (EXIF codes 0 red, 1 green,
// 2 blue, first code at the top left, row by row).
std::vector<unsigned> MosaicSamples(const Scene& scene, bool withBlots, long border, const std::uint8_t (&codes)[4]);

} // namespace dust_synth
