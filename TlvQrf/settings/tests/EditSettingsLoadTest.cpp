// Load of the top-level edit-settings record from hand-built blocks: what
// each entry sets, what the masks select, and the repairs after the walk.
#include "EditSettingsTestSupport.h"

#include "SmallStateGoldens.h"

#include <gtest/gtest.h>

using namespace edit_test;

namespace {

Bytes RecordEntry(ITlState& record)
{
    return SaveWhole(record);
}

Bytes RecordEntry(ITlState&& record)
{
    return SaveWhole(record);
}

Bytes MarkerEntry(unsigned char value)
{
    return ValueEntry(kMarkerEntryId, {value});
}

Bytes AngleEntry(std::uint16_t angle)
{
    return ValueEntry(kAngleEntryId, {static_cast<unsigned char>(angle), static_cast<unsigned char>(angle >> 8)});
}

// A record pointing at a full set of records with distinct contents.
struct Target {
    EditRecords records;
    CTlvEditSettings settings{0, 0};

    Target()
    {
        FillDistinct(records);
        records.PointAt(settings);
    }
};

TEST(EditSettingsLoad, MarkerTellsWhetherTheBlockCarriedItsEntry)
{
    struct MarkerCase {
        const char* name;
        Bytes block;
        std::uint8_t marker;
    };
    const MarkerCase cases[] = {
        {"WithMarker", EditBlock({MarkerEntry(1)}), 1},
        {"WithoutMarker", EditBlock({AngleEntry(0)}), 0},
        {"MarkerStoredAsZero", EditBlock({MarkerEntry(0)}), 0},
        {"HeaderOnly", EditBlock({}), 0},
    };
    for (const MarkerCase& c : cases) {
        CTlvEditSettings settings(0, 0);
        EXPECT_EQ(LoadInto(settings, c.block), int(c.block.size())) << c.name;
        EXPECT_EQ(settings.marker, c.marker) << c.name;
        EXPECT_EQ(settings.loaded, 1u) << c.name;
    }
}

TEST(EditSettingsLoad, RefusedBlocksLeaveEverySubRecordUnchanged)
{
    const Bytes good = EditBlock({MarkerEntry(1), RecordEntry(CTlVignetteState())});
    Bytes wrongId = good;
    wrongId[3] ^= 0x01;
    struct RefusalCase {
        const char* name;
        const unsigned char* buffer;
        int size;
        std::uint32_t loaded; // a block of at least an id's size counts as a load
    };
    const RefusalCase cases[] = {
        {"NoBuffer", nullptr, int(good.size()), 0},
        {"NegativeSize", good.data(), -1, 0},
        {"ShorterThanAnId", good.data(), 15, 0},
        {"AnotherId", wrongId.data(), int(wrongId.size()), 1},
    };
    for (const RefusalCase& c : cases) {
        Target target;
        target.settings.whiteBalance.isDefault = 1;
        const std::vector<Bytes> before = target.records.Stored();
        EXPECT_EQ(target.settings.Load(c.buffer, c.size, 0, 0), 0) << c.name;
        EXPECT_EQ(target.records.Stored(), before) << c.name;
        EXPECT_EQ(target.settings.whiteBalance.isDefault, 1) << c.name;
        EXPECT_EQ(target.settings.loaded, c.loaded) << c.name;
    }
}

TEST(EditSettingsLoad, UnreadVersionsChangeNothingElse)
{
    struct VersionCase {
        const char* name;
        Bytes block;
        int result;
    };
    Bytes version3 = EditBlock({RecordEntry(CTlVignetteState())}, 3);
    const VersionCase cases[] = {
        {"IdAlone", Hex(kEditSettingsId), 18},
        {"VersionZero", EditBlock({RecordEntry(CTlVignetteState())}, 0), 18},
        {"VersionThree", version3, 22},
        {"VersionAtItsLargest", EditBlock({}, 0xFFFF), 22},
    };
    for (const VersionCase& c : cases) {
        Target target;
        const std::vector<Bytes> before = target.records.Stored();
        EXPECT_EQ(LoadInto(target.settings, c.block), c.result) << c.name;
        EXPECT_EQ(target.records.Stored(), before) << c.name;
        EXPECT_EQ(target.settings.marker, 0) << c.name;
    }
}

TEST(EditSettingsLoad, PlainLoadSlotReadsNothing)
{
    Target target;
    const Bytes block = EditBlock({MarkerEntry(1), RecordEntry(CTlVignetteState())});
    const std::vector<Bytes> before = target.records.Stored();
    EXPECT_EQ(tlstate_test::LoadBytes(target.settings, block), 0);
    EXPECT_EQ(target.records.Stored(), before);
    EXPECT_EQ(target.settings.loaded, 0u);
}

TEST(EditSettingsLoad, WhiteBalanceWithAZeroGainLoadsAsShot)
{
    struct GainCase {
        const char* name;
        double first;
        double second;
        bool mended;
    };
    const GainCase cases[] = {
        {"FirstZero", 0.0, 1.2, true},
        {"SecondZero", 1.2, 0.0, true},
        {"BothZero", 0.0, 0.0, true},
        {"NeitherZero", 1.2, 0.8, false},
    };
    for (const GainCase& c : cases) {
        CTlWhiteBalanceState stored;
        stored.firstGain = c.first;
        stored.secondGain = c.second;
        stored.preset = 3;
        Target target;
        LoadInto(target.settings, EditBlock({RecordEntry(stored)}));
        const CTlWhiteBalanceState& loaded = target.records.whiteBalance;
        EXPECT_EQ(loaded.mode, c.mended ? CTlWhiteBalanceState::kModeAsShot : CTlWhiteBalanceState::kModeGains)
            << c.name;
        EXPECT_EQ(loaded.firstGain, c.mended ? 1.0 : c.first) << c.name;
        EXPECT_EQ(loaded.secondGain, c.mended ? 1.0 : c.second) << c.name;
        EXPECT_EQ(loaded.preset, 3) << c.name;
    }
}

TEST(EditSettingsLoad, WhiteBalanceRepairFollowsTheRecordMask)
{
    Target target;
    target.records.whiteBalance.firstGain = 0.0;
    target.settings.recordMask = kTlvSlotVignette;
    LoadInto(target.settings, EditBlock({}));
    EXPECT_EQ(target.records.whiteBalance.mode, CTlWhiteBalanceState::kModeGains);
    EXPECT_EQ(target.records.whiteBalance.firstGain, 0.0);
}

// The stored geometry of a 300 x 200 image, orientation 0; the angle turns
// the image the geometry is loaded for.
TEST(EditSettingsLoad, AngleOfAQuarterTurnLoadsTheGeometryWithWidthAndHeightExchanged)
{
    struct AngleCase {
        const char* name;
        std::uint16_t angle;
        int width;
        int height;
        double outputWidth;
        double outputHeight;
    };
    const AngleCase cases[] = {
        {"NoTurn", 0, 300, 200, 300, 200},
        {"QuarterTurn", 90, 300, 200, 200, 300},
        {"HalfTurn", 180, 300, 200, 300, 200},
        {"ThreeQuarterTurn", 270, 300, 200, 200, 300},
        {"QuarterTurnOfALargerImage", 90, 600, 400, 400, 600},
    };
    CTlGeometryState stored(300, 200, nullptr, 300);
    for (const AngleCase& c : cases) {
        Target target;
        const Bytes block = EditBlock({AngleEntry(c.angle), RecordEntry(stored)});
        LoadInto(target.settings, block, c.width, c.height);
        const CTlGeometryState& geometry = target.records.geometry;
        EXPECT_EQ(geometry.GetRotation(), c.angle) << c.name;
        EXPECT_EQ(geometry.GetOutputWidth(), c.outputWidth) << c.name;
        EXPECT_EQ(geometry.GetOutputHeight(), c.outputHeight) << c.name;
        EXPECT_NE(target.settings.recordsDone & kTlvSlotGeometry, 0u) << c.name;
    }
}

TEST(EditSettingsLoad, GeometryTakesTheFlipValueAsItsMirrorFlag)
{
    Target target;
    CTlGeometryState stored(300, 200, nullptr, 300);
    LoadInto(target.settings, EditBlock({ValueEntry(kFlipEntryId, {0x01}), RecordEntry(stored)}));
    EXPECT_EQ(target.records.geometry.GetMirrored(), 1);
    EXPECT_EQ(target.settings.flip, 1);
}

TEST(EditSettingsLoad, RefusedOrDeselectedGeometryKeepsTheRecord)
{
    Bytes unreadable = SaveWhole(CTlGeometryState(300, 200, nullptr, 300));
    tlstate_test::PutU16(unreadable, 16, 9);
    struct GeometryCase {
        const char* name;
        Bytes entry;
        std::uint32_t recordMask;
    };
    const GeometryCase cases[] = {
        {"UnknownVersion", unreadable, 0},
        {"Deselected", SaveWhole(CTlGeometryState(30, 20, nullptr, 300)), kTlvSlotAngle},
    };
    for (const GeometryCase& c : cases) {
        Target target;
        target.settings.recordMask = c.recordMask;
        const Bytes before = SaveWhole(target.records.geometry);
        LoadInto(target.settings, EditBlock({AngleEntry(90), c.entry}), 300, 200);
        EXPECT_EQ(SaveWhole(target.records.geometry), before) << c.name;
        EXPECT_EQ(target.settings.recordsDone & kTlvSlotGeometry, 0u) << c.name;
    }
}

Bytes StoredCurves(int kind, int channels)
{
    CTlLutGroup group;
    for (int id = 1; id < channels; ++id)
        group.AddLut(id, {9, 9, 9}, {0, 0, 0}, {9, 9, 9});
    group.SetKind(kind);
    return SaveWhole(group);
}

std::vector<std::int32_t> ChannelColours(const CTlLutGroup& group)
{
    std::vector<std::int32_t> colours;
    for (int i = 0; i < group.GetCount(); ++i) {
        const auto* lut = dynamic_cast<const CTlLut*>(group.GetAt(i));
        if (lut == nullptr)
            return {};
        colours.push_back(lut->GetElementId());
        for (int c = 0; c < 3; ++c) {
            const TlLutColour& colour = lut->GetColours()[c];
            colours.insert(colours.end(), {colour.red, colour.green, colour.blue});
        }
    }
    return colours;
}

TEST(EditSettingsLoad, CurveContainersWithoutFourChannelsAreRebuiltWithTheirDefaults)
{
    // Element id, then the curve colour and the gradient's start and end.
    const std::vector<std::int32_t> toneDefaults = {
        0, 0, 0, 0, 0, 0, 0, 255, 255, 255,       //
        1, 255, 0, 0, 0, 0, 0, 255, 0, 0,         //
        2, 0, 255, 0, 0, 0, 0, 0, 255, 0,         //
        3, 0, 0, 255, 0, 0, 0, 0, 0, 255,
    };
    const std::vector<std::int32_t> brightnessDefaults = {
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0,
        2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    };
    const std::vector<std::int32_t> lchDefaults = {0, 0, 0, 0, 0, 0, 0, 255, 255, 255};
    struct CurveCase {
        const char* name;
        int kind;
        int storedChannels;
        CTlLutGroup EditRecords::*group;
        const std::vector<std::int32_t>* defaults;
    };
    const CurveCase cases[] = {
        {"ToneCurvesWithTwo", kTlLutGroupToneCurves, 2, &EditRecords::toneCurves, &toneDefaults},
        {"ToneCurvesWithFive", kTlLutGroupToneCurves, 5, &EditRecords::toneCurves, &toneDefaults},
        {"BrightnessWithOne", kTlLutGroupBrightnessContrast, 1, &EditRecords::brightnessContrast,
         &brightnessDefaults},
        {"LchWithTwo", kTlLutGroupLch, 2, &EditRecords::lch, &lchDefaults},
    };
    for (const CurveCase& c : cases) {
        Target target;
        LoadInto(target.settings, EditBlock({StoredCurves(c.kind, c.storedChannels)}));
        const CTlLutGroup& group = target.records.*c.group;
        EXPECT_EQ(ChannelColours(group), *c.defaults) << c.name;
        EXPECT_EQ(group.GetCurrentElement(), 0) << c.name;
        EXPECT_EQ(group.GetKind(), c.kind) << c.name;
        EXPECT_EQ(target.settings.curvesReplaced, 1) << c.name;
    }
}

TEST(EditSettingsLoad, DefaultCurvesOfAnUnknownKindChangeNothing)
{
    EditRecords records;
    FillDistinct(records);
    const Bytes before = SaveWhole(records.toneCurves);
    EXPECT_FALSE(TlSetDefaultChannels(records.toneCurves, 0));
    EXPECT_FALSE(TlSetDefaultChannels(records.toneCurves, 4));
    EXPECT_EQ(SaveWhole(records.toneCurves), before);
}

TEST(EditSettingsLoad, CurvesReplacedOnlyForContainersReadFromTheBlock)
{
    Target target;
    target.records.toneCurves.RemoveChannels();
    target.settings.curvesReplaced = 1;
    // A complete tone-curve set is read; the incomplete one it replaces was
    // the container's own. The LCH set is not read and is incomplete.
    target.records.lch.RemoveChannels();
    target.records.lch.AddLut(1, {1, 1, 1}, {0, 0, 0}, {1, 1, 1});
    LoadInto(target.settings, EditBlock({StoredCurves(kTlLutGroupToneCurves, 4)}));
    EXPECT_EQ(target.records.toneCurves.GetCount(), 4);
    EXPECT_EQ(target.records.lch.GetCount(), 1);
    EXPECT_EQ(target.settings.curvesReplaced, 0);
}

TEST(EditSettingsLoad, CompleteCurveSetsKeepTheirElements)
{
    Target target;
    CTlCurveBase* channel = target.records.toneCurves.GetAt(2);
    EditRecords source;
    FillDistinct(source);
    LoadInto(target.settings, EditBlock({RecordEntry(source.toneCurves)}));
    EXPECT_EQ(target.records.toneCurves.GetAt(2), channel);
    EXPECT_EQ(SaveWhole(target.records.toneCurves), SaveWhole(source.toneCurves));
    EXPECT_EQ(target.settings.curvesReplaced, 0);
}

TEST(EditSettingsLoad, ResetCurvesClearsTheFirstTwoContainersBeforeReading)
{
    for (const std::uint8_t reset : {0, 1}) {
        Target target;
        target.settings.resetCurves = reset;
        const Bytes toneBefore = SaveWhole(target.records.toneCurves);
        const Bytes lchBefore = SaveWhole(target.records.lch);
        LoadInto(target.settings, EditBlock({MarkerEntry(1)}));
        EXPECT_EQ(target.records.toneCurves.IsDefault(), reset == 1) << int(reset);
        EXPECT_EQ(target.records.brightnessContrast.IsDefault(), reset == 1) << int(reset);
        EXPECT_EQ(target.records.toneCurves.GetContrast(), reset == 1 ? 0.0 : 0.25) << int(reset);
        if (reset == 0) {
            EXPECT_EQ(SaveWhole(target.records.toneCurves), toneBefore);
        }
        EXPECT_EQ(SaveWhole(target.records.lch), lchBefore) << int(reset);
    }
}

TEST(EditSettingsLoad, CurveEntryOfAnUnknownKindIsPassedOver)
{
    Target target;
    const Bytes before = SaveWhole(target.records.lch);
    LoadInto(target.settings, EditBlock({StoredCurves(7, 4)}));
    EXPECT_EQ(SaveWhole(target.records.lch), before);
    EXPECT_EQ(target.settings.recordsDone & (kTlvSlotToneCurves | kTlvSlotBrightnessContrast | kTlvSlotLch), 0u);
}

TEST(EditSettingsLoad, FlagEntriesSetTheirSlotsFlagAsZeroOrOne)
{
    struct FlagCase {
        const char* name;
        unsigned char stored;
        std::uint8_t before;
        std::uint8_t after;
    };
    const FlagCase cases[] = {
        {"Set", 1, 0, 1},
        {"AnyNonZeroIsSet", 7, 0, 1},
        {"Cleared", 0, 1, 0},
    };
    for (const FlagCase& c : cases) {
        Target target;
        target.settings.whiteBalance.isDefault = c.before;
        LoadInto(target.settings, EditBlock({ValueEntry(kWhiteBalanceFlagId, {c.stored})}));
        EXPECT_EQ(target.settings.whiteBalance.isDefault, c.after) << c.name;
        EXPECT_EQ(target.settings.flagsDone, kTlvSlotWhiteBalance) << c.name;
    }
}

TEST(EditSettingsLoad, CurveFlagsNeedTheirRecordUnderAFlagMaskOfZero)
{
    CTlvEditSettings settings(0, 0);
    LoadInto(settings, EditBlock({ValueEntry(kToneCurvesFlagId, {1})}));
    EXPECT_EQ(settings.toneCurves.isDefault, 0);
    settings.flagMask = kTlvSlotToneCurves;
    LoadInto(settings, EditBlock({ValueEntry(kToneCurvesFlagId, {1})}));
    EXPECT_EQ(settings.toneCurves.isDefault, 1);
}

TEST(EditSettingsLoad, NameAndDataEntriesFollowTheFlagMask)
{
    const Bytes name = ValueEntry(kNameEntryId, {'P', 'o', 'r', 't', 'r', 'a', 'i', 't', 0, 'x', 'y'});
    const Bytes data = ValueEntry(kDataEntryId, {0x10, 0x20});
    const std::uint32_t nameAndData = kTlvSlotName | kTlvSlotData;
    for (const std::uint32_t flagMask : {0u, nameAndData, std::uint32_t(kTlvSlotAdjust)}) {
        CTlvEditSettings settings(0, 0);
        settings.name = "old";
        settings.data.Set("old", 3);
        settings.flagMask = flagMask;
        LoadInto(settings, EditBlock({name, data}));
        const bool selected = flagMask != kTlvSlotAdjust;
        EXPECT_EQ(settings.name, selected ? "Portrait" : "old") << flagMask;
        const Bytes expectedData = selected ? Bytes{0x10, 0x20} : Bytes{'o', 'l', 'd'};
        EXPECT_EQ(Bytes(settings.data.Data(), settings.data.Data() + settings.data.Count()), expectedData)
            << flagMask;
        EXPECT_EQ(settings.recordsDone, selected ? kTlvSlotName | kTlvSlotData : 0u) << flagMask;
    }
}

TEST(EditSettingsLoad, EmptyDataEntryEmptiesTheBlock)
{
    CTlvEditSettings settings(0, 0);
    settings.data.Set("old", 3);
    LoadInto(settings, EditBlock({ValueEntry(kDataEntryId, {})}));
    EXPECT_FALSE(settings.data.HasData());
}

TEST(EditSettingsLoad, UnknownEntriesArePassedOver)
{
    CTlVignetteState vignette;
    vignette.value = 12;
    Target target;
    const Bytes unknown = ValueEntry("00112233445566778899AABBCCDDEEFF", Bytes(40, 0x5A));
    LoadInto(target.settings, EditBlock({unknown, RecordEntry(vignette), unknown, MarkerEntry(1)}));
    EXPECT_EQ(target.records.vignette.value, 12);
    EXPECT_EQ(target.settings.marker, 1);
}

// A record that refuses its entry keeps what it held; the walk goes on.
TEST(EditSettingsLoad, SubRecordThatRefusesItsEntryKeepsItsContents)
{
    Bytes refusedWhiteBalance = Hex(tlstate_test::kWhiteBalanceStateV4);
    tlstate_test::PutU16(refusedWhiteBalance, 16, 0);
    Bytes refusedDust = SaveWhole(CTlDustState());
    tlstate_test::PutU32(refusedDust, 22, 1000); // data beyond the entry
    CTlVignetteState vignette;
    vignette.value = 12;

    Target target;
    const Bytes whiteBalanceBefore = SaveWhole(target.records.whiteBalance);
    const Bytes dustBefore = SaveWhole(target.records.dust);
    LoadInto(target.settings, EditBlock({refusedDust, refusedWhiteBalance, RecordEntry(vignette)}));
    EXPECT_EQ(SaveWhole(target.records.whiteBalance), whiteBalanceBefore);
    EXPECT_EQ(SaveWhole(target.records.dust), dustBefore);
    EXPECT_EQ(target.records.vignette.value, 12);
    EXPECT_EQ(target.settings.recordsDone, kTlvSlotVignette);
}

} // namespace
