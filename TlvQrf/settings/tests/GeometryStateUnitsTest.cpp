#include "settings/geometry/TlGeometryState.h"

#include <gtest/gtest.h>

namespace {

struct LengthCase {
    int unitType;
    double perInch; // 0: unknown type
};

const LengthCase kLengths[] = {{1, 1}, {2, 2.54}, {3, 25.4}, {4, 6}, {5, 72}, {0, 0}, {6, 0}, {-1, 0}};

TEST(GeometryStateUnits, LengthsConvertBothWays)
{
    for (const LengthCase& c : kLengths) {
        SCOPED_TRACE(c.unitType);
        EXPECT_DOUBLE_EQ(3 * c.perInch, CTlGeometryState().LengthIn(3, c.unitType));
        const CTlMeasure m = CTlGeometryState().MakeLength(c.perInch == 0 ? 7 : 7 * c.perInch, c.unitType);
        EXPECT_DOUBLE_EQ(7, m.value);
        EXPECT_EQ(kTlUnitInches, m.unit);
    }
}

TEST(GeometryStateUnits, ResolutionsConvertBothWays)
{
    EXPECT_EQ(300, CTlGeometryState().ResolutionIn(300, 0));
    EXPECT_DOUBLE_EQ(254 / 2.54, CTlGeometryState().ResolutionIn(254, 1));
    EXPECT_EQ(0, CTlGeometryState().ResolutionIn(300, 2));
    EXPECT_DOUBLE_EQ(254, CTlGeometryState().MakeResolution(100, 1).value);
    EXPECT_EQ(100, CTlGeometryState().MakeResolution(100, 0).value);
    EXPECT_EQ(kTlUnitPixelsPerInch, CTlGeometryState().MakeResolution(100, 1).unit);
}

TEST(GeometryStateSizes, SizesSkipNullPointers)
{
    const CTlRect source(5, 10, 25, 40);
    CTlGeometryState record(100, 50, &source, 300);
    double w = 0, h = 0;
    EXPECT_EQ(0, record.GetCropSize(&w, &h));
    EXPECT_EQ(60, w);
    EXPECT_EQ(40, h);
    EXPECT_EQ(0, record.GetCropSize(nullptr, &h));
    EXPECT_EQ(0, record.GetLimitSize(&w, nullptr));
    EXPECT_EQ(200, w);
    int pw = 0, ph = 0;
    EXPECT_EQ(0, record.GetCropPixelSize(&pw, &ph));
    EXPECT_EQ(60, pw);
    EXPECT_EQ(40, ph);
}

TEST(GeometryStateSizes, ChangesAreClearedAndSeen)
{
    CTlGeometryState record(100, 50, nullptr, 300);
    record.ClearChanges();
    EXPECT_FALSE(record.IsChanged());
    EXPECT_FALSE(record.IsCropChanged());
    EXPECT_FALSE(record.IsSizeChanged());
    record.GetStep()->SetCropRect(CTlDblRect(10, 10, 60, 110), 0);
    EXPECT_TRUE(record.IsChanged());
    EXPECT_TRUE(record.IsCropChanged());
    EXPECT_TRUE(record.IsSizeChanged());
    record.ClearChanges();
    EXPECT_FALSE(record.IsChanged());
}

TEST(GeometryStateSizes, SetPrintResolutionRestoresThePixelSizeMode)
{
    for (bool keep : {false, true}) {
        CTlGeometryState record(100, 50, nullptr, 300);
        const bool before = record.GetStep()->IsPixelSizeMode();
        record.SetPrintResolution(CTlMeasure::PixelsPerInch(150), keep);
        EXPECT_EQ(before, record.GetStep()->IsPixelSizeMode());
        EXPECT_EQ(150, record.GetStep()->GetPrintResolution().value);
    }
}

} // namespace

namespace {

// Forwarded operations leave the record answering as the step does, and the
// size setters keep the pixel-size mode tied to the step type.
TEST(GeometryStateForward, ForwardedChangesReachTheStep)
{
    for (std::uint32_t type : {std::uint32_t(kTlStepTypeCrop), std::uint32_t(kTlStepTypeSize)}) {
        CTlGeometryState record(100, 50, nullptr, 300);
        record.SetStepType(type);
        record.SetCropRect(CTlDblRect(10, 20, 60, 120), 0);
        CTlDblRect crop;
        record.GetCropRect(crop);
        EXPECT_EQ(record.GetStep()->GetCropRect(), crop);
        record.SetOutputWidth(40);
        EXPECT_EQ(type == kTlStepTypeSize, record.GetStep()->IsPixelSizeMode());
        record.SetPrintWidth(CTlMeasure::Length(2));
        EXPECT_EQ(type == kTlStepTypeSize, record.GetStep()->IsPixelSizeMode());
        EXPECT_EQ(200, record.GetImageWidth());
        EXPECT_EQ(100, record.GetImageHeight());
        EXPECT_EQ(record.GetStep()->GetScale(), record.GetScale());
    }
}

} // namespace
