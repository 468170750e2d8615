#include "GeometryStateGoldens.h"

#include "settings/geometry/TlGeometryState.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(GeometryStateOutput, OutputRectStaysWholeAndInsideTheImage)
{
    struct Case {
        CTlRect source; // top, left, bottom, right in image pixels
    };
    const Case cases[] = {{CTlRect(0, 0, 50, 100)}, {CTlRect(5, 10, 25, 40)}, {CTlRect(49, 99, 50, 100)}};
    for (const Case& c : cases) {
        CTlGeometryState record(100, 50, &c.source, 300);
        for (bool oriented : {true, false}) {
            record.SetRotation(0, 0, false);
            CTlDblRect out;
            record.GetOutputRect(out, oriented);
            EXPECT_GE(out.Width(), 1);
            EXPECT_GE(out.Height(), 1);
            EXPECT_GE(out.left, 0);
            EXPECT_GE(out.top, 0);
            EXPECT_LE(out.right, 200);
            EXPECT_LE(out.bottom, 100);
            EXPECT_EQ(CTlDblRect(2.0 * c.source.GetTop(), 2.0 * c.source.GetLeft(), 2.0 * c.source.GetBottom(),
                                 2.0 * c.source.GetRight()),
                      out);
        }
    }
}

TEST(GeometryStateOutput, UnorientedOutputRectMapsBackToTheSource)
{
    const CTlRect source(5, 10, 25, 40);
    CTlGeometryState record(100, 50, &source, 300);
    record.SetRotation(0, 90, true);
    CTlDblRect oriented;
    record.GetOutputRect(oriented, true);
    EXPECT_EQ(CTlDblRect(20, 50, 80, 90), oriented);
    CTlDblRect unoriented;
    record.GetOutputRect(unoriented, false);
    EXPECT_EQ(CTlDblRect(10, 20, 50, 80), unoriented);
    CTlDblRect image;
    record.GetImageOutputRect(image, false);
    EXPECT_EQ(CTlDblRect(0, 0, 100, 200), image);
}

TEST(GeometryStateOutput, ScaledOutputRectAtFullScale)
{
    const CTlRect source(5, 10, 25, 40);
    CTlGeometryState record(100, 50, &source, 300);
    CTlRect scaled;
    record.GetScaledOutputRect(scaled, true);
    const double f = record.GetStep()->GetScale() / record.GetStep()->GetMaxScale();
    EXPECT_EQ(static_cast<int>(20 * f), scaled.GetLeft());
    EXPECT_EQ(static_cast<int>(80 * f), scaled.GetRight());
}

} // namespace

namespace {

// The stored output width (the step's 22nd double) decides the whole-pixel answer.
TEST(GeometryStateOutput, OutputWidthIsWholeAndAtLeastOne)
{
    struct Case {
        double stored;
        double whole;
    };
    const Case cases[] = {{0.4, 1}, {0, 1}, {-3, 1}, {1, 1}, {1919.9, 1919}, {50, 50}};
    for (const Case& c : cases) {
        geometry_state_test::Bytes block = geometry_state_test::kGeometryStateV5;
        std::memcpy(block.data() + 30 + 22 + 21 * 8, &c.stored, 8);
        CTlGeometryState record;
        record.SetRotation(1, 90, false);
        ASSERT_EQ(259, record.Load(block.data(), 259, 0, 0));
        EXPECT_EQ(c.whole, record.GetOutputWidth()) << c.stored;
        EXPECT_EQ(30, record.GetOutputHeight());
    }
}

TEST(GeometryStateOutput, ResetToFullImageUncrops)
{
    const CTlRect source(5, 10, 25, 40);
    CTlGeometryState record(100, 50, &source, 300);
    record.SetStepType(kTlStepTypeSize);
    ASSERT_FALSE(record.IsUncropped());
    record.ResetToFullImage(CTlMeasure::PixelsPerInch(300));
    EXPECT_EQ(kTlStepTypeSize, record.GetType());
    EXPECT_EQ(CTlDblRect(0, 0, 100, 200), record.GetStep()->GetCropRect());
}

} // namespace
