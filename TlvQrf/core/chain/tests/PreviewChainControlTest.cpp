// The image control with the real preview chain: the chain it builds from
// its state, the display link through it, and a chain torn down by a failed
// link built anew on the next request.
#include "RealChainControlSupport.h"

#include "kelvra/KelvraData.h"

#include <windows.h>

namespace {

using namespace control_test;

class Display : public IKelvraDataDestination {
public:
    explicit Display(bool refuse = false) : m_refuse(refuse) {}
    IKelvraError* KelvraNotify(IKelvraDataSource*, long, void*) override { return nullptr; }
    IKelvraError* KelvraAddDataSourceCheck(IKelvraDataSource*) override
    {
        return m_refuse ? KELVRA_ERROR(nullptr, KelvraFourCC('T', 'e', 's', 't'), 1007) : nullptr;
    }

private:
    bool m_refuse;
};

class ControlWithRealChain : public RealChainControlFixture {};

} // namespace

TEST_F(ControlWithRealChain, TheControlBuildsTheFullChainFromItsState)
{
    CTlvQrfControl& c = InitialisedControl();
    IKelvraFilterChain* filters = nullptr;
    ASSERT_EQ(0, CodeOf(c.GetFilterChain(&filters)));
    ASSERT_NE(filters, nullptr);
    CTlCadraFilterChain* chain = Chain(c);
    ASSERT_NE(chain, nullptr);
    EXPECT_TRUE(chain->IsBuilt());
    EXPECT_TRUE(c.IsReady());
    EXPECT_EQ(filters, chain->GetChain());
    EXPECT_EQ(filters->GetFilterCount(), 45);
    EXPECT_EQ(chain->GetCachePolicy(), 0u) << "the control starts with cache choice 1";
    EXPECT_FALSE(chain->GetChannelOrder()) << "not the chain variant 2";
}

TEST_F(ControlWithRealChain, DisplaysAreLinkedThroughTheChain)
{
    CTlvQrfControl& c = ControlWithChain();
    Display display;
    EXPECT_EQ(0u, c.Connect(&display));
    EXPECT_TRUE(KelvraIsConnected(Chain(c)->GetChain(), &display));
    EXPECT_EQ(0u, c.DisConnect(&display));
    EXPECT_FALSE(KelvraIsConnected(Chain(c)->GetChain(), &display));
}

TEST_F(ControlWithRealChain, AChainTornDownByAFailedLinkIsBuiltAnewOnTheNextRequest)
{
    CTlvQrfControl& c = ControlWithChain();
    Display refusing(true);
    EXPECT_EQ(unsigned(kTlResultFailed), c.Connect(&refusing)) << "status 8";
    EXPECT_FALSE(c.IsReady());
    IKelvraFilterChain* filters = nullptr;
    ASSERT_EQ(0, CodeOf(c.GetFilterChain(&filters)));
    ASSERT_NE(filters, nullptr);
    EXPECT_TRUE(c.IsReady());
    EXPECT_EQ(filters->GetFilterCount(), 45);
}

namespace {

// The LCh filters' tables that cannot be loaded (statuses 13 to 16) leave
// the preview without what the settings ask for: not a success.
const struct {
    const char* name;
    const char* calibration;
    bool malformed; // written as no calibration rather than taken away
    void (*setup)(CTlvQrfControl&);
    std::uint32_t bit;
} kTableFailures[] = {
    {"LCH curves, calibration missing", kTlLchCalibrationFile, false, [](CTlvQrfControl& c) { BendLightness(c); },
     ITlvQrfData::eLch},
    {"chroma boost, calibration malformed", kTlChromaBoostCalibrationFile, true,
     [](CTlvQrfControl& c) {
         c.chromaBoostUsed = 1;
         c.chromaBoost.amount = 40;
     },
     ITlvQrfData::eChromaBoost},
};

} // namespace

TEST_F(ControlWithRealChain, AnUpdateWhoseLchTablesCannotLoadFails)
{
    CTlvQrfControl& c = InitialisedControl();
    // Without a record the chain's first update leaves the booster's table
    // unloaded.
    c.chromaBoostUsed = 0;
    IKelvraFilterChain* filters = nullptr;
    ASSERT_EQ(0, CodeOf(c.GetFilterChain(&filters)));
    for (const auto& f : kTableFailures) {
        const std::string path = Profiles().Path() + f.calibration;
        if (f.malformed)
            Profiles().Write(f.calibration, "not a calibration");
        else
            ASSERT_TRUE(DeleteFileA(path.c_str())) << f.name;
        f.setup(c);
        EXPECT_EQ(unsigned(kTlResultFailed), c.Update(f.bit, false, nullptr)) << f.name;
        EXPECT_TRUE(TlWriteCalibrationFile(path, TlNeutralCalibration())) << f.name;
    }
}
