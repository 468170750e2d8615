#include "DevelopedPatchesSupport.h"

#include "DevelopLoad.h"
#include "kelvra/KelvraImage.h"
#include "raw/TlEmbeddedProfile.h"
#include "raw/TlTagBytes.h"

#include <lcms2.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace patches_test {

namespace {

cmsHPROFILE LinearSceneProfile()
{
    const cmsCIExyY white = {0.3127, 0.3290, 1.0};
    const cmsCIExyYTRIPLE primaries = {{0.64, 0.33, 1.0}, {0.30, 0.60, 1.0}, {0.15, 0.06, 1.0}};
    cmsToneCurve* linear = cmsBuildGamma(nullptr, 1.0);
    cmsToneCurve* curves[3] = {linear, linear, linear};
    cmsHPROFILE profile = cmsCreateRGBProfile(&white, &primaries, curves);
    cmsFreeToneCurve(linear);
    return profile;
}

cmsHPROFILE OutputProfile(const std::string& path)
{
    return path.empty() ? cmsCreate_sRGBProfile() : cmsOpenProfileFromFile(path.c_str(), "r");
}

void* Transform(cmsHPROFILE from, cmsUInt32Number inFormat, cmsHPROFILE to, cmsUInt32Number outFormat)
{
    if (from == nullptr || to == nullptr)
        return nullptr;
    return cmsCreateTransform(from, inFormat, to, outFormat, INTENT_RELATIVE_COLORIMETRIC, cmsFLAGS_NOOPTIMIZE);
}

void Run(void* transform, const void* in, void* out)
{
    if (transform != nullptr)
        cmsDoTransform(static_cast<cmsHTRANSFORM>(transform), in, out, 1);
}

void SceneValues(const QrfRgb& scene, double rgb[3])
{
    rgb[0] = scene.r / 65535.0;
    rgb[1] = scene.g / 65535.0;
    rgb[2] = scene.b / 65535.0;
}

KelvraRect MiddleHalf(const KelvraRect& r, const SPatchPlacement& p)
{
    const double left = (r.left - p.offsetX) * p.scale, right = (r.right - p.offsetX) * p.scale;
    const double top = (r.top - p.offsetY) * p.scale, bottom = (r.bottom - p.offsetY) * p.scale;
    const double mx = (right - left) / 4, my = (bottom - top) / 4;
    return KelvraRect(long(std::ceil(left + mx)), long(std::ceil(top + my)), long(std::floor(right - mx)),
                      long(std::floor(bottom - my)));
}

// Means of the samples inside `rect`, 0..1; false when it holds none.
bool MeanOver(const SampleGrid& grid, unsigned maxValue, const KelvraRect& rect, double mean[3])
{
    const long left = std::max(0L, rect.left), top = std::max(0L, rect.top);
    const long right = std::min(grid.width, rect.right), bottom = std::min(grid.height, rect.bottom);
    if (right <= left || bottom <= top)
        return false;
    double sums[3] = {};
    for (long y = top; y < bottom; ++y) {
        for (long x = left; x < right; ++x) {
            for (long c = 0; c < 3; ++c)
                sums[c] += grid.At(x, y, c);
        }
    }
    const double count = double(right - left) * double(bottom - top) * maxValue;
    for (int c = 0; c < 3; ++c)
        mean[c] = sums[c] / count;
    return true;
}

void Summarise(SPatchReport& report)
{
    double colourSum = 0.0;
    int colours = 0;
    for (const SPatchResult& p : report.patches) {
        if (p.neutral) {
            report.maxNeutralDeltaE = std::max(report.maxNeutralDeltaE, p.deltaE);
            report.maxNeutralError = std::max(report.maxNeutralError, p.neutralError);
        } else {
            report.maxColourDeltaE = std::max(report.maxColourDeltaE, p.deltaE);
            colourSum += p.deltaE;
            ++colours;
        }
    }
    report.meanColourDeltaE = colours > 0 ? colourSum / colours : 0.0;
}

} // namespace

SPatchPlacement CentredPlacement(long sceneWidth, long sceneHeight, long width, long height, double scale)
{
    SPatchPlacement placement;
    placement.scale = scale;
    placement.offsetX = (sceneWidth - width / scale) / 2;
    placement.offsetY = (sceneHeight - height / scale) / 2;
    return placement;
}

CPatchTruth::CPatchTruth(const std::string& outputProfile)
{
    cmsHPROFILE scene = LinearSceneProfile();
    cmsHPROFILE output = OutputProfile(outputProfile);
    cmsHPROFILE lab = cmsCreateLab4Profile(nullptr);
    m_toOutput = Transform(scene, TYPE_RGB_DBL, output, TYPE_RGB_DBL);
    m_outputToLab = Transform(output, TYPE_RGB_DBL, lab, TYPE_Lab_DBL);
    m_sceneToLab = Transform(scene, TYPE_RGB_DBL, lab, TYPE_Lab_DBL);
    for (cmsHPROFILE profile : {scene, output, lab}) {
        if (profile != nullptr)
            cmsCloseProfile(profile);
    }
}

CPatchTruth::~CPatchTruth()
{
    for (void* transform : {m_toOutput, m_outputToLab, m_sceneToLab}) {
        if (transform != nullptr)
            cmsDeleteTransform(static_cast<cmsHTRANSFORM>(transform));
    }
}

void CPatchTruth::SceneToOutput(const QrfRgb& scene, double rgb[3]) const
{
    double in[3];
    SceneValues(scene, in);
    Run(m_toOutput, in, rgb);
}

void CPatchTruth::SceneToLab(const QrfRgb& scene, double lab[3]) const
{
    double in[3];
    SceneValues(scene, in);
    Run(m_sceneToLab, in, lab);
}

void CPatchTruth::OutputToLab(const double rgb[3], double lab[3]) const
{
    // The double RGB format of LittleCMS runs 0..1.
    Run(m_outputToLab, rgb, lab);
}

SPatchReport MeasurePatches(const SampleGrid& grid, unsigned maxValue, const CQrfScene& scene,
                            const SPatchPlacement& placement, const CPatchTruth& truth)
{
    SPatchReport report;
    if (grid.planes < 3) {
        ADD_FAILURE() << "not a colour image: " << grid.planes << " planes";
        return report;
    }
    for (const QrfPatch& patch : scene.Patches()) {
        SPatchResult result;
        result.patch = patch;
        result.neutral = patch.colour.r == patch.colour.g && patch.colour.g == patch.colour.b;
        if (!MeanOver(grid, maxValue, MiddleHalf(patch.rect, placement), result.measured)) {
            ADD_FAILURE() << "patch at " << patch.rect.left << ", " << patch.rect.top << " lies outside the image";
            continue;
        }
        truth.SceneToOutput(patch.colour, result.expected);
        cmsCIELab measured, expected;
        truth.OutputToLab(result.measured, &measured.L);
        truth.SceneToLab(patch.colour, &expected.L);
        result.deltaE = cmsDeltaE(&measured, &expected);
        const double* m = result.measured;
        result.neutralError = 255.0 * std::max(std::fabs(m[0] - m[1]), std::fabs(m[2] - m[1]));
        report.patches.push_back(result);
    }
    Summarise(report);
    return report;
}

std::string SPatchReport::Describe() const
{
    std::string text;
    char line[200];
    for (const SPatchResult& p : patches) {
        std::snprintf(line, sizeof line, "%s at %3ld,%3ld: got %5.1f %5.1f %5.1f want %5.1f %5.1f %5.1f dE %5.2f\n",
                      p.neutral ? "grey  " : "colour", p.patch.rect.left, p.patch.rect.top, p.measured[0] * 255,
                      p.measured[1] * 255, p.measured[2] * 255, p.expected[0] * 255, p.expected[1] * 255,
                      p.expected[2] * 255, p.deltaE);
        text += line;
    }
    std::snprintf(line, sizeof line, "colour dE max %.2f mean %.2f; grey dE max %.2f, neutral error max %.2f\n",
                  maxColourDeltaE, meanColourDeltaE, maxNeutralDeltaE, maxNeutralError);
    return text + line;
}

SImageFile ReadImageFile(const std::string& path)
{
    SImageFile file;
    std::unique_ptr<ILoadedImage> loaded = LoadImageFile(path);
    EXPECT_NE(nullptr, loaded) << path;
    if (loaded == nullptr)
        return file;
    ExpectOk(loaded->Image()->GetColorSpace(&file.format), "format");
    file.grid = ReadSampleGrid(loaded->Image());
    const std::vector<unsigned char> profile = ReadWholeTag(*loaded->Tags(), kTlIccProfileTag);
    file.profile.assign(profile.begin(), profile.end());
    return file;
}

void ExpectPatchesWithinTolerance(const SPatchReport& report)
{
    SCOPED_TRACE(report.Describe());
    EXPECT_FALSE(report.patches.empty());
    EXPECT_LE(report.maxColourDeltaE, kColourDeltaE);
    EXPECT_LE(report.meanColourDeltaE, kMeanColourDeltaE);
    EXPECT_LE(report.maxNeutralDeltaE, kNeutralDeltaE);
    EXPECT_LE(report.maxNeutralError, kNeutralError);
}

double LargestPatchDifference(const SPatchReport& a, const SPatchReport& b, bool greysOnly)
{
    double largest = 0.0;
    const std::size_t count = std::min(a.patches.size(), b.patches.size());
    for (std::size_t i = 0; i < count; ++i) {
        if (greysOnly && !a.patches[i].neutral)
            continue;
        for (int c = 0; c < 3; ++c)
            largest = std::max(largest, 255.0 * std::fabs(a.patches[i].measured[c] - b.patches[i].measured[c]));
    }
    return count == a.patches.size() && count == b.patches.size() ? largest : 255.0;
}

} // namespace patches_test
