#include "GeometryTestStep.h"

#include "settings/geometry/TlCropStep.h"
#include "settings/geometry/TlSizeStep.h"
#include "settings/geometry/TlSnapshotStep.h"
#include "settings/geometry/TlStepFactory.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// 4000 x 3000 source pixels at 300 of 600 pixels per inch.
CTlSnapshotStep MakeSnapshot()
{
    return CTlSnapshotStep(4000, 3000, CTlMeasure::PixelsPerInch(300), CTlMeasure::PixelsPerInch(1),
                           CTlMeasure::PixelsPerInch(600));
}

TEST(GeometrySteps, SnapshotBuildsAWholeImageGeometry)
{
    const CTlSnapshotStep s = MakeSnapshot();
    EXPECT_EQ(kTlStepTypeSnapshot, s.GetType());
    EXPECT_DOUBLE_EQ(2000, s.GetOutputWidth());
    EXPECT_DOUBLE_EQ(1500, s.GetOutputHeight());
    EXPECT_DOUBLE_EQ(4000.0 / 600, s.GetPrintWidth().value);
    EXPECT_DOUBLE_EQ(5, s.GetPrintHeight().value);
    EXPECT_EQ(kTlUnitInches, s.GetPrintWidth().unit);
    EXPECT_DOUBLE_EQ(4.0 / 3, s.GetAspectRatio());
    EXPECT_EQ(CTlDblRect(0, 0, 3000, 4000), s.GetCropRect());
    EXPECT_EQ(s.GetCropRect(), s.GetLimitRect());
    EXPECT_EQ(0u, s.GetChangeFlags());
    EXPECT_EQ(kTlGeomValid, s.Validate(true));
}

struct SRefusedCase {
    const char* name;
    int (*change)(CTlGeometryStep&);
};

TEST(GeometrySteps, SnapshotRefusesEveryChange)
{
    const SRefusedCase cases[] = {
        {"crop rect", [](CTlGeometryStep& s) { return s.SetCropRect(CTlDblRect(1, 1, 20, 20), 0); }},
        {"crop rect values", [](CTlGeometryStep& s) { return s.SetCropRect(1, 1, 20, 20, 0); }},
        {"crop size", [](CTlGeometryStep& s) { return s.SetCropSize(20, 20, 0); }},
        {"move", [](CTlGeometryStep& s) { return s.MoveCropTo(5, 5); }},
        {"print width", [](CTlGeometryStep& s) { return s.SetPrintWidth(CTlMeasure::Length(2)); }},
        {"print height", [](CTlGeometryStep& s) { return s.SetPrintHeight(CTlMeasure::Length(2)); }},
        {"resolution", [](CTlGeometryStep& s) { return s.SetResolution(CTlMeasure::PixelsPerInch(2)); }},
        {"print resolution", [](CTlGeometryStep& s) { return s.SetPrintResolution(CTlMeasure::PixelsPerInch(2)); }},
        {"scale", [](CTlGeometryStep& s) { return s.SetScale(2); }},
        {"output width", [](CTlGeometryStep& s) { return s.SetOutputWidth(2); }},
        {"output height", [](CTlGeometryStep& s) { return s.SetOutputHeight(2); }},
        {"output area", [](CTlGeometryStep& s) { return s.SetOutputArea(2); }},
        {"place", [](CTlGeometryStep& s) { return s.PlaceCropRect(CTlDblRect(1, 1, 20, 20), 0); }},
    };
    for (const SRefusedCase& c : cases) {
        CTlSnapshotStep s = MakeSnapshot();
        const auto before = StoredBytes(s);
        EXPECT_EQ(1, c.change(s)) << c.name;
        EXPECT_EQ(before, StoredBytes(s)) << c.name;
        EXPECT_EQ(0u, s.GetChangeFlags()) << c.name;
    }
}

TEST(GeometrySteps, SnapshotBaseOperationsStillDoTheirOwnPart)
{
    CTlSnapshotStep s = MakeSnapshot();
    EXPECT_EQ(1, s.SetLimitRect(CTlDblRect(0, 0, 100, 100)));
    EXPECT_EQ(CTlDblRect(0, 0, 100, 100), s.GetLimitRect());
    EXPECT_EQ(CTlDblRect(0, 0, 3000, 4000), s.GetCropRect());
    EXPECT_EQ(0, s.SetMinResolution(CTlMeasure::PixelsPerInch(400)));
    EXPECT_EQ(400, s.GetMinResolution().value);
    EXPECT_EQ(300, s.GetResolution().value);
}

TEST(GeometrySteps, SnapshotAnswersNoCapability)
{
    const CTlSnapshotStep s = MakeSnapshot();
    for (auto query : kCapabilityQueries)
        EXPECT_FALSE((s.*query)());
    EXPECT_TRUE(CTlCropStep().CapabilityQuery1());
    EXPECT_TRUE(CTlSizeStep().CapabilityQuery15());
}

TEST(GeometrySteps, CopiesTakeThePrintResolutionAsRequested)
{
    const CTlSnapshotStep snapshot = MakeSnapshot();
    const CTlCropStep crop(snapshot);
    EXPECT_EQ(kTlStepTypeCrop, crop.GetType());
    EXPECT_EQ(CTlMeasure::PixelsPerInch(300), crop.GetRequestedResolution());
    EXPECT_EQ(StoredBytes(snapshot), StoredBytes(crop));
    EXPECT_EQ(CTlMeasure::PixelsPerInch(1), CTlSizeStep().GetRequestedResolution());
    EXPECT_EQ(kTlStepTypeSize, CTlSizeStep(crop).GetType());
    const CTlCropStep again(crop);
    EXPECT_EQ(StoredBytes(crop), StoredBytes(again));
    const CTlSnapshotStep copied(snapshot);
    EXPECT_EQ(StoredBytes(snapshot), StoredBytes(copied));
}

TEST(GeometrySteps, CropScaleIsHeldAtTheLargestScale)
{
    CTlCropStep crop(MakeSnapshot());
    EXPECT_EQ(2, crop.GetMaxScale());
    EXPECT_EQ(1.0 / 300, crop.GetMinScale());
    EXPECT_EQ(1, crop.SetScale(5));
    EXPECT_EQ(2, crop.GetScale());
    EXPECT_DOUBLE_EQ(600, crop.GetResolution().value);
    EXPECT_DOUBLE_EQ(4000, crop.GetOutputWidth());
    EXPECT_EQ(kTlGeomValid, crop.Validate(true));
}

TEST(GeometrySteps, CropOutputFollowsTheCrop)
{
    CTlCropStep crop(MakeSnapshot());
    EXPECT_EQ(0, crop.SetCropRect(CTlDblRect(100, 200, 1300, 2200), 0));
    EXPECT_DOUBLE_EQ(1000, crop.GetOutputWidth());
    EXPECT_DOUBLE_EQ(600, crop.GetOutputHeight());
    EXPECT_EQ(1, crop.SetCropRect(CTlDblRect(-100, 200, 1300, 2200), 0)) << "held inside the limit";
    EXPECT_EQ(kTlGeomValid, crop.Validate(true));
}

TEST(GeometrySteps, CropPrintResolutionKeepsPrintOrPixelSize)
{
    CTlCropStep printMode(MakeSnapshot());
    EXPECT_EQ(0, printMode.SetPrintResolution(CTlMeasure::PixelsPerInch(150)));
    EXPECT_DOUBLE_EQ(150, printMode.GetResolution().value);
    EXPECT_DOUBLE_EQ(1000, printMode.GetOutputWidth());
    EXPECT_DOUBLE_EQ(5, printMode.GetPrintHeight().value);
    EXPECT_EQ(CTlMeasure::PixelsPerInch(150), printMode.GetRequestedResolution());
    EXPECT_EQ(kTlGeomValid, printMode.Validate(true));
    EXPECT_EQ(1, printMode.SetPrintResolution(CTlMeasure::PixelsPerInch(1000))) << "held at S / Scale";
    EXPECT_DOUBLE_EQ(600, printMode.GetPrintResolution().value);

    CTlCropStep pixelMode(MakeSnapshot());
    pixelMode.SetPixelSizeMode(true);
    EXPECT_EQ(0, pixelMode.SetPrintResolution(CTlMeasure::PixelsPerInch(150)));
    EXPECT_DOUBLE_EQ(300, pixelMode.GetResolution().value);
    EXPECT_DOUBLE_EQ(2000, pixelMode.GetOutputWidth());
    EXPECT_DOUBLE_EQ(10, pixelMode.GetPrintHeight().value);
    EXPECT_DOUBLE_EQ(2, pixelMode.GetScale());
    EXPECT_EQ(kTlGeomValid, pixelMode.Validate(true));
}

TEST(GeometrySteps, SizeCropIsNeverSmallerThanTheOutput)
{
    CTlSizeStep size(MakeSnapshot());
    double w = 1000, h = 123;
    EXPECT_TRUE(size.ClampCropSize(w, h, 1));
    EXPECT_DOUBLE_EQ(2000, w);
    EXPECT_DOUBLE_EQ(1500, h);
    w = 3000, h = 0;
    EXPECT_FALSE(size.ClampCropSize(w, h, 1));
    EXPECT_DOUBLE_EQ(2250, h);
}

TEST(GeometrySteps, SizeCropSizeMovesBackInsideTheLimit)
{
    CTlSizeStep size(MakeSnapshot());
    size.SetCropRect(CTlDblRect(1000, 1000, 2500, 3000), 0);
    ASSERT_EQ(CTlDblRect(1000, 1000, 2500, 3000), size.GetCropRect());
    EXPECT_EQ(0, size.SetCropSize(3200, 2400, 1));
    EXPECT_EQ(CTlDblRect(600, 800, 3000, 4000), size.GetCropRect());
    EXPECT_DOUBLE_EQ(375, size.GetResolution().value);
    EXPECT_DOUBLE_EQ(2000, size.GetOutputWidth());
}

TEST(GeometrySteps, SizeRescaleToASmallerImageKeepsThePrintSize)
{
    CTlSizeStep size(MakeSnapshot());
    EXPECT_EQ(1, size.Rescale(1000, 1000, CTlMeasure::PixelsPerInch(1), CTlMeasure::PixelsPerInch(600)));
    EXPECT_DOUBLE_EQ(1000, size.GetOutputWidth());
    EXPECT_DOUBLE_EQ(750, size.GetOutputHeight());
    EXPECT_DOUBLE_EQ(4000.0 / 600, size.GetPrintWidth().value);
    EXPECT_DOUBLE_EQ(5, size.GetPrintHeight().value);
    EXPECT_DOUBLE_EQ(600, size.GetResolution().value);
    EXPECT_EQ(CTlDblRect(0, 0, 1000, 1000), size.GetLimitRect());
    EXPECT_EQ(size.GetCropRect(), size.GetReferenceRect());
    EXPECT_EQ(kTlGeomValid, size.Validate(true));
}

TEST(GeometrySteps, CropOutputWidthRaisesTheFlagsOfEverythingItMoved)
{
    CTlCropStep crop(MakeSnapshot());
    EXPECT_EQ(0, crop.SetOutputWidth(1000));
    EXPECT_DOUBLE_EQ(150, crop.GetResolution().value);
    EXPECT_DOUBLE_EQ(750, crop.GetOutputHeight());
    EXPECT_DOUBLE_EQ(0.5, crop.GetScale());
    const std::uint32_t moved = kTlGeomPrintWidth | kTlGeomPrintHeight | kTlGeomResolution | kTlGeomScale |
                                kTlGeomOutputWidth | kTlGeomOutputHeight | kTlGeomOutputArea;
    EXPECT_EQ(moved | kTlGeomPixelSizeMode, crop.GetChangeFlags());
    EXPECT_EQ(1, crop.SetOutputWidth(5000)) << "held at the crop width";
    EXPECT_DOUBLE_EQ(4000, crop.GetOutputWidth());
}

TEST(GeometrySteps, SizePlacedCropKeepsTheRightEdgeAndCentresVertically)
{
    CTlSizeStep size(MakeSnapshot());
    size.SaveReference();
    // Width leads (1), right edge stays (4): the narrow rectangle grows to
    // the output width leftwards and is centred on the reference.
    EXPECT_EQ(1, size.PlaceCropRect(CTlDblRect(0, 3000, 3000, 4000), 1 | 4));
    EXPECT_EQ(CTlDblRect(750, 2000, 2250, 4000), size.GetCropRect());
    EXPECT_DOUBLE_EQ(600, size.GetResolution().value);
    EXPECT_DOUBLE_EQ(2, size.GetScale());
    EXPECT_EQ(kTlGeomValid, size.Validate(true));
}

TEST(GeometrySteps, SizePrintWidthIsHeldToTheLimit)
{
    CTlSizeStep size(MakeSnapshot());
    EXPECT_EQ(0, size.SetPrintWidth(CTlMeasure::Length(20)));
    EXPECT_DOUBLE_EQ(4000, size.GetOutputWidth());
    EXPECT_DOUBLE_EQ(1000, size.GetOutputHeight());
    EXPECT_DOUBLE_EQ(200, size.GetPrintResolution().value);
    EXPECT_DOUBLE_EQ(600, size.GetResolution().value);
    EXPECT_EQ(CTlDblRect(0, 0, 1000, 4000), size.GetCropRect());
    EXPECT_DOUBLE_EQ(4, size.GetAspectRatio());
    EXPECT_FALSE(size.IsPixelSizeMode());
    EXPECT_EQ(kTlGeomValid, size.Validate(true));
}

TEST(GeometrySteps, SizePrintHeightIsHeldToTheLimit)
{
    CTlSizeStep size(MakeSnapshot());
    EXPECT_EQ(0, size.SetPrintHeight(CTlMeasure::Length(20)));
    EXPECT_DOUBLE_EQ(3000, size.GetOutputHeight());
    EXPECT_DOUBLE_EQ(1000, size.GetOutputWidth());
    EXPECT_DOUBLE_EQ(150, size.GetPrintResolution().value);
    EXPECT_DOUBLE_EQ(600, size.GetResolution().value);
    EXPECT_DOUBLE_EQ(4, size.GetScale());
    EXPECT_DOUBLE_EQ(1000, size.GetCropRect().Width());
    EXPECT_EQ(kTlGeomValid, size.Validate(true));
}

TEST(GeometrySteps, FactoriesReplaceTheHeldStep)
{
    EXPECT_EQ(kTlStepNoHolder, MakeCropStep(nullptr));
    CTlGeometryStep* held = nullptr;
    ASSERT_EQ(kTlStepMade, MakeCropStep(&held));
    ASSERT_NE(nullptr, held);
    EXPECT_EQ(kTlStepTypeCrop, held->GetType());
    delete held;

    held = new CTlSnapshotStep(MakeSnapshot());
    const auto stored = StoredBytes(*held);
    ASSERT_EQ(kTlStepMade, MakeSizeStep(&held));
    EXPECT_EQ(kTlStepTypeSize, held->GetType());
    EXPECT_EQ(stored, StoredBytes(*held));
    ASSERT_EQ(kTlStepMade, MakeCropStep(&held));
    EXPECT_EQ(kTlStepTypeCrop, held->GetType());
    delete held;
}

} // namespace
