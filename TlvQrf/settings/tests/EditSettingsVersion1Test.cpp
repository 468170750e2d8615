// The oldest stored form of the top-level record: a fixed sequence of flags,
// nested records and values after the version, loaded with its repairs.
#include "EditSettingsTestSupport.h"

#include "GeometryStateGoldens.h"
#include "LutStoredGoldens.h"
#include "SmallStateGoldens.h"

#include <gtest/gtest.h>

using namespace edit_test;

namespace {

// Tone curves stored in the oldest container form: the master and three
// red channels, 26 + 124 + 3 * 140 = 570 bytes.
const Bytes kToneCurvesV1 = {TL_LG_GROUP_ID, 0x04, 0x01, TL_LG_HALF, TL_LG_MASTER_OLDEST(TL_LG_ZERO),
                             TL_LG_RED_OLDEST, TL_LG_RED_OLDEST, TL_LG_RED_OLDEST};

// Version 1: flag 1, the sharpening list (one entry); flag 1, the tone
// curves; flag 0, a brightness set of two channels; the geometry (version 2,
// mirrored, 90 degrees); flip 1; angle 90; the gains 2.0 and 0.5.
Bytes Version1Block()
{
    return Concat({Hex(kEditSettingsId), Hex("0100"),                              //
                   Hex("01"), Hex(tlstate_test::kUsmListStateV1),                  //
                   Hex("01"), kToneCurvesV1,                                       //
                   Hex("00"), lut_stored_test::kLutGroupStoredV1,                  //
                   geometry_state_test::kGeometryStateV2,                          //
                   Hex("01"), Hex("5A00"),                                         //
                   Hex("0000000000000040"), Hex("000000000000E03F")});
}

struct Version1Load {
    EditRecords records;
    CTlvEditSettings settings{0, 0};
    int result = 0;

    Version1Load(double scale1, double scale2, bool withWhiteBalance = true)
    {
        records.PointAt(settings);
        if (!withWhiteBalance)
            settings.whiteBalance.record = nullptr;
        settings.whiteBalanceScale1 = scale1;
        settings.whiteBalanceScale2 = scale2;
        result = LoadInto(settings, Version1Block());
    }
};

TEST(EditSettingsVersion1, FixedLayoutLoadsEveryPart)
{
    Version1Load load(1.5, 4.0);
    EXPECT_EQ(load.result, int(Version1Block().size()));
    EXPECT_EQ(load.records.usmList.entries.size(), 1u);
    EXPECT_EQ(load.settings.usmList.isDefault, 1);
    EXPECT_EQ(load.settings.toneCurves.isDefault, 1);
    EXPECT_EQ(load.settings.brightnessContrast.isDefault, 0);
    EXPECT_EQ(load.records.toneCurves.GetCount(), 4);
    EXPECT_EQ(static_cast<CTlLut*>(load.records.toneCurves.GetAt(3))->GetParams().black, 0.125);
    EXPECT_EQ(load.records.geometry.GetLoadedVersion(), 2);
    EXPECT_EQ(load.settings.flip, 1);
    EXPECT_EQ(load.settings.angle, 90);
    EXPECT_EQ(load.settings.marker, 0);
    EXPECT_EQ(load.settings.recordsDone, kTlvSlotUsmList | kTlvSlotToneCurves | kTlvSlotBrightnessContrast |
                                             kTlvSlotGeometry | kTlvSlotFlip | kTlvSlotAngle);
}

TEST(EditSettingsVersion1, IncompleteCurveSetIsRebuiltAndReported)
{
    Version1Load load(0, 0);
    const CTlLutGroup& group = load.records.brightnessContrast;
    EXPECT_EQ(group.GetCount(), 4);
    for (int i = 0; i < group.GetCount(); ++i)
        EXPECT_EQ(group.GetAt(i)->GetElementId(), i);
    // Only the channels are replaced: the stored contrast stays.
    EXPECT_EQ(group.GetContrast(), 0.5);
    EXPECT_EQ(load.settings.curvesReplaced, 1);
}

TEST(EditSettingsVersion1, StoredGainsAreScaledByTheOwnersFactors)
{
    struct ScaleCase {
        const char* name;
        double scale1;
        double scale2;
        std::int32_t mode;
        double firstGain;
        double secondGain;
        std::uint8_t flag;
    };
    const ScaleCase cases[] = {
        {"BothFactors", 1.5, 4.0, CTlWhiteBalanceState::kModeGains, 3.0, 2.0, 1},
        {"FirstFactorOnly", 1.5, 0.0, CTlWhiteBalanceState::kModeGains, 3.0, 1.0, 1},
        {"SecondFactorOnly", 0.0, 4.0, CTlWhiteBalanceState::kModeGains, 1.0, 2.0, 1},
        {"NoFactors", 0.0, 0.0, CTlWhiteBalanceState::kModeAsShot, 1.0, 1.0, 0},
    };
    for (const ScaleCase& c : cases) {
        Version1Load load(c.scale1, c.scale2);
        const CTlWhiteBalanceState& whiteBalance = load.records.whiteBalance;
        EXPECT_EQ(whiteBalance.mode, c.mode) << c.name;
        EXPECT_EQ(whiteBalance.firstGain, c.firstGain) << c.name;
        EXPECT_EQ(whiteBalance.secondGain, c.secondGain) << c.name;
        EXPECT_EQ(load.settings.whiteBalance.isDefault, c.flag) << c.name;
    }
}

TEST(EditSettingsVersion1, LoadsWithoutAWhiteBalanceRecord)
{
    Version1Load load(1.5, 4.0, false);
    EXPECT_EQ(load.result, int(Version1Block().size()));
    EXPECT_EQ(load.settings.whiteBalance.isDefault, 1);
}

TEST(EditSettingsVersion1, ZeroStoredGainLoadsAsShot)
{
    Bytes block = Version1Block();
    std::fill(block.end() - 16, block.end() - 8, 0x00);
    EditRecords records;
    CTlvEditSettings settings(0, 0);
    records.PointAt(settings);
    settings.whiteBalanceScale1 = 1.5;
    LoadInto(settings, block);
    EXPECT_EQ(records.whiteBalance.mode, CTlWhiteBalanceState::kModeAsShot);
    EXPECT_EQ(records.whiteBalance.firstGain, 1.0);
}

TEST(EditSettingsVersion1, AbsentRecordsArePassedOverByTheirOwnSize)
{
    CTlvEditSettings settings(0, 0);
    CTlWhiteBalanceState whiteBalance;
    settings.whiteBalance.record = &whiteBalance;
    settings.whiteBalanceScale2 = 4.0;
    EXPECT_EQ(LoadInto(settings, Version1Block()), int(Version1Block().size()));
    EXPECT_EQ(settings.angle, 90);
    EXPECT_EQ(whiteBalance.secondGain, 2.0);
}

// Every cut of the block (from the version on) loads what lies before the
// cut and stops there.
TEST(EditSettingsVersion1, EveryCutBlockLoadsWithinItsBytes)
{
    const Bytes full = Version1Block();
    for (std::size_t n = 18; n < full.size(); ++n) {
        const Bytes cut(full.begin(), full.begin() + long(n));
        EditRecords records;
        CTlvEditSettings settings(0, 0);
        records.PointAt(settings);
        settings.whiteBalanceScale1 = 1.5;
        const int result = LoadInto(settings, cut);
        ASSERT_LE(result, int(n)) << n;
        // The first gain counts only when all its 8 bytes are present.
        const bool firstGainPresent = n >= full.size() - 8;
        ASSERT_EQ(records.whiteBalance.mode == CTlWhiteBalanceState::kModeGains, firstGainPresent) << n;
    }
}

} // namespace
