// A holder's records through the stored top-level record: export, save,
// load into a record pointed at another holder's records, import.
#include "HolderTestSupport.h"

#include "settings/edit/TlvEditSettings.h"
#include "settings/holders/TlvControlSettings.h"

#include <gtest/gtest.h>

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

} // namespace
