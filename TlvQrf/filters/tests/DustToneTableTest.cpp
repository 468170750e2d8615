// The dust map's tone table pair: the square-table path against the
// demosaicing's shared tables, and each curve family's inverse part.
#include "DustTestSupport.h"

#include "filters/debayer/TlToneTables.h"
#include "filters/dust/TlDustToneTable.h"

#include <cstdlib>

using namespace dust_test;

namespace {

TEST(DustToneTableTest, SquarePathFollowsTheSharedTables)
{
    std::vector<std::uint16_t> table;
    BuildSquareTonePair(&table);
    ASSERT_EQ(131072u, table.size());
    const std::uint16_t* square = GetSquareTable();
    const std::int32_t* root = GetSqrtTable();
    EXPECT_EQ(std::vector<std::uint16_t>(square, square + 65536), std::vector<std::uint16_t>(table.begin(), table.begin() + 65536));
    const std::uint16_t* inverse = table.data() + 65536;
    // Every 4369th entry falls on an entry of the square-root table.
    for (long m = 0; m <= 15; ++m)
        EXPECT_EQ(std::uint16_t(root[273 * m] >> 2), inverse[4369 * m]) << "knot " << m;
    EXPECT_EQ(65535, inverse[65535]);
    for (long k = 1; k < 65536; ++k)
        ASSERT_LE(inverse[k - 1], inverse[k]) << k;
    // Between the knots: the lower entry plus the rise times the position
    // above it over 65535, rounded, in quarters.
    for (long k = 1; k < 65535; ++k) {
        const std::int64_t position = std::int64_t(k) * 4095;
        const std::int64_t index = position / 65535;
        const std::int64_t s = (root[index + 1] - root[index]) * (position % 65535);
        ASSERT_EQ(inverse[k], std::uint16_t((root[index] + ((s + ((s + 0x8000) >> 16)) >> 16)) >> 2)) << k;
    }
}

TEST(DustToneTableTest, CubicSegmentInvertsThroughItsRealRoot)
{
    TlDustShooting shooting;
    shooting.curveId = 1025;
    shooting.toneBlock = 3;
    TlDustCurveA curve;
    ASSERT_TRUE(SelectDustCurveA(shooting, &curve));
    EXPECT_EQ(curve.c0, -16.413954) << "block 3 of 1025 is the given block";
    const double top = DustCurveX(curve, curve.y1);
    for (double x = 0.0; x <= top; x += top / 50) {
        const double y = DustCubicInverse(curve, x, false);
        EXPECT_GE(y, 0.0);
        EXPECT_LE(y, curve.y1);
        EXPECT_NEAR(DustCurveX(curve, y), x, 1e-9) << x;
    }
    // Just above the segment's top the cubic still has three real roots, none
    // in 0..y1: the upper half of the segment takes y1, the lower half 0.
    EXPECT_EQ(DustCubicInverse(curve, top + 0.05, true), curve.y1);
    EXPECT_EQ(DustCubicInverse(curve, top + 0.05, false), 0.0);
    // A cubic with one real root (a steep rising one) goes through Cardano.
    TlDustCurveA steep = curve;
    steep.c0 = 1.0, steep.c1 = 0.0, steep.c2 = 3.0, steep.c3 = 0.0;
    EXPECT_NEAR(DustCubicInverse(steep, 4.0, false), 1.0, 1e-12);
}

TEST(DustToneTableTest, EachCurveFamilyInvertsItsForwardPart)
{
    const struct {
        const char* name;
        std::uint32_t curveId;
        std::uint32_t toneBlock;
        std::uint32_t toneVariant;
    } curves[] = {
        {"1025, telling block 3", 1025, 3, 0}, {"1025, block 0", 1025, 0, 0}, {"1026, block 6", 1026, 6, 0},
        {"260, block 2", 260, 2, 0},           {"258, telling block 0", 258, 2, 0}, {"257, block 8", 257, 2, 3},
        {"259, block 4", 259, 2, 3}, {"257, block 5 with a foot", 257, 2, 0},
    };
    for (const auto& c : curves) {
        SCOPED_TRACE(c.name);
        TlDustShooting shooting;
        shooting.curveId = c.curveId;
        shooting.toneBlock = c.toneBlock;
        shooting.toneVariant = c.toneVariant;
        std::vector<std::uint16_t> table;
        ASSERT_TRUE(BuildCurveTonePair(shooting, 65536, &table));
        for (long k = 1; k < 65536; ++k)
            ASSERT_LE(table[65536 + std::size_t(k - 1)], table[65536 + std::size_t(k)]) << "16-bit inverse at " << k;
        ASSERT_TRUE(BuildCurveTonePair(shooting, 256, &table));
        ASSERT_EQ(65792u, table.size());
        const std::uint16_t* inverse = table.data() + 256;
        for (long k = 1; k < 65536; ++k)
            ASSERT_LE(inverse[k - 1], inverse[k]) << "inverse rises at " << k;
        for (long i = 1; i < 256; ++i) {
            ASSERT_LE(table[std::size_t(i - 1)], table[std::size_t(i)]) << "forward rises at " << i;
            if (table[std::size_t(i)] < 65535) {
                EXPECT_LE(std::abs(int(inverse[table[std::size_t(i)]]) - int(i)), 1) << "index " << i;
            }
        }
    }
}

TEST(DustToneTableTest, FormatsAndTheLinearFlag)
{
    TlDustShooting shooting;
    shooting.curveId = 1025;
    const struct {
        KelvraPixelFormat format;
        bool linear;
        std::size_t entries; // 0: refused
    } cases[] = {{kKelvraRGB8, false, 65792},      {kKelvraRGB16, false, 131072}, {kKelvraRawMosaic, false, 131072},
                 {kKelvraRGB16, true, 131072},     {kKelvraRGB8, true, 0},       {kKelvraGrey8, false, 0}};
    for (const auto& c : cases) {
        std::vector<std::uint16_t> table;
        IKelvraError* error = BuildDustToneTable(c.format, c.linear, shooting, &table);
        if (c.entries == 0) {
            ExpectError(error, 1013, KelvraFourCC('d', 'u', 's', 't'));
        } else {
            ExpectOk(error);
            EXPECT_EQ(c.entries, table.size());
        }
    }
}

} // namespace
