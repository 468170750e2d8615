// The numbers behind the LCH editor and the chroma booster: the lightness
// ratio table, the resampling of curve tables between widths, and the chroma
// rule with and without a threshold.
#include "ColourFilterTestSupport.h"

#include "filters/lch/TlFltLch.h"
#include "filters/lch/TlLightnessRatio.h"

#include <cstdint>
#include <vector>

using namespace colour_test;

namespace {

using Table = CFltLch::Table;

// Reaches the LCH editor's own table work.
class LchProbe : public CFltLch {
public:
    using CFltLch::CFltLch;
    using CFltLch::PrepareTables;
    using CFltLch::ResampleTable;
    using CFltLch::SetThresholdTable;
};

TEST(LightnessRatioTable, NothingInTheDeepestShadowsAllFromJustAboveThem)
{
    const struct {
        KelvraPixelFormat format;
        std::size_t lightness;
        double ratio;
    } cases[] = {
        {kKelvraLCh8, 0, 0.0},     {kKelvraLCh8, 4, 0.0},     {kKelvraLCh8, 5, 0.03125},  {kKelvraLCh8, 20, 0.5},
        {kKelvraLCh8, 36, 1.0},    {kKelvraLCh8, 255, 1.0},   {kKelvraLCh16, 1024, 0.0},  {kKelvraLCh16, 5120, 0.5},
        {kKelvraLCh16, 9216, 1.0}, {kKelvraLCh16, 65535, 1.0}, {kKelvraRGB16, 9215, 1.0 - 1.0 / 8192},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.format << std::dec << " L " << c.lightness);
        EXPECT_EQ(c.ratio, GetLightnessRatioTable(c.format)[c.lightness]);
    }
    EXPECT_EQ(GetLightnessRatioTable(kKelvraLCh16), GetLightnessRatioTable(kKelvraRGB8)) << "any other format";
}

Table Ramp(std::size_t entries, std::uint16_t first, int step)
{
    Table table(entries);
    for (std::size_t k = 0; k < entries; ++k)
        table[k] = std::uint16_t(first + int(k) * step);
    return table;
}

class LchTablesTest : public ::testing::Test {
protected:
    ManagerHolder holder;
    LchProbe lch{holder.manager};
};

TEST_F(LchTablesTest, ResampleConvertsWidthsAndCountsRisingAndFallingAlike)
{
    struct Pin {
        std::size_t index;
        std::uint16_t value;
    };
    const struct {
        const char* name;
        int bits, srcInBits, srcOutBits;
        Table source;
        std::vector<Pin> pins;
    } cases[] = {
        {"copy, equal counts", 8, 8, 8, Ramp(256, 255, -1), {{0, 255}, {100, 155}, {255, 0}}},
        {"shift, fewer targets", 8, 16, 16, Ramp(65536, 0, 1), {{0, 0}, {1, 1}, {128, 128}, {255, 255}}},
        {"shift, falling", 8, 16, 16, Ramp(65536, 65535, -1), {{0, 255}, {1, 254}, {255, 0}}},
        {"replication, interpolated", 16, 8, 8, Ramp(256, 0, 1), {{0, 0}, {300, 300}, {40000, 40000}, {65535, 65535}}},
        {"replication, falling", 16, 8, 8, Ramp(256, 255, -1), {{0, 65535}, {300, 65235}, {40000, 25535}, {65535, 0}}},
        {"scaling, interpolated", 16, 4, 4, Ramp(16, 0, 1), {{0, 0}, {4369, 4369}, {5000, 5000}, {65535, 65535}}},
        {"two entries, falling", 8, 1, 8, Table{255, 0}, {{0, 255}, {1, 254}, {128, 127}, {255, 0}}},
        // k x n and r x step pass 2^31 here: 65534 x 32767 and 65534 x -2.
        {"wide products, falling", 16, 15, 16, Ramp(32768, 65535, -2), {{0, 65535}, {2, 65534}, {65535, 1}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Table target(3, 9);
        ExpectOk(lch.ResampleTable(c.bits, false, c.source, target, c.srcInBits, c.srcOutBits));
        ASSERT_EQ(std::size_t(1) << c.bits, target.size());
        for (const Pin& pin : c.pins)
            EXPECT_EQ(pin.value, target[pin.index]) << "at " << pin.index;
        const bool falling = c.source.front() > c.source.back();
        for (std::size_t k = 1; k < target.size(); ++k)
            ASSERT_TRUE(falling ? target[k] <= target[k - 1] : target[k] >= target[k - 1]) << "at " << k;
    }
}

TEST_F(LchTablesTest, ResampleIntoFreshStorageOrAnEmptyTarget)
{
    const Table source = Ramp(256, 0, 1);
    Table target;
    ExpectOk(lch.ResampleTable(8, false, source, target, 8, 8));
    EXPECT_EQ(source, target);
    const std::uint16_t* before = target.data();
    ExpectOk(lch.ResampleTable(8, true, Ramp(256, 255, -1), target, 8, 8));
    EXPECT_NE(before, target.data());
    EXPECT_EQ(255, target[0]);
}

// The thresholds of a table whose 8-bit entries are all `entry`.
void SetFlatThreshold(LchProbe& lch, std::uint16_t entry, int bits)
{
    const Table threshold(std::size_t(1) << bits, entry);
    ExpectOk(lch.SetThresholdTable(threshold.data(), bits, bits));
    ExpectOk(lch.PrepareTables(bits, true));
}

TEST_F(LchTablesTest, PreparedThresholdIsAQuarterOfTheChromaRange)
{
    SetFlatThreshold(lch, 255, 8);
    EXPECT_EQ(63, lch.GetPreparedThreshold()[0]);
    SetFlatThreshold(lch, 65535, 16);
    EXPECT_EQ(16447, lch.GetPreparedThreshold()[7]);
    SetFlatThreshold(lch, 200, 8);
    EXPECT_EQ(50, lch.GetPreparedThreshold()[200]);
}

struct ChromaCase {
    const char* name;
    unsigned lightness, chroma;
    int change;
    double expected;   // about
    double tolerance;
};

void ExpectChroma(const LchProbe& lch, const ChromaCase& c, KelvraPixelFormat format)
{
    SCOPED_TRACE(c.name);
    const unsigned hue = 17;
    using Narrow = std::uint8_t;
    using Wide = std::uint16_t;
    const unsigned result =
        format == kKelvraLCh8
            ? lch.AdjustChroma(Narrow(c.lightness), Narrow(c.chroma), Narrow(hue), c.change, format, 256)
            : lch.AdjustChroma(Wide(c.lightness), Wide(c.chroma), Wide(hue), c.change, format, 65536);
    EXPECT_NEAR(c.expected, double(result), c.tolerance);
}

TEST_F(LchTablesTest, ChromaChangeMultipliesByUpToFourWeightedByLightness)
{
    const ChromaCase eightBit[] = {
        {"no change", 200, 77, 0, 77, 0},          {"darkest lightness", 4, 77, 100, 77, 0},
        {"raised four times", 36, 40, 100, 160, 1}, {"capped at the top", 255, 100, 100, 255, 0},
        {"lowered four times", 255, 100, -100, 25, 1}, {"no chroma stays none", 255, 0, 100, 0, 0},
    };
    for (const ChromaCase& c : eightBit)
        ExpectChroma(lch, c, kKelvraLCh8);
    const ChromaCase sixteenBit[] = {
        {"darkest lightness", 1024, 5000, 100, 5000, 0}, {"raised four times", 9216, 1000, 100, 4000, 1},
        {"capped at the top", 40000, 30000, 100, 65535, 0}, {"lowered four times", 65535, 4000, -100, 1000, 1},
    };
    for (const ChromaCase& c : sixteenBit)
        ExpectChroma(lch, c, kKelvraLCh16);
}

TEST_F(LchTablesTest, ChromaAtOrBelowTheThresholdIsNeverRaisedButCanBeLowered)
{
    SetFlatThreshold(lch, 200, 8); // threshold 50
    const ChromaCase cases[] = {
        {"at the threshold", 255, 50, 100, 50, 0},
        {"below it", 255, 20, 60, 20, 0},
        {"lowered at it", 255, 50, -100, 12.5, 1},
        {"eased in above it", 255, 60, 100, 100, 1}, // 50 + 1.25 x 4 x 10
        {"far above it", 255, 200, 100, 255, 0},
    };
    for (const ChromaCase& c : cases)
        ExpectChroma(lch, c, kKelvraLCh8);
}

} // namespace
