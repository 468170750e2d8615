// Pictures taken under other light than daylight: as-shot multipliers away
// from the synthetic camera's daylight pair. Their grey steps must come out
// grey in the preview and in the export, for a camera whose raw data the
// De-Bayer balances (258), for one that balances its mosaic itself (257)
// and for the signal-processing cameras (513, 516); and the bundled raw file
// that the develop command develops by default.
#include "DevelopEnvironment.h"
#include "DevelopedPatchesSupport.h"

#include "kelvra/KelvraFilterChain.h"
#include "params/TlvParamSet.h"
#include "pellio/PellioFormats.h"
#include "save/TlSaveImage.h"

#include <functional>

using namespace patches_test;

namespace {

constexpr long kWidth = 480;
constexpr long kHeight = 320;

class AsShotBalanceEndToEnd : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_environment.IsReady()); }

    SPatchReport Measure(const SampleGrid& grid, unsigned maxValue, long sceneWidth, long sceneHeight)
    {
        const CPatchTruth truth(m_environment.OutputProfile());
        EXPECT_TRUE(truth.IsReady());
        return MeasurePatches(grid, maxValue, CQrfScene(sceneWidth, sceneHeight),
                              CentredPlacement(sceneWidth, sceneHeight, grid.width, grid.height), truth);
    }
    // The preview the control shows, or its settings exported as an 8-bit
    // TIFF, of the raw file at `path`; `edit` (when given) changes the
    // control's settings first, as a host does before an update.
    SPatchReport Developed(const std::string& path, bool exported, long sceneWidth, long sceneHeight,
                           const std::function<void(CTlvQrfControl&)>& edit = nullptr)
    {
        SOpenedRaw opened = m_environment.Open(path);
        EXPECT_NE(nullptr, opened.control);
        if (opened.control == nullptr)
            return SPatchReport();
        CTlvQrfControl& control = *opened.control;
        IKelvraFilterChain* chain = nullptr;
        ExpectOk(control.GetFilterChain(&chain), "preview");
        if (edit) {
            edit(control);
            EXPECT_EQ(0u, control.Update(ITlvQrfData::eWhiteBalance, false, nullptr));
        }
        if (exported) {
            std::unique_ptr<CTlvParamSet> params(control.CreateParamSet());
            const std::string target = m_environment.Files().File("balanced.tif");
            EXPECT_EQ(0, SaveImageToFile(params.get(), target.c_str(), 0, kPellioFormatTiff, 0, false));
            return Measure(ReadImageFile(target).grid, 255, sceneWidth, sceneHeight);
        }
        if (chain == nullptr)
            return SPatchReport();
        KelvraPixelFormat format = 0;
        ExpectOk(chain->GetColorSpace(&format), "preview format");
        return Measure(ReadSampleGrid(chain), KelvraIs16Bit(format) ? 65535 : 255, sceneWidth, sceneHeight);
    }

    // A picture taken with `gains` by `model`, measured in its preview or
    // in its export.
    SPatchReport Develop(std::uint32_t model, QrfPattern pattern, const QrfGains& gains, bool exported,
                         const std::function<void(CTlvQrfControl&)>& edit = nullptr)
    {
        QrfRawOptions options = SceneOptions(kWidth, kHeight);
        options.model = model;
        options.pattern = pattern;
        options.gains = gains;
        return Developed(m_environment.WriteRaw("balance.qrf", options), exported, kWidth, kHeight, edit);
    }

    CDevelopEnvironment m_environment;
};

struct SBalanceCase {
    const char* name;
    std::uint32_t model;
    QrfPattern pattern;
    QrfGains gains;
    bool scenesColours; // the camera's profile renders the scene's colours
};

const SBalanceCase kCases[] = {
    {"258 daylight", 258, QrfPattern::RGGB, QrfGains{2.0, 1.5}, true},
    {"258 warm light", 258, QrfPattern::RGGB, QrfGains{1.75, 2.5}, true},
    {"258 cool light", 258, QrfPattern::GBRG, QrfGains{2.4, 1.2}, true},
    {"257 daylight", 257, QrfPattern::RGGB, QrfGains{2.0, 1.5}, false},
    {"257 warm light", 257, QrfPattern::RGGB, QrfGains{1.75, 2.5}, false},
    {"513 warm light", 513, QrfPattern::YCGM, QrfGains{1.75, 2.5}, false},
    {"516 warm light", 516, QrfPattern::BGGR, QrfGains{1.75, 2.5}, false},
};

void ExpectBalanced(const SPatchReport& report, bool scenesColours)
{
    SCOPED_TRACE(report.Describe());
    ASSERT_FALSE(report.patches.empty());
    EXPECT_LE(report.maxNeutralError, kNeutralError);
    if (scenesColours)
        ExpectPatchesWithinTolerance(report);
}

} // namespace

TEST_F(AsShotBalanceEndToEnd, PreviewAndExportKeepGreysGrey)
{
    for (const SBalanceCase& c : kCases) {
        SCOPED_TRACE(c.name);
        for (bool exported : {false, true}) {
            SCOPED_TRACE(exported ? "export" : "preview");
            ExpectBalanced(Develop(c.model, c.pattern, c.gains, exported), c.scenesColours);
        }
    }
}

// A white balance chosen in the settings is applied relative to the as-shot
// one: choosing the as-shot multipliers themselves changes nothing, whether
// the De-Bayer or the camera applied them.
TEST_F(AsShotBalanceEndToEnd, SettingsBalanceEqualToTheAsShotOneKeepsGreysGrey)
{
    for (const SBalanceCase& c : kCases) {
        if (c.model != 257 && c.model != 258)
            continue;
        SCOPED_TRACE(c.name);
        auto asShot = [&c](CTlvQrfControl& control) {
            control.whiteBalanceUsed = 1;
            control.whiteBalance.mode = CTlWhiteBalanceState::kModeGains;
            control.whiteBalance.firstGain = c.gains.red;
            control.whiteBalance.secondGain = c.gains.blue;
        };
        for (bool exported : {false, true}) {
            SCOPED_TRACE(exported ? "export" : "preview");
            ExpectBalanced(Develop(c.model, c.pattern, c.gains, exported, asShot), c.scenesColours);
        }
    }
}

// The develop command's default input, a 192 x 128 picture of model 258
// taken with multipliers 1.75 and 2.5.
TEST_F(AsShotBalanceEndToEnd, BundledRawFileDevelopsNeutral)
{
    const std::string bundled = std::string(TL_CONTROL_TESTDATA) + "gbrg-258-deflate.qrf";
    for (bool exported : {false, true}) {
        SCOPED_TRACE(exported ? "export" : "preview");
        ExpectBalanced(Developed(bundled, exported, 192, 128), true);
    }
}
