// The small preview: its size for both orientations and extreme shapes, and
// real renderings of flat images of several formats into 8-bit RGB.
#include "params/TlSmallPreview.h"

#include "FilterTestSupport.h"

#include <gtest/gtest.h>

namespace {

IKelvraImage* FlatImage(IKelvraManager* manager, long width, long height, KelvraPixelFormat format,
                        std::uint16_t value)
{
    IKelvraImage* image = MakeBlankImage(manager, width, height, format);
    const bool wide = (format >> 28) & 1;
    const long planes = (format & 0x1FFFF) == 1 ? 1 : 3;
    const std::size_t count = std::size_t(width * height * planes);
    if (wide) {
        std::vector<std::uint16_t> samples(count, value);
        ExpectOk(KelvraWriteRect(image, KelvraRect(0, 0, width, height), samples.data(), width * planes * 2));
    } else {
        std::vector<std::uint8_t> samples(count, std::uint8_t(value));
        ExpectOk(KelvraWriteRect(image, KelvraRect(0, 0, width, height), samples.data(), width * planes));
    }
    return image;
}

class SmallPreviewTest : public ::testing::Test {
protected:
    IKelvraManager* Manager() { return m_holder.manager; }
    ManagerHolder m_holder;
};

} // namespace

TEST(SmallPreviewSize, LongerSideBecomes384)
{
    struct Case {
        long width, height;
        long previewWidth, previewHeight;
    } const cases[] = {
        {3008, 2000, 384, 255},
        {2000, 3008, 255, 384},
        {1000, 1000, 384, 384},
        {100, 50, 384, 192},
        {100000, 10, 384, 1},  // never an empty side
        {10, 100000, 1, 384},
        {10000000, 9000000, 384, 345}, // the products need more than 32 bits
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.width << " x " << c.height);
        const STlPreviewSize size = SmallPreviewSize(c.width, c.height);
        EXPECT_EQ(c.previewWidth, size.width);
        EXPECT_EQ(c.previewHeight, size.height);
    }
}

TEST_F(SmallPreviewTest, RendersFlatImagesAs8BitRgb)
{
    struct Case {
        KelvraPixelFormat format;
        std::uint16_t value;
        unsigned expected;
    } const cases[] = {
        {kKelvraRGB8, 200, 200},
        {kKelvraRGB16, 0x8080, 128},
        {kKelvraGrey8, 77, 77},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        IKelvraImage* source = FlatImage(Manager(), 300, 200, c.format, c.value);
        IKelvraImage* preview = nullptr;
        ExpectOk(Manager()->CreateImage(&preview, 0));
        EXPECT_TRUE(MakeSmallPreview(Manager(), source, preview));
        const SampleGrid grid = ReadSampleGrid(preview);
        EXPECT_EQ(384, grid.width);
        EXPECT_EQ(256, grid.height);
        KelvraPixelFormat format = 0;
        ExpectOk(preview->GetColorSpace(&format));
        EXPECT_EQ(KelvraPixelFormat(kKelvraRGB8), format);
        for (std::size_t i = 0; i < grid.samples.size(); ++i)
            ASSERT_EQ(c.expected, grid.samples[i]) << i;
        preview->Release();
        source->Release();
    }
}

TEST_F(SmallPreviewTest, RefusesSensorDataEmptySourcesAndMissingParts)
{
    IKelvraImage* preview = nullptr;
    ExpectOk(Manager()->CreateImage(&preview, 0));
    for (KelvraPixelFormat format : {KelvraPixelFormat(0x10020401), KelvraPixelFormat(0x10020402)}) {
        SCOPED_TRACE(format);
        IKelvraImage* mosaic = MakeBlankImage(Manager(), 64, 64, format);
        EXPECT_FALSE(MakeSmallPreview(Manager(), mosaic, preview));
        mosaic->Release();
    }
    IKelvraImage* empty = nullptr;
    ExpectOk(Manager()->CreateImage(&empty, 0));
    EXPECT_FALSE(MakeSmallPreview(Manager(), empty, preview));
    empty->Release();

    IKelvraImage* source = FlatImage(Manager(), 40, 30, kKelvraRGB8, 9);
    EXPECT_FALSE(MakeSmallPreview(nullptr, source, preview));
    EXPECT_FALSE(MakeSmallPreview(Manager(), nullptr, preview));
    EXPECT_FALSE(MakeSmallPreview(Manager(), source, nullptr));
    source->Release();
    preview->Release();
}
