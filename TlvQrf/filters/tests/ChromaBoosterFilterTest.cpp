// The chroma booster's setters: silent until the calibration is loaded,
// negative levels ignored, the prepared threshold parked while switched off.
#include "ColourFilterTestSupport.h"

#include "filters/chromabooster/TlChromaBoosterFilter.h"

#include <vector>

using namespace colour_test;

namespace {

// Shows the prepared threshold table that the worker fills.
class BoosterProbe : public CChromaBoosterFilter {
public:
    using CChromaBoosterFilter::CChromaBoosterFilter;
    using CFltLch::PreparedThreshold;
};

std::unique_ptr<CTlFilter> MakeBooster(IKelvraManager* manager)
{
    return std::make_unique<BoosterProbe>(manager);
}

class ChromaBoosterTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_calibrations.IsReady()); }

    ShippedCalibrations m_calibrations;
    ChainRig rig{MakeBooster, 0x10060203};
    BoosterProbe& booster = static_cast<BoosterProbe&>(*rig.filter);
};

TEST_F(ChromaBoosterTest, ConstructedChangingNothingAndLoadingSetsTheDefaultLevel)
{
    EXPECT_EQ(0, booster.GetLevel());
    EXPECT_EQ(0, booster.GetDefaultLevel());
    EXPECT_FALSE(booster.IsThresholdEnabled());
    EXPECT_FALSE(booster.IsCalibrationLoaded());
    EXPECT_TRUE(booster.IsThresholdStale());
    EXPECT_TRUE(booster.GetSourceTable(CFltLch::kLightnessCurve).empty());

    ExpectOk(booster.LoadCalibration(nullptr));
    EXPECT_TRUE(booster.IsCalibrationLoaded());
    EXPECT_EQ(25, booster.GetDefaultLevel());
    EXPECT_EQ(0, booster.GetLevel());
}

TEST_F(ChromaBoosterTest, BeforeTheCalibrationIsLoadedSettersDoNothing)
{
    IKelvraError* (*const calls[])(CChromaBoosterFilter&) = {
        [](CChromaBoosterFilter& f) { return f.SetLevel(1000, true); },
        [](CChromaBoosterFilter& f) { return f.SetLevel(40, true); },
        [](CChromaBoosterFilter& f) { return f.SetThresholdEnabled(true, true); },
    };
    for (auto call : calls) {
        ExpectOk(call(booster));
        EXPECT_EQ(0, booster.GetLevel());
        EXPECT_FALSE(booster.IsThresholdEnabled());
        EXPECT_FALSE(IsStale(booster));
    }
    EXPECT_TRUE(rig.sink.notices.empty());
}

TEST_F(ChromaBoosterTest, NegativeLevelKeepsThePreviousLevel)
{
    ExpectOk(booster.LoadCalibration(nullptr));
    ExpectOk(booster.SetLevel(30, false));
    MarkFresh(booster);
    for (int value : {-1, -5, -1000}) {
        ExpectOk(booster.SetLevel(value, true));
        EXPECT_EQ(30, booster.GetLevel());
    }
    EXPECT_FALSE(IsStale(booster));
    EXPECT_TRUE(rig.sink.notices.empty());
}

TEST_F(ChromaBoosterTest, SwitchingTheThresholdOffParksThePreparedTableUntilItIsBack)
{
    ExpectOk(booster.LoadCalibration(nullptr));
    ExpectOk(booster.SetThresholdEnabled(true, false));
    EXPECT_TRUE(booster.PreparedThreshold().empty()) << "nothing was parked";
    const std::vector<std::uint16_t> prepared(65536, 777); // as the worker leaves it
    booster.PreparedThreshold() = prepared;

    ExpectOk(booster.SetThresholdEnabled(false, true));
    EXPECT_TRUE(booster.PreparedThreshold().empty());
    EXPECT_EQ(prepared, booster.GetParkedThreshold());

    ExpectOk(booster.SetThresholdEnabled(true, true));
    EXPECT_EQ(prepared, booster.PreparedThreshold());
    EXPECT_TRUE(booster.GetParkedThreshold().empty());
    EXPECT_EQ(2u, rig.sink.notices.size());
}

} // namespace
