// The output profile a save embeds: the file's bytes exactly, and no tag
// at all when the file cannot give them.
#include "savetags/TlEmbedIccProfile.h"

#include "SaveTagsTestSupport.h"

#include "raw/TlEmbeddedProfile.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <ostream>
#include <string>

using namespace raw_test;
using namespace savetags_test;

namespace {

std::string Pattern(std::size_t size)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 131 + 7) & 0xFF);
    return bytes;
}

struct ProfileCase {
    const char* name;
    std::string bytes;
    bool tagBefore; // the tags already carry another profile
};

const ProfileCase kProfileCases[] = {
    {"OneByte", std::string(1, '\0'), false},
    {"HeaderWithZerosAndEndOfFileMarks", std::string("\0\0\x02\x30\x1A\r\n\x1A\0mntrRGB XYZ ", 22), false},
    {"LargeProfile", Pattern(300000), false},
    {"ReplacesAnEarlierProfile", Pattern(4096), true},
};

void PrintTo(const ProfileCase& c, std::ostream* os)
{
    *os << c.name;
}

class EmbedIccProfileCases : public testing::TestWithParam<ProfileCase> {};

TEST_P(EmbedIccProfileCases, StoresTheFileByteForByte)
{
    const ProfileCase& c = GetParam();
    TempFolder folder;
    const std::string path = folder.Write("output.icc", c.bytes);
    PellioTagsPtr tags = MakeTags();
    if (c.tagBefore)
        SetBytes(*tags, kTlIccProfileTag, kKelvraTagTypeBytes, "old profile", 11);

    ASSERT_TRUE(EmbedIccProfile(tags.get(), path.c_str()));

    EXPECT_EQ(tags->GetTagType(kTlIccProfileTag), kKelvraTagTypeBytes);
    EXPECT_EQ(ReadBytes(*tags, kTlIccProfileTag), c.bytes);
    EXPECT_EQ(TempFolder::Read(path), c.bytes) << "the profile file stays as it was";
}

INSTANTIATE_TEST_SUITE_P(Profiles, EmbedIccProfileCases, testing::ValuesIn(kProfileCases),
                         [](const testing::TestParamInfo<ProfileCase>& info) {
                             return std::string(info.param.name);
                         });

// A file that gives no bytes stores nothing: the tags keep what they had.
class EmbedIccProfileFailures : public testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        if (GetParam())
            SetBytes(*tags, kTlIccProfileTag, kKelvraTagTypeBytes, "old profile", 11);
        m_before = ReadBytes(*tags, kTlIccProfileTag);
    }
    void ExpectUntouched() const
    {
        EXPECT_EQ(ReadBytes(*tags, kTlIccProfileTag), m_before);
        EXPECT_EQ(tags->GetTagCount(), GetParam() ? 1u : 0u);
    }

    TempFolder folder;
    PellioTagsPtr tags = MakeTags();
    std::string m_before;
};

TEST_P(EmbedIccProfileFailures, MissingFileOrFolder)
{
    EXPECT_FALSE(EmbedIccProfile(tags.get(), folder.File("missing.icc").c_str()));
    EXPECT_FALSE(EmbedIccProfile(tags.get(), folder.File("no folder\\output.icc").c_str()));
    EXPECT_FALSE(EmbedIccProfile(tags.get(), folder.Path().c_str())) << "a folder is no profile";
    ExpectUntouched();
}

TEST_P(EmbedIccProfileFailures, EmptyFile)
{
    EXPECT_FALSE(EmbedIccProfile(tags.get(), folder.Write("empty.icc", "").c_str()));
    ExpectUntouched();
}

TEST_P(EmbedIccProfileFailures, FileHeldWithoutSharing)
{
    const std::string path = folder.Write("held.icc", Pattern(512));
    const HANDLE held = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(EmbedIccProfile(tags.get(), path.c_str()));
    CloseHandle(held);
    ExpectUntouched();
    EXPECT_TRUE(EmbedIccProfile(tags.get(), path.c_str())) << "readable again once released";
}

TEST_P(EmbedIccProfileFailures, NoTagsOrNoPath)
{
    const std::string path = folder.Write("output.icc", Pattern(64));
    EXPECT_FALSE(EmbedIccProfile(nullptr, path.c_str()));
    EXPECT_FALSE(EmbedIccProfile(tags.get(), nullptr));
    ExpectUntouched();
}

TEST_P(EmbedIccProfileFailures, TagThatCannotBeSetIsNotLeftEmpty)
{
    const std::string path = folder.Write("output.icc", Pattern(64));
    FailingTags failing;
    failing.failSet = {kTlIccProfileTag};
    if (GetParam())
        SetBytes(*failing.inner, kTlIccProfileTag, kKelvraTagTypeBytes, "old profile", 11);
    EXPECT_FALSE(EmbedIccProfile(&failing, path.c_str()));
    EXPECT_EQ(ReadBytes(failing, kTlIccProfileTag), m_before);
}

INSTANTIATE_TEST_SUITE_P(EarlierProfile, EmbedIccProfileFailures, testing::Bool());

} // namespace
