// How close both demosaicing filters come to the true colours of the
// synthetic scene the raw-file maker photographs, beside a plain bilinear
// interpolation of the same samples. Errors are mean absolute differences
// per channel in the filters' output scale (16-bit square-root companding),
// over the whole picture, over the flat colour patches and over the smooth
// ramps (the fine detail below them lies beyond what any mosaic resolves).
#include "DeBayerTestSupport.h"

#include "filters/debayer/TlToneTables.h"
#include "qrfsynth/QrfMosaic.h"

#include <cmath>
#include <cstdio>

using namespace debayer_test;

namespace {

const long kWidth = 600;
const long kHeight = 420;
const long kHalfBorder = 6;

struct Errors {
    double whole = 0;
    double patches = 0;
    double ramps = 0;
};

// Accumulates mean absolute errors of one region.
struct Mean {
    double sum = 0;
    long count = 0;
    void Add(double error)
    {
        sum += error;
        count += 3;
    }
    double Value() const { return count ? sum / double(count) : 0; }
};

class SceneRig {
public:
    explicit SceneRig(IKelvraManager* manager) : m_scene(kWidth, kHeight), m_photo(manager, m_scene) {}

    SampleGrid Develop(CDeBayerFilterBase& filter) { return m_photo.Develop(filter); }

    // Each missing colour the mean of its nearest samples, on the same
    // white-balanced, companded samples the filters start from.
    SampleGrid Bilinear() const
    {
        const TlBayerPhases phases{0, 1};
        const long outWidth = kWidth - 2 * kHalfBorder, outHeight = kHeight - 2 * kHalfBorder;
        SampleGrid grid;
        grid.width = outWidth;
        grid.height = outHeight;
        grid.planes = 3;
        grid.samples.resize(std::size_t(outWidth * outHeight * 3));
        auto at = [&](long x, long y) {
            const int colour = TlBayerColourAt(phases, x, y);
            const std::uint16_t sensor = QrfSensorValue(m_scene, QrfPattern::RGGB, m_photo.Gains(), x, y);
            return double(GetSqrtTable()[m_photo.Lut(colour)[sensor]] >> 2);
        };
        for (long oy = 0; oy < outHeight; ++oy) {
            for (long ox = 0; ox < outWidth; ++ox) {
                const long x = ox + kHalfBorder, y = oy + kHalfBorder;
                const int own = TlBayerColourAt(phases, x, y);
                const double cross = (at(x - 1, y) + at(x + 1, y) + at(x, y - 1) + at(x, y + 1)) / 4;
                const double diagonal = (at(x - 1, y - 1) + at(x + 1, y - 1) + at(x - 1, y + 1) + at(x + 1, y + 1)) / 4;
                const double across = (at(x - 1, y) + at(x + 1, y)) / 2, down = (at(x, y - 1) + at(x, y + 1)) / 2;
                double rgb[3];
                rgb[own] = at(x, y);
                if (own == kTlGreen) {
                    const int rowColour = TlBayerColourAt(phases, x + 1, y);
                    rgb[rowColour] = across;
                    rgb[2 - rowColour] = down;
                } else {
                    rgb[kTlGreen] = cross;
                    rgb[2 - own] = diagonal;
                }
                for (int c = 0; c < 3; ++c)
                    grid.samples[std::size_t((oy * outWidth + ox) * 3 + c)] = unsigned(rgb[c]);
            }
        }
        return grid;
    }

    Errors Measure(const SampleGrid& out) const
    {
        Mean whole, patches, ramps;
        for (long y = 0; y < out.height; ++y) {
            for (long x = 0; x < out.width; ++x) {
                const long sceneX = x + kHalfBorder, sceneY = y + kHalfBorder;
                const QrfRgb truth = m_scene.At(sceneX, sceneY);
                const double expected[3] = {CompandedScene(truth.r), CompandedScene(truth.g), CompandedScene(truth.b)};
                double error = 0;
                for (long c = 0; c < 3; ++c)
                    error += std::fabs(out.At(x, y, c) - expected[c]);
                whole.Add(error);
                if (InPatch(sceneX, sceneY))
                    patches.Add(error);
                if (sceneY >= kHeight * 11 / 20 && sceneY < kHeight * 3 / 4) // the ramps' band of the scene
                    ramps.Add(error);
            }
        }
        return Errors{whole.Value(), patches.Value(), ramps.Value()};
    }

private:
    bool InPatch(long x, long y) const
    {
        for (const QrfPatch& patch : m_scene.Patches()) {
            if (patch.rect.Contains(x, y))
                return true;
        }
        return false;
    }

    CQrfScene m_scene;
    ScenePhotograph m_photo;
};

TEST(DeBayerQuality, BothQualitiesBeatBilinearOnTheSyntheticScene)
{
    ManagerHolder holder;
    SceneRig rig(holder.manager);
    CDeBayerStdFilter standard(holder.manager);
    CDeBayerHQFilter high(holder.manager);
    const Errors standardError = rig.Measure(rig.Develop(standard));
    const Errors highError = rig.Measure(rig.Develop(high));
    const Errors bilinearError = rig.Measure(rig.Bilinear());
    std::printf("mean colour error (16-bit companded units): whole scene / flat patches / smooth ramps\n");
    const struct {
        const char* name;
        const Errors& errors;
    } rows[] = {{"standard quality", standardError}, {"high quality", highError}, {"bilinear", bilinearError}};
    for (const auto& row : rows)
        std::printf("  %-17s %8.1f / %6.1f / %6.1f\n", row.name, row.errors.whole, row.errors.patches, row.errors.ramps);
    // Flat patches come out within a few 16-bit steps of their colour.
    EXPECT_LT(standardError.patches, 64);
    EXPECT_LT(highError.patches, 64);
    EXPECT_LT(standardError.whole, bilinearError.whole);
    EXPECT_LT(highError.whole, bilinearError.whole);
    EXPECT_LT(standardError.ramps, bilinearError.ramps);
    EXPECT_LT(highError.ramps, bilinearError.ramps);
}

} // namespace
