#include "GeometryTestStep.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A consistent 4000 x 3000 frame at 300 of 600 pixels per inch with a crop.
void MakeValidFrame(CTestStep& s)
{
    MakeFrame(s, 4000, 3000, 1, 600);
    s.SetResolution(CTlMeasure::PixelsPerInch(300));
    s.SetCropRect(CTlDblRect(0, 0, 3000, 4000), 0);
    s.Rescale(4000, 3000, CTlMeasure::PixelsPerInch(1), CTlMeasure::PixelsPerInch(600));
}

struct SBreakCase {
    const char* name;
    void (*breakIt)(CTestStep&);
    int code;
};

TEST(GeometryValidate, AConsistentFrameIsValid)
{
    CTestStep s;
    MakeValidFrame(s);
    EXPECT_EQ(2000, s.OutputWidth);
    EXPECT_EQ(kTlGeomValid, s.Validate(true));
    EXPECT_EQ(kTlGeomValid, s.Validate(false));
}

TEST(GeometryValidate, EachBrokenRuleReportsItsCode)
{
    const SBreakCase cases[] = {
        {"resolution below minimum", [](CTestStep& s) { s.Resolution.value = 0.5; }, kTlGeomBadResolution},
        {"resolution above source", [](CTestStep& s) { s.Resolution.value = 601; }, kTlGeomBadResolution},
        {"crop left outside", [](CTestStep& s) { s.CropRect.left = -1; }, kTlGeomBadCropLeft},
        {"crop right outside", [](CTestStep& s) { s.CropRect.right = 4001; }, kTlGeomBadCropRight},
        {"crop top outside", [](CTestStep& s) { s.CropRect.top = -1; }, kTlGeomBadCropTop},
        {"crop bottom outside", [](CTestStep& s) { s.CropRect.bottom = 3001; }, kTlGeomBadCropBottom},
        {"output wider than the bounds", [](CTestStep& s) { s.OutputWidth = 4001; }, kTlGeomBadOutputWidth},
        {"output width negative", [](CTestStep& s) { s.OutputWidth = -1; }, kTlGeomBadOutputWidth},
        {"output height negative", [](CTestStep& s) { s.OutputHeight = -1; }, kTlGeomBadOutputHeight},
        {"print width", [](CTestStep& s) { s.PrintWidth.value *= 2; }, kTlGeomWidthVsPrint},
        {"print height", [](CTestStep& s) { s.PrintHeight.value *= 2; }, kTlGeomHeightVsPrint},
        {"area", [](CTestStep& s) { s.OutputArea += 1; }, kTlGeomAreaVsSize},
        {"aspect", [](CTestStep& s) { s.AspectRatio *= 1.01; }, kTlGeomAspectVsOutput},
        {"crop aspect", [](CTestStep& s) { s.CropRect.bottom = 2000; }, kTlGeomAspectVsCrop},
        {"scale", [](CTestStep& s) { s.Scale = 2; }, kTlGeomScaleVsResolution},
        {"NaN scale", [](CTestStep& s) { s.Scale = std::nan(""); }, kTlGeomScaleVsResolution},
        {"crop size vs output", [](CTestStep& s) { s.CropRect = CTlDblRect(0, 0, 1500, 2000); }, kTlGeomWidthVsCrop},
    };
    for (const SBreakCase& c : cases) {
        CTestStep s;
        MakeValidFrame(s);
        c.breakIt(s);
        EXPECT_EQ(c.code, s.Validate(false)) << c.name;
    }
}

TEST(GeometryValidate, TheLimitIsTheBoundsOnlyWhenAsked)
{
    CTestStep s;
    MakeValidFrame(s);
    s.LimitRect = CTlDblRect(0, 0, 3000, 2000);
    EXPECT_EQ(kTlGeomValid, s.Validate(false));
    EXPECT_EQ(kTlGeomBadCropRight, s.Validate(true));
}

TEST(GeometryValidate, ToleratesRoundingAtTheEdges)
{
    CTestStep s;
    MakeValidFrame(s);
    s.CropRect.left = -0.5e-10;
    EXPECT_EQ(kTlGeomValid, s.Validate(false)) << "within the tolerance";
    s.CropRect.left = -2e-10;
    EXPECT_EQ(kTlGeomBadCropLeft, s.Validate(false)) << "beyond the tolerance";
}

TEST(GeometryValidate, ChangesNothing)
{
    CTestStep s;
    MakeValidFrame(s);
    s.Scale = 3;
    const auto before = StoredBytes(s);
    const std::uint32_t flags = s.ChangeFlags;
    s.Validate(true);
    EXPECT_EQ(before, StoredBytes(s));
    EXPECT_EQ(flags, s.ChangeFlags);
}

} // namespace
