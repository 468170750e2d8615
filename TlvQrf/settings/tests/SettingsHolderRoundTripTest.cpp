// A holder's records through the stored top-level record: export, save,
// load into a record pointed at another holder's records, import.
#include "HolderTestSupport.h"

#include "settings/edit/TlvEditSettings.h"
#include "settings/holders/TlvControlSettings.h"

#include <gtest/gtest.h>

#include <functional>

using namespace holder_test;
using tlstate_test::Bytes;

namespace {

TEST(SettingsHolderRoundTripTest, StoredRecordCarriesEveryRecordToAnotherHolder)
{
    // Control-side holders: a loaded curve container without its four
    // channels is rebuilt with the default ones.
    CTlvControlSettings source;
    FillHolder(source);
    const TlLutColour grey{128, 128, 128};
    for (int id = 1; id <= 3; ++id)
        ASSERT_NE(source.lch.AddLut(id, grey, grey, grey), nullptr);
    source.secondValueSwitch = 1;
    // The control-side import turns a used red-eye value into 1.
    source.redEye.value = 1;
    // A loaded geometry takes the stored orientation: keep it upright.
    source.flip = 0;
    source.angle = 0;
    source.geometry.SetRotation(0, 0, false);
    CTlvEditSettingsEx saving;
    source.ExportTo(saving);
    const int size = saving.GetSize();
    ASSERT_GT(size, 22);
    Bytes block(static_cast<std::size_t>(size));
    ASSERT_EQ(saving.Save(block.data(), size), size);

    CTlvControlSettings target;
    target.secondValueSwitch = 1;
    CTlvEditSettingsEx loading;
    target.ExportTo(loading);
    ASSERT_EQ(loading.Load(block.data(), size, 3008, 2000), size);
    target.ImportFrom(loading);

    const StoredForms expected = StoredFormsOf(source);
    const StoredForms actual = StoredFormsOf(target);
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(actual[i].second, expected[i].second) << expected[i].first;
    EXPECT_EQ(UseFlagsOf(target), UseFlagsOf(source));
    EXPECT_EQ(target.flip, source.flip);
    EXPECT_EQ(target.angle, source.angle);
    EXPECT_EQ(Bytes(target.data.Data(), target.data.Data() + target.data.Count()),
              Bytes(source.data.Data(), source.data.Data() + source.data.Count()));
}

Bytes StoredRecord(CTlvSettingsHolder& holder)
{
    CTlvEditSettingsEx settings;
    holder.ExportTo(settings);
    Bytes block(static_cast<std::size_t>(settings.GetSize()));
    settings.Save(block.data(), static_cast<int>(block.size()));
    return block;
}

// A control-side holder loaded from `block` as the library loads a raw
// file's settings (at the holder's own image size).
void LoadInto(CTlvControlSettings& holder, const Bytes& block)
{
    CTlvEditSettingsEx loading;
    holder.ExportTo(loading);
    ASSERT_EQ(loading.Load(block.data(), static_cast<int>(block.size()), 3008, 2000), static_cast<int>(block.size()));
    holder.ImportFrom(loading);
}

// Stored settings read into a holder and saved again are the same bytes.
// The filled holder keeps clear of the fields the load and the import
// change on purpose: a curve container without four channels is rebuilt
// with its default channels, the geometry is oriented by the stored flip
// value and angle (and turned against the image size), a used red-eye
// value becomes 1, and the triple value's second value goes unless the
// holder's switch is set.
TEST(SettingsHolderRoundTripTest, StoredSettingsComeBackByteForByte)
{
    struct Case {
        const char* name;
        std::function<void(CTlvControlSettings&)> fill;
    };
    const Case cases[] = {
        {"defaults", [](CTlvControlSettings&) {}},
        {"edited",
         [](CTlvControlSettings& holder) {
             FillHolder(holder);
             const TlLutColour grey{128, 128, 128};
             for (int id = 1; id <= 3; ++id)
                 holder.lch.AddLut(id, grey, grey, grey);
             holder.redEye.value = 1;
             holder.secondValueSwitch = 1;
             holder.flip = 0;
             holder.angle = 0;
             holder.geometry.SetRotation(0, 0, false);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTlvControlSettings source;
        c.fill(source);
        const Bytes stored = StoredRecord(source);

        CTlvControlSettings target;
        target.secondValueSwitch = source.secondValueSwitch;
        LoadInto(target, stored);
        EXPECT_EQ(StoredRecord(target), stored);
    }
}

} // namespace
