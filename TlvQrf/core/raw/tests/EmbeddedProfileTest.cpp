#include "raw/TlEmbeddedProfile.h"

#include "RawTestTags.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using raw_test::MakeTags;
using raw_test::SetBytes;

const std::string kProfileBytes = std::string("\0\0\x02\x30prof", 8) + std::string(300, '\x7F');

class EmbeddedProfile : public testing::TestWithParam<bool> {
protected:
    std::uint32_t Tag() const { return GetParam() ? kTlAlternativeProfileTag : kTlIccProfileTag; }

    PellioTagsPtr tags = MakeTags();
    TempFolder folder;
    char path[kTlProfilePathChars] = {};
};

TEST_P(EmbeddedProfile, BytesAreWrittenToTheFile)
{
    SetBytes(*tags, Tag(), kKelvraTagTypeBytes, kProfileBytes.data(), kProfileBytes.size());
    const std::string target = folder.File("embedded.icc");
    std::strcpy(path, target.c_str());
    ASSERT_TRUE(WriteEmbeddedProfile(tags.get(), path, GetParam()));
    EXPECT_EQ(TempFolder::Read(target), kProfileBytes);
}

TEST_P(EmbeddedProfile, OnlyTheChosenTagIsUsed)
{
    const std::uint32_t other = GetParam() ? kTlIccProfileTag : kTlAlternativeProfileTag;
    SetBytes(*tags, other, kKelvraTagTypeBytes, kProfileBytes.data(), kProfileBytes.size());
    const std::string target = folder.File("embedded.icc");
    std::strcpy(path, target.c_str());
    EXPECT_FALSE(WriteEmbeddedProfile(tags.get(), path, GetParam()));
    EXPECT_FALSE(TempFolder::Exists(target));
}

TEST_P(EmbeddedProfile, PathValuedTagIsCopiedIntoTheBuffer)
{
    const std::string stored = "C:\\Profiles\\Camera.icm";
    SetBytes(*tags, Tag(), kKelvraTagTypePath, stored.c_str(), stored.size() + 1);
    ASSERT_TRUE(WriteEmbeddedProfile(tags.get(), path, GetParam()));
    EXPECT_EQ(std::string(path), stored);
}

TEST_P(EmbeddedProfile, MissingTagFailsWithoutAFile)
{
    const std::string target = folder.File("embedded.icc");
    std::strcpy(path, target.c_str());
    EXPECT_FALSE(WriteEmbeddedProfile(tags.get(), path, GetParam()));
    EXPECT_FALSE(TempFolder::Exists(target));
    EXPECT_FALSE(WriteEmbeddedProfile(nullptr, path, GetParam()));
}

TEST_P(EmbeddedProfile, OtherTypesFail)
{
    const std::uint32_t value = 7;
    SetBytes(*tags, Tag(), kKelvraTagTypeLong, &value, sizeof value);
    std::strcpy(path, folder.File("embedded.icc").c_str());
    EXPECT_FALSE(WriteEmbeddedProfile(tags.get(), path, GetParam()));
}

TEST_P(EmbeddedProfile, UnwritableFolderFailsCleanly)
{
    SetBytes(*tags, Tag(), kKelvraTagTypeBytes, kProfileBytes.data(), kProfileBytes.size());
    const std::string target = folder.File("no such folder\\embedded.icc");
    std::strcpy(path, target.c_str());
    EXPECT_FALSE(WriteEmbeddedProfile(tags.get(), path, GetParam()));
    EXPECT_FALSE(TempFolder::Exists(target));
}

INSTANTIATE_TEST_SUITE_P(ProfileTags, EmbeddedProfile, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "Alternative" : "Icc");
                         });

TEST(AllocateBytes, NothingForZero)
{
    EXPECT_EQ(AllocateBytes(0, 5), nullptr);
    unsigned char* bytes = AllocateBytes(16, 0);
    ASSERT_NE(bytes, nullptr);
    delete[] bytes;
}

} // namespace
