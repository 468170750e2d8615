#include "filters/debayer/TlDemosaicHQ.h"

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

// Direction code of the difference of two smoothed measures (horizontal
// less vertical): 0 when it is no more than the threshold either way, 1
// when the horizontal one is larger, 2 when the vertical one is.
std::uint8_t Compare(std::int32_t difference, std::int32_t threshold)
{
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

// Branch-free order of two values whose differences fit 32 bits: samples
// next to each other are as often in one order as in the other, so a
// branch would be mispredicted half the time.
std::int32_t Lesser(std::int32_t a, std::int32_t b)
{
    const std::int32_t d = b - a;
    return a + (d & (d >> 31));
}

std::int32_t Greater(std::int32_t a, std::int32_t b)
{
    const std::int32_t d = b - a;
    return b - (d & (d >> 31));
}

std::int32_t Within(std::int32_t v, std::int32_t low, std::int32_t high)
{
    return Greater(low, Lesser(v, high));
}

struct Passes {
    const CTlMosaicPlane& raw;
    const TlHQThresholds& t;
    CTlHQScratch& s;
    long f;

    bool IsRedRow(long y) const { return ((y + raw.phases.redRowPhase) & 1) != 0; }

    void Gradients(const KelvraRect& a)
    {
        for (long y = a.top; y < a.bottom; ++y) {
            const std::int32_t* row = raw.Row(y);
            for (long x = TlFirstColourSite(raw.phases, a.left, y); x < a.right; x += 2) {
                const std::int32_t* p = row + x;
                const std::int32_t c = p[0];
                const long i = y * f + x;
                // Horizontal less vertical: the smoothing below is linear,
                // so smoothing the difference compares the smoothed two.
                s.leaning[i] = std::abs(p[-1] - c) + std::abs(p[1] - c) - std::abs(p[f] - c) - std::abs(p[-f] - c);
            }
        }
    }

    void Codes(const KelvraRect& a)
    {
        for (long y = a.top; y < a.bottom; ++y) {
            for (long x = TlFirstColourSite(raw.phases, a.left, y); x < a.right; x += 2) {
                const long i = y * f + x;
                s.codes[i] = Compare(LatticeSum(&s.leaning[i], f), t.direction);
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
        // Weights of the column pair, the row pair and the outer greens
        // beside each, by code: a table keeps the choice free of branches.
        static const std::int32_t kWeights[3][4] = {{6, 6, 1, 1}, {8, 4, 2, 0}, {4, 8, 0, 2}};
        const std::int32_t* w = kWeights[code];
        const long f2 = 2 * f;
        const std::int32_t above = p[-f], below = p[f], left = p[-1], right = p[1];
        const std::int32_t g = w[0] * (above + below) + w[1] * (left + right) -
                               w[2] * (p[-f2 - 1] + p[-f2 + 1] + p[f2 - 1] + p[f2 + 1]) -
                               w[3] * (p[-f - 2] + p[-f + 2] + p[f - 2] + p[f + 2]);
        const std::int32_t low = 16 * Lesser(Lesser(Lesser(above, below), Lesser(left, right)), p[0]);
        const std::int32_t high = 16 * Greater(Greater(Greater(above, below), Greater(left, right)), p[0]);
        return Within(g, low, high);
    }

    void OwnColourDifferences(const KelvraRect& a)
    {
        for (long y = a.top; y < a.bottom; ++y) {
            const std::int32_t* row = raw.Row(y);
            std::int32_t* own = s.diffs[IsRedRow(y) ? 0 : 1].data();
            std::int32_t* other = s.diffs[IsRedRow(y) ? 1 : 0].data();
            for (long x = TlFirstColourSite(raw.phases, a.left, y); x < a.right; x += 2) {
                const long i = y * f + x;
                s.green[i] = Green16(row + x, s.codes[i]);
                own[i] = 16 * row[x] - s.green[i];
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

    // Both estimate planes smoothed with (1, 2, 1) x (1, 2, 1) over sites two
    // apart (sums, x16), one direction at a time so that the loops stay
    // simple enough for the compiler to vectorise. The differences stay
    // within +-50 million, so the sums fit 32 bits.
    void WideSmoothing(const KelvraRect& a)
    {
        for (int plane = 0; plane < 2; ++plane) {
            const std::int32_t* e = s.estimates[plane].data();
            std::int32_t* across = s.across.data();
            std::int32_t* out = s.smooth[plane].data();
            for (long y = a.top - 2; y < a.bottom + 2; ++y) {
                const long row = y * f;
                for (long x = a.left; x < a.right; ++x)
                    across[row + x] = e[row + x - 2] + 2 * e[row + x] + e[row + x + 2];
            }
            for (long y = a.top; y < a.bottom; ++y) {
                const long row = y * f;
                for (long x = a.left; x < a.right; ++x)
                    out[row + x] = across[row + x - 2 * f] + 2 * across[row + x] + across[row + x + 2 * f];
            }
        }
    }

    // Unsigned: the three magnitudes together may pass 2^31, never 2^32.
    static std::uint32_t Magnitude(std::int32_t v) { return v < 0 ? 0u - std::uint32_t(v) : std::uint32_t(v); }

    void Activity(const KelvraRect& a)
    {
        const std::int32_t* red = s.smooth[0].data();
        const std::int32_t* blue = s.smooth[1].data();
        for (long y = a.top; y < a.bottom; ++y) {
            for (long x = a.left; x < a.right; ++x) {
                const long i = y * f + x;
                const std::int32_t r = red[i], b = blue[i];
                const std::uint32_t apart = r > b ? std::uint32_t(r) - std::uint32_t(b) : std::uint32_t(b) - std::uint32_t(r);
                s.activity[i] = (Magnitude(r) + apart + Magnitude(b)) / 16;
            }
        }
    }

    void ActivityClass(const KelvraRect& a)
    {
        const long f2 = 2 * f, f4 = 4 * f;
        const std::uint32_t low = std::uint32_t(t.activityLow), high = std::uint32_t(t.activityHigh);
        for (long y = a.top; y < a.bottom; ++y) {
            for (long x = a.left; x < a.right; ++x) {
                const long i = y * f + x;
                const std::uint32_t* v = &s.activity[i];
                const std::uint32_t sum = 8 * v[0] + v[-f4] + v[f4] + v[-4] + v[4] + v[-f2 - 2] + v[-f2 + 2] +
                                          v[f2 - 2] + v[f2 + 2];
                s.activityClass[i] = std::uint8_t((sum > low ? 1 : 0) | (sum > high ? 2 : 0));
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
                const std::int32_t h =
                    std::abs(p[x - 1] - p[x + 1]) + 2 * std::abs(q[x - 1] - q[x + 1]) + std::abs(r[x - 1] - r[x + 1]);
                const std::int32_t v =
                    std::abs(r[x - 1] - p[x - 1]) + 2 * std::abs(r[x] - p[x]) + std::abs(r[x + 1] - p[x + 1]);
                s.sameColourLeaning[i] = h - v;
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
                    code = Compare(LatticeSum(&s.sameColourLeaning[i], f), t.refined);
                }
                s.refined[i] = code;
            }
        }
    }

    // The smoothed differences (red - green, blue - green, x64) at a site:
    // over sites two apart, or the nearest only where colour is busy.
    void Differences(long i, std::int32_t* o, std::int32_t* j) const
    {
        if ((s.activityClass[i] & 2) != 0) {
            *o = Binomial(&s.estimates[0][i], f, 1) / 16;
            *j = Binomial(&s.estimates[1][i], f, 1) / 16;
        } else {
            *o = s.smooth[0][i] / 16;
            *j = s.smooth[1][i] / 16;
        }
    }

    // Detail comes from green alone (the refined direction at red and blue
    // sites), so colour differences can be smoothed hard against false
    // colour without softening it. Red and blue are green plus those
    // differences, each kept within the range of the nearest samples of
    // its colour and the site's green: the differences may not push a
    // channel past what the mosaic recorded around it (no fringes or
    // overshoot beside sharp edges), while a channel may always follow
    // green's own detail.
    void Rgb(const KelvraRect& a, CTlRgbPlane& rgb)
    {
        const long f2 = 2 * f;
        for (long y = a.top; y < a.bottom; ++y) {
            const std::int32_t* row = raw.Row(y);
            // Output channel of the row's own colour, and of the other one.
            const int own = IsRedRow(y) ? 0 : 2, other = 2 - own;
            const long colourFirst = TlFirstColourSite(raw.phases, a.left, y);
            for (long x = colourFirst; x < a.right; x += 2) {
                const long i = y * f + x;
                const std::int32_t* p = row + x;
                const std::int32_t g16 = s.refined[i] == s.codes[i] ? s.green[i] : Green16(p, s.refined[i]);
                const std::int32_t g = g16 / 16;
                std::int32_t d[3];
                Differences(i, &d[0], &d[2]);
                const std::int32_t ownLow = Lesser(Lesser(Lesser(p[0], p[-2]), Lesser(p[2], p[-f2])), p[f2]);
                const std::int32_t ownHigh = Greater(Greater(Greater(p[0], p[-2]), Greater(p[2], p[-f2])), p[f2]);
                const std::int32_t otherLow = Lesser(Lesser(p[-f - 1], p[-f + 1]), Lesser(p[f - 1], p[f + 1]));
                const std::int32_t otherHigh = Greater(Greater(p[-f - 1], p[-f + 1]), Greater(p[f - 1], p[f + 1]));
                std::uint16_t* out = rgb.Pixel(x, y);
                out[own] = TlTo16(Within((4 * g16 + d[own]) / 64, Lesser(ownLow, g), Greater(ownHigh, g)));
                out[1] = TlTo16(g);
                out[other] = TlTo16(Within((4 * g16 + d[other]) / 64, Lesser(otherLow, g), Greater(otherHigh, g)));
            }
            for (long x = colourFirst == a.left ? a.left + 1 : a.left; x < a.right; x += 2) {
                const long i = y * f + x;
                const std::int32_t* p = row + x;
                const std::int32_t g = p[0];
                std::int32_t d[3];
                Differences(i, &d[0], &d[2]);
                std::uint16_t* out = rgb.Pixel(x, y);
                out[own] = TlTo16(Within((64 * g + d[own]) / 64, Lesser(Lesser(p[-1], p[1]), g),
                                         Greater(Greater(p[-1], p[1]), g)));
                out[1] = TlTo16(g);
                out[other] = TlTo16(Within((64 * g + d[other]) / 64, Lesser(Lesser(p[-f], p[f]), g),
                                           Greater(Greater(p[-f], p[f]), g)));
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
    Size(scratch.leaning, count);
    Size(scratch.codes, count);
    for (auto& plane : scratch.diffs)
        Size(plane, count);
    for (auto& plane : scratch.estimates)
        Size(plane, count);
    Size(scratch.activity, count);
    Size(scratch.across, count);
    for (auto& plane : scratch.smooth)
        Size(plane, count);
    Size(scratch.activityClass, count);
    Size(scratch.sameColourLeaning, count);
    Size(scratch.green, count);
    Size(scratch.refined, count);

    // Each pass covers what the passes after it read; the margins follow
    // from their stencils.
    Passes passes{raw, thresholds, scratch, raw.width};
    passes.Gradients(Grown(inner, 9));
    passes.Codes(Grown(inner, 7));
    passes.OwnColourDifferences(Grown(inner, 7));
    passes.Estimates(Grown(inner, 6));
    passes.WideSmoothing(Grown(inner, 4));
    passes.Activity(Grown(inner, 4));
    passes.ActivityClass(inner);
    passes.SameColourGradients(Grown(inner, 2));
    passes.Refine(inner);
    passes.Rgb(inner, rgb);
}
