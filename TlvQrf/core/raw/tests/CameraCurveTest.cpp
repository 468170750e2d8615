#include "raw/TlCameraCurve.h"

#include "settings/curves/TlLut.h"
#include "settings/curves/TlLutGroup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

using Block = std::vector<unsigned char>;

// Header: mark, variant, input black/white, output black/white, gamma whole
// and hundredths, point count; then the points as (x, y) byte pairs.
Block CurveBlock(unsigned char variant, int points, unsigned char gammaWhole = 1, unsigned char gammaHundredths = 0)
{
    Block block = {'I', variant, 10, 240, 5, 250, gammaWhole, gammaHundredths, static_cast<unsigned char>(points)};
    for (int i = 0; i < points; ++i) {
        block.push_back(static_cast<unsigned char>(i * 255 / (points > 1 ? points - 1 : 1)));
        block.push_back(static_cast<unsigned char>(255 - i * 10));
    }
    block.resize(kTlCameraCurveBlockSize);
    return block;
}

CTlLut& Master(const CTlLutGroup& group)
{
    auto* master = dynamic_cast<CTlLut*>(group.Find(0));
    EXPECT_NE(master, nullptr);
    return *master;
}

struct ValidCase {
    unsigned char variant;
    int points;
};

class ValidCameraCurve : public testing::TestWithParam<ValidCase> {};

TEST_P(ValidCameraCurve, IsTakenIntoTheMaster)
{
    const ValidCase& c = GetParam();
    CTlLutGroup group;
    const Block block = CurveBlock(c.variant, c.points, 2, 25);
    ASSERT_TRUE(ParseCameraCurve(group, block.data(), block.size()));
    const TlLutParams& params = Master(group).GetParams();
    ASSERT_EQ(params.points.size(), static_cast<std::size_t>(c.points));
    for (int i = 0; i < c.points; ++i) {
        EXPECT_DOUBLE_EQ(params.points[i].x, block[9 + 2 * i] / 255.0);
        EXPECT_DOUBLE_EQ(params.points[i].y, block[10 + 2 * i] / 255.0);
    }
    EXPECT_DOUBLE_EQ(params.black, 10 / 255.0);
    EXPECT_DOUBLE_EQ(params.white, 240 / 255.0);
    EXPECT_DOUBLE_EQ(params.outputLow, 5 / 255.0);
    EXPECT_DOUBLE_EQ(params.outputHigh, 250 / 255.0);
    EXPECT_DOUBLE_EQ(params.gamma, 2.25);
    EXPECT_TRUE(Master(group).IsChanged());
}

INSTANTIATE_TEST_SUITE_P(Cases, ValidCameraCurve,
                         testing::Values(ValidCase{0x5F, 2}, ValidCase{0x10, 2}, ValidCase{0x5F, 7},
                                         ValidCase{0x10, 13}, ValidCase{0x5F, 20}, ValidCase{0x10, 20}));

TEST(CameraCurveLevels, CrossedLevelsAreKeptApart)
{
    Block block = CurveBlock(0x5F, 2);
    block[2] = 255; // input black at the top
    block[3] = 0;
    block[4] = 255;
    block[5] = 0;
    CTlLutGroup group;
    ASSERT_TRUE(ParseCameraCurve(group, block.data(), block.size()));
    const TlLutParams& params = Master(group).GetParams();
    EXPECT_DOUBLE_EQ(params.black, 0.99);
    EXPECT_DOUBLE_EQ(params.white, 1.0);
    EXPECT_DOUBLE_EQ(params.outputLow, 0.99);
    EXPECT_DOUBLE_EQ(params.outputHigh, 1.0);
}

struct CorruptCase {
    const char* name;
    Block block;
};

Block With(Block block, std::size_t at, unsigned char value)
{
    block[at] = value;
    return block;
}

Block Truncated(const Block& block, std::size_t size) { return Block(block.begin(), block.begin() + size); }

class CorruptCameraCurve : public testing::TestWithParam<CorruptCase> {};

TEST_P(CorruptCameraCurve, FailsAndLeavesTheGroupReset)
{
    const Block& block = GetParam().block;
    CTlLutGroup group;
    // Something in the group that a failed parse must not leave behind.
    Master(group).AddPoint(0.5, 0.9);
    Master(group).SetClampedParam(3.0);
    // A copy of exactly the given length, so an over-read would leave it.
    const std::unique_ptr<unsigned char[]> exact(new unsigned char[block.size() + 1]);
    std::copy(block.begin(), block.end(), exact.get());
    EXPECT_FALSE(ParseCameraCurve(group, block.empty() ? nullptr : exact.get(), block.size()));
    EXPECT_TRUE(group.IsDefault());
}

const Block kGood = CurveBlock(0x5F, 20);

INSTANTIATE_TEST_SUITE_P(
    Cases, CorruptCameraCurve,
    testing::Values(CorruptCase{"WrongMark", With(kGood, 0, 'M')}, CorruptCase{"WrongVariant", With(kGood, 1, 0x11)},
                    CorruptCase{"NoPoints", With(kGood, 8, 0)}, CorruptCase{"OnePoint", With(kGood, 8, 1)},
                    CorruptCase{"TwentyOnePoints", With(kGood, 8, 21)},
                    CorruptCase{"ManyPoints", With(kGood, 8, 255)},
                    CorruptCase{"GammaTooLarge", With(kGood, 6, 21)},
                    CorruptCase{"GammaZero", With(With(kGood, 6, 0), 7, 0)},
                    CorruptCase{"TruncatedInPoints", Truncated(kGood, 9 + 2 * 20 - 1)},
                    CorruptCase{"TruncatedHeader", Truncated(kGood, 8)}, CorruptCase{"Empty", Block{}}),
    [](const testing::TestParamInfo<CorruptCase>& info) { return std::string(info.param.name); });

TEST(CameraCurveBounds, ExactlyThePointsPresentIsEnough)
{
    CTlLutGroup group;
    const Block block = Truncated(CurveBlock(0x10, 4), 9 + 2 * 4);
    EXPECT_TRUE(ParseCameraCurve(group, block.data(), block.size()));
    EXPECT_EQ(Master(group).GetParams().points.size(), 4u);
}

} // namespace
