#include "runbase/TlvBuffer.h"
#include "runbase/TlvProfileData.h"
#include "runbase/TlvTempFile.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

CTlvBuffer BufferOf(const std::string& bytes)
{
    CTlvBuffer buffer;
    EXPECT_TRUE(buffer.Assign(bytes.data(), bytes.size()));
    return buffer;
}

TEST(Buffer, AssignCopiesAndReplaces)
{
    std::string bytes("icc\0data", 8);
    CTlvBuffer buffer = BufferOf(bytes);
    bytes[0] = 'X';
    ASSERT_EQ(8u, buffer.GetSize());
    EXPECT_EQ(std::string("icc\0data", 8), std::string(reinterpret_cast<const char*>(buffer.GetData()), 8));

    EXPECT_TRUE(buffer.Assign("ab", 2));
    EXPECT_EQ(2u, buffer.GetSize());
    EXPECT_TRUE(buffer.Assign(nullptr, 5)); // no data: empty
    EXPECT_TRUE(buffer.IsEmpty());
    EXPECT_EQ(nullptr, buffer.GetData());
}

TEST(TempFile, HoldsTheWholeBuffer)
{
    std::string bytes(70000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7);
    for (const std::string& data : {bytes, std::string()}) {
        std::string path;
        ASSERT_EQ(0u, TlvWriteTempFile(BufferOf(data), path));
        EXPECT_EQ(data, TempFolder::Read(path));
        DeleteFileA(path.c_str());
    }
}

TEST(ProfileData, StartsWithNothingChosenAndNoTemporaryFile)
{
    CTlvProfileData profile;
    EXPECT_EQ(DWORD(TLV_PROFILE_NONE), profile.m_state);
    EXPECT_EQ("", profile.GetTempFilePath());
}

TEST(ProfileData, OwnsOneTemporaryFileAtATime)
{
    CTlvProfileData profile;
    profile.m_data = BufferOf("first profile");
    ASSERT_EQ(0u, profile.WriteTempFile());
    const std::string first = profile.GetTempFilePath();
    EXPECT_EQ("first profile", TempFolder::Read(first));

    profile.m_data = BufferOf("second");
    ASSERT_EQ(0u, profile.WriteTempFile());
    const std::string second = profile.GetTempFilePath();
    EXPECT_NE(first, second);
    EXPECT_FALSE(TempFolder::Exists(first));
    EXPECT_EQ("second", TempFolder::Read(second));

    profile.DeleteTempFile();
    EXPECT_FALSE(TempFolder::Exists(second));
    EXPECT_EQ("", profile.GetTempFilePath());
    profile.DeleteTempFile(); // nothing left to delete
}

TEST(ProfileData, DestructionDeletesTheTemporaryFile)
{
    std::string path;
    {
        CTlvProfileData profile;
        profile.m_data = BufferOf("profile");
        ASSERT_EQ(0u, profile.WriteTempFile());
        path = profile.GetTempFilePath();
        ASSERT_TRUE(TempFolder::Exists(path));
    }
    EXPECT_FALSE(TempFolder::Exists(path));
}

} // namespace
