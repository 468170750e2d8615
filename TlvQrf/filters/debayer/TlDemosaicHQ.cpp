#include "filters/debayer/TlDemosaicHQ.h"

#include <algorithm>
#include <cstdlib>

namespace {

const std::int64_t kScaleBase = 262144; // the square-root table's maximum + 1

KelvraRect Grown(const KelvraRect& r, long by)
{
    return KelvraRect(r.left - by, r.top - by, r.right + by, r.bottom + by);
}

template <typename T>
void Size(std::vector<T>& plane, std::size_t count)
{
    plane.resize(count);
}

// Direction code of two smoothed measures: 0 when they differ by no more
// than the threshold, 1 when the first is larger, 2 when the second is.
std::uint8_t Compare(std::int32_t first, std::int32_t second, std::int32_t threshold)
{
    const std::int32_t difference = first - second;
    if (std::abs(difference) <= threshold)
        return 0;
    return difference > 0 ? 1 : 2;
}

// Smoothing over the red-and-blue lattice: 4 at the site, 2 at the four
// diagonal neighbours, 1 two sites away along the rows and columns.
std::int32_t LatticeSum(const std::int32_t* v, long f)
{
    return 4 * v[0] + 2 * (v[-f - 1] + v[-f + 1] + v[f - 1] + v[f + 1]) + v[-2 * f] + v[2 * f] + v[-2] + v[2];
}

// (1, 2, 1) x (1, 2, 1) over sites `step` apart. The difference planes
// stay within +-50 million, so the sum fits 32 bits.
std::int32_t Binomial(const std::int32_t* v, long f, long step)
{
    const long s = step, r = step * f;
    return v[-r - s] + 2 * v[-r] + v[-r + s] + 2 * v[-s] + 4 * v[0] + 2 * v[s] + v[r - s] + 2 * v[r] + v[r + s];
}

struct Passes {
    const CTlMosaicPlane& raw;
    const TlHQThresholds& t;
    CTlHQScratch& s;
    long f;

    bool IsColourSite(long x, long y) const { return ((x + y + raw.phases.greenPhase) & 1) == 0; }
    bool IsRedRow(long y) const { return ((y + raw.phases.redRowPhase) & 1) != 0; }

    void Gradients(const KelvraRect& a)
    {
        for (long y = a.top; y < a.bottom; ++y) {
            const std::int32_t* row = raw.Row(y);
            for (long x = TlFirstColourSite(raw.phases, a.left, y); x < a.right; x += 2) {
                const std::int32_t* p = row + x;
                const std::int32_t c = p[0];
                const long i = y * f + x;
                s.gradients[0][i] = std::abs(p[-1] - c) + std::abs(p[1] - c);
                s.gradients[1][i] = std::abs(p[f] - c) + std::abs(p[-f] - c);
            }
        }
    }

    void Codes(const KelvraRect& a)
    {
        for (long y = a.top; y < a.bottom; ++y) {
            for (long x = TlFirstColourSite(raw.phases, a.left, y); x < a.right; x += 2) {
                const long i = y * f + x;
                const std::int32_t h = LatticeSum(&s.gradients[0][i], f);
                const std::int32_t v = LatticeSum(&s.gradients[1][i], f);
                s.codes[i] = Compare(h, v, t.direction);
            }
        }
    }

    // Green x16 at a red or blue site along the direction its code gives
    // (1: along the column, 2: along the row, 0: no clear direction). The
    // directed kernels also take the second difference of the green
    // columns (rows) beside the site, so that stripes up to the sampling
    // limit keep their full contrast. The value stays within the four
    // nearest greens and the site's own sample, so that no kernel
    // overshoots a sharp edge while a lone bright or dark point keeps its
    // level.
    std::int32_t Green16(const std::int32_t* p, std::uint8_t code) const
    {
        const long f2 = 2 * f;
        const std::int32_t above = p[-f], below = p[f], left = p[-1], right = p[1];
        std::int32_t g;
        switch (code) {
        case 1:
            g = 8 * (above + below) + 4 * (left + right) - 2 * (p[-f2 - 1] + p[-f2 + 1] + p[f2 - 1] + p[f2 + 1]);
            break;
        case 2:
            g = 8 * (left + right) + 4 * (above + below) - 2 * (p[-f - 2] + p[-f + 2] + p[f - 2] + p[f + 2]);
            break;
        default:
            g = 6 * (above + below + left + right) -
                (p[-f2 - 1] + p[-f2 + 1] + p[f2 - 1] + p[f2 + 1] + p[-f - 2] + p[-f + 2] + p[f - 2] + p[f + 2]);
            break;
        }
        const std::int32_t low = 16 * std::min(std::min(std::min(above, below), std::min(left, right)), p[0]);
        const std::int32_t high = 16 * std::max(std::max(std::max(above, below), std::max(left, right)), p[0]);
        return g < low ? low : g > high ? high : g;
    }

    void OwnColourDifferences(const KelvraRect& a)
    {
        for (long y = a.top; y < a.bottom; ++y) {
            const std::int32_t* row = raw.Row(y);
            std::int32_t* own = s.diffs[IsRedRow(y) ? 0 : 1].data();
            std::int32_t* other = s.diffs[IsRedRow(y) ? 1 : 0].data();
            for (long x = TlFirstColourSite(raw.phases, a.left, y); x < a.right; x += 2) {
                const long i = y * f + x;
                own[i] = 16 * row[x] - Green16(row + x, s.codes[i]);
                other[i] = 0;
            }
        }
    }

    // Both difference planes at every site, x64: the site's own difference
    // with its diagonal neighbours at red and blue sites, the four direct
    // neighbours at green sites (the planes hold 0 where a colour is absent).
    void Estimates(const KelvraRect& a)
    {
        for (int plane = 0; plane < 2; ++plane) {
            const std::int32_t* d = s.diffs[plane].data();
            std::int32_t* e = s.estimates[plane].data();
            for (long y = a.top; y < a.bottom; ++y) {
                const long colourFirst = TlFirstColourSite(raw.phases, a.left, y);
                for (long x = colourFirst; x < a.right; x += 2) {
                    const long i = y * f + x;
                    e[i] = 4 * d[i] + d[i - f - 1] + d[i - f + 1] + d[i + f - 1] + d[i + f + 1];
                }
                for (long x = colourFirst == a.left ? a.left + 1 : a.left; x < a.right; x += 2) {
                    const long i = y * f + x;
                    e[i] = 2 * (d[i - 1] + d[i + 1] + d[i - f] + d[i + f]);
                }
            }
        }
    }

    void Activity(const KelvraRect& a)
    {
        for (long y = a.top; y < a.bottom; ++y) {
            for (long x = a.left; x < a.right; ++x) {
                const long i = y * f + x;
                const std::int64_t r = Binomial(&s.estimates[0][i], f, 2);
                const std::int64_t b = Binomial(&s.estimates[1][i], f, 2); // their sum needs 64 bits
                s.activity[i] = std::int32_t((std::llabs(r) + std::llabs(r - b) + std::llabs(b)) / 16);
            }
        }
    }

    void ActivityClass(const KelvraRect& a)
    {
        const long f2 = 2 * f, f4 = 4 * f;
        for (long y = a.top; y < a.bottom; ++y) {
            for (long x = a.left; x < a.right; ++x) {
                const long i = y * f + x;
                const std::int32_t* v = &s.activity[i];
                const std::int64_t sum = 8 * std::int64_t(v[0]) + v[-f4] + v[f4] + v[-4] + v[4] + v[-f2 - 2] +
                                         v[-f2 + 2] + v[f2 - 2] + v[f2 + 2];
                s.activityClass[i] = std::uint8_t((sum > t.activityLow ? 1 : 0) | (sum > t.activityHigh ? 2 : 0));
            }
        }
    }

    void SameColourGradients(const KelvraRect& a)
    {
        for (long y = a.top; y < a.bottom; ++y) {
            const std::int32_t* q = raw.Row(y);
            const std::int32_t* p = q + f; // below
            const std::int32_t* r = q - f; // above
            for (long x = TlFirstColourSite(raw.phases, a.left, y); x < a.right; x += 2) {
                const long i = y * f + x;
                s.sameColour[0][i] = std::abs(p[x - 1] - p[x + 1]) + 2 * std::abs(q[x - 1] - q[x + 1]) +
                                     std::abs(r[x - 1] - r[x + 1]);
                s.sameColour[1][i] = std::abs(r[x - 1] - p[x - 1]) + 2 * std::abs(r[x] - p[x]) +
                                     std::abs(r[x + 1] - p[x + 1]);
            }
        }
    }

    void Refine(const KelvraRect& a)
    {
        for (long y = a.top; y < a.bottom; ++y) {
            for (long x = TlFirstColourSite(raw.phases, a.left, y); x < a.right; x += 2) {
                const long i = y * f + x;
                std::uint8_t code = s.codes[i];
                if (s.activityClass[i] != 0) {
                    const std::int32_t h = LatticeSum(&s.sameColour[0][i], f);
                    const std::int32_t v = LatticeSum(&s.sameColour[1][i], f);
                    code = Compare(h, v, t.refined);
                }
                s.refined[i] = code;
            }
        }
    }

    // The range of red (or blue) samples nearest to a site, in which the
    // rebuilt colour is kept together with the site's green: the smoothed
    // colour differences may not push a channel past what the mosaic
    // recorded around it (no fringes or overshoot beside sharp edges),
    // while a channel may always follow green's own detail.
    struct Range {
        std::int32_t low;
        std::int32_t high;
        void Add(std::int32_t v)
        {
            low = std::min(low, v);
            high = std::max(high, v);
        }
        std::int32_t Limit(std::int32_t v) const { return v < low ? low : v > high ? high : v; }
    };

    Range OwnSiteRange(const std::int32_t* p) const
    {
        Range r{p[0], p[0]};
        r.Add(p[-2]);
        r.Add(p[2]);
        r.Add(p[-2 * f]);
        r.Add(p[2 * f]);
        return r;
    }

    Range DiagonalRange(const std::int32_t* p) const
    {
        Range r{p[-f - 1], p[-f - 1]};
        r.Add(p[-f + 1]);
        r.Add(p[f - 1]);
        r.Add(p[f + 1]);
        return r;
    }

    static Range PairRange(std::int32_t a, std::int32_t b) { return Range{std::min(a, b), std::max(a, b)}; }

    // Green at full resolution (the refined direction at red and blue
    // sites), red and blue as green plus the smoothed colour differences:
    // detail comes from green alone, so colour differences can be smoothed
    // hard against false colour without softening it.
    void Rgb(const KelvraRect& a, CTlRgbPlane& rgb)
    {
        for (long y = a.top; y < a.bottom; ++y) {
            const std::int32_t* row = raw.Row(y);
            const bool redRow = IsRedRow(y);
            std::uint16_t* out = rgb.Pixel(a.left, y);
            for (long x = a.left; x < a.right; ++x, out += 3) {
                const long i = y * f + x;
                const std::int32_t* p = row + x;
                std::int32_t g16;
                Range across, down; // ranges of the row's colour and of the other one
                if (IsColourSite(x, y)) {
                    g16 = Green16(p, s.refined[i]);
                    across = OwnSiteRange(p);
                    down = DiagonalRange(p);
                } else {
                    g16 = 16 * p[0];
                    across = PairRange(p[-1], p[1]);
                    down = PairRange(p[-f], p[f]);
                }
                const std::int32_t g = g16 / 16;
                across.Add(g);
                down.Add(g);
                const Range& red = redRow ? across : down;
                const Range& blue = redRow ? down : across;
                const long step = (s.activityClass[i] & 2) != 0 ? 1 : 2;
                const std::int32_t o = Binomial(&s.estimates[0][i], f, step) / 16;
                const std::int32_t j = Binomial(&s.estimates[1][i], f, step) / 16;
                out[0] = TlTo16(red.Limit((4 * g16 + o) / 64));
                out[1] = TlTo16(g);
                out[2] = TlTo16(blue.Limit((4 * g16 + j) / 64));
            }
        }
    }
};

} // namespace

TlHQThresholds TlHQThresholdsFor(const std::int32_t (&tuning)[9])
{
    // In 64 bits: a tuning block may carry any level.
    auto level = [](std::int64_t value, std::int64_t factor) {
        const std::int64_t t = value * kScaleBase / 256 * factor;
        return std::int32_t(t > INT32_MAX ? INT32_MAX : t < 0 ? 0 : t);
    };
    TlHQThresholds t;
    t.direction = level(tuning[0], 32);
    t.refined = level(tuning[1], 64);
    t.activityLow = std::int32_t((6 * kScaleBase) / 256 * 3072);
    t.activityHigh = std::int32_t((15 * kScaleBase) / 256 * 3072);
    return t;
}

void TlDemosaicHQ(const CTlMosaicPlane& raw, const KelvraRect& inner, const TlHQThresholds& thresholds,
                  CTlHQScratch& scratch, CTlRgbPlane& rgb)
{
    const std::size_t count = std::size_t(raw.width * raw.height);
    for (auto& plane : scratch.gradients)
        Size(plane, count);
    Size(scratch.codes, count);
    for (auto& plane : scratch.diffs)
        Size(plane, count);
    for (auto& plane : scratch.estimates)
        Size(plane, count);
    Size(scratch.activity, count);
    Size(scratch.activityClass, count);
    for (auto& plane : scratch.sameColour)
        Size(plane, count);
    Size(scratch.refined, count);

    // Each pass covers what the passes after it read; the margins follow
    // from their stencils.
    Passes passes{raw, thresholds, scratch, raw.width};
    passes.Gradients(Grown(inner, 9));
    passes.Codes(Grown(inner, 7));
    passes.OwnColourDifferences(Grown(inner, 7));
    passes.Estimates(Grown(inner, 6));
    passes.Activity(Grown(inner, 4));
    passes.ActivityClass(inner);
    passes.SameColourGradients(Grown(inner, 2));
    passes.Refine(inner);
    passes.Rgb(inner, rgb);
}
