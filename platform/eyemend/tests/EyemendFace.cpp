#include "EyemendFace.h"

#include <algorithm>

namespace {

bool InEllipse(std::int32_t x, std::int32_t y, double cx, double cy, double rx, double ry)
{
    const double dx = (x - cx) / rx, dy = (y - cy) / ry;
    return dx * dx + dy * dy <= 1.0;
}

} // namespace

ReParams EyemendFace::Params()
{
    ReParams params{};
    params.size = sizeof(ReParams);
    params.width = width;
    params.height = height;
    params.rowBytes = RowBytes();
    params.format = wide ? ReFormatRgb16 : ReFormatRgb8;
    params.buffer = pixels.data();
    return params;
}

EyemendRgb EyemendFace::At(std::int32_t x, std::int32_t y) const
{
    const std::size_t at = std::size_t(y) * std::size_t(RowBytes()) + std::size_t(x) * (wide ? 6 : 3);
    if (!wide)
        return {pixels[at], pixels[at + 1], pixels[at + 2]};
    const auto* samples = reinterpret_cast<const std::uint16_t*>(&pixels[at]);
    return {std::uint8_t(samples[0] / 257), std::uint8_t(samples[1] / 257), std::uint8_t(samples[2] / 257)};
}

EyemendRgb EyemendFace::Colour(std::int32_t x, std::int32_t y) const
{
    const double u = unit;
    const double cx = width / 2.0, cy = height / 2.0;
    for (const Disc& pupil : pupils) {
        if (pupil.Holds(x, y)) // a little unevenness, strongly red everywhere
            return {std::uint8_t(190 + (x + y) % 20), std::uint8_t(30 + x % 5), std::uint8_t(36 + y % 4)};
        if (InEllipse(x, y, pupil.x, pupil.y, 10 * u, 10 * u))
            return {70, 92, 116}; // a blue-grey iris
        if (InEllipse(x, y, pupil.x, pupil.y, 22 * u, 13 * u))
            return {236, 234, 230}; // white of the eye
    }
    if (largeRedDisc.Holds(x, y))
        return {212, 28, 30};
    if (y >= stripePoint.y - u && y <= stripePoint.y + u && x >= stripePoint.x - 60 * u && x <= stripePoint.x + 60 * u)
        return {205, 35, 40};
    for (const RePoint& single : singles) {
        if (single.x == x && single.y == y)
            return {220, 20, 25};
    }
    if (InEllipse(x, y, cx, cy + 60 * u, 28 * u, 7 * u))
        return {190, 80, 82}; // lips: red, but far too wide for a pupil
    if (InEllipse(x, y, cx, cy, 105 * u, 135 * u))
        return {std::uint8_t(214 + (x % 7)), std::uint8_t(168 + (y % 5)), 140}; // skin
    return {88, 108, 138};
}

EyemendFace MakeEyemendFaceLayout(std::int32_t width, std::int32_t height, bool wide)
{
    EyemendFace face;
    face.width = width;
    face.height = height;
    face.wide = wide;
    const std::int32_t unit = std::max(1, std::min(width, height) / 300);
    const std::int32_t cx = width / 2, cy = height / 2;
    face.pupils[0] = {cx - 42 * unit, cy - 35 * unit, 6 * unit};
    face.pupils[1] = {cx + 42 * unit, cy - 35 * unit, 6 * unit};
    face.largeRedDisc = {std::max(40 * unit, cx - 150 * unit), cy + 90 * unit, 35 * unit};
    face.skinPoint = {cx + 60 * unit, cy + 25 * unit};
    face.stripePoint = {cx, std::min(height - 3 * unit, cy + 135 * unit)};
    face.unit = unit;
    face.singles = {{cx + 50 * unit, cy + 20 * unit}, {cx - 70 * unit, cy + 10 * unit}, {12 * unit, 12 * unit},
                    {cx, cy - 100 * unit}, {width - 15 * unit, 30 * unit}};
    face.singlePoint = face.singles[0];
    return face;
}

EyemendFace MakeEyemendFace(std::int32_t width, std::int32_t height, bool wide)
{
    EyemendFace face = MakeEyemendFaceLayout(width, height, wide);
    face.pixels.resize(std::size_t(face.RowBytes()) * std::size_t(height));
    for (std::int32_t y = 0; y < height; ++y) {
        unsigned char* row = face.pixels.data() + std::size_t(y) * std::size_t(face.RowBytes());
        for (std::int32_t x = 0; x < width; ++x) {
            const EyemendRgb c = face.Colour(x, y);
            if (!wide) {
                row[3 * x] = c.red;
                row[3 * x + 1] = c.green;
                row[3 * x + 2] = c.blue;
            } else {
                auto* samples = reinterpret_cast<std::uint16_t*>(row) + 3 * std::size_t(x);
                samples[0] = std::uint16_t(c.red * 257);
                samples[1] = std::uint16_t(c.green * 257);
                samples[2] = std::uint16_t(c.blue * 257);
            }
        }
    }
    return face;
}
