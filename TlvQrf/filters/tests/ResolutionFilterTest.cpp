// The resolution filter: which resolution it reports, what it announces
// when switched or set, and which upstream changes it keeps to itself.
#include "PixelFilterTestSupport.h"

#include "filters/resolution/TlResolutionFilter.h"

using namespace pixel_test;

namespace {

using ResolutionRig = FilterRig<CResolutionFilter>;

class ResolutionFilterTest : public ::testing::Test {
protected:
    ResolutionFilterTest()
    {
        ExpectOk(rig.image->SetResolution(72.0));
        ExpectOk(rig.filter.SetResolution(300.0, false));
    }
    double Reported()
    {
        double dpi = -1.0;
        ExpectOk(rig.filter.GetResolution(&dpi));
        return dpi;
    }
    double Filtered()
    {
        double dpi = -1.0;
        IKelvraDataSource* sources[] = {rig.image};
        ExpectOk(rig.filter.GetFilteredResolution(sources, 1, &dpi));
        return dpi;
    }

    ManagerHolder holder;
    ResolutionRig rig{MakePatternImage(holder.manager, 100, 70, kKelvraRGB8), holder};
};

TEST_F(ResolutionFilterTest, NamesItselfInAChain)
{
    EXPECT_EQ(TlFilterId("reso"), rig.filter.GetFilterTag());
    EXPECT_STREQ("Resolution Filter", rig.filter.GetFilterName());
}

TEST_F(ResolutionFilterTest, EnabledReportsTheStoredResolutionDisabledTheSource)
{
    EXPECT_EQ(300.0, Reported());
    EXPECT_EQ(300.0, Filtered());
    ExpectOk(rig.filter.Enable(false, false));
    EXPECT_EQ(72.0, Reported());
    EXPECT_EQ(72.0, Filtered());
}

TEST_F(ResolutionFilterTest, WithoutSourceTheStoredResolutionIsReported)
{
    CResolutionFilter alone(holder.manager);
    ExpectOk(alone.SetResolution(240.0, true));
    ExpectOk(alone.Enable(false, true));
    double dpi = 0.0;
    ExpectOk(alone.GetResolution(&dpi));
    EXPECT_EQ(240.0, dpi);
    ExpectOk(alone.GetFilteredResolution(nullptr, 0, &dpi));
    EXPECT_EQ(240.0, dpi);
}

TEST_F(ResolutionFilterTest, PixelsPassUnchanged)
{
    EXPECT_EQ(ReadAllSamples(rig.image), rig.Output());
}

TEST_F(ResolutionFilterTest, NewResolutionIsAnnouncedAsOldAndNew)
{
    ExpectOk(rig.filter.SetResolution(600.0, true));
    ExpectOk(rig.filter.SetResolution(600.0, true));
    ASSERT_EQ(1u, rig.sink.notices.size());
    EXPECT_EQ(kKelvraNotifyResolution, rig.sink.notices[0].code);
    EXPECT_EQ(300.0, rig.sink.notices[0].resolution.oldResolution);
    EXPECT_EQ(600.0, rig.sink.notices[0].resolution.newResolution);
    EXPECT_EQ(600.0, Reported());
}

TEST_F(ResolutionFilterTest, SwitchingAnnouncesTheResolutionThatTakesOver)
{
    const struct {
        bool enable;
        bool notify;
        bool announced;
        double oldDpi;
        double newDpi;
    } steps[] = {
        {true, true, false, 0, 0},      // unchanged: nothing
        {false, true, true, 300, 72},   // the source's takes over
        {true, true, true, 72, 300},    // the stored one takes over
        {false, false, false, 0, 0},    // not asked to tell
        {true, false, false, 0, 0},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(::testing::Message() << step.enable << step.notify);
        rig.sink.notices.clear();
        ExpectOk(rig.filter.Enable(step.enable, step.notify));
        EXPECT_EQ(step.enable, rig.filter.IsEnabled());
        ASSERT_EQ(step.announced ? 1u : 0u, rig.sink.notices.size());
        if (step.announced) {
            EXPECT_EQ(kKelvraNotifyResolution, rig.sink.notices[0].code);
            EXPECT_EQ(step.oldDpi, rig.sink.notices[0].resolution.oldResolution);
            EXPECT_EQ(step.newDpi, rig.sink.notices[0].resolution.newResolution);
        }
    }
}

TEST_F(ResolutionFilterTest, UpstreamResolutionChangeReachesDownstreamOnlyWhileDisabled)
{
    ExpectOk(rig.image->SetResolution(96.0));
    EXPECT_TRUE(rig.sink.notices.empty());
    ExpectOk(rig.filter.Enable(false, false));
    ExpectOk(rig.image->SetResolution(150.0));
    ASSERT_EQ(1u, rig.sink.notices.size());
    EXPECT_EQ(kKelvraNotifyResolution, rig.sink.notices[0].code);
    EXPECT_EQ(96.0, rig.sink.notices[0].resolution.oldResolution);
    EXPECT_EQ(150.0, rig.sink.notices[0].resolution.newResolution);
    EXPECT_EQ(150.0, Reported());
}

TEST_F(ResolutionFilterTest, OtherUpstreamChangesPassWhileEnabled)
{
    const KelvraRect changed(1, 2, 3, 4);
    ExpectOk(KelvraSendDataNotification(rig.image, kKelvraNotifyData, const_cast<KelvraRect*>(&changed)));
    ASSERT_EQ(1u, rig.sink.notices.size());
    EXPECT_EQ(kKelvraNotifyData, rig.sink.notices[0].code);
    EXPECT_EQ(changed, rig.sink.notices[0].rect);
}

TEST(ResolutionFilterSourceTest, UnreadableSourceResolutionComesBackTagged)
{
    ManagerHolder holder;
    IKelvraImage* image = MakePatternImage(holder.manager, 10, 10, kKelvraRGB8);
    UnreadableSource source(image);
    CResolutionFilter filter(holder.manager);
    ExpectOk(KelvraDataConnect(&source, &filter));
    source.failResolution = true;
    double dpi = 0.0;
    ExpectOk(filter.GetResolution(&dpi)); // enabled: the source is not asked
    ExpectError(filter.Enable(false, true), kKelvraNotReady, TlFilterId("reso"));
    EXPECT_FALSE(filter.IsEnabled());
    ExpectError(filter.GetResolution(&dpi), kKelvraNotReady, TlFilterId("reso"));
    IKelvraError::Release(KelvraDataDisconnect(&source, &filter));
    image->Release();
}

} // namespace
