#include "filters/dust/TlDustGeometry.h"

#include <cmath>

bool FindDustCamera(std::uint32_t curveId, TlDustCamera* camera)
{
    switch (curveId) {
    case 257:
    case 258:
        *camera = {1.9313, 11.8, 11.8};
        return true;
    case 259:
        *camera = {1.4807, 5.9, 11.8};
        return true;
    case 260:
        *camera = {2.1668, 9.4, 9.4};
        return true;
    case 1025:
        *camera = {1.4673, 7.8, 7.8};
        return true;
    case 1026:
        *camera = {2.1533, 7.8, 7.8};
        return true;
    default:
        return false;
    }
}

std::vector<std::int64_t> DustSamplePositions(long n, long size, double spacing)
{
    std::vector<std::int64_t> positions(std::size_t(n > 0 ? n : 0));
    for (long i = 0; i < n; ++i)
        positions[std::size_t(i)] = std::int64_t(
            std::floor(4096.0 * ((size - 1) / 2.0 + spacing * (i - (n - 1) / 2.0)) + 0.5));
    return positions;
}

TlDustKernel DustBlurKernel(const TlDustCamera& camera, std::uint32_t apertureCode)
{
    const double fNumber = std::pow(2.0, apertureCode / 24.0);
    const double reach = camera.dustDistance * 1000.0 / fNumber;
    return {long(std::floor(reach / camera.pitchX + 0.5)), long(std::floor(reach / camera.pitchY + 0.5))};
}

double DustRescaleFactor(const TlDustCamera& camera, double pictureLens, double referenceLens)
{
    const double d = camera.dustDistance;
    const double picture = 2000.0 / pictureLens;
    const double reference = 2000.0 / referenceLens;
    return d / (picture - d) * ((reference - picture) / reference) + 1.0;
}

void TlDustTiles::Rect(long index, bool reversed, long* left, long* top, long* right, long* bottom) const
{
    const long column = index % Columns();
    const long row = reversed ? Rows() - 1 - index / Columns() : index / Columns();
    *left = column * tile;
    *top = row * tile;
    *right = *left + tile < width ? *left + tile : width;
    *bottom = *top + tile < height ? *top + tile : height;
}

namespace {
// `v` is strictly nearer `a` than `b`.
bool Nearer(double v, double a, double b)
{
    return std::fabs(v - a) < std::fabs(v - b);
}
} // namespace

void DustSampleSpacing(long w, long h, long wr, long hr, double* sx, double* sy)
{
    const double a = double(w) / double(h);
    const double r = double(wr) / double(hr);
    const double q = double(w) / double(wr);
    const bool pictureWide = Nearer(a, 3.0, 1.5);
    const bool referenceWide = Nearer(r, 3.0, 1.5);
    double x = 1.0, y = 1.0;
    if (pictureWide && !referenceWide) {
        if (Nearer(q, 4.0 / 3.0, 1.0))
            x = 0.75, y = 1.5;
        else
            x = 1.0, y = 2.0;
    } else if (pictureWide) {
        x = y = 1.0;
    } else if (referenceWide) {
        if (Nearer(q, 0.75, 1.0))
            x = 4.0 / 3.0, y = 2.0 / 3.0;
        else
            x = 1.0, y = 0.5;
    } else if (!Nearer(q, 4.0 / 3.0, 1.0)) {
        x = y = Nearer(q, 0.75, 1.0) ? 4.0 / 3.0 : 1.0;
    } else {
        x = y = 0.75;
    }
    *sx = x;
    *sy = y;
}
