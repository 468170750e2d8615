// Show lost detail: clipped samples as a black-and-white map, at both levels
// and both sample widths.
#include "PixelFilterTestSupport.h"

#include "filters/lostdetail/TlShowLostDetailFilter.h"

using namespace pixel_test;

namespace {

using LostDetailRig = FilterRig<CShowLostDetailFilter>;

TEST(ShowLostDetailTest, NamesItselfInAChainAndStartsAtHighlights)
{
    ManagerHolder holder;
    LostDetailRig rig(MakePatternImage(holder.manager, 8, 8, kKelvraRGB8), holder);
    EXPECT_EQ(TlFilterId("Thre"), rig.filter.GetFilterTag());
    EXPECT_STREQ("Show Lost Detail", rig.filter.GetFilterName());
    EXPECT_EQ(255, rig.filter.GetLevel());
}

struct ThresholdCase {
    const char* name;
    KelvraPixelFormat format;
    bool shadows;
    std::vector<unsigned> in;
    std::vector<unsigned> out;
};

const ThresholdCase kThresholds[] = {
    {"grey 8 highlights", kKelvraGrey8, false, {254, 255, 0, 128}, {0, 255, 0, 0}},
    {"grey 8 shadows", kKelvraGrey8, true, {0, 1, 255, 128}, {0, 255, 255, 255}},
    {"rgb 8 highlights", kKelvraRGB8, false, {255, 254, 255, 0, 255, 7}, {255, 0, 255, 0, 255, 0}},
    {"rgb 8 shadows", kKelvraRGB8, true, {0, 1, 0, 200, 0, 0}, {0, 255, 0, 255, 0, 0}},
    {"four channels 8 highlights", kKelvraCMYK8, false, {255, 1, 254, 255}, {255, 0, 0, 255}},
    {"four channels 8 shadows", kKelvraCMYK8, true, {0, 1, 254, 0}, {0, 255, 255, 0}},
    // The 16-bit paths mark the same samples at the ends of their scale.
    {"grey 16 highlights", kKelvraGrey16, false, {65535, 65534, 255, 0}, {65535, 0, 0, 0}},
    {"grey 16 shadows", kKelvraGrey16, true, {0, 1, 256, 65535}, {0, 65535, 65535, 65535}},
    {"rgb 16 highlights", kKelvraRGB16, false, {65535, 65280, 1, 65535, 65535, 65535}, {65535, 0, 0, 65535, 65535, 65535}},
    {"rgb 16 shadows", kKelvraRGB16, true, {0, 1, 0, 40000, 0, 0}, {0, 65535, 0, 65535, 0, 0}},
};

TEST(ShowLostDetailTest, SamplesBeyondTheLevelTurnWhiteAndShortOfItBlack)
{
    for (const ThresholdCase& c : kThresholds) {
        SCOPED_TRACE(c.name);
        ManagerHolder holder;
        const long pixels = long(c.in.size()) / long(KelvraPlaneCount(c.format));
        LostDetailRig rig(MakeImageOf(holder.manager, pixels, 1, c.format, c.in), holder);
        if (c.shadows)
            ExpectOk(rig.filter.ShowShadows(true));
        EXPECT_EQ(c.out, rig.Output());
    }
}

TEST(ShowLostDetailTest, OneTileOverManySourceTilesEqualsTheTiledOutput)
{
    for (KelvraPixelFormat format : {kKelvraRGB8, kKelvraRGB16, kKelvraGrey8, kKelvraCMYK8}) {
        SCOPED_TRACE(format);
        for (bool shadows : {false, true}) {
            ManagerHolder holder;
            LostDetailRig rig(MakePatternImage(holder.manager, 150, 90, format), holder);
            CShowLostDetailFilter single(holder.manager);
            if (shadows) {
                ExpectOk(rig.filter.ShowShadows(true));
                ExpectOk(single.ShowShadows(false));
            }
            EXPECT_EQ(rig.Output(), OutputAsOneTile(single, rig.image));
        }
    }
}

TEST(ShowLostDetailTest, OtherFormatsAreRefused)
{
    ManagerHolder holder;
    CShowLostDetailFilter filter(holder.manager);
    for (KelvraPixelFormat format : {KelvraPixelFormat(kKelvraBitmap), KelvraPixelFormat(0x08060203),
                                     KelvraPixelFormat(0x10060203), KelvraPixelFormat(0x10080202)})
        ExpectTileRefused(filter, holder.manager, format, kKelvraUnsupportedFormat);
}

} // namespace
