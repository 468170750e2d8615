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
    // The preview the control shows of the raw file at `path`.
    SPatchReport MeasurePreview(const std::string& path, long sceneWidth, long sceneHeight)
    {
        SOpenedRaw opened = m_environment.Open(path);
        EXPECT_NE(nullptr, opened.control);
        IKelvraFilterChain* chain = nullptr;
        if (opened.control != nullptr)
            ExpectOk(opened.control->GetFilterChain(&chain), "preview");
        if (chain == nullptr)
            return SPatchReport();
        KelvraPixelFormat format = 0;
        ExpectOk(chain->GetColorSpace(&format), "preview format");
        return Measure(ReadSampleGrid(chain), KelvraIs16Bit(format) ? 65535 : 255, sceneWidth, sceneHeight);
    }
    // The raw file at `path` exported as an 8-bit TIFF with the settings
    // the control starts with.
    SPatchReport MeasureExport(const std::string& path, long sceneWidth, long sceneHeight)
    {
        SOpenedRaw opened = m_environment.Open(path);
        EXPECT_NE(nullptr, opened.control);
        if (opened.control == nullptr)
            return SPatchReport();
        std::unique_ptr<CTlvParamSet> params(opened.control->CreateParamSet());
        const std::string target = m_environment.Files().File("balanced.tif");
        EXPECT_EQ(0, SaveImageToFile(params.get(), target.c_str(), 0, kPellioFormatTiff, 0, false));
        return Measure(ReadImageFile(target).grid, 255, sceneWidth, sceneHeight);
    }

    // A picture taken with `gains` by `model`, measured in its preview or
    // in its export.
    SPatchReport Develop(std::uint32_t model, QrfPattern pattern, const QrfGains& gains, bool exported)
    {
        QrfRawOptions options = SceneOptions(kWidth, kHeight);
        options.model = model;
        options.pattern = pattern;
        options.gains = gains;
        const std::string raw = m_environment.WriteRaw("balance.qrf", options);
        return exported ? MeasureExport(raw, kWidth, kHeight) : MeasurePreview(raw, kWidth, kHeight);
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

// The develop command's default input, a 192 x 128 picture of model 258
// taken with multipliers 1.75 and 2.5.
TEST_F(AsShotBalanceEndToEnd, BundledRawFileDevelopsNeutral)
{
    const std::string bundled = std::string(TL_CONTROL_TESTDATA) + "gbrg-258-deflate.qrf";
    ExpectBalanced(MeasurePreview(bundled, 192, 128), true);
    ExpectBalanced(MeasureExport(bundled, 192, 128), true);
}
