// What the demosaicing tests share: raw mosaic images made from a function
// of the position or photographed from a synthetic scene, the layouts as
// capture-tag bytes, filters that expose their stale flag, and reads of the
// output through the framework's tiles or as one tile covering everything.
#pragma once

#include "FilterTestSupport.h"
#include "FrameTestSupport.h"

#include "filters/debayer/TlDeBayerHQFilter.h"
#include "filters/debayer/TlDeBayerStdFilter.h"
#include "qrfsynth/QrfMosaic.h"

#include <cmath>
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

// The scene's colour as the filters would deliver it from a perfect sensor
// (16-bit square-root companding).
inline double CompandedScene(std::uint16_t linear)
{
    return std::sqrt(linear / 65535.0) * 65535.0;
}

// A synthetic scene photographed through an RGGB mosaic with the maker's
// gains, and developed by a filter given the white-balance tables that undo
// them. The filters' output pixel (x, y) shows scene pixel (x + 6, y + 6).
class ScenePhotograph {
public:
    ScenePhotograph(IKelvraManager* manager, const CQrfScene& scene) : m_scene(scene)
    {
        m_image = MakeMosaic(manager, scene.Width(), scene.Height(), [this](long x, long y) {
            return QrfSensorValue(m_scene, QrfPattern::RGGB, m_gains, x, y);
        });
        for (std::size_t i = 0; i < 4096; ++i) {
            m_luts[0][i] = Gain(i, m_gains.red);
            m_luts[1][i] = std::uint16_t(i);
            m_luts[2][i] = Gain(i, m_gains.blue);
        }
    }
    ~ScenePhotograph() { m_image->Release(); }
    ScenePhotograph(const ScenePhotograph&) = delete;
    ScenePhotograph& operator=(const ScenePhotograph&) = delete;

    SampleGrid Develop(CDeBayerFilterBase& filter) const
    {
        const std::vector<std::uint8_t> pattern = QrfPatternTag(QrfPattern::RGGB);
        ExpectOk(KelvraDataConnect(m_image, &filter));
        ExpectOk(filter.SetPixelMap(pattern.data(), pattern.size(), false));
        ExpectOk(filter.SetChannelLuts(12, 12, m_luts[0], m_luts[1], m_luts[2], false));
        return ReadSampleGrid(&filter);
    }

    const CQrfScene& Scene() const { return m_scene; }
    const QrfGains& Gains() const { return m_gains; }
    const std::uint16_t* Lut(int channel) const { return m_luts[channel]; }

private:
    static std::uint16_t Gain(std::size_t i, double gain)
    {
        const double value = double(i) * gain;
        return std::uint16_t(value > 4095 ? 4095 : value);
    }

    const CQrfScene& m_scene;
    QrfGains m_gains;
    IKelvraImage* m_image = nullptr;
    std::uint16_t m_luts[3][4096];
};

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
