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

// Two-bit direction code of two smoothed measures.
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
                const std::int32_t c = p[0], left = p[-1], right = p[1], above = p[-f], below = p[f];
                const std::int32_t aboveLeft = p[-f - 1], aboveRight = p[-f + 1];
                const std::int32_t belowLeft = p[f - 1], belowRight = p[f + 1];
                const long i = y * f + x;
                s.gradients[0][i] = std::abs(left - c) + std::abs(right - c);
                s.gradients[1][i] = std::abs(below - c) + std::abs(above - c);
                s.gradients[2][i] = std::abs(belowLeft - c) + std::abs(right - below) + std::abs(aboveRight - c) +
                                    std::abs(above - left) + std::abs(aboveRight - belowLeft);
                s.gradients[3][i] = std::abs(left - below) + std::abs(aboveLeft - c) + std::abs(belowRight - c) +
                                    std::abs(above - right) + std::abs(aboveLeft - belowRight);
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
                const std::int32_t d1 = LatticeSum(&s.gradients[2][i], f);
                const std::int32_t d2 = LatticeSum(&s.gradients[3][i], f);
                s.codes[i] = std::uint8_t(Compare(h, v, t.direction) << 2 | Compare(d2, d1, t.diagonal));
            }
        }
    }

    // Green x16 at a red or blue site, along the direction its code gives.
    std::int32_t Green16(const std::int32_t* p, std::uint8_t code) const
    {
        const long f2 = 2 * f;
        switch (code >> 2) {
        case 1:
            return 8 * (p[-f] + p[f]) + 4 * (p[-1] + p[1]) - 2 * (p[-f2 - 1] + p[-f2 + 1] + p[f2 - 1] + p[f2 + 1]);
        case 2:
            return 8 * (p[-1] + p[1]) + 4 * (p[-f] + p[f]) - 2 * (p[-f - 2] + p[-f + 2] + p[f - 2] + p[f + 2]);
        default:
            return 6 * (p[-f] + p[f] + p[-1] + p[1]) -
                   (p[-f2 - 1] + p[-f2 + 1] + p[f2 - 1] + p[f2 + 1] + p[-f - 2] + p[-f + 2] + p[f - 2] + p[f + 2]);
        }
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
                    code = std::uint8_t((code & 3) | Compare(h, v, t.refined) << 2);
                }
                s.refined[i] = code;
            }
        }
    }

    static std::int32_t ColourSiteLuma(const std::int32_t* p, long f, std::uint8_t code)
    {
        const std::int32_t c = p[0], left = p[-1], right = p[1], above = p[-f], below = p[f];
        const std::int32_t aL = p[-f - 1], aR = p[-f + 1], bL = p[f - 1], bR = p[f + 1];
        switch (code) {
        case 1:
            return 2 * (aR + bL + above + below + 2 * c + left + right);
        case 2:
            return 2 * (aL + bR + above + below + 2 * c + left + right);
        case 4:
            return 4 * (above + below + c) + aL + aR + bL + bR;
        case 5:
            return 2 * (aR + 2 * (above + below + c) + bL);
        case 6:
            return 2 * (bR + 2 * (above + below + c) + aL);
        case 8:
            return 4 * (left + right + c) + aL + aR + bL + bR;
        case 9:
            return 2 * (aR + 2 * (left + right + c) + bL);
        case 10:
            return 2 * (bR + 2 * (left + right + c) + aL);
        default:
            return 2 * (above + below + 2 * c + left + right) + aL + aR + bL + bR;
        }
    }

    void Luma(const KelvraRect& a)
    {
        for (long y = a.top; y < a.bottom; ++y) {
            const std::int32_t* row = raw.Row(y);
            for (long x = a.left; x < a.right; ++x) {
                const long i = y * f + x;
                const std::int32_t* p = row + x;
                if (IsColourSite(x, y)) {
                    s.luma[i] = ColourSiteLuma(p, f, s.refined[i]);
                    continue;
                }
                // A green site follows the direction found at the red or
                // blue site above it. Without a direction its two diagonal
                // greens lie opposite each other, so that a slope does not
                // pull every other column (or row) to one side.
                const std::int32_t cross = p[-f] + p[f] + p[-1] + p[1];
                if (s.codes[i - f] != 0)
                    s.luma[i] = 2 * (4 * p[0] + cross);
                else
                    s.luma[i] = 8 * (14 * p[0] + p[-f - 1] + p[f + 1]) / 16 + 2 * cross;
            }
        }
    }

    void Rgb(const KelvraRect& a, CTlRgbPlane& rgb)
    {
        for (long y = a.top; y < a.bottom; ++y) {
            std::uint16_t* out = rgb.Pixel(a.left, y);
            for (long x = a.left; x < a.right; ++x, out += 3) {
                const long i = y * f + x;
                const std::int32_t* l = &s.luma[i];
                const std::int32_t around = l[-f - 1] + l[-f] + l[-f + 1] + l[-1] + l[0] + l[1] + l[f - 1] + l[f] +
                                            l[f + 1];
                const std::int32_t sharp = 25 * l[0] - around;
                const long step = (s.activityClass[i] & 2) != 0 ? 1 : 2;
                const std::int32_t o = Binomial(&s.estimates[0][i], f, step) / 16;
                const std::int32_t j = Binomial(&s.estimates[1][i], f, step) / 16;
                out[0] = TlTo16((sharp - j + 3 * o) / 256);
                out[1] = TlTo16((sharp - j - o) / 256);
                out[2] = TlTo16((3 * j + sharp - o) / 256);
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
    t.diagonal = level(tuning[2], 80);
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
    Size(scratch.luma, count);

    // Each pass covers what the passes after it read; the margins follow
    // from their stencils.
    Passes passes{raw, thresholds, scratch, raw.width};
    passes.Gradients(Grown(inner, 10));
    passes.Codes(Grown(inner, 8));
    passes.OwnColourDifferences(Grown(inner, 8));
    passes.Estimates(Grown(inner, 7));
    passes.Activity(Grown(inner, 5));
    passes.ActivityClass(Grown(inner, 1));
    passes.SameColourGradients(Grown(inner, 3));
    passes.Refine(Grown(inner, 1));
    passes.Luma(Grown(inner, 1));
    passes.Rgb(inner, rgb);
}
