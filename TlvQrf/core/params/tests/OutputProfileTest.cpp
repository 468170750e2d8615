// The output profile of a developed image, on synthetic profiles written
// into a temporary profiles folder: grey images, the profile the settings
// name, the camera's colour space and the Exif rule, and the RGB working
// profile when nothing else applies.
#include "FilterTestSupport.h"

#include "colour/TlWorkingProfiles.h"
#include "MakeProfiles/TlProfileMaker.h"
#include "params/TlOutputProfile.h"
#include "params/TlvParamSet.h"
#include "RawTestTags.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace raw_test;

namespace {

constexpr KelvraPixelFormat kRgb8 = 0x08060201;
constexpr KelvraPixelFormat kGrey16 = 0x10020001;
constexpr std::uint32_t kShotColourSpaceTag = 0x8008D;
constexpr int kNoChoice = -1; // the adjust record is not in use

struct StoredRatio {
    std::uint32_t numerator;
    std::uint32_t denominator;
};

void SetRatios(IKelvraTagControl& tags, std::uint32_t id, const std::vector<StoredRatio>& ratios)
{
    SetBytes(tags, id, kKelvraTagTypeBytes, ratios.data(), ratios.size() * sizeof(StoredRatio));
}

// The Exif tags of an Adobe RGB file, with its version and colour space.
void SetExif(IKelvraTagControl& tags, const char* version, std::uint32_t colourSpace)
{
    SetBytes(tags, 0x9000, kKelvraTagTypeBytes, version, 4);
    SetLong(tags, 0xA001, colourSpace);
    SetRatios(tags, 0x13E, {{313, 1000}, {329, 1000}});
    SetRatios(tags, 0x13F, {{64, 100}, {33, 100}, {21, 100}, {71, 100}, {15, 100}, {6, 100}});
    SetRatios(tags, 0x211, {{299, 1000}, {587, 1000}, {114, 1000}});
    SetRatios(tags, 0xA500, {{22, 10}});
}

class OutputProfileTest : public PatternImageTest {
protected:
    void SetUp() override
    {
        ASSERT_EQ(nullptr, TlWriteProfiles(m_folder.Path().c_str()));
        ResetWorkingProfiles();
        SetProfileFolder(m_folder.Path().c_str());
        // A working RGB profile of its own, so that falling back to it shows.
        SetWorkingProfiles(Profile("TLLch2.icm").c_str(), "", nullptr, "", nullptr);
    }
    void TearDown() override
    {
        ResetWorkingProfiles();
        PatternImageTest::TearDown();
    }
    std::string Profile(const char* name) const { return m_folder.File(name); }

    // A parameter set over an image of `format` and `tags`; the holder keeps
    // its records, but lets go of the image objects it does not own here.
    CTlvParamSet& Params(KelvraPixelFormat format, IKelvraTagControl* tags, int colourSpaceChoice)
    {
        m_holder.adjustUsed = colourSpaceChoice == kNoChoice ? 0 : 1;
        m_holder.adjust.SetColourSpaceChoice(colourSpaceChoice == kNoChoice ? 0 : colourSpaceChoice);
        m_holder.images.image = Image(8, 8, format);
        m_holder.images.tags = tags;
        m_params.reset(new CTlvParamSet(m_holder));
        m_holder.images.image = nullptr;
        m_holder.images.tags = nullptr;
        return *m_params;
    }
    std::string OutputProfile(const CTlvParamSet& params)
    {
        char path[kTlvPathSize];
        std::memset(path, 'x', sizeof path);
        EXPECT_TRUE(GetOutputProfilePath(&params, path));
        return path;
    }

    TempFolder m_folder;
    CTlvSettingsHolder m_holder;
    std::unique_ptr<CTlvParamSet> m_params;
};

TEST_F(OutputProfileTest, CamerasGoByModelAndColourSpace)
{
    struct Case {
        const char* what;
        std::uint32_t model;
        int choice;
        bool shotTag;
        std::int32_t shot;
        const char* expected;
    };
    const Case cases[] = {
        {"sRGB camera, Adobe chosen and recorded", 514, 2, true, 2, "TLsRGB.icm"},
        {"sRGB camera bit with the colour-space bit", 0x300, 3, false, 0, "TLsRGB.icm"},
        {"as shot, Adobe recorded", 260, 0, true, 2, "TLAdobe.icm"},
        {"as shot, nothing recorded", 260, 0, false, 0, "TLNTSC.icm"},
        {"as shot, NTSC recorded", 259, 0, true, -1, "TLNTSC.icm"},
        {"as shot, sRGB recorded", 257, 0, true, 1, "TLsRGB.icm"},
        {"no adjust record counts as shot", 1025, kNoChoice, true, 2, "TLAdobe.icm"},
        {"no adjust record, nothing recorded", 1026, kNoChoice, false, 0, "TLNTSC.icm"},
        {"sRGB chosen", 1026, 1, true, 2, "TLsRGB.icm"},
        {"Adobe chosen", 1025, 2, true, 1, "TLAdobe.icm"},
        {"NTSC chosen", 260, 3, true, 2, "TLNTSC.icm"},
        {"choice 4", 260, 4, true, 2, "TLsRGB.icm"},
        {"choice 5", 260, 5, false, 0, "TLsRGB.icm"},
        {"choice 6", 260, 6, false, 0, "TLsRGB.icm"},
        {"unknown choice", 260, 9, true, 2, "TLNTSC.icm"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PellioTagsPtr tags = MakeTags();
        SetLong(*tags, kKelvraTagModelCode, c.model);
        if (c.shotTag)
            SetLong(*tags, kShotColourSpaceTag, static_cast<std::uint32_t>(c.shot));
        SetExif(*tags, "0221", 0xFFFF); // never looked at for these cameras
        const CTlvParamSet& params = Params(kRgb8, tags.get(), c.choice);
        EXPECT_EQ(Profile(c.expected), OutputProfile(params));
    }
}

TEST_F(OutputProfileTest, OtherImagesGoByExifOrTheWorkingProfile)
{
    struct Case {
        const char* what;
        const char* version; // null: no Exif tags
        std::uint32_t colourSpace;
        std::string expected;
    };
    const Case cases[] = {
        {"Exif 2.20", "0220", 0xFFFF, Profile("TLLch2.icm")},
        {"no Exif", nullptr, 0, Profile("TLLch2.icm")},
        {"Exif 2.21, Adobe RGB", "0221", 0xFFFF, Profile("TLAdobe.icm")},
        {"Exif 2.30, Adobe RGB", "0230", 0xFFFF, Profile("TLAdobe.icm")},
        {"Exif 2.21, sRGB", "0221", 1, Profile("TLsRGB.icm")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PellioTagsPtr tags = MakeTags();
        if (c.version)
            SetExif(*tags, c.version, c.colourSpace);
        const CTlvParamSet& params = Params(kRgb8, tags.get(), 2);
        EXPECT_EQ(c.expected, OutputProfile(params));
    }
}

TEST_F(OutputProfileTest, UnreadableExifTagGivesSrgb)
{
    PellioTagsPtr tags = MakeTags();
    SetExif(*tags, "0221", 0xFFFF);
    ASSERT_EQ(nullptr, tags->RemoveTag(0xA500));
    EXPECT_EQ(Profile("TLsRGB.icm"), OutputProfile(Params(kRgb8, tags.get(), kNoChoice)));
}

TEST_F(OutputProfileTest, NoTagsFallBackToTheWorkingProfile)
{
    EXPECT_EQ(Profile("TLLch2.icm"), OutputProfile(Params(kRgb8, nullptr, 0)));
}

TEST_F(OutputProfileTest, TheSettingsProfileWinsOverTheCamera)
{
    PellioTagsPtr tags = MakeTags();
    SetLong(*tags, kKelvraTagModelCode, 514);
    m_holder.outputProfileUsed = 1;
    std::strcpy(m_holder.outputProfilePath, Profile("TLNTSC.icm").c_str());
    EXPECT_EQ(Profile("TLNTSC.icm"), OutputProfile(Params(kRgb8, tags.get(), 1)));

    // A settings profile without a path names nothing: the camera decides.
    m_holder.outputProfilePath[0] = '\0';
    EXPECT_EQ(Profile("TLsRGB.icm"), OutputProfile(Params(kRgb8, tags.get(), 1)));
}

TEST_F(OutputProfileTest, GreyImagesAlwaysGetTheGreyProfile)
{
    PellioTagsPtr tags = MakeTags();
    SetLong(*tags, kKelvraTagModelCode, 514);
    m_holder.outputProfileUsed = 1;
    std::strcpy(m_holder.outputProfilePath, Profile("TLAdobe.icm").c_str());
    EXPECT_EQ(Profile("TLGrayG22.icm"), OutputProfile(Params(kGrey16, tags.get(), 2)));
}

TEST_F(OutputProfileTest, TheModelCodeIsReadFromTheTags)
{
    PellioTagsPtr tags = MakeTags();
    SetExif(*tags, "0220", 0xFFFF);
    CTlvParamSet& params = Params(kRgb8, tags.get(), 1);
    params.modelCode = 514; // a stale copy does not decide
    EXPECT_EQ(Profile("TLLch2.icm"), OutputProfile(params));
}

TEST_F(OutputProfileTest, NoAutomaticChoiceLeavesTheResultAlone)
{
    PellioTagsPtr tags = MakeTags();
    SetExif(*tags, "0220", 0xFFFF);
    const CTlvParamSet& params = Params(kRgb8, tags.get(), kNoChoice);
    char path[kTlvPathSize] = "untouched";
    EXPECT_FALSE(GetAutoOutputProfile(&params, path));
    EXPECT_STREQ("untouched", path);
    EXPECT_FALSE(GetAutoOutputProfile(nullptr, path));
    EXPECT_STREQ("untouched", path);
}

TEST_F(OutputProfileTest, NoParameterSetIsTheOnlyFailure)
{
    char path[kTlvPathSize] = "untouched";
    EXPECT_FALSE(GetOutputProfilePath(nullptr, path));
    EXPECT_STREQ("untouched", path);
    EXPECT_FALSE(GetOutputProfilePath(&Params(kRgb8, nullptr, 0), nullptr));
}

} // namespace
