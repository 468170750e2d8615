#include "DustSynth.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>

namespace dust_synth {

Scene GridScene(long width, long height, long spacing, double radius)
{
    Scene scene;
    scene.width = width;
    scene.height = height;
    int n = 0;
    for (long y = spacing; y + spacing / 2 < height; y += spacing)
        for (long x = spacing; x + spacing / 2 < width; x += spacing, ++n)
            scene.blots.push_back({double(x) + 0.3, double(y) + 0.6, radius, n % 2 ? 0.55 : 0.75});
    return scene;
}

double Transmission(const Scene& scene, long x, long y)
{
    double t = 1.0;
    for (const Blot& blot : scene.blots) {
        const double dx = x - blot.x;
        const double dy = y - blot.y;
        const double d2 = dx * dx + dy * dy;
        if (d2 >= blot.radius * blot.radius)
            continue;
        // A raised cosine from the centre out to the radius.
        const double fade = 0.5 + 0.5 * std::cos(3.141592653589793 * std::sqrt(d2) / blot.radius);
        t *= 1.0 - (1.0 - blot.transmission) * fade;
    }
    return t;
}

std::vector<std::uint8_t> ReferencePixels(const Scene& scene, unsigned level)
{
    std::vector<std::uint8_t> pixels(std::size_t(scene.width * scene.height));
    for (long y = 0; y < scene.height; ++y)
        for (long x = 0; x < scene.width; ++x)
            pixels[std::size_t(y * scene.width + x)] =
                std::uint8_t(std::lround(level * Transmission(scene, x, y)));
    return pixels;
}

namespace {
void PutWord(std::vector<unsigned char>& bytes, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<unsigned char>(value >> (8 * i)));
}
} // namespace

std::vector<unsigned char> ReferenceRecord(const Scene& scene, const ReferenceValues& values)
{
    const std::vector<std::uint8_t> pixels = ReferencePixels(scene, values.level);
    uLongf size = compressBound(uLong(pixels.size()));
    std::vector<unsigned char> payload(size);
    compress(payload.data(), &size, pixels.data(), uLong(pixels.size()));
    payload.resize(size);
    std::vector<unsigned char> bytes{'D', 's', 't', 'R'};
    PutWord(bytes, 1);
    PutWord(bytes, 28);
    for (std::uint32_t word : {values.curveId, std::uint32_t(scene.width), std::uint32_t(scene.height), 200u,
                               values.lens, values.aperture, std::uint32_t(payload.size())})
        PutWord(bytes, word);
    bytes.insert(bytes.end(), payload.begin(), payload.end());
    return bytes;
}

double Gradient(const Scene& scene, long x, long y)
{
    return 0.25 + 0.35 * double(x) / double(scene.width) + 0.2 * double(y) / double(scene.height);
}

std::vector<unsigned> PictureSamples(const Scene& scene, bool withBlots, const std::function<unsigned(double)>& encode)
{
    static const double kChannel[3] = {1.0, 0.9, 0.8};
    std::vector<unsigned> samples;
    samples.reserve(std::size_t(scene.width * scene.height * 3));
    for (long y = 0; y < scene.height; ++y)
        for (long x = 0; x < scene.width; ++x) {
            const double light = Gradient(scene, x, y) * (withBlots ? Transmission(scene, x, y) : 1.0);
            for (double channel : kChannel)
                samples.push_back(encode(light * channel));
        }
    return samples;
}

} // namespace dust_synth
