// Generated camera profiles: their names, sizes and byte layout over the
// synthetic base profiles, their tables, and that LittleCMS opens every one.
#include "camera/TlCameraProfile.h"

#include "CameraTestSupport.h"

#include <gtest/gtest.h>
#include <lcms2.h>

#include <memory>
#include <string>
#include <vector>

using camera_test::Params;

namespace {

std::uint32_t BE32(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    return std::uint32_t(bytes[at]) << 24 | std::uint32_t(bytes[at + 1]) << 16 | std::uint32_t(bytes[at + 2]) << 8 |
           bytes[at + 3];
}

bool OpensInLittleCms(const std::vector<std::uint8_t>& bytes)
{
    cmsHPROFILE profile = cmsOpenProfileFromMem(bytes.data(), cmsUInt32Number(bytes.size()));
    if (!profile)
        return false;
    const bool lab = cmsGetPCS(profile) == cmsSigLabData && cmsGetDeviceClass(profile) == cmsSigInputClass;
    cmsCloseProfile(profile);
    return lab;
}

class CameraProfileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.IsReady());
        camera_test::WriteCameraData(m_folder);
    }

    // Builds and serialises; empty on failure.
    static std::vector<std::uint8_t> Generate(CTlCameraProfile& generator)
    {
        IKelvraError* error = generator.Build();
        EXPECT_EQ(error, nullptr);
        IKelvraError::Release(error);
        if (error)
            return {};
        std::vector<std::uint8_t> bytes(generator.GetProfileSize());
        error = generator.Serialise(bytes.data(), std::uint32_t(bytes.size()));
        EXPECT_EQ(error, nullptr);
        IKelvraError::Release(error);
        return error ? std::vector<std::uint8_t>() : bytes;
    }

    TempProfilesFolder m_folder;
};

} // namespace

TEST_F(CameraProfileTest, ClassTenIsTheFixedProfileUnchanged)
{
    CTlCameraProfile generator;
    ASSERT_TRUE(generator.SetUp(Params(1, 1, true, 1)));
    std::string name;
    ASSERT_EQ(generator.GetProfileName(&name, "Tlb_"), nullptr);
    EXPECT_EQ(name, "TLKX7_QRF.icm");
    EXPECT_EQ(generator.GetProfileSize(), 221848u);
    const std::vector<std::uint8_t> bytes = Generate(generator);
    const std::string base = TempFolder::Read(m_folder.Path() + "TLKX7_QRF.icm");
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), base);
}

TEST_F(CameraProfileTest, LayoutOfAGeneratedProfile)
{
    CTlCameraProfile generator;
    ASSERT_TRUE(generator.SetUp(Params(4, 2, true, 4)));
    const std::vector<std::uint8_t> bytes = Generate(generator);
    ASSERT_FALSE(bytes.empty());
    const std::size_t n = generator.Description().size(), m = generator.Notice().size();
    EXPECT_EQ(generator.Description(), "Talvo KX6 for Qrf Mode1 v2.0.0.3000");
    EXPECT_EQ(bytes.size(), 221720 + ((2 * n + 25 + 3) & ~std::size_t(3)) + ((m + 9 + 3) & ~std::size_t(3)));
    EXPECT_EQ(BE32(bytes, 0), bytes.size()) << "the header's size is the bytes written";
    EXPECT_EQ(BE32(bytes, 128), 5u);
    const char* order[] = {"desc", "cprt", "wtpt", "A2B0", "B2A0"};
    std::uint32_t expected = 192;
    for (int i = 0; i < 5; ++i) {
        const std::size_t entry = 132 + 12 * i;
        EXPECT_EQ(std::string(bytes.begin() + entry, bytes.begin() + entry + 4), order[i]);
        EXPECT_EQ(BE32(bytes, entry + 4), expected) << order[i];
        const std::uint32_t size = BE32(bytes, entry + 8);
        if (i == 0) {
            EXPECT_EQ(size, 2 * n + 25);
        } else if (i == 1) {
            EXPECT_EQ(size, m + 9);
        }
        expected = (expected + size + 3) & ~3u;
    }
    // The base's spare bytes follow the last tag.
    EXPECT_LE(expected, bytes.size());
    EXPECT_GE(expected + 4, bytes.size());
    // 'desc': ASCII count, text, then the Mac part repeats it.
    EXPECT_EQ(std::string(bytes.begin() + 192, bytes.begin() + 196), "desc");
    EXPECT_EQ(BE32(bytes, 200), n + 1);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[204])), generator.Description());
    EXPECT_EQ(bytes[204 + n + 1 + 10], n + 1);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[204 + n + 1 + 11])), generator.Description());
    const std::uint32_t cprt = BE32(bytes, 132 + 12 + 4);
    EXPECT_EQ(std::string(bytes.begin() + cprt, bytes.begin() + cprt + 4), "text");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[cprt + 8])), generator.Notice());
    EXPECT_TRUE(OpensInLittleCms(bytes));
}

TEST_F(CameraProfileTest, GridHoldsTheComputedLab)
{
    CTlCameraProfile generator;
    ASSERT_TRUE(generator.SetUp(Params(4, 2, true, 4))); // class 5: 0 kelvin, column 0
    const std::vector<std::uint8_t> bytes = Generate(generator);
    ASSERT_FALSE(bytes.empty());
    const std::uint32_t grid = BE32(bytes, 132 + 3 * 12 + 4) + 24628;
    EXPECT_EQ(bytes[grid] << 8 | bytes[grid + 1], 0) << "black is L 0";
    const std::uint16_t* planes[3] = {generator.Plane(0), generator.Plane(1), generator.Plane(2)};
    for (int at : {0, 1000, kTlGridSize - 1})
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(bytes[grid + 6 * at + 2 * c] << 8 | bytes[grid + 6 * at + 2 * c + 1], planes[c][at]);
}

TEST_F(CameraProfileTest, NeutralStaysNeutralAtDaylight)
{
    CTlCameraProfile generator;
    TlCameraProfileParams p = Params(4, 2, true, 4);
    p.kelvin = 5000;
    ASSERT_TRUE(generator.SetUp(p));
    ASSERT_TRUE(Generate(generator).size() > 0);
    for (int v : {0, 10, 31}) {
        const int at = (v * 32 + v) * 32 + v;
        EXPECT_NEAR(generator.Plane(1)[at], 32768, 40) << v;
        EXPECT_NEAR(generator.Plane(2)[at], 32768, 40) << v;
    }
    EXPECT_EQ(generator.Plane(1)[0], 32768);
    EXPECT_GT(generator.Plane(0)[kTlGridSize - 1], 60000) << "white is near L 100";
}

TEST_F(CameraProfileTest, ToneTablesAreMonotone)
{
    for (std::int32_t tone = 0; tone <= 6; ++tone)
        for (std::int32_t kind : {4, 5}) {
            TlCameraProfileParams p = Params(kind, 2, true, 4);
            p.tone = tone;
            CTlCameraProfile generator;
            ASSERT_TRUE(generator.SetUp(p));
            ASSERT_FALSE(Generate(generator).empty());
            const std::uint16_t* t = generator.ToneTable();
            EXPECT_EQ(t[0], 0);
            EXPECT_GT(t[4095], 4000);
            for (int i = 1; i < kTlToneEntries; ++i)
                ASSERT_GE(t[i], t[i - 1]) << "tone " << tone << " kind " << kind << " at " << i;
        }
}

TEST_F(CameraProfileTest, EveryKindAndModeOpensInLittleCms)
{
    struct ProfileCase {
        std::int32_t kind, mode, source;
        const char* name;
    };
    const ProfileCase cases[] = {
        {4, 2, 4, "Tlb_KX6_1_0003_03_308.icm"},  {4, 4, 4, "Tlb_KX6_3_0450_03_308.icm"},
        {2, 3, 4, "Tlb_KX7_2_0045_03_308.icm"},  {5, 2, 4, "Tlb_KX8A_1_0545_03_308.icm"},
        {6, 5, 4, "Tlb_KX5_4_0752_03_308.icm"},  {4, 6, 4, "Tlb_KX6_5_0703_03_308.icm"},
        {1, 3, 5, "Tlb_KX7_2_0051_02_308.icm"},
    };
    for (const ProfileCase& c : cases) {
        TlCameraProfileParams p = Params(c.kind, c.mode, true, c.source);
        p.kelvin = c.kind == 6 ? 4000 : 0;
        p.tone = c.kind == 1 ? 2 : 3;
        TlSyntheticGains(TlSyntheticCameraOf(0), 4000, &p.gains[0], &p.gains[1]);
        CTlCameraProfile generator;
        ASSERT_TRUE(generator.SetUp(p)) << c.name;
        std::string name;
        ASSERT_EQ(generator.GetProfileName(&name, "Tlb_"), nullptr);
        EXPECT_EQ(name, c.name);
        const std::vector<std::uint8_t> bytes = Generate(generator);
        EXPECT_EQ(bytes.size(), generator.GetProfileSize()) << c.name;
        EXPECT_TRUE(OpensInLittleCms(bytes)) << c.name;
    }
}

TEST_F(CameraProfileTest, FailuresCarryTheirCodes)
{
    CTlCameraProfile generator;
    std::string name;
    IKelvraError* error = generator.GetProfileName(&name, nullptr);
    ASSERT_NE(error, nullptr) << "not set up";
    EXPECT_EQ(error->GetCode(), 1014);
    IKelvraError::Release(error);
    EXPECT_FALSE(generator.SetUp(Params(0, 2, true, 1)));
    error = generator.GetProfileName(&name, nullptr);
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->GetCode(), 1014);
    IKelvraError::Release(error);

    ASSERT_TRUE(generator.SetUp(Params(4, 2, true, 4)));
    ASSERT_EQ(generator.GetProfileName(&name, nullptr), nullptr);
    EXPECT_EQ(name.substr(0, 4), "Tlp_");
    ASSERT_EQ(generator.Build(), nullptr);
    // A short buffer is refused and not written into.
    std::vector<std::uint8_t> bytes(generator.GetProfileSize() + 16, 0xEE);
    error = generator.Serialise(bytes.data(), generator.GetProfileSize() - 1);
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->GetCode(), 1014);
    IKelvraError::Release(error);
    for (std::uint8_t b : bytes)
        ASSERT_EQ(b, 0xEE);
    // A larger buffer is written only up to the profile's size.
    ASSERT_EQ(generator.Serialise(bytes.data(), std::uint32_t(bytes.size())), nullptr);
    for (std::size_t i = generator.GetProfileSize(); i < bytes.size(); ++i)
        ASSERT_EQ(bytes[i], 0xEE);
}

TEST_F(CameraProfileTest, MissingBaseProfileFailsTheBuild)
{
    DeleteFileA((m_folder.Path() + "TLDBase_QRF.icm").c_str());
    CTlCameraProfile generator;
    ASSERT_TRUE(generator.SetUp(Params(4, 2, true, 4)));
    IKelvraError* error = generator.Build();
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->GetCode(), 1101);
    IKelvraError::Release(error);
}
