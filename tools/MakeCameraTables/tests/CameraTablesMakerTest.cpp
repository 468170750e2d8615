// The synthetic camera tables: deterministic, of the fixed shape, with
// monotone tone data, colour matrices that agree with the generator's fixed
// inverse, and a file that reads back and refuses damage.
#include "MakeCameraTables/TlCameraTablesMaker.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

double Tone(const double* k, double x)
{
    if (x < k[0])
        return k[2] + x * (k[3] + x * (k[4] + x * k[5]));
    if (x < k[1])
        return k[6] + k[7] * std::pow(x, k[8]);
    return k[9] + k[10] * std::pow(std::max(x - k[11], 0.0), k[12]);
}

void ExpectMonotoneTone(const double* k)
{
    double previous = -1e9;
    for (int i = 0; i < 4096; ++i) {
        const double value = Tone(k, i / 1800.0);
        ASSERT_GE(value, previous - 1e-12) << "entry " << i;
        previous = value;
    }
    EXPECT_NEAR(Tone(k, 4095 / 1800.0) * 3520, 4095, 0.5) << "full scale reaches 4095";
}

} // namespace

TEST(CameraTablesMaker, AreTheSameEveryTime)
{
    auto first = TlBuildCameraTables();
    auto second = TlBuildCameraTables();
    ASSERT_TRUE(first && second);
    EXPECT_EQ(std::memcmp(first.get(), second.get(), sizeof(TlCameraTables)), 0);
}

TEST(CameraTablesMaker, ToneDataIsMonotone)
{
    auto t = TlBuildCameraTables();
    for (int tone = 0; tone < kTlToneCount; ++tone) {
        ExpectMonotoneTone(t->toneFirst[tone]);
        for (int style = 0; style < kTlToneStyles; ++style)
            ExpectMonotoneTone(t->toneSecond[style][tone]);
    }
    EXPECT_EQ(t->linearisation[0], 0);
    EXPECT_EQ(t->linearisation[4095], 4095);
    for (int i = 1; i < kTlLinearEntries; ++i)
        ASSERT_GE(t->linearisation[i], t->linearisation[i - 1]) << i;
}

TEST(CameraTablesMaker, ColourMatricesInvertTheFixedStep)
{
    auto t = TlBuildCameraTables();
    const double fixed[9] = {1, 0, 1.4021, 1, -0.3455, -0.7146, 1, 1.7712, 0};
    for (const TlMatrixRow* row : {&t->setA[0], &t->setB[90], &t->setC[0][155], &t->setC[1][7]})
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) {
                double sum = 0;
                for (int k = 0; k < 3; ++k)
                    sum += fixed[3 * r + k] * row->colour[3 * k + c];
                EXPECT_NEAR(sum, r == c ? 1.0 : 0.0, 1e-12);
            }
}

// The generator's input is balanced already, whatever light a row stands
// for: no row may balance it again (3300 K, 7000 K, lamps and flash too).
TEST(CameraTablesMaker, EveryRowKeepsNeutralsNeutral)
{
    auto t = TlBuildCameraTables();
    std::vector<const TlMatrixRow*> rows;
    for (int r = 0; r < kTlSetRows; ++r) {
        rows.push_back(&t->setA[r]);
        rows.push_back(&t->setB[r]);
    }
    for (int half = 0; half < 2; ++half)
        for (int r = 0; r < kTlSetCRows; ++r)
            rows.push_back(&t->setC[half][r]);
    for (const TlMatrixRow* row : rows)
        for (int r = 0; r < 3; ++r)
            ASSERT_NEAR(row->camera[3 * r] + row->camera[3 * r + 1] + row->camera[3 * r + 2], 1.0, 1e-12);
}

TEST(CameraTablesMaker, IndexBytesNameRowsOfTheirSets)
{
    auto t = TlBuildCameraTables();
    for (int g = 0; g < kTlIndexGroups; ++g)
        for (int c = 0; c < kTlIndexColumns; ++c)
            for (int tone = 0; tone < kTlToneCount; ++tone) {
                EXPECT_LT(t->indexA[g][c][tone], kTlSetRows);
                EXPECT_LT(t->indexB[g][c][tone], kTlSetRows);
                EXPECT_LT(t->indexC[g][c][tone], g == 2 ? kTlSetCRows : 98);
            }
    for (int i = 0; i < kTlToneIndexEntries; ++i)
        EXPECT_LT(t->toneIndex[i], kTlSetCRows);
    for (int i = 1; i < kTlBrightnessThresholds; ++i)
        EXPECT_GT(t->brightness[i], t->brightness[i - 1]);
    for (int s = 0; s < kTlClampSubModes; ++s)
        for (int i = 0; i <= kTlBrightnessThresholds; ++i)
            EXPECT_LE(t->lowerBound[s][i], t->upperBound[s][i]);
}

TEST(CameraTablesMaker, FileReadsBackAndRefusesDamage)
{
    TempFolder folder;
    std::string failure;
    ASSERT_TRUE(TlWriteCameraTables(folder.Path().c_str(), &failure)) << failure;
    const std::string path = folder.File(kTlCameraTablesFile);
    auto expected = TlBuildCameraTables();
    auto read = std::make_unique<TlCameraTables>();
    ASSERT_TRUE(TlReadCameraTables(path.c_str(), read.get()));
    EXPECT_EQ(std::memcmp(read.get(), expected.get(), sizeof(TlCameraTables)), 0);

    std::string bytes = TempFolder::Read(path);
    bytes[1000] ^= 1;
    TempFolder::Overwrite(path, bytes);
    EXPECT_FALSE(TlReadCameraTables(path.c_str(), read.get())) << "checksum";
    TempFolder::Overwrite(path, bytes.substr(0, bytes.size() - 1));
    EXPECT_FALSE(TlReadCameraTables(path.c_str(), read.get())) << "short";
    EXPECT_FALSE(TlReadCameraTables(folder.File("none.dat").c_str(), read.get()));
}
