#include "FilterTestSupport.h"

#include "filtrix/BGRizeFilter.h"

namespace {

class BGRizeFilterTest : public ::testing::Test {
protected:
    ManagerHolder m_holder;
};

TEST_F(BGRizeFilterTest, SwapsRedAndBlueOfRgbOnlyWhileEnabled)
{
    struct Case {
        KelvraPixelFormat format;
        bool swaps;
    };
    for (const Case c : {Case{kKelvraRGB8, true}, Case{kKelvraRGB16, true}, Case{kKelvraGrey8, false},
                         Case{kKelvraLCh16, false}, Case{kKelvraCMYK8, false}}) {
        SCOPED_TRACE(c.format);
        IKelvraImage* image = MakePatternImage(m_holder.manager, 100, 70, c.format);
        CBGRizeFilter bgr(m_holder.manager);
        ExpectOk(KelvraDataConnect(image, &bgr));
        const SampleGrid input = ReadSampleGrid(image);
        const SampleGrid output = ReadSampleGrid(&bgr);
        ASSERT_EQ(input.samples.size(), output.samples.size());
        for (long y = 0; y < input.height; ++y) {
            for (long x = 0; x < input.width; ++x) {
                for (long p = 0; p < input.planes; ++p) {
                    const long from = c.swaps && p != 1 ? 2 - p : p;
                    ASSERT_EQ(input.At(x, y, from), output.At(x, y, p)) << x << "," << y << "," << p;
                }
            }
        }
        ExpectOk(bgr.Enable(false, true));
        EXPECT_EQ(input.samples, ReadAllSamples(&bgr));
        image->Release();
    }
}

TEST_F(BGRizeFilterTest, SwitchingTellsTheDestinations)
{
    IKelvraImage* image = MakePatternImage(m_holder.manager, 64, 32, kKelvraRGB8);
    CBGRizeFilter bgr(m_holder.manager);
    RecordingDestination sink;
    ExpectOk(KelvraDataConnect(image, &bgr));
    ExpectOk(KelvraDataConnect(&bgr, &sink));
    ExpectOk(bgr.Enable(true, true)); // already on: nothing
    EXPECT_TRUE(sink.notices.empty());
    ExpectOk(bgr.Enable(false, true));
    ASSERT_EQ(1u, sink.notices.size());
    EXPECT_EQ(KelvraRect(0, 0, 64, 32), sink.notices[0].rect);
    ExpectOk(KelvraDataDisconnect(&bgr, &sink));
    image->Release();
}

} // namespace
