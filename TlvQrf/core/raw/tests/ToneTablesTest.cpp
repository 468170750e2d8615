#include "raw/TlToneTables.h"

#include "RawTestTags.h"
#include "raw/TlCameraCurve.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <tuple>
#include <thread>
#include <vector>

namespace {

using Table = std::vector<std::uint16_t>;

Table GammaTable(int bits, std::uint16_t model)
{
    Table table(ToneTableEntries(bits));
    BuildGammaTable(table.data(), bits, model);
    return table;
}

Table PresetTable(int bits, int preset)
{
    Table table(ToneTableEntries(bits));
    BuildPresetGammaTable(table.data(), bits, preset);
    return table;
}

TEST(ToneTableShape, EntriesAndWorkingRange)
{
    EXPECT_EQ(ToneTableEntries(12), 4096u);
    EXPECT_EQ(ToneTableEntries(16), 65536u);
    EXPECT_EQ(ToneTableRange(12), 1800u);
    EXPECT_EQ(ToneTableRange(16), 28800u);
    EXPECT_EQ(ToneTableEntries(14), 0u);
    EXPECT_EQ(ToneTableRange(8), 0u);
}

TEST(ToneTableShape, UnsupportedBitsLeaveTheTable)
{
    Table table(4096, 0x1234);
    BuildGammaTable(table.data(), 14, 0);
    BuildPresetGammaTable(table.data(), 8, 0);
    BuildPresetGammaTable(table.data(), 12, 3);
    EXPECT_FALSE(BuildToneTable(nullptr, {}, table.data(), 10));
    EXPECT_EQ(table, Table(4096, 0x1234));
}

struct EntryCase {
    const char* name;
    int bits;
    std::uint16_t model;
    std::uint32_t index;
    std::uint16_t expected;
};

class StandardCurveEntries : public testing::TestWithParam<EntryCase> {};

TEST_P(StandardCurveEntries, MatchTheCurve)
{
    const EntryCase& c = GetParam();
    EXPECT_EQ(GammaTable(c.bits, c.model)[c.index], c.expected);
}

// Expected values worked out by hand from each segment's formula.
INSTANTIATE_TEST_SUITE_P(
    Cases, StandardCurveEntries,
    testing::Values(
        // Toe starts at 56320 x c0.
        EntryCase{"ToeStartA", 12, 259, 0, 168},  // 56320 x 0.003 = 168.96
        EntryCase{"ToeStartB", 12, 1, 0, 254},    // 56320 x 0.00452 = 254.56
        EntryCase{"ToeStartB16", 16, 1, 0, 254},
        // x = 1: 56320 x (g x (1 - o)^p + q).
        EntryCase{"OneA", 12, 257, 1800, 50711},
        EntryCase{"OneB", 12, 2, 1800, 50410},
        EntryCase{"OneB16", 16, 2, 28800, 50410},
        // Headroom stops at the top instead of wrapping.
        EntryCase{"TopA", 12, 258, 4095, 0xFFFF},
        EntryCase{"TopB16", 16, 3, 65535, 0xFFFF}),
    [](const testing::TestParamInfo<EntryCase>& info) { return std::string(info.param.name); });

TEST(StandardCurve, MonotoneForBothCoefficientSets)
{
    for (int bits : {12, 16})
        for (std::uint16_t model : {259, 1}) {
            const Table table = GammaTable(bits, model);
            for (std::size_t i = 1; i < table.size(); ++i)
                ASSERT_LE(table[i - 1], table[i]) << bits << " bits, model " << model << ", index " << i;
        }
}

struct PresetCase {
    int preset;
    double d[9];
};

// The presets' constants, from the curves' definition.
const PresetCase kPresets[3] = {
    {0,
     {3.0, 0.45, 1.09615532532878, 0.137641629137195, 0.977314883687563, 0.22605751018334, 0.297594299385155,
      0.037538665653641, 0.5}},
    {1,
     {3.0, 0.5, 1.09544411810287, 0.099999453971295, 1.13043071047529, 0.729738285485317, 0.104660855527884,
      0.033333272663505, 0.9}},
    {2,
     {2.0, 0.55, 1.2827133432363, 0.161525062578477, 1.14142616456557, 0.721918911528145, 0.062591738786639,
      0.098709892880672, 0.8}},
};

class PresetCurves : public testing::TestWithParam<std::tuple<int, int>> {
protected:
    int Bits() const { return std::get<0>(GetParam()); }
    const PresetCase& Preset() const { return kPresets[std::get<1>(GetParam())]; }
};

TEST_P(PresetCurves, AreMonotone)
{
    const Table table = PresetTable(Bits(), Preset().preset);
    for (std::size_t i = 1; i < table.size(); ++i)
        ASSERT_LE(table[i - 1], table[i]) << "index " << i;
}

TEST_P(PresetCurves, SegmentsMeetInValueAndSlopeAtBothJoints)
{
    const double* d = Preset().d;
    const auto toe = [d](double x) { return 56320 * d[0] * x; };
    const auto middle = [d](double x) { return 56320 * (d[2] * std::pow(x, d[1]) - d[3]); };
    const auto shoulder = [d](double x) { return 56320 * d[4] * std::pow(x - d[5], d[6]); };
    const auto slope = [](auto f, double x) { return (f(x + 1e-6) - f(x - 1e-6)) / 2e-6; };

    const double range = ToneTableRange(Bits());
    const Table table = PresetTable(Bits(), Preset().preset);
    const struct {
        double joint;
        std::function<double(double)> before, after;
    } joints[2] = {{d[7], toe, middle}, {d[8], middle, shoulder}};
    for (const auto& j : joints) {
        SCOPED_TRACE(j.joint);
        EXPECT_NEAR(j.before(j.joint), j.after(j.joint), 56320 * 1e-3);
        EXPECT_NEAR(slope(j.before, j.joint), slope(j.after, j.joint), 56320 * 2e-3);
        // In the table: the step across the joint is no bigger than an
        // ordinary step beside it.
        const std::size_t at = static_cast<std::size_t>(range * j.joint);
        const int across = table[at] - table[at - 1];
        const int beside = table[at - 1] - table[at - 2];
        EXPECT_GE(across, 0);
        EXPECT_LE(std::abs(across - beside), 2);
    }
}

TEST_P(PresetCurves, EntriesFollowTheSegments)
{
    const double* d = Preset().d;
    const double range = ToneTableRange(Bits());
    const Table table = PresetTable(Bits(), Preset().preset);
    const std::size_t i1 = static_cast<std::size_t>(range * d[7]);
    const std::size_t i2 = static_cast<std::size_t>(range * d[8]);
    const double xm = (i1 + 5) / range;
    EXPECT_EQ(table[0], 0);
    EXPECT_EQ(table[1], static_cast<std::uint16_t>(56320 * d[0] / range));
    EXPECT_EQ(table[i1 + 5], static_cast<std::uint16_t>(56320 * (d[2] * std::pow(xm, d[1]) - d[3])));
    EXPECT_EQ(table[i2], static_cast<std::uint16_t>(56320 * d[4] * std::pow(i2 / range - d[5], d[6])));
    EXPECT_EQ(table.back(), 0xFFFF);
}

INSTANTIATE_TEST_SUITE_P(BitsAndPresets, PresetCurves,
                         testing::Combine(testing::Values(12, 16), testing::Values(0, 1, 2)));

TEST(PresetCache, TablesBuiltOnFirstUseMatchFreshOnesAcrossThreads)
{
    std::vector<const std::uint16_t*> seen(8 * 6, nullptr);
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([t, &seen] {
            for (int k = 0; k < 6; ++k)
                seen[t * 6 + k] = GetPresetGammaTable(k % 2 ? 16 : 12, k / 2);
        });
    for (std::thread& thread : threads)
        thread.join();
    for (int k = 0; k < 6; ++k) {
        const int bits = k % 2 ? 16 : 12;
        const Table fresh = PresetTable(bits, k / 2);
        for (int t = 0; t < 8; ++t) {
            ASSERT_EQ(seen[t * 6 + k], seen[k]) << "one table per preset and depth";
            ASSERT_TRUE(std::equal(fresh.begin(), fresh.end(), seen[t * 6 + k]));
        }
    }
    EXPECT_EQ(GetPresetGammaTable(14, 0), nullptr);
    EXPECT_EQ(GetPresetGammaTable(12, 3), nullptr);
}

std::vector<unsigned char> CurveBlock(std::vector<unsigned char> head)
{
    head.resize(kTlCameraCurveBlockSize);
    return head;
}

TEST(CameraToneTable, WithoutTheBlockIsTheStandardCurve)
{
    auto tags = raw_test::MakeTags();
    Table table(4096);
    EXPECT_TRUE(BuildToneTable(tags.get(), {259, true}, table.data(), 12));
    EXPECT_EQ(table, GammaTable(12, 259));
    EXPECT_TRUE(BuildToneTable(nullptr, {1, true}, table.data(), 12));
    EXPECT_EQ(table, GammaTable(12, 1));
}

TEST(CameraToneTable, CorruptBlockGivesTheStandardCurve)
{
    auto tags = raw_test::MakeTags();
    const auto block = CurveBlock({'I', 0x5F, 0, 255, 0, 255, 1, 0, 21});
    raw_test::SetBytes(*tags, kTlCameraCurveTag, kKelvraTagTypeToneCurve, block.data(), block.size());
    Table table(65536);
    EXPECT_TRUE(BuildToneTable(tags.get(), {1, true}, table.data(), 16));
    EXPECT_EQ(table, GammaTable(16, 1));
}

TEST(CameraToneTable, IdentityCurveKeepsTheStandardCurve)
{
    auto tags = raw_test::MakeTags();
    const auto block = CurveBlock({'I', 0x10, 0, 255, 0, 255, 1, 0, 2, 0, 0, 255, 255});
    raw_test::SetBytes(*tags, kTlCameraCurveTag, kKelvraTagTypeToneCurve, block.data(), block.size());
    Table table(4096);
    EXPECT_TRUE(BuildToneTable(tags.get(), {1, true}, table.data(), 12));
    const Table standard = GammaTable(12, 1);
    for (std::size_t i = 0; i < table.size(); i += 97)
        EXPECT_NEAR(table[i], standard[i], 64) << i;
}

TEST(CameraToneTable, InvertingCurveTurnsTheTableOver)
{
    auto tags = raw_test::MakeTags();
    const auto block = CurveBlock({'I', 0x10, 0, 255, 0, 255, 1, 0, 2, 0, 255, 255, 0});
    raw_test::SetBytes(*tags, kTlCameraCurveTag, kKelvraTagTypeToneCurve, block.data(), block.size());
    Table table(4096);
    EXPECT_TRUE(BuildToneTable(tags.get(), {1, true}, table.data(), 12));
    EXPECT_GT(table[0], table[1800]);
}

} // namespace
