// The red-eye record's region lists as the red-eye filter reads and writes
// them: both lists found on the synthetic face go into the record, through
// its stored form, and back into another filter, which corrects the same
// pixels.
#include "EyemendFace.h"
#include "FilterTestSupport.h"
#include "filters/redeye/TlRedEyeFilter.h"
#include "kelvra/KelvraImage.h"
#include "params/TlRedEyeRegions.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct FaceFilter {
    explicit FaceFilter(const EyemendFace& face) : filter(holder.manager), face(face)
    {
        image = MakeBlankImage(holder.manager, face.width, face.height, kKelvraRGB8);
        ExpectOk(KelvraWriteRect(image, KelvraRect(0, 0, face.width, face.height), face.pixels.data(),
                                 face.RowBytes()));
        ExpectOk(KelvraDataConnect(image, &filter));
    }
    ~FaceFilter()
    {
        KelvraDataDisconnect(image, &filter);
        image->Release();
    }
    std::vector<unsigned char> Output()
    {
        std::vector<unsigned char> bytes(face.pixels.size());
        ExpectOk(KelvraReadRect(&filter, KelvraRect(0, 0, face.width, face.height), bytes.data(), face.RowBytes()));
        return bytes;
    }

    ManagerHolder holder;
    CRedEyeFilter filter;
    const EyemendFace& face;
    IKelvraImage* image = nullptr;
};

void ExpectSameBoxes(const std::vector<ReRegion>& expected, const std::vector<ReRegion>& actual)
{
    ASSERT_EQ(expected.size(), actual.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(expected[i].left, actual[i].left);
        EXPECT_EQ(expected[i].top, actual[i].top);
        EXPECT_EQ(expected[i].right, actual[i].right);
        EXPECT_EQ(expected[i].bottom, actual[i].bottom);
    }
}

TEST(RedEyeRegionsTest, BothListsRoundTripThroughTheStoredRecord)
{
    const EyemendFace face = MakeEyemendFace(400, 300, false);
    FaceFilter first(face);
    // The right pupil clicked and stored, given back, then both detected.
    ASSERT_TRUE(first.filter.ReFindRedPoint(face.pupils[1].x, face.pupils[1].y));
    ExpectOk(first.filter.CorrectAtPoint(false));
    CTlRedEyeState record;
    ASSERT_TRUE(StoreRedEyeRegions(first.filter, true, record.secondRegions));
    ExpectOk(first.filter.ClearManualRegions(false));
    ASSERT_TRUE(LoadRedEyeRegions(first.filter, true, record.secondRegions));
    ExpectOk(first.filter.DetectAuto(nullptr, 4096, false));
    ASSERT_TRUE(StoreRedEyeRegions(first.filter, false, record.firstRegions));
    ASSERT_EQ(2u, record.firstRegions.size());
    ASSERT_EQ(1u, record.secondRegions.size());
    record.value = CRedEyeFilter::kModeManual;
    record.flag = 1;

    std::vector<unsigned char> stored(std::size_t(record.Save(nullptr, 0)));
    ASSERT_EQ(int(stored.size()), record.Save(stored.data(), int(stored.size())));
    CTlRedEyeState reloaded;
    ASSERT_EQ(int(stored.size()), reloaded.Load(stored.data(), int(stored.size())));

    FaceFilter second(face);
    ASSERT_TRUE(LoadRedEyeRegions(second.filter, true, reloaded.secondRegions));
    ASSERT_TRUE(LoadRedEyeRegions(second.filter, false, reloaded.firstRegions));
    ExpectSameBoxes(first.filter.GetRegions(true), second.filter.GetRegions(true));
    ExpectSameBoxes(first.filter.GetRegions(false), second.filter.GetRegions(false));

    // Manual mode keeping the automatic regions: the same pixels as the
    // first filter corrects in automatic mode, where both pupils are found.
    second.filter.SetKeepAutomatic(true);
    ExpectOk(second.filter.SetMode(CRedEyeFilter::kModeManual, false));
    const std::vector<unsigned char> corrected = second.Output();
    EXPECT_NE(face.pixels, corrected);
    EXPECT_EQ(first.Output(), corrected);
}

} // namespace
