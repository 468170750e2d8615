#include "MakeProfiles/TlProfileMaker.h"
#include "filtrix/KelvraFilterCMLEngine.h"
#include "support/TempFolder.h"

#include <lcms2.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Build(const char* name)
{
    Bytes bytes;
    IKelvraError* error = TlBuildProfile(name, &bytes);
    EXPECT_EQ(nullptr, error) << name;
    IKelvraError::Release(error);
    return bytes;
}

std::uint32_t BE32(const Bytes& bytes, std::size_t at)
{
    return std::uint32_t(bytes[at]) << 24 | std::uint32_t(bytes[at + 1]) << 16 | std::uint32_t(bytes[at + 2]) << 8 |
           bytes[at + 3];
}

std::uint16_t BE16(const Bytes& bytes, std::size_t at)
{
    return std::uint16_t(bytes[at] << 8 | bytes[at + 1]);
}

std::string Signature(const Bytes& bytes, std::size_t at)
{
    return std::string(reinterpret_cast<const char*>(&bytes[at]), 4);
}

struct TagEntry {
    std::string signature;
    std::uint32_t offset;
    std::uint32_t size;
};

std::vector<TagEntry> Tags(const Bytes& bytes)
{
    std::vector<TagEntry> tags;
    for (std::uint32_t i = 0; i < BE32(bytes, 128); ++i) {
        const std::size_t at = 132 + 12 * std::size_t(i);
        tags.push_back({Signature(bytes, at), BE32(bytes, at + 4), BE32(bytes, at + 8)});
    }
    return tags;
}

// The profile's class, colour space and connection space, as the header has them.
struct Expected {
    const char* name;
    const char* deviceClass;
    const char* space;
    const char* pcs;
};
const Expected kExpected[] = {
    {"TLsRGB.icm", "mntr", "RGB ", "XYZ "},      {"TLAdobe.icm", "mntr", "RGB ", "XYZ "},
    {"TLNTSC.icm", "mntr", "RGB ", "XYZ "},      {"TLMonitor_Win.icm", "mntr", "RGB ", "XYZ "},
    {"TLGrayG22.icm", "mntr", "GRAY", "XYZ "},   {"TLLab.icm", "abst", "Lab ", "Lab "},
    {"TLLch2.icm", "prtr", "3CLR", "Lab "},      {"TlCMYK.icm", "prtr", "CMYK", "Lab "},
    {"TLKX7_QRF.icm", "scnr", "RGB ", "Lab "},   {"TLDBase_QRF.icm", "scnr", "RGB ", "Lab "},
};

TEST(ProfileMakerTest, EveryProfileIsAVersion2ProfileOfItsSpaceThatLittleCmsOpens)
{
    ASSERT_EQ(std::size(kExpected), TlProfileFileNames().size());
    for (const Expected& expected : kExpected) {
        SCOPED_TRACE(expected.name);
        const Bytes bytes = Build(expected.name);
        ASSERT_GT(bytes.size(), 132u);
        EXPECT_EQ(bytes.size(), BE32(bytes, 0));
        EXPECT_EQ(0x02100000u, BE32(bytes, 8));
        EXPECT_EQ(expected.deviceClass, Signature(bytes, 12));
        EXPECT_EQ(expected.space, Signature(bytes, 16));
        EXPECT_EQ(expected.pcs, Signature(bytes, 20));
        EXPECT_EQ("acsp", Signature(bytes, 36));
        cmsHPROFILE profile = cmsOpenProfileFromMem(bytes.data(), cmsUInt32Number(bytes.size()));
        ASSERT_NE(nullptr, profile);
        char description[128] = {};
        EXPECT_GT(cmsGetProfileInfoASCII(profile, cmsInfoDescription, "en", "US", description, sizeof description), 0u);
        EXPECT_EQ(0, std::strncmp(description, "Talvo ", 6)) << description;
        cmsCloseProfile(profile);
    }
}

// The library's description reader takes the text-description type.
TEST(ProfileMakerTest, DescriptionsAreTextDescriptionTags)
{
    for (const char* name : TlProfileFileNames()) {
        const Bytes bytes = Build(name);
        for (const TagEntry& tag : Tags(bytes)) {
            if (tag.signature == "desc") {
                EXPECT_EQ("desc", Signature(bytes, tag.offset)) << name;
            }
        }
    }
}

TEST(ProfileMakerTest, TheSameProfileAlwaysGivesTheSameBytes)
{
    for (const char* name : {"TLsRGB.icm", "TLLch2.icm", "TLKX7_QRF.icm"})
        EXPECT_EQ(Build(name), Build(name)) << name;
}

TEST(ProfileMakerTest, NamesMatchWithoutRegardToCaseAndOthersAreRefused)
{
    EXPECT_EQ(Build("TlCMYK.icm"), Build("TLCMYK.ICM"));
    Bytes bytes;
    IKelvraError* error = TlBuildProfile("TLOther.icm", &bytes);
    ASSERT_NE(nullptr, error);
    EXPECT_TRUE(error->HasCode(kKelvraMissingObject));
    IKelvraError::Release(error);
}

TEST(ProfileMakerTest, TheLChProfileCarriesItsMarker)
{
    const Bytes bytes = Build("TLLch2.icm");
    cmsHPROFILE profile = cmsOpenProfileFromMem(bytes.data(), cmsUInt32Number(bytes.size()));
    ASSERT_NE(nullptr, profile);
    EXPECT_TRUE(cmsIsTag(profile, cmsTagSignature(kKelvraLChProfileTag)));
    cmsCloseProfile(profile);
    EXPECT_FALSE(Build("TLLab.icm").empty());
}

// The camera profile generator copies the first 192 bytes, rewrites 'desc'
// and 'cprt', keeps the 221528 bytes from 'wtpt' on and writes its grid
// 24628 bytes into 'A2B0'.
TEST(ProfileMakerTest, CameraBaseProfilesHaveTheLayoutTheGeneratorCopies)
{
    const char* const order[] = {"desc", "cprt", "wtpt", "A2B0", "B2A0"};
    for (const char* name : {"TLKX7_QRF.icm", "TLDBase_QRF.icm"}) {
        SCOPED_TRACE(name);
        const Bytes bytes = Build(name);
        const std::vector<TagEntry> tags = Tags(bytes);
        ASSERT_EQ(5u, tags.size());
        std::uint32_t next = 192;
        for (std::size_t i = 0; i < tags.size(); ++i) {
            EXPECT_EQ(order[i], tags[i].signature);
            EXPECT_EQ(next, tags[i].offset);
            next = (tags[i].offset + tags[i].size + 3) / 4 * 4;
        }
        EXPECT_EQ(221528u, bytes.size() - tags[2].offset);
        const std::uint32_t a2b0 = tags[3].offset;
        EXPECT_EQ("mft2", Signature(bytes, a2b0));
        EXPECT_EQ(0x03032000u, BE32(bytes, a2b0 + 8));
        EXPECT_EQ(4096, BE16(bytes, a2b0 + 48));
        const std::size_t grid = a2b0 + 24628;
        EXPECT_EQ(0, BE16(bytes, grid));          // black: L 0
        EXPECT_EQ(0x8000, BE16(bytes, grid + 2)); // a 0
        const std::size_t white = grid + 6 * (32 * 32 * 32 - 1);
        EXPECT_EQ(0xFF00, BE16(bytes, white)); // L 100
    }
    EXPECT_EQ(221848u, Build("TLKX7_QRF.icm").size());
}

TEST(ProfileMakerTest, WritingMakesTheFolderAndEveryFile)
{
    TempFolder temp;
    const std::string folder = temp.Path() + "Talvo\\Profiles";
    ASSERT_EQ(nullptr, TlWriteProfiles(folder.c_str()));
    for (const char* name : TlProfileFileNames()) {
        const std::string path = folder + "\\" + name;
        ASSERT_TRUE(TempFolder::Exists(path)) << name;
        EXPECT_EQ(Build(name).size(), TempFolder::Read(path).size()) << name;
    }
    EXPECT_EQ(nullptr, TlWriteProfiles((folder + "\\").c_str())); // again, over the files
}

} // namespace
