#include "frame/TlIccDescription.h"

#include "infra/TlString.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

void PutBigEndian32(std::string& bytes, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes += char((value >> shift) & 0xFF);
}

// A small ICC profile: a 128-byte header, a tag table of `signatures` (the
// 'desc' entries point at one text-description element) and the element.
std::string BuildProfile(const std::vector<std::string>& signatures, const std::string& text,
                         std::uint32_t statedLength)
{
    std::string bytes(128, '\0');
    PutBigEndian32(bytes, std::uint32_t(signatures.size()));
    const std::uint32_t elementOffset = std::uint32_t(128 + 4 + 12 * signatures.size());
    for (const std::string& signature : signatures) {
        bytes += signature;
        PutBigEndian32(bytes, signature == "desc" ? elementOffset : 0x400);
        PutBigEndian32(bytes, 12 + std::uint32_t(text.size()));
    }
    bytes += "desc";
    PutBigEndian32(bytes, 0);
    PutBigEndian32(bytes, statedLength);
    bytes += text;
    return bytes;
}

std::string BuildProfile(const std::string& description)
{
    return BuildProfile({"cprt", "desc", "wtpt"}, description + '\0', std::uint32_t(description.size() + 1));
}

class IccDescriptionTest : public ::testing::Test {
protected:
    // Reads the description of `profile`; "<failed>" when the reader refuses it.
    std::string Describe(const std::string& profile, bool keepVersion = true)
    {
        const std::string path = m_folder.Write("profile.icm", profile);
        CTlString description("untouched");
        if (!ReadIccDescriptionFromFile(path.c_str(), &description, keepVersion))
            return "<failed>";
        return description.GetData();
    }

    TempFolder m_folder;
};

TEST_F(IccDescriptionTest, VersionIsCutOnlyFromTheMakersOwnProfiles)
{
    const struct {
        const char* stored;
        bool keepVersion;
        const char* shown;
    } cases[] = {
        {"TALVO sRGB 4.0.0", false, "TALVO sRGB"},
        {"TALVO sRGB 4.0.0", true, "TALVO sRGB 4.0.0"},
        {"Talvo KX7 100", false, "Talvo KX"},     // digits of a model number go too
        {"talvo Monitor 2.1 ", false, "talvo Monitor"},
        {"Generic RGB 2.0", false, "Generic RGB 2.0"}, // not the maker's: kept whole
        {"TALVO", false, "TALVO"},
        {"TALV", false, "TALV"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        EXPECT_EQ(c.shown, Describe(BuildProfile(c.stored), c.keepVersion));
    }
}

TEST_F(IccDescriptionTest, DescriptionEntryAnywhereInTheTable)
{
    const std::string text = std::string("Last entry") + '\0';
    EXPECT_EQ("Last entry", Describe(BuildProfile({"cprt", "wtpt", "rXYZ", "desc"}, text, 11)));
    EXPECT_EQ("Last entry", Describe(BuildProfile({"desc"}, text, 11)));
}

TEST_F(IccDescriptionTest, TextEndsAtItsFirstZeroByteOrItsStatedLength)
{
    EXPECT_EQ("Short", Describe(BuildProfile({"desc"}, std::string("Short\0tail", 10), 10)));
    // No zero byte within the stated length: the text stops at the length.
    EXPECT_EQ("NoZero", Describe(BuildProfile({"desc"}, "NoZeroAndMore", 6)));
    EXPECT_EQ("", Describe(BuildProfile({"desc"}, "", 0)));
}

TEST_F(IccDescriptionTest, DamagedProfilesAreRefused)
{
    const std::string good = BuildProfile("TALVO sRGB 4.0.0");
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"empty file", ""},
        {"header only", good.substr(0, 128)},
        {"no tags", BuildProfile({}, "", 0)},
        {"no desc tag", BuildProfile({"cprt", "wtpt"}, "text", 4)},
        {"table cut short", good.substr(0, 128 + 4 + 12 + 6)},
        {"element cut before its length", good.substr(0, good.size() - 17 - 2)},
        {"text cut short", good.substr(0, good.size() - 3)},
        {"length beyond the file", BuildProfile({"desc"}, "abc", 0x7FFFFFF0)},
        {"huge tag count", [&] {
             std::string bytes = good;
             bytes[128] = char(0xFF);
             return bytes.substr(0, 128 + 4 + 12 * 3 - 1);
         }()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ("<failed>", Describe(c.bytes));
    }
}

TEST_F(IccDescriptionTest, DescEntryWithOffsetZeroIsRefused)
{
    std::string bytes = BuildProfile({"desc"}, "text", 4);
    for (int i = 0; i < 4; ++i)
        bytes[128 + 4 + 4 + i] = 0; // the entry's offset
    EXPECT_EQ("<failed>", Describe(bytes));
}

TEST_F(IccDescriptionTest, MissingArgumentsOrFile)
{
    CTlString description;
    const std::string path = m_folder.Write("p.icm", BuildProfile("X"));
    EXPECT_FALSE(ReadIccDescriptionFromFile(nullptr, &description, true));
    EXPECT_FALSE(ReadIccDescriptionFromFile(path.c_str(), nullptr, true));
    EXPECT_FALSE(ReadIccDescriptionFromFile(m_folder.File("missing.icm").c_str(), &description, true));
    EXPECT_FALSE(ReadIccDescription(nullptr, description, true));
}

} // namespace
