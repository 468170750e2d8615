// A top-level record with every part saved, loaded into fresh records and
// saved again gives the same bytes; the masks pick what a Load reads.
#include "EditSettingsTestSupport.h"

#include <gtest/gtest.h>

using namespace edit_test;

namespace {

struct Loaded {
    EditRecords records;
    CTlvEditSettings settings{0, 0};
    int result = 0;

    explicit Loaded(const Bytes& block, std::uint32_t recordMask = 0, std::uint32_t flagMask = 0)
    {
        records.PointAt(settings);
        settings.recordMask = recordMask;
        settings.flagMask = flagMask;
        result = LoadInto(settings, block);
    }
};

Bytes SaveFull(EditRecords& records, std::size_t dustBytes = 100)
{
    FillDistinct(records, dustBytes);
    CTlvEditSettings settings(0, 0);
    records.PointAt(settings);
    FillSettings(settings);
    return SaveSettings(settings);
}

TEST(EditSettingsRoundTrip, FullRecordSavesBackByteForByte)
{
    EditRecords source;
    const Bytes saved = SaveFull(source);

    Loaded loaded(saved);
    EXPECT_EQ(loaded.result, int(saved.size()));
    EXPECT_EQ(loaded.records.Stored(), source.Stored());
    EXPECT_EQ(SaveSettings(loaded.settings), saved);
    EXPECT_EQ(loaded.settings.flip, 1);
    EXPECT_EQ(loaded.settings.angle, 90);
    EXPECT_EQ(loaded.settings.marker, 1);
    EXPECT_EQ(loaded.settings.loaded, 1u);
    EXPECT_EQ(loaded.settings.curvesReplaced, 0);
    EXPECT_EQ(loaded.settings.data.Count(), 5u);
    EXPECT_EQ(loaded.settings.toneCurves.isDefault, 1);
    EXPECT_EQ(loaded.settings.whiteBalance.isDefault, 0);
}

// Entries of 64 KB and more (the dust record's reference data) are written
// whole, and every setting after them still loads.
TEST(EditSettingsRoundTrip, EntriesOf64KilobytesAndMoreKeepEverySettingAfterThem)
{
    struct LargeCase {
        const char* name;
        std::size_t dustBytes;
    };
    const LargeCase cases[] = {
        {"EntryOfExactly64Kilobytes", 65536 - 37},
        {"EntryJustOver64Kilobytes", 65536 - 36},
        {"DataOf64Kilobytes", 65536},
        {"DataOf70Kilobytes", 70 * 1024},
        {"EntryOf64KilobytesPlusAHeader", 65536 + 22 - 37},
    };
    for (const LargeCase& c : cases) {
        EditRecords source;
        const Bytes saved = SaveFull(source, c.dustBytes);
        ASSERT_GT(saved.size(), c.dustBytes) << c.name;

        Loaded loaded(saved);
        EXPECT_EQ(loaded.result, int(saved.size())) << c.name;
        EXPECT_EQ(loaded.records.dust.GetDataSize(), c.dustBytes) << c.name;
        EXPECT_EQ(loaded.records.Stored(), source.Stored()) << c.name;
        EXPECT_EQ(SaveSettings(loaded.settings), saved) << c.name;
    }
}

TEST(EditSettingsRoundTrip, RecordMaskLoadsOnlyTheSelectedRecords)
{
    EditRecords source;
    const Bytes saved = SaveFull(source);
    EditRecords untouched;
    const std::vector<Bytes> fresh = untouched.Stored();

    Loaded loaded(saved, kTlvSlotWhiteBalance | kTlvSlotVignette);
    EXPECT_EQ(SaveWhole(loaded.records.whiteBalance), SaveWhole(source.whiteBalance));
    EXPECT_EQ(SaveWhole(loaded.records.vignette), SaveWhole(source.vignette));
    // Everything else keeps its fresh contents: only those two differ.
    std::vector<Bytes> stored = loaded.records.Stored();
    std::size_t differing = 0;
    for (std::size_t i = 0; i < stored.size(); ++i)
        differing += stored[i] != fresh[i] ? 1 : 0;
    EXPECT_EQ(differing, 2u);
    // The data block follows the flag mask on loading.
    EXPECT_EQ(loaded.settings.recordsDone, kTlvSlotWhiteBalance | kTlvSlotVignette | kTlvSlotData);
    // Flip and angle follow the record mask.
    EXPECT_EQ(loaded.settings.flip, 0);
    EXPECT_EQ(loaded.settings.angle, 0);
    EXPECT_EQ(loaded.settings.data.Count(), 5u);
}

TEST(EditSettingsRoundTrip, FlagMaskLoadsOnlyTheSelectedFlags)
{
    EditRecords source;
    const Bytes saved = SaveFull(source);

    Loaded loaded(saved, 0, kTlvSlotUsmList | kTlvSlotAdjust);
    EXPECT_EQ(loaded.settings.flagsDone, kTlvSlotUsmList | kTlvSlotAdjust);
    EXPECT_EQ(loaded.settings.usmList.isDefault, 1);
    EXPECT_EQ(loaded.settings.adjust.isDefault, 1);
    EXPECT_EQ(loaded.settings.vignette.isDefault, 0);
    EXPECT_EQ(loaded.settings.toneCurves.isDefault, 0);
    EXPECT_FALSE(loaded.settings.data.HasData());
}

TEST(EditSettingsRoundTrip, ExSettingsStartAtNoFlipAndNoAngle)
{
    CTlvEditSettingsEx settings;
    EXPECT_EQ(settings.flip, 0);
    EXPECT_EQ(settings.angle, 0);
    EXPECT_EQ(SaveSettings(settings), Hex(kEditSettingsEmptyV2));
}

} // namespace
