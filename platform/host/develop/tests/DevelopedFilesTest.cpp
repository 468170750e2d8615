// The files the develop command wrote (develop_command_tests runs it first):
// the bundled raw file developed with no arguments into a JPEG, and into a
// 16-bit TIFF, each decoding whole into a picture of the raw file's
// developed size.
#include "PellioTestSupport.h"

#include "pellio/PellioFormats.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

// The bundled raw file is 192 x 128; the border of its 12-bit mosaic, six
// pixels a side, is not developed.
constexpr long kWidth = 180;
constexpr long kHeight = 116;

TEST(DevelopedFilesTest, EachFileDecodesIntoTheDevelopedPicture)
{
    const struct {
        const char* name;
        std::uint32_t kind;
        KelvraPixelFormat format;
    } cases[] = {
        {"develop-output.jpg", kPellioKindJpeg, kKelvraRGB8},
        {"developed.tif", kPellioKindTiff, kKelvraRGB16},
    };
    const pelliotest::ManagerPtr manager = pelliotest::MakeManager();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        pelliotest::LoadedFile file;
        ASSERT_TRUE(pelliotest::Succeeded(pelliotest::LoadWhole(manager.get(), std::string(TL_DEVELOP_WORK) + c.name, &file)));
        EXPECT_EQ(file.info.fileKind, c.kind);
        long width = 0;
        long height = 0;
        ASSERT_TRUE(pelliotest::Succeeded(file.main->GetSize(&width, &height)));
        EXPECT_EQ(width, kWidth);
        EXPECT_EQ(height, kHeight);
        KelvraPixelFormat format = 0;
        ASSERT_TRUE(pelliotest::Succeeded(file.main->GetColorSpace(&format)));
        EXPECT_EQ(format, c.format);
        const pelliotest::Bytes pixels = pelliotest::PixelsOf(file.main.get());
        ASSERT_FALSE(pixels.empty());
        EXPECT_FALSE(std::all_of(pixels.begin(), pixels.end(), [&](std::uint8_t b) { return b == pixels[0]; }))
            << "a picture without content";
    }
}

} // namespace
