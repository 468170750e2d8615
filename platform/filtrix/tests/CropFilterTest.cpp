#include "FilterTestSupport.h"
#include "ProcessRunCheck.h"

#include "filtrix/CropFilter.h"

#include <vector>

namespace {

// Records the size changes besides the other notices.
class SizeRecorder : public RecordingDestination {
public:
    IKelvraError* KelvraNotify(IKelvraDataSource* source, long code, void* data) override
    {
        if (code == kKelvraNotifySize && data)
            sizes.push_back(*static_cast<KelvraSizeChange*>(data));
        return RecordingDestination::KelvraNotify(source, code, data);
    }
    std::vector<KelvraSizeChange> sizes;
};

class CropFilterTest : public ::testing::Test {
protected:
    CropFilterTest() : m_image(MakePatternImage(m_holder.manager, 150, 90, kKelvraRGB8))
    {
        ExpectOk(KelvraDataConnect(m_image, &m_crop));
        ExpectOk(KelvraDataConnect(&m_crop, &m_sink));
    }
    ~CropFilterTest() override
    {
        IKelvraError::Release(KelvraDataDisconnect(&m_crop, &m_sink));
        m_image->Release();
    }

    ManagerHolder m_holder;
    IKelvraImage* m_image;
    CCropFilter m_crop{m_holder.manager};
    SizeRecorder m_sink;
};

TEST_F(CropFilterTest, OutputIsTheRectangleWithZerosOutsideTheSource)
{
    const SampleGrid source = ReadSampleGrid(m_image);
    const KelvraRect rects[] = {
        KelvraRect(10, 5, 74, 69),     // inside, across tiles
        KelvraRect(64, 64, 128, 90),   // on the tile grid
        KelvraRect(100, 60, 200, 120), // past the right and bottom edges
        KelvraRect(-20, -10, 30, 20),  // before the left and top edges
        KelvraRect(0, 0, 150, 90),     // everything
    };
    for (const KelvraRect& rect : rects) {
        SCOPED_TRACE(testing::Message() << rect.left << "," << rect.top << "," << rect.right << "," << rect.bottom);
        ExpectOk(m_crop.SetCrop(rect, true));
        const SampleGrid output = ReadSampleGrid(&m_crop);
        ASSERT_EQ(rect.Width(), output.width);
        ASSERT_EQ(rect.Height(), output.height);
        for (long y = 0; y < output.height; ++y) {
            for (long x = 0; x < output.width; ++x) {
                const long sx = x + rect.left, sy = y + rect.top;
                const bool inside = sx >= 0 && sy >= 0 && sx < source.width && sy < source.height;
                for (long p = 0; p < 3; ++p)
                    ASSERT_EQ(inside ? source.At(sx, sy, p) : 0u, output.At(x, y, p)) << x << "," << y;
            }
        }
    }
}

TEST_F(CropFilterTest, NewSizeIsCodeOneNewPlaceCodeZeroSameRectangleNothing)
{
    struct Step {
        KelvraRect rect;
        bool notify;
        long code; // -1: nothing
        KelvraSizeChange size;
    };
    const Step steps[] = {
        {KelvraRect(10, 10, 60, 40), true, kKelvraNotifySize, {150, 90, 50, 30}},
        {KelvraRect(20, 30, 70, 60), true, kKelvraNotifyData, {}},
        {KelvraRect(20, 30, 70, 60), true, -1, {}},
        {KelvraRect(0, 0, 10, 10), false, -1, {}},
        {KelvraRect(), true, kKelvraNotifySize, {10, 10, 150, 90}},
    };
    for (const Step& step : steps) {
        m_sink.notices.clear();
        m_sink.sizes.clear();
        ExpectOk(m_crop.SetCrop(step.rect, step.notify));
        EXPECT_EQ(step.rect, m_crop.GetCrop());
        if (step.code < 0) {
            EXPECT_TRUE(m_sink.notices.empty());
            continue;
        }
        ASSERT_EQ(1u, m_sink.notices.size());
        EXPECT_EQ(step.code, m_sink.notices[0].code);
        if (step.code == kKelvraNotifySize) {
            ASSERT_EQ(1u, m_sink.sizes.size());
            EXPECT_EQ(step.size.oldWidth, m_sink.sizes[0].oldWidth);
            EXPECT_EQ(step.size.oldHeight, m_sink.sizes[0].oldHeight);
            EXPECT_EQ(step.size.newWidth, m_sink.sizes[0].newWidth);
            EXPECT_EQ(step.size.newHeight, m_sink.sizes[0].newHeight);
        } else {
            EXPECT_EQ(KelvraRect(0, 0, 50, 30), m_sink.notices[0].rect);
        }
    }
}

TEST_F(CropFilterTest, DisabledFilterTellsNothingAndPassesTheSource)
{
    ExpectOk(m_crop.Enable(false, false));
    ExpectOk(m_crop.SetCrop(KelvraRect(5, 5, 25, 25), true));
    EXPECT_TRUE(m_sink.notices.empty());
    EXPECT_EQ(ReadAllSamples(m_image), ReadAllSamples(&m_crop));
    long x = 7, y = 9;
    ExpectOk(m_crop.FilterPoint(&x, &y));
    EXPECT_EQ(7, x);
    EXPECT_EQ(9, y);
}

TEST_F(CropFilterTest, RefusesAnEmptyRectangleAndKeepsTheOld)
{
    ExpectOk(m_crop.SetCrop(KelvraRect(1, 2, 3, 4), false));
    ExpectError(m_crop.SetCrop(KelvraRect(10, 10, 10, 20), true), kKelvraBadArgument, CCropFilter::kTag);
    ExpectError(m_crop.SetCrop(KelvraRect(10, 10, 5, 20), true), kKelvraBadArgument, CCropFilter::kTag);
    EXPECT_EQ(KelvraRect(1, 2, 3, 4), m_crop.GetCrop());
}

TEST_F(CropFilterTest, MapsPointsAndRectanglesBothWays)
{
    ExpectOk(m_crop.SetCrop(KelvraRect(30, 20, 100, 80), false));
    double x = 40.5, y = 25.25;
    ExpectOk(m_crop.FilterPoint(&x, &y));
    EXPECT_DOUBLE_EQ(10.5, x);
    EXPECT_DOUBLE_EQ(5.25, y);
    ExpectOk(m_crop.DefilterPoint(&x, &y));
    EXPECT_DOUBLE_EQ(40.5, x);
    KelvraRect rect(30, 20, 40, 30);
    ExpectOk(m_crop.FilterRect(&rect));
    EXPECT_EQ(KelvraRect(0, 0, 10, 10), rect);
    KelvraDblRect back(0, 0, 10, 10);
    ExpectOk(m_crop.DefilterRect(&back));
    EXPECT_DOUBLE_EQ(30.0, back.left);
    EXPECT_DOUBLE_EQ(30.0, back.bottom);
}

TEST_F(CropFilterTest, SourceChangesArriveMovedAndCutToTheRectangle)
{
    ExpectOk(m_crop.SetCrop(KelvraRect(30, 20, 100, 80), false));
    KelvraRect inside(25, 15, 40, 30);
    ExpectOk(KelvraSendDataNotification(m_image, kKelvraNotifyData, &inside));
    ASSERT_EQ(1u, m_sink.notices.size());
    EXPECT_EQ(KelvraRect(0, 0, 10, 10), m_sink.notices[0].rect);
    EXPECT_EQ(static_cast<IKelvraDataSource*>(m_image), m_sink.notices[0].sender);
    KelvraRect outside(110, 0, 150, 90);
    ExpectOk(KelvraSendDataNotification(m_image, kKelvraNotifyData, &outside));
    EXPECT_EQ(1u, m_sink.notices.size());
}

TEST_F(CropFilterTest, ANewSourceSizeKeepsTheOutputSize)
{
    ExpectOk(m_crop.SetCrop(KelvraRect(30, 20, 100, 80), false));
    ReadAllSamples(&m_crop);
    ExpectOk(m_image->SetSize(120, 70));
    ASSERT_FALSE(m_sink.notices.empty());
    EXPECT_EQ(kKelvraNotifyData, m_sink.notices.back().code);
    EXPECT_EQ(KelvraRect(0, 0, 70, 60), m_sink.notices.back().rect);
    EXPECT_TRUE(m_sink.sizes.empty());
    long width = 0, height = 0;
    ExpectOk(m_crop.GetSize(&width, &height));
    EXPECT_EQ(70, width);
    EXPECT_EQ(60, height);
}

TEST_F(CropFilterTest, ProcessRunWritesTheRectangle)
{
    ExpectOk(m_crop.SetCrop(KelvraRect(70, 10, 150, 90), false));
    ExpectRunMatchesPull(m_holder.manager, m_crop, m_image);
}

} // namespace
