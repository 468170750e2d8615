// Save of the top-level edit-settings record: the entries it writes for each
// mask, golden bytes of an empty record, and the rule that an entry is
// written whole or not at all.
#include "EditSettingsTestSupport.h"

#include "settings/edit/TlvEditEntryIds.h"
#include "settings/record/TlStateIds.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace edit_test;

namespace {

constexpr std::uint32_t kFlagsWithoutRecord = kTlvSlotRevelation | kTlvSlotDust | kTlvSlotAdjust |
                                              kTlvSlotWhiteBalance | kTlvSlotTripleValue | kTlvSlotFlags |
                                              kTlvSlotPlugins | kTlvSlotChromaBoost | kTlvSlotVignette |
                                              kTlvSlotRedEye | kTlvSlotAutoBrightness;
constexpr std::uint32_t kFlagsNeedingRecord =
    kTlvSlotUsmList | kTlvSlotToneCurves | kTlvSlotBrightnessContrast | kTlvSlotLch;
constexpr std::uint32_t kNestedRecords = kTlvSlotUsmList | kTlvSlotToneCurves | kTlvSlotBrightnessContrast |
                                         kTlvSlotLch | kTlvSlotRevelation | kTlvSlotDust | kTlvSlotGeometry |
                                         kTlvSlotAdjust | kTlvSlotWhiteBalance | kTlvSlotTripleValue |
                                         kTlvSlotFlags | kTlvSlotPlugins | kTlvSlotChromaBoost | kTlvSlotGeneral |
                                         kTlvSlotVignette | kTlvSlotRedEye | kTlvSlotAutoBrightness;

// Places in the empty golden record.
constexpr std::size_t kFlipByte = 22 + 22;
constexpr std::size_t kAngleWord = 22 + 23 + 22;
constexpr std::size_t kMarkerByte = 22 + 23 + 24 + 23 + 22;
constexpr std::size_t kWhiteBalanceFlagByte = 22 + 23 + 24 + 23 * 4 + 22;

Bytes IdBytes(const TlGuid& id)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(&id);
    return Bytes(bytes, bytes + 16);
}

TEST(EditSettingsSave, EmptyRecordWritesValueFlagAndMarkerEntriesOnly)
{
    CTlvEditSettings settings(0, 0);
    const Bytes golden = Hex(kEditSettingsEmptyV2);
    ASSERT_EQ(golden.size(), 345u);
    EXPECT_EQ(settings.GetSize(), 345);
    EXPECT_EQ(SaveSettings(settings), golden);
    EXPECT_EQ(settings.recordsDone, kTlvSlotFlip | kTlvSlotAngle);
    EXPECT_EQ(settings.flagsDone, kFlagsWithoutRecord);
}

TEST(EditSettingsSave, ValueEntriesCarryTheFlipLowByteTheAngleTheMarkerAndTheFlags)
{
    CTlvEditSettings settings(0x0103, 270);
    settings.whiteBalance.isDefault = 1;
    settings.marker = 0;
    Bytes expected = Hex(kEditSettingsEmptyV2);
    expected[kFlipByte] = 0x03;
    tlstate_test::PutU16(expected, kAngleWord, 270);
    expected[kMarkerByte] = 0x00;
    expected[kWhiteBalanceFlagByte] = 0x01;
    EXPECT_EQ(SaveSettings(settings), expected);
}

TEST(EditSettingsSave, EveryRecordAndFlagIsWrittenInSlotOrder)
{
    EditRecords records;
    FillDistinct(records);
    CTlvEditSettings settings(0, 0);
    records.PointAt(settings);
    FillSettings(settings);
    const Bytes saved = SaveSettings(settings);

    const std::vector<Bytes> expected = {
        IdBytes(kTlvFlagUsmList),      IdOf(records.usmList),      IdBytes(kTlvFlagToneCurves),
        IdOf(records.toneCurves),      IdBytes(kTlvFlagBrightnessContrast), IdOf(records.brightnessContrast),
        IdBytes(kTlvFlagLch),          IdOf(records.lch),          IdBytes(kTlvEntryFlip),
        IdBytes(kTlvEntryAngle),       IdBytes(kTlvFlagRevelation), IdOf(records.revelation),
        IdBytes(kTlvEntryMarker),      IdBytes(kTlvFlagDust),      IdOf(records.dust),
        IdOf(records.geometry),        IdBytes(kTlvFlagAdjust),    IdOf(records.adjust),
        IdBytes(kTlvFlagWhiteBalance), IdOf(records.whiteBalance), IdBytes(kTlvFlagTripleValue),
        IdOf(records.tripleValue),     IdBytes(kTlvFlagFlags),     IdOf(records.flags),
        IdBytes(kTlvFlagPlugins),      IdOf(records.plugins),      IdBytes(kTlvFlagChromaBoost),
        IdOf(records.chromaBoost),     IdBytes(kTlvEntryData),     IdOf(records.general),
        IdBytes(kTlvFlagVignette),     IdOf(records.vignette),     IdBytes(kTlvFlagRedEye),
        IdOf(records.redEye),          IdBytes(kTlvFlagAutoBrightness), IdOf(records.autoBrightness),
    };
    EXPECT_EQ(EntryIds(saved), expected);
    EXPECT_EQ(settings.recordsDone, kNestedRecords | kTlvSlotFlip | kTlvSlotAngle | kTlvSlotData);
    EXPECT_EQ(settings.flagsDone, kFlagsWithoutRecord | kFlagsNeedingRecord);

    std::uint32_t length = 0;
    std::memcpy(&length, saved.data() + 18, 4);
    EXPECT_EQ(length, saved.size() - 18);
}

TEST(EditSettingsSave, RecordMaskOfTheWhiteBalanceHoldsNoOtherRecord)
{
    EditRecords records;
    CTlvEditSettings settings(0, 0);
    records.PointAt(settings);
    settings.data.Set("abc", 3);
    settings.recordMask = kTlvSlotWhiteBalance;
    const Bytes saved = SaveSettings(settings);

    std::vector<Bytes> recordIds;
    for (const Bytes& id : EntryIds(saved)) {
        if (id == IdBytes(kTlvEntryMarker) || id == IdBytes(kTlvEntryFlip) || id == IdBytes(kTlvEntryAngle) ||
            id == IdBytes(kTlvEntryData))
            recordIds.push_back(id);
        for (const Bytes& stored : records.Stored()) {
            if (id == Bytes(stored.begin(), stored.begin() + 16))
                recordIds.push_back(id);
        }
    }
    EXPECT_EQ(recordIds, (std::vector<Bytes>{IdBytes(kTlvEntryMarker), IdOf(records.whiteBalance)}));
    EXPECT_EQ(settings.recordsDone, kTlvSlotWhiteBalance);
    // The flag mask is 0: every flag entry, the records being present.
    EXPECT_EQ(settings.flagsDone, kFlagsWithoutRecord | kFlagsNeedingRecord);
}

struct FlagMaskCase {
    const char* name;
    std::uint32_t flagMask;
    bool recordsPresent;
    std::uint32_t written;
};

const FlagMaskCase kFlagMaskCases[] = {
    {"ZeroWithoutRecords", 0, false, kFlagsWithoutRecord},
    {"ZeroWithRecords", 0, true, kFlagsWithoutRecord | kFlagsNeedingRecord},
    {"OneFlagWithoutItsRecord", kTlvSlotToneCurves, false, kTlvSlotToneCurves},
    {"OneFlagWithItsRecord", kTlvSlotWhiteBalance, true, kTlvSlotWhiteBalance},
    {"BitsWithoutFlagEntries", kTlvSlotGeometry | kTlvSlotGeneral | kTlvSlotFlip, true, 0},
};

TEST(EditSettingsSave, FlagMaskSelectsTheFlagEntries)
{
    for (const FlagMaskCase& c : kFlagMaskCases) {
        EditRecords records;
        CTlvEditSettings settings(0, 0);
        if (c.recordsPresent)
            records.PointAt(settings);
        settings.flagMask = c.flagMask;
        SaveSettings(settings);
        EXPECT_EQ(settings.flagsDone, c.written) << c.name;
    }
}

TEST(EditSettingsSave, CurveContainersAreWrittenWithTheKindOfTheirSlot)
{
    EditRecords records;
    records.toneCurves.SetKind(3);
    records.brightnessContrast.SetKind(1);
    records.lch.SetKind(2);
    CTlvEditSettings settings(0, 0);
    records.PointAt(settings);
    SaveSettings(settings);
    EXPECT_EQ(records.toneCurves.GetKind(), kTlLutGroupToneCurves);
    EXPECT_EQ(records.brightnessContrast.GetKind(), kTlLutGroupBrightnessContrast);
    EXPECT_EQ(records.lch.GetKind(), kTlLutGroupLch);
}

TEST(EditSettingsSave, DataBlockEntryCountsItsBytesAndIsLeftOutWhenEmpty)
{
    CTlvEditSettings settings(0, 0);
    settings.recordMask = kTlvSlotData;
    settings.data.Set("\xAA\xBB\xCC", 3);
    const Bytes saved = SaveSettings(settings);
    const Bytes entry = Concat({Hex(kDataEntryId), Hex("0100" "07000000" "AABBCC")});
    EXPECT_NE(std::search(saved.begin(), saved.end(), entry.begin(), entry.end()), saved.end());
    EXPECT_EQ(settings.recordsDone, kTlvSlotData);

    settings.data.Free();
    SaveSettings(settings);
    EXPECT_EQ(settings.recordsDone, 0u);
}

// Every buffer size: the result is the full size, nothing is written past
// the buffer, every entry is written whole or not at all, and the length
// word counts what was written.
TEST(EditSettingsSave, ShortBuffersGetTheWholeEntriesThatFit)
{
    EditRecords records;
    FillDistinct(records);
    CTlvEditSettings settings(1, 90);
    records.PointAt(settings);
    const Bytes full = SaveSettings(settings);

    std::vector<std::size_t> entryEnds = {22};
    while (entryEnds.back() < full.size()) {
        std::uint32_t length = 0;
        std::memcpy(&length, full.data() + entryEnds.back() + 18, 4);
        entryEnds.push_back(entryEnds.back() + length + 18);
    }
    for (std::size_t n = 0; n <= full.size(); ++n) {
        Bytes buffer(full.size() + 4, 0xEE);
        ASSERT_EQ(settings.Save(buffer.data(), int(n)), int(full.size())) << n;
        std::size_t written = n < 16 ? 0 : n < 18 ? 16 : n < 22 ? 18 : 22;
        for (std::size_t end : entryEnds) {
            if (end <= n)
                written = std::max(written, end);
        }
        for (std::size_t i = written; i < buffer.size(); ++i)
            ASSERT_EQ(buffer[i], 0xEE) << "size " << n << " byte " << i;
        for (std::size_t i = 0; i < written; ++i) {
            if (i < 18 || i >= 22) {
                ASSERT_EQ(buffer[i], full[i]) << "size " << n << " byte " << i;
            }
        }
        if (n >= 22) {
            std::uint32_t length = 0;
            std::memcpy(&length, buffer.data() + 18, 4);
            ASSERT_EQ(length, written - 18) << n;
        }
    }
}

} // namespace
