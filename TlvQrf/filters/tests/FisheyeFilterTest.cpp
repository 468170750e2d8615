// The fisheye correction filter: its name and defaults, the fill setters,
// and the tiles it refuses while it has no lens data.
#include "FilterRigs.h"

#include "filters/fisheye/TlFisheyeFilter.h"

using namespace filter_test;

namespace {

using FisheyeRig = ChainRig<CFisheyeFilter>;
using FisheyeProbe = Probe<CFisheyeFilter>;

TEST(FisheyeFilterTest, NamesItselfInAChainWithoutLensData)
{
    FisheyeRig rig;
    EXPECT_EQ(TlFilterId("FEye"), rig.filter.GetFilterTag());
    EXPECT_EQ(0x46457965u, rig.filter.GetFilterTag());
    EXPECT_STREQ("Fisheye Test Filter", rig.filter.GetFilterName());
    EXPECT_EQ(0, rig.filter.GetFillMode());
    EXPECT_EQ(3, rig.filter.GetFillColor());
    EXPECT_FALSE(rig.filter.HasLensModel());
    EXPECT_EQ(nullptr, rig.filter.GetLensInformation());
}

const SetterCase<CFisheyeFilter> kFisheyeSetters[] = {
    {"fill mode", [](CFisheyeFilter& f, bool n) { return f.SetFillMode(0, n); },
     [](CFisheyeFilter& f, bool n) { return f.SetFillMode(2, n); },
     [](const CFisheyeFilter& f) { return f.GetFillMode() == 2; }},
    {"fill colour, last", [](CFisheyeFilter& f, bool n) { return f.SetFillColor(3, n); },
     [](CFisheyeFilter& f, bool n) { return f.SetFillColor(9, n); },
     [](const CFisheyeFilter& f) { return f.GetFillColor() == 9; }},
    {"fill colour, first", [](CFisheyeFilter& f, bool n) { return f.SetFillColor(3, n); },
     [](CFisheyeFilter& f, bool n) { return f.SetFillColor(0, n); },
     [](const CFisheyeFilter& f) { return f.GetFillColor() == 0; }},
};

TEST(FisheyeFilterTest, SettersFollowTheSetterPattern)
{
    ExpectSetterPattern(kFisheyeSetters);
}

TEST(FisheyeFilterTest, FillColourOutsideTheTableIsRefusedAndTheOldOneKept)
{
    for (int index : {10, -1, 1000}) {
        SCOPED_TRACE(index);
        FisheyeRig rig;
        ExpectOk(rig.filter.SetFillColor(5, false));
        rig.filter.MarkFresh();
        ExpectError(rig.filter.SetFillColor(index, true), kKelvraMissingObject, TlFilterId("FEye"));
        EXPECT_EQ(5, rig.filter.GetFillColor());
        EXPECT_FALSE(rig.filter.IsStale());
        EXPECT_TRUE(rig.sink.notices.empty());
    }
}

TEST(FisheyeFilterTest, WithoutLensDataTilesAreRefused)
{
    FisheyeRig rig;
    frame_test::FakeTile tile(KelvraRect(0, 0, 64, 64), KelvraRect(0, 0, kRigWidth, kRigHeight), kKelvraRGB8);
    IKelvraDataSource* sources[] = {rig.image};
    IKelvraError* error = rig.filter.GenerateTile(&tile, sources, 1);
    ASSERT_NE(nullptr, error);
    EXPECT_STREQ("Fisheye Filter not initialized", error->GetText());
    EXPECT_EQ(TlFilterId("FEye"), error->GetTag());
    IKelvraError::Release(error);
    EXPECT_FALSE(tile.IsComplete());
    EXPECT_TRUE(tile.IsUntouched());
}

} // namespace
