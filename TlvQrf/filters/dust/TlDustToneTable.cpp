#include "filters/dust/TlDustToneTable.h"

#include "filters/debayer/TlToneTables.h"
#include "filters/dust/TlDustCodes.h"

#include <cmath>

namespace {

// The inverse of family A reads its linear values at this scale.
constexpr double kInverseUnitsA = 28806.0;
constexpr double kPi = 3.14159265358979323846;

std::uint16_t RoundHalfUp(double v, double top)
{
    if (!(v > 0))
        return 0;
    const double r = std::floor(v + 0.5);
    return std::uint16_t(r > top ? top : r);
}

// A power of a base that rounding may have taken just below 0.
double PowerOf(double base, double exponent)
{
    return base > 0 ? std::pow(base, exponent) : 0.0;
}

double EncodedWhite(std::size_t forwardEntries, double k0)
{
    return double(forwardEntries - 1) * k0 / 255.0;
}

// Forward part: for each encoded index from the top down, the table units of
// the y whose x(y) is index / W, segment by segment.
void ForwardA(const TlDustCurveA& c, std::size_t entries, std::uint16_t* out)
{
    const double white = EncodedWhite(entries, 220.0);
    const long lower = long(white * DustCurveX(c, c.y1));
    const long upper = long(white * DustCurveX(c, c.y2));
    for (long i = long(entries) - 1; i >= 0; --i) {
        const double x = double(i) / white;
        double y = 0;
        if (i > upper)
            y = PowerOf((x - c.e) / c.c, 1.0 / c.e5) + c.d;
        else if (i > lower)
            y = PowerOf((x - c.b) / c.a, 1.0 / c.g);
        else
            y = DustCubicInverse(c, x, 2 * i > lower);
        out[i] = RoundHalfUp(y * kDustTableUnits, 65535.0);
    }
}

void ForwardB(const TlDustCurveB& c, std::size_t entries, std::uint16_t* out)
{
    const double white = EncodedWhite(entries, c.k[0]);
    const long lower = long(white * DustCurveX(c, c.o / 1800.0));
    const long upper = long(white * DustCurveX(c, c.p / 1800.0));
    for (long i = long(entries) - 1; i >= 0; --i) {
        const double x = double(i) / white;
        double y = 0;
        if (i > upper)
            y = PowerOf(x / c.k[5], 1.0 / c.k[7]) + c.k[6];
        else if (i > lower)
            y = PowerOf((x + c.k[4]) / c.k[3], 1.0 / c.k[2]);
        else
            y = x / c.k[1] + DustCurveFoot(c);
        out[i] = RoundHalfUp(y * kDustTableUnits, 65535.0);
    }
}

// Inverse part: round(W x(y)) for each table unit, the top segment limited
// to the forward part's last index and the foot to 0.
template <typename Curve>
void Inverse(const Curve& c, double units, double white, double lastIndex, std::uint16_t* out)
{
    for (std::size_t k = 0; k < kDustInverseEntries; ++k)
        out[k] = RoundHalfUp(white * DustCurveX(c, double(k) / units), lastIndex);
}

} // namespace

double DustCurveX(const TlDustCurveA& c, double y)
{
    if (y <= c.y1)
        return ((c.c0 * y + c.c1) * y + c.c2) * y + c.c3;
    if (y <= c.y2)
        return c.a * PowerOf(y, c.g) + c.b;
    return c.c * PowerOf(y - c.d, c.e5) + c.e;
}

double DustCurveFoot(const TlDustCurveB& c)
{
    return c.s * 65535.0 / 4095.0 / kDustTableUnits;
}

double DustCurveX(const TlDustCurveB& c, double y)
{
    if (y <= c.o / 1800.0) {
        const double x = c.k[1] * (y - DustCurveFoot(c));
        return x > 0 ? x : 0;
    }
    if (y <= c.p / 1800.0)
        return c.k[3] * PowerOf(y, c.k[2]) - c.k[4];
    return c.k[5] * PowerOf(y - c.k[6], c.k[7]);
}

// The real root in 0..y1 of c0 y^3 + c1 y^2 + c2 y + c3 = x, through the
// depressed cubic t^3 + p t + q = 0 with y = t - c1 / (3 c0): with three
// real roots the trigonometric solution, tried at the angle and at the
// angle plus 2 pi and 4 pi; with one, Cardano's formula.
double DustCubicInverse(const TlDustCurveA& c, double x, bool upperHalf)
{
    const double a = c.c0, b = c.c1, cc = c.c2, d = c.c3 - x;
    const double shift = b / (3.0 * a);
    const double p = (3.0 * a * cc - b * b) / (3.0 * a * a);
    const double q = (2.0 * b * b * b - 9.0 * a * b * cc + 27.0 * a * a * d) / (27.0 * a * a * a);
    const double discriminant = q * q / 4.0 + p * p * p / 27.0;
    if (discriminant < 0) {
        const double radius = 2.0 * std::sqrt(-p / 3.0);
        double cosine = 3.0 * q / (2.0 * p) * std::sqrt(-3.0 / p);
        cosine = cosine > 1.0 ? 1.0 : cosine < -1.0 ? -1.0 : cosine;
        const double angle = std::acos(cosine);
        for (int turn = 0; turn < 3; ++turn) {
            const double y = radius * std::cos((angle + 2.0 * kPi * turn) / 3.0) - shift;
            if (y >= 0 && y <= c.y1)
                return y;
        }
        return upperHalf ? c.y1 : 0.0;
    }
    const double root = std::sqrt(discriminant);
    const double y = std::cbrt(-q / 2.0 + root) + std::cbrt(-q / 2.0 - root) - shift;
    return y > 0 ? y : 0.0;
}

bool SelectDustCurveA(const TlDustShooting& shooting, TlDustCurveA* curve)
{
    const std::uint32_t id = shooting.curveId;
    if (id != 260 && id != 1025 && id != 1026)
        return false;
    const std::uint32_t block = shooting.toneBlock < kDustCurveBlocksA ? shooting.toneBlock : 2;
    *curve = (id == 1025 ? kDustCurvesA1025 : kDustCurvesAShared)[block];
    return true;
}

bool SelectDustCurveB(const TlDustShooting& shooting, TlDustCurveB* curve)
{
    const std::uint32_t id = shooting.curveId;
    const std::uint32_t variant = shooting.toneVariant;
    const bool variantBlock = variant >= 1 && variant <= 3;
    int block = 0;
    if (id == 257)
        block = variantBlock ? 5 + int(variant) : 5;
    else if (id == 258 || id == 259)
        block = variantBlock ? 1 + int(variant) : shooting.toneKey == 2 ? 1 : 0;
    else
        return false;
    *curve = kDustCurvesB[block];
    return true;
}

bool BuildCurveTonePair(const TlDustShooting& shooting, std::size_t forwardEntries, std::vector<std::uint16_t>* table)
{
    table->assign(forwardEntries + kDustInverseEntries, 0);
    std::uint16_t* inverse = table->data() + forwardEntries;
    const double lastIndex = double(forwardEntries - 1);
    TlDustCurveA a;
    if (SelectDustCurveA(shooting, &a)) {
        ForwardA(a, forwardEntries, table->data());
        Inverse(a, kInverseUnitsA, EncodedWhite(forwardEntries, 220.0), lastIndex, inverse);
        return true;
    }
    TlDustCurveB b;
    if (SelectDustCurveB(shooting, &b)) {
        ForwardB(b, forwardEntries, table->data());
        Inverse(b, kDustTableUnits, EncodedWhite(forwardEntries, b.k[0]), lastIndex, inverse);
        return true;
    }
    table->clear();
    return false;
}

// The inverse runs from the top entry down through the demosaicing's
// square-root table, 65535 / 4095 steps per table interval: a counter of
// the remaining position above the lower entry (in 1/65535 of an interval)
// loses 4095 a step, and the interpolation accumulator loses the interval's
// rise times 4095 with it; an entry is the lower table value plus the
// accumulator over 65535, in quarters (the table is 18 bits wide).
void BuildSquareTonePair(std::vector<std::uint16_t>* table)
{
    const std::uint16_t* square = GetSquareTable();
    const std::int32_t* root = GetSqrtTable();
    table->assign(kTlSquareEntries + kDustInverseEntries, 0);
    for (std::size_t i = 0; i < kTlSquareEntries; ++i)
        (*table)[i] = square[i];
    std::uint16_t* inverse = table->data() + kTlSquareEntries;
    long index = kTlSqrtEntries - 1;
    inverse[65535] = std::uint16_t(root[index] >> 2);
    std::int64_t lower = root[index];
    std::int64_t count = 0;
    std::int64_t step = 0;
    std::int64_t s = 0;
    for (long k = 65534; k >= 1; --k) {
        if (count < 4095) {
            const std::int64_t upper = root[index];
            lower = root[--index];
            step = (upper - lower) * 4095;
            s = (upper - lower) * (count + 61440);
            count += 61440;
        } else {
            s -= step;
            count -= 4095;
        }
        inverse[k] = std::uint16_t((lower + ((s + ((s + 0x8000) >> 16)) >> 16)) >> 2);
    }
    inverse[0] = std::uint16_t(root[0] >> 2);
}

IKelvraError* BuildDustToneTable(KelvraPixelFormat format, bool linear, const TlDustShooting& shooting,
                                 std::vector<std::uint16_t>* table)
{
    const bool raw = format == kKelvraRawMosaic;
    std::size_t forward = 0;
    if (format == kKelvraRGB8)
        forward = 256;
    else if (format == kKelvraRGB16 || raw)
        forward = 65536;
    if (forward == 0 || (linear && forward != 65536))
        return IKelvraError::Add(nullptr, kDustTag, __LINE__, kKelvraCategoryKelvra, kKelvraNotReady);
    if (raw || linear) {
        BuildSquareTonePair(table);
        return nullptr;
    }
    if (!BuildCurveTonePair(shooting, forward, table))
        return IKelvraError::Add(nullptr, kDustTag, __LINE__, kKelvraCategoryKelvra, kKelvraNotReady);
    return nullptr;
}
