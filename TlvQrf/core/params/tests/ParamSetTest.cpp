// The parameter set: what it copies from a holder, the values it reads from
// the image's tags and the model normalisation.
#include "params/TlvParamSet.h"
#include "params/TlvParamSetMaker.h"
#include "params/TlParamSetProfileFacts.h"

#include "RawTestTags.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

using namespace raw_test;

namespace {

void SetMultipliers(IKelvraTagControl& tags, double red, double blue)
{
    const double values[4] = {red, blue, 1.0, 1.0};
    SetBytes(tags, kTlvAsShotMultipliersTag, kKelvraTagTypeDoubles, values, sizeof values);
}

} // namespace

TEST(ParamSet, CopiesTheHolderAndPointsIntoIt)
{
    CTlvSettingsHolder holder;
    holder.vignetteUsed = 1;
    holder.redEyeUsed = 0;
    holder.flagsUsed = 1;
    holder.flip = 1;
    holder.angle = 270;
    holder.rawFlag = 1;
    holder.outputProfileUsed = 1;
    std::strcpy(holder.outputProfilePath, "C:\\profiles\\out.icm");
    holder.fixedSize = 1;
    holder.saveOptions = 7;
    holder.fineAngle = 1.5;
    const unsigned char block[3] = {1, 2, 3};
    holder.data.Set(block, sizeof block);

    CTlvParamSet params(holder);

    EXPECT_EQ(params.sharpeningList, &holder.usmList);
    EXPECT_EQ(params.firstCurves, &holder.toneCurves);
    EXPECT_EQ(params.secondCurves, &holder.brightnessContrast);
    EXPECT_EQ(params.lch, &holder.lch);
    EXPECT_EQ(params.geometry, &holder.geometry);
    EXPECT_EQ(params.Adjust(), &holder.adjust);
    EXPECT_EQ(params.Vignette(), &holder.vignette);
    EXPECT_EQ(params.fisheyeFlag, 1u);
    EXPECT_EQ(params.fisheye, &holder.flags);
    EXPECT_EQ(params.channelMixer, &holder.general);
    EXPECT_EQ(params.redEyeFlag, 1u) << "the red-eye flag is always set";
    EXPECT_EQ(params.flip, 1u);
    EXPECT_EQ(params.rotation, 270);
    EXPECT_EQ(params.rawFlag, 1);
    EXPECT_EQ(params.outputProfileFlag, 1);
    EXPECT_STREQ(params.outputProfilePath, "C:\\profiles\\out.icm");
    EXPECT_EQ(params.fixedSize, 1);
    EXPECT_EQ(params.saveOptions, 7u);
    EXPECT_EQ(params.fineAngle, 1.5);
    ASSERT_EQ(params.tagBlobSize, 3u);
    EXPECT_EQ(params.tagBlob[2], 3);
    EXPECT_EQ(params.options[0], 0);
    EXPECT_EQ(params.options[1], 1);
    EXPECT_EQ(params.options[2], 0);
    EXPECT_EQ(params.options[CTlvParamSet::kOptionCurvesPerChannel], 1);
    EXPECT_EQ(params.showLostHighlights, 0);
}

TEST(ParamSet, AbsentRecordsAreNull)
{
    CTlvSettingsHolder holder;
    holder.adjustUsed = 0;
    holder.whiteBalanceUsed = 0;
    holder.tripleValueUsed = 0;
    CTlvParamSet params(holder);
    EXPECT_EQ(params.Adjust(), nullptr);
    EXPECT_EQ(params.WhiteBalance(), nullptr);
    EXPECT_EQ(params.LevelTriple(), nullptr);
    EXPECT_EQ(params.Vignette(), nullptr) << "the holder's vignette starts unused";
}

TEST(ParamSet, WithoutTagsKeepsTheDefaults)
{
    CTlvSettingsHolder holder;
    CTlvParamSet params(holder);
    EXPECT_TRUE(params.ReadImageTags());
    EXPECT_EQ(params.modelCode, 0);
    EXPECT_EQ(params.asShotRed, 1.0);
    EXPECT_EQ(params.asShotBlue, 1.0);
}

TEST(ParamSet, ReadsMultipliersAndModelCode)
{
    PellioTagsPtr tags = MakeTags();
    SetMultipliers(*tags, 2.25, 1.5);
    SetLong(*tags, kKelvraTagModelCode, 259);
    CTlvSettingsHolder holder;
    holder.images.tags = tags.get();
    CTlvParamSet params(holder);
    EXPECT_EQ(params.tags, tags.get());
    EXPECT_EQ(params.asShotRed, 2.25);
    EXPECT_EQ(params.asShotBlue, 1.5);
    EXPECT_EQ(params.modelCode, 259);
    EXPECT_TRUE(params.ReadImageTags());
    holder.images.tags = nullptr;
}

TEST(ParamSet, UnreadableMultipliersStillReadTheModelCode)
{
    PellioTagsPtr tags = MakeTags();
    SetLong(*tags, kKelvraTagModelCode, 1025);
    CTlvSettingsHolder holder;
    holder.images.tags = tags.get();
    CTlvParamSet params(holder);
    EXPECT_FALSE(params.ReadImageTags());
    EXPECT_EQ(params.asShotRed, 1.0);
    EXPECT_EQ(params.asShotBlue, 1.0);
    EXPECT_EQ(params.modelCode, 1025);
    holder.images.tags = nullptr;
}

TEST(ParamSet, MultipliersThatWouldBreakTheTablesCountAsOne)
{
    const double kNaN = std::numeric_limits<double>::quiet_NaN();
    const double kInf = std::numeric_limits<double>::infinity();
    const struct {
        double red, blue, expectedRed, expectedBlue;
    } cases[] = {{0.0, -2.0, 1.0, 1.0}, {kNaN, kInf, 1.0, 1.0}, {-kInf, 3.0, 1.0, 3.0}, {1e-300, 0.5, 1e-300, 0.5}};
    for (const auto& c : cases) {
        PellioTagsPtr tags = MakeTags();
        SetMultipliers(*tags, c.red, c.blue);
        CTlvSettingsHolder holder;
        holder.images.tags = tags.get();
        CTlvParamSet params(holder);
        EXPECT_EQ(params.asShotRed, c.expectedRed) << c.red;
        EXPECT_EQ(params.asShotBlue, c.expectedBlue) << c.blue;
        holder.images.tags = nullptr;
    }
}

TEST(ParamSet, NormalizeDropsWhatSignalProcessingCamerasLack)
{
    CTlvSettingsHolder holder;
    holder.whiteBalance.mode = CTlWhiteBalanceState::kModePreset;
    holder.adjust.SetToneMode(4);
    holder.adjust.SetColourSpaceChoice(2);
    CTlvParamSet params(holder);
    params.modelCode = 514;

    EXPECT_FALSE(params.NormalizeForModel());
    EXPECT_EQ(params.whiteBalanceFlag, 0u);
    EXPECT_EQ(holder.adjust.ToneMode(), 1);
    EXPECT_EQ(holder.adjust.ColourSpaceChoice(), 0);
    EXPECT_TRUE(params.NormalizeForModel());
}

TEST(ParamSet, NormalizeLeavesOtherCamerasAlone)
{
    CTlvSettingsHolder holder;
    holder.whiteBalance.mode = CTlWhiteBalanceState::kModePreset;
    holder.adjust.SetToneMode(4);
    CTlvParamSet params(holder);
    params.modelCode = 259;
    EXPECT_TRUE(params.NormalizeForModel());
    EXPECT_EQ(params.whiteBalanceFlag, 1u);
    EXPECT_EQ(holder.adjust.ToneMode(), 4);
}

TEST(ParamSet, NormalizeWithoutAdjustmentReportsOnlyTheWhiteBalance)
{
    CTlvSettingsHolder holder;
    holder.adjustUsed = 0;
    holder.whiteBalance.mode = CTlWhiteBalanceState::kModePreset;
    CTlvParamSet params(holder);
    params.modelCode = 516;
    EXPECT_FALSE(params.NormalizeForModel());
    EXPECT_TRUE(params.NormalizeForModel());
}

TEST(ParamSet, NormalizeRecomputesTemperatureGains)
{
    CTlvSettingsHolder holder;
    holder.whiteBalance.mode = CTlWhiteBalanceState::kModeTemperature;
    holder.whiteBalance.preset = 256;
    holder.whiteBalance.temperature = 3000;
    holder.whiteBalance.firstGain = holder.whiteBalance.secondGain = -1.0;
    CTlvParamSet params(holder);
    params.modelCode = 260;
    EXPECT_TRUE(params.NormalizeForModel());
    EXPECT_GT(holder.whiteBalance.firstGain, 0.0);
    EXPECT_GT(holder.whiteBalance.secondGain, 0.0);
}

TEST(ParamSetMaker, HoldersMakeTheirKindOfSet)
{
    const TlvCoreHooks previous = GetTlvCoreHooks();
    InstallParamSetMaker();
    CTlvSettingsHolder plain;
    std::unique_ptr<CTlvParamSet> set(plain.CreateParamSet());
    ASSERT_NE(set, nullptr);
    EXPECT_EQ(dynamic_cast<CTlvControlParamSet*>(set.get()), nullptr);
    EXPECT_EQ(set->geometry, &plain.geometry);
    std::unique_ptr<CTlvParamSet> control(MakeTlvParamSet(plain, TlvParamSetKind::kControl));
    EXPECT_NE(dynamic_cast<CTlvControlParamSet*>(control.get()), nullptr);
    SetTlvCoreHooks(previous);
}

TEST(ParamSetProfileFacts, CarryWhatTheSourceProfileChoiceReads)
{
    CTlvSettingsHolder holder;
    holder.rawFlag = 1;
    holder.adjust.SetColourSpaceChoice(2);
    CTlvParamSet params(holder);
    params.modelCode = 258;

    TlSourceProfileFacts facts = MakeSourceProfileFacts(params);
    EXPECT_TRUE(facts.raw);
    EXPECT_EQ(facts.modelCode, 258);
    EXPECT_TRUE(facts.adobeColourMode);
    EXPECT_FALSE(facts.hasAssignedProfile);

    holder.outputProfileUsed = 1;
    std::strcpy(holder.outputProfilePath, "C:\\p\\mine.icm");
    holder.adjustUsed = 0;
    CTlvParamSet assigned(holder);
    facts = MakeSourceProfileFacts(assigned);
    EXPECT_TRUE(facts.hasAssignedProfile);
    EXPECT_EQ(facts.assignedProfile, "C:\\p\\mine.icm");
    EXPECT_FALSE(facts.adobeColourMode) << "no adjustment record, no colour mode";
}
