// Which lens a picture's tags name, and where the lens's data file lies.
#include "settings/lens/TlLensInformation.h"

#include "frame/TlProfileFolder.h"
#include "kelvra/KelvraTagControl.h"
#include "support/CommonFilesSandbox.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

constexpr std::uint32_t kLensDataTag = 0x80098;
constexpr std::uint32_t kLensRangeTag = 0x80084;

class Tags {
public:
    Tags() { EXPECT_EQ(nullptr, IKelvraTagControl::CreateTagControl(&m_tags)); }
    ~Tags() { m_tags->Destroy(); }
    Tags(const Tags&) = delete;
    Tags& operator=(const Tags&) = delete;

    void Set(std::uint32_t id, std::uint32_t type, const void* value, std::uint32_t length)
    {
        ASSERT_EQ(nullptr, m_tags->AddTag(id));
        ASSERT_EQ(nullptr, m_tags->SetTag(id, type, length, value));
    }
    // 31 bytes: the version, then `code` at `codeOffset`; every other byte 0x55
    // so that a code read from the wrong place shows.
    void SetLensData(const char* version, int codeOffset, std::uint8_t code, std::uint32_t type = 264)
    {
        std::uint8_t data[31];
        std::memset(data, 0x55, sizeof data);
        std::memcpy(data, version, 4);
        data[codeOffset] = code;
        Set(kLensDataTag, type, data, sizeof data);
    }
    void SetLensRange(double shortFocal, double longFocal, double apertureShort, double apertureLong)
    {
        const double range[4] = {shortFocal, longFocal, apertureShort, apertureLong};
        Set(kLensRangeTag, 256, range, sizeof range);
    }
    const IKelvraTagControl* Get() const { return m_tags; }

private:
    IKelvraTagControl* m_tags = nullptr;
};

struct IdentifyCase {
    const char* name;
    void (*setUp)(Tags&);
    std::uint8_t expected;
};

const IdentifyCase kIdentifyCases[] = {
    {"version 0100 names the code in byte 6", [](Tags& t) { t.SetLensData("0100", 6, 128); }, 128},
    {"version 0100, another lens", [](Tags& t) { t.SetLensData("0100", 6, 77); }, 77},
    {"version 0101 names the code in byte 11", [](Tags& t) { t.SetLensData("0101", 11, 128); }, 128},
    {"version 0102 gives 0 without looking at the lens range",
     [](Tags& t) {
         t.SetLensData("0102", 6, 128);
         t.SetLensRange(10.5, 10.5, 2.8, 2.8);
     },
     0},
    {"lens data wins over the lens range",
     [](Tags& t) {
         t.SetLensData("0100", 6, 42);
         t.SetLensRange(10.5, 10.5, 2.8, 2.8);
     },
     42},
    {"no lens data: the fisheye's range gives 128", [](Tags& t) { t.SetLensRange(10.5, 10.5, 2.8, 2.8); }, 128},
    {"no lens data: another range gives 0", [](Tags& t) { t.SetLensRange(10.5, 10.5, 2.8, 4.0); }, 0},
    {"no lens data: a zoom gives 0", [](Tags& t) { t.SetLensRange(10.5, 17.0, 2.8, 2.8); }, 0},
    {"lens data of another type counts as missing",
     [](Tags& t) {
         t.SetLensData("0100", 6, 42, 1);
         t.SetLensRange(10.5, 10.5, 2.8, 2.8);
     },
     128},
    {"no lens tags at all", [](Tags&) {}, 0},
};

TEST(LensIdentifyTest, TagsNameTheLens)
{
    for (const IdentifyCase& c : kIdentifyCases) {
        SCOPED_TRACE(c.name);
        Tags tags;
        c.setUp(tags);
        EXPECT_EQ(c.expected, CTlLensInformation::IdentifyLens(tags.Get()));
    }
}

TEST(LensIdentifyTest, NoTagControlGivesNoLens)
{
    EXPECT_EQ(0, CTlLensInformation::IdentifyLens(nullptr));
}

class LensFilePathTest : public ::testing::Test {
protected:
    LensFilePathTest()
    {
        std::memset(m_path, 'x', sizeof m_path);
    }

    void SetCommonFiles(const std::string& folder)
    {
        ASSERT_TRUE(m_commonFiles.PointAt(folder));
    }

    bool PathUntouched() const
    {
        for (char c : m_path) {
            if (c != 'x')
                return false;
        }
        return true;
    }

    CommonFilesSandbox m_commonFiles;
    // One more than the documented room, to see writes past it.
    char m_path[CTlLensInformation::kPathCapacity + 1];
};

TEST_F(LensFilePathTest, SupportedLensFileLiesInTheProfilesFolder)
{
    SetCommonFiles("D:\\Shared Files");
    EXPECT_EQ(0, CTlLensInformation::GetLensFilePath(m_path, 128));
    EXPECT_STREQ("D:\\Shared Files\\Talvo\\Profiles\\Tl0080.lns", m_path);
    EXPECT_EQ(GetProfileFolder() + "Tl0080.lns", std::string(m_path));
}

TEST_F(LensFilePathTest, OtherCodesGiveNoPathAndWriteNothing)
{
    for (int code : {127, 129, 0, -128, 255}) {
        EXPECT_EQ(-1, CTlLensInformation::GetLensFilePath(m_path, code)) << code;
        EXPECT_TRUE(PathUntouched()) << code;
    }
    EXPECT_EQ(-1, CTlLensInformation::GetLensFilePath(nullptr, 128));
}

// "\Talvo\Profiles\Tl0080.lns" adds 26 characters to the Common Files folder.
TEST_F(LensFilePathTest, PathMustFitTheBufferWithItsTerminator)
{
    const std::string longest = "C:\\" + std::string(259 - 26 - 3, 'a');
    SetCommonFiles(longest);
    ASSERT_EQ(0, CTlLensInformation::GetLensFilePath(m_path, 128));
    EXPECT_EQ(259u, std::strlen(m_path));
    EXPECT_EQ('x', m_path[260]);

    std::memset(m_path, 'x', sizeof m_path);
    SetCommonFiles(longest + "a");
    EXPECT_EQ(-1, CTlLensInformation::GetLensFilePath(m_path, 128));
    EXPECT_TRUE(PathUntouched());

    SetCommonFiles("C:\\" + std::string(400, 'a'));
    EXPECT_EQ(-1, CTlLensInformation::GetLensFilePath(m_path, 128));
    EXPECT_TRUE(PathUntouched());
}

} // namespace
