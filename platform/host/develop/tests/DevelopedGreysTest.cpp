// The develop command's default output (develop_command_tests writes it):
// the bundled raw file was taken with as-shot multipliers away from the
// synthetic camera's daylight pair, and its grey steps must still develop
// grey.
#include "PellioTestSupport.h"

#include "qrfsynth/QrfScene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

// The bundled raw file is 192 x 128; the border of its mosaic, six pixels a
// side, is not developed.
constexpr long kSceneWidth = 192;
constexpr long kSceneHeight = 128;
constexpr long kBorder = 6;
// max |R-G|, |B-G| of a grey step's mean, 8-bit units
constexpr double kNeutralError = 3.0;

bool IsGrey(const QrfRgb& c)
{
    return c.r == c.g && c.g == c.b;
}

} // namespace

TEST(DevelopedGreysTest, DefaultOutputKeepsGreyStepsGrey)
{
    const pelliotest::ManagerPtr manager = pelliotest::MakeManager();
    pelliotest::LoadedFile file;
    ASSERT_TRUE(pelliotest::Succeeded(
        pelliotest::LoadWhole(manager.get(), std::string(TL_DEVELOP_WORK) + "develop-output.jpg", &file)));
    long width = 0, height = 0;
    ASSERT_TRUE(pelliotest::Succeeded(file.main->GetSize(&width, &height)));
    ASSERT_EQ(kSceneWidth - 2 * kBorder, width);
    ASSERT_EQ(kSceneHeight - 2 * kBorder, height);
    const pelliotest::Bytes pixels = pelliotest::PixelsOf(file.main.get());
    ASSERT_FALSE(pixels.empty());
    const std::size_t stride = pixels.size() / std::size_t(height);

    const CQrfScene scene(kSceneWidth, kSceneHeight);
    int steps = 0;
    for (const QrfPatch& patch : scene.Patches()) {
        if (!IsGrey(patch.colour))
            continue;
        ++steps;
        // The middle half of the step, in the developed picture's pixels.
        const KelvraRect& r = patch.rect;
        const long w = r.right - r.left, h = r.bottom - r.top;
        double sum[3] = {};
        long count = 0;
        for (long y = r.top + h / 4; y < r.bottom - h / 4; ++y) {
            for (long x = r.left + w / 4; x < r.right - w / 4; ++x) {
                const std::size_t at = std::size_t(y - kBorder) * stride + std::size_t(x - kBorder) * 3;
                for (int c = 0; c < 3; ++c)
                    sum[c] += pixels[at + std::size_t(c)];
                ++count;
            }
        }
        ASSERT_GT(count, 0);
        SCOPED_TRACE("grey step at " + std::to_string(r.left) + ": " + std::to_string(sum[0] / count) + " " +
                     std::to_string(sum[1] / count) + " " + std::to_string(sum[2] / count));
        EXPECT_LE(std::fabs(sum[0] - sum[1]) / count, kNeutralError);
        EXPECT_LE(std::fabs(sum[2] - sum[1]) / count, kNeutralError);
    }
    EXPECT_GT(steps, 0) << "the scene has grey steps";
}
