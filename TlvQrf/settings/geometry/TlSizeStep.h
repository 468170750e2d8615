// The 'Size' step: the output size is fixed and the crop follows it within
// the image. Crop sizes keep the aspect ratio and never fall below the output.
#pragma once

#include "settings/geometry/TlAdjustingStep.h"

class CTlSizeStep : public CTlAdjustingStep {
public:
    CTlSizeStep() = default;
    explicit CTlSizeStep(const CTlGeometryStep& step) : CTlAdjustingStep(step) {}
    CTlSizeStep(const CTlSizeStep& step) : CTlAdjustingStep(static_cast<const CTlGeometryStep&>(step)) {}

    // flags & 3: 1 the width leads, 2 the height leads, else the side that
    // would have to grow more leads.
    bool ClampCropSize(double& width, double& height, int flags) override;
    std::uint32_t GetType() const override;
    using CTlAdjustingStep::PlaceCropRect;
    // flags 0x4: the right edge stays; 0x8: the bottom edge stays.
    int PlaceCropRect(const CTlDblRect& rect, int flags) override;
    int SetCropSize(double width, double height, int flags) override;
    int SetPrintWidth(const CTlMeasure& width) override;
    int SetPrintHeight(const CTlMeasure& height) override;
    int SetResolution(const CTlMeasure& resolution) override;
    int SetPrintResolution(const CTlMeasure& resolution) override;
    int SetScale(double scale) override;
    int SetOutputWidth(double width) override;
    int SetOutputHeight(double height) override;
    int SetOutputArea(double area) override;
    double GetMinScale() const override;
    int Rescale(double width, double height, const CTlMeasure& minResolution,
                const CTlMeasure& sourceResolution) override;

private:
    // Resolution from the print resolution and scale, held so the output
    // fits the limit, then the crop that this output needs.
    void FollowPrintSize();
    // The crop that the output size needs at the current resolution.
    void CropFromOutput();
};
