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

    // Stored form.
    int Save(unsigned char* buffer, int size) override;
    // The shared body of the interface slot: always 0. The real loader is
    // the four-argument form.
    int Load(const unsigned char* buffer, int size) override;
    const TlGuid* GetID() const override;
    // Loads a stored geometry and adapts it to this record's orientation and
    // to a width x height image (0, 0: unknown). 0 when refused; the record
    // is then unchanged.
    int Load(const unsigned char* buffer, int size, int width, int height);
    std::uint16_t GetLoadedVersion() const { return LoadedVersion; }

    void SetError(int code) { ErrorCode = code; }
    int GetError() const { return ErrorCode; }

    // Step type: 'Crop' or 'Size'. True when it failed.
    bool SetStepType(std::uint32_t tag);
    std::uint32_t GetType() const;
    CTlGeometryStep** GetStepHolder() { return &m_step; }
    // Null only when no step could ever be made.
    CTlGeometryStep* GetStep() const { return m_step; }
    void SyncPixelSizeMode();

    // Orientation.
    int GetMirrored() const { return Mirrored; }
    int GetRotation() const { return Rotation; }
    void ResetOrientation();
    void SetRotation(int mirrored, int angle, bool relative);
    int FlipHorizontal();
    int FlipVertical();
    int RotateClockwise();
    int RotateCounterClockwise();
    // Between unrotated source coordinates and the step's coordinates.
    void ToOriented(CTlDblRect& rect, const CTlDblRect& image) const;
    void FromOriented(CTlDblRect& rect, const CTlDblRect& image) const;
    int PointToOriented(double point[2], const CTlDblRect& image) const;
    int PointFromOriented(double point[2], const CTlDblRect& image) const;

    // Whole-pixel output.
    void GetBoundsRect(CTlDblRect& out) const;
    double GetOutputWidth() const;
    double GetOutputHeight() const;
    void GetOutputRect(CTlDblRect& out, bool oriented) const;
    void GetLimitOutputRect(CTlDblRect& out, bool oriented) const;
    void GetImageOutputRect(CTlDblRect& out, bool oriented) const;
    void GetScaledOutputRect(CTlRect& out, bool oriented) const;
    double GetSourceScaleFactor() const;
    bool IsUncropped() const;

    // Forwarded to the step, with its result (1 when there is no step).
    int SaveReference();
    int PlaceCropRect(const CTlDblRect& rect, int flags);
    int SetCropRect(const CTlDblRect& rect, int flags);
    int SetCropSize(double width, double height, int flags);
    int MoveCropTo(double x, double y);
    int SetLimitRect(const CTlDblRect& rect);
    int SetLimitSize(double width, double height);
    // The print and output sizes also bring the pixel-size mode in line.
    int SetPrintWidth(const CTlMeasure& width);
    int SetPrintHeight(const CTlMeasure& height);
    int SetResolution(const CTlMeasure& resolution);
    int SetScale(double scale);
    int SetOutputWidth(double width);
    int SetOutputHeight(double height);
    int SetOutputArea(double area);
    void GetCropRect(CTlDblRect& out) const;
    void GetLimitRect(CTlDblRect& out) const;
    double GetImageWidth() const;
    double GetImageHeight() const;
    double GetScale() const;

    // Sizes; a null pointer is skipped. Each returns 0.
    double GetOutputArea() const;
    int GetCropSize(double* width, double* height) const;
    int GetCropPixelSize(int* width, int* height) const;
    int GetLimitSize(double* width, double* height) const;
    // keepPixelSize: the output size in pixels stays, the print size follows.
    int SetPrintResolution(const CTlMeasure& resolution, bool keepPixelSize);

    // Change flags of the step.
    void ClearChanges();
    bool IsChanged() const;
    bool IsCropChanged() const;
    bool IsSizeChanged() const;

    // Unit conversions: length types 1 inch, 2 cm, 3 mm, 4 pica, 5 point;
    // resolution types 0 pixels per inch, 1 pixels per centimetre.
    static double LengthIn(double inches, int unitType);
    static double ResolutionIn(double pixelsPerInch, int unitType);
    static CTlMeasure MakeLength(double value, int unitType);
    static CTlMeasure MakeResolution(double value, int unitType);

    // Image-size changes.
    int ResetToFullImage(const CTlMeasure& resolution);
    int ResizeToImage(int width, int height);

    // Stored from version 5 and copied; its meaning belongs to its reader.
    std::uint8_t OrientationFlag = 0;

private:
    // The sized constructor's work once the step exists.
    void PlaceSized(unsigned width2, unsigned height2, const CTlRect* sourceRect);
    // A whole-pixel rectangle of `rect` kept inside the floored image.
    void WholeRect(const CTlDblRect& rect, CTlDblRect& out, bool oriented) const;

    CTlGeometryStep* m_step = nullptr;
    int ErrorCode = 0;
    int Mirrored = 0;
    int Rotation = 0;
    std::uint16_t LoadedVersion = 0;
};
