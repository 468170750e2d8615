// The full-resolution development of a synthetic raw picture measured
// against the scene it photographs: grey steps neutral, colour patches close
// to the scene's colours in the output profile; and the measurement itself
// telling a broken development (swapped channels, no white balance, no
// output curve, a wrong gamma) from a correct one.
#include "DevelopedPatchesSupport.h"

#include "DevelopEnvironment.h"
#include "DevelopTestSupport.h"
#include "fullres/TlFullResState.h"
#include "fullres/TlProcessingChain.h"
#include "kelvra/KelvraFilterChain.h"

#include <cmath>
#include <functional>

using namespace develop_test;
using namespace patches_test;

namespace {

constexpr long kWidth = 480;
constexpr long kHeight = 320;

class DevelopedPatchesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_environment.IsReady());
        ReleaseFullResState();
        FullResState().channelLayout = 0;
    }
    void TearDown() override { ReleaseFullResState(); }

    // The whole picture developed at full resolution, 8-bit RGB.
    SampleGrid Develop(SyntheticPicture& picture)
    {
        ReleaseFullResState();
        std::unique_ptr<CTlvParamSet> params = picture.Params();
        params->ReadImageTags();
        EXPECT_EQ(kTlChainComplete, BuildProcessingChain(m_environment.Manager(), *params, false, 1.0, 0));
        STlFullResState& state = FullResState();
        if (state.chain == nullptr || state.destination == nullptr)
            return SampleGrid();
        RunProcess(*state.chain, picture.Image(), state.destination);
        return ReadSampleGrid(state.destination);
    }
    SPatchReport Measure(const SampleGrid& grid, unsigned maxValue = 255)
    {
        const CPatchTruth truth(m_environment.OutputProfile());
        EXPECT_TRUE(truth.IsReady());
        return MeasurePatches(grid, maxValue, CQrfScene(kWidth, kHeight),
                              CentredPlacement(kWidth, kHeight, grid.width, grid.height), truth);
    }

    CDevelopEnvironment m_environment;
};

double SrgbDecode(double v)
{
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

// Each sample of an 8-bit grid through `change` (0..1 in and out).
SampleGrid Changed(SampleGrid grid, const std::function<void(double rgb[3])>& change)
{
    for (std::size_t i = 0; i + 2 < grid.samples.size(); i += 3) {
        double rgb[3] = {grid.samples[i] / 255.0, grid.samples[i + 1] / 255.0, grid.samples[i + 2] / 255.0};
        change(rgb);
        for (int c = 0; c < 3; ++c)
            grid.samples[i + c] = unsigned(std::lround(255 * std::min(1.0, std::max(0.0, rgb[c]))));
    }
    return grid;
}

} // namespace

// The cameras whose mosaic the raw-file maker stores as the camera does
// (unbalanced) and whose developed size is the mosaic's less the De-Bayer
// border. Model 257 balances its mosaic before storing it, which the maker
// does not; model 259 develops to a size of its own.
TEST_F(DevelopedPatchesTest, EachCameraIsDevelopedToTheScenesColours)
{
    for (std::uint32_t model : {258u, 260u, 1025u, 1026u}) {
        SCOPED_TRACE(model);
        SyntheticPicture picture(m_environment.Manager(), model, kWidth, kHeight);
        const SampleGrid grid = Develop(picture);
        ASSERT_EQ(3, grid.planes);
        ExpectPatchesWithinTolerance(Measure(grid));
    }
}

TEST_F(DevelopedPatchesTest, SixteenBitDevelopmentMatchesTheEightBitOne)
{
    SyntheticPicture picture(m_environment.Manager(), 258, kWidth, kHeight);
    const SPatchReport eight = Measure(Develop(picture));
    FullResState().channelLayout = 1;
    const SampleGrid grid = Develop(picture);
    ASSERT_EQ(3, grid.planes);
    const SPatchReport sixteen = Measure(grid, 65535);
    ExpectPatchesWithinTolerance(sixteen);
    EXPECT_LE(LargestPatchDifference(eight, sixteen), kSameScaleError);
}

// Without the as-shot multipliers the raw data keeps the sensor's cast.
TEST_F(DevelopedPatchesTest, MissingWhiteBalanceIsCaught)
{
    SyntheticPicture picture(m_environment.Manager(), 258, kWidth, kHeight);
    SetMultipliers(picture.Tags(), 1.0, 1.0);
    const SPatchReport report = Measure(Develop(picture));
    SCOPED_TRACE(report.Describe());
    EXPECT_GT(report.maxNeutralError, kNeutralError);
    EXPECT_GT(report.maxColourDeltaE, kColourDeltaE);
}

// A correct development changed the way a broken stage would change it.
TEST_F(DevelopedPatchesTest, BrokenDevelopmentsAreCaught)
{
    SyntheticPicture picture(m_environment.Manager(), 258, kWidth, kHeight);
    const SampleGrid developed = Develop(picture);
    ASSERT_EQ(3, developed.planes);
    const struct {
        const char* name;
        std::function<void(double rgb[3])> change;
        bool neutralCaught; // a grey stays grey under some faults
    } cases[] = {
        {"red and blue swapped", [](double rgb[3]) { std::swap(rgb[0], rgb[2]); }, false},
        {"red and green swapped", [](double rgb[3]) { std::swap(rgb[0], rgb[1]); }, false},
        {"white balance applied twice", [](double rgb[3]) { rgb[0] = std::pow(std::pow(rgb[0], 2.2) * 2.0, 1 / 2.2); rgb[2] = std::pow(std::pow(rgb[2], 2.2) * 1.5, 1 / 2.2); }, true},
        {"no output curve", [](double rgb[3]) { for (int c = 0; c < 3; ++c) rgb[c] = SrgbDecode(rgb[c]); }, false},
        {"gamma 1.6 for 2.2", [](double rgb[3]) { for (int c = 0; c < 3; ++c) rgb[c] = std::pow(rgb[c], 2.2 / 1.6); }, false},
        {"colour stage left out", [](double rgb[3]) {
             // Camera values taken as output values: the profile's saturation
             // and the scene's linear light both go missing.
             const double grey = (rgb[0] + rgb[1] + rgb[2]) / 3;
             for (int c = 0; c < 3; ++c)
                 rgb[c] = SrgbDecode(grey + (rgb[c] - grey) * 0.8);
         }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const SPatchReport report = Measure(Changed(developed, c.change));
        SCOPED_TRACE(report.Describe());
        const bool caught = report.maxColourDeltaE > kColourDeltaE || report.meanColourDeltaE > kMeanColourDeltaE ||
                            report.maxNeutralDeltaE > kNeutralDeltaE || report.maxNeutralError > kNeutralError;
        EXPECT_TRUE(caught);
        if (c.neutralCaught) {
            EXPECT_GT(report.maxNeutralError, kNeutralError);
        }
    }
}
