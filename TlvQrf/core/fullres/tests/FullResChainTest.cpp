// The full-resolution chain built for chosen settings over synthetic raw
// pictures: which stages stand in the chain and in which order, the sizes
// and crops they work at, and the colour conversions that leave the data in
// an output profile.
#include "colour/TlGeneratedProfileHolds.h"
#include "fullres/TlFullResColour.h"
#include "fullres/TlFullResSize.h"
#include "fullres/TlFullResState.h"
#include "fullres/TlProcessingChain.h"

#include "CameraTestSupport.h"
#include "colour/TlColourEngineManager.h"
#include "colour/TlWorkingProfiles.h"
#include "DevelopTestSupport.h"
#include "dustsynth/DustSynth.h"
#include "ErrorChainTestSupport.h"
#include "filters/channelmixer/TlChannelMixerFilter.h"
#include "filters/colornoise/TlColorNoiseReductionFilter.h"
#include "filters/debayer/TlDeBayerFilterBase.h"
#include "filters/debayer/TlDeBayerStdFilter.h"
#include "filters/dust/TlDustEngineFactory.h"
#include "filters/dust/TlDustFilter.h"
#include "settings/dust/TlDustEngineRegistry.h"
#include "filters/fineedge/TlFineEdgeFilter.h"
#include "filters/fisheye/TlFisheyeFilter.h"
#include "filters/moire/TlMoireFilter.h"
#include "filters/redeye/TlRedEyeFilter.h"
#include "filters/resolution/TlResolutionFilter.h"
#include "filters/revelation/TlRevelationFilter.h"
#include "filtrix/CropFilter.h"
#include "filtrix/KelvraFilterCML.h"
#include "filtrix/KelvraFilterColorSpace.h"
#include "filtrix/KelvraFilterLut.h"
#include "filtrix/KelvraFilterScale.h"
#include "filtrix/KelvraFilterTransform.h"
#include "filtrix/UnsharpMaskFilter.h"
#include "kelvra/KelvraFilterChain.h"
#include "LensTestSupport.h"
#include "MakeCalibration/TlCalibrationMaker.h"
#include "qrfsynth/QrfScene.h"
#include "settings/curves/TlLinearCurve.h"
#include "settings/curves/TlLut.h"
#include "settings/geometry/TlDblRect.h"
#include "watcher/TlFileSavingUtilities.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace develop_test;

namespace {

// A short name per stage kind, enough to tell the chain's order.
std::string KindOf(IKelvraFilter* filter)
{
    if (dynamic_cast<CResolutionFilter*>(filter))
        return "resolution";
    if (dynamic_cast<CDeBayerFilterBase*>(filter))
        return "debayer";
    if (dynamic_cast<CKelvraFilterLut*>(filter))
        return "lut";
    if (dynamic_cast<CKelvraFilterCML*>(filter))
        return "colour";
    if (dynamic_cast<CKelvraFilterScale*>(filter))
        return "scale";
    if (dynamic_cast<CKelvraFilterColorSpace*>(filter))
        return "colourspace";
    if (dynamic_cast<CKelvraFilterTransform*>(filter))
        return "transform";
    if (dynamic_cast<CUnsharpMaskFilter*>(filter))
        return "usm";
    if (dynamic_cast<CMoireFilter*>(filter))
        return "moire";
    if (dynamic_cast<CColorNoiseReductionFilter*>(filter))
        return "colournoise";
    if (dynamic_cast<CFineEdgeFilter*>(filter))
        return "fineedge";
    if (dynamic_cast<CRevelationFilter*>(filter))
        return "Revelation";
    if (dynamic_cast<CRedEyeFilter*>(filter))
        return "redeye";
    if (dynamic_cast<CChannelMixerFilter*>(filter))
        return "mixer";
    if (dynamic_cast<CCropFilter*>(filter))
        return "crop";
    return filter->GetFilterName();
}

std::vector<std::string> StagesOf(IKelvraFilterChain* chain)
{
    std::vector<std::string> kinds;
    for (long i = 0; chain != nullptr && i < chain->GetFilterCount(); ++i)
        kinds.push_back(KindOf(chain->GetFilter(i)));
    return kinds;
}

class FullResChainTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.IsReady());
        camera_test::WriteCameraData(m_folder);
        for (const char* name : {"TLLab.icm", "TLLch2.icm", "TLAdobe.icm", "TLGrayG22.icm"})
            m_folder.Write(name, camera_test::ProfileBytes(name));
        SetProfileFolder(m_folder.Path().c_str());
        SetGeneratedProfilePrefix("Tlb_");
        const std::string srgb = m_folder.Path() + "TLsRGB.icm";
        SetWorkingProfiles(srgb.c_str(), srgb.c_str(), nullptr, srgb.c_str(), nullptr);
        ReleaseFullResState();
        FullResState().channelLayout = 0;
    }
    void TearDown() override
    {
        ReleaseFullResState();
        ReleaseGeneratedProfileHolds(); // as the library's close: the profiles folder can go
    }

    IKelvraManager* Manager() { return m_manager.manager; }

    // Builds for the picture's settings as they stand; the stage kinds.
    std::vector<std::string> Build(SyntheticPicture& picture, int expected = kTlChainComplete, bool reduced = false,
                                   long longSide = 0)
    {
        ReleaseFullResState();
        std::unique_ptr<CTlvParamSet> params = picture.Params();
        params->ReadImageTags();
        EXPECT_EQ(expected, BuildProcessingChain(Manager(), *params, reduced, 1.0, longSide));
        return StagesOf(FullResState().chain);
    }

    TempProfilesFolder m_folder;
    ManagerHolder m_manager;
    CTlFileSavingUtilities m_watcher; // the colour engines and the gamma caches
};

using Stages = std::vector<std::string>;

} // namespace

TEST_F(FullResChainTest, PlainRawPictureIsDevelopedIntoTheOutputProfile)
{
    SyntheticPicture picture(Manager(), 258);
    // The raw tones leave in the output profile even with the flag clear.
    EXPECT_EQ((Stages{"resolution", "debayer", "lut", "lut", "colour", "colourspace"}), Build(picture));
    EXPECT_NE(nullptr, FullResState().destination);
    EXPECT_TRUE(FullResState().hasTarget);
    EXPECT_EQ(m_folder.Path() + "TLsRGB.icm", FullResState().targetProfile);
}

TEST_F(FullResChainTest, ColourSpaceStageOnlyForColourLayoutsOrReducedMode)
{
    const struct {
        int layout;
        bool reduced;
        bool colourSpace;
    } cases[] = {{0, false, true}, {3, false, true}, {1, false, false}, {4, false, false}, {1, true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.layout << (c.reduced ? " reduced" : ""));
        SyntheticPicture picture(Manager(), 258);
        FullResState().channelLayout = c.layout;
        const Stages stages = Build(picture, kTlChainComplete, c.reduced, 100000);
        EXPECT_EQ(c.colourSpace, stages.back() == "colourspace");
    }
}

TEST_F(FullResChainTest, AnalysisStagesDecideTheToneTables)
{
    const struct {
        const char* name;
        int noise, moire;
        bool fineEdge;
        Stages stages;
    } cases[] = {
        {"moire alone", 0, 2, false,
         {"resolution", "debayer", "moire", "lut", "lut", "colour", "colourspace"}},
        {"colour noise", 4, 0, false,
         {"resolution", "debayer", "lut", "lut", "colour", "colournoise", "colour", "colourspace"}},
        {"moire and colour noise", 3, 1, false,
         {"resolution", "debayer", "moire", "lut", "lut", "colour", "colournoise", "colour", "colourspace"}},
        {"fine edge", 0, 0, true,
         {"resolution", "debayer", "lut", "lut", "fineedge", "colour", "colourspace"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SyntheticPicture picture(Manager(), 258);
        picture.holder.tripleValueUsed = 1;
        picture.holder.tripleValue.first = c.noise;
        picture.holder.tripleValue.second = c.moire;
        picture.holder.tripleValue.flag = c.fineEdge;
        EXPECT_EQ(c.stages, Build(picture));
    }
}

TEST_F(FullResChainTest, RevelationReplacesTheFirstSquareTable)
{
    SyntheticPicture picture(Manager(), 258);
    picture.holder.revelationUsed = 1;
    picture.holder.revelation.first = 60;
    EXPECT_EQ((Stages{"resolution", "debayer", "Revelation", "lut", "lut", "colour", "colourspace"}),
              Build(picture));
    EXPECT_EQ(60, FullResState().revelationShare);
    EXPECT_EQ(0, FullResState().dustShare);
    // The release takes the save's watcher off the filter it watched.
    ReleaseFullResState();
    EXPECT_EQ(nullptr, FullResState().watched);
}

// With the library's dust engines an export analyses a dust reference of the
// picture's camera and lens (35, f/5.6 on the synthetic pictures) and runs
// the dust filter with the map's mask.
TEST_F(FullResChainTest, DustReferenceIsAnalysedForTheExport)
{
    IDustEngineFactory* previous = SetDustEngineFactory(GetLibraryDustEngines());
    SyntheticPicture picture(Manager(), 258);
    const std::vector<unsigned char> reference = dust_synth::GridReferenceRecord(180, 116, 258, 35, 60);
    picture.holder.dustUsed = 1;
    ASSERT_TRUE(picture.holder.dust.SetData(reference.data(), reference.size()));
    const Stages stages = Build(picture);
    EXPECT_NE(stages.end(), std::find(stages.begin(), stages.end(), "Image Motefree"));
    IDustMap* map = picture.holder.dust.GetDustMap();
    ASSERT_NE(nullptr, map);
    EXPECT_NE(nullptr, map->GetCorrectionMask());
    ReleaseFullResState();
    SetDustEngineFactory(previous);
}

TEST_F(FullResChainTest, RedEyeFollowsTheToneTableAndSharesTheProgress)
{
    SyntheticPicture picture(Manager(), 258);
    picture.holder.redEyeUsed = 1;
    picture.holder.redEye.value = 1;
    picture.holder.revelationUsed = 1;
    picture.holder.revelation.first = 60;
    EXPECT_EQ((Stages{"resolution", "debayer", "Revelation", "lut", "lut", "redeye", "colour", "colourspace"}),
              Build(picture));
    EXPECT_EQ(40, FullResState().redEyeShare);
    EXPECT_EQ(40, FullResState().revelationShare);
    EXPECT_EQ(0, FullResState().dustShare);
}

TEST_F(FullResChainTest, ReducedRenditionScalesOnlyWhenSmaller)
{
    const struct {
        long longSide;
        long scales;
    } cases[] = {{100000, 0}, {60, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.longSide);
        SyntheticPicture picture(Manager(), 258);
        const Stages stages = Build(picture, kTlChainComplete, true, c.longSide);
        EXPECT_EQ(c.scales, std::count(stages.begin(), stages.end(), "scale"));
        // A rendition takes the quick De-Bayer.
        bool standard = false;
        for (const auto& filter : FullResState().filters)
            standard = standard || dynamic_cast<CDeBayerStdFilter*>(filter.get()) != nullptr;
        EXPECT_TRUE(standard);
    }
}

// The raw-processing image reports its development to the save only while
// the build runs, whether the build succeeds or fails.
TEST_F(FullResChainTest, DevelopmentObserverIsRemovedOnEveryPath)
{
    for (int result : {int(kTlChainComplete), 27}) {
        SCOPED_TRACE(result);
        SyntheticPicture picture(Manager(), 513);
        ASSERT_NE(nullptr, picture.Developed());
        if (result != kTlChainComplete) {
            picture.holder.chromaBoostUsed = 1;
            picture.holder.chromaBoost.amount = 40;
        }
        Build(picture, result);
        EXPECT_EQ(nullptr, picture.Developed()->GetObserver());
    }
}

// A smaller output scales right after the development, before the colour
// work; the stretch of the half-height camera goes along with it.
TEST_F(FullResChainTest, ScaledDownOutputGetsTheMainScale)
{
    for (std::uint32_t model : {258u, 259u}) {
        SCOPED_TRACE(model);
        SyntheticPicture picture(Manager(), model);
        STlSize size;
        {
            std::unique_ptr<CTlvParamSet> params = picture.Params();
            params->ReadImageTags();
            ASSERT_TRUE(GetOutputSize(*params, &size));
        }
        picture.holder.geometry.ResizeToImage(int(size.width), int(size.height));
        ASSERT_EQ(0, picture.holder.geometry.SetScale(0.5));
        const Stages stages = Build(picture);
        EXPECT_EQ((Stages{"resolution", "debayer", "lut", "lut", "scale", "colour", "colourspace"}), stages);
    }
}

// The tonal stages after the colour work: auto brightness reads the
// histogram stage in front of it; the mixer's second kind adds its toning
// table.
TEST_F(FullResChainTest, LateTonalStagesInTheirOrder)
{
    using Setup = void (*)(CTlvSettingsHolder&);
    const struct {
        const char* name;
        Setup setup;
        Stages tail;
    } cases[] = {
        {"auto brightness", [](CTlvSettingsHolder& h) { h.autoBrightness.exposureCompensation = 0.5; },
         {"colour", "Histogram", "Auto Brightness", "colourspace"}},
        {"mixer", [](CTlvSettingsHolder& h) { h.general.values[2] = 1; }, {"colour", "mixer", "colourspace"}},
        {"mixer with toning", [](CTlvSettingsHolder& h) { h.general.values[2] = 2; },
         {"colour", "mixer", "lut", "colourspace"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SyntheticPicture picture(Manager(), 258);
        c.setup(picture.holder);
        const Stages stages = Build(picture);
        ASSERT_GE(stages.size(), c.tail.size());
        EXPECT_EQ(c.tail, Stages(stages.end() - std::ptrdiff_t(c.tail.size()), stages.end()));
    }
}

TEST_F(FullResChainTest, VerticalStretchIsAppliedExactlyOnce)
{
    const struct {
        std::uint32_t model;
        long scales;
    } cases[] = {{258, 0}, {259, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.model);
        SyntheticPicture picture(Manager(), c.model);
        const Stages stages = Build(picture);
        EXPECT_EQ(c.scales, std::count(stages.begin(), stages.end(), "scale"));
    }
}

TEST_F(FullResChainTest, CropStandsAfterTheToneTable)
{
    SyntheticPicture picture(Manager(), 258);
    picture.holder.geometry.SetCropRect(20.0, 10.0, 120.0, 90.0, 0);
    const Stages stages = Build(picture);
    ASSERT_GE(stages.size(), 5u);
    EXPECT_EQ("crop", stages[4]);
}

TEST_F(FullResChainTest, SharpeningListGivesAtMostSevenStages)
{
    SyntheticPicture picture(Manager(), 258);
    picture.holder.usmListUsed = 1;
    for (int i = 0; i < 9; ++i)
        picture.holder.usmList.entries.push_back(CTlUsmState());
    const Stages stages = Build(picture);
    EXPECT_EQ(7, std::count(stages.begin(), stages.end(), "usm"));
    // The list needs the LCh stage before it and the output stage after it.
    const auto firstUsm = std::find(stages.begin(), stages.end(), "usm");
    ASSERT_NE(stages.end(), firstUsm);
    EXPECT_EQ("colour", *(firstUsm - 1));
    EXPECT_EQ("colour", *(firstUsm + 7));
}

TEST_F(FullResChainTest, RotationAndFlipAddTheTransformAfterTheOutputColour)
{
    SyntheticPicture picture(Manager(), 258);
    picture.holder.angle = 90;
    const Stages stages = Build(picture);
    ASSERT_GE(stages.size(), 3u);
    EXPECT_EQ("colour", stages[stages.size() - 3]);
    EXPECT_EQ("transform", stages[stages.size() - 2]);
}

TEST_F(FullResChainTest, EmptyColourTableIsNeverWrittenPast)
{
    STlFullResState& state = FullResState();
    state.colourStageCount = kTlColourStageSlots;
    SyntheticPicture picture(Manager(), 258);
    std::unique_ptr<CTlvParamSet> params = picture.Params();
    long bits = 16;
    bool appended = true;
    CKelvraFilterCML* made = nullptr;
    const std::string target = m_folder.Path() + "TLLab.icm";
    EXPECT_EQ(3, AppendColourStage(Manager(), *params, {target.c_str(), 16}, &bits, &appended, &made));
    EXPECT_FALSE(appended);
    EXPECT_EQ(nullptr, made);
    EXPECT_EQ(kTlColourStageSlots, state.colourStageCount);
}

TEST(FullResSize, CropRectanglesKeepAtLeastOnePixel)
{
    const struct {
        CTlDblRect crop; // top, left, bottom, right
        double scale, stretch;
        KelvraRect rect;
    } cases[] = {
        {CTlDblRect(0, 0, 200, 300), 1.0, 1.0, {0, 0, 150, 100}},
        {CTlDblRect(20, 10, 220, 310), 0.5, 1.0, {2, 5, 77, 55}},
        {CTlDblRect(0, 0, 200, 300), 1.0, 2.0, {0, 0, 150, 50}},
        // Halved widths that truncate to nothing.
        {CTlDblRect(0, 0, 1, 1), 1.0, 1.0, {0, 0, 1, 1}},
        {CTlDblRect(40, 40, 41, 41), 1.0, 1.0, {19, 19, 20, 20}},
    };
    for (const auto& c : cases) {
        const KelvraRect rect = CropRectFor(c.crop, c.scale, c.stretch);
        EXPECT_EQ(c.rect.left, rect.left);
        EXPECT_EQ(c.rect.top, rect.top);
        EXPECT_EQ(c.rect.right, rect.right);
        EXPECT_EQ(c.rect.bottom, rect.bottom);
    }
}

TEST(FullResSize, ReducedRenditionsScaleTheLongerSide)
{
    const struct {
        STlSize base;
        long longSide;
        STlSize output;
        double finalScale;
    } cases[] = {
        {{4000, 3000}, 400, {400, 300}, 0.1},
        {{3000, 4000}, 400, {300, 400}, 0.1},
        {{300, 200}, 1000, {7, 9}, 1.0}, // larger than the picture: output stays
        {{0, 0}, 100, {7, 9}, 1.0},
    };
    for (const auto& c : cases) {
        const STlReducedSize reduced = ReducedSize(c.base, c.longSide, {7, 9});
        EXPECT_EQ(c.output.width, reduced.output.width);
        EXPECT_EQ(c.output.height, reduced.output.height);
        EXPECT_DOUBLE_EQ(c.finalScale, reduced.finalScale);
    }
}

TEST_F(FullResChainTest, DevelopedSizeAndStretchByCamera)
{
    const struct {
        std::uint32_t model;
        STlSize size;
        double stretch;
    } cases[] = {
        {258, {180, 116}, 1.0},
        {259, {4016, 2616}, 2616.0 / 1312.0},
        {260, {2464, 1632}, 1.0},
        {1025, {3008, 2000}, 1.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.model);
        SyntheticPicture picture(Manager(), c.model);
        std::unique_ptr<CTlvParamSet> params = picture.Params();
        params->ReadImageTags();
        STlSize size;
        ASSERT_TRUE(GetOutputSize(*params, &size));
        EXPECT_EQ(c.size.width, size.width);
        EXPECT_EQ(c.size.height, size.height);
        EXPECT_DOUBLE_EQ(c.stretch, PendingStretch(*params));
    }
}

// The whole chain run over the synthetic picture: the scene's neutral steps
// come out neutral.
TEST_F(FullResChainTest, NeutralPatchesStayNeutral)
{
    const long width = 480, height = 320;
    SyntheticPicture picture(Manager(), 258, width, height);
    ASSERT_EQ((Stages{"resolution", "debayer", "lut", "lut", "colour", "colourspace"}), Build(picture));
    STlFullResState& state = FullResState();
    RunProcess(*state.chain, picture.Image(), state.destination);
    const SampleGrid grid = ReadSampleGrid(state.destination);
    ASSERT_EQ(3, grid.planes);
    // The De-Bayer stage keeps all but a six-pixel border.
    const long border = (width - grid.width) / 2;
    int neutral = 0;
    int darker = -1;
    const CQrfScene scene(width, height);
    for (const QrfPatch& patch : scene.Patches()) {
        if (!(patch.colour.r == patch.colour.g && patch.colour.g == patch.colour.b))
            continue;
        ++neutral;
        const long x = (patch.rect.left + patch.rect.right) / 2 - border;
        const long y = (patch.rect.top + patch.rect.bottom) / 2 - border;
        const int r = int(grid.At(x, y, 0)), g = int(grid.At(x, y, 1)), b = int(grid.At(x, y, 2));
        SCOPED_TRACE(::testing::Message() << "patch at " << x << ", " << y << ": " << r << " " << g << " " << b);
        const int tolerance = 3 + g / 25;
        EXPECT_LE(std::abs(r - g), tolerance);
        EXPECT_LE(std::abs(b - g), tolerance);
        // The steps, left to right, grow lighter.
        EXPECT_GT(g, darker);
        darker = g;
    }
    EXPECT_GT(neutral, 1);
}

// A developed RGB source: colour stages only where something changes, and
// data that went through Lab always comes back to an output profile.
TEST_F(FullResChainTest, ProcessedSourceGetsTheOutputStageItNeeds)
{
    const struct {
        const char* name;
        int noise;
        const char* outputProfile; // null: the flag clear
        Stages stages;
    } cases[] = {
        {"nothing to do", 0, nullptr, {"resolution"}},
        {"colour noise, flag clear", 5, nullptr, {"resolution", "colour", "colournoise", "colour"}},
        {"output profile the source is in", 0, "TLsRGB.icm", {"resolution"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PellioTagsPtr tags = raw_test::MakeTags();
        IKelvraImage* image = MakePatternImage(Manager(), 64, 48, kKelvraRGB8);
        CTlvSettingsHolder holder;
        holder.images.image = image;
        holder.images.tags = tags.get();
        holder.tripleValueUsed = 1;
        holder.tripleValue.first = c.noise;
        if (c.outputProfile != nullptr) {
            holder.outputProfileUsed = 1;
            const std::string path = m_folder.Path() + c.outputProfile;
            std::snprintf(holder.outputProfilePath, sizeof holder.outputProfilePath, "%s", path.c_str());
        }
        ReleaseFullResState();
        {
            CTlvParamSet params(holder);
            EXPECT_EQ(kTlChainComplete, BuildProcessingChain(Manager(), params, false, 1.0, 0));
        }
        EXPECT_EQ(c.stages, StagesOf(FullResState().chain));
        ReleaseFullResState();
        holder.images.image = nullptr;
        holder.images.tags = nullptr;
        image->Release();
    }
}

// The chroma booster and the LCH curves stand after the LCh stage once their
// calibration loads; without the file the build ends with the
// calibration's result.
TEST_F(FullResChainTest, LchFiltersNeedTheirCalibration)
{
    using Setup = void (*)(CTlvSettingsHolder&);
    const Setup boost = [](CTlvSettingsHolder& holder) {
        holder.chromaBoostUsed = 1;
        holder.chromaBoost.amount = 40;
    };
    const Setup curves = [](CTlvSettingsHolder& holder) {
        holder.lchUsed = 1;
        CTlLut* lightness = holder.lch.AddLut(1, {1, 1, 1}, {0, 0, 0}, {1, 1, 1});
        ASSERT_NE(nullptr, lightness);
        lightness->AddPoint(0.5, 0.25);
    };
    const struct {
        const char* name;
        Setup setup;
        const char* file;
        const char* stage;
        bool calibration;
        bool malformed;
        int result;
    } cases[] = {
        {"booster, no file", boost, kTlChromaBoostCalibrationFile, "Chroma Booster filter", false, false, 27},
        {"booster", boost, kTlChromaBoostCalibrationFile, "Chroma Booster filter", true, false, kTlChainComplete},
        {"booster, malformed", boost, kTlChromaBoostCalibrationFile, "Chroma Booster filter", true, true, 28},
        {"curves, no file", curves, kTlLchCalibrationFile, "LCH editor filter", false, false, 25},
        {"curves", curves, kTlLchCalibrationFile, "LCH editor filter", true, false, kTlChainComplete},
        {"curves, malformed", curves, kTlLchCalibrationFile, "LCH editor filter", true, true, 26},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempProfilesFolder folder;
        ASSERT_TRUE(folder.IsReady());
        camera_test::WriteCameraData(folder);
        for (const char* name : {"TLLab.icm", "TLLch2.icm"})
            folder.Write(name, camera_test::ProfileBytes(name));
        SetProfileFolder(folder.Path().c_str());
        if (c.malformed) {
            folder.Write(c.file, "not a calibration");
        } else if (c.calibration) {
            ASSERT_TRUE(TlWriteCalibrationFile(folder.Path() + c.file, TlNeutralCalibration()));
        }
        SyntheticPicture picture(Manager(), 258);
        c.setup(picture.holder);
        const Stages stages = Build(picture, c.result);
        const auto filter = std::find(stages.begin(), stages.end(), c.stage);
        if (c.result == kTlChainComplete) {
            ASSERT_NE(stages.end(), filter);
            EXPECT_EQ("colour", *(filter - 1));
        } else {
            EXPECT_EQ(stages.end(), filter);
            EXPECT_EQ("colour", stages.back());
        }
    }
}

// The fisheye stage's lens refusals: 23 when the lens file was rejected,
// 22 for every other failure, whatever wraps the cause.
TEST_F(FullResChainTest, FisheyeLensRefusalsGiveTheirResults)
{
    const int results[] = {22, 22, 23, kTlChainComplete}; // by kLensSetUps
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(kLensSetUps[i].name);
        SyntheticPicture picture(Manager(), 258);
        ApplyLensSetUp(kLensSetUps[i], m_folder, picture);
        picture.holder.flagsUsed = 1;
        const Stages stages = Build(picture, results[i]);
        EXPECT_EQ(results[i] == kTlChainComplete, std::count(stages.begin(), stages.end(), "Fisheye Test Filter") == 1)
            << ::testing::PrintToString(stages);
    }
}

// A failed build hands its caller the stage it failed at, with the error
// the failing filter or colour engine gives when asked directly innermost.
TEST_F(FullResChainTest, AFailedBuildNamesTheStageAndKeepsTheFiltersError)
{
    using Expected = IKelvraError* (*)(IKelvraManager*, const std::string& folder, SyntheticPicture&);
    const Expected lensError = [](IKelvraManager* manager, const std::string&, SyntheticPicture& picture) {
        CFisheyeFilter direct(manager);
        return direct.SetLens(&picture.Tags());
    };
    const struct {
        const char* name;
        int lensSetUp;  // index into kLensSetUps, -1 for none
        bool noLabProfile;
        int result;
        const char* text;
        Expected expected;
    } cases[] = {
        {"lens not supported", 0, false, kTlChainLensFailed, "at the fisheye correction (22)", lensError},
        {"no lens file", 1, false, kTlChainLensFailed, "at the fisheye correction (22)", lensError},
        {"lens file rejected", 2, false, kTlChainLensUnknown, "at the fisheye correction (23)", lensError},
        {"Lab profile missing", -1, true, kTlChainColourFailed, "at the Lab colour stage (20)",
         [](IKelvraManager*, const std::string& folder, SyntheticPicture&) {
             CCMLEngMgr::CReference engine;
             IKelvraError* why = nullptr;
             EXPECT_FALSE(RequestEngine(engine, (folder + "TLLch2.icm").c_str(), (folder + "TLLab.icm").c_str(), &why));
             return why;
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SyntheticPicture picture(Manager(), 258);
        if (c.lensSetUp >= 0) {
            ApplyLensSetUp(kLensSetUps[c.lensSetUp], m_folder, picture);
            picture.holder.flagsUsed = 1;
        }
        if (c.noLabProfile) {
            ASSERT_TRUE(DeleteFileA((m_folder.Path() + "TLLab.icm").c_str()));
            picture.holder.tripleValueUsed = 1;
            picture.holder.tripleValue.first = 5;
        }
        ReleaseFullResState();
        std::unique_ptr<CTlvParamSet> params = picture.Params();
        params->ReadImageTags();
        IKelvraError* failure = nullptr;
        EXPECT_EQ(c.result, BuildProcessingChain(Manager(), *params, false, 1.0, 0, &failure));
        IKelvraError* expected = c.expected(Manager(), m_folder.Path(), picture);
        ASSERT_NE(nullptr, failure);
        EXPECT_TRUE(error_chain_test::ChainMentions(failure, c.text));
        EXPECT_TRUE(error_chain_test::SameCause(failure, expected));
        if (c.noLabProfile) {
            EXPECT_TRUE(error_chain_test::ChainMentions(failure, "Missing CMS Engine"));
        }
        IKelvraError::Release(expected);
        IKelvraError::Release(failure);
    }
    SyntheticPicture plain(Manager(), 258);
    ReleaseFullResState();
    std::unique_ptr<CTlvParamSet> params = plain.Params();
    params->ReadImageTags();
    IKelvraError* failure = nullptr;
    EXPECT_EQ(kTlChainComplete, BuildProcessingChain(Manager(), *params, false, 1.0, 0, &failure));
    EXPECT_EQ(nullptr, failure) << "a complete build leaves none";
}
