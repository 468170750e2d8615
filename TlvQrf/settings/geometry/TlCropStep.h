// The 'Crop' step: the output follows the chosen crop. Changing the crop,
// print size, resolution or scale recomputes the output size in pixels.
#pragma once

#include "settings/geometry/TlAdjustingStep.h"

class CTlCropStep : public CTlAdjustingStep {
public:
    CTlCropStep() = default;
    explicit CTlCropStep(const CTlGeometryStep& step) : CTlAdjustingStep(step) {}
    CTlCropStep(const CTlCropStep& step) : CTlAdjustingStep(static_cast<const CTlGeometryStep&>(step)) {}

    std::uint32_t GetType() const override;
    int SetCropSize(double width, double height, int flags) override;
    int SetPrintWidth(const CTlMeasure& width) override;
    int SetPrintHeight(const CTlMeasure& height) override;
    int SetResolution(const CTlMeasure& resolution) override;
    int SetPrintResolution(const CTlMeasure& resolution) override;
    int SetScale(double scale) override;
    int SetOutputWidth(double width) override;
    int SetOutputHeight(double height) override;
    int SetOutputArea(double area) override;
    bool ClampOutputWidth(double& width) override;
    bool ClampOutputHeight(double& height) override;
    double GetMinScale() const override;

private:
    // Resolution, output and print resolution from the print width at the
    // requested resolution.
    void FollowPrintWidth();
};
