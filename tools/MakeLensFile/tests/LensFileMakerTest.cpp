// The synthetic lens file: the lens record loads it whole, and its curves
// are a usable correction (monotonic, each forward curve undoes its
// inverse, the no-fill pair never reaches outside the source).
#include "MakeLensFile/TlLensFileMaker.h"

#include "settings/lens/TlLensInformation.h"
#include "support/CommonFilesSandbox.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

constexpr int kEntries = CTlLensInformation::kTableEntries;

// A curve read between its entries, as the fisheye correction reads it.
double Apply(const std::vector<double>& curve, double radius)
{
    const double u = radius * (kEntries - 1);
    const int i = std::min(int(u), kEntries - 2);
    const double f = u - i;
    return curve[i] * (1 - f) + curve[i + 1] * f;
}

TEST(LensFileMakerTest, FileIsALensRecordThatLoadsWhole)
{
    const std::vector<std::uint8_t> bytes = TlBuildLensFile();
    ASSERT_EQ(131095u, bytes.size());

    CTlLensInformation lens;
    EXPECT_EQ(131095, lens.Load(bytes.data(), int(bytes.size())));
    EXPECT_EQ(128, lens.GetLensCode());

    const std::vector<std::vector<double>> curves = TlBuildLensCurves();
    const double* tables[4] = {};
    lens.GetLensData(&tables[0], &tables[1], &tables[2], &tables[3]);
    for (int t = 0; t < 4; ++t) {
        ASSERT_NE(nullptr, tables[t]);
        EXPECT_TRUE(std::equal(curves[t].begin(), curves[t].end(), tables[t])) << t;
    }
}

TEST(LensFileMakerTest, CurvesStartAtTheCentreAndRiseSteadily)
{
    const std::vector<std::vector<double>> curves = TlBuildLensCurves();
    ASSERT_EQ(4u, curves.size());
    for (int t = 0; t < 4; ++t) {
        SCOPED_TRACE(t);
        ASSERT_EQ(std::size_t(kEntries), curves[t].size());
        EXPECT_EQ(0.0, curves[t][0]);
        for (int i = 1; i < kEntries; ++i)
            ASSERT_GE(curves[t][i], curves[t][i - 1]) << i;
        EXPECT_TRUE(std::isfinite(curves[t][kEntries - 1]));
    }
    // The fill pair maps the whole diagonal onto itself.
    EXPECT_NEAR(1.0, curves[0][kEntries - 1], 1e-12);
    EXPECT_NEAR(1.0, curves[2][kEntries - 1], 1e-12);
}

TEST(LensFileMakerTest, ForwardCurvesUndoTheirInverseCurves)
{
    const std::vector<std::vector<double>> curves = TlBuildLensCurves();
    for (int pair = 0; pair < 2; ++pair) {
        SCOPED_TRACE(pair);
        for (int step = 0; step <= 100; ++step) {
            const double output = step / 100.0;
            const double source = Apply(curves[pair], output);
            EXPECT_NEAR(output, Apply(curves[pair + 2], source), 2e-3) << output;
        }
    }
}

// Without fill, every output point must take its value from inside the
// source: the inverse curve never maps a radius further out than itself.
// The fill pair does reach outside, which is what the fill colour covers.
TEST(LensFileMakerTest, OnlyTheFillPairReachesOutsideTheSource)
{
    const std::vector<std::vector<double>> curves = TlBuildLensCurves();
    bool fillPairReachesOut = false;
    for (int i = 0; i < kEntries; ++i) {
        const double radius = double(i) / (kEntries - 1);
        EXPECT_LE(curves[1][i], radius + 1e-12) << i;
        fillPairReachesOut = fillPairReachesOut || curves[0][i] > radius + 0.01;
    }
    EXPECT_TRUE(fillPairReachesOut);
}

TEST(LensFileMakerTest, WritesTheFileIntoTheFolder)
{
    TempFolder temp;
    const std::string folder = temp.Path() + "Profiles";
    std::string failure;
    ASSERT_TRUE(TlWriteLensFile(folder.c_str(), &failure)) << failure;

    const std::string written = TempFolder::Read(folder + "\\Tl0080.lns");
    const std::vector<std::uint8_t> expected = TlBuildLensFile();
    EXPECT_EQ(std::string(expected.begin(), expected.end()), written);

    // Writing again replaces the file.
    TempFolder::Overwrite(folder + "\\Tl0080.lns", "old");
    ASSERT_TRUE(TlWriteLensFile((folder + "\\").c_str(), &failure)) << failure;
    EXPECT_EQ(expected.size(), TempFolder::Read(folder + "\\Tl0080.lns").size());
}

// Written where the install step puts it, the file is found by the lens
// record's path and read whole by its loader, as the fisheye correction does.
TEST(LensFileMakerTest, InstalledFileIsFoundAndAcceptedByTheLensRecord)
{
    TempProfilesFolder profiles;
    ASSERT_TRUE(profiles.IsReady());
    std::string failure;
    ASSERT_TRUE(TlWriteLensFile(profiles.Path().c_str(), &failure)) << failure;

    char path[CTlLensInformation::kPathCapacity];
    ASSERT_EQ(0, CTlLensInformation::GetLensFilePath(path, CTlLensInformation::kSupportedLensCode));
    const std::string bytes = TempFolder::Read(path);

    CTlLensInformation lens;
    EXPECT_EQ(131095, lens.Load(reinterpret_cast<const unsigned char*>(bytes.data()), int(bytes.size())));
    EXPECT_TRUE(lens.HasTables());
    EXPECT_EQ(128, lens.GetLensCode());
}

TEST(LensFileMakerTest, MissingFolderIsReported)
{
    std::string failure;
    EXPECT_FALSE(TlWriteLensFile("", &failure));
    EXPECT_FALSE(failure.empty());

    TempFolder temp;
    EXPECT_FALSE(TlWriteLensFile((temp.Path() + "no\\such\\parent").c_str(), &failure));
    EXPECT_NE(std::string::npos, failure.find("folder not created"));
}

} // namespace
