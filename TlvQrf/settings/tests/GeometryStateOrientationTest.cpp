#include "settings/geometry/TlGeometryState.h"

#include <gtest/gtest.h>

#include <random>

namespace {

void ExpectNear(const CTlDblRect& expected, const CTlDblRect& actual)
{
    EXPECT_NEAR(expected.left, actual.left, 1e-9);
    EXPECT_NEAR(expected.top, actual.top, 1e-9);
    EXPECT_NEAR(expected.right, actual.right, 1e-9);
    EXPECT_NEAR(expected.bottom, actual.bottom, 1e-9);
}

struct AngleCase {
    int mirrored;
    int angle;
    int rotation;
};

TEST(GeometryStateOrientation, AnglesAreNormalised)
{
    const AngleCase cases[] = {{0, -90, 270}, {0, 450, 90}, {1, -720, 0}, {0, 359, 359}, {1, -1, 359}};
    for (const AngleCase& c : cases) {
        CTlGeometryState record;
        record.SetRotation(c.mirrored, c.angle, false);
        EXPECT_EQ(c.rotation, record.GetRotation()) << c.angle;
        EXPECT_EQ(c.mirrored, record.GetMirrored());
    }
}

TEST(GeometryStateOrientation, NonRelativeLeavesTheStep)
{
    const CTlRect source(5, 10, 25, 40);
    CTlGeometryState record(100, 50, &source, 300);
    const CTlDblRect crop = record.GetStep()->GetCropRect();
    record.SetRotation(1, 90, false);
    EXPECT_EQ(crop, record.GetStep()->GetCropRect());
}

TEST(GeometryStateOrientation, RelativeHalfTurnMirrorsBothWays)
{
    const CTlRect source(5, 10, 25, 40); // doubled: (20, 10)-(80, 50) in 200 x 100
    CTlGeometryState record(100, 50, &source, 300);
    record.SetRotation(0, 180, true);
    EXPECT_EQ(0, record.GetMirrored());
    EXPECT_EQ(180, record.GetRotation());
    EXPECT_EQ(CTlDblRect(50, 120, 90, 180), record.GetStep()->GetCropRect());
}

TEST(GeometryStateOrientation, RelativeMirrorFlipsHorizontally)
{
    const CTlRect source(5, 10, 25, 40);
    CTlGeometryState record(100, 50, &source, 300);
    record.SetRotation(1, 0, true);
    EXPECT_EQ(1, record.GetMirrored());
    EXPECT_EQ(0, record.GetRotation());
    EXPECT_EQ(CTlDblRect(10, 120, 50, 180), record.GetStep()->GetCropRect());
}

// From any orientation, a relative SetRotation ends in the asked one.
TEST(GeometryStateOrientation, RelativeReachesEveryOrientation)
{
    for (int fromMirror = 0; fromMirror < 2; ++fromMirror)
        for (int from = 0; from < 360; from += 90)
            for (int toMirror = 0; toMirror < 2; ++toMirror)
                for (int to = 0; to < 360; to += 90) {
                    CTlGeometryState record(100, 50, nullptr, 300);
                    record.SetRotation(fromMirror, from, false);
                    record.SetRotation(toMirror, to, true);
                    EXPECT_EQ(toMirror, record.GetMirrored()) << fromMirror << from << toMirror << to;
                    EXPECT_EQ(to, record.GetRotation()) << fromMirror << from << toMirror << to;
                }
}

TEST(GeometryStateOrientation, FourQuarterTurnsAreTheIdentity)
{
    const CTlRect source(5, 10, 25, 40);
    for (int mirrored = 0; mirrored < 2; ++mirrored) {
        CTlGeometryState record(100, 50, &source, 300);
        record.SetRotation(mirrored, 90, false);
        const CTlDblRect crop = record.GetStep()->GetCropRect();
        for (int i = 0; i < 4; ++i)
            record.RotateClockwise();
        EXPECT_EQ(90, record.GetRotation());
        ExpectNear(crop, record.GetStep()->GetCropRect());
        for (int i = 0; i < 4; ++i)
            record.RotateCounterClockwise();
        EXPECT_EQ(90, record.GetRotation());
        ExpectNear(crop, record.GetStep()->GetCropRect());
    }
}

// ToOriented maps a source rectangle into the step's coordinates, where the
// image itself lies as ToOriented maps it; FromOriented maps back.
TEST(GeometryStateOrientation, ToAndFromOrientedAreInverse)
{
    std::mt19937 random(20261210);
    std::uniform_real_distribution<double> size(1, 4000);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int mirrored = 0; mirrored < 2; ++mirrored)
        for (int angle = 0; angle < 360; angle += 90) {
            CTlGeometryState record;
            record.SetRotation(mirrored, angle, false);
            for (int trial = 0; trial < 200; ++trial) {
                SCOPED_TRACE(testing::Message() << mirrored << " " << angle << " " << trial);
                const double w = size(random);
                const double h = size(random);
                const CTlDblRect image(0, 0, h, w);
                const double x0 = unit(random) * w, x1 = unit(random) * w;
                const double y0 = unit(random) * h, y1 = unit(random) * h;
                const CTlDblRect rect(std::min(y0, y1), std::min(x0, x1), std::max(y0, y1), std::max(x0, x1));
                CTlDblRect orientedImage = image;
                record.ToOriented(orientedImage, image);
                CTlDblRect mapped = rect;
                record.ToOriented(mapped, image);
                record.FromOriented(mapped, orientedImage);
                ExpectNear(rect, mapped);

                double point[2] = {x0, y0};
                record.PointToOriented(point, image);
                record.PointFromOriented(point, orientedImage);
                EXPECT_NEAR(x0, point[0], 1e-9);
                EXPECT_NEAR(y0, point[1], 1e-9);
            }
        }
}

TEST(GeometryStateOrientation, OrientedImageStaysAtTheOrigin)
{
    for (int mirrored = 0; mirrored < 2; ++mirrored)
        for (int angle = 0; angle < 360; angle += 90) {
            CTlGeometryState record;
            record.SetRotation(mirrored, angle, false);
            CTlDblRect image(0, 0, 30, 80);
            record.ToOriented(image, CTlDblRect(0, 0, 30, 80));
            const bool quarter = angle % 180 != 0;
            ExpectNear(quarter ? CTlDblRect(0, 0, 80, 30) : CTlDblRect(0, 0, 30, 80), image);
        }
}

} // namespace
