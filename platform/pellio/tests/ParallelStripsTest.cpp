// Strips are coded on worker threads and written as they come back: files
// with many more strips than threads must still read back in order, and
// saving the same picture again must give the same bytes.
#include "PellioTestSupport.h"

namespace pelliotest {
namespace {

struct StripsCase {
    const char* name;
    KelvraPixelFormat format;
    std::uint32_t option; // bit 0: deflate
};

const StripsCase kStrips[] = {
    {"Rgb16Deflate", kKelvraRGB16, 1},
    {"Grey8Deflate", kKelvraGrey8, 1},
    {"Rgb8Uncompressed", kKelvraRGB8, 0},
};

class ParallelStripsTest : public ::testing::TestWithParam<StripsCase> {
protected:
    TempFolder m_folder;
    ManagerPtr m_manager = MakeManager();
};

TEST_P(ParallelStripsTest, ManyStripsReadBackInOrderAndSavingAgainGivesTheSameBytes)
{
    const long height = 64 * 40 + 13; // forty full strips and a short one
    ImagePtr image = MakePatternImage(m_manager.get(), GetParam().format, 53, height);
    const std::string first = m_folder.File("first.tif");
    const std::string second = m_folder.File("second.tif");
    for (const std::string& path : {first, second})
        ASSERT_TRUE(Succeeded(SaveFile(image.get(), {}, nullptr, kPellioFormatTiff, GetParam().option, path)));
    EXPECT_TRUE(ReadFile(first) == ReadFile(second));
    LoadedFile file;
    ASSERT_TRUE(Succeeded(LoadWhole(m_manager.get(), first, &file)));
    EXPECT_TRUE(PixelsOf(image.get()) == PixelsOf(file.main.get()));
}

INSTANTIATE_TEST_SUITE_P(Tiff, ParallelStripsTest, ::testing::ValuesIn(kStrips),
                         [](const ::testing::TestParamInfo<StripsCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace pelliotest
