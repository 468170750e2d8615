#include "filters/dust/TlDustToneTable.h"

#include "filters/debayer/TlToneTables.h"
#include "filters/dust/TlDustCodes.h"

#include <cmath>
#include <functional>

namespace {

// Linear values are in table units: y times 65535 / 2.275.
constexpr double kTableUnitsB = 28806.593406593405;
constexpr double kTableUnitsA = 28806.0;
constexpr double kYMax = 65535.0 / kTableUnitsB;

// The telling blocks; the others are derived from them (see
// docs/dust-tables.md): every encoded value of block n is the telling
// block's scaled by a factor, which keeps the segments joined and the curve
// rising.
constexpr TlDustCurveA kTellingA = {-16.413954, 4.588398, 1.589303, -0.001,  1.2425,   0.5075, -0.179653,
                                    0.706082,   0.3075,   0.365839, 0.303118, 0.208155, 0.4575};
constexpr TlDustCurveB kTellingB = {{220, 2, 0.5, 1.29646, 0.2101, 0.952034, 0.163256, 0.323672}, 0, 187, 538};
constexpr int kBlocksA = 7;
constexpr int kBlocksB = 9;

double FactorA(bool sharedList, int block)
{
    return (sharedList ? 0.98 : 1.0) + 0.03 * (block - 3);
}

double FactorB(int block)
{
    return 1.0 + 0.025 * block;
}

TlDustCurveA ScaledA(double f)
{
    TlDustCurveA c = kTellingA;
    c.c0 *= f;
    c.c1 *= f;
    c.c2 *= f;
    c.c3 *= f;
    c.a *= f;
    c.b *= f;
    c.c *= f;
    c.e *= f;
    return c;
}

TlDustCurveB ScaledB(double f)
{
    TlDustCurveB c = kTellingB;
    c.k[1] *= f;
    c.k[3] *= f;
    c.k[4] *= f;
    c.k[5] *= f;
    return c;
}

// x(y) of each family: the encoded value (1 at white) of a linear value.
double CurveA(const TlDustCurveA& c, double y)
{
    if (y <= c.y1)
        return ((c.c0 * y + c.c1) * y + c.c2) * y + c.c3;
    if (y <= c.y2)
        return c.a * std::pow(y, c.g) + c.b;
    return c.c * std::pow(y - c.d, c.e5) + c.e;
}

double FootOf(const TlDustCurveB& c)
{
    return c.s * 65535.0 / 4095.0 / kTableUnitsB;
}

double CurveB(const TlDustCurveB& c, double y)
{
    const double y1 = c.o / 1800.0;
    const double y2 = c.p / 1800.0;
    if (y <= y1) {
        const double x = c.k[1] * (y - FootOf(c));
        return x > 0 ? x : 0;
    }
    if (y <= y2)
        return c.k[3] * std::pow(y, c.k[2]) - c.k[4];
    return c.k[5] * std::pow(y - c.k[6], c.k[7]);
}

// The y in [0, kYMax] whose x(y) is `x`, by bisection on the rising curve.
double Invert(const std::function<double(double)>& curve, double x)
{
    double low = 0.0;
    double high = kYMax;
    if (curve(low) >= x)
        return 0.0;
    if (curve(high) <= x)
        return kYMax;
    for (int i = 0; i < 60; ++i) {
        const double mid = 0.5 * (low + high);
        (curve(mid) < x ? low : high) = mid;
    }
    return 0.5 * (low + high);
}

std::uint16_t RoundedClamped(double v, double top)
{
    if (!(v > 0))
        return 0;
    const double r = std::floor(v + 0.5);
    return std::uint16_t(r > top ? top : r);
}

void FillPair(const std::function<double(double)>& curve, double unitsInverse, std::size_t forwardEntries,
              std::vector<std::uint16_t>* table)
{
    const double white = double(forwardEntries - 1) * 220.0 / 255.0;
    table->assign(forwardEntries + kDustInverseEntries, 0);
    for (std::size_t i = 0; i < forwardEntries; ++i)
        (*table)[i] = RoundedClamped(Invert(curve, double(i) / white) * kTableUnitsB, 65535.0);
    for (std::size_t k = 0; k < kDustInverseEntries; ++k)
        (*table)[forwardEntries + k] =
            RoundedClamped(white * curve(double(k) / unitsInverse), double(forwardEntries - 1));
}

} // namespace

bool SelectDustCurveA(const TlDustShooting& shooting, TlDustCurveA* curve)
{
    const std::uint32_t id = shooting.curveId;
    if (id != 260 && id != 1025 && id != 1026)
        return false;
    const int block = shooting.toneBlock < kBlocksA ? int(shooting.toneBlock) : 2;
    *curve = ScaledA(FactorA(id != 1025, block));
    return true;
}

bool SelectDustCurveB(const TlDustShooting& shooting, TlDustCurveB* curve)
{
    const std::uint32_t id = shooting.curveId;
    const std::uint32_t variant = shooting.toneVariant;
    int block = 0;
    if (id == 257)
        block = variant >= 1 && variant <= 3 ? 5 + int(variant) : 5;
    else if (id == 258 || id == 259)
        block = variant >= 1 && variant <= 3 ? 1 + int(variant) : shooting.toneKey == 2 ? 1 : 0;
    else
        return false;
    static_assert(kBlocksB == 9, "blocks 0 to 8");
    *curve = ScaledB(FactorB(block));
    return true;
}

bool BuildCurveTonePair(const TlDustShooting& shooting, std::size_t forwardEntries, std::vector<std::uint16_t>* table)
{
    TlDustCurveA a;
    if (SelectDustCurveA(shooting, &a)) {
        FillPair([&a](double y) { return CurveA(a, y); }, kTableUnitsA, forwardEntries, table);
        return true;
    }
    TlDustCurveB b;
    if (SelectDustCurveB(shooting, &b)) {
        FillPair([&b](double y) { return CurveB(b, y); }, kTableUnitsB, forwardEntries, table);
        return true;
    }
    return false;
}

// The inverse runs through the demosaicing's square-root table, linearly
// between its entries (16 table units apart): entry k is the table at
// position k * 4095 / 65535, in quarters (the table is 18 bits wide).
void BuildSquareTonePair(std::vector<std::uint16_t>* table)
{
    const std::uint16_t* square = GetSquareTable();
    const std::int32_t* root = GetSqrtTable();
    table->assign(kTlSquareEntries + kDustInverseEntries, 0);
    for (std::size_t i = 0; i < kTlSquareEntries; ++i)
        (*table)[i] = square[i];
    std::uint16_t* inverse = table->data() + kTlSquareEntries;
    for (std::int64_t k = 0; k < 65536; ++k) {
        const std::int64_t position = k * (kTlSqrtEntries - 1);
        const std::int64_t index = position / 65535;
        const std::int64_t fraction = position % 65535;
        const std::int64_t low = root[index];
        const std::int64_t high = root[index + (index < kTlSqrtEntries - 1 ? 1 : 0)];
        const std::int64_t value = low + ((high - low) * fraction + 32767) / 65535;
        inverse[k] = std::uint16_t(value >> 2);
    }
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
