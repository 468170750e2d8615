// The preview update on chains built on the raw-file maker's synthetic
// pictures: which change bit switches which slots, what mode 1 and an empty
// mask touch, how the view scale is split over the scale stages, and the
// failures with their codes.
#include "PreviewUpdateTestSupport.h"

#include "ErrorChainTestSupport.h"
#include "LensTestSupport.h"

#include "dustsynth/DustSynth.h"
#include "filters/debayer/TlDeBayerFilterBase.h"
#include "filters/dust/TlDustEngineFactory.h"
#include "filters/dust/TlDustFilter.h"
#include "filters/fisheye/TlFisheyeFilter.h"
#include "filters/sigcore/TlSigProcImage.h"
#include "filters/visualcrop/TlVisualCropFilter.h"
#include "filtrix/CropFilter.h"
#include "filtrix/KelvraFilterScale.h"
#include "kelvra/KelvraData.h"
#include "raw/TlRawFormat.h"
#include "settings/curves/TlLut.h"
#include "settings/curves/TlLinearCurve.h"
#include "settings/curves/TlLutGroupDefaults.h"
#include "settings/dust/TlDustEngineRegistry.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace TlChainSlots;
using Setup = std::function<void(CTlvSettingsHolder&)>;

void HalveRedCurve(CTlvSettingsHolder& holder)
{
    TlSetDefaultChannels(holder.toneCurves, kTlLutGroupToneCurves);
    auto* red = dynamic_cast<CTlLut*>(holder.toneCurves.Find(1));
    ASSERT_NE(red, nullptr);
    red->SetOutputLevels(0.0, 0.5);
}

// Settings that switch on a filter of each bit-guarded step.
const struct {
    const char* name;
    std::uint32_t bit;
    std::uint32_t guards; // every bit that touches the slots
    Setup setup;
    std::vector<int> slots;
} kBitCases[] = {
    {"tone curves", TlChange::kFirstCurves, TlChange::kFirstCurves, HalveRedCurve, {kSecondCurveLut}},
    {"quarter turn", TlChange::kRotation, TlChange::kRotation, [](CTlvSettingsHolder& h) { h.angle = 90; }, {kTransform}},
    {"vignette", TlChange::kVignette, TlChange::kVignette, [](CTlvSettingsHolder& h) { h.vignetteUsed = 1; }, {kVignette}},
    {"mixer kind 2", TlChange::kMixer, TlChange::kMixer, [](CTlvSettingsHolder& h) { h.general.values[2] = 2; }, {kMixer, kFixedToneLut}},
    {"Revelation", TlChange::kRevelation, TlChange::kRevelation, [](CTlvSettingsHolder& h) { h.revelationUsed = 1; }, {kRevelation}},
    {"chroma boost", TlChange::kChromaBoost, TlChange::kChromaBoost, [](CTlvSettingsHolder& h) { h.chromaBoost.amount = 40; }, {kChromaBoost}},
    {"LCH curves", TlChange::kLchCurves, TlChange::kLchCurves, BendLightness, {kLch}},
    {"auto brightness", TlChange::kAutoBrightness, TlChange::kAutoBrightness,
     [](CTlvSettingsHolder& h) { h.autoBrightness.exposureCompensation = 0.5; }, {kAutoBrightness}},
    {"manual red-eye", TlChange::kRedEye, TlChange::kRedEye, [](CTlvSettingsHolder& h) { h.redEye.value = 2; },
     {kRedEye}},
    {"moire and fine edge", TlChange::kDetail, TlChange::kDetail | TlChange::kScale,
     [](CTlvSettingsHolder& h) {
         h.tripleValue.second = 2;
         h.tripleValue.flag = true;
     },
     {kMoire, kFineEdge}},
};

class ChainUpdate : public PreviewUpdateFixture {};

} // namespace

// A setting takes effect with its own bit and not with any other.
TEST_F(ChainUpdate, EachChangeBitSwitchesItsSlots)
{
    for (const auto& c : kBitCases) {
        Built(0);
        ASSERT_EQ(0, Update(TlChange::kAll)) << c.name;
        for (int slot : c.slots)
            ASSERT_FALSE(IsOn(slot)) << c.name << " slot " << slot;
        c.setup(Holder());
        ASSERT_EQ(0, Update(TlChange::kAll & ~c.guards)) << c.name;
        for (int slot : c.slots)
            EXPECT_FALSE(IsOn(slot)) << c.name << ": other bits leave slot " << slot;
        ASSERT_EQ(0, Update(c.bit)) << c.name;
        for (int slot : c.slots)
            EXPECT_TRUE(IsOn(slot)) << c.name << ": its bit switches slot " << slot;
    }
}

// The switches that come with the call rather than the settings: the
// lost-detail display and the grid, each with its own bit only.
TEST_F(ChainUpdate, LostDetailAndGridFollowTheirBits)
{
    Built(0);
    ASSERT_EQ(0, Update(TlChange::kAll));
    tweak = [](CTlvParamSet& params) { params.showLostShadows = 1; };
    grid = true;
    ASSERT_EQ(0, Update(TlChange::kAll & ~(TlChange::kLostDetail | TlChange::kGrid)));
    EXPECT_FALSE(IsOn(kLostDetail));
    EXPECT_FALSE(IsOn(kGrid));
    ASSERT_EQ(0, Update(TlChange::kLostDetail | TlChange::kGrid));
    EXPECT_TRUE(IsOn(kLostDetail));
    EXPECT_TRUE(IsOn(kGrid));
    tweak = nullptr;
    grid = false;
    ASSERT_EQ(0, Update(TlChange::kLostDetail | TlChange::kGrid));
    EXPECT_FALSE(IsOn(kLostDetail));
    EXPECT_FALSE(IsOn(kGrid));
}

// The lens set-up's failures: a rejected lens file gives 12, every other
// refusal 11, however deeply the filter wraps the cause; the filter stays
// off until a lens is set up.
TEST_F(ChainUpdate, FisheyeLensFailuresGiveTheirCodes)
{
    using namespace TlUpdateCode;
    const int codes[] = {kLensFailed, kLensFailed, kLensUnknown, kDone}; // by kLensSetUps
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(develop_test::kLensSetUps[i].name);
        Built(0);
        develop_test::ApplyLensSetUp(develop_test::kLensSetUps[i], Folder(), *picture);
        ASSERT_EQ(0, Update(TlChange::kAll));
        Holder().flagsUsed = 1;
        EXPECT_EQ(codes[i], Update(TlChange::kFisheye));
        EXPECT_EQ(codes[i] == kDone, IsOn(kFisheye));
    }
}

// A failed update leaves on the chain object, for the control to hand on,
// the failure with the fisheye filter's own error innermost: the error the
// filter gives when asked directly. A good update leaves none.
TEST_F(ChainUpdate, AFailedUpdateKeepsTheFiltersError)
{
    for (int i = 0; i < 4; ++i) {
        const develop_test::SLensSetUp& setUp = develop_test::kLensSetUps[i];
        SCOPED_TRACE(setUp.name);
        Built(0);
        develop_test::ApplyLensSetUp(setUp, Folder(), *picture);
        ASSERT_EQ(0, Update(TlChange::kAll));
        Holder().flagsUsed = 1;
        const int code = Update(TlChange::kFisheye);
        IKelvraError* failure = chain->TakeFailure();
        CFisheyeFilter direct(Manager());
        IKelvraError* expected = direct.SetLens(&picture->Tags());
        ASSERT_EQ(expected == nullptr, failure == nullptr);
        if (failure != nullptr) {
            EXPECT_TRUE(error_chain_test::SameCause(failure, expected));
            EXPECT_EQ(i == 2, TlIsLensFileRejected(failure)) << "the rejected file's cause reaches the holder";
            EXPECT_TRUE(
                error_chain_test::ChainMentions(failure, "the preview update failed (" + std::to_string(code) + ")"));
        }
        IKelvraError::Release(expected);
        IKelvraError::Release(failure);
        EXPECT_EQ(nullptr, chain->TakeFailure()) << "taken once";
    }
}

// The LCh filters need their calibration: a missing file and one that is
// no calibration each give their code.
TEST_F(ChainUpdate, LchFiltersWithoutTheirCalibrationFail)
{
    Built(0);
    ASSERT_TRUE(DeleteFileA((Folder().Path() + kTlLchCalibrationFile).c_str()));
    Folder().Write(kTlChromaBoostCalibrationFile, "not a calibration");
    BendLightness(Holder());
    EXPECT_EQ(TlUpdateCode::kLchCalibration, Update(TlChange::kLchCurves));
    EXPECT_FALSE(IsOn(kLch));
    Holder().chromaBoost.amount = 40;
    EXPECT_EQ(TlUpdateCode::kBoostTableMalformed, Update(TlChange::kChromaBoost));
    EXPECT_FALSE(IsOn(kChromaBoost));
}

TEST_F(ChainUpdate, FullUpdateOfAPlainRawPictureDevelopsThroughTheColourStages)
{
    Built(0);
    ASSERT_EQ(0, Update(TlChange::kAll));
    const std::set<int> on = EnabledSlots();
    for (int slot : {kHqDeBayer, kInitialLut, kRootLut, kToneLut, kLchStage, kOutputStage, kMonitorStage,
                     kChannelOrder, kFirstHistogram, kLastHistogram, kCropHistogram})
        EXPECT_EQ(1u, on.count(slot)) << "slot " << slot;
    for (int slot : {kStdDeBayer, kLabStage, kTransform, kFirstCurveLut, kSecondCurveLut, kDust})
        EXPECT_EQ(0u, on.count(slot)) << "slot " << slot;
}

// Mode 1 never made slots 3, 4, 32 or 37: settings for every stage reach
// only the slots it has.
TEST_F(ChainUpdate, ModeOneFullUpdateTouchesOnlyItsOwnSlots)
{
    Built(1);
    HalveRedCurve(Holder());
    BendLightness(Holder());
    Holder().angle = 90;
    Holder().chromaBoost.amount = 40;
    Holder().revelationUsed = 1;
    Holder().vignetteUsed = 1;
    Holder().general.values[2] = 2;
    Holder().autoBrightness.exposureCompensation = 0.5;
    ASSERT_EQ(0, Update(TlChange::kAll, 0.5));
    EXPECT_EQ((std::set<int>{kStdDeBayer, kInitialLut, kLabStage, kFirstScale, kTransform, kChannelOrder}),
              EnabledSlots());
    EXPECT_EQ(nullptr, chain->GetSlot(kSquareLut));
    EXPECT_EQ(nullptr, chain->GetSlot(kRevelation));
}

TEST_F(ChainUpdate, EmptyMaskRunsOnlyTheUnguardedSteps)
{
    Built(0);
    ASSERT_EQ(0, Update(TlChange::kAll, 1.0));
    EXPECT_FALSE(IsOn(kFirstScale));
    EXPECT_FALSE(chain->GetApproximation(3));
    for (const auto& c : kBitCases)
        c.setup(Holder());
    ASSERT_EQ(0, Update(0, 0.5));
    for (const auto& c : kBitCases) {
        for (int slot : c.slots)
            EXPECT_FALSE(IsOn(slot)) << c.name << " slot " << slot;
    }
    EXPECT_TRUE(IsOn(kFirstScale)) << "the scale stages follow every update";
    EXPECT_TRUE(IsOn(kOutputStage));
    EXPECT_TRUE(IsOn(kFirstHistogram));
    EXPECT_TRUE(chain->GetApproximation(3)) << "scale below 1";
}

// The first stage reduces the short side to no less than 150 pixels; the
// second takes the rest of the reduction.
TEST_F(ChainUpdate, SmallViewsSplitTheReductionAtOneHundredFiftyPixels)
{
    const struct {
        long width;
        long height;
        double scale;
        bool split;
    } cases[] = {
        {192, 128, 0.5, true},
        {192, 128, 0.25, true},
        {640, 480, 0.5, false},
    };
    for (const auto& c : cases) {
        const std::string name = std::to_string(c.width) + "x" + std::to_string(c.height) + " at " +
                                 std::to_string(c.scale);
        Built(0, 257, c.width, c.height);
        ASSERT_EQ(0, Update(TlChange::kAll, c.scale)) << name;
        std::uint32_t width = 0;
        std::uint32_t height = 0;
        ASSERT_TRUE(GetOutputSize(picture->Image(), {257, true}, true, nullptr, width, height));
        const double shortSide = double(std::min(width, height));
        double x = 0.0;
        double y = 0.0;
        ASSERT_TRUE(IsOn(kFirstScale)) << name;
        ASSERT_EQ(nullptr, SlotAs<CKelvraFilterScale>(kFirstScale)->GetScale(&x, &y));
        EXPECT_EQ(IsOn(kSecondScale), c.split) << name;
        if (!c.split) {
            EXPECT_DOUBLE_EQ(c.scale, x) << name;
            continue;
        }
        EXPECT_DOUBLE_EQ(150.0, shortSide * x) << name;
        double x2 = 0.0;
        double y2 = 0.0;
        ASSERT_EQ(nullptr, SlotAs<CKelvraFilterScale>(kSecondScale)->GetScale(&x2, &y2));
        EXPECT_DOUBLE_EQ(c.scale, x * x2) << name;
    }
}

// A view far smaller than the picture takes the mosaic through the quick
// De-Bayer's block means; the first scale stage then shrinks that much
// less, so that what it makes keeps its size. A stage that works in the
// picture's own coordinates before the first scale keeps the full size.
TEST_F(ChainUpdate, SmallViewsDevelopTheMosaicReduced)
{
    const struct {
        const char* name;
        double scale;
        bool vignette;
        long reduction;
        double first; // of the picture, whatever the De-Bayer hands on
    } cases[] = {
        {"half", 0.5, false, 1, 0.5},
        {"a fifth", 0.2, false, 2, 0.2},
        {"a tenth, split at 150 pixels", 0.1, false, 2, 0.1875},
        {"a fifth with a vignette", 0.2, true, 1, 0.2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Built(0, 257, 1212, 812);
        Holder().vignetteUsed = c.vignette ? 1 : 0;
        ASSERT_EQ(0, Update(TlChange::kAll, c.scale));
        auto* deBayer = SlotAs<CDeBayerFilterBase>(kStdDeBayer);
        ASSERT_TRUE(IsOn(kStdDeBayer));
        EXPECT_EQ(c.reduction, deBayer->GetReduction());
        std::uint32_t width = 0;
        std::uint32_t height = 0;
        ASSERT_TRUE(GetOutputSize(picture->Image(), {257, true}, true, nullptr, width, height));
        auto* first = SlotAs<CKelvraFilterScale>(kFirstScale);
        double x = 0.0;
        double y = 0.0;
        ASSERT_EQ(nullptr, first->GetScale(&x, &y));
        EXPECT_DOUBLE_EQ(c.first * double(c.reduction), x);
        long scaledWidth = 0;
        long scaledHeight = 0;
        ExpectOk(first->GetSize(&scaledWidth, &scaledHeight), "first scale size");
        EXPECT_EQ(std::lround(width * c.first), scaledWidth);
        EXPECT_EQ(std::lround(height * c.first), scaledHeight);
    }
}

TEST_F(ChainUpdate, EnlargedViewsScaleInTheLastStage)
{
    Built(0);
    ASSERT_EQ(0, Update(TlChange::kAll, 2.0));
    EXPECT_FALSE(IsOn(kFirstScale));
    EXPECT_FALSE(IsOn(kSecondScale));
    ASSERT_TRUE(IsOn(kRemainderScale));
    double x = 0.0;
    double y = 0.0;
    ASSERT_EQ(nullptr, SlotAs<CKelvraFilterScale>(kRemainderScale)->GetScale(&x, &y));
    EXPECT_DOUBLE_EQ(2.0, x);
    EXPECT_DOUBLE_EQ(2.0, y);
}

TEST_F(ChainUpdate, WidePixelCameraIsStretchedVertically)
{
    Built(0, 259);
    ASSERT_EQ(0, Update(TlChange::kAll, 0.5));
    ASSERT_TRUE(IsOn(kFirstScale));
    double x = 0.0;
    double y = 0.0;
    ASSERT_EQ(nullptr, SlotAs<CKelvraFilterScale>(kFirstScale)->GetScale(&x, &y));
    EXPECT_DOUBLE_EQ(327.0 / 164.0, y / x);
    EXPECT_FALSE(IsOn(kAreaScale)) << "the first stage took the whole stretch";
}

TEST_F(ChainUpdate, DustRecordWithoutAMapFailsWithTenAndLeavesTheFilterOff)
{
    Built(0);
    Holder().dustUsed = 1;
    ASSERT_TRUE(Holder().dust.SetData("reference", 9));
    EXPECT_EQ(TlUpdateCode::kNoDustMap, Update(TlChange::kAll));
    EXPECT_FALSE(IsOn(kDust));
}

// With the library's dust engines, a reference of the picture's camera and
// lens (the synthetic pictures carry a lens value of 35 and f/5.6) gives the
// preview a dust map with a mask, and the filter is on.
TEST_F(ChainUpdate, DustReferenceIsAnalysedIntoAMapThatTheFilterApplies)
{
    IDustEngineFactory* previous = SetDustEngineFactory(GetLibraryDustEngines());
    Built(0, 257);
    const std::vector<unsigned char> reference = dust_synth::GridReferenceRecord(180, 116, 257, 35, 60);
    Holder().dustUsed = 1;
    ASSERT_TRUE(Holder().dust.SetData(reference.data(), reference.size()));
    EXPECT_EQ(0, Update(TlChange::kAll));
    EXPECT_TRUE(IsOn(kDust));
    IDustMap* map = Holder().dust.GetDustMap();
    ASSERT_NE(nullptr, map);
    EXPECT_NE(nullptr, map->GetCorrectionMask());
    EXPECT_EQ(map, SlotAs<CDustFilter>(kDust)->GetDustMap());
    chain.reset();
    SetDustEngineFactory(previous);
}

// While another update runs, a call records its bits and the view and
// changes nothing else; the next update of the chain runs those bits.
TEST_F(ChainUpdate, BusyUpdateRecordsItsBitsForTheNextUpdate)
{
    Built(0);
    ASSERT_EQ(0, Update(TlChange::kAll));
    const std::set<int> before = EnabledSlots();
    Holder().angle = 90;
    std::uint32_t otherPending = 0;
    std::uint32_t merged = 0;
    ASSERT_TRUE(TlBeginPreviewUpdate(0, otherPending, merged));
    std::unique_ptr<CTlvParamSet> params = picture->Params();
    EXPECT_EQ(TlUpdateCode::kBusy, chain->UpdatePreviewChain(params.get(), TlChange::kRotation, 0.25, true, nullptr));
    EXPECT_EQ(0.25, chain->GetViewScale());
    EXPECT_TRUE(chain->IsGridShown());
    EXPECT_EQ(TlChange::kRotation, chain->GetPendingChanges());
    EXPECT_EQ(0u, chain->GetReplayChanges()) << "the running update is this thread's";
    EXPECT_EQ(before, EnabledSlots());
    TlEndPreviewUpdate();
    EXPECT_EQ(TlChange::kRotation, chain->GetReplayChanges());
    EXPECT_EQ(0, Update(0));
    EXPECT_TRUE(IsOn(kTransform)) << "the recorded rotation ran";
    EXPECT_EQ(0u, chain->GetPendingChanges());
}

namespace {

// Stands for whoever watched the development before the preview did.
class HostObserver : public ISigProcObserver {
public:
    void OnSigProcEvent(long, CSigProcImage*) override {}
    int OnSigProcProgress(long, long) override { return 1; }
};

std::vector<std::uint32_t>& ProgressFlags()
{
    static std::vector<std::uint32_t> flags;
    return flags;
}

void __stdcall RecordProgress(std::uint32_t /*kind*/, std::uint32_t /*value*/, std::uint32_t flags)
{
    ProgressFlags().push_back(flags);
}

} // namespace

// A two-source image reports its development through the chain while the
// update runs, and has its own observer back on every way out.
TEST_F(ChainUpdate, TwoSourceImageGetsItsObserverBackOnEveryWayOut)
{
    Built(0, 513);
    CSigProcImage* image = picture->Developed();
    ASSERT_NE(image, nullptr);
    HostObserver host;
    image->SetObserver(&host);
    ProgressFlags().clear();
    EXPECT_EQ(0, Update(TlChange::kAll, 1.0, RecordProgress));
    EXPECT_EQ(&host, image->GetObserver()) << "done";
    EXPECT_NE(ProgressFlags().end(), std::find(ProgressFlags().begin(), ProgressFlags().end(), kTlProgressFromChain))
        << "the development reported through the chain";

    std::uint32_t otherPending = 0;
    std::uint32_t merged = 0;
    ASSERT_TRUE(TlBeginPreviewUpdate(0, otherPending, merged));
    EXPECT_EQ(TlUpdateCode::kBusy, Update(TlChange::kAll));
    TlEndPreviewUpdate();
    EXPECT_EQ(&host, image->GetObserver()) << "busy";

    Holder().dustUsed = 1;
    ASSERT_TRUE(Holder().dust.SetData("reference", 9));
    EXPECT_EQ(TlUpdateCode::kNoDustMap, Update(TlChange::kAll));
    EXPECT_EQ(&host, image->GetObserver()) << "failed step";
    image->SetObserver(nullptr);
}

// With the size mode the crop cuts the picture; without it the whole
// picture shows with the crop as a frame.
TEST_F(ChainUpdate, SizeModeChoosesBetweenCropAndFrame)
{
    for (std::uint32_t sizeMode : {0u, 1u}) {
        Built(0);
        chain->SetSizeMode(sizeMode);
        ASSERT_EQ(0, Holder().geometry.SetCropRect(20.0, 10.0, 120.0, 90.0, 0));
        ASSERT_EQ(0, Update(TlChange::kAll));
        EXPECT_EQ(sizeMode == 1, IsOn(kCrop)) << sizeMode;
        EXPECT_EQ(sizeMode == 0, IsOn(kVisualCrop)) << sizeMode;
        if (sizeMode == 1) {
            const KelvraRect rect = SlotAs<CCropFilter>(kCrop)->GetCrop();
            EXPECT_EQ(20, rect.left);
            EXPECT_EQ(10, rect.top);
            EXPECT_EQ(120, rect.right);
            EXPECT_EQ(90, rect.bottom);
        }
    }
}

// A reduced source (its recorded size a multiple of its own) keeps the
// detail filters off: they work only on the image's own pixels.
TEST_F(ChainUpdate, ReducedSourceLeavesTheDetailFiltersOff)
{
    for (std::int32_t factor : {1, 2}) {
        Built(2);
        if (factor != 1) {
            const std::int32_t width = (192 - 12) * factor;
            const std::int32_t height = (128 - 12) * factor;
            raw_test::SetBytes(picture->Tags(), 0x10000, kKelvraTagTypeBytes, &width, sizeof width);
            raw_test::SetBytes(picture->Tags(), 0x10001, kKelvraTagTypeBytes, &height, sizeof height);
        }
        Holder().tripleValue.second = 2;
        Holder().tripleValue.flag = true;
        ASSERT_EQ(0, Update(TlChange::kAll, 1.0)) << factor;
        EXPECT_EQ(factor == 1, IsOn(kMoire)) << factor;
        EXPECT_EQ(factor == 1, IsOn(kFineEdge)) << factor;
        EXPECT_TRUE(IsOn(kStdDeBayer)) << "mode 2 develops with the standard filter";
    }
}

// A reduced preview takes the host's size where it has one; without one
// (0 x 0) the scale stages keep their factors.
TEST_F(ChainUpdate, ReducedPreviewScalesToTheUserSizeWhereGiven)
{
    for (std::uint32_t side : {0u, 90u}) {
        Built(2);
        chain->SetUserSize(side, side * 2 / 3);
        ASSERT_EQ(0, Update(TlChange::kAll, 0.5)) << side;
        // The short side of 116 pixels goes to 150 first, then to the size.
        ASSERT_TRUE(IsOn(kSecondScale)) << side;
        long width = 0;
        long height = 0;
        const bool fixed = SlotAs<CKelvraFilterScale>(kSecondScale)->GetFixedSize(&width, &height);
        EXPECT_EQ(side != 0, fixed) << side;
        if (fixed) {
            EXPECT_EQ(long(side), width);
            EXPECT_EQ(long(side * 2 / 3), height);
        }
    }
}

// A reduced preview into a custom profile at reduced depth converts the
// source straight to that profile and narrows the samples at the end.
TEST_F(ChainUpdate, ReducedDepthNarrowsTheSamplesWithoutAnOutputStage)
{
    Built(2);
    Holder().rawFlag = 0;
    STlOutputColour colour;
    colour.customProfile = true;
    std::snprintf(colour.customPath, sizeof colour.customPath, "%s", (Folder().Path() + "TLsRGB.icm").c_str());
    colour.reducedDepth = true;
    colour.bitsPerChannel = 8;
    chain->SetOutputColour(colour);
    ASSERT_EQ(0, Update(TlChange::kAll));
    EXPECT_FALSE(IsOn(kOutputStage));
    EXPECT_TRUE(IsOn(kMonitorStage));
    EXPECT_TRUE(IsOn(kColourSpace));
    colour.reducedDepth = false;
    chain->SetOutputColour(colour);
    ASSERT_EQ(0, Update(TlChange::kOutputColour));
    EXPECT_FALSE(IsOn(kColourSpace));
}

namespace {

// Records the repaint notices a filter sends.
class RepaintRecorder : public IKelvraDataDestination {
public:
    IKelvraError* KelvraNotify(IKelvraDataSource*, long code, void* data) override
    {
        if (code == 0 && data != nullptr)
            rects.push_back(*static_cast<const KelvraRect*>(data));
        return nullptr;
    }
    IKelvraError* KelvraAddDataSourceCheck(IKelvraDataSource*) override { return nullptr; }

    std::vector<KelvraRect> rects;
};

} // namespace

// Below one image pixel a screen pixel the quick De-Bayer develops; from
// one up the high-quality one.
TEST_F(ChainUpdate, ViewScaleChoosesTheDeBayerFilter)
{
    Built(0);
    ASSERT_EQ(0, Update(TlChange::kAll, 0.5));
    EXPECT_TRUE(IsOn(kStdDeBayer));
    EXPECT_FALSE(IsOn(kHqDeBayer));
    ASSERT_EQ(0, Update(TlChange::kScale, 1.0));
    EXPECT_FALSE(IsOn(kStdDeBayer));
    EXPECT_TRUE(IsOn(kHqDeBayer));
}

namespace {

// Counts the data-changed notices that reach the display.
class ChangeCounter : public IKelvraDataDestination {
public:
    IKelvraError* KelvraNotify(IKelvraDataSource*, long code, void*) override
    {
        changed += code == 7 ? 1 : 0;
        return nullptr;
    }
    IKelvraError* KelvraAddDataSourceCheck(IKelvraDataSource*) override { return nullptr; }

    int changed = 0;
};

} // namespace

// Stages switched without a notice of their own (the Lab stage and the
// noise reduction) tell the display once at the end.
TEST_F(ChainUpdate, SilentChangesTellTheDisplayOnceAtTheEnd)
{
    Built(0);
    ChangeCounter display;
    ASSERT_EQ(0, chain->ConnectDestination(&display));
    ASSERT_EQ(0, Update(TlChange::kAll));
    Holder().tripleValue.first = 5;
    display.changed = 0;
    ASSERT_EQ(0, Update(TlChange::kDetail));
    EXPECT_TRUE(IsOn(kLabStage));
    EXPECT_TRUE(IsOn(kColourNoise));
    EXPECT_EQ(1, display.changed);
    display.changed = 0;
    ASSERT_EQ(0, Update(TlChange::kDetail));
    EXPECT_EQ(0, display.changed) << "nothing changed";
    EXPECT_EQ(0, chain->DisconnectDestination(&display));
}

// The old frame is repainted with a margin of 5 pixels on every side.
TEST_F(ChainUpdate, MovedCropFrameRepaintsTheOldFrameGrown)
{
    Built(0);
    ASSERT_EQ(0, Holder().geometry.SetCropRect(20.0, 10.0, 120.0, 90.0, 0));
    ASSERT_EQ(0, Update(TlChange::kAll));
    auto* frame = SlotAs<CVisualCropFilter>(kVisualCrop);
    ASSERT_TRUE(IsOn(kVisualCrop));
    const KelvraRect old = *frame->GetRect();
    EXPECT_EQ(10, old.left) << "half the working scale";
    EXPECT_EQ(5, old.top);
    EXPECT_EQ(60, old.right);
    EXPECT_EQ(45, old.bottom);
    RepaintRecorder recorder;
    ASSERT_EQ(nullptr, KelvraDataConnect(frame, &recorder));
    ASSERT_EQ(0, Holder().geometry.SetCropRect(40.0, 30.0, 140.0, 110.0, 0));
    ASSERT_EQ(0, Update(TlChange::kGeometry));
    const auto sent = [&recorder](long left, long top, long right, long bottom) {
        for (const KelvraRect& r : recorder.rects) {
            if (r.left == left && r.top == top && r.right == right && r.bottom == bottom)
                return true;
        }
        return false;
    };
    EXPECT_TRUE(sent(5, 0, 65, 50)) << "the old frame grown by 5";
    EXPECT_FALSE(sent(15, 10, 65, 50)) << "not shifted";
    EXPECT_EQ(20, frame->GetRect()->left);
    IKelvraError::Release(KelvraDataDisconnect(frame, &recorder));
}

namespace {

// Each colour stage whose engine cannot be made ends the update with 9.
struct EngineCase {
    const char* name;
    const char* missingFile; // taken out of the profiles folder; null: none
    Setup setup;
    bool missingMonitor;
};

class ChainEngineFailure : public PreviewUpdateFixture, public ::testing::WithParamInterface<EngineCase> {};

const EngineCase kEngineCases[] = {
    {"Lab stage", "TLLab.icm", [](CTlvSettingsHolder& h) { h.tripleValue.first = 5; }, false},
    {"LCh stage", "TLLch2.icm", nullptr, false},
    {"output stage", nullptr,
     [](CTlvSettingsHolder& h) {
         h.outputProfileUsed = 1;
         std::snprintf(h.outputProfilePath, sizeof h.outputProfilePath, "%s", "C:\\missing\\none.icm");
     },
     false},
    {"monitor stage", nullptr, nullptr, true},
};

} // namespace

TEST_P(ChainEngineFailure, EndsTheUpdateWithNine)
{
    const EngineCase& c = GetParam();
    Built(0);
    if (c.missingFile != nullptr) {
        ASSERT_TRUE(DeleteFileA((Folder().Path() + c.missingFile).c_str()));
    }
    if (c.setup)
        c.setup(Holder());
    if (c.missingMonitor) {
        KelvraFile missing;
        missing.Set("C:\\missing\\monitor.icm");
        chain->SetMonitorProfile(missing);
    }
    EXPECT_EQ(TlUpdateCode::kNoEngine, Update(TlChange::kAll));
    EXPECT_TRUE(chain->IsBuilt()) << "a failed update leaves the chain built";
}

// The quick preview converts straight to the monitor profile.
TEST_F(ChainUpdate, QuickPreviewWithoutItsMonitorProfileFailsWithNine)
{
    Built(1);
    KelvraFile missing;
    missing.Set("C:\\missing\\monitor.icm");
    chain->SetMonitorProfile(missing);
    EXPECT_EQ(TlUpdateCode::kNoEngine, Update(TlChange::kAll));
    EXPECT_FALSE(IsOn(kLabStage));
}

// The quick preview with no monitor profile converts to the RGB working
// profile rather than failing.
TEST_F(ChainUpdate, QuickPreviewWithNoMonitorProfileEndsInTheWorkingProfile)
{
    Built(1);
    chain->SetMonitorProfile(KelvraFile());
    EXPECT_EQ(TlUpdateCode::kDone, Update(TlChange::kAll));
    EXPECT_TRUE(IsOn(kLabStage));
}

// A control used before the library's start-up has no monitor profile: the
// preview still develops, ending in the output profile.
TEST_F(ChainUpdate, PreviewWithNoMonitorProfileEndsInTheOutputProfile)
{
    Built(0);
    KelvraFile none;
    none.Set("");
    chain->SetMonitorProfile(none);
    EXPECT_EQ(TlUpdateCode::kDone, Update(TlChange::kAll));
    EXPECT_FALSE(IsOn(kMonitorStage));
    EXPECT_TRUE(IsOn(kOutputStage));
}

INSTANTIATE_TEST_SUITE_P(Stages, ChainEngineFailure, ::testing::ValuesIn(kEngineCases),
                         [](const ::testing::TestParamInfo<EngineCase>& info) {
                             std::string name = info.param.name;
                             for (char& ch : name)
                                 ch = ch == ' ' ? '_' : ch;
                             return name;
                         });

