// The saturation compensation's level: level 0 bypasses the filter, every
// change asks the chain to recompute everything; the tone mode waits for
// the next level change.
#include "ColourFilterTestSupport.h"

#include "filters/saturation/TlSaturationCompensationFilter.h"

using namespace colour_test;

namespace {

std::unique_ptr<CTlFilter> MakeSaturation(IKelvraManager* manager)
{
    return std::make_unique<CSaturationCompensationFilter>(manager);
}

class SaturationCompensationTest : public ::testing::Test {
protected:
    ChainRig rig{MakeSaturation, 0x08060203};
    CSaturationCompensationFilter& filter = static_cast<CSaturationCompensationFilter&>(*rig.filter);
};

TEST_F(SaturationCompensationTest, ConstructedCompensatingAtLevelOne)
{
    EXPECT_EQ(1, filter.GetLevel());
    EXPECT_EQ(0, filter.GetParameter());
    EXPECT_FALSE(IsBypassed(filter));
    EXPECT_TRUE(filter.IsGainTableStale());
}

TEST_F(SaturationCompensationTest, LevelZeroBypassesAndEveryChangeIsAnnounced)
{
    const struct {
        int level;
        int held;
        bool bypassed;
    } steps[] = {{0, 0, true}, {3, 3, false}, {-4, 0, true}, {9, 9, false}, {10, 9, false}};
    std::size_t announced = 0;
    for (const auto& step : steps) {
        SCOPED_TRACE(step.level);
        const bool changes = step.held != filter.GetLevel();
        ExpectOk(filter.SetLevel(step.level, true));
        EXPECT_EQ(step.held, filter.GetLevel());
        EXPECT_EQ(step.bypassed, IsBypassed(filter));
        announced += changes ? 1 : 0;
        ASSERT_EQ(announced, rig.sink.notices.size());
        EXPECT_EQ(kKelvraNotifyUpdateAll, rig.sink.notices.back().code);
    }
}

TEST_F(SaturationCompensationTest, ToneModeIsOnlyStored)
{
    for (std::uint16_t mode : {260, 1026, 7}) {
        filter.SetParameter(mode);
        EXPECT_EQ(mode, filter.GetParameter());
    }
    EXPECT_FALSE(IsStale(filter));
    EXPECT_EQ(1, filter.GetLevel());
    EXPECT_TRUE(rig.sink.notices.empty());
}

} // namespace
