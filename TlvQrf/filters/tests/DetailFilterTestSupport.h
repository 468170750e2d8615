// What the tests of the detail filters (colour noise reduction, fine edge,
// moire) share: small images held as plain arrays with the nearest-edge
// rule that the filters' references use, random and structured pictures,
// and the filters' output made as one tile or as a grid of tiles.
#pragma once

#include "FrameTestSupport.h"
#include "PixelFilterTestSupport.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace detail_test {

// Three samples a pixel, row after row.
struct Picture {
    std::string name;
    long width = 0;
    long height = 0;
    std::vector<unsigned> samples;

    unsigned At(long x, long y, int c) const
    {
        return samples[std::size_t((y * width + x) * 3 + c)];
    }
    // Outside the picture: the nearest edge pixel.
    unsigned Clamped(long x, long y, int c) const
    {
        return At(std::clamp(x, 0L, width - 1), std::clamp(y, 0L, height - 1), c);
    }
};

inline Picture MakePicture(const std::string& name, long width, long height,
                           const std::function<unsigned(long x, long y, int c)>& sample)
{
    Picture picture{name, width, height, {}};
    for (long y = 0; y < height; ++y)
        for (long x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                picture.samples.push_back(sample(x, y, c));
    return picture;
}

inline Picture RandomPicture(const std::string& name, long width, long height, unsigned low, unsigned high,
                             unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<unsigned> value(low, high);
    return MakePicture(name, width, height, [&](long, long, int) { return value(random); });
}

// The same picture on another scale (8-bit samples for an 8-bit format).
inline Picture Scaled(Picture picture, unsigned divisor)
{
    for (unsigned& sample : picture.samples)
        sample /= divisor;
    return picture;
}

inline IKelvraImage* MakeImage(IKelvraManager* manager, const Picture& picture, KelvraPixelFormat format)
{
    return pixel_test::MakeImageOf(manager, picture.width, picture.height, format, picture.samples);
}

// The filter's output over `area`, made by tiles of tileWidth x tileHeight
// laid from the area's top-left corner (the last ones cut at its edges).
// Samples outside the area stay 0.
inline std::vector<unsigned> OutputByTiles(IKelvraFilter& filter, IKelvraDataSource* source, long tileWidth,
                                           long tileHeight, const KelvraRect& area)
{
    long width = 0, height = 0;
    KelvraPixelFormat format = 0;
    ExpectOk(source->GetSize(&width, &height));
    ExpectOk(source->GetColorSpace(&format));
    const bool wide = KelvraIs16Bit(format);
    std::vector<unsigned> samples(std::size_t(width * height * 3), 0);
    IKelvraDataSource* sources[] = {source};
    for (long top = area.top; top < area.bottom; top += tileHeight) {
        for (long left = area.left; left < area.right; left += tileWidth) {
            const KelvraRect rect(left, top, std::min(left + tileWidth, area.right),
                                  std::min(top + tileHeight, area.bottom));
            frame_test::FakeTile tile(rect, rect, format);
            ExpectOk(filter.GenerateTile(&tile, sources, 1), "tile");
            EXPECT_TRUE(tile.IsComplete());
            for (long y = rect.top; y < rect.bottom; ++y)
                for (long x = rect.left; x < rect.right; ++x)
                    for (int c = 0; c < 3; ++c) {
                        const std::uint8_t* pixel = tile.PixelAt(x, y);
                        unsigned value = pixel[c];
                        if (wide) {
                            std::uint16_t wideValue;
                            std::memcpy(&wideValue, pixel + 2 * c, 2);
                            value = wideValue;
                        }
                        samples[std::size_t((y * width + x) * 3 + c)] = value;
                    }
        }
    }
    return samples;
}

struct TileGrid {
    const char* name;
    long width, height;
};

// One tile over everything, then grids whose tiles cut the picture
// unevenly; every grid touches all four edges of the picture.
inline const std::vector<TileGrid>& TileGrids()
{
    static const std::vector<TileGrid> grids = {
        {"one tile", 1 << 20, 1 << 20}, {"7 x 5", 7, 5}, {"16 x 16", 16, 16}, {"33 x 9", 33, 9}, {"1 x 40", 1, 40}};
    return grids;
}

// Expects the filter's output, however it is tiled, to equal `expected`.
inline void ExpectTilesEqual(IKelvraFilter& filter, IKelvraManager* manager, const Picture& picture,
                             KelvraPixelFormat format, const std::vector<unsigned>& expected)
{
    IKelvraImage* image = MakeImage(manager, picture, format);
    const KelvraRect whole(0, 0, picture.width, picture.height);
    for (const TileGrid& grid : TileGrids()) {
        SCOPED_TRACE(grid.name);
        EXPECT_TRUE(OutputByTiles(filter, image, grid.width, grid.height, whole) == expected);
    }
    image->Release();
}

} // namespace detail_test
