// The colour noise reduction's strength, and the processor test that it
// shares in kind with the fine edge filter.
#include "ColourFilterTestSupport.h"

#include "filters/colornoise/TlColorNoiseReductionFilter.h"
#include "filters/cpu/TlSimdCheck.h"
#include "filters/fineedge/TlFineEdgeFilter.h"

#include <limits>

using namespace colour_test;

namespace {

std::unique_ptr<CTlFilter> MakeNoise(IKelvraManager* manager)
{
    return std::make_unique<CColorNoiseReductionFilter>(manager);
}

TEST(ColorNoiseReductionTest, ConstructedAtHalfStrengthWithStaleWeights)
{
    ManagerHolder holder;
    CColorNoiseReductionFilter filter(holder.manager);
    EXPECT_EQ(0.5, filter.GetStrength());
    EXPECT_TRUE(filter.IsWeightTableStale());
    EXPECT_FALSE(IsBypassed(filter));
}

TEST(ColorNoiseReductionTest, StrengthThatIsNotANumberIsRefused)
{
    ChainRig rig(MakeNoise, 0x10060204);
    auto& filter = static_cast<CColorNoiseReductionFilter&>(*rig.filter);
    ExpectError(filter.SetStrength(std::numeric_limits<double>::quiet_NaN(), true), kKelvraBadArgument,
                TlFilterId("clnr"));
    EXPECT_EQ(0.5, filter.GetStrength());
    EXPECT_FALSE(IsStale(filter));
    EXPECT_TRUE(rig.sink.notices.empty());
}

TEST(SimdCheckTest, FirstConstructorsAskTheProcessor)
{
    ManagerHolder holder;
    CColorNoiseReductionFilter noise(holder.manager);
    CFineEdgeFilter edges(holder.manager);
    EXPECT_EQ(TlProcessorHasMmx(), CColorNoiseReductionFilter::UsesSimd());
    EXPECT_EQ(TlProcessorHasMmx(), CFineEdgeFilter::UsesSimd());
#if defined(__x86_64__)
    EXPECT_TRUE(TlProcessorHasMmx()) << "every 64-bit processor has it";
#endif
}

} // namespace
