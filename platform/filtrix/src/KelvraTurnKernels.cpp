#include "KelvraTurnKernels.h"

#include "kelvra/KelvraRegion.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// The source pixels read: those under the mapped block, with one more on
// every side for the interpolation's neighbours.
KelvraRect RegionOf(const KelvraTurnJob& job)
{
    double xs[4] = {double(job.fill.left), double(job.fill.right), double(job.fill.left), double(job.fill.right)};
    double ys[4] = {double(job.fill.top), double(job.fill.top), double(job.fill.bottom), double(job.fill.bottom)};
    for (int i = 0; i < 4; ++i)
        job.toSource.Apply(&xs[i], &ys[i]);
    const KelvraRect area(long(std::floor(*std::min_element(xs, xs + 4))) - 1,
                          long(std::floor(*std::min_element(ys, ys + 4))) - 1,
                          long(std::ceil(*std::max_element(xs, xs + 4))) + 1,
                          long(std::ceil(*std::max_element(ys, ys + 4))) + 1);
    return area.Intersection(KelvraRect(0, 0, job.sourceWidth, job.sourceHeight));
}

// The source area read, with pixel (x, y) of the source at At(x, y).
template <typename Sample, int Planes>
struct RegionView {
    const Sample* data;
    long stride; // samples per row
    KelvraRect rect;

    const Sample* At(long x, long y) const { return data + (y - rect.top) * stride + (x - rect.left) * Planes; }
};

// Where an output row's pixel centres fall in the source: pixel i of the
// row at (x + i dx, y + i dy).
struct SourceWalk {
    double x, y, dx, dy;
};

SourceWalk WalkOf(const KelvraTurnJob& job, long row)
{
    SourceWalk walk{double(job.fill.left) + 0.5, double(row) + 0.5, job.toSource.xx, job.toSource.yx};
    job.toSource.Apply(&walk.x, &walk.y);
    return walk;
}

template <typename Sample, int Planes>
void Clear(Sample* out)
{
    for (int p = 0; p < Planes; ++p)
        out[p] = 0;
}

template <typename Sample, int Planes>
void CopyRow(const RegionView<Sample, Planes>& view, const SourceWalk& walk, long count, Sample* out)
{
    for (long i = 0; i < count; ++i, out += Planes) {
        const long x = long(std::floor(walk.x + double(i) * walk.dx));
        const long y = long(std::floor(walk.y + double(i) * walk.dy));
        if (!view.rect.Contains(x, y)) {
            Clear<Sample, Planes>(out);
            continue;
        }
        const Sample* in = view.At(x, y);
        for (int p = 0; p < Planes; ++p)
            out[p] = in[p];
    }
}

// Bilinear at the source point (x, y) (continuous coordinates) inside the
// source; neighbours beyond the source edge repeat the edge pixel.
template <typename Sample, int Planes>
void Interpolate(const RegionView<Sample, Planes>& view, const KelvraTurnJob& job, double x, double y, Sample* out)
{
    const double u = std::min(std::max(x - 0.5, 0.0), double(job.sourceWidth - 1));
    const double v = std::min(std::max(y - 0.5, 0.0), double(job.sourceHeight - 1));
    const long left = long(u), top = long(v);
    const long right = std::min(left + 1, job.sourceWidth - 1), bottom = std::min(top + 1, job.sourceHeight - 1);
    const double fx = u - double(left), fy = v - double(top);
    const Sample *a = view.At(left, top), *b = view.At(right, top), *c = view.At(left, bottom), *d = view.At(right, bottom);
    for (int p = 0; p < Planes; ++p) {
        const double upper = double(a[p]) + fx * (double(b[p]) - double(a[p]));
        const double lower = double(c[p]) + fx * (double(d[p]) - double(c[p]));
        out[p] = KelvraToSample<Sample>(upper + fy * (lower - upper));
    }
}

template <typename Sample, int Planes>
void SampleRow(const RegionView<Sample, Planes>& view, const KelvraTurnJob& job, const SourceWalk& walk, long count,
               Sample* out)
{
    const double width = double(job.sourceWidth), height = double(job.sourceHeight);
    for (long i = 0; i < count; ++i, out += Planes) {
        const double x = walk.x + double(i) * walk.dx, y = walk.y + double(i) * walk.dy;
        if (x >= 0 && y >= 0 && x < width && y < height)
            Interpolate(view, job, x, y, out);
        else
            Clear<Sample, Planes>(out);
    }
}

template <typename Sample, int Planes>
IKelvraError* Turn(IKelvraDataSource* source, const KelvraTurnJob& job, KelvraTag tag, std::uint8_t* target,
                   long rowBytes)
{
    const KelvraRect region = RegionOf(job);
    const long stride = region.Width() * Planes;
    std::vector<Sample> pixels(std::size_t(stride) * std::size_t(region.Height()));
    if (!region.IsEmpty()) {
        const unsigned bitsPerPixel = unsigned(Planes * sizeof(Sample) * 8);
        if (IKelvraError* error = KelvraCopyRegion(source, region, bitsPerPixel, tag, pixels.data(),
                                                   stride * long(sizeof(Sample))))
            return error;
    }
    const RegionView<Sample, Planes> view{pixels.data(), stride, region};
    for (long y = job.fill.top; y < job.fill.bottom; ++y) {
        auto* out = reinterpret_cast<Sample*>(target + (y - job.fill.top) * rowBytes);
        if (job.copies)
            CopyRow(view, WalkOf(job, y), job.fill.Width(), out);
        else
            SampleRow(view, job, WalkOf(job, y), job.fill.Width(), out);
    }
    return nullptr;
}

} // namespace

IKelvraError* KelvraRunTurn(IKelvraDataSource* source, const KelvraTurnJob& job, KelvraTag tag,
                            std::uint8_t* target, long rowBytes)
{
    return KelvraWithSamples(job.layout, [&](auto sample, auto planes) {
        return Turn<decltype(sample), decltype(planes)::value>(source, job, tag, target, rowBytes);
    });
}
