// The read-only geometry step ('DSet'): it holds a full geometry but refuses
// every change of crop, sizes and resolutions. The geometry record uses it as
// the intermediate object when it copies or builds a step.
#pragma once

#include "settings/geometry/TlGeometryStep.h"

class CTlSnapshotStep : public CTlGeometryStep {
public:
    // The whole width x height image at `resolution`, printed at the same
    // resolution; the print size follows from the source resolution.
    CTlSnapshotStep(double width, double height, const CTlMeasure& resolution, const CTlMeasure& minResolution,
                    const CTlMeasure& sourceResolution);
    explicit CTlSnapshotStep(const CTlGeometryStep& step);
    CTlSnapshotStep(const CTlSnapshotStep& step) : CTlSnapshotStep(static_cast<const CTlGeometryStep&>(step)) {}

    std::uint32_t GetType() const override;
    // Refused changes: they return 1 and change nothing.
    using CTlGeometryStep::SetCropRect;
    int SetCropRect(const CTlDblRect& rect, int flags) override;
    int SetCropSize(double width, double height, int flags) override;
    int MoveCropTo(double x, double y) override;
    int SetPrintWidth(const CTlMeasure& width) override;
    int SetPrintHeight(const CTlMeasure& height) override;
    int SetResolution(const CTlMeasure& resolution) override;
    int SetPrintResolution(const CTlMeasure& resolution) override;
    int SetScale(double scale) override;
    int SetOutputWidth(double width) override;
    int SetOutputHeight(double height) override;
    int SetOutputArea(double area) override;
    // Every capability leaf answers false.
    bool CapabilityQuery2() const override;
    bool CapabilityQuery3() const override;
    bool CapabilityQuery4() const override;
    bool CapabilityQuery6() const override;
    bool CapabilityQuery7() const override;
    bool CapabilityQuery9() const override;
    bool CapabilityQuery10() const override;
    bool CapabilityQuery11() const override;
    bool CapabilityQuery12() const override;
    bool CapabilityQuery13() const override;
    bool CapabilityQuery15() const override;
};
