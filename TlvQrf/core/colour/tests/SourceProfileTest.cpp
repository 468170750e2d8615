// The source profile of an image: fixed profiles by camera and colour mode,
// the Exif rule for Adobe RGB files, generated profiles for raw images, and
// the engine asked for an image.
#include "FilterTestSupport.h"

#include "colour/TlGeneratedProfiles.h"
#include "colour/TlSourceProfile.h"
#include "colour/TlWorkingProfiles.h"
#include "kelvra/KelvraTagControl.h"
#include "MakeProfiles/TlProfileMaker.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

struct StoredRatio {
    std::uint32_t numerator;
    std::uint32_t denominator;
};

class ExifTags {
public:
    ExifTags() { EXPECT_EQ(nullptr, IKelvraTagControl::CreateTagControl(&m_tags)); }
    ~ExifTags() { m_tags->Destroy(); }

    void Set(std::uint32_t id, std::uint32_t type, const void* value, std::uint32_t size)
    {
        ASSERT_EQ(nullptr, m_tags->AddTag(id));
        ASSERT_EQ(nullptr, m_tags->SetTag(id, type, size, value));
    }
    void Remove(std::uint32_t id) { ASSERT_EQ(nullptr, m_tags->RemoveTag(id)); }
    void Version(const char* version) { Set(0x9000, kKelvraTagTypeBytes, version, 4); }
    void Ratios(std::uint32_t id, const std::vector<StoredRatio>& ratios)
    {
        Set(id, kKelvraTagTypeBytes, ratios.data(), std::uint32_t(ratios.size() * sizeof(StoredRatio)));
    }
    // The tags of an Adobe RGB file, version 0221.
    void AdobeRgb()
    {
        Version("0221");
        const std::int32_t uncalibrated = 0xFFFF;
        Set(0xA001, kKelvraTagTypeLong, &uncalibrated, sizeof uncalibrated);
        Ratios(0x13E, {{313, 1000}, {329, 1000}});
        Ratios(0x13F, {{64, 100}, {33, 100}, {21, 100}, {71, 100}, {15, 100}, {6, 100}});
        Ratios(0x211, {{299, 1000}, {587, 1000}, {114, 1000}});
        Ratios(0xA500, {{22, 10}});
    }
    IKelvraTagControl* Get() const { return m_tags; }

private:
    IKelvraTagControl* m_tags = nullptr;
};

TEST(ExifAdobeRuleTest, AdobeNeedsVersion0221AndEveryTagExactly)
{
    struct Case {
        const char* what;
        void (*change)(ExifTags&);
        bool adobe;
    };
    const Case cases[] = {
        {"all tags, version 0221", [](ExifTags&) {}, true},
        {"version 0230", [](ExifTags& t) { t.Version("0230"); }, true},
        {"version 0220", [](ExifTags& t) { t.Version("0220"); }, false},
        {"no version", [](ExifTags& t) { t.Remove(0x9000); }, false},
        {"gamma 220/100", [](ExifTags& t) { t.Ratios(0xA500, {{220, 100}}); }, false},
        {"gamma as the container's double 2.2",
         [](ExifTags& t) {
             const double gamma = 2.2;
             t.Remove(0xA500);
             t.Set(0xA500, kKelvraTagTypeDoubles, &gamma, sizeof gamma);
         },
         true},
        {"colour space sRGB",
         [](ExifTags& t) {
             const std::int32_t srgb = 1;
             t.Set(0xA001, kKelvraTagTypeLong, &srgb, sizeof srgb);
         },
         false},
        {"no white point", [](ExifTags& t) { t.Remove(0x13E); }, false},
        {"one primary off", [](ExifTags& t) {
             t.Ratios(0x13F, {{64, 100}, {33, 100}, {21, 100}, {71, 100}, {15, 100}, {7, 100}});
         }, false},
        {"coefficients cut short", [](ExifTags& t) { t.Ratios(0x211, {{299, 1000}, {587, 1000}}); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ExifTags tags;
        tags.AdobeRgb();
        c.change(tags);
        EXPECT_EQ(c.adobe, IsAdobeRgbByExif(tags.Get()));
    }
    EXPECT_FALSE(IsAdobeRgbByExif(nullptr));
}

// A generator that always makes the same small profile.
class SmallGenerator : public ITlCameraProfileGenerator {
public:
    IKelvraError* GetFileName(const char* prefix, std::string* name) override
    {
        *name = std::string(prefix) + "K1.icm";
        return nullptr;
    }
    std::uint32_t GetProfileSize() const override { return 16; }
    IKelvraError* Build() override { return nullptr; }
    IKelvraError* Serialise(void* buffer, std::uint32_t size) override
    {
        std::memset(buffer, 1, size);
        return nullptr;
    }
};

class SourceProfileTest : public PatternImageTest {
protected:
    void SetUp() override
    {
        ResetWorkingProfiles();
        SetProfileFolder(m_folder.Path().c_str());
        SetGeneratedProfilePrefix("Tlb_");
    }
    void TearDown() override
    {
        ResetWorkingProfiles();
        PatternImageTest::TearDown();
    }
    std::string Profile(const char* name) const { return m_folder.File(name); }

    TempFolder m_folder;
};

TEST_F(SourceProfileTest, OrdinaryImagesGoByAssignedProfileCameraAndExif)
{
    ExifTags adobeTags;
    adobeTags.AdobeRgb();
    struct Case {
        const char* what;
        std::uint16_t model;
        bool assigned;
        bool adobeMode;
        bool adobeExif;
        std::string expected;
    };
    const Case cases[] = {
        {"assigned profile", 258, true, true, true, "C:\\mine.icm"},
        {"NTSC camera", 257, false, true, true, Profile("TLNTSC.icm")},
        {"colour-mode camera in Adobe mode", 258, false, true, false, Profile("TLAdobe.icm")},
        {"colour-mode camera otherwise", 1025, false, false, true, Profile("TLsRGB.icm")},
        {"other camera, Adobe Exif", 300, false, false, true, Profile("TLAdobe.icm")},
        {"other camera, no Exif", 0, false, true, false, Profile("TLsRGB.icm")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TlSourceProfileFacts facts;
        facts.modelCode = c.model;
        facts.hasAssignedProfile = c.assigned;
        facts.assignedProfile = "C:\\mine.icm";
        facts.adobeColourMode = c.adobeMode;
        facts.tags = c.adobeExif ? adobeTags.Get() : nullptr;
        EXPECT_EQ(c.expected, ChooseSourceProfile(facts));
    }
}

TEST_F(SourceProfileTest, RawImagesGetTheirGeneratedProfile)
{
    SmallGenerator generator;
    TlSourceProfileFacts facts;
    facts.raw = true;
    facts.hasAssignedProfile = true; // not used for raw images
    facts.assignedProfile = "C:\\mine.icm";

    EXPECT_EQ("", ChooseSourceProfile(facts)); // no generator yet
    facts.cameraProfile = &generator;
    EXPECT_EQ(Profile("Tlb_K1.icm"), ChooseSourceProfile(facts));
    facts.customCurveNumber = 7;
    EXPECT_EQ(Profile("Tlb_U00000007.icm"), ChooseSourceProfile(facts));
    facts.modelCode = 515; // developed by the signal-processing library
    EXPECT_EQ(Profile("TLsRGB.icm"), ChooseSourceProfile(facts));
}

TEST_F(SourceProfileTest, TheEngineOfAnImageGoesFromItsSourceProfile)
{
    ASSERT_EQ(nullptr, TlWriteProfiles(m_folder.Path().c_str()));
    ASSERT_TRUE(CreateEngineManager());
    struct Case {
        const char* what;
        KelvraPixelFormat format;
        bool raw;
        bool assigned;
        std::string source; // empty: no engine
        long bits;
    };
    const Case cases[] = {
        {"grey image", 0x10020001, false, true, Profile("TLGrayG22.icm"), 16},
        {"assigned profile", 0x08060201, false, true, Profile("TLAdobe.icm"), 8},
        {"plain image", 0x10060201, false, false, Profile("TLsRGB.icm"), 16},
        {"grey raw image without a generator", 0x10020001, true, false, "", 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TlSourceProfileFacts facts;
        facts.pixelSource = Image(8, 8, c.format);
        facts.raw = c.raw;
        facts.hasAssignedProfile = c.assigned;
        facts.assignedProfile = Profile("TLAdobe.icm");
        CCMLEngMgr::CReference ref;
        long bits = 0;
        EXPECT_EQ(!c.source.empty(), RequestImageEngine(ref, facts, Profile("TLsRGB.icm").c_str(), &bits));
        EXPECT_EQ(c.bits, bits);
        KelvraFile source;
        if (ref)
            IKelvraError::Release(ref->GetProfiles(&source, nullptr, nullptr));
        EXPECT_EQ(c.source, source.path);
    }
    DestroyEngineManager();
}

} // namespace
