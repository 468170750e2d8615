#include "settings/geometry/TlDblRect.h"

#include <gtest/gtest.h>

namespace {

// left, top, right, bottom, as the fields read.
void ExpectRect(const CTlDblRect& r, double left, double top, double right, double bottom)
{
    EXPECT_EQ(left, r.left);
    EXPECT_EQ(top, r.top);
    EXPECT_EQ(right, r.right);
    EXPECT_EQ(bottom, r.bottom);
}

TEST(DblRect, ConstructorsTakeTheirArgumentOrder)
{
    ExpectRect(CTlDblRect(), 0, 0, 0, 0);
    ExpectRect(CTlDblRect(1, 2, 3, 4), 2, 1, 4, 3);
    ExpectRect(CTlDblRect(CTlDblPoint(5, 6), CTlDblPoint(10, 20)), 5, 6, 15, 26);
}

TEST(DblRect, EmptyOnlyWhenASideIsExactlyZero)
{
    EXPECT_TRUE(CTlDblRect().IsEmpty());
    EXPECT_TRUE(CTlDblRect(0, 0, 5, 0).IsEmpty());
    EXPECT_TRUE(CTlDblRect(0, 0, 0, 5).IsEmpty());
    EXPECT_FALSE(CTlDblRect(0, 0, 1e-300, 1e-300).IsEmpty());
    EXPECT_FALSE(CTlDblRect(0, 0, -1, 1).IsEmpty());
}

TEST(DblRect, SizeAndMoveKeepTheOtherValues)
{
    CTlDblRect r(1, 2, 3, 4);
    r.SetWidth(10);
    r.SetHeight(20);
    ExpectRect(r, 2, 1, 12, 21);
    r.MoveTo(-5, 7);
    ExpectRect(r, -5, 7, 5, 27);
}

TEST(DblRect, MirrorsAboutALine)
{
    CTlDblRect r(2, 1, 4, 3); // left 1, top 2, right 3, bottom 4
    r.MirrorX(5);
    ExpectRect(r, 7, 2, 9, 4);
    r.MirrorY(0);
    ExpectRect(r, 7, -4, 9, -2);
}

TEST(DblRect, MirrorTwiceIsTheIdentity)
{
    const CTlDblRect start(2.5, 1.25, 7, 3.75);
    CTlDblRect r = start;
    r.MirrorX(3.5);
    r.MirrorX(3.5);
    r.MirrorY(-1.5);
    r.MirrorY(-1.5);
    EXPECT_EQ(start, r);
}

TEST(DblRect, QuarterTurnsMoveTheCorners)
{
    // A 40 x 30 image: clockwise about (15, 15) it becomes 30 x 40.
    CTlDblRect r(6, 5, 16, 25);
    r.TurnClockwise(15, 15);
    ExpectRect(r, 14, 5, 24, 25);
    r.TurnCounterClockwise(15, 15);
    ExpectRect(r, 5, 6, 25, 16);
}

TEST(DblRect, FourQuarterTurnsAreTheIdentity)
{
    const CTlDblRect start(6, 5, 16, 25);
    for (auto turn : {&CTlDblRect::TurnClockwise, &CTlDblRect::TurnCounterClockwise}) {
        CTlDblRect r = start;
        for (int i = 0; i < 4; ++i)
            (r.*turn)(15, 20);
        EXPECT_EQ(start, r);
    }
}

struct SFitCase {
    const char* name;
    CTlDblRect start;
    double w, h;
    CTlDblRect expected;
};

TEST(DblRect, FitIntoHoldsSizeThenOrigin)
{
    const SFitCase cases[] = {
        {"inside stays", CTlDblRect(1, 1, 5, 5), 10, 10, CTlDblRect(1, 1, 5, 5)},
        {"too large shrinks", CTlDblRect(0, 0, 20, 30), 10, 8, CTlDblRect(0, 0, 8, 10)},
        {"below one grows", CTlDblRect(2, 2, 2.5, 2), 10, 10, CTlDblRect(2, 2, 3, 3)},
        {"beyond the far edge moves back", CTlDblRect(8, 7, 12, 11), 10, 10, CTlDblRect(6, 6, 10, 10)},
        {"negative origin is kept", CTlDblRect(-3, -2, 1, 2), 10, 10, CTlDblRect(-3, -2, 1, 2)},
    };
    for (const SFitCase& c : cases) {
        CTlDblRect r = c.start;
        r.FitInto(c.w, c.h);
        EXPECT_EQ(c.expected, r) << c.name;
    }
}

} // namespace
