// This library's filters in process runs made on many threads: for the
// demosaicing filters (with and without channel tables, which the tiles
// share) and the pixel filters, at sizes that end inside a tile, the output
// equals the output made on one thread, byte for byte.
#include "DeBayerTestSupport.h"
#include "ProcessRunCheck.h"

#include "filters/channelmixer/TlChannelMixerFilter.h"
#include "filters/lostdetail/TlShowLostDetailFilter.h"
#include "filters/visualcrop/TlVisualCropFilter.h"

#include <gtest/gtest.h>

#include <memory>

using namespace debayer_test;

namespace {

const struct {
    long width, height;
} kSizes[] = {{67, 45}, {129, 67}, {300, 191}};

std::uint16_t Scene(long x, long y)
{
    return std::uint16_t((x * 37 + y * 11 + ((x / 5 + y / 3) % 2) * 900 + (x * y) % 97) % 4096);
}

TEST(ParallelFilterRunTest, DemosaicingOnManyThreadsMakesWhatOneMakes)
{
    std::vector<std::uint16_t> curve(4096);
    for (std::size_t i = 0; i < curve.size(); ++i)
        curve[i] = std::uint16_t(std::min<std::size_t>(4095, i * 5 / 4));
    for (bool highQuality : {false, true}) {
        for (bool tables : {false, true}) {
            for (const auto& size : kSizes) {
                SCOPED_TRACE(testing::Message() << (highQuality ? "high quality" : "standard")
                                                << (tables ? " with tables, " : ", ") << size.width << " x "
                                                << size.height);
                ManagerHolder holder;
                IKelvraImage* mosaic = MakeMosaic(holder.manager, size.width, size.height, Scene);
                std::unique_ptr<CDeBayerFilterBase> filter;
                if (highQuality)
                    filter.reset(new CDeBayerHQFilter(holder.manager));
                else
                    filter.reset(new CDeBayerStdFilter(holder.manager));
                const Layout& layout = BayerLayouts()[1];
                ExpectOk(filter->SetPixelMap(layout.bytes.data(), layout.bytes.size(), false));
                if (tables)
                    ExpectOk(filter->SetChannelLuts(12, 12, curve.data(), nullptr, curve.data(), false));
                ExpectManyThreadsMakeWhatOneMakes(holder.manager, *filter, mosaic);
                mosaic->Release();
            }
        }
    }
}

TEST(ParallelFilterRunTest, PixelFiltersOnManyThreadsMakeWhatOneMakes)
{
    const KelvraRect crop(10, 5, 100, 70);
    const struct {
        const char* name;
        std::function<std::unique_ptr<CKelvraFilterBase>(IKelvraManager*)> make;
    } filters[] = {
        {"channel mixer",
         [](IKelvraManager* m) { return std::unique_ptr<CKelvraFilterBase>(new CChannelMixerFilter(m)); }},
        {"lost detail",
         [](IKelvraManager* m) {
             auto* filter = new CShowLostDetailFilter(m);
             ExpectOk(filter->ShowShadows(false));
             return std::unique_ptr<CKelvraFilterBase>(filter);
         }},
        {"visual crop",
         [&crop](IKelvraManager* m) {
             auto* filter = new CVisualCropFilter(m);
             ExpectOk(filter->SetRect(&crop, false));
             return std::unique_ptr<CKelvraFilterBase>(filter);
         }},
    };
    for (const auto& c : filters) {
        for (KelvraPixelFormat format : {kKelvraRGB8, kKelvraRGB16}) {
            for (const auto& size : kSizes) {
                SCOPED_TRACE(testing::Message() << c.name << ", format " << format << ", " << size.width << " x "
                                                << size.height);
                ManagerHolder holder;
                IKelvraImage* source = MakePatternImage(holder.manager, size.width, size.height, format);
                std::unique_ptr<CKelvraFilterBase> filter = c.make(holder.manager);
                ExpectManyThreadsMakeWhatOneMakes(holder.manager, *filter, source);
                source->Release();
            }
        }
    }
}

} // namespace
