// The export's bounded tables: the image list handed to the saver never
// runs past its three entries whatever count the saver asks for, and the
// working-profile slot of the last colour stage is always one the table has.
#include "export/TlExportSteps.h"

#include "colour/TlWorkingProfiles.h"
#include "export/TlReleaseSaveState.h"
#include "params/TlvParamSet.h"
#include "pellio/PellioFormats.h"
#include "save/TlSaveState.h"
#include "settings/holders/TlvSettingsHolder.h"

#include <gtest/gtest.h>

namespace {

TEST(ExportImageList, TheSaversCountNeverRunsPastTheList)
{
    CTlvSettingsHolder holder;
    CTlvParamSet params(holder);
    const struct {
        int asked;
        int used;
    } cases[] = {{0, 1}, {1, 1}, {2, 2}, {3, 2}, {1000, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.asked);
        STlSaveState& save = SaveState();
        save.bitmap = {0xBEEF, nullptr, 0}; // lies right after the list
        EXPECT_EQ(c.used, FillExportImageList(params, c.asked));
        EXPECT_EQ(c.used + 1, save.imageCount);
        EXPECT_EQ(kPellioEntryRendition, save.imageList[0].kind);
        EXPECT_EQ(kPellioEntryRawSource, save.imageList[c.used].kind) << "the source entry ends the list";
        EXPECT_EQ(0xBEEFu, save.bitmap.magic) << "nothing written past the list";
        ReleaseSaveState(false);
    }
}

TEST(ExportImageList, TheBitmapOptionPutsTheAttachedBlockLast)
{
    CTlvSettingsHolder holder;
    CTlvParamSet params(holder);
    const unsigned char block[3] = {1, 2, 3};
    params.options[2] = 1;
    params.profileBuffer = block;
    params.profileBufferSize = sizeof block;
    ASSERT_EQ(2, FillExportImageList(params, 2));
    const KelvraSaveEntry& last = SaveState().imageList[2];
    EXPECT_EQ(kPellioEntryBitmap, last.kind);
    EXPECT_EQ(2u, last.count);
    const auto* record = static_cast<const KelvraSaveBitmap*>(last.object);
    EXPECT_EQ(kKelvraSaveBitmapMagic, record->magic);
    EXPECT_EQ(block, record->bits);
    EXPECT_EQ(3u, record->length);
    ReleaseSaveState(false);
}

TEST(ExportWorkingSlot, EveryAnswerIsASlotOfTheTable)
{
    for (KelvraPixelFormat format : {kKelvraGrey8, kKelvraRGB8, kKelvraGrey16, kKelvraRGB16}) {
        for (std::uint32_t layout = 0; layout <= 4; ++layout) {
            const int slot = ExportWorkingSlot(format, layout);
            EXPECT_TRUE(slot == kNoSlot || (slot >= 0 && slot < kTlWorkingProfileSlots))
                << std::hex << format << " layout " << layout << ": slot " << slot;
        }
    }
    EXPECT_EQ(kNoSlot, ExportWorkingSlot(kKelvraGrey16, 3)) << "8-bit grey stays in its grey profile";
    EXPECT_EQ(kBadColourSpace, ExportWorkingSlot(kKelvraLab16, 0));
}

} // namespace
