// Between a holder and a top-level record: export points the record at the
// holder's records, import copies a record's records into the holder.
#include "HolderTestSupport.h"

#include "settings/edit/TlvEditSettings.h"
#include "settings/holders/TlvControlSettings.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace holder_test;
using tlstate_test::Bytes;

namespace {

struct SlotView {
    const char* name;
    const void* record;
    int flag;
};

std::vector<SlotView> SlotsOf(const CTlvEditSettings& s)
{
    return {
        {"sharpening list", s.usmList.record, s.usmList.isDefault},
        {"tone curves", s.toneCurves.record, s.toneCurves.isDefault},
        {"brightness and contrast", s.brightnessContrast.record, s.brightnessContrast.isDefault},
        {"lch curves", s.lch.record, s.lch.isDefault},
        {"geometry", s.geometry.record, s.geometry.isDefault},
        {"adjust", s.adjust.record, s.adjust.isDefault},
        {"white balance", s.whiteBalance.record, s.whiteBalance.isDefault},
        {"triple value", s.tripleValue.record, s.tripleValue.isDefault},
        {"general", s.general.record, s.general.isDefault},
        {"vignette", s.vignette.record, s.vignette.isDefault},
        {"red-eye", s.redEye.record, s.redEye.isDefault},
        {"dust", s.dust.record, s.dust.isDefault},
        {"revelation", s.revelation.record, s.revelation.isDefault},
        {"flags", s.flags.record, s.flags.isDefault},
        {"plug-ins", s.plugins.record, s.plugins.isDefault},
        {"chroma boost", s.chromaBoost.record, s.chromaBoost.isDefault},
        {"auto brightness", s.autoBrightness.record, s.autoBrightness.isDefault},
    };
}

// What export must give each slot: the holder's record and its use flag
// (none for the geometry and the general values).
std::vector<SlotView> ExpectedSlots(const CTlvSettingsHolder& h)
{
    return {
        {"sharpening list", &h.usmList, h.usmListUsed},
        {"tone curves", &h.toneCurves, h.toneCurvesUsed},
        {"brightness and contrast", &h.brightnessContrast, h.brightnessContrastUsed},
        {"lch curves", &h.lch, h.lchUsed},
        {"geometry", &h.geometry, 0},
        {"adjust", &h.adjust, h.adjustUsed},
        {"white balance", &h.whiteBalance, h.whiteBalanceUsed},
        {"triple value", &h.tripleValue, h.tripleValueUsed},
        {"general", &h.general, 0},
        {"vignette", &h.vignette, h.vignetteUsed},
        {"red-eye", &h.redEye, h.redEyeUsed},
        {"dust", &h.dust, h.dustUsed},
        {"revelation", &h.revelation, h.revelationUsed},
        {"flags", &h.flags, h.flagsUsed},
        {"plug-ins", &h.plugins, h.pluginsUsed},
        {"chroma boost", &h.chromaBoost, h.chromaBoostUsed},
        {"auto brightness", &h.autoBrightness, h.autoBrightnessUsed},
    };
}

void ExpectSlotsPointAt(const CTlvEditSettings& settings, const CTlvSettingsHolder& holder)
{
    const std::vector<SlotView> actual = SlotsOf(settings);
    const std::vector<SlotView> expected = ExpectedSlots(holder);
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        EXPECT_EQ(actual[i].record, expected[i].record) << expected[i].name;
        EXPECT_EQ(actual[i].flag, expected[i].flag) << expected[i].name;
    }
}

Bytes DataOf(const CTlBlob& blob)
{
    return Bytes(blob.Data(), blob.Data() + blob.Count());
}

void ExpectSameRecords(CTlvSettingsHolder& actual, CTlvSettingsHolder& expected)
{
    const StoredForms a = StoredFormsOf(actual);
    const StoredForms e = StoredFormsOf(expected);
    for (std::size_t i = 0; i < e.size(); ++i)
        EXPECT_EQ(a[i].second, e[i].second) << e[i].first;
}

// Every slot on, every record elsewhere: a setting record's own values.
void MarkAllSlots(CTlvEditSettings& settings, std::uint8_t flag)
{
    for (std::uint8_t* f :
         {&settings.usmList.isDefault, &settings.toneCurves.isDefault, &settings.brightnessContrast.isDefault,
          &settings.lch.isDefault, &settings.geometry.isDefault, &settings.adjust.isDefault,
          &settings.whiteBalance.isDefault, &settings.tripleValue.isDefault, &settings.general.isDefault,
          &settings.vignette.isDefault, &settings.redEye.isDefault, &settings.dust.isDefault,
          &settings.revelation.isDefault, &settings.flags.isDefault, &settings.plugins.isDefault,
          &settings.chromaBoost.isDefault, &settings.autoBrightness.isDefault})
        *f = flag;
}

TEST(SettingsHolderExportTest, PointsEverySlotAtTheHoldersRecordWithItsUseFlag)
{
    for (const bool filled : {false, true}) {
        CTlvSettingsHolder holder;
        if (filled)
            FillHolder(holder);
        CTlvEditSettings settings(3, 45);
        MarkAllSlots(settings, 7);
        settings.data.Set("old", 3);
        holder.ExportTo(settings);
        ExpectSlotsPointAt(settings, holder);
        EXPECT_EQ(settings.flip, holder.flip);
        EXPECT_EQ(settings.angle, holder.angle);
        EXPECT_EQ(DataOf(settings.data), DataOf(holder.data)) << "filled " << filled;
    }
}

TEST(SettingsHolderImportTest, CopiesEveryPresentRecord)
{
    CTlvSettingsHolder source;
    FillHolder(source);
    CTlvEditSettings settings(0, 0);
    source.ExportTo(settings);

    CTlvSettingsHolder target;
    target.secondValueSwitch = 1; // keeps the triple value's second value
    target.ImportFrom(settings);
    ExpectSameRecords(target, source);
    EXPECT_EQ(UseFlagsOf(target), UseFlagsOf(source));
    EXPECT_EQ(target.flip, 1);
    EXPECT_EQ(target.angle, 270);
    EXPECT_EQ(DataOf(target.data), DataOf(source.data));
    // The copies are the target's own.
    source.adjust.value = 4.0;
    EXPECT_EQ(target.adjust.value, -0.75);
}

TEST(SettingsHolderImportTest, ResetsEveryAbsentRecordAndTakesTheFlags)
{
    CTlvSettingsHolder target;
    FillHolder(target);
    CTlvEditSettings settings(0, 0);
    MarkAllSlots(settings, 1);
    target.ImportFrom(settings);

    CTlvSettingsHolder fresh;
    StoredForms expected = StoredFormsOf(fresh);
    StoredForms actual = StoredFormsOf(target);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (expected[i].first == std::string("auto brightness"))
            continue; // its reset keeps the levels the picture gave
        EXPECT_EQ(actual[i].second, expected[i].second) << expected[i].first;
    }
    EXPECT_TRUE(target.autoBrightness.IsDefault());
    EXPECT_EQ(target.autoBrightness.lowLevel, 3);
    EXPECT_EQ(target.whiteBalance.mode, CTlWhiteBalanceState::kModeAsShot);
    EXPECT_EQ(target.whiteBalance.firstGain, 1.0);
    EXPECT_EQ(UseFlagsOf(target), std::vector<int>(UseFlagsOf(target).size(), 1));
    EXPECT_EQ(target.flip, 0);
    EXPECT_EQ(target.angle, 0);
    EXPECT_FALSE(target.data.HasData());
}

TEST(SettingsHolderImportTest, AbsentCurveContainersKeepTheirChannels)
{
    CTlvControlSettings control;
    FillHolder(control);
    CTlvEditSettings settings(0, 0);
    control.ImportFrom(settings);
    for (const CTlLutGroup* group : {&control.toneCurves, &control.brightnessContrast}) {
        EXPECT_EQ(group->GetCount(), 4);
        EXPECT_TRUE(group->IsDefault());
    }
}

TEST(SettingsHolderImportTest, ImportOfItsOwnExportChangesNothing)
{
    CTlvSettingsHolder holder;
    FillHolder(holder);
    holder.secondValueSwitch = 1;
    const StoredForms before = StoredFormsOf(holder);
    CTlvEditSettings settings(0, 0);
    holder.ExportTo(settings);
    holder.ImportFrom(settings);
    const StoredForms after = StoredFormsOf(holder);
    for (std::size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(after[i].second, before[i].second) << before[i].first;
}

TEST(SettingsHolderImportTest, ImportThenExportCarriesEverythingToTheSecondHolder)
{
    CTlvSettingsHolder first;
    FillHolder(first);
    first.secondValueSwitch = 1;
    CTlvEditSettings fromFirst(0, 0);
    first.ExportTo(fromFirst);

    CTlvSettingsHolder second;
    second.secondValueSwitch = 1;
    second.ImportFrom(fromFirst);
    CTlvEditSettings fromSecond(0, 0);
    second.ExportTo(fromSecond);

    ExpectSlotsPointAt(fromSecond, second);
    const std::vector<SlotView> a = SlotsOf(fromFirst);
    const std::vector<SlotView> b = SlotsOf(fromSecond);
    for (std::size_t i = 0; i < a.size(); ++i)
        EXPECT_EQ(a[i].flag, b[i].flag) << a[i].name;
    EXPECT_EQ(fromSecond.flip, fromFirst.flip);
    EXPECT_EQ(fromSecond.angle, fromFirst.angle);
    EXPECT_EQ(DataOf(fromSecond.data), DataOf(fromFirst.data));
    ExpectSameRecords(second, first);
}

TEST(SettingsHolderImportTest, TripleValueKeepsItsSecondValueOnlyWhenAvailable)
{
    const struct {
        std::uint8_t secondValueSwitch;
        std::uint32_t secondValueBlock;
        std::int32_t second;
    } cases[] = {
        {0, 0, 0},
        {1, 0, 6},
        {1, 2, 0},
        {0, 2, 0},
    };
    CTlvSettingsHolder source;
    FillHolder(source);
    CTlvEditSettings settings(0, 0);
    source.ExportTo(settings);
    for (const auto& c : cases) {
        CTlvSettingsHolder target;
        target.secondValueSwitch = c.secondValueSwitch;
        target.secondValueBlock = c.secondValueBlock;
        target.ImportFrom(settings);
        EXPECT_EQ(target.tripleValue.second, c.second) << int(c.secondValueSwitch) << " " << c.secondValueBlock;
        EXPECT_EQ(target.tripleValue.first, 5);
    }
}

} // namespace
