// The raw files kept in testdata/qrf still load as the synthetic raw maker
// describes them: a change to the container or to the maker shows here.
#include "PellioTestSupport.h"

namespace pelliotest {
namespace {

struct Fixture {
    const char* file;
    std::uint32_t model;
    QrfPattern pattern;
    std::uint32_t format;
    QrfGains gains;
};

std::ostream& operator<<(std::ostream& out, const Fixture& f)
{
    return out << f.file;
}

class FixtureTest : public ::testing::TestWithParam<Fixture> {
protected:
    ManagerPtr m_manager = MakeManager();
};

TEST_P(FixtureTest, LoadsAsTheMakerDescribesIt)
{
    QrfRawOptions options;
    options.model = GetParam().model;
    options.pattern = GetParam().pattern;
    options.format = GetParam().format;
    options.gains = GetParam().gains;
    QrfRawImages expected;
    TagsPtr tags = MakeTags();
    ASSERT_TRUE(Succeeded(QrfMakeImages(m_manager.get(), options, &expected)));
    ASSERT_TRUE(Succeeded(QrfFillTags(options, tags.get())));

    LoadedFile file;
    ASSERT_TRUE(Succeeded(LoadWhole(m_manager.get(), std::string(TL_PELLIO_TESTDATA) + GetParam().file, &file)));
    EXPECT_EQ(options.format, file.info.formatCode);
    EXPECT_TRUE(PixelsOf(expected.mosaic.get()) == PixelsOf(file.main.get()));
    EXPECT_TRUE(AllTags(tags.get()) == AllTags(file.tags.get()));
    ASSERT_EQ(expected.subImages.size(), file.subImages.size());
    for (std::size_t i = 0; i < file.subImages.size(); ++i)
        EXPECT_TRUE(PixelsOf(expected.subImages[i].image.get()) == PixelsOf(file.subImages[i].get())) << i;
}

INSTANTIATE_TEST_SUITE_P(Files, FixtureTest,
                         ::testing::Values(Fixture{"rggb-257.qrf", 257, QrfPattern::RGGB, 32, QrfGains{2.0, 1.5}},
                                           Fixture{"gbrg-258-deflate.qrf", 258, QrfPattern::GBRG, 2048,
                                                   QrfGains{1.75, 2.5}},
                                           Fixture{"ycgm-513.qrf", 513, QrfPattern::YCGM, 32, QrfGains{2.0, 1.5}},
                                           Fixture{"bggr-516-deflate.qrf", 516, QrfPattern::BGGR, 2048,
                                                   QrfGains{2.0, 1.5}}));

TEST(TruthFixtureTest, HoldsTheScenesColours)
{
    ManagerPtr manager = MakeManager();
    ImagePtr truth;
    ASSERT_TRUE(Succeeded(QrfMakeTruth(manager.get(), 192, 128, &truth)));
    LoadedFile file;
    ASSERT_TRUE(Succeeded(LoadWhole(manager.get(), std::string(TL_PELLIO_TESTDATA) + "truth-192x128.tif", &file)));
    EXPECT_EQ(std::uint32_t(kKelvraRGB16), file.info.pixelFormat);
    EXPECT_TRUE(PixelsOf(truth.get()) == PixelsOf(file.main.get()));
}

} // namespace
} // namespace pelliotest
