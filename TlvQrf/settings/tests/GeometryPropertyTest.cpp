// Seeded random sequences of changes that keep a frame consistent must
// leave Validate at 0 after every step.
#include "GeometryTestStep.h"

#include "settings/geometry/TlCropStep.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

class CRandom {
public:
    explicit CRandom(unsigned seed) : m_random(seed) {}

protected:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }
    double Real(double low, double high) { return std::uniform_real_distribution<double>(low, high)(m_random); }
    // Spread over several orders of magnitude around `centre`.
    double Around(double centre) { return centre * std::pow(10.0, Real(-2, 2)); }

private:
    std::mt19937 m_random;
};

// Changes that keep any frame consistent: turns, rescaling, and crops whose
// outputs are derived again.
class CRandomChanges : public CRandom {
public:
    using CRandom::CRandom;

    // Applies one random consistent change; returns its name.
    const char* Apply(CTlGeometryStep& step)
    {
        switch (Pick(0, 7)) {
        case 0: step.FlipHorizontal(); return "flip horizontal";
        case 1: step.FlipVertical(); return "flip vertical";
        case 2: step.RotateClockwise(); return "rotate clockwise";
        case 3: step.RotateCounterClockwise(); return "rotate counter-clockwise";
        case 4: RescaleRandomly(step); return "rescale";
        case 5: CropRandomly(step); return "crop";
        case 6: MoveRandomly(step); return "move";
        default: step.SetPixelSizeMode(Pick(0, 1) == 1); step.SaveReference(); return "mode";
        }
    }

private:
    void RescaleRandomly(CTlGeometryStep& step)
    {
        const double minRes = Real(1, 300);
        const double sourceRes = Real(minRes, 1200);
        step.Rescale(Real(10, 8000), Real(10, 8000), CTlMeasure::PixelsPerInch(minRes),
                     CTlMeasure::PixelsPerInch(sourceRes));
    }

    // A sub-rectangle of the image at least 1 x 1, then the outputs derived
    // again by rescaling to the same size.
    void CropRandomly(CTlGeometryStep& step)
    {
        const double w = step.GetImageWidth();
        const double h = step.GetImageHeight();
        const double cw = Real(1, w);
        const double ch = Real(1, h);
        const double x = Real(0, w - cw);
        const double y = Real(0, h - ch);
        step.SetCropRect(x, y, x + cw, y + ch, 0);
        step.Rescale(w, h, step.GetMinResolution(), step.GetSourceResolution());
    }

    void MoveRandomly(CTlGeometryStep& step)
    {
        const CTlDblRect& crop = step.GetCropRect();
        step.MoveCropTo(Real(0, step.GetImageWidth() - crop.Width()), Real(0, step.GetImageHeight() - crop.Height()));
    }

};

// Any setter of a 'Crop' step with any value: its clamps and recomputation
// keep the frame consistent.
class CRandomCropSetters : public CRandom {
public:
    using CRandom::CRandom;

    const char* Apply(CTlGeometryStep& step)
    {
        const CTlDblRect& crop = step.GetCropRect();
        switch (Pick(0, 11)) {
        case 0: step.SetCropRect(Real(-500, 4500), Real(-500, 3500), Real(-500, 4500), Real(-500, 3500), 0);
            return "crop rect";
        case 1: step.SetCropSize(Real(0, 5000), Real(0, 5000), 0); return "crop size";
        case 2: step.MoveCropTo(Real(-500, 4500), Real(-500, 3500)); return "move";
        case 3: step.SetPrintWidth(CTlMeasure::Length(Around(5))); return "print width";
        case 4: step.SetPrintHeight(CTlMeasure::Length(Around(5))); return "print height";
        case 5: step.SetResolution(CTlMeasure::PixelsPerInch(Around(300))); return "resolution";
        case 6: step.SetPrintResolution(CTlMeasure::PixelsPerInch(Around(300))); return "print resolution";
        case 7: step.SetScale(Around(1)); return "scale";
        case 8: step.SetOutputWidth(Real(0, 1.2 * crop.Width())); return "output width";
        case 9: step.SetOutputHeight(Real(0, 1.2 * crop.Height())); return "output height";
        case 10: step.SetOutputArea(Real(0, 1.2 * crop.Width() * crop.Height())); return "output area";
        default: step.SetPixelSizeMode(Pick(0, 1) == 1); return "mode";
        }
    }
};

TEST(GeometryProperty, RandomCropSettersKeepTheFrameValid)
{
    for (unsigned seed : {7u, 31337u, 4242424u}) {
        CRandomCropSetters setters(seed);
        CTlCropStep step;
        MakeFrame(step, 4000, 3000, 1, 600);
        step.SetResolution(CTlMeasure::PixelsPerInch(300));
        ASSERT_EQ(kTlGeomValid, step.Validate(true));
        for (int i = 0; i < 2000; ++i) {
            const char* name = setters.Apply(step);
            ASSERT_EQ(kTlGeomValid, step.Validate(true)) << "seed " << seed << ", change " << i << ": " << name;
        }
    }
}

TEST(GeometryProperty, RandomConsistentChangesKeepTheFrameValid)
{
    for (unsigned seed : {1u, 20240611u, 987654321u}) {
        CRandomChanges changes(seed);
        CTlGeometryStep step;
        MakeFrame(step, 4000, 3000, 1, 600);
        ASSERT_EQ(kTlGeomValid, step.Validate(true));
        for (int i = 0; i < 2000; ++i) {
            const char* name = changes.Apply(step);
            ASSERT_EQ(kTlGeomValid, step.Validate(false)) << "seed " << seed << ", change " << i << ": " << name;
            ASSERT_EQ(kTlGeomValid, step.Validate(true)) << "seed " << seed << ", change " << i << ": " << name;
        }
    }
}

} // namespace
