// How a filter names itself and tags its errors, and what the pixel format
// words say.
#include "FrameTestSupport.h"

#include "FilterTestSupport.h"
#include "filters/frame/TlPixelFormats.h"

#include <cstring>

using namespace frame_test;

namespace {

TEST(FilterIdTest, FirstCharacterIsTheMostSignificantByte)
{
    static_assert(TlFilterId("LCH ") == 0x4C434820u, "usable at compile time");
    const struct {
        KelvraTag id;
        std::uint32_t value;
    } cases[] = {{TlFilterId("ABrt"), 0x41427274u}, {TlFilterId("rev "), 0x72657620u},
                 {TlFilterId("db1g"), 0x64623167u}, {TlFilterId("FPrc"), 0x46507263u}};
    for (const auto& c : cases)
        EXPECT_EQ(c.value, c.id);
}

class FilterErrorTest : public ::testing::Test {
protected:
    ManagerHolder m_holder;
    SettingTestFilter filter{m_holder.manager};
};

TEST_F(FilterErrorTest, CodeErrorCarriesIdLineCategoryAndCode)
{
    long line = 0;
    IKelvraError* error = filter.FailWithCode(kKelvraUnsupportedFormat, &line);
    ASSERT_NE(nullptr, error);
    EXPECT_EQ(TlFilterId("Tst1"), error->GetTag());
    EXPECT_EQ(line, error->GetLine());
    EXPECT_EQ(std::uint32_t(kKelvraCategoryKelvra), error->GetCategory());
    EXPECT_EQ(kKelvraUnsupportedFormat, error->GetCode());
    EXPECT_EQ(nullptr, error->GetNext());
    IKelvraError::Release(error);
}

TEST_F(FilterErrorTest, TextErrorCarriesTheTextExactly)
{
    long line = 0;
    IKelvraError* error = filter.FailWithText(kTlBadSourceColorSpace, &line);
    ASSERT_NE(nullptr, error);
    EXPECT_STREQ("Bad source data color space", error->GetText());
    EXPECT_EQ(TlFilterId("Tst1"), error->GetTag());
    EXPECT_EQ(line, error->GetLine());
    IKelvraError::Release(error);
}

TEST_F(FilterErrorTest, WrapKeepsTheInnerErrorAndIgnoresSuccess)
{
    long line = 0;
    EXPECT_EQ(nullptr, filter.Wrap(nullptr, &line));
    IKelvraError* inner = KELVRA_ERROR(nullptr, KelvraFourCC('K', 'S', 'r', 'c'), kKelvraNotReady);
    IKelvraError* error = filter.Wrap(inner, &line);
    ASSERT_NE(nullptr, error);
    EXPECT_EQ(TlFilterId("Tst1"), error->GetTag());
    EXPECT_EQ(line, error->GetLine());
    EXPECT_EQ(inner, error->GetInner());
    EXPECT_TRUE(error->HasCode(kKelvraNotReady));
    IKelvraError::Release(error);
}

TEST_F(FilterErrorTest, ErrorsAppendToAGivenChain)
{
    IKelvraError* first = filter.AddError(nullptr, 10, kKelvraNotReady);
    IKelvraError* chain = filter.AddError(first, 11, "second");
    chain = filter.AddWorker(chain, 12, KELVRA_ERROR(nullptr, 0, kKelvraOutOfMemory));
    ASSERT_EQ(first, chain);
    ASSERT_NE(nullptr, chain->GetNext());
    EXPECT_EQ(11, chain->GetNext()->GetLine());
    ASSERT_NE(nullptr, chain->GetNext()->GetNext());
    EXPECT_EQ(12, chain->GetNext()->GetNext()->GetLine());
    EXPECT_TRUE(chain->HasCode(kKelvraOutOfMemory));
    IKelvraError::Release(chain);
}

TEST(PixelFormatTest, SampleLayoutAndRgbLikeness)
{
    const struct {
        KelvraPixelFormat format;
        unsigned bits;
        unsigned planes;
        bool rgb;
        bool rgbLike;
    } cases[] = {
        {kKelvraBitmap, 1, 1, false, false},   {kKelvraGrey8, 8, 1, false, false},
        {kKelvraGrey16, 16, 1, false, false},  {kKelvraRGB8, 8, 3, true, true},
        {kKelvraRGB16, 16, 3, true, true},     {0x08060202, 8, 3, false, false},
        {kKelvraLCh8, 8, 3, false, true}, {0x08060204, 8, 3, false, true},
        {kTlThreeSample8Last, 8, 3, false, true},  {0x08060206, 8, 3, false, false},
        {kKelvraLCh16, 16, 3, false, true}, {kTlThreeSample16Last, 16, 3, false, true},
        {0x10060206, 16, 3, false, false},       {kKelvraCMYK8, 8, 4, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format);
        const TlSampleLayout layout = TlSampleLayoutOf(c.format);
        EXPECT_EQ(c.bits, layout.bitsPerSample);
        EXPECT_EQ(c.planes, layout.planes);
        EXPECT_EQ(c.rgb, TlIsRgb(c.format));
        EXPECT_EQ(c.rgbLike, TlIsRgbLike(c.format));
    }
}

} // namespace
