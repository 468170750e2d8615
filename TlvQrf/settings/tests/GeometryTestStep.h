// Test access to a geometry step: its fields and protected clamps, and the
// helpers the geometry tests share.
#pragma once

#include "settings/geometry/TlGeometryStep.h"

#include <vector>

class CTestStep : public CTlGeometryStep {
public:
    using CTlGeometryStep::AspectRatio;
    using CTlGeometryStep::ChangeFlags;
    using CTlGeometryStep::ClampCropOrigin;
    using CTlGeometryStep::ClampLength;
    using CTlGeometryStep::ClampResolution;
    using CTlGeometryStep::ClampResolutionValue;
    using CTlGeometryStep::ClampScale;
    using CTlGeometryStep::CropRect;
    using CTlGeometryStep::ImageHeight;
    using CTlGeometryStep::ImageWidth;
    using CTlGeometryStep::KeepCropInsideLimit;
    using CTlGeometryStep::LimitRect;
    using CTlGeometryStep::MinResolution;
    using CTlGeometryStep::OutputArea;
    using CTlGeometryStep::OutputHeight;
    using CTlGeometryStep::OutputWidth;
    using CTlGeometryStep::PrintHeight;
    using CTlGeometryStep::PrintResolution;
    using CTlGeometryStep::PrintWidth;
    using CTlGeometryStep::ReferenceRect;
    using CTlGeometryStep::Resolution;
    using CTlGeometryStep::Scale;
    using CTlGeometryStep::SourceResolution;
};

// Every capability query, in slot order.
constexpr int kCapabilityQueryCount = 16;
inline bool (CTlGeometryStep::*const kCapabilityQueries[kCapabilityQueryCount])() const = {
    &CTlGeometryStep::CapabilityQuery1,  &CTlGeometryStep::CapabilityQuery2,  &CTlGeometryStep::CapabilityQuery3,
    &CTlGeometryStep::CapabilityQuery4,  &CTlGeometryStep::CapabilityQuery5,  &CTlGeometryStep::CapabilityQuery6,
    &CTlGeometryStep::CapabilityQuery7,  &CTlGeometryStep::CapabilityQuery8,  &CTlGeometryStep::CapabilityQuery9,
    &CTlGeometryStep::CapabilityQuery10, &CTlGeometryStep::CapabilityQuery11, &CTlGeometryStep::CapabilityQuery12,
    &CTlGeometryStep::CapabilityQuery13, &CTlGeometryStep::CapabilityQuery14, &CTlGeometryStep::CapabilityQuery15,
    &CTlGeometryStep::CapabilityQuery16,
};

// A consistent frame over a width x height image, the crop the whole image.
inline void MakeFrame(CTlGeometryStep& step, double width, double height, double minRes, double sourceRes)
{
    step.Rescale(width, height, CTlMeasure::PixelsPerInch(minRes), CTlMeasure::PixelsPerInch(sourceRes));
}

// The step's full stored form.
inline std::vector<unsigned char> StoredBytes(const CTlGeometryStep& step)
{
    std::vector<unsigned char> bytes(TlGeometryStepLayout::kSize);
    unsigned size = static_cast<unsigned>(bytes.size());
    step.Write(bytes.data(), size);
    return bytes;
}
