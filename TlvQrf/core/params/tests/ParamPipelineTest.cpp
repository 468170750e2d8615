// Every parameter operation in turn, on one parameter set per camera: a
// holder with every record in use and away from its neutral values, over
// the raw-file maker's synthetic picture of that camera. Each operation must
// succeed and leave results a chain can use.
#include "params/TlCurveTables.h"
#include "params/TlDeBayerSetup.h"
#include "params/TlDevelopParams.h"
#include "params/TlDevelopToneCurve.h"
#include "params/TlHueSaturationTables.h"
#include "params/TlLutTable.h"
#include "params/TlMoireLevel.h"
#include "params/TlNoiseStrength.h"
#include "params/TlOutputProfile.h"
#include "params/TlSaturationCompensation.h"
#include "params/TlSharpeningPresets.h"
#include "params/TlSmallPreview.h"
#include "params/TlToneLuts.h"
#include "params/TlVignetteParams.h"
#include "params/TlWhiteBalanceToneTables.h"

#include "DevelopTestSupport.h"
#include "NoiseVignetteTestRig.h"

#include "colour/TlWorkingProfiles.h"
#include "filters/debayer/TlDeBayerHQFilter.h"
#include "filters/moire/TlMoireFilter.h"
#include "filters/saturation/TlSaturationCompensationFilter.h"
#include "filters/vignette/TlVignetteFilter.h"
#include "filtrix/KelvraFilterCML.h"
#include "filtrix/KelvraFilterLut.h"
#include "filtrix/UnsharpMaskFilter.h"
#include "MakeProfiles/TlProfileMaker.h"
#include "settings/curves/TlLut.h"
#include "settings/curves/TlLutGroupDefaults.h"
#include "support/TempFolder.h"
#include "watcher/TlFileSavingUtilities.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

using namespace develop_test;
using namespace noise_vignette_test;

namespace {

// The cameras of the library's own development and the signal-processing
// ones (513 to 516).
const std::uint32_t kModels[] = {257, 258, 259, 260, 1025, 1026, 513, 516};

constexpr int kHueLevel = 5;          // neutral is 3
constexpr double kHighSaturation = 1.1;
constexpr int kNoiseStep = 5;         // factor 0.63
constexpr int kMoireLevel = 2;        // strength 25
constexpr int kCompensationLevel = 4;
constexpr std::uint16_t kVignettePercent = 60;
constexpr std::uint16_t kMixerSharpening = 2; // amount 20

CTlLut& Channel(CTlLutGroup& group, int id)
{
    auto* channel = dynamic_cast<CTlLut*>(group.Find(id));
    EXPECT_NE(channel, nullptr) << "channel " << id;
    return *channel;
}

// Every record in use, each with settings that change the picture.
void UseEveryRecord(CTlvSettingsHolder& holder, const std::string& outputProfile)
{
    holder.usmListUsed = holder.toneCurvesUsed = holder.brightnessContrastUsed = holder.lchUsed = 1;
    holder.adjustUsed = holder.whiteBalanceUsed = holder.tripleValueUsed = holder.vignetteUsed = 1;
    holder.redEyeUsed = holder.dustUsed = holder.revelationUsed = holder.flagsUsed = 1;
    holder.pluginsUsed = holder.chromaBoostUsed = holder.autoBrightnessUsed = 1;

    CTlUsmState usm;
    usm.value1 = 2; // one hue band
    usm.SetSharpening(40, 10, 3);
    holder.usmList.entries.push_back(usm);
    ASSERT_TRUE(TlSetDefaultChannels(holder.toneCurves, kTlLutGroupToneCurves));
    Channel(holder.toneCurves, 1).SetOutputLevels(0.1, 0.8);
    ASSERT_TRUE(TlSetDefaultChannels(holder.brightnessContrast, kTlLutGroupBrightnessContrast));
    Channel(holder.brightnessContrast, 2).SetBrightness(0.4);

    CTlAdjustState& adjust = holder.adjust;
    adjust.value = 0.7;
    adjust.SetToneMode(2);
    adjust.SetColourSpaceChoice(2);
    adjust.third = 4; // sharpening level
    adjust.firstFlag = 1;
    adjust.mode = kHueLevel;
    adjust.secondFlag = 1;
    adjust.extra = kCompensationLevel;
    adjust.fourth = 3; // high saturation

    holder.whiteBalance.mode = CTlWhiteBalanceState::kModeTemperature;
    holder.whiteBalance.preset = 256;
    holder.whiteBalance.temperature = 4500;
    holder.tripleValue.first = kNoiseStep;
    holder.tripleValue.second = kMoireLevel;
    holder.tripleValue.flag = true;
    holder.vignette.value = kVignettePercent;
    holder.general.values[2] = 1; // mixer on
    holder.general.values[3] = kMixerSharpening;
    holder.flip = 1;
    holder.angle = 90;
    holder.fineAngle = 1.5;
    holder.outputProfileUsed = 1;
    std::strncpy(holder.outputProfilePath, outputProfile.c_str(), kTlvPathSize - 1);
}

void ExpectRising(const STlLutTables& tables, std::size_t entries, const char* what)
{
    for (int c = 0; c < 3; ++c) {
        const std::uint16_t* table = tables.channel[c].get();
        ASSERT_NE(table, nullptr) << what;
        for (std::size_t i = 1; i < entries; ++i)
            ASSERT_LE(table[i - 1], table[i]) << what << ", channel " << c << ", entry " << i;
    }
}

void ExpectRising(const std::uint16_t* table, std::size_t entries, const char* what)
{
    ASSERT_NE(table, nullptr) << what;
    EXPECT_EQ(table[0], 0) << what;
    EXPECT_EQ(table[entries - 1], 65535) << what;
    for (std::size_t i = 1; i < entries; ++i)
        ASSERT_LE(table[i - 1], table[i]) << what << ", entry " << i;
}

bool FileExists(const char* path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

class ParamPipelineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(nullptr, TlWriteProfiles(m_folder.Path().c_str()));
        ResetWorkingProfiles();
        SetProfileFolder(m_folder.Path().c_str());
    }
    void TearDown() override { ResetWorkingProfiles(); }

    IKelvraManager* Manager() { return m_manager.manager; }

    // The tone stages: white balance and tone, curves, hue and saturation,
    // fixed toning and the gamma caches.
    void ExpectToneTables(const CTlvParamSet& params)
    {
        CKelvraFilterCML cml(Manager());
        CKelvraFilterLut lut(Manager());
        ExpectOk(SetWhiteBalanceToneLut(params, &cml, &lut, true), "white balance and tone");
        EXPECT_EQ(!params.IsSignalProcessingModel(), lut.HasTables()) << "cleared for the signal cameras only";
        STlLutTables tone;
        ExpectOk(BuildWhiteBalanceToneTables(params, tone), "white balance and tone tables");
        ExpectRising(tone, kTlvDevelopEntries, "white balance and tone");

        CKelvraFilterLut curves(Manager());
        EXPECT_TRUE(SetCurveLut(params.firstCurves, params.secondCurves, nullptr, &curves, false));
        EXPECT_EQ(3, curves.GetTableCount());
        STlLutTables curveTables;
        ASSERT_TRUE(BuildCurveTables(params.firstCurves, params.secondCurves, false, curveTables));
        ExpectRising(curveTables, 65536, "curves");

        int hue = -1;
        double saturation = -1.0;
        EXPECT_TRUE(GetHueSaturation(params, &hue, &saturation));
        EXPECT_EQ(kHueLevel, hue);
        EXPECT_DOUBLE_EQ(kHighSaturation, saturation);
        EXPECT_TRUE(SetHueSaturationLut(params, &cml, nullptr));
        STlLutTables hueTables;
        ASSERT_TRUE(BuildHueSaturationTables(hue, saturation, hueTables));
        hueTables.channel[2].reset(); // hue goes round the circle
        for (int c = 0; c < 2; ++c) {
            for (std::size_t i = 1; i < 65536; ++i)
                ASSERT_LE(hueTables.channel[c][i - 1], hueTables.channel[c][i]) << "channel " << c << " " << i;
        }

        CKelvraFilterLut toning(Manager());
        EXPECT_TRUE(SetFixedToneLut(&toning));
        CTlFileSavingUtilities watcher; // the started library's caches
        ExpectRising(GetSquareTable12(), CTlFileSavingUtilities::kGammaCacheEntries, "square cache");
        ExpectRising(GetRootTable12(), CTlFileSavingUtilities::kGammaCacheEntries, "root cache");
    }

    // The settings' profile, and without it the camera's.
    void ExpectOutputProfiles(CTlvParamSet& params)
    {
        char path[kTlvPathSize] = {};
        EXPECT_TRUE(GetOutputProfilePath(&params, path));
        EXPECT_EQ(m_folder.File("TLAdobe.icm"), path);
        params.outputProfileFlag = 0;
        std::memset(path, 0, sizeof path);
        EXPECT_TRUE(GetOutputProfilePath(&params, path));
        EXPECT_NE('\0', path[0]);
        EXPECT_TRUE(FileExists(path)) << path;
        params.outputProfileFlag = 1;
    }

    void ExpectSharpening(const CTlvParamSet& params)
    {
        CUnsharpMaskFilter camera(Manager());
        // The signal-processing cameras sharpen by themselves.
        const bool own = !params.IsSignalProcessingModel();
        EXPECT_EQ(own, ApplyCameraSharpening(&params, &camera, 1.0, 1.0));
        EXPECT_EQ(own, camera.IsEnabled());
        CUnsharpMaskFilter mixer(Manager());
        EXPECT_TRUE(ApplyMixerSharpening(&params, &mixer, 1.0, 1.0));
        EXPECT_TRUE(mixer.IsEnabled());
        EXPECT_NEAR(20 * 0.05, mixer.GetParams().power, 1e-12);
    }

    // Noise, moire, saturation compensation and vignette, each on a filter
    // in a small chain.
    void ExpectFilterSettings(const CTlvParamSet& params)
    {
        ErrorsReleased released;
        EXPECT_DOUBLE_EQ(0.63, GetNoiseStrengthFactor(params));

        FilterRig<CMoireFilter> moire;
        EXPECT_TRUE(SetMoireLevel(params, moire.filter));
        EXPECT_EQ(MoireStrengthForLevel(kMoireLevel), moire.filter.GetStrength());
        EXPECT_TRUE(moire.filter.IsEnabled());

        int level = -1;
        EXPECT_TRUE(GetSaturationCompensation(params, &level));
        EXPECT_EQ(kCompensationLevel, level);
        FilterRig<CSaturationCompensationFilter> saturation;
        EXPECT_TRUE(SetSaturationCompensation(params, saturation.filter));
        EXPECT_EQ(kCompensationLevel, saturation.filter.GetLevel());
        EXPECT_EQ(params.modelCode, saturation.filter.GetParameter());
        EXPECT_TRUE(saturation.filter.IsEnabled());

        FilterRig<CVignetteFilter> vignette;
        ExpectOk(SetVignetteParams(params, vignette.filter, 1.5), "vignette");
        EXPECT_TRUE(vignette.filter.IsEnabled());
        EXPECT_DOUBLE_EQ(kVignettePercent / 100.0, vignette.filter.GetStrength());
        EXPECT_EQ(1.5, vignette.filter.GetAspectScale());
        const double fNumber = vignette.filter.GetFNumber();
        EXPECT_TRUE(std::isfinite(fNumber) && fNumber > 0.0) << fNumber;
    }

    // The develop block, the De-Bayer set-up and a preview of what comes
    // out of the De-Bayer filter.
    void ExpectDevelopment(CTlvParamSet& params, SyntheticPicture& picture)
    {
        const bool signal = params.IsSignalProcessingModel();
        EXPECT_EQ(signal, UpdateDevelopParams(params, true, false));
        if (signal)
            ExpectOk(picture.Developed()->Update(), "development");

        CDeBayerHQFilter deBayer(Manager());
        ExpectOk(KelvraDataConnect(picture.Image(), &deBayer));
        EXPECT_TRUE(SetupDeBayer(&deBayer, params, 1));
        EXPECT_EQ(!signal, deBayer.IsEnabled()) << "developed pictures pass through";

        IKelvraImage* preview = nullptr;
        ExpectOk(Manager()->CreateImage(&preview, 0));
        EXPECT_TRUE(MakeSmallPreview(Manager(), &deBayer, preview));
        long width = 0, height = 0;
        KelvraPixelFormat format = 0;
        ExpectOk(preview->GetWidth(&width));
        ExpectOk(preview->GetHeight(&height));
        ExpectOk(preview->GetColorSpace(&format));
        EXPECT_EQ(kTlSmallPreviewSide, std::max(width, height));
        EXPECT_EQ(KelvraPixelFormat(kKelvraRGB8), format);
        const std::vector<unsigned> samples = ReadAllSamples(preview);
        EXPECT_NE(samples.end(), std::find_if(samples.begin(), samples.end(), [](unsigned s) { return s != 0; }))
            << "the picture came through";
        preview->Release();
        KelvraDataDisconnect(picture.Image(), &deBayer);
    }

    ManagerHolder m_manager;
    TempFolder m_folder;
};

} // namespace

TEST_F(ParamPipelineTest, EveryOperationTakesAFullSetOfEachCamera)
{
    for (std::uint32_t model : kModels) {
        SCOPED_TRACE(::testing::Message() << "model " << model);
        SyntheticPicture picture(Manager(), model);
        UseEveryRecord(picture.holder, m_folder.File("TLAdobe.icm"));
        std::unique_ptr<CTlvParamSet> params = picture.Params();

        EXPECT_TRUE(params->ReadImageTags());
        EXPECT_EQ(model, params->modelCode);
        EXPECT_TRUE(std::isfinite(params->asShotRed) && params->asShotRed > 0.0);
        EXPECT_TRUE(std::isfinite(params->asShotBlue) && params->asShotBlue > 0.0);
        // The signal cameras have no colour-space choice of their own.
        EXPECT_EQ(!params->IsSignalProcessingModel(), params->NormalizeForModel());
        const CTlWhiteBalanceState& balance = picture.holder.whiteBalance;
        EXPECT_TRUE(std::isfinite(balance.firstGain) && balance.firstGain > 0.0) << balance.firstGain;
        EXPECT_TRUE(std::isfinite(balance.secondGain) && balance.secondGain > 0.0) << balance.secondGain;
        ASSERT_NE(nullptr, params->Adjust());
        ASSERT_NE(nullptr, params->WhiteBalance());
        ASSERT_NE(nullptr, params->LevelTriple());
        ASSERT_NE(nullptr, params->Vignette());

        ExpectToneTables(*params);
        ExpectOutputProfiles(*params);
        ExpectSharpening(*params);
        ExpectFilterSettings(*params);
        ExpectDevelopment(*params, picture);
    }
}
