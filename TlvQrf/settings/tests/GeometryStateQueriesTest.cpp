// The record's change tests and forwarded queries, checked against the step's
// own change bits and answers.
#include "settings/geometry/TlGeometryState.h"
#include "GeometryTestStep.h"

#include <gtest/gtest.h>

namespace {

using Query = bool (CTlGeometryState::*)() const;

struct SChangeTest {
    const char* name;
    Query query;
    std::uint32_t bits;
};

const SChangeTest kChangeTests[] = {
    {"CropOrigin", &CTlGeometryState::IsCropOriginChanged, kTlGeomCropOrigin},
    {"CropWidth", &CTlGeometryState::IsCropWidthChanged, kTlGeomCropWidth},
    {"CropHeight", &CTlGeometryState::IsCropHeightChanged, kTlGeomCropHeight},
    {"CropSize", &CTlGeometryState::IsCropSizeChanged, kTlGeomCropWidth | kTlGeomCropHeight},
    {"Crop", &CTlGeometryState::IsCropChanged, kTlGeomCropOrigin | kTlGeomCropWidth | kTlGeomCropHeight},
    {"PrintWidth", &CTlGeometryState::IsPrintWidthChanged, kTlGeomPrintWidth},
    {"PrintHeight", &CTlGeometryState::IsPrintHeightChanged, kTlGeomPrintHeight},
    {"PrintSize", &CTlGeometryState::IsPrintSizeChanged, kTlGeomPrintWidth | kTlGeomPrintHeight},
    {"Resolution", &CTlGeometryState::IsResolutionChanged, kTlGeomResolution},
    {"PrintResolution", &CTlGeometryState::IsPrintResolutionChanged, kTlGeomPrintResolution},
    {"Scale", &CTlGeometryState::IsScaleChanged, kTlGeomScale},
    {"ScaleRange", &CTlGeometryState::IsScaleRangeChanged, kTlGeomScaleRange},
    {"OutputWidth", &CTlGeometryState::IsOutputWidthChanged, kTlGeomOutputWidth},
    {"OutputHeight", &CTlGeometryState::IsOutputHeightChanged, kTlGeomOutputHeight},
    {"OutputSize", &CTlGeometryState::IsOutputSizeChanged, kTlGeomOutputWidth | kTlGeomOutputHeight},
    {"OutputArea", &CTlGeometryState::IsOutputAreaChanged, kTlGeomOutputArea},
    {"Size", &CTlGeometryState::IsSizeChanged,
     kTlGeomCropWidth | kTlGeomCropHeight | kTlGeomOutputWidth | kTlGeomOutputHeight | kTlGeomScale},
    {"Any", &CTlGeometryState::IsChanged, kTlGeomAllChanges},
};

// Puts a test step into the record so that its change bits can be set.
CTestStep* GiveTestStep(CTlGeometryState& record)
{
    CTlGeometryStep** holder = record.GetStepHolder();
    delete *holder;
    auto* step = new CTestStep;
    *holder = step;
    return step;
}

} // namespace

TEST(GeometryStateQueries, EachChangeTestAnswersForItsOwnBits)
{
    CTlGeometryState record;
    CTestStep* step = GiveTestStep(record);
    for (int bit = 0; bit < 12; ++bit) {
        step->ChangeFlags = 1u << bit;
        for (const SChangeTest& test : kChangeTests)
            EXPECT_EQ((test.bits & (1u << bit)) != 0, (record.*test.query)()) << test.name << " bit " << bit;
    }
    step->ChangeFlags = kTlGeomPixelSizeMode;
    for (const SChangeTest& test : kChangeTests)
        EXPECT_FALSE((record.*test.query)()) << test.name << ": the pixel-size mode is not a change";
}

TEST(GeometryStateQueries, ClearChangesKeepsTheScaleRangeAndTheMode)
{
    CTlGeometryState record;
    CTestStep* step = GiveTestStep(record);
    step->ChangeFlags = kTlGeomAllChanges | kTlGeomPixelSizeMode;
    record.ClearChanges();
    EXPECT_EQ(kTlGeomScaleRange | kTlGeomPixelSizeMode, step->ChangeFlags);
}

TEST(GeometryStateQueries, ForwardsAnswerWhatTheStepAnswers)
{
    CTlGeometryState record(400, 300, nullptr, 240);
    const CTlGeometryStep* step = record.GetStep();
    static const Query kRecordCapabilities[] = {
        &CTlGeometryState::CapabilityQuery1,  &CTlGeometryState::CapabilityQuery2,  &CTlGeometryState::CapabilityQuery3,
        &CTlGeometryState::CapabilityQuery4,  &CTlGeometryState::CapabilityQuery5,  &CTlGeometryState::CapabilityQuery6,
        &CTlGeometryState::CapabilityQuery7,  &CTlGeometryState::CapabilityQuery8,  &CTlGeometryState::CapabilityQuery9,
        &CTlGeometryState::CapabilityQuery10, &CTlGeometryState::CapabilityQuery11, &CTlGeometryState::CapabilityQuery12,
        &CTlGeometryState::CapabilityQuery13, &CTlGeometryState::CapabilityQuery14, &CTlGeometryState::CapabilityQuery15,
        &CTlGeometryState::CapabilityQuery16,
    };
    for (int i = 0; i < kCapabilityQueryCount; ++i)
        EXPECT_EQ((step->*kCapabilityQueries[i])(), (record.*kRecordCapabilities[i])()) << "query " << i + 1;

    EXPECT_EQ(&step->GetResolution(), record.GetResolution());
    EXPECT_EQ(&step->GetMinResolution(), record.GetMinResolution());
    EXPECT_EQ(&step->GetSourceResolution(), record.GetSourceResolution());
    EXPECT_EQ(&step->GetPrintResolution(), record.GetPrintResolution());
    EXPECT_EQ(step->GetMinScale(), record.GetMinScale());
    EXPECT_EQ(step->GetMaxScale(), record.GetMaxScale());
    CTlMeasure width;
    CTlMeasure height;
    record.GetPrintWidth(width);
    record.GetPrintHeight(height);
    EXPECT_EQ(step->GetPrintWidth().value, width.value);
    EXPECT_EQ(step->GetPrintHeight().value, height.value);
}

// The four-value forms take left, top, right, bottom; rectangles keep top first.
TEST(GeometryStateQueries, CropRectOfFourValuesEqualsTheRectangleForm)
{
    CTlGeometryState byValues(400, 300, nullptr, 300);
    CTlGeometryState byRect(400, 300, nullptr, 300);
    EXPECT_EQ(byRect.SetCropRect(CTlDblRect(40, 20, 500, 300), 0), byValues.SetCropRect(20, 40, 300, 500, 0));
    CTlDblRect a;
    CTlDblRect b;
    byValues.GetCropRect(a);
    byRect.GetCropRect(b);
    EXPECT_EQ(b, a);
    EXPECT_EQ(byRect.PlaceCropRect(CTlDblRect(0, 0, 100, 100), 0), byValues.PlaceCropRect(0, 0, 100, 100, 0));
    byValues.GetCropRect(a);
    byRect.GetCropRect(b);
    EXPECT_EQ(b, a);
}

TEST(GeometryStateQueries, ARecordWithoutAStepAnswersSafely)
{
    CTlGeometryState record;
    CTlGeometryStep** holder = record.GetStepHolder();
    delete *holder;
    *holder = nullptr;
    EXPECT_EQ(nullptr, record.GetResolution());
    EXPECT_EQ(nullptr, record.GetPrintResolution());
    EXPECT_FALSE(record.IsChanged());
    EXPECT_FALSE(record.CapabilityQuery1());
    EXPECT_EQ(1, record.SetMinResolution(CTlMeasure::PixelsPerInch(72)));
    double width = 5;
    EXPECT_FALSE(record.ClampOutputWidth(width));
    EXPECT_EQ(5, width);
    record.ClearChanges();
}
