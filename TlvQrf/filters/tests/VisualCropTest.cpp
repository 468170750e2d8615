// Visual crop: the veil outside the crop rectangle, the same inside test
// for both sample widths, and when the filter steps aside.
#include "PixelFilterTestSupport.h"

#include "filters/visualcrop/TlVisualCropFilter.h"

using namespace pixel_test;

namespace {

using CropRig = FilterRig<Probed<CVisualCropFilter>>;

const long kWidth = 150;
const long kHeight = 90;

unsigned Veiled(unsigned v, bool wide)
{
    return (wide ? 16384u : 64u) + v / 4u;
}

TEST(VisualCropTest, NamesItselfInAChainAndStartsWithoutCrop)
{
    ManagerHolder holder;
    CropRig rig(MakePatternImage(holder.manager, 8, 8, kKelvraRGB8), holder);
    EXPECT_EQ(TlFilterId("VCrp"), rig.filter.GetFilterTag());
    EXPECT_STREQ("VisualCrop", rig.filter.GetFilterName());
    EXPECT_EQ(KelvraRect(), *rig.filter.GetRect());
}

// Crops that cross source tile borders, touch the image edges or lie
// partly outside it.
const KelvraRect kCrops[] = {
    KelvraRect(10, 5, 100, 70), KelvraRect(0, 0, 64, 64), KelvraRect(63, 63, 65, 65),
    KelvraRect(-20, 30, 200, 31), KelvraRect(140, 80, 400, 400), KelvraRect(50, 50, 40, 60),
};

TEST(VisualCropTest, InsideIsCopiedAndOutsideVeiledAlikeForBothSampleWidths)
{
    for (const KelvraRect& crop : kCrops) {
        SCOPED_TRACE(::testing::Message() << crop.left << "," << crop.top << "," << crop.right << "," << crop.bottom);
        std::vector<bool> insideByWidth[2];
        for (KelvraPixelFormat format : {kKelvraRGB8, kKelvraRGB16}) {
            const bool wide = format == kKelvraRGB16;
            ManagerHolder holder;
            CropRig rig(MakePatternImage(holder.manager, kWidth, kHeight, format), holder);
            ExpectOk(rig.filter.SetRect(&crop, true));
            ASSERT_FALSE(rig.filter.IsBypassed());
            const std::vector<unsigned> in = ReadAllSamples(rig.image);
            const std::vector<unsigned> out = rig.Output();
            ASSERT_EQ(in.size(), out.size());
            for (long y = 0; y < kHeight; ++y) {
                for (long x = 0; x < kWidth; ++x) {
                    const std::size_t at = std::size_t((y * kWidth + x) * 3);
                    const bool copied = out[at] == in[at] && out[at + 1] == in[at + 1] && out[at + 2] == in[at + 2];
                    const bool veiled = out[at] == Veiled(in[at], wide) && out[at + 1] == Veiled(in[at + 1], wide) &&
                                        out[at + 2] == Veiled(in[at + 2], wide);
                    ASSERT_TRUE(copied || veiled) << x << "," << y;
                    ASSERT_EQ(crop.Contains(x, y), copied && !veiled) << x << "," << y;
                    insideByWidth[wide].push_back(copied);
                }
            }
        }
        EXPECT_EQ(insideByWidth[0], insideByWidth[1]);
    }
}

TEST(VisualCropTest, VeilKeepsAQuarterOfTheContrast)
{
    const struct {
        KelvraPixelFormat format;
        std::vector<unsigned> in;
        std::vector<unsigned> out;
    } cases[] = {
        {kKelvraRGB8, {0, 255, 3}, {64, 127, 64}},
        {kKelvraRGB16, {0, 65535, 7}, {16384, 32767, 16385}},
    };
    for (const auto& c : cases) {
        ManagerHolder holder;
        CropRig rig(MakeImageOf(holder.manager, 1, 1, c.format, c.in), holder);
        const KelvraRect elsewhere(5, 5, 6, 6);
        ExpectOk(rig.filter.SetRect(&elsewhere, false));
        EXPECT_EQ(c.out, rig.Output());
    }
}

TEST(VisualCropTest, WholeImageOrNoCropPassesThePixelsThrough)
{
    const struct {
        const char* name;
        KelvraRect crop;
        bool bypassed;
    } cases[] = {
        {"whole image", KelvraRect(0, 0, kWidth, kHeight), true},
        {"four zeros", KelvraRect(), true},
        {"one column less", KelvraRect(0, 0, kWidth - 1, kHeight), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ManagerHolder holder;
        CropRig rig(MakePatternImage(holder.manager, kWidth, kHeight, kKelvraRGB16), holder);
        const KelvraRect start(1, 1, 2, 2);
        ExpectOk(rig.filter.SetRect(&start, false));
        ExpectOk(rig.filter.SetRect(&c.crop, false));
        EXPECT_EQ(c.bypassed, rig.filter.IsBypassed());
        if (c.bypassed) {
            EXPECT_EQ(ReadAllSamples(rig.image), rig.Output());
        }
    }
}

TEST(VisualCropTest, WithoutSourceOnlyFourZerosBypass)
{
    ManagerHolder holder;
    Probed<CVisualCropFilter> filter(holder.manager);
    const KelvraRect crop(0, 0, 10, 10);
    ExpectOk(filter.SetRect(&crop, true));
    EXPECT_FALSE(filter.IsBypassed());
    const KelvraRect none;
    ExpectOk(filter.SetRect(&none, true));
    EXPECT_TRUE(filter.IsBypassed());
    EXPECT_EQ(KelvraRect(), *filter.GetRect());
}

TEST(VisualCropTest, UnsetCropOfAnImageConnectedLaterAnnouncesTheWholeImage)
{
    // Set while no source was there, the crop of four zeros showed the whole
    // image, so a real crop changes pixels beyond it as well.
    ManagerHolder holder;
    IKelvraImage* image = MakePatternImage(holder.manager, kWidth, kHeight, kKelvraRGB8);
    CVisualCropFilter filter(holder.manager);
    frame_test::NoticeSink sink;
    ExpectOk(KelvraDataConnect(image, &filter));
    ExpectOk(KelvraDataConnect(&filter, &sink));
    ExpectOk(filter.SetRect(&kCrops[0], true));
    ASSERT_EQ(1u, sink.notices.size());
    EXPECT_EQ(KelvraRect(0, 0, kWidth, kHeight), sink.notices[0].rect);
    IKelvraError::Release(KelvraDataDisconnect(&filter, &sink));
    IKelvraError::Release(KelvraDataDisconnect(image, &filter));
    image->Release();
}

TEST(VisualCropTest, OneTileOverManySourceTilesEqualsTheTiledOutput)
{
    for (KelvraPixelFormat format : {kKelvraRGB8, kKelvraRGB16}) {
        SCOPED_TRACE(format);
        ManagerHolder holder;
        CropRig rig(MakePatternImage(holder.manager, kWidth, kHeight, format), holder);
        CVisualCropFilter single(holder.manager);
        ExpectOk(rig.filter.SetRect(&kCrops[0], false));
        ExpectOk(single.SetRect(&kCrops[0], false));
        EXPECT_EQ(rig.Output(), OutputAsOneTile(single, rig.image));
    }
}

TEST(VisualCropTest, OtherFormatsAreRefusedByText)
{
    ManagerHolder holder;
    CVisualCropFilter filter(holder.manager);
    for (KelvraPixelFormat format : {KelvraPixelFormat(kKelvraGrey8), KelvraPixelFormat(kKelvraGrey16), KelvraPixelFormat(kKelvraCMYK8),
                                     KelvraPixelFormat(0x08060203),
                                     KelvraPixelFormat(0x10060205)})
        ExpectTileRefused(filter, holder.manager, format, kKelvraTextError);
}

TEST(VisualCropTest, UnreadableSourceSizeLeavesTheCropAsItWas)
{
    ManagerHolder holder;
    IKelvraImage* image = MakePatternImage(holder.manager, kWidth, kHeight, kKelvraRGB8);
    UnreadableSource source(image);
    Probed<CVisualCropFilter> filter(holder.manager);
    ExpectOk(KelvraDataConnect(&source, &filter));
    ExpectOk(filter.SetRect(&kCrops[0], false));
    filter.MarkFresh();
    source.failSize = true;
    const KelvraRect other(1, 2, 3, 4);
    ExpectError(filter.SetRect(&other, true), kKelvraNotReady, TlFilterId("VCrp"));
    EXPECT_EQ(kCrops[0], *filter.GetRect());
    EXPECT_FALSE(filter.IsFrameStale());
    IKelvraError::Release(KelvraDataDisconnect(&source, &filter));
    image->Release();
}

TEST(VisualCropTest, MissingRectangleIsRefused)
{
    ManagerHolder holder;
    CVisualCropFilter filter(holder.manager);
    ExpectError(filter.SetRect(nullptr, true), kKelvraMissingObject, TlFilterId("VCrp"));
}

} // namespace
