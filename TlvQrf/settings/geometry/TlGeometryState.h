// The geometry settings record: one geometry step plus the image's
// orientation (mirror flag and rotation in quarter turns). It works in a
// space of twice the image's pixel size, so the step's output size in pixels
// equals the image's size. It owns its step and never throws.
#pragma once

#include "settings/geometry/TlDblRect.h"
#include "settings/geometry/TlGeometryStep.h"
#include "settings/geometry/TlMeasure.h"
#include "settings/geometry/TlRect.h"
#include "settings/record/TlState.h"

#include <cstdint>

// Error codes the record keeps.
enum : int {
    kTlGeometryNoStep = 31000,      // a step could not be created
    kTlGeometryUnknownStep = 31001, // a step type that is neither 'Crop' nor 'Size'
};

class CTlGeometryState : public ITlState {
public:
    CTlGeometryState();
    // The whole width x height image at `resolution`; `sourceRect`, when
    // given, is the crop in image pixels.
    CTlGeometryState(unsigned width, unsigned height, const CTlRect* sourceRect, double resolution);
    CTlGeometryState(const CTlGeometryState& other);
    CTlGeometryState& operator=(const CTlGeometryState& other);
    ~CTlGeometryState();

    // The operations below keep their fixed order. Step operations return
    // the step's result, or 1 when there is no step.

    // Stored form.
    int Save(unsigned char* buffer, int size) override;
    // The shared body of the interface slot: always 0. The real loader is
    // the four-argument form.
    int Load(const unsigned char* buffer, int size) override;
    const TlGuid* GetID() const override;

    virtual void SetError(int code);
    virtual int GetError() const;
    // The output is the whole image at the source's pixel size.
    virtual bool IsUncropped() const;
    // Unit conversions: length types 1 inch, 2 cm, 3 mm, 4 pica, 5 point;
    // resolution types 0 pixels per inch, 1 pixels per centimetre.
    virtual double LengthIn(double inches, int unitType) const;
    virtual double ResolutionIn(double pixelsPerInch, int unitType) const;
    virtual CTlMeasure MakeLength(double value, int unitType) const;
    virtual CTlMeasure MakeResolution(double value, int unitType) const;

    virtual int SaveReference();
    virtual int PlaceCropRect(const CTlDblRect& rect, int flags);
    virtual int PlaceCropRect(double left, double top, double right, double bottom, int flags);
    virtual int SetCropRect(const CTlDblRect& rect, int flags);
    virtual int SetCropRect(double left, double top, double right, double bottom, int flags);
    virtual int SetCropSize(double width, double height, int flags);
    virtual int MoveCropTo(double x, double y);
    virtual int SetLimitRect(const CTlDblRect& rect);
    virtual int SetLimitSize(double width, double height);
    // The print and output sizes also bring the pixel-size mode in line.
    virtual int SetPrintWidth(const CTlMeasure& width);
    virtual int SetPrintHeight(const CTlMeasure& height);
    virtual int SetResolution(const CTlMeasure& resolution);
    virtual int SetMinResolution(const CTlMeasure& resolution);
    virtual int SetSourceResolution(const CTlMeasure& resolution);
    // keepPixelSize: the output size in pixels stays, the print size follows.
    virtual int SetPrintResolution(const CTlMeasure& resolution, bool keepPixelSize);
    virtual int SetScale(double scale);
    virtual int SetOutputWidth(double width);
    virtual int SetOutputHeight(double height);
    virtual int SetOutputArea(double area);
    // True when the value had to be limited (false without a step).
    virtual bool ClampOutputWidth(double& width);
    virtual bool ClampOutputHeight(double& height);

    // Orientation-keeping turns: the orientation follows, then the step turns.
    virtual int FlipHorizontal();
    virtual int FlipVertical();
    virtual int RotateClockwise();
    virtual int RotateCounterClockwise();

    virtual double GetMinScale() const;
    virtual double GetMaxScale() const;
    virtual void GetCropRect(CTlDblRect& out) const;
    virtual void GetLimitRect(CTlDblRect& out) const;
    virtual void GetBoundsRect(CTlDblRect& out) const;
    virtual double GetImageWidth() const;
    virtual double GetImageHeight() const;
    virtual void GetPrintWidth(CTlMeasure& out) const;
    virtual void GetPrintHeight(CTlMeasure& out) const;
    // The step's own values; null without a step.
    virtual const CTlMeasure* GetResolution() const;
    virtual const CTlMeasure* GetMinResolution() const;
    virtual const CTlMeasure* GetSourceResolution() const;
    virtual const CTlMeasure* GetPrintResolution() const;
    virtual double GetScale() const;
    // Whole pixels, at least 1.
    virtual double GetOutputWidth() const;
    virtual double GetOutputHeight() const;
    virtual double GetOutputArea() const;
    // Sizes; a null pointer is skipped. Each returns 0.
    virtual int GetCropSize(double* width, double* height) const;
    virtual int GetCropPixelSize(int* width, int* height) const;
    virtual int GetLimitSize(double* width, double* height) const;

    // Change flags of the step: cleared by the owner once seen.
    virtual void ClearChanges();
    virtual bool IsCropChanged() const;
    virtual bool IsCropOriginChanged() const;
    virtual bool IsCropWidthChanged() const;
    virtual bool IsCropHeightChanged() const;
    virtual bool IsCropSizeChanged() const;
    virtual bool IsPrintWidthChanged() const;
    virtual bool IsPrintHeightChanged() const;
    virtual bool IsPrintSizeChanged() const;
    virtual bool IsResolutionChanged() const;
    virtual bool IsPrintResolutionChanged() const;
    virtual bool IsScaleChanged() const;
    virtual bool IsScaleRangeChanged() const;
    virtual bool IsOutputWidthChanged() const;
    virtual bool IsOutputHeightChanged() const;
    virtual bool IsOutputSizeChanged() const;
    virtual bool IsOutputAreaChanged() const;
    // The step's capabilities (false without a step).
    virtual bool CapabilityQuery1() const;
    virtual bool CapabilityQuery2() const;
    virtual bool CapabilityQuery3() const;
    virtual bool CapabilityQuery4() const;
    virtual bool CapabilityQuery5() const;
    virtual bool CapabilityQuery6() const;
    virtual bool CapabilityQuery7() const;
    virtual bool CapabilityQuery8() const;
    virtual bool CapabilityQuery9() const;
    virtual bool CapabilityQuery10() const;
    virtual bool CapabilityQuery11() const;
    virtual bool CapabilityQuery12() const;
    virtual bool CapabilityQuery13() const;
    virtual bool CapabilityQuery14() const;
    virtual bool CapabilityQuery15() const;
    virtual bool CapabilityQuery16() const;
    virtual bool IsChanged() const;

    virtual void ResetOrientation();
    virtual void SetRotation(int mirrored, int angle, bool relative);
    // Between unrotated source coordinates and the step's coordinates.
    virtual void ToOriented(CTlDblRect& rect, const CTlDblRect& image) const;
    virtual void FromOriented(CTlDblRect& rect, const CTlDblRect& image) const;
    virtual int PointToOriented(double point[2], const CTlDblRect& image) const;
    virtual int PointFromOriented(double point[2], const CTlDblRect& image) const;
    // Whole-pixel output.
    virtual void GetOutputRect(CTlDblRect& out, bool oriented) const;
    virtual void GetLimitOutputRect(CTlDblRect& out, bool oriented) const;
    virtual void GetImageOutputRect(CTlDblRect& out, bool oriented) const;

    // Step type: 'Crop' or 'Size'. True when it failed.
    virtual bool SetStepType(std::uint32_t tag);
    virtual std::uint32_t GetType() const;
    virtual CTlGeometryStep** GetStepHolder();
    // Loads a stored geometry and adapts it to this record's orientation and
    // to a width x height image (0, 0: unknown). 0 when refused; the record
    // is then unchanged.
    virtual int Load(const unsigned char* buffer, int size, int width, int height);
    // Image-size changes.
    virtual int ResetToFullImage(const CTlMeasure& resolution);
    virtual int ResizeToImage(int width, int height);
    virtual void GetScaledOutputRect(CTlRect& out, bool oriented) const;
    virtual double GetSourceScaleFactor() const;
    virtual bool IsSizeChanged() const;
    virtual void SyncPixelSizeMode();
    virtual std::uint16_t GetLoadedVersion() const;

    // Null only when no step could ever be made.
    CTlGeometryStep* GetStep() const { return m_step; }
    int GetMirrored() const { return Mirrored; }
    int GetRotation() const { return Rotation; }

    // Stored from version 5 and copied; its meaning belongs to its reader.
    std::uint8_t OrientationFlag = 0;

private:
    // The sized constructor's work once the step exists.
    void PlaceSized(unsigned width2, unsigned height2, const CTlRect* sourceRect);
    // A whole-pixel rectangle of `rect` kept inside the floored image.
    void WholeRect(const CTlDblRect& rect, CTlDblRect& out, bool oriented) const;
    bool AnyChange(std::uint32_t bits) const;

    CTlGeometryStep* m_step = nullptr;
    int ErrorCode = 0;
    int Mirrored = 0;
    int Rotation = 0;
    std::uint16_t LoadedVersion = 0;
};
