// What the demosaicing tests share: raw mosaic images made from a function
// of the position, the layouts as capture-tag bytes, filters that expose
// their stale flag, and reads of the output through the framework's tiles
// or as one tile covering everything.
#pragma once

#include "FilterTestSupport.h"
#include "FrameTestSupport.h"

#include "filters/debayer/TlDeBayerHQFilter.h"
#include "filters/debayer/TlDeBayerStdFilter.h"

#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

namespace debayer_test {

// Tag bytes of the four Bayer layouts (codes 0 red, 1 green, 2 blue).
struct Layout {
    const char* name;
    std::vector<std::uint8_t> bytes;
    int greenPhase;
    int redRowPhase;
};

inline const std::vector<Layout>& BayerLayouts()
{
    static const std::vector<Layout> layouts = {
        {"RGGB", {0, 2, 0, 2, 0, 1, 1, 2}, 0, 1},
        {"GRBG", {0, 2, 0, 2, 1, 0, 2, 1}, 1, 1},
        {"BGGR", {0, 2, 0, 2, 2, 1, 1, 0}, 0, 0},
        {"GBRG", {0, 2, 0, 2, 1, 2, 0, 1}, 1, 0},
    };
    return layouts;
}

// A raw mosaic image whose sample at (x, y) is `sample(x, y)`.
inline IKelvraImage* MakeMosaic(IKelvraManager* manager, long width, long height,
                                const std::function<std::uint16_t(long, long)>& sample,
                                KelvraPixelFormat format = kKelvraRawMosaic)
{
    IKelvraImage* image = MakeBlankImage(manager, width, height, format);
    std::vector<std::uint16_t> rows(std::size_t(width * height));
    for (long y = 0; y < height; ++y)
        for (long x = 0; x < width; ++x)
            rows[std::size_t(y * width + x)] = sample(x, y);
    ExpectOk(KelvraWriteRect(image, KelvraRect(0, 0, width, height), rows.data(), width * 2), "write mosaic");
    return image;
}

// A filter of either quality whose stale flag a test can read and clear.
template <typename Filter>
class Exposed : public Filter {
public:
    using Filter::Filter;
    bool IsStale() const { return this->m_stale; }
    bool IsBypassed() const { return this->m_bypass; }
    void MarkFresh() { this->m_stale = false; }
};

// The filter's whole output made as one tile.
inline SampleGrid GenerateAsOneTile(CDeBayerFilterBase& filter)
{
    long width = 0, height = 0;
    ExpectOk(filter.GetSize(&width, &height), "size");
    const KelvraRect all(0, 0, width, height);
    frame_test::FakeTile tile(all, all, kKelvraRGB16);
    ExpectOk(filter.DoGenerateTile(&tile, nullptr), "one tile");
    EXPECT_TRUE(tile.IsComplete());
    SampleGrid grid;
    grid.width = width;
    grid.height = height;
    grid.planes = 3;
    grid.samples.resize(std::size_t(width * height * 3));
    for (long y = 0; y < height; ++y)
        for (long x = 0; x < width; ++x)
            for (long c = 0; c < 3; ++c) {
                std::uint16_t value;
                std::memcpy(&value, tile.PixelAt(x, y) + 2 * c, 2);
                grid.samples[std::size_t((y * width + x) * 3 + c)] = value;
            }
    return grid;
}

} // namespace debayer_test
