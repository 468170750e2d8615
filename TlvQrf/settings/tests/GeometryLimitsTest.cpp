#include "GeometryTestStep.h"

#include <gtest/gtest.h>

namespace {

// A 100 x 80 image whose limit is (10, 10)-(90, 70) and whose crop is
// (20, 20)-(60, 50).
void MakeLimitFrame(CTestStep& s)
{
    s.ImageWidth = 100;
    s.ImageHeight = 80;
    s.LimitRect = CTlDblRect(10, 10, 70, 90);
    s.CropRect = CTlDblRect(20, 20, 50, 60);
    s.ChangeFlags = 0;
}

struct SClampCase {
    const char* name;
    double in;
    double low, high;
    double out;
    bool changed;
};

TEST(GeometryLimits, CropSizeClampsIntoOneAndTheLimit)
{
    CTestStep s;
    MakeLimitFrame(s);
    const SClampCase cases[] = {
        {"inside", 30, 1, 80, 30, false}, {"below one", 0.5, 1, 80, 1, true}, {"beyond limit", 95, 1, 80, 80, true}};
    for (const SClampCase& c : cases) {
        double w = c.in, h = 10;
        EXPECT_EQ(c.changed, s.ClampCropSize(w, h, 0)) << c.name;
        EXPECT_EQ(c.out, w) << c.name;
        double ow = c.in;
        EXPECT_EQ(c.changed, s.ClampOutputWidth(ow)) << c.name;
        EXPECT_EQ(c.out, ow) << c.name;
    }
    double w = 10, h = 61;
    EXPECT_TRUE(s.ClampCropSize(w, h, 0));
    EXPECT_EQ(60, h);
}

TEST(GeometryLimits, MeasuredClampsTakeTheirUnitOnlyWhenClamped)
{
    CTestStep s;
    CTlMeasure length = CTlMeasure::PixelsPerInch(1e11);
    EXPECT_TRUE(s.ClampLength(length));
    EXPECT_EQ(CTlMeasure::Length(1e10), length);
    CTlMeasure fine = CTlMeasure::PixelsPerInch(5);
    EXPECT_FALSE(s.ClampLength(fine));
    EXPECT_EQ(kTlUnitPixelsPerInch, fine.unit);
    CTlMeasure res = CTlMeasure::Length(0);
    EXPECT_TRUE(s.ClampResolutionValue(res));
    EXPECT_EQ(CTlMeasure::PixelsPerInch(1e-10), res);

    s.MinResolution = CTlMeasure(10, kTlUnitTypeInch);
    s.SourceResolution = CTlMeasure::Length(600);
    CTlMeasure low = CTlMeasure::PixelsPerInch(5);
    EXPECT_TRUE(s.ClampResolution(low));
    EXPECT_EQ(s.MinResolution, low);
    CTlMeasure high = CTlMeasure::PixelsPerInch(700);
    EXPECT_TRUE(s.ClampResolution(high));
    EXPECT_EQ(s.SourceResolution, high);

    double scale = 1e11;
    EXPECT_TRUE(s.ClampScale(scale));
    EXPECT_EQ(1e10, scale);
}

TEST(GeometryLimits, CropOriginStaysInsideTheLimit)
{
    CTestStep s;
    MakeLimitFrame(s);
    double x = 5, y = 45;
    EXPECT_TRUE(s.ClampCropOrigin(x, y));
    EXPECT_EQ(10, x);
    EXPECT_EQ(40, y); // 70 - crop height 30
    x = 30, y = 30;
    EXPECT_FALSE(s.ClampCropOrigin(x, y));
}

TEST(GeometryLimits, PlacedCropKeepsTheEdgeOnTheReference)
{
    CTestStep s;
    MakeLimitFrame(s);
    s.SaveReference();
    // The user drags the left edge almost onto the right one: the width is
    // clamped to 1 and the right edge stays where it was.
    EXPECT_EQ(0, s.PlaceCropRect(59.5, 20, 60, 50, 0));
    EXPECT_EQ(CTlDblRect(20, 59, 50, 60), s.CropRect);
    EXPECT_EQ(1.0 / 30.0, s.AspectRatio);
    // Dragging the right edge instead keeps the left one.
    s.SaveReference();
    s.PlaceCropRect(59, 20, 59.5, 50, 0);
    EXPECT_EQ(CTlDblRect(20, 59, 50, 60), s.CropRect);
}

TEST(GeometryLimits, PlacedCropIsPushedInsideTheLimit)
{
    CTestStep s;
    MakeLimitFrame(s);
    s.SaveReference();
    EXPECT_EQ(0, s.PlaceCropRect(CTlDblRect(60, 70, 90, 110), 0));
    EXPECT_EQ(CTlDblRect(40, 50, 70, 90), s.CropRect);
    EXPECT_EQ(kTlGeomCropOrigin, s.ChangeFlags);
}

struct SKeepCase {
    const char* name;
    CTlDblRect in;
    CTlDblRect out;
    int result;
};

TEST(GeometryLimits, KeepCropInsideLimit)
{
    const SKeepCase cases[] = {
        {"inside", CTlDblRect(30, 30, 40, 40), CTlDblRect(30, 30, 40, 40), 0},
        {"left edge cut", CTlDblRect(30, 0, 40, 40), CTlDblRect(30, 10, 40, 40), 1},
        {"bottom edge cut", CTlDblRect(30, 30, 75, 40), CTlDblRect(30, 30, 70, 40), 1},
        {"too narrow grows", CTlDblRect(30, 30, 40, 30.5), CTlDblRect(30, 30, 40, 31), 1},
        {"grown past the right edge", CTlDblRect(30, 89.5, 40, 89.75), CTlDblRect(20, 50, 30, 51), 1},
    };
    for (const SKeepCase& c : cases) {
        CTestStep s;
        MakeLimitFrame(s);
        CTlDblRect r = c.in;
        EXPECT_EQ(c.result, s.KeepCropInsideLimit(r, 0)) << c.name;
        EXPECT_EQ(c.out, r) << c.name;
    }
}

TEST(GeometryLimits, NewLimitShrinksAndMovesTheCrop)
{
    CTestStep s;
    MakeLimitFrame(s);
    EXPECT_EQ(0, s.SetLimitRect(CTlDblRect(40, 0, 60, 30)));
    EXPECT_EQ(CTlDblRect(40, 0, 60, 30), s.LimitRect);
    EXPECT_EQ(CTlDblRect(40, 0, 60, 30), s.CropRect);
}

TEST(GeometryLimits, NewLimitSizeMakesTheCropTheWholeLimit)
{
    CTestStep s;
    MakeLimitFrame(s);
    EXPECT_EQ(0, s.SetLimitSize(50, 40));
    EXPECT_EQ(CTlDblRect(10, 10, 50, 60), s.LimitRect);
    EXPECT_EQ(s.LimitRect, s.CropRect);
}

TEST(GeometryLimits, SmallerImageMovesTheLimitInside)
{
    CTestStep s;
    MakeLimitFrame(s);
    EXPECT_EQ(0, s.SetImageSize(50, 100));
    EXPECT_EQ(50, s.ImageWidth);
    EXPECT_EQ(CTlDblRect(10, 0, 70, 50), s.LimitRect);
    EXPECT_EQ(CTlDblRect(20, 10, 50, 50), s.CropRect);
}

TEST(GeometryLimits, RescaleScalesRectanglesAndRecomputesOutput)
{
    CTestStep s;
    MakeLimitFrame(s);
    s.SaveReference();
    s.Resolution = CTlMeasure::PixelsPerInch(900);
    s.PrintResolution = CTlMeasure::PixelsPerInch(300);
    EXPECT_EQ(0, s.Rescale(200, 40, CTlMeasure::PixelsPerInch(10), CTlMeasure(60, kTlUnitTypeCentimetre)));
    EXPECT_EQ(CTlDblRect(10, 40, 25, 120), s.CropRect);
    EXPECT_EQ(s.CropRect, s.ReferenceRect);
    EXPECT_EQ(CTlDblRect(5, 20, 35, 180), s.LimitRect);
    EXPECT_EQ(CTlMeasure(60, kTlUnitTypeCentimetre), s.Resolution);
    EXPECT_DOUBLE_EQ(80, s.OutputWidth);
    EXPECT_DOUBLE_EQ(15, s.OutputHeight);
    EXPECT_DOUBLE_EQ(80.0 / 300, s.PrintWidth.value);
    EXPECT_EQ(kTlUnitInches, s.PrintWidth.unit);
    EXPECT_EQ(kTlGeomValid, s.Validate(true));
}

} // namespace
