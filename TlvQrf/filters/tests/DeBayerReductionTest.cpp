// The reduced output of the demosaicing filters: each pixel is the mean of
// the colours of its block of the mosaic, the output is that many times
// smaller, tiles do not change it, coordinates map through the factor, and
// a factor the output size does not allow is not taken.
#include "DeBayerTestSupport.h"

#include "filters/debayer/TlToneTables.h"

#include <memory>

using namespace debayer_test;

namespace {

// A mosaic with structure at every scale.
std::uint16_t Busy(long x, long y)
{
    const unsigned hash = unsigned(x * 73856093L ^ y * 19349663L) % 997;
    return std::uint16_t(((x + 2 * y) % 37 < 18 ? 3000 : 600) + hash);
}

// The reduced pixel worked out from the mosaic: per colour, the mean of the
// companded samples of the block, rounded, narrowed to 16 bits.
std::uint16_t ExpectedMean(const TlBayerPhases& phases, long left, long top, long factor, int colour)
{
    const std::int32_t* table = GetSqrtTable();
    long long sum = 0, count = 0;
    for (long y = top; y < top + factor; ++y)
        for (long x = left; x < left + factor; ++x)
            if (TlBayerColourAt(phases, x, y) == colour) {
                sum += table[Busy(x, y) > 4095 ? 4095 : Busy(x, y)];
                ++count;
            }
    return std::uint16_t(((sum + count / 2) / count) >> 2);
}

class DeBayerReductionTest : public ::testing::Test {
protected:
    // A 112 x 92 mosaic: a demosaiced area of 100 x 80.
    void SetUp() override { image = MakeMosaic(holder.manager, 112, 92, Busy); }
    void TearDown() override { image->Release(); }
    std::unique_ptr<CDeBayerStdFilter> Connected(const Layout& layout)
    {
        auto filter = std::make_unique<CDeBayerStdFilter>(holder.manager);
        ExpectOk(KelvraDataConnect(image, filter.get()));
        ExpectOk(filter->SetPixelMap(layout.bytes.data(), layout.bytes.size(), false));
        return filter;
    }

    ManagerHolder holder;
    IKelvraImage* image = nullptr;
};

TEST_F(DeBayerReductionTest, EachPixelIsTheMeanOfItsBlockInEveryLayout)
{
    for (long factor : {2L, 4L}) {
        for (const Layout& layout : BayerLayouts()) {
            SCOPED_TRACE(testing::Message() << layout.name << " by " << factor);
            const TlBayerPhases phases{layout.greenPhase, layout.redRowPhase};
            auto filter = Connected(layout);
            ExpectOk(filter->SetReduction(factor, false));
            EXPECT_EQ(factor, filter->GetReduction());
            const SampleGrid out = ReadSampleGrid(filter.get());
            ASSERT_EQ(100 / factor, out.width);
            ASSERT_EQ(80 / factor, out.height);
            long wrong = 0;
            for (long y = 0; y < out.height; ++y)
                for (long x = 0; x < out.width; ++x)
                    for (int c = 0; c < 3; ++c)
                        wrong += out.At(x, y, c) != ExpectedMean(phases, 6 + x * factor, 6 + y * factor, factor, c);
            EXPECT_EQ(0, wrong);
        }
    }
}

TEST_F(DeBayerReductionTest, OneTileEqualsManyTilesInAMovedOutputRectangle)
{
    auto filter = Connected(BayerLayouts()[2]);
    ExpectOk(filter->SetSourceRect(KelvraRect(4, 2, 96, 78), nullptr, false));
    ExpectOk(filter->SetReduction(2, false));
    const SampleGrid tiled = ReadSampleGrid(filter.get());
    const SampleGrid whole = GenerateAsOneTile(*filter);
    ASSERT_EQ(46, whole.width);
    ASSERT_EQ(38, whole.height);
    EXPECT_TRUE(whole.samples == tiled.samples);
}

// Only a factor that divides the output, outside the pixel-aspect mode.
TEST_F(DeBayerReductionTest, FactorsTheOutputDoesNotAllowAreNotTaken)
{
    const struct {
        const char* name;
        long factor;
        bool aspect;
        long reduction, width, height;
    } cases[] = {
        {"halved", 2, false, 2, 50, 40},
        {"eighth: 100 does not divide", 8, false, 1, 100, 80},
        {"pixel aspect", 2, true, 1, 75, 120},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto filter = Connected(BayerLayouts()[0]);
        ExpectOk(filter->SetPixelAspectMode(c.aspect, nullptr, false));
        ExpectOk(filter->SetReduction(c.factor, false));
        EXPECT_EQ(c.reduction, filter->GetReduction());
        long width = 0, height = 0;
        ExpectOk(filter->GetSize(&width, &height));
        EXPECT_EQ(c.width, width);
        EXPECT_EQ(c.height, height);
    }
    auto filter = Connected(BayerLayouts()[0]);
    IKelvraError* refused = filter->SetReduction(0, false);
    ASSERT_NE(nullptr, refused);
    EXPECT_TRUE(refused->HasCode(kKelvraBadArgument));
    IKelvraError::Release(refused);
}

TEST_F(DeBayerReductionTest, PointsMapThroughTheFactor)
{
    auto filter = Connected(BayerLayouts()[0]);
    ExpectOk(filter->SetSourceRect(KelvraRect(10, 4, 90, 76), nullptr, false));
    ExpectOk(filter->SetReduction(2, false));
    double x = 36, y = 20;
    ExpectOk(filter->FilterPoint(&x, &y));
    EXPECT_EQ(10.0, x);
    EXPECT_EQ(5.0, y);
    ExpectOk(filter->DefilterPoint(&x, &y));
    EXPECT_EQ(36.0, x);
    EXPECT_EQ(20.0, y);
}

} // namespace
