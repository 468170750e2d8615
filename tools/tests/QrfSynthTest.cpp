#include "qrfsynth/QrfSynthFile.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(QrfScene, PatchesAreFlatAndKeepTheirColour)
{
    const CQrfScene scene(600, 400);
    ASSERT_EQ(20u, scene.Patches().size());
    for (const QrfPatch& patch : scene.Patches()) {
        ASSERT_FALSE(patch.rect.IsEmpty());
        for (long y = patch.rect.top; y < patch.rect.bottom; y += 3)
            for (long x = patch.rect.left; x < patch.rect.right; x += 3)
                ASSERT_TRUE(scene.At(x, y) == patch.colour) << x << "," << y;
    }
}

TEST(QrfScene, NeutralStepsAreGreyAndRise)
{
    const CQrfScene scene(600, 400);
    std::uint16_t previous = 0;
    for (std::size_t i = 12; i < scene.Patches().size(); ++i) {
        const QrfRgb c = scene.Patches()[i].colour;
        EXPECT_TRUE(c.r == c.g && c.g == c.b);
        EXPECT_GT(c.r, previous);
        previous = c.r;
    }
}

TEST(QrfScene, DetailAlternatesBetweenNeighbours)
{
    const CQrfScene scene(600, 400);
    const long y = 390;
    EXPECT_NE(scene.At(10, y).g, scene.At(11, y).g);
    EXPECT_EQ(scene.At(10, y).g, scene.At(11, y + 1).g);
}

TEST(QrfScene, ZonePlateRingsTightenInProportionToTheDistance)
{
    QrfSceneKind kind = QrfSceneKind::Chart;
    ASSERT_TRUE(QrfParseScene("zoneplate", &kind));
    EXPECT_FALSE(QrfParseScene("zone", &kind));
    const CQrfScene scene(600, 400, kind);
    const long cx = 300, cy = 200; // R = 200
    EXPECT_DOUBLE_EQ(200.0 * 0.5 / 0.6, scene.ZoneRadiusFor(0.5));
    for (long d = 0; d < 190; d += 7) {
        const QrfRgb c = scene.At(cx + d, cy);
        EXPECT_TRUE(c.r == c.g && c.g == c.b) << d;
        EXPECT_TRUE(c == scene.At(cx - d, cy) && c == scene.At(cx, cy + d)) << d;
    }
    // Between 0.05 and 0.25 cycles per pixel lie 0.3 (r2^2 - r1^2) / R = 10
    // whole rings: count their crests along the axis.
    const long from = std::lround(scene.ZoneRadiusFor(0.05)), to = std::lround(scene.ZoneRadiusFor(0.25));
    int crests = 0;
    for (long r = from; r < to; ++r) {
        const std::uint16_t v = scene.At(cx + r, cy).g;
        crests += v > scene.At(cx + r - 1, cy).g && v >= scene.At(cx + r + 1, cy).g;
    }
    EXPECT_EQ(10, crests);
    EXPECT_EQ(QrfSceneKind::Chart, QrfRawOptions().scene);
}

struct PatternCase {
    const char* name;
    std::vector<std::uint8_t> tag;
};

class QrfPatternTest : public ::testing::TestWithParam<PatternCase> {};

TEST_P(QrfPatternTest, TagHoldsDimensionsThenCodes)
{
    QrfPattern pattern;
    ASSERT_TRUE(QrfParsePattern(GetParam().name, &pattern));
    EXPECT_EQ(GetParam().tag, QrfPatternTag(pattern));
    EXPECT_STREQ(GetParam().name, QrfPatternName(pattern));
}

INSTANTIATE_TEST_SUITE_P(Patterns, QrfPatternTest,
                         ::testing::Values(PatternCase{"RGGB", {0, 2, 0, 2, 0, 1, 1, 2}},
                                           PatternCase{"BGGR", {0, 2, 0, 2, 2, 1, 1, 0}},
                                           PatternCase{"GRBG", {0, 2, 0, 2, 1, 0, 2, 1}},
                                           PatternCase{"GBRG", {0, 2, 0, 2, 1, 2, 0, 1}},
                                           PatternCase{"YCGM", {0, 2, 0, 2, 5, 3, 1, 4}}));

TEST(QrfMosaic, SitesSeeTheirFilterDividedByTheGains)
{
    const CQrfScene scene(600, 400);
    const QrfPatch& patch = scene.Patches()[3];
    const long x = patch.rect.left + (patch.rect.left % 2), y = patch.rect.top + (patch.rect.top % 2);
    const QrfGains gains{2.0, 1.5};
    auto expected = [](double linear) { return std::uint16_t(linear * 4095.0 / 65535.0 + 0.5); };
    EXPECT_EQ(expected(patch.colour.r / 2.0), QrfSensorValue(scene, QrfPattern::RGGB, gains, x, y));
    EXPECT_EQ(expected(patch.colour.g), QrfSensorValue(scene, QrfPattern::RGGB, gains, x + 1, y));
    EXPECT_EQ(expected(patch.colour.b / 1.5), QrfSensorValue(scene, QrfPattern::RGGB, gains, x + 1, y + 1));
    EXPECT_EQ(expected((patch.colour.r / 2.0 + patch.colour.g) / 2),
              QrfSensorValue(scene, QrfPattern::YCGM, gains, x, y));
}

TEST(QrfMosaic, RowMatchesSiteValues)
{
    const CQrfScene scene(64, 64);
    std::vector<std::uint16_t> row(64);
    QrfMosaicRow(scene, QrfPattern::GBRG, QrfGains{}, 33, 64, 1, row.data());
    for (long x = 0; x < 64; ++x)
        EXPECT_EQ(QrfSensorValue(scene, QrfPattern::GBRG, QrfGains{}, x, 33), row[std::size_t(x)]);
}

struct OptionsCase {
    std::uint32_t model;
    QrfPattern pattern;
    long width;
    std::uint32_t format;
    bool usable;
};

class QrfOptionsTest : public ::testing::TestWithParam<OptionsCase> {};

TEST_P(QrfOptionsTest, Checked)
{
    QrfRawOptions options;
    options.model = GetParam().model;
    options.pattern = GetParam().pattern;
    options.width = GetParam().width;
    options.format = GetParam().format;
    EXPECT_EQ(GetParam().usable, QrfCheckOptions(options).empty()) << QrfCheckOptions(options);
}

INSTANTIATE_TEST_SUITE_P(Options, QrfOptionsTest,
                         ::testing::Values(OptionsCase{257, QrfPattern::RGGB, 192, 32, true},
                                           OptionsCase{257, QrfPattern::YCGM, 192, 2048, true},
                                           OptionsCase{513, QrfPattern::YCGM, 192, 32, true},
                                           OptionsCase{516, QrfPattern::BGGR, 192, 32, true},
                                           OptionsCase{514, QrfPattern::RGGB, 192, 32, false},
                                           OptionsCase{257, QrfPattern::RGGB, 31, 32, false},
                                           OptionsCase{257, QrfPattern::RGGB, 192, 256, false},
                                           OptionsCase{0, QrfPattern::RGGB, 192, 32, false}));

TEST(QrfCapture, LayoutFollowsTheModel)
{
    EXPECT_EQ(kKelvraRawMosaic, QrfMosaicFormat(257));
    EXPECT_EQ(kKelvraRawSig3, QrfMosaicFormat(513));
    EXPECT_EQ(kKelvraRawSig3, QrfMosaicFormat(514));
    EXPECT_EQ(kKelvraRawSig4, QrfMosaicFormat(515));
    EXPECT_EQ(kKelvraRawSig4, QrfMosaicFormat(516));
    EXPECT_GE(QrfMakerTable(513).size(), 360u);
}

} // namespace
