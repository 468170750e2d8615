// The filter that passes its source through, the placeholder; and the
// Revelation filter's bookkeeping of which engine pass must run again.
#include "PixelFilterTestSupport.h"

#include "filters/placeholder/TlPlaceHolderFilter.h"
#include "filters/revelation/TlRevelationFilter.h"
#include "filters/revelation/TlRevelationNotices.h"

using namespace pixel_test;

namespace {

TEST(PlaceHolderFilterTest, CarriesTheIdItWasGivenAndPassesPixels)
{
    const KelvraTag ids[] = {TlFilterId("PHld"), TlFilterId("Info"), 0x5742};
    for (KelvraTag id : ids) {
        SCOPED_TRACE(id);
        for (KelvraPixelFormat format : {kKelvraRGB8, kKelvraRGB16, kKelvraGrey8}) {
            ManagerHolder holder;
            FilterRig<CPlaceHolderFilter> rig(MakePatternImage(holder.manager, 150, 90, format), holder, id);
            EXPECT_EQ(id, rig.filter.GetFilterTag());
            EXPECT_STREQ("PlaceHolder", rig.filter.GetFilterName());
            EXPECT_EQ(ReadAllSamples(rig.image), rig.Output());
        }
    }
    ManagerHolder holder;
    EXPECT_EQ(TlFilterId("PHld"), CPlaceHolderFilter(holder.manager).GetFilterTag());
}

using RevelationRig = FilterRig<CRevelationFilter>;

TEST(RevelationFilterTest, NamesItselfAndStartsWithEveryPassStale)
{
    ManagerHolder holder;
    RevelationRig rig(MakePatternImage(holder.manager, 8, 8, kKelvraRGB16), holder);
    const CRevelationFilter& f = rig.filter;
    EXPECT_EQ(TlFilterId("rev "), f.GetFilterTag());
    EXPECT_STREQ("Revelation", f.GetFilterName());
    EXPECT_EQ(127, f.GetParam0());
    EXPECT_EQ(190, f.GetParam1());
    EXPECT_EQ(127, f.GetParam2());
    EXPECT_EQ(11, f.GetKind());
    EXPECT_EQ(16, f.GetBitsPerSample());
    EXPECT_FALSE(f.GetEngineOption());
    EXPECT_TRUE(f.IsStatisticsStale());
    EXPECT_TRUE(f.IsRenderStale());
    EXPECT_TRUE(f.IsStale());
}

TEST(RevelationFilterTest, SettersMarkTheirPassesStale)
{
    ManagerHolder holder;
    RevelationRig rig(MakePatternImage(holder.manager, 8, 8, kKelvraRGB16), holder);
    ExpectOk(rig.filter.SetParameters(127, 190, 127, true)); // the stored values
    EXPECT_TRUE(rig.sink.notices.empty());
    ExpectOk(rig.filter.SetParameters(100, 190, 127, false));
    EXPECT_EQ(100, rig.filter.GetParam0());
    ExpectOk(rig.filter.SetDataFormat(11, 8, true, false));
    EXPECT_EQ(8, rig.filter.GetBitsPerSample());
    EXPECT_TRUE(rig.filter.GetEngineOption());
    EXPECT_TRUE(rig.filter.IsStatisticsStale());
    EXPECT_TRUE(rig.filter.IsRenderStale());
}

TEST(RevelationFilterTest, SourceChangesStaleTheirPasses)
{
    const struct {
        long code;
        bool statistics;
        bool render;
    } cases[] = {
        {kKelvraNotifyData, true, true},        {kKelvraNotifySize, false, true},
        {kKelvraNotifyColorSpace, true, true},  {kKelvraNotifyResolution, false, true},
        {kKelvraNotifyTransform, false, false}, {kKelvraNotifyPalette, true, true},
        {kKelvraNotifyDestroyed, true, true},   {kKelvraNotifyUpdateAll, true, true},
        {8, false, false},                      {kKelvraNotifyHistogramDone, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        const TlStalePasses stale = TlPassesStaledBy(c.code);
        EXPECT_EQ(c.statistics, stale.statistics);
        EXPECT_EQ(c.render, stale.render);
    }
}

TEST(RevelationFilterTest, ResolutionChangeReachesDownstreamAsAChangeOfEveryPixel)
{
    ManagerHolder holder;
    RevelationRig rig(MakePatternImage(holder.manager, 100, 70, kKelvraRGB8), holder);
    ExpectOk(rig.image->SetResolution(150.0));
    ASSERT_EQ(1u, rig.sink.notices.size());
    EXPECT_EQ(kKelvraNotifyData, rig.sink.notices[0].code);
    EXPECT_EQ(KelvraRect(0, 0, 100, 70), rig.sink.notices[0].rect);
    const KelvraRect changed(5, 6, 7, 8);
    ExpectOk(KelvraSendDataNotification(rig.image, kKelvraNotifyData, const_cast<KelvraRect*>(&changed)));
    ASSERT_EQ(2u, rig.sink.notices.size());
    EXPECT_EQ(changed, rig.sink.notices[1].rect);
}

} // namespace
