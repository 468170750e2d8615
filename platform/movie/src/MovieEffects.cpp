#include "MovieEffects.h"

#include "../TlMovie.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr std::uint32_t kDissolve = TlMovieCode('d', 's', 'l', 'v');
constexpr std::uint32_t kWipe = TlMovieCode('s', 'm', 'p', 't');
constexpr std::uint32_t kIris = TlMovieCode('s', 'm', 'p', '2');
constexpr std::uint32_t kSlide = TlMovieCode('s', 'l', 'i', 'd');
constexpr long kHorizontalWipe = 1;
constexpr long kVerticalWipe = 2;
constexpr long kIrisWipe = 119;
constexpr double kPi = 3.14159265358979323846;

void CopyPixel(MovieFrame& out, long x, long y, const MovieFrame& from, long fx, long fy)
{
    std::memcpy(out.Row(y) + 3 * x, from.Row(fy) + 3 * fx, 3);
}

void Dissolve(const MovieFrame& source1, const MovieFrame& source2, double share, MovieFrame& out)
{
    const int weight = int(std::lround(share * 256));
    for (long y = 0; y < out.height; ++y) {
        const std::uint8_t* a = source1.Row(y);
        const std::uint8_t* b = source2.Row(y);
        std::uint8_t* o = out.Row(y);
        for (long i = 0; i < out.width * 3; ++i)
            o[i] = static_cast<std::uint8_t>((b[i] * weight + a[i] * (256 - weight) + 128) >> 8);
    }
}

// Each pixel from source 1 where `first` says so, else from source 2.
template <class Test>
void Split(const MovieFrame& source1, const MovieFrame& source2, MovieFrame& out, Test first)
{
    for (long y = 0; y < out.height; ++y)
        for (long x = 0; x < out.width; ++x)
            CopyPixel(out, x, y, first(x, y) ? source1 : source2, x, y);
}

void Slide(const MovieFrame& source1, const MovieFrame& source2, double share, double angle, MovieFrame& out)
{
    const double radians = angle * kPi / 180.0;
    const double dx = std::sin(radians), dy = -std::cos(radians);
    // The way source 1 travels: far enough along the direction to start off the frame.
    const double extent = std::fabs(dx) * out.width + std::fabs(dy) * out.height;
    const long offsetX = std::lround(-dx * share * extent);
    const long offsetY = std::lround(-dy * share * extent);
    for (long y = 0; y < out.height; ++y)
        for (long x = 0; x < out.width; ++x) {
            const long fx = x - offsetX, fy = y - offsetY;
            if (fx >= 0 && fy >= 0 && fx < out.width && fy < out.height)
                CopyPixel(out, x, y, source1, fx, fy);
            else
                CopyPixel(out, x, y, source2, x, y);
        }
}

} // namespace

bool MovieEffectKnown(const MovieEffectParams& params)
{
    switch (params.kind) {
    case kDissolve:
    case kSlide:
        return true;
    case kWipe:
        return params.wipeId == kHorizontalWipe || params.wipeId == kVerticalWipe;
    case kIris:
        return params.wipeId == kIrisWipe;
    default:
        return false;
    }
}

double MovieEffectShare(const MovieEffectParams& params, long time, long duration)
{
    const double progress = duration > 0 ? std::clamp(double(time) / double(duration), 0.0, 1.0) : 1.0;
    return std::clamp(params.start + (params.end - params.start) * progress, 0.0, 1.0);
}

void MovieRenderEffect(const MovieEffectParams& params, const MovieFrame& source1, const MovieFrame& source2,
                       double share, MovieFrame& out)
{
    const double cutX = share * out.width, cutY = share * out.height;
    const double cx = out.width / 2.0, cy = out.height / 2.0;
    const double radius = share * std::sqrt(cx * cx + cy * cy);
    switch (params.kind) {
    case kDissolve:
        Dissolve(source1, source2, share, out);
        break;
    case kSlide:
        Slide(source1, source2, share, params.angle, out);
        break;
    case kWipe:
        if (params.wipeId == kHorizontalWipe)
            Split(source1, source2, out, [&](long x, long) { return x >= cutX; });
        else
            Split(source1, source2, out, [&](long, long y) { return y >= cutY; });
        break;
    case kIris:
        Split(source1, source2, out, [&](long x, long y) {
            const double px = x + 0.5 - cx, py = y + 0.5 - cy;
            return px * px + py * py > radius * radius;
        });
        break;
    default:
        break;
    }
}
