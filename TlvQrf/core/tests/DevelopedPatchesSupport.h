// Measuring a developed synthetic raw picture against the scene it was made
// from: the mean of each flat patch of the scene in the developed image,
// the scene's true colour converted to the output profile with LittleCMS,
// the colour error between the two (CIE 1976 delta E in Lab, D50) and the
// neutral error of the grey steps (max |R-G|, |B-G| in 8-bit units).
#pragma once

#include "FilterTestSupport.h"
#include "qrfsynth/QrfScene.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace patches_test {

// What a correct development meets and a broken one (swapped channels, no
// white balance, no output curve, a wrong gamma) does not. The synthetic
// camera's profile is a mild saturation and hue correction away from the
// scene and its tone curve only close to the output curve: a correct
// development of model 258 measures colour delta E up to about 5 (mean 2),
// grey steps within 1 and no neutral error.
constexpr double kColourDeltaE = 8.0;     // each colour patch
constexpr double kMeanColourDeltaE = 4.0; // over the colour patches
constexpr double kNeutralDeltaE = 3.0;    // each grey step, lightness included
constexpr double kNeutralError = 3.0;     // max |R-G|, |B-G| of a grey step, 8-bit units
// Two developments of the same picture at the same scale (preview and
// export, 8-bit and 16-bit files): their patch means in 8-bit units.
constexpr double kSameScaleError = 3.0;

// Where a developed image shows the scene: its pixel (0, 0) is scene pixel
// (offsetX, offsetY), and it has `scale` pixels per scene pixel.
struct SPatchPlacement {
    double offsetX = 0.0;
    double offsetY = 0.0;
    double scale = 1.0;
};

// The placement of an image of `width` x `height` that shows a centred part
// of a `sceneWidth` x `sceneHeight` scene (the De-Bayer stage drops a
// border), scaled by `scale`.
SPatchPlacement CentredPlacement(long sceneWidth, long sceneHeight, long width, long height, double scale = 1.0);

struct SPatchResult {
    QrfPatch patch;
    bool neutral = false;
    double measured[3] = {}; // mean output values, 0..1
    double expected[3] = {}; // the scene's colour in the output profile, 0..1
    double deltaE = 0.0;
    double neutralError = 0.0; // 8-bit units
};

struct SPatchReport {
    std::vector<SPatchResult> patches;
    double maxColourDeltaE = 0.0;
    double meanColourDeltaE = 0.0;
    double maxNeutralDeltaE = 0.0;
    double maxNeutralError = 0.0;
    std::string Describe() const;
};

// The scene's colours in an output profile, and output values in Lab. The
// scene is linear RGB with the sRGB primaries and white.
class CPatchTruth {
public:
    // `outputProfile` is a profile file; empty for LittleCMS's own sRGB.
    explicit CPatchTruth(const std::string& outputProfile = std::string());
    ~CPatchTruth();
    CPatchTruth(const CPatchTruth&) = delete;
    CPatchTruth& operator=(const CPatchTruth&) = delete;

    bool IsReady() const { return m_toOutput != nullptr && m_outputToLab != nullptr && m_sceneToLab != nullptr; }
    void SceneToOutput(const QrfRgb& scene, double rgb[3]) const;
    void SceneToLab(const QrfRgb& scene, double lab[3]) const;
    void OutputToLab(const double rgb[3], double lab[3]) const;

private:
    void* m_toOutput = nullptr;
    void* m_outputToLab = nullptr;
    void* m_sceneToLab = nullptr;
};

// The patches of `scene` measured in `grid` (samples 0..maxValue) placed by
// `placement`. Each patch is read over its middle half, away from its edges.
SPatchReport MeasurePatches(const SampleGrid& grid, unsigned maxValue, const CQrfScene& scene,
                            const SPatchPlacement& placement, const CPatchTruth& truth);

// An exported file read back as a host loads it: its pixels, their format
// and the ICC profile it embeds (empty when none).
struct SImageFile {
    SampleGrid grid;
    KelvraPixelFormat format = 0;
    std::string profile;
};
SImageFile ReadImageFile(const std::string& path);

// Fails unless every patch is within the tolerances above.
void ExpectPatchesWithinTolerance(const SPatchReport& report);
// The largest difference of two reports' patch means, in 8-bit units; of
// their grey steps only when `greysOnly` is set.
double LargestPatchDifference(const SPatchReport& a, const SPatchReport& b, bool greysOnly = false);

} // namespace patches_test
