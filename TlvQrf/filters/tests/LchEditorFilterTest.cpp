// The LCH editor's tables: defaults for missing tables, identity ramps,
// the threshold in the fourth place and refused widths.
#include "ColourFilterTestSupport.h"

#include "filters/lch/TlFltLch.h"

#include <vector>

using namespace colour_test;

namespace {

using Table = std::vector<std::uint16_t>;

std::unique_ptr<CTlFilter> MakeLch(IKelvraManager* manager)
{
    return std::make_unique<CFltLch>(manager);
}

class LchEditorTest : public ::testing::Test {
protected:
    ChainRig rig{MakeLch, 0x08060203};
    CFltLch& filter = static_cast<CFltLch&>(*rig.filter);
};

TEST_F(LchEditorTest, ConstructedWithoutTablesOrCalibration)
{
    EXPECT_FALSE(filter.IsCalibrationLoaded());
    for (int k = 0; k < CFltLch::kCurveCount; ++k)
        EXPECT_TRUE(filter.GetSourceTable(k).empty());
    EXPECT_TRUE(filter.GetThresholdSource().empty());
    EXPECT_EQ(0, filter.GetInBits());
    EXPECT_EQ(0, filter.GetOutBits());
    EXPECT_TRUE(filter.AreTablesStale());
    EXPECT_TRUE(filter.IsThresholdStale());
}

TEST_F(LchEditorTest, NoTablesMeanThreeTwoEntryIdentityRamps)
{
    const Table lightness = {3, 4};
    const std::uint16_t* const someTables[3] = {lightness.data(), lightness.data(), lightness.data()};
    const struct {
        const char* name;
        const std::uint16_t* const* tables;
        int count;
    } cases[] = {{"null tables", nullptr, 3}, {"count 0", someTables, 0}, {"both", nullptr, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectOk(filter.SetLuts(someTables, 1, 16, 3, false)); // something else first
        ExpectOk(filter.SetLuts(c.tables, 16, 16, c.count, false));
        EXPECT_EQ(1, filter.GetInBits());
        EXPECT_EQ(1, filter.GetOutBits());
        for (int k = 0; k < CFltLch::kCurveCount; ++k)
            EXPECT_EQ(Table({0, 1}), filter.GetSourceTable(k));
        EXPECT_TRUE(filter.AreTablesStale());
    }
}

TEST_F(LchEditorTest, IdentityRampScalesTheIndexToTheValueWidth)
{
    const struct {
        int inBits, outBits;
        std::size_t index;
        std::uint16_t value;
    } cases[] = {{16, 16, 1234, 1234}, {16, 8, 0x1234, 0x12}, {8, 16, 0x12, 0x1200},
                 {1, 16, 1, 32768},    {12, 12, 4095, 4095}, {10, 4, 1023, 15}};
    const std::uint16_t* const nullTables[3] = {};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.inBits << " -> " << c.outBits);
        ExpectOk(filter.SetLuts(nullTables, c.inBits, c.outBits, 3, false));
        const Table& hue = filter.GetSourceTable(CFltLch::kHueCurve);
        ASSERT_EQ(std::size_t(1) << c.inBits, hue.size());
        EXPECT_EQ(0, hue[0]);
        EXPECT_EQ(c.value, hue[c.index]);
    }
}

TEST_F(LchEditorTest, NullTableCountsAsAChangeEveryTime)
{
    const std::uint16_t* const nullTables[3] = {};
    ExpectOk(filter.SetLuts(nullTables, 16, 16, 3, true));
    MarkFresh(filter);
    ExpectOk(filter.SetLuts(nullTables, 16, 16, 3, true));
    EXPECT_TRUE(IsStale(filter));
    EXPECT_EQ(2u, rig.sink.notices.size());
}

TEST_F(LchEditorTest, FourthTableIsTheThresholdWithTheCurvesWidths)
{
    Table curve(256), threshold(256);
    for (std::size_t k = 0; k < 256; ++k) {
        curve[k] = std::uint16_t(k);
        threshold[k] = std::uint16_t(255 - k);
    }
    const std::uint16_t* const tables[4] = {curve.data(), curve.data(), curve.data(), threshold.data()};
    ExpectOk(filter.SetLuts(tables, 8, 8, 4, true));
    EXPECT_EQ(threshold, filter.GetThresholdSource());
    EXPECT_EQ(8, filter.GetThresholdInBits());
    EXPECT_EQ(8, filter.GetThresholdOutBits());
    EXPECT_EQ(curve, filter.GetSourceTable(CFltLch::kChromaByHueCurve));
    EXPECT_TRUE(filter.IsThresholdStale());
    EXPECT_TRUE(IsStale(filter));
    EXPECT_EQ(1u, rig.sink.notices.size());
}

TEST_F(LchEditorTest, WidthsAndCountsThatNoTableCanHaveAreRefused)
{
    const Table curve(1 << 8, 7);
    const std::uint16_t* const tables[4] = {curve.data(), curve.data(), curve.data(), curve.data()};
    ExpectOk(filter.SetLuts(tables, 8, 8, 3, false));
    MarkFresh(filter);
    const struct {
        const char* name;
        int inBits, outBits, count;
    } cases[] = {{"count 5", 8, 8, 5},      {"negative count", 8, 8, -1}, {"no index bits", 0, 8, 3},
                 {"17 index bits", 17, 8, 3}, {"no value bits", 8, 0, 3},    {"17 value bits", 8, 17, 3},
                 {"negative widths", -8, -8, 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectError(filter.SetLuts(tables, c.inBits, c.outBits, c.count, true), kKelvraBadArgument, TlFilterId("LCH "));
        EXPECT_EQ(8, filter.GetInBits());
        EXPECT_EQ(curve, filter.GetSourceTable(CFltLch::kLightnessCurve));
        EXPECT_TRUE(filter.GetThresholdSource().empty());
        EXPECT_FALSE(IsStale(filter));
    }
    EXPECT_TRUE(rig.sink.notices.empty());
}

} // namespace
