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

namespace {
// A raised cosine from the blot's centre out to its radius.
double BlotShare(const Blot& blot, long x, long y)
{
    const double dx = x - blot.x;
    const double dy = y - blot.y;
    const double d2 = dx * dx + dy * dy;
    if (d2 >= blot.radius * blot.radius)
        return 1.0;
    const double fade = 0.5 + 0.5 * std::cos(3.141592653589793 * std::sqrt(d2) / blot.radius);
    return 1.0 - (1.0 - blot.transmission) * fade;
}
} // namespace

double Transmission(const Scene& scene, long x, long y)
{
    double t = 1.0;
    for (const Blot& blot : scene.blots)
        t *= BlotShare(blot, x, y);
    return t;
}

std::vector<float> TransmissionPlane(const Scene& scene)
{
    std::vector<float> plane(std::size_t(scene.width * scene.height), 1.0f);
    for (const Blot& blot : scene.blots) {
        const long x0 = std::max(0L, long(std::floor(blot.x - blot.radius)));
        const long x1 = std::min(scene.width - 1, long(std::ceil(blot.x + blot.radius)));
        const long y0 = std::max(0L, long(std::floor(blot.y - blot.radius)));
        const long y1 = std::min(scene.height - 1, long(std::ceil(blot.y + blot.radius)));
        for (long y = y0; y <= y1; ++y)
            for (long x = x0; x <= x1; ++x)
                plane[std::size_t(y * scene.width + x)] *= float(BlotShare(blot, x, y));
    }
    return plane;
}

std::vector<std::uint8_t> ReferencePixels(const Scene& scene, unsigned level)
{
    const std::vector<float> t = TransmissionPlane(scene);
    std::vector<std::uint8_t> pixels(t.size());
    for (std::size_t i = 0; i < t.size(); ++i)
        pixels[i] = std::uint8_t(std::lround(level * double(t[i])));
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

std::vector<unsigned char> GridReferenceRecord(long width, long height, std::uint32_t curveId, std::uint32_t lens,
                                               std::uint32_t aperture)
{
    ReferenceValues values;
    values.curveId = curveId;
    values.lens = lens;
    values.aperture = aperture;
    return ReferenceRecord(GridScene(width, height, 45, 2.5), values);
}

double Gradient(const Scene& scene, long x, long y)
{
    return 0.25 + 0.35 * double(x) / double(scene.width) + 0.2 * double(y) / double(scene.height);
}

std::vector<unsigned> PictureSamples(const Scene& scene, bool withBlots, const std::function<unsigned(double)>& encode)
{
    static const double kChannel[3] = {1.0, 0.9, 0.8};
    const std::vector<float> t = withBlots ? TransmissionPlane(scene) : std::vector<float>();
    std::vector<unsigned> samples;
    samples.reserve(std::size_t(scene.width * scene.height * 3));
    for (long y = 0; y < scene.height; ++y)
        for (long x = 0; x < scene.width; ++x) {
            const double light =
                Gradient(scene, x, y) * (withBlots ? double(t[std::size_t(y * scene.width + x)]) : 1.0);
            for (double channel : kChannel)
                samples.push_back(encode(light * channel));
        }
    return samples;
}

std::vector<unsigned> MosaicSamples(const Scene& scene, bool withBlots, long border, const std::uint8_t (&codes)[4])
{
    static const double kChannel[3] = {1.0, 0.9, 0.8};
    const std::vector<float> t = withBlots ? TransmissionPlane(scene) : std::vector<float>();
    const long width = scene.width + 2 * border;
    const long height = scene.height + 2 * border;
    std::vector<unsigned> samples(std::size_t(width * height));
    for (long y = 0; y < height; ++y)
        for (long x = 0; x < width; ++x) {
            const long sx = std::min(std::max(x - border, 0L), scene.width - 1);
            const long sy = std::min(std::max(y - border, 0L), scene.height - 1);
            const double shade = withBlots ? double(t[std::size_t(sy * scene.width + sx)]) : 1.0;
            const double light = Gradient(scene, sx, sy) * shade * kChannel[codes[(y % 2) * 2 + x % 2] % 3];
            samples[std::size_t(y * width + x)] = unsigned(std::lround(4095.0 * std::min(light, 1.0)));
        }
    return samples;
}

} // namespace dust_synth
