#include "GeometryTestStep.h"

#include "settings/geometry/TlApproxEqual.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(GeometryFrame, ConstructionGivesTheDefaults)
{
    CTestStep s;
    EXPECT_EQ(CTlDblRect(0, 0, 1, 1), s.CropRect);
    EXPECT_EQ(CTlDblRect(), s.ReferenceRect);
    EXPECT_EQ(CTlDblRect(0, 0, 1, 1), s.LimitRect);
    EXPECT_EQ(CTlMeasure::Length(1), s.PrintWidth);
    EXPECT_EQ(CTlMeasure::Length(1), s.PrintHeight);
    for (const CTlMeasure* m : {&s.Resolution, &s.MinResolution, &s.SourceResolution, &s.PrintResolution})
        EXPECT_EQ(CTlMeasure::PixelsPerInch(1), *m);
    EXPECT_EQ(0u, s.GetChangeFlags());
    EXPECT_EQ(kTlStepTypeNone, s.GetType());
    EXPECT_EQ(0x4E6F6E65u, s.GetType());
    EXPECT_EQ(kTlGeomValid, s.Validate(true));
}

// One change under the protocol and the flags it must leave.
struct SChangeCase {
    const char* name;
    void (*change)(CTlGeometryStep&);
    std::uint32_t flags;
};

TEST(GeometryFrame, EachChangeRaisesExactlyItsFlags)
{
    const SChangeCase cases[] = {
        {"crop rect", [](CTlGeometryStep& s) { s.SetCropRect(0.5, 0, 1, 1, 0); }, kTlGeomCropOrigin | kTlGeomCropWidth},
        {"crop size", [](CTlGeometryStep& s) { s.SetCropSize(1, 3, 0); }, kTlGeomCropHeight},
        {"move crop", [](CTlGeometryStep& s) { s.MoveCropTo(2, 3); }, kTlGeomCropOrigin},
        {"print width", [](CTlGeometryStep& s) { s.SetPrintWidth(CTlMeasure::Length(2)); }, kTlGeomPrintWidth},
        {"print height", [](CTlGeometryStep& s) { s.SetPrintHeight(CTlMeasure::Length(2)); }, kTlGeomPrintHeight},
        {"resolution", [](CTlGeometryStep& s) { s.SetResolution(CTlMeasure::PixelsPerInch(2)); }, kTlGeomResolution},
        {"print resolution", [](CTlGeometryStep& s) { s.SetPrintResolution(CTlMeasure::PixelsPerInch(2)); },
         kTlGeomPrintResolution},
        {"scale", [](CTlGeometryStep& s) { s.SetScale(2); }, kTlGeomScale},
        {"NaN scale", [](CTlGeometryStep& s) { s.SetScale(std::nan("")); }, kTlGeomScale},
        {"output width", [](CTlGeometryStep& s) { s.SetOutputWidth(2); }, kTlGeomOutputWidth},
        {"output height", [](CTlGeometryStep& s) { s.SetOutputHeight(2); }, kTlGeomOutputHeight},
        {"output area", [](CTlGeometryStep& s) { s.SetOutputArea(2); }, kTlGeomOutputArea},
        {"same value", [](CTlGeometryStep& s) { s.SetScale(1); }, 0},
        {"unit only", [](CTlGeometryStep& s) { s.SetResolution(CTlMeasure::Length(1)); }, 0},
        {"minimum above resolution", [](CTlGeometryStep& s) { s.SetMinResolution(CTlMeasure::PixelsPerInch(2)); },
         kTlGeomResolution},
        {"minimum below resolution", [](CTlGeometryStep& s) { s.SetMinResolution(CTlMeasure::PixelsPerInch(0.5)); },
         0},
        {"source below resolution", [](CTlGeometryStep& s) { s.SetSourceResolution(CTlMeasure::PixelsPerInch(0.5)); },
         kTlGeomResolution},
        {"source above resolution", [](CTlGeometryStep& s) { s.SetSourceResolution(CTlMeasure::PixelsPerInch(9)); },
         0},
        {"aspect ratio", [](CTlGeometryStep& s) { s.SetAspectRatio(3); }, 0},
        {"save reference", [](CTlGeometryStep& s) { s.SaveReference(); }, 0},
    };
    for (const SChangeCase& c : cases) {
        CTlGeometryStep step;
        c.change(step);
        EXPECT_EQ(c.flags, step.GetChangeFlags() & kTlGeomAllChanges) << c.name;
    }
}

TEST(GeometryFrame, FlagsAccumulateUntilTheOwnerClearsThem)
{
    CTlGeometryStep step;
    step.SetScale(2);
    step.SetScale(1); // back to the start: the flag stays
    step.SetOutputWidth(5);
    EXPECT_EQ(kTlGeomScale | kTlGeomOutputWidth, step.GetChangeFlags() & kTlGeomAllChanges);
    step.ClearChangeFlags(kTlGeomAllChanges);
    EXPECT_EQ(0u, step.GetChangeFlags() & kTlGeomAllChanges);
    EXPECT_TRUE(step.IsPixelSizeMode());
}

TEST(GeometryFrame, PixelSizeModeFollowsTheLastSizeSetter)
{
    CTlGeometryStep step;
    step.SetOutputHeight(3);
    EXPECT_TRUE(step.IsPixelSizeMode());
    step.SetPrintWidth(CTlMeasure::Length(3));
    EXPECT_FALSE(step.IsPixelSizeMode());
    step.SetOutputWidth(3);
    step.SetPrintHeight(CTlMeasure::Length(3));
    EXPECT_FALSE(step.IsPixelSizeMode());

    CTlGeometryStep quiet;
    quiet.SetPixelSizeMode(true);
    EXPECT_EQ(kTlGeomPixelSizeMode, quiet.GetChangeFlags());
    quiet.SetPixelSizeMode(false);
    EXPECT_EQ(0u, quiet.GetChangeFlags());
}

// A step whose scale range follows its resolution, so the snapshot must ask
// the virtual range.
class CRangedStep : public CTlGeometryStep {
public:
    double GetMinScale() const override { return Resolution.value; }
};

TEST(GeometryFrame, ScaleRangeChangeIsSeenThroughTheVirtualRange)
{
    CRangedStep step;
    step.SetResolution(CTlMeasure::PixelsPerInch(4));
    EXPECT_EQ(kTlGeomResolution | kTlGeomScaleRange, step.GetChangeFlags());
}

TEST(GeometryFrame, AssignCopiesValuesAndFlagsButNotReferenceOrRangeFlag)
{
    CTestStep source;
    MakeFrame(source, 400, 300, 1, 600);
    source.SaveReference();
    source.ChangeFlags = 0x1FFF & ~kTlGeomScaleRange;
    CTestStep target;
    target.ChangeFlags = kTlGeomScaleRange;
    target.Assign(source);
    EXPECT_EQ(source.CropRect, target.CropRect);
    EXPECT_EQ(CTlDblRect(), target.ReferenceRect);
    EXPECT_EQ(source.OutputWidth, target.OutputWidth);
    EXPECT_EQ(0x1FFFu, target.ChangeFlags);
    EXPECT_EQ(kTlGeomValid, target.Validate(true));
}

TEST(GeometryFrame, CapabilitiesOfTheBase)
{
    CTlGeometryStep step;
    for (int i = 0; i < kCapabilityQueryCount; ++i)
        EXPECT_EQ(i + 1 != kCapabilityQueryCount, (step.*kCapabilityQueries[i])()) << "query " << i + 1;
    EXPECT_EQ(1e-10, step.GetMinScale());
    EXPECT_EQ(1e10, step.GetMaxScale());
}

// A step whose leaves answer false, to see which queries combine which.
class CNoLeafStep : public CTlGeometryStep {
public:
    bool CapabilityQuery2() const override { return false; }
    bool CapabilityQuery3() const override { return false; }
    bool CapabilityQuery4() const override { return leaf4; }
    bool CapabilityQuery6() const override { return false; }
    bool CapabilityQuery7() const override { return false; }
    bool CapabilityQuery12() const override { return false; }
    bool CapabilityQuery13() const override { return false; }
    bool leaf4 = false;
};

TEST(GeometryFrame, CombinedCapabilitiesAskTheirLeaves)
{
    CNoLeafStep step;
    EXPECT_FALSE(step.CapabilityQuery1());
    EXPECT_FALSE(step.CapabilityQuery5());
    EXPECT_FALSE(step.CapabilityQuery8());
    EXPECT_FALSE(step.CapabilityQuery14());
    step.leaf4 = true;
    EXPECT_TRUE(step.CapabilityQuery5());
    EXPECT_TRUE(step.CapabilityQuery1());
}

struct SApproxCase {
    double a, b;
    bool equal;
};

TEST(GeometryFrame, ApproximateEqualityComparesMantissas)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const SApproxCase cases[] = {
        {1.0, 4.0, false},       {1.0, 2.0, false},          {1.0, 1.0 + 1e-11, true},
        {1.0, 1.0 + 3e-10, false}, {1.0 - 1e-12, 1.0, true},  {1.0, 1.0 - 1e-12, true},
        {0, 0, true},            {-2, -2, true},             {nan, nan, false},
        {nan, 1, false},         {3e100, 3e100 * (1 + 1e-12), true},
    };
    for (const SApproxCase& c : cases)
        EXPECT_EQ(c.equal, TlApproxEqual(c.a, c.b)) << c.a << " vs " << c.b;
}

} // namespace
