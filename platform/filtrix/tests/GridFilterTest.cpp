#include "FilterTestSupport.h"

#include "filtrix/KelvraFilterGrid.h"

namespace {

class GridFilterTest : public ::testing::Test {
protected:
    ManagerHolder m_holder;
};

// Whether a position lies on a grid line of `cell` spacing and `thickness`.
bool OnLine(long position, long cell, long thickness)
{
    return position >= cell && position % cell < thickness;
}

TEST_F(GridFilterTest, AssumedSizeFollowsTheSetterPattern)
{
    IKelvraImage* image = MakePatternImage(m_holder.manager, 64, 64, kKelvraRGB8);
    CKelvraFilterGrid grid(m_holder.manager);
    RecordingDestination sink;
    ExpectOk(KelvraDataConnect(image, &grid));
    ExpectOk(KelvraDataConnect(&grid, &sink));
    long width = -1, height = -1;
    double scale = 0;
    ExpectOk(grid.GetAssumedImageSize(&width, &height, &scale));
    EXPECT_EQ(0, width);
    EXPECT_EQ(0, height);
    EXPECT_DOUBLE_EQ(1.0, scale);

    ExpectOk(grid.SetAssumedImageSize(400, 300, 0.5, true));
    ExpectOk(grid.SetAssumedImageSize(400, 300, 0.5, true)); // unchanged: nothing
    ExpectOk(grid.SetAssumedImageSize(400, 300, 0.25, false));
    ASSERT_EQ(1u, sink.notices.size());
    EXPECT_EQ(KelvraRect(0, 0, 64, 64), sink.notices[0].rect);
    ExpectOk(grid.GetAssumedImageSize(&width, &height, &scale));
    EXPECT_EQ(400, width);
    EXPECT_EQ(300, height);
    EXPECT_DOUBLE_EQ(0.25, scale);

    ExpectError(grid.SetAssumedImageSize(-1, 10, 1.0, true), kKelvraBadArgument, CKelvraFilterGrid::kTag);
    ExpectError(grid.SetAssumedImageSize(10, 10, 0.0, true), kKelvraBadArgument, CKelvraFilterGrid::kTag);
    ExpectError(grid.GetAssumedImageSize(nullptr, &height, &scale), kKelvraMissingObject, CKelvraFilterGrid::kTag);
    ExpectOk(KelvraDataDisconnect(&grid, &sink));
    image->Release();
}

TEST_F(GridFilterTest, LinesFlipTheTopBitAndKeepTheirScreenWidth)
{
    struct Case {
        KelvraPixelFormat format;
        long width, height; // assumed; 0: the whole output
        double scale;
        long cell, thickness;
    };
    const Case cases[] = {
        {kKelvraGrey8, 160, 120, 1.0, 20, 1},  // eight cells along the longer side
        {kKelvraRGB16, 160, 120, 0.25, 20, 4}, // four output pixels make one screen pixel
        {kKelvraGrey8, 0, 0, 1.0, 25, 1},      // the whole 200-pixel output
        {kKelvraRGB8, 40, 20, 0.01, 5, 2},     // a line fills half a cell at most
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cell);
        IKelvraImage* image = MakePatternImage(m_holder.manager, 200, 120, c.format);
        CKelvraFilterGrid grid(m_holder.manager);
        ExpectOk(KelvraDataConnect(image, &grid));
        if (c.width)
            ExpectOk(grid.SetAssumedImageSize(c.width, c.height, c.scale, false));
        const SampleGrid input = ReadSampleGrid(image), output = ReadSampleGrid(&grid);
        const unsigned flip = KelvraIs16Bit(c.format) ? 0x8000 : 0x80;
        for (long y = 0; y < input.height; ++y) {
            for (long x = 0; x < input.width; ++x) {
                const bool line = OnLine(x, c.cell, c.thickness) || OnLine(y, c.cell, c.thickness);
                for (long p = 0; p < input.planes; ++p)
                    ASSERT_EQ(input.At(x, y, p) ^ (line ? flip : 0u), output.At(x, y, p)) << x << "," << y;
            }
        }
        image->Release();
    }
}

TEST_F(GridFilterTest, DisabledGridShowsTheSource)
{
    IKelvraImage* image = MakePatternImage(m_holder.manager, 90, 90, kKelvraRGB8);
    CKelvraFilterGrid grid(m_holder.manager);
    ExpectOk(KelvraDataConnect(image, &grid));
    EXPECT_NE(ReadAllSamples(image), ReadAllSamples(&grid));
    ExpectOk(grid.Enable(false, false));
    EXPECT_EQ(ReadAllSamples(image), ReadAllSamples(&grid));
    image->Release();
}

} // namespace
