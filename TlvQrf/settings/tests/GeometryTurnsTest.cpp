#include "GeometryTestStep.h"

#include <gtest/gtest.h>

namespace {

// A 40 x 30 image with an off-centre 20 x 10 crop and distinct print,
// output and reference values.
void MakeTurnFrame(CTestStep& s)
{
    MakeFrame(s, 40, 30, 1, 600);
    s.CropRect = CTlDblRect(6, 5, 16, 25);
    s.ReferenceRect = CTlDblRect(1, 2, 3, 4);
    s.PrintWidth = CTlMeasure(2, kTlUnitTypeInch);
    s.PrintHeight = CTlMeasure::Length(1);
    s.OutputWidth = 200;
    s.OutputHeight = 100;
    s.AspectRatio = 2;
}

void ExpectSameStored(const CTlGeometryStep& a, const CTlGeometryStep& b, const char* what)
{
    EXPECT_EQ(StoredBytes(a), StoredBytes(b)) << what;
}

TEST(GeometryTurns, ClockwiseTurnSwapsSizesAndTurnsCropAndLimit)
{
    CTestStep s;
    MakeTurnFrame(s);
    EXPECT_EQ(0, s.RotateClockwise());
    EXPECT_EQ(CTlDblRect(5, 14, 25, 24), s.CropRect);
    EXPECT_EQ(CTlDblRect(0, 0, 40, 30), s.LimitRect);
    EXPECT_EQ(30, s.ImageWidth);
    EXPECT_EQ(40, s.ImageHeight);
    EXPECT_EQ(CTlMeasure::Length(1), s.PrintWidth);
    EXPECT_EQ(CTlMeasure::PixelsPerInch(2), s.PrintHeight);
    EXPECT_EQ(100, s.OutputWidth);
    EXPECT_EQ(200, s.OutputHeight);
    EXPECT_EQ(0.5, s.AspectRatio);
    EXPECT_EQ(CTlDblRect(1, 2, 3, 4), s.ReferenceRect);
}

TEST(GeometryTurns, CounterClockwiseTurn)
{
    CTestStep s;
    MakeTurnFrame(s);
    EXPECT_EQ(0, s.RotateCounterClockwise());
    // (x, y) -> (y, W - x) with W = 40.
    EXPECT_EQ(CTlDblRect(15, 6, 35, 16), s.CropRect);
    EXPECT_EQ(30, s.ImageWidth);
    EXPECT_EQ(40, s.ImageHeight);
}

TEST(GeometryTurns, TurnsRaiseTheFlagsOfWhatMoved)
{
    CTestStep s;
    MakeTurnFrame(s);
    s.ChangeFlags = 0;
    s.RotateClockwise();
    const std::uint32_t moved = kTlGeomCropOrigin | kTlGeomCropWidth | kTlGeomCropHeight | kTlGeomPrintWidth |
                                kTlGeomPrintHeight | kTlGeomOutputWidth | kTlGeomOutputHeight;
    EXPECT_EQ(moved, s.ChangeFlags);
    s.ChangeFlags = 0;
    s.FlipVertical();
    EXPECT_EQ(kTlGeomCropOrigin, s.ChangeFlags);
}

TEST(GeometryTurns, MirrorsAboutTheImageCentre)
{
    CTestStep s;
    MakeTurnFrame(s);
    s.LimitRect = CTlDblRect(0, 0, 30, 30);
    s.FlipHorizontal();
    EXPECT_EQ(CTlDblRect(6, 15, 16, 35), s.CropRect);
    EXPECT_EQ(CTlDblRect(0, 10, 30, 40), s.LimitRect);
    s.FlipVertical();
    EXPECT_EQ(CTlDblRect(14, 15, 24, 35), s.CropRect);
}

// Sequences of turns that must bring every stored value back.
struct SIdentityCase {
    const char* name;
    int (CTlGeometryStep::*turn)();
    int (CTlGeometryStep::*back)();
    int times;
};

TEST(GeometryTurns, SequencesThatAreTheIdentity)
{
    const SIdentityCase cases[] = {
        {"four clockwise", &CTlGeometryStep::RotateClockwise, nullptr, 4},
        {"four counter-clockwise", &CTlGeometryStep::RotateCounterClockwise, nullptr, 4},
        {"clockwise then back", &CTlGeometryStep::RotateClockwise, &CTlGeometryStep::RotateCounterClockwise, 1},
        {"counter-clockwise then back", &CTlGeometryStep::RotateCounterClockwise, &CTlGeometryStep::RotateClockwise,
         1},
        {"horizontal mirror twice", &CTlGeometryStep::FlipHorizontal, nullptr, 2},
        {"vertical mirror twice", &CTlGeometryStep::FlipVertical, nullptr, 2},
    };
    for (const SIdentityCase& c : cases) {
        CTestStep start;
        MakeTurnFrame(start);
        CTestStep s;
        MakeTurnFrame(s);
        for (int i = 0; i < c.times; ++i)
            (s.*c.turn)();
        if (c.back)
            (s.*c.back)();
        ExpectSameStored(start, s, c.name);
        EXPECT_EQ(start.PrintWidth, s.PrintWidth) << c.name;
    }
}

TEST(GeometryTurns, TurnsKeepAConsistentFrameConsistent)
{
    CTestStep s;
    MakeFrame(s, 4000, 3000, 1, 600);
    s.SetCropRect(CTlDblRect(100, 200, 1100, 2200), 0);
    s.Rescale(4000, 3000, CTlMeasure::PixelsPerInch(1), CTlMeasure::PixelsPerInch(600));
    ASSERT_EQ(kTlGeomValid, s.Validate(true));
    for (auto turn : {&CTlGeometryStep::RotateClockwise, &CTlGeometryStep::FlipHorizontal,
                      &CTlGeometryStep::RotateCounterClockwise, &CTlGeometryStep::FlipVertical}) {
        (s.*turn)();
        EXPECT_EQ(kTlGeomValid, s.Validate(true));
        EXPECT_EQ(kTlGeomValid, s.Validate(false));
    }
}

} // namespace
