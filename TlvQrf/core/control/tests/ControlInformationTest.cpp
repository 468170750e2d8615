// The image information a control reads: sizes from the tags, the
// orientation they record, the settings a raw file stores and the embedded
// profile, on tags of synthetic raw files.
#include "ControlTestSupport.h"

#include "colour/TlWorkingProfiles.h"
#include "control/TlImageFormats.h"
#include "frame/TlProfileFolder.h"
#include "lib/TlLibraryState.h"
#include "pellio/Pellio.h"
#include "settings/edit/TlvEditSettings.h"

#include <functional>

namespace {

using namespace control_test;
using namespace TlvQrfLib;

constexpr std::uint32_t kStoredSettingsTag = 0x80E01;
constexpr double kModel259Scale = 0.7492354740061162;

void SetSizeTags(IKelvraTagControl& tags, std::uint32_t model, bool twelveBit, std::uint32_t width,
                 std::uint32_t height)
{
    const std::uint16_t bits[4] = {static_cast<std::uint16_t>(twelveBit ? 12 : 16), 0, 0, 0};
    raw_test::SetBytes(tags, 258, kKelvraTagTypeBytes, bits, sizeof bits);
    raw_test::SetLong(tags, kKelvraTagImageWidth, width);
    raw_test::SetLong(tags, kKelvraTagImageHeight, height);
    raw_test::SetLong(tags, kKelvraTagModelCode, model);
}

TEST(ControlSizeFromTags, CameraSizesOfTwelveBitData)
{
    const struct {
        std::uint32_t model;
        bool twelveBit;
        std::uint32_t width, height, expectedWidth, expectedHeight;
    } rows[] = {
        {516, true, 4016, 1312, 4016, 2616}, {516, true, 4000, 3000, 3264, 2448}, {513, true, 4016, 1312, 4016, 2616},
        {514, true, 100, 100, 2560, 1920},   {515, true, 4016, 1312, 4016, 2616}, {260, true, 10, 10, 2464, 1632},
        {259, true, 10, 10, 4016, 2616},     {1025, true, 10, 10, 3008, 2000},    {1026, true, 10, 10, 3008, 2000},
        {257, true, 192, 128, 180, 116},     {257, false, 192, 128, 192, 128},    {516, false, 4016, 1312, 4016, 1312},
    };
    for (const auto& row : rows) {
        PellioTagsPtr tags = raw_test::MakeTags();
        SetSizeTags(*tags, row.model, row.twelveBit, row.width, row.height);
        std::uint32_t width = 0;
        std::uint32_t height = 0;
        EXPECT_EQ(0, CodeOf(SizeFromTags(tags.get(), &width, &height))) << row.model;
        EXPECT_EQ(row.expectedWidth, width) << row.model << " " << row.width;
        EXPECT_EQ(row.expectedHeight, height) << row.model << " " << row.width;
    }
    PellioTagsPtr empty = raw_test::MakeTags();
    std::uint32_t width = 5;
    std::uint32_t height = 5;
    EXPECT_EQ(1007, CodeOf(SizeFromTags(empty.get(), &width, &height)));
    EXPECT_EQ(0u, width);
    EXPECT_EQ(1014, CodeOf(SizeFromTags(nullptr, &width, &height)));
    EXPECT_EQ(1014, CodeOf(SizeFromTags(empty.get(), nullptr, &height)));
}

TEST(ControlFormats, ClassAndDepthOfEachFormat)
{
    const struct {
        std::uint32_t format;
        int formatClass;
        std::uint32_t bytes;
    } rows[] = {{0x08020001, 2, 1}, {0x10020001, 2, 2}, {0x08060201, 1, 1}, {0x10060201, 1, 2},
                {0x10020401, 1, 2}, {0x10020402, 1, 2}, {0x10020403, 1, 2}, {0x08080202, 3, 1},
                {0x10020404, 0, 2}, {0, 0, 2}};
    for (const auto& row : rows) {
        EXPECT_EQ(row.formatClass, FormatClassOf(row.format)) << std::hex << row.format;
        EXPECT_EQ(row.bytes, SourceBytesOf(row.format)) << std::hex << row.format;
    }
}

class ControlInformation : public ControlFixture {
protected:
    // A control on the tags alone, as a host makes it to ask about a file.
    CTlvQrfControl& TagsOnlyControl()
    {
        CTlvQrfControl& c = NewControl();
        EXPECT_EQ(0, CodeOf(c.Initialize(nullptr, nullptr, tags.get())));
        return c;
    }
    std::int32_t StoredEditState(CTlvQrfControl& c)
    {
        std::int32_t state = -1;
        strTlnVQParam query{sizeof(strTlnVQParam), 2, 1, 4, &state};
        EXPECT_EQ(0, CodeOf(c.GetCaptureSettings(&query)));
        return state;
    }
    strTlnImageInfoParam Info(CTlvQrfControl& c)
    {
        strTlnImageInfoParam info{};
        info.size = sizeof info;
        EXPECT_EQ(0, CodeOf(c.GetImageInfo(&info)));
        return info;
    }
    // Stores the settings of `holder` as a raw file stores them.
    void StoreSettings(CTlvControlSettings& holder)
    {
        CTlvEditSettingsEx settings;
        holder.ExportTo(settings);
        std::vector<unsigned char> block(static_cast<std::size_t>(settings.GetSize()));
        settings.Save(block.data(), static_cast<int>(block.size()));
        raw_test::SetBytes(*tags, kStoredSettingsTag, kKelvraTagTypeBytes, block.data(), block.size());
    }
    std::vector<std::string> ProfileCopies() const
    {
        return TempFolder::Matching(GetProfileFolder() + "TlP*");
    }
};

TEST_F(ControlInformation, TagsAloneGiveSizeAndNoStoredState)
{
    CTlvQrfControl& c = TagsOnlyControl();
    EXPECT_EQ(0, StoredEditState(c));
    const strTlnImageInfoParam info = Info(c);
    EXPECT_EQ(180u, info.width) << "12-bit mosaic of model 257: the border is not developed";
    EXPECT_EQ(116u, info.height);
    EXPECT_EQ(1u, info.orientation);
    strTlnModeParam mode{20, 0, 0, 0, 0};
    EXPECT_EQ(0, CodeOf(c.GetMode(&mode)));
}

TEST_F(ControlInformation, Model259GetsItsScaleWithoutStoredSettings)
{
    raw_test::SetLong(*tags, kKelvraTagModelCode, 259);
    CTlvQrfControl& c = TagsOnlyControl();
    EXPECT_EQ(0, StoredEditState(c));
    EXPECT_EQ(kModel259Scale, c.geometry.GetScale());
}

TEST_F(ControlInformation, RecordedFlipMirrors)
{
    raw_test::SetLong(*tags, 0x10004, 1);
    ASSERT_EQ(0, CodeOf(tags->RemoveTag(0x10005)));
    CTlvQrfControl& c = TagsOnlyControl();
    EXPECT_TRUE(c.Mirrored());
    EXPECT_EQ(0, c.GetRotation());
    EXPECT_EQ(2u, Info(c).orientation);
}

TEST_F(ControlInformation, RecordedAngleTurns)
{
    const double angle = 90.0;
    raw_test::SetBytes(*tags, 0x10005, kKelvraTagTypeDoubles, &angle, sizeof angle);
    CTlvQrfControl& c = TagsOnlyControl();
    EXPECT_EQ(90, c.GetRotation());
    EXPECT_EQ(8u, Info(c).orientation);
    EXPECT_EQ(116u, Info(c).width);
}

struct StoredCase {
    const char* name;
    std::function<void(CTlvControlSettings&)> edit;
    int state;
};

const StoredCase kStoredCases[] = {
    {"Defaults", [](CTlvControlSettings&) {}, 3},
    {"DefaultsTurnedFullCircle", [](CTlvControlSettings& h) { h.angle = 360; }, 3},
    {"Edited", [](CTlvControlSettings& h) { h.adjust.value = 1.0; }, 1},
    {"EditedButUnused", [](CTlvControlSettings& h) { h.adjustUsed = 0; h.adjust.value = 1.0; }, 3},
    {"Cropped", [](CTlvControlSettings& h) { h.geometry.SetCropRect(0, 0, 100, 100, 0); }, 1},
    {"TurnedOnly", [](CTlvControlSettings& h) { h.angle = 90; }, 1},
    {"TurnedWithTheFlag", [](CTlvControlSettings& h) { h.angle = 90; h.geometry.OrientationFlag = 1; }, 3},
    {"MirroredOnly", [](CTlvControlSettings& h) { h.flip = 1; }, 1},
};

TEST_F(ControlInformation, StoredSettingsRules)
{
    for (const StoredCase& row : kStoredCases) {
        CTlvControlSettings holder;
        holder.geometry = CTlGeometryState(180, 116, nullptr, 300.0);
        row.edit(holder);
        StoreSettings(holder);
        CTlvQrfControl& c = TagsOnlyControl();
        EXPECT_EQ(row.state, StoredEditState(c)) << row.name;
        c.Destroy();
        control = nullptr;
    }
}

// 12-bit files of model 259 develop at a smaller scale: settings stored
// without the orientation flag count as edited and are brought to it.
TEST_F(ControlInformation, Model259StoredSettings)
{
    raw_test::SetLong(*tags, kKelvraTagModelCode, 259);
    const struct {
        const char* name;
        std::uint8_t flag;
        int state;
        double scale;
    } rows[] = {{"WithTheFlag", 1, 3, kModel259Scale}, {"WithoutTheFlag", 0, 1, 1.0}};
    for (const auto& row : rows) {
        CTlvControlSettings holder;
        holder.geometry = CTlGeometryState(4016, 2616, nullptr, 300.0);
        holder.geometry.OrientationFlag = row.flag;
        StoreSettings(holder);
        CTlvQrfControl& c = TagsOnlyControl();
        EXPECT_EQ(row.state, StoredEditState(c)) << row.name;
        EXPECT_EQ(row.scale, c.geometry.GetScale()) << row.name;
        c.Destroy();
        control = nullptr;
    }
}

TEST_F(ControlInformation, StoredSettingsComeIntoTheControl)
{
    CTlvControlSettings holder;
    holder.geometry = CTlGeometryState(180, 116, nullptr, 300.0);
    holder.adjust.value = 0.5;
    holder.whiteBalance.mode = CTlWhiteBalanceState::kModeTemperature;
    holder.whiteBalance.firstGain = holder.whiteBalance.secondGain = 1.0;
    holder.vignetteUsed = 1;
    holder.angle = 180;
    StoreSettings(holder);
    CTlvQrfControl& c = TagsOnlyControl();
    EXPECT_EQ(0.5, c.adjust.value);
    EXPECT_EQ(0.5, c.secondAdjust.value) << "the raw options start from the stored records";
    EXPECT_EQ(CTlWhiteBalanceState::kModeTemperature, c.secondWhiteBalance.mode);
    EXPECT_EQ(1, c.vignetteUsed);
    EXPECT_EQ(3u, Info(c).orientation);
    double exposure = 0;
    strTlnVQParam query{sizeof(strTlnVQParam), 3, 2, 8, &exposure};
    EXPECT_EQ(0, CodeOf(c.GetCaptureSettings(&query)));
    EXPECT_EQ(0.5, exposure);
}

// A new orientation stored by the host is what the next reader of the file
// finds.
TEST_F(ControlInformation, StoredOrientationRoundTrip)
{
    CTlvQrfControl& writer = TagsOnlyControl();
    strTlnImageInfoParam info{};
    info.size = sizeof info;
    info.orientation = 6;
    EXPECT_EQ(0, CodeOf(writer.SetImageInfo(&info, true)));
    EXPECT_TRUE(tags->HasTag(kStoredSettingsTag, 0));
    writer.Destroy();
    control = nullptr;

    CTlvQrfControl& reader = TagsOnlyControl();
    EXPECT_EQ(6u, Info(reader).orientation);
    EXPECT_EQ(270, reader.GetRotation());
    EXPECT_EQ(3, StoredEditState(reader)) << "turned at full scale: stored with the orientation flag";
}

TEST_F(ControlInformation, SizeStoredWithTheSettings)
{
    CTlvQrfControl& writer = TagsOnlyControl();
    strTlnImageInfoParam info{};
    info.size = sizeof info;
    info.width = 90;
    info.height = 58;
    info.orientation = 1;
    EXPECT_EQ(0, CodeOf(writer.SetImageInfo(&info, true)));
    EXPECT_EQ(90u, Info(writer).width);
    writer.Destroy();
    control = nullptr;

    CTlvQrfControl& reader = TagsOnlyControl();
    EXPECT_EQ(1, StoredEditState(reader)) << "a smaller output counts as an edit";
}

TEST_F(ControlInformation, SettingsOfARawFileOnDisk)
{
    IKelvraFileStream* stream = nullptr;
    ASSERT_EQ(nullptr, CreateFileStream(&stream));
    PellioStreamPtr owned(stream);
    ASSERT_EQ(nullptr, stream->SetPath(TL_CONTROL_TESTDATA "bggr-516-deflate.qrf"));
    ASSERT_EQ(nullptr, stream->Open(kKelvraStreamRead));
    PellioTagsPtr fileTags = raw_test::MakeTags();
    IKelvraLoad* load = nullptr;
    ASSERT_EQ(nullptr, CreateLoad(&load));
    PellioLoadPtr loader(load);
    ASSERT_EQ(nullptr, load->Start(stream, fileTags.get(), 0, 0));

    CTlvQrfControl& c = NewControl();
    EXPECT_EQ(0, CodeOf(c.Initialize(nullptr, nullptr, fileTags.get())));
    EXPECT_EQ(0, StoredEditState(c));
    EXPECT_EQ(3264u, Info(c).width) << "12-bit data of model 516";
    EXPECT_EQ(2448u, Info(c).height);
    c.Destroy();
    control = nullptr;
}

TEST_F(ControlInformation, EmbeddedProfileCopyLivesUntilCleanup)
{
    const std::string profile(200, 'p');
    raw_test::SetBytes(*tags, 34675, kKelvraTagTypeBytes, profile.data(), profile.size());
    CTlvQrfControl& c = InitialisedControl();
    ASSERT_TRUE(c.Image().embeddedProfile);
    EXPECT_EQ(profile, TempFolder::Read(c.Image().profilePath));
    EXPECT_EQ(1u, ProfileCopies().size());
    EXPECT_EQ(0, CodeOf(c.Cleanup(true)));
    EXPECT_EQ(1u, ProfileCopies().size()) << "only the chain goes";
    EXPECT_EQ(0, CodeOf(c.Cleanup(false)));
    EXPECT_TRUE(ProfileCopies().empty());
    EXPECT_FALSE(c.Image().embeddedProfile);
}

TEST_F(ControlInformation, DestroyDeletesTheProfileCopy)
{
    const std::string profile(64, 'q');
    raw_test::SetBytes(*tags, 34675, kKelvraTagTypeBytes, profile.data(), profile.size());
    InitialisedControl();
    EXPECT_EQ(1u, ProfileCopies().size());
    control->Destroy();
    control = nullptr;
    EXPECT_TRUE(ProfileCopies().empty());
}

// A reading that fails after the copy was made leaves one copy, which the
// next reading replaces.
TEST_F(ControlInformation, RepeatedReadingKeepsOneProfileCopy)
{
    const std::string profile(64, 'r');
    raw_test::SetBytes(*tags, 34675, kKelvraTagTypeBytes, profile.data(), profile.size());
    const double tooLong[2] = {90.0, 0.0}; // the recorded angle is one double
    raw_test::SetBytes(*tags, 0x10005, kKelvraTagTypeDoubles, tooLong, sizeof tooLong);
    CTlvQrfControl& c = NewControl();
    EXPECT_NE(0, CodeOf(c.Initialize(nullptr, nullptr, tags.get())));
    EXPECT_EQ(1u, ProfileCopies().size());
    strTlnImageInfoParam info{};
    info.size = sizeof info;
    EXPECT_NE(0, CodeOf(c.GetImageInfo(&info))) << "read again, failing again";
    EXPECT_EQ(1u, ProfileCopies().size());
    c.Destroy();
    control = nullptr;
    EXPECT_TRUE(ProfileCopies().empty());
}

// A copy that cannot be written leaves no file behind.
TEST_F(ControlInformation, FailedProfileCopyLeavesNoFile)
{
    raw_test::SetBytes(*tags, 34675, kKelvraTagTypeBytes, "", 0);
    CTlvQrfControl& c = InitialisedControl();
    EXPECT_FALSE(c.Image().embeddedProfile);
    EXPECT_TRUE(ProfileCopies().empty());
}

TEST_F(ControlInformation, WorkingProfilesUntilStartUp)
{
    ResetWorkingProfiles();
    SetColourPathsReady(true);
    InitialisedControl().Destroy();
    control = nullptr;
    EXPECT_EQ("", GetWorkingProfile(kTlSrgbWorkingProfile)) << "after start-up the control leaves them";

    SetColourPathsReady(false);
    InitialisedControl();
    EXPECT_TRUE(AreColourPathsReady());
    EXPECT_EQ(GetProfileFolder() + "TLsRGB.icm", GetWorkingProfile(kTlSrgbWorkingProfile));
    EXPECT_EQ(GetProfileFolder() + "TlCMYK.icm", GetWorkingProfile(kTlCmykWorkingProfile));
    ResetWorkingProfiles();
    SetColourPathsReady(false);
}

} // namespace
