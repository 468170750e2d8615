// What the 'Crop' and 'Size' steps share: the print resolution last asked
// for, placing a crop rectangle inside the limit, moving the crop, the
// largest scale, and the small helpers their setters are written with.
#pragma once

#include "settings/geometry/TlGeometryStep.h"

class CTlAdjustingStep : public CTlGeometryStep {
public:
    using CTlGeometryStep::SetCropRect;
    // The rectangle is held inside the limit and its size set through
    // SetCropSize; the first non-zero clamp result is returned.
    int SetCropRect(const CTlDblRect& rect, int flags) override;
    int MoveCropTo(double x, double y) override;
    double GetMaxScale() const override;

    const CTlMeasure& GetRequestedResolution() const { return RequestedResolution; }

protected:
    CTlAdjustingStep();
    // A copy of any step; the requested resolution becomes its print resolution.
    explicit CTlAdjustingStep(const CTlGeometryStep& step);

    // Runs `change` under the change protocol and returns its clamp result.
    template <class Change>
    int ChangingClamped(Change change)
    {
        bool clamped = false;
        Changing([&] { clamped = change(); });
        return clamped ? 1 : 0;
    }

    void SetResolutionValue(double ppi) { Resolution = CTlMeasure::PixelsPerInch(ppi); }
    void SetPrintResolutionValue(double ppi) { PrintResolution = CTlMeasure::PixelsPerInch(ppi); }
    void SetPrintSize(double width, double height);
    void UpdateOutputArea() { OutputArea = OutputWidth * OutputHeight; }
    void ScaleFromResolution() { Scale = Resolution.value / PrintResolution.value; }
    // Output size and area from the print size at the print resolution.
    void OutputFromPrint();
    // Print size and scale from the output size, in pixel-size mode.
    void PrintFromOutput();
    // The end of a change given in pixels: scale, area, pixel-size mode.
    void EndPixelSizeChange();
    // The crop width or height changed with its origin kept, then moved
    // back left or up when it ends beyond the limit.
    void SetCropWidthInside(double width);
    void SetCropHeightInside(double height);
    // `area` held within [cw x ch x (Min / S)^2, cw x ch]; true when changed.
    bool ClampOutputArea(double& area) const;

    CTlMeasure RequestedResolution;
};
